#include "gui/common/Prompt.h"

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
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
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

void MessageBoxPrompt::Show(PromptKind kind, const QString& title, const QString& text) {
    QWidget* parent = QApplication::activeWindow();
    if (kind == PromptKind::Warning)
        QMessageBox::warning(parent, title, text);
    else
        QMessageBox::information(parent, title, text);
}

PromptAnswer MessageBoxPrompt::Ask(const QString& title, const QString& text,
                                   PromptButtons buttons) {
    switch (QMessageBox::question(QApplication::activeWindow(), title, text, ButtonsOf(buttons))) {
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
