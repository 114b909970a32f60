#pragma once
// The main window: the open archive and its state, the start-up sequence run
// when the window is first shown, opening and saving archives, and closing.
// The commands of each pane are carried out by handler classes.
#include <QMainWindow>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "core/catalog/Archive.h"
#include "gui/common/GuiHost.h"
#include "gui/mainwin/MainActions.h"
#include "gui/mainwin/MainLayout.h"
#include "gui/settings/LanguageApplier.h"

namespace orbisk {

class ArchiveTreeHandler;
class ContentBrowser;
class MainFileHandler;
class MainHelpHandler;

inline constexpr const char* kMainCaption = "Orbisk   v1.18    ";

class TForm_Main : public QMainWindow, public TCaptionOwner {
    Q_OBJECT
public:
    explicit TForm_Main(QWidget* parent = nullptr);
    ~TForm_Main() override;

    TArch CurrentArchive;    // the open archive; its FileName is a full path
    THead PendingArchive;    // the archive being opened
    std::string CurrentPath; // folder of the open archive shown in the content list

    // Opens the archive file path; a relative path lies in the working
    // folder. A modified open archive is saved first; when that save fails,
    // the open archive stays.
    void OpenArchive(const std::string& path);
    // Closes the open archive without saving it: the content browser is
    // emptied and nothing is modified.
    void CloseArchive();
    // The modified flag; "Uložit" (menu and tool bar) is enabled exactly while it is set.
    void SetModified(bool modified);
    bool Modified() const { return modified_; }

    // The note or description of the selected entry was typed into and is not stored yet.
    bool NoteEdited() const { return noteEdited_; }
    void SetNoteEdited(bool edited) { noteEdited_ = edited; }
    // Stores a note or description being typed into the open archive.
    void StorePendingNote();

    // Set from creation to the end of the start-up sequence and while an
    // archive is being opened, a folder listed or the archive list built;
    // set and cleared only through BusyGuard.
    bool Busy() const { return busy_; }
    bool StartedUp() const { return startedUp_; }

    // Saves the open archive.
    bool SaveCurrentArchive();

    // Absolute path of the folder whose archives are shown, without a
    // trailing "/". The window owns it; the process's current directory is
    // never changed. The window's caption names it.
    const QString& WorkingFolder() const { return workingFolder_; }
    std::string WorkingFolderBytes() const;
    void SetWorkingFolder(const QString& folder);

    // True when path names the file of the open archive.
    bool IsOpenArchive(const std::string& path) const;

    // Both title bars back to their empty state: " [ ]" and "\".
    void ResetTitles();

    // Puts a command of a window built after this one at the end of the
    // "Funkce" menu and on the tool bar after the commands put there before
    // it (the first right after "Uložit").
    void AddFunctionCommand(QAction* command);
    // Puts the command for a new archive first in the "Soubor" menu and
    // first on the tool bar.
    void AddNewCommand(QAction* command);
    // Puts a command into the "Konverze" menu of "Soubor" (after "Uložit"),
    // which is made with its first command.
    void AddConversionCommand(QAction* command);

    // Every window of the program in creation order, this one first; the
    // settings and language files walk them. Alone, the window is the list.
    const std::vector<QWidget*>& Windows() const { return windows_; }
    void SetWindows(std::vector<QWidget*> windows) { windows_ = std::move(windows); }

    // The fixed part of the caption, before the working folder.
    QString BaseCaption() const override { return caption_; }
    void SetBaseCaption(const QString& caption) override;

    // Menu marks and tool buttons of the view commands follow the list views:
    // "Mřížka" the content list's grid lines, the style entries both styles.
    void SyncViewCommands();

    const TMainControls& Controls() const { return controls_; }
    const TMainActions& Actions() const { return actions_; }
    Host& UiHost() { return host_; }
    ContentBrowser& Content() { return *content_; }
    ArchiveTreeHandler& Archives() { return *archives_; }

Q_SIGNALS:
    void ArchiveRead();      // an archive has been read into CurrentArchive, or closed
    void ArchiveListBuilt(); // the archive list of the working folder was built anew
    // Start-up has loaded the settings and the language: the setup's display
    // options are applied to the windows now, before the archive list is built.
    void DisplayOptionsDue();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    friend class BusyGuard;
    void ConnectCommands();
    void StartUp();

    GuiHost host_;
    TMainControls controls_;
    TMainActions actions_;
    std::unique_ptr<ContentBrowser> content_;
    std::unique_ptr<ArchiveTreeHandler> archives_;
    std::unique_ptr<MainFileHandler> file_;
    std::unique_ptr<MainHelpHandler> help_;

    bool modified_ = false;
    bool noteEdited_ = false;
    bool busy_ = true;
    bool startedUp_ = false;
    bool startUpQueued_ = false;
    bool opening_ = false;
    QString workingFolder_;
    QString caption_;
    std::vector<QWidget*> windows_;
    QAction* lastFunction_ = nullptr; // the tool bar command added last
    QMenu* conversions_ = nullptr;    // "Konverze"
};

// Marks the main window busy (or, given false, idle) while it lives and then
// puts back the value it found, so guards nest and an early return cannot
// leave the window busy.
class BusyGuard {
public:
    explicit BusyGuard(TForm_Main& form, bool busy = true) : form_(form), previous_(form.busy_) {
        form.busy_ = busy;
    }
    ~BusyGuard() { form_.busy_ = previous_; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    TForm_Main& form_;
    bool previous_;
};

} // namespace orbisk
