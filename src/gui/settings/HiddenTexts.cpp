#include "gui/settings/HiddenTexts.h"

#include <QLabel>
#include <cstddef>
#include <utility>

#include "core/settings/CoreTexts.h"
#include "gui/common/Prompt.h"

namespace orbisk {

namespace {

// The button captions of message boxes and the labels that carry them.
const std::pair<const char*, QString TPromptTexts::*> kButtonLabels[] = {
    {"LabelT_ButtonOk", &TPromptTexts::Ok},
    {"LabelT_ButtonCancel", &TPromptTexts::Cancel},
    {"LabelT_ButtonYes", &TPromptTexts::Yes},
    {"LabelT_ButtonNo", &TPromptTexts::No},
};

void AddLabel(QWidget& window, const char* name, const QString& text) {
    auto* label = new QLabel(text, &window);
    label->setObjectName(QString::fromLatin1(name));
    label->hide();
}

} // namespace

void AddHiddenTextLabels(QWidget& window) {
    for (std::size_t i = 0; i < static_cast<std::size_t>(TCoreText::Count); ++i) {
        const TCoreTextInfo& info = CoreTextInfo(static_cast<TCoreText>(i));
        AddLabel(
            window, info.Label,
            QString::fromUtf8(info.Builtin.data(), static_cast<qsizetype>(info.Builtin.size())));
    }
    const TPromptTexts builtin;
    for (const auto& [name, member] : kButtonLabels)
        AddLabel(window, name, builtin.*member);
}

void TakeHiddenTexts(QWidget& window) {
    for (std::size_t i = 0; i < static_cast<std::size_t>(TCoreText::Count); ++i) {
        const auto id = static_cast<TCoreText>(i);
        if (auto* label = window.findChild<QLabel*>(QString::fromLatin1(CoreTextInfo(id).Label)))
            SetCoreText(id, label->text().toUtf8().toStdString());
    }
    for (const auto& [name, member] : kButtonLabels)
        if (auto* label = window.findChild<QLabel*>(QString::fromLatin1(name)))
            PromptTexts().*member = label->text();
}

} // namespace orbisk
