#include "gui/scan/ScanProgress.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>

#include "gui/common/Text.h"

namespace orbisk {

namespace {

QString Joined(const std::deque<std::string>& lines, std::size_t from) {
    QStringList shown;
    for (std::size_t i = from; i < lines.size(); ++i)
        shown.append(DecodeText(lines[i]));
    return shown.join(QLatin1Char('\n'));
}

// Removes the last line of the box with its line break.
void RemoveLastBlock(QPlainTextEdit& box) {
    QTextCursor cursor(box.document());
    cursor.movePosition(QTextCursor::End);
    cursor.select(QTextCursor::BlockUnderCursor);
    cursor.removeSelectedText();
}

} // namespace

void TScanProgress::AddLine(std::string_view line) {
    lines_.emplace_back(line);
    if (LineAdded) LineAdded();
}

void TScanProgress::DeleteLastLine() {
    if (lines_.empty()) return;
    lines_.pop_back();
    if (lines_.size() < shown_) {
        --shown_;
        ++removeLast_;
    }
}

void TScanProgress::Clear() {
    lines_.clear();
    shown_ = 0;
    removeLast_ = 0;
    rebuild_ = true;
}

QString TScanProgress::Text() const {
    return Joined(lines_, 0);
}

void TScanProgress::Flush() {
    if (!rebuild_ && removeLast_ == 0 && shown_ == lines_.size()) return;
    if (rebuild_ || shown_ == 0) {
        // An empty box takes its first lines whole; appending to it would
        // begin with an empty line.
        box_.setPlainText(Text());
    } else {
        for (; removeLast_ > 0; --removeLast_)
            RemoveLastBlock(box_);
        if (lines_.size() > shown_) box_.appendPlainText(Joined(lines_, shown_));
    }
    rebuild_ = false;
    removeLast_ = 0;
    shown_ = lines_.size();
    QScrollBar* bar = box_.verticalScrollBar();
    bar->setValue(bar->maximum());
}

} // namespace orbisk
