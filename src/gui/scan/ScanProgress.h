#pragma once
// The scan window's progress box as the scanner's progress sink. The lines
// live here; the box shows them whenever the interface gets a turn (Flush),
// so a walk that adds a line per entry does not lay out the box per entry.
// Flush passes on only what changed since the last one (lines added, last
// lines taken away), so a long scan does not rebuild the whole box each time.
#include <QString>
#include <deque>
#include <functional>
#include <string>

#include "core/scan/ProgressSink.h"

class QPlainTextEdit;

namespace orbisk {

class TScanProgress : public ProgressSink {
public:
    explicit TScanProgress(QPlainTextEdit& box) : box_(box) {}

    void AddLine(std::string_view line) override;
    void DeleteLastLine() override;
    void Clear() override;
    std::size_t LineCount() const override { return lines_.size(); }

    // Brings the box up to date with the lines.
    void Flush();
    // The lines, "\n" between them.
    QString Text() const;

    // Called after every line added, once the line is recorded: the window
    // lets the interface run from here; tests act during a scan.
    std::function<void()> LineAdded;

private:
    QPlainTextEdit& box_;
    std::deque<std::string> lines_;
    std::size_t shown_ = 0;      // lines_[0, shown_) are in the box
    std::size_t removeLast_ = 0; // last lines of the box no longer in lines_
    bool rebuild_ = false;       // the box is to be filled anew
};

} // namespace orbisk
