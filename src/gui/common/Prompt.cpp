#include "gui/common/Prompt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace orbisk {

namespace {

PromptBackend*& Installed() {
    static PromptBackend* backend = nullptr;
    return backend;
}

MessageBoxPrompt& Real() {
    static MessageBoxPrompt real;
    return real;
}

QMessageBox::StandardButtons ButtonsOf(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::Ok:
        return QMessageBox::Ok;
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon IconOf(PromptKind kind) {
    switch (kind) {
    case PromptKind::Warning:
        return QMessageBox::Warning;
    case PromptKind::Question:
        return QMessageBox::Question;
    case PromptKind::Information:
        break;
    }
    return QMessageBox::Information;
}

} // namespace

PromptBackend* Prompt::Install(PromptBackend* backend) {
    PromptBackend* previous = Installed();
    Installed() = backend;
    return previous;
}

PromptBackend& Prompt::Current() {
    return Installed() ? *Installed() : Real();
}

void Prompt::Information(const QString& text) {
    Current().Show(PromptKind::Information, QString::fromUtf8(kPromptTitle), text);
}

void Prompt::Warning(const QString& text) {
    Current().Show(PromptKind::Warning, QString::fromUtf8(kPromptTitle), text);
}

PromptAnswer Prompt::Question(const QString& title, const QString& text, PromptButtons buttons) {
    return Current().Ask(title, text, buttons);
}

TPromptTexts& PromptTexts() {
    static TPromptTexts texts;
    return texts;
}

std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, PromptKind kind, const QString& title,
                                            const QString& text, PromptButtons buttons) {
    if (kind != PromptKind::Question) buttons = PromptButtons::Ok;
    auto box = std::make_unique<QMessageBox>(IconOf(kind), title, text, ButtonsOf(buttons), parent);
    const TPromptTexts& texts = PromptTexts();
    const std::pair<QMessageBox::StandardButton, const QString*> captions[] = {
        {QMessageBox::Ok, &texts.Ok},
        {QMessageBox::Cancel, &texts.Cancel},
        {QMessageBox::Yes, &texts.Yes},
        {QMessageBox::No, &texts.No},
    };
    for (const auto& [which, caption] : captions)
        if (QAbstractButton* button = box->button(which)) button->setText(*caption);
    return box;
}

void MessageBoxPrompt::Show(PromptKind kind, const QString& title, const QString& text) {
    MakeMessageBox(QApplication::activeWindow(), kind, title, text, PromptButtons::Ok)->exec();
}

PromptAnswer MessageBoxPrompt::Ask(const QString& title, const QString& text,
                                   PromptButtons buttons) {
    const std::unique_ptr<QMessageBox> box =
        MakeMessageBox(QApplication::activeWindow(), PromptKind::Question, title, text, buttons);
    switch (box->exec()) {
    case QMessageBox::Ok:
        return PromptAnswer::Ok;
    case QMessageBox::Yes:
        return PromptAnswer::Yes;
    case QMessageBox::No:
        return PromptAnswer::No;
    default:
        return PromptAnswer::Cancel;
    }
}

ScriptedPrompt::ScriptedPrompt() : previous_(Prompt::Install(this)) {}

ScriptedPrompt::~ScriptedPrompt() {
    Prompt::Install(previous_);
}

void ScriptedPrompt::Show(PromptKind kind, const QString& title, const QString& text) {
    shown.push_back({kind, title, text});
}

PromptAnswer ScriptedPrompt::Ask(const QString& title, const QString& text, PromptButtons buttons) {
    shown.push_back({PromptKind::Question, title, text});
    if (answers.empty())
        return buttons == PromptButtons::YesNo ? PromptAnswer::No : PromptAnswer::Cancel;
    PromptAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::vector<QString> ScriptedPrompt::Texts(PromptKind kind) const {
    std::vector<QString> texts;
    for (const Shown& s : shown)
        if (s.kind == kind) texts.push_back(s.text);
    return texts;
}

} // namespace orbisk
