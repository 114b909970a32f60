#pragma once
// The scan window's progress box as the scanner's progress sink. The lines
// live here; the box shows them whenever the interface gets a turn (Flush),
// so a walk that adds a line per entry does not lay out the box per entry.
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

    // Shows the lines in the box when they changed since it last did.
    void Flush();
    // The lines, "\n" between them.
    QString Text() const;

    // Called after every line added, once the line is recorded: the window
    // lets the interface run from here; tests act during a scan.
    std::function<void()> LineAdded;

private:
    QPlainTextEdit& box_;
    std::deque<std::string> lines_;
    bool dirty_ = false;
};

} // namespace orbisk
