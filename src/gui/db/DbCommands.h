#pragma once
// The commands of the database window on its items and categories: add,
// edit and remove an item, move an item dropped on a category, create and
// remove a category, the pop-up menus of the list and the tree with their
// states, and the Delete key of the list.
#include <QObject>
#include <cstdint>

class QAction;
class QKeyEvent;
class QMenu;
class QModelIndex;
class QPoint;

namespace orbisk {

class DbPanes;
class TForm_DB;

class DbCommands : public QObject {
    Q_OBJECT
public:
    DbCommands(TForm_DB& form, DbPanes& panes);

    // "Přidej ...": the item window for a new item; "Vlož" puts it first in
    // the root category "\". Whatever closed the item window, "\" is in the
    // tree afterwards and its topmost node is listed.
    void AddCommand();
    // "Uprav ..." and "Upravit": with one row selected, the item window
    // changes its name, size, archive and path.
    void EditCommand();
    // "Odstranit" and Delete: with one row selected, asks and removes its item.
    void RemoveItemCommand();
    // An item dropped on the node target moves there as that category's
    // first item (its category is created when it has no record).
    void MoveItem(std::int32_t item, const QModelIndex& target);
    // "Vytvořit Kategorii": a category below the selected node (or "\").
    void CreateCategoryCommand();
    // "Odstranit Kategorii": asks, then removes the selected node's category
    // when it holds no items and the node has no child nodes.
    void RemoveCategoryCommand();

    void ShowListMenu(const QPoint& globalPos);
    void ShowTreeMenu(const QPoint& pos); // in the tree's viewport
    void UpdateListMenu();
    void UpdateTreeMenu();

    QMenu* ListMenu;
    QMenu* TreeMenu;
    QAction* Action_Upravit;
    QAction* Action_Odstranit;
    QAction* Action_Rozvinout;
    QAction* Action_Svinout;
    QAction* Action_VytvoritKategorii;
    QAction* Action_OdstranitKategorii;

private:
    bool ListKey(QKeyEvent& key);

    TForm_DB& form_;
    DbPanes& panes_;
};

} // namespace orbisk
