#pragma once
// Every message box of the program goes through Prompt. The real backend shows
// QMessageBox; tests install a ScriptedPrompt, which records what would have
// been shown and answers questions from a queue, so no test waits on a modal box.
#include <QString>
#include <deque>
#include <memory>
#include <vector>

class QMessageBox;
class QWidget;

namespace orbisk {

enum class PromptKind { Information, Warning, Question };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

class PromptBackend {
public:
    virtual ~PromptBackend() = default;
    // Information or warning box with an OK button.
    virtual void Show(PromptKind kind, const QString& title, const QString& text) = 0;
    virtual PromptAnswer Ask(const QString& title, const QString& text, PromptButtons buttons) = 0;
};

class Prompt {
public:
    static void Information(const QString& text);
    static void Warning(const QString& text);
    static PromptAnswer Question(const QString& title, const QString& text, PromptButtons buttons);

    // Replaces the backend and returns the one it replaces; nullptr puts the
    // message-box backend back. The caller keeps ownership.
    static PromptBackend* Install(PromptBackend* backend);
    static PromptBackend& Current();
};

// Title of information and warning boxes.
inline constexpr const char* kPromptTitle = "Orbisk";

// The captions of the buttons of every message box, in the program's own
// words rather than the toolkit's; a language file may replace them.
struct TPromptTexts {
    QString Ok = QStringLiteral("OK");
    QString Cancel = QStringLiteral("Storno");
    QString Yes = QStringLiteral("Ano");
    QString No = QStringLiteral("Ne");
};
TPromptTexts& PromptTexts();

// The box the real backend shows, built but not shown: its kind's icon, the
// buttons with the captions of PromptTexts. Information and warning boxes
// have the OK button whatever buttons says.
std::unique_ptr<QMessageBox> MakeMessageBox(QWidget* parent, PromptKind kind, const QString& title,
                                            const QString& text, PromptButtons buttons);

class MessageBoxPrompt : public PromptBackend {
public:
    void Show(PromptKind kind, const QString& title, const QString& text) override;
    PromptAnswer Ask(const QString& title, const QString& text, PromptButtons buttons) override;
};

// Installs itself for its lifetime and puts the previous backend back after.
class ScriptedPrompt : public PromptBackend {
public:
    struct Shown {
        PromptKind kind;
        QString title, text;
    };
    ScriptedPrompt();
    ~ScriptedPrompt() override;
    ScriptedPrompt(const ScriptedPrompt&) = delete;
    ScriptedPrompt& operator=(const ScriptedPrompt&) = delete;

    void Show(PromptKind kind, const QString& title, const QString& text) override;
    // Takes the next queued answer; with none left it answers Cancel (or No
    // for a Yes/No question), the choice that changes nothing.
    PromptAnswer Ask(const QString& title, const QString& text, PromptButtons buttons) override;

    std::vector<Shown> shown;
    std::deque<PromptAnswer> answers;
    // Texts of the shown boxes of one kind, in order.
    std::vector<QString> Texts(PromptKind kind) const;

private:
    PromptBackend* previous_;
};

} // namespace orbisk
