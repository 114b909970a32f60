#pragma once
// Commands on the rows of the content list: deleting entries, computing a
// size, the selection mask window, the display filter and the context menu.
#include <QObject>
#include <QString>

class QAction;
class QMenu;
class QPoint;

namespace orbisk {

class ContentBrowser;
class TForm_Main;
class TForm_Mask;

class ContentCommands : public QObject {
    Q_OBJECT
public:
    ContentCommands(TForm_Main& form, ContentBrowser& browser);
    ~ContentCommands() override;

    // "Odstranit" or Delete: asks with the total size of the selected rows,
    // then marks their entries deleted (folders, packed files and merged
    // archives with everything below them) and lists the folder again.
    void DeleteCommand();
    // "Spočítej velikost (mezerník)" or space: with exactly one row selected,
    // its size column shows the size of the entry and everything below it.
    void SizeCommand();
    // Keypad "+" (extend) and "-": asks for a mask in the mask window and
    // applies it.
    void MaskCommand(bool extend);
    // Selects (extend) or deselects every row that is not a folder and whose
    // name matches mask, not case-sensitive; a single selected row is
    // deselected first. The mask joins the display mask history.
    void ApplyMask(const QString& mask, bool extend);
    // The display filter: "Vše" (all) or "Komentované".
    void SetShowAll(bool all);

    // Enables the entries for the selection and shows the menu at globalPos.
    void ShowContextMenu(const QPoint& globalPos);
    void UpdateMenuState();
    QMenu* Menu() const { return menu_; }

    QAction* Action_Run;       // "Otevři (spust)"
    QAction* Action_Delete;    // "Odstranit"
    QAction* Action_AddToDb;   // "Přidej do databáze ...", carried out by the database window
    QAction* Action_Size;      // "Spočítej velikost (mezerník)"
    QAction* Action_ShowAll;   // "Vše"
    QAction* Action_Commented; // "Komentované"

private:
    TForm_Mask& MaskWindow();

    TForm_Main& form_;
    ContentBrowser& browser_;
    QMenu* menu_;
};

} // namespace orbisk
