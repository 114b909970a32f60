#pragma once
// The menus of the main window and the commands they and the tool bar offer.
// A command appears only when it does something; a menu without entries is
// shown disabled.
class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;
class QToolBar;

namespace orbisk {

struct TMainActions {
    QMenu* Soubor = nullptr;
    QMenu* Funkce = nullptr;
    QMenu* Zobrazit = nullptr;
    QMenu* Moznosti = nullptr;
    QMenu* Napoveda = nullptr;
    QMenu* Jazyk = nullptr; // inside "Soubor": one entry per language file

    QAction* Open = nullptr;            // "Otevřít ..."
    QAction* Save = nullptr;            // "Uložit"
    QAction* ChangeDirLocal = nullptr;  // "Změna adresáře... (místně)"
    QAction* ChangeDirGlobal = nullptr; // "Změna adresáře... (všude)"
    QAction* Exit = nullptr;            // "Konec"
    QAction* Grid = nullptr;            // "Mřížka"
    QAction* Help = nullptr;            // "Nápověda"
    QAction* HomePage = nullptr;        // "Domovská WWW stránka"
    QAction* About = nullptr;           // "O programu"
    QAction* LanguageImport = nullptr;  // "Importuj ..."
    QAction* LanguageExport = nullptr;  // "Exportuj ..."
    QActionGroup* Languages = nullptr;  // the language entries, one checked

    // View style of the archive list, one checked ("Detaily" at start).
    QAction* CDList = nullptr;   // "Seznam"
    QAction* CDReport = nullptr; // "Detaily"
    QActionGroup* CDStyles = nullptr;

    // View style of the content list, one checked ("Detaily" at start).
    QAction* DirLargeIcons = nullptr; // "Velké ikony"
    QAction* DirSmallIcons = nullptr; // "Malé ikony"
    QAction* DirList = nullptr;       // "Seznam"
    QAction* DirReport = nullptr;     // "Detaily"
    QActionGroup* DirStyles = nullptr;
};

// Creates the menu bar of window and the tool bar's buttons, in their order.
TMainActions BuildMainActions(QMainWindow& window, QToolBar& toolBar);

// Enables exactly the menus that have entries.
void EnableMenusWithEntries(const TMainActions& actions);

} // namespace orbisk
