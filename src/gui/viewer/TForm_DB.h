#pragma once
// The viewer's one window (object name Form_DB, like the main program's
// database window, so the settings file names it the same): the database
// window's three panes, read-only, with English texts. The database is read
// from the path of the settings file when the window first comes up, and from
// the file chosen with "Open ..."; it is never written. Closing the window
// saves the settings and ends the program.
#include <QMainWindow>
#include <string>

#include "core/db/Database.h"
#include "gui/common/GuiHost.h"
#include "gui/viewer/ViewerSettings.h"

class QAction;
class QLabel;
class QMenu;

namespace orbisk {

class DbPanes;

namespace viewer {

inline constexpr const char* kViewerCaption = "Orbidex  (only viewer)";

class TForm_DB : public QMainWindow {
    Q_OBJECT
public:
    // programDir holds the program and, for a portable install, its settings.
    explicit TForm_DB(std::string programDir);
    ~TForm_DB() override;

    // What the window does when it comes up: load the settings, read the
    // database of their path and show it.
    void Activate();
    // "Open ...": the chosen file becomes the database path and is shown.
    void OpenCommand();
    // Reads the database at the settings' path when that file exists, then
    // shows whatever the database holds with the topmost node chosen.
    void ShowDatabaseFile();

    // The window has come up and shown its first database.
    bool StartedUp() const { return startedUp_; }
    const TViewerSettings& Settings() const { return settings_; }
    TDatabase& Database() { return db_; }
    DbPanes& Panes() const { return *panes_; }

    QMenu* Menu_File;
    QMenu* Menu_View;
    QMenu* PopupMenu_Tree;
    QAction* Action_Open;   // "Open ..."
    QAction* Action_Exit;   // "Exit"
    QAction* Action_Grid;   // "Gridlines"
    QAction* Action_Expand; // "Expand"
    QAction* Action_Colaps; // "Colaps"
    QLabel* StatusPanel1;   // "Kategory"
    QLabel* StatusPanel2;   // the current category path

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();

    std::string programDir_;
    TViewerSettings settings_;
    GuiHost host_;
    TDatabase db_;
    DbPanes* panes_;
    bool activated_ = false;
    bool startedUp_ = false;
    bool reading_ = false;
};

} // namespace viewer
} // namespace orbisk
