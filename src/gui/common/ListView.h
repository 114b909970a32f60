#pragma once
// The one list widget of the program (content list, archive list, search
// results, database items). It shows a ListModel in four styles: report
// through a QTreeView, list, small icons and large icons through a QListView;
// only the view on show is attached to the model. Both share one selection
// model, so the selection survives a change of style.
//
// Sorting: a click on a column header makes it the sort column keeping the
// direction, a click on the sort column reverses the direction; the model
// orders its rows (QAbstractItemModel::sort) by its own comparator.
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

class QAbstractItemView;
class QItemSelectionModel;
class QKeyEvent;
class QListView;
class QStackedLayout;
class QTreeView;

namespace orbisk {

class GridLineDelegate;
class ListModel;

class ListView : public QWidget {
    Q_OBJECT
public:
    // The numbers are those the settings file stores as "ViewStyle".
    enum class Style { Report = 0, List = 1, SmallIcons = 2, LargeIcons = 3 };

    explicit ListView(QWidget* parent = nullptr);
    ~ListView() override;

    // The model is not owned; it must outlive its use here.
    void SetModel(ListModel* model);
    ListModel* Model() const { return model_; }
    QItemSelectionModel* SelectionModel() const { return selection_; }

    void SetStyle(Style style);
    Style GetStyle() const { return style_; }
    QAbstractItemView* CurrentView() const;
    QTreeView* Report() const { return report_; }
    QListView* Icons() const { return icons_; }

    // Widths of the report's columns, in column order; no column stretches
    // to fill the view.
    void SetColumnWidths(const std::vector<int>& widths);
    std::vector<int> ColumnWidths() const;

    void SetGridLines(bool on);
    bool GridLines() const;
    // Several rows (Ctrl, Shift) or a single one.
    void SetMultiSelection(bool on);

    // Sort column and direction (+1 or -1); Sort orders the model by them.
    int SortColumn() const { return sortColumn_; }
    int SortDirection() const { return sortDirection_; }
    void SetSortState(int column, int direction);
    // The effect of a click on a column header.
    void ColumnClicked(int column);
    void Sort();

    // Rows, ascending, of the selection.
    std::vector<int> SelectedRows() const;
    int SelectedCount() const;
    // The slots of the selected rows, in row order.
    std::vector<std::int32_t> SelectedSlots() const;
    int CurrentRow() const;
    // Makes row the only selected row and the current one.
    void SelectRow(int row);
    // Selects or deselects rows, leaving the others as they are.
    void SetRowsSelected(const std::vector<int>& rows, bool selected);
    void ClearSelection();

    // Shows the top of the list; when row lies below the first page, scrolls
    // it to the middle of the view.
    void ScrollToMiddle(int row);

    // Keys reach this first; true when it has dealt with the key. Enter and
    // Return that it leaves alone activate the current row.
    void SetKeyHandler(std::function<bool(QKeyEvent&)> handler);

Q_SIGNALS:
    void Activated(); // double click on a row, Enter or Return
    void SelectionChanged();
    void ContextMenuRequested(const QPoint& globalPos);
    void Sorted(); // after every sort by a column click or Sort()
    void StyleChanged(ListView::Style style);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Attach(QAbstractItemView* view);
    void Detach(QAbstractItemView* view);
    void ApplyColumnWidths();
    void ShowSortIndicator();
    void SetUpIcons(Style style);

    QStackedLayout* stack_;
    QTreeView* report_;
    QListView* icons_;
    GridLineDelegate* grid_;
    ListModel* model_ = nullptr;
    QItemSelectionModel* selection_ = nullptr;
    Style style_ = Style::Report;
    std::vector<int> widths_;
    int sortColumn_ = 0;
    int sortDirection_ = 1;
    std::function<bool(QKeyEvent&)> keyHandler_;
};

} // namespace orbisk
