#include "gui/scan/ScanProgress.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringList>

#include "gui/common/Text.h"

namespace orbisk {

void TScanProgress::AddLine(std::string_view line) {
    lines_.emplace_back(line);
    dirty_ = true;
    if (LineAdded) LineAdded();
}

void TScanProgress::DeleteLastLine() {
    if (lines_.empty()) return;
    lines_.pop_back();
    dirty_ = true;
}

void TScanProgress::Clear() {
    lines_.clear();
    dirty_ = true;
}

QString TScanProgress::Text() const {
    QStringList shown;
    for (const std::string& line : lines_)
        shown.append(DecodeText(line));
    return shown.join(QLatin1Char('\n'));
}

void TScanProgress::Flush() {
    if (!dirty_) return;
    dirty_ = false;
    box_.setPlainText(Text());
    QScrollBar* bar = box_.verticalScrollBar();
    bar->setValue(bar->maximum());
}

} // namespace orbisk
