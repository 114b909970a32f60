#pragma once
// The three panes of a database window, shared by the editing window of the
// main program and the read-only viewer: the category tree on the left, the
// items of the chosen category in the middle and the description of the
// selected item on the right. Choosing a node lists its category; choosing
// one row shows its description. Read-only panes never change the database:
// no dragging, no drops, the description cannot be typed into. Editable panes
// store a typed description into its item when the selection moves on, when
// the pane loses the focus, or when the owner asks.
#include <QSplitter>
#include <QString>
#include <cstdint>
#include <string>

class QPlainTextEdit;
class QTreeView;

namespace orbisk {

class DbItemModel;
class DbTreeModel;
class ListView;
class TDatabase;

class DbPanes : public QSplitter {
    Q_OBJECT
public:
    DbPanes(TDatabase& db, bool readOnly, QWidget* parent = nullptr);
    ~DbPanes() override;

    TDatabase& Database() const { return db_; }
    DbTreeModel& Tree() const { return *tree_; }
    DbItemModel& Items() const { return *items_; }
    bool ReadOnly() const { return readOnly_; }

    // The database as it is now: the list of "\" first, then the tree of
    // every category with its topmost node selected (which lists that node).
    void ShowDatabase();
    // Lists the items of the category at path, the first row selected and
    // current; the path is shown through PathShown.
    void FillList(const std::string& path);
    // Adds the nodes of path to the tree; returns its deepest node.
    QModelIndex AddPathToTree(const std::string& path);
    void SelectTopNode();
    // The path of the selected node; empty without one.
    std::string SelectedPath() const;

    // The item of the one selected row, or 0.
    std::int32_t SelectedItem() const;
    // Puts a description typed into the pane into its item now.
    void StoreDescription();
    bool DescriptionChanged() const { return changed_; }

    void SetGridLines(bool on);

    QWidget* Panel_Left;
    QWidget* Panel_Midle;
    QWidget* Panel_Right;
    QTreeView* TreeView;
    ListView* List; // object name "ListView"
    QPlainTextEdit* Memo;

Q_SIGNALS:
    // A category was listed; path as the status bar shows it.
    void PathShown(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void NodeSelected();
    void RowSelected();
    void ShowDescription(std::int32_t item);

    TDatabase& db_;
    bool readOnly_;
    bool changed_ = false; // the description was typed into
    bool loading_ = false; // the pane is being filled: no typing
    DbTreeModel* tree_;
    DbItemModel* items_;
};

} // namespace orbisk
