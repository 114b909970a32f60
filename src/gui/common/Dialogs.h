#pragma once
// Every file, folder and colour dialog of the program goes through Dialogs.
// The real backend shows Qt dialogs; tests install ScriptedDialogs, which
// records each request and answers from a queue.
#include <QColor>
#include <QString>
#include <deque>
#include <optional>
#include <vector>

class QWidget;

namespace orbisk {

struct FileRequest {
    QString title;
    QString folder;        // the folder the dialog starts in
    QString filter;        // Qt form: "CD list (*.cd)"
    QString defaultSuffix; // added to a typed name without an extension
};

struct FolderRequest {
    QString title;
    QString start; // the folder selected at first
    QString root;  // when not empty, only this folder and those below it can be chosen
};

enum class DialogKind { OpenFile, SaveFile, ChooseFolder, ChooseColour };

class DialogsBackend {
public:
    virtual ~DialogsBackend() = default;
    // Each returns the chosen absolute path, or an empty text when cancelled.
    virtual QString OpenFile(QWidget* parent, const FileRequest& request) = 0;
    virtual QString SaveFile(QWidget* parent, const FileRequest& request) = 0;
    virtual QString ChooseFolder(QWidget* parent, const FolderRequest& request) = 0;
    // The colour dialog, preset to initial, offering the custom colours
    // given (at most 16); nothing when cancelled.
    virtual std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial,
                                               const std::vector<QColor>& custom) = 0;
};

class Dialogs {
public:
    static QString OpenFile(QWidget* parent, const FileRequest& request);
    static QString SaveFile(QWidget* parent, const FileRequest& request);
    static QString ChooseFolder(QWidget* parent, const FolderRequest& request);
    static std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial,
                                              const std::vector<QColor>& custom = {});

    // Replaces the backend and returns the one it replaces; nullptr puts the
    // Qt dialogs back. The caller keeps ownership.
    static DialogsBackend* Install(DialogsBackend* backend);
    static DialogsBackend& Current();
};

class QtDialogs : public DialogsBackend {
public:
    QString OpenFile(QWidget* parent, const FileRequest& request) override;
    QString SaveFile(QWidget* parent, const FileRequest& request) override;
    QString ChooseFolder(QWidget* parent, const FolderRequest& request) override;
    std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial,
                                       const std::vector<QColor>& custom) override;
};

// True when path is folder itself or lies below it (both made absolute and
// canonical where they exist).
bool IsInsideFolder(const QString& path, const QString& folder);

// Installs itself for its lifetime and puts the previous backend back after.
// Every request is recorded; answers are taken from the queues in order, and
// an empty queue answers "cancelled".
class ScriptedDialogs : public DialogsBackend {
public:
    struct Request {
        DialogKind kind;
        FileRequest file;           // open and save
        FolderRequest folder;       // choose folder
        QColor colour;              // choose colour: the initial colour
        std::vector<QColor> custom; // choose colour: the custom colours offered
    };
    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    QString OpenFile(QWidget* parent, const FileRequest& request) override;
    QString SaveFile(QWidget* parent, const FileRequest& request) override;
    QString ChooseFolder(QWidget* parent, const FolderRequest& request) override;
    std::optional<QColor> ChooseColour(QWidget* parent, const QColor& initial,
                                       const std::vector<QColor>& custom) override;

    std::vector<Request> requests;
    std::deque<QString> paths; // answers of the file and folder dialogs
    std::deque<std::optional<QColor>> colours;

private:
    QString NextPath();
    DialogsBackend* previous_;
};

} // namespace orbisk
