#pragma once
// The database window ("Zpětný seznam (databáze) "): the main program's
// editor of the reverse-list database cd.db of the working folder. Every
// showing reads the file and every close writes it back; a file that could
// not be read is never written (the window says so and shows the empty
// database). Shown from the main window in browse mode ("Zpětný seznam
// (databáze)", menu and tool bar) or in add mode ("Přidej do databáze ..." of
// the content list), where it asks for one item in the item window and
// closes 200 ms later by itself.
#include <QDialog>
#include <memory>

#include "core/db/Database.h"
#include "gui/common/GuiHost.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QStatusBar;
class QTimer;

namespace orbisk {

class DbCommands;
class DbPanes;
class TForm_DB_HTML;
class TForm_DB_Kat;
class TForm_DBedit;
class TForm_Main;

inline constexpr const char* kDbCaption = "Zpětný seznam (databáze) ";

class TForm_DB : public QDialog {
    Q_OBJECT
public:
    explicit TForm_DB(TForm_Main* main);
    ~TForm_DB() override;

    // "Zpětný seznam (databáze)": the window in browse mode; the main
    // window's folder path is the same afterwards.
    void BrowseCommand();
    // "Přidej do databáze ...": the item window proposes the selected rows of
    // the content list (one entry with its own values, several as their
    // folder with the sum of their sizes) and the window opens in add mode.
    void AddFromContentCommand();
    // Shows the window modally in add mode or browse mode.
    void Execute(bool addMode);
    // What every showing does: read the database, show it, and in add mode
    // ask for the item and start the timer that closes the window.
    void Activate();
    // "Export do HTML ...": the export window, then the category listed again.
    void ExportCommand();

    TDatabase& Database() { return db_; }
    DbPanes& Panes() const { return *panes_; }
    DbCommands& Commands() const { return *commands_; }
    bool AddMode() const { return addMode_; }
    // The database was read for this showing (whether or not it could be).
    bool Activated() const { return activated_; }
    Host& UiHost() { return host_; }
    TForm_Main& Main() const { return main_; }

    // The windows that belong to this one, made on first use when the window
    // list has not made them.
    TForm_DBedit& EditWindow() const;
    TForm_DB_Kat& CategoryWindow() const;
    TForm_DB_HTML& ExportWindow() const;

    QAction* Action_DB; // the main window's command
    QMenuBar* MainMenu;
    QMenu* Menu_Zobrazeni;
    QMenu* Menu_Funkce;
    QAction* Action_Grid;   // "Mřížka"
    QAction* Action_Close;  // "Zavři okno"
    QAction* Action_Add;    // "Přidej ..."
    QAction* Action_Edit;   // "Uprav ..."
    QAction* Action_Export; // "Export do HTML ..."
    QStatusBar* StatusBar;
    QLabel* StatusPanel1; // "Kategorie"
    QLabel* StatusPanel2; // the current category path
    QLabel* StatusPanel3; // says when changes will not be saved
    QTimer* Timer;        // add mode: closes the window
    // Hidden; their captions are message texts a language file translates.
    QLabel* LabelT1; // "Chcete skutečně smazat "
    QLabel* LabelT2; // "Potvrzení..."
    QLabel* LabelT3; // "Kategorie není prázdná, nelze smazat"
    QLabel* LabelT4; // "No, tak to nepujde"
    QLabel* LabelT5; // "Chcete skutečně smazat kategorii: "
    QLabel* LabelT6; // the database could not be read: changes are not saved

protected:
    void showEvent(QShowEvent* event) override;
    // Every way of closing comes here: the typed description is stored and
    // the database saved before the window goes.
    void done(int result) override;

private:
    void BuildMenus();

    TForm_Main& main_;
    GuiHost host_;
    TDatabase db_;
    DbPanes* panes_;
    std::unique_ptr<DbCommands> commands_;
    bool addMode_ = false;
    bool activated_ = false;
    bool closing_ = false;
    bool reading_ = false;
};

} // namespace orbisk
