#include "gui/common/ListView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>
#include <QScrollBar>
#include <QStackedLayout>
#include <QTreeView>
#include <algorithm>

#include "gui/common/GridLineDelegate.h"
#include "gui/common/ListModel.h"

namespace orbisk {

namespace {

constexpr int kSmallIcon = 16;
constexpr int kLargeIcon = 32;

void SetUpCommon(QAbstractItemView& view, ListView& owner) {
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setContextMenuPolicy(Qt::CustomContextMenu);
    view.installEventFilter(&owner);
}

} // namespace

ListView::ListView(QWidget* parent)
    : QWidget(parent), stack_(new QStackedLayout(this)), report_(new QTreeView),
      icons_(new QListView), grid_(new GridLineDelegate(report_)) {
    stack_->setContentsMargins(0, 0, 0, 0);
    report_->setObjectName(QStringLiteral("Report"));
    icons_->setObjectName(QStringLiteral("Icons"));
    SetUpCommon(*report_, *this);
    SetUpCommon(*icons_, *this);
    report_->setRootIsDecorated(false);
    report_->setItemsExpandable(false);
    // Rows of one height let the view place a million rows without asking each one.
    report_->setUniformRowHeights(true);
    report_->setAllColumnsShowFocus(true);
    report_->setItemDelegate(grid_);
    report_->setIconSize(QSize(kSmallIcon, kSmallIcon));
    QHeaderView* header = report_->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setHighlightSections(false);
    // Every column keeps the width it was given: the last one (a note, a
    // description) does not take the rest of the room from the name.
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    icons_->setUniformItemSizes(true);
    icons_->setLayoutMode(QListView::Batched);
    icons_->setBatchSize(2000);

    stack_->addWidget(report_);
    stack_->addWidget(icons_);
    setFocusProxy(report_);

    connect(header, &QHeaderView::sectionClicked, this, &ListView::ColumnClicked);
    connect(header, &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (CurrentView() != report_ || !model_ || column < 0) return;
        if (widths_.size() <= static_cast<std::size_t>(column))
            widths_.resize(static_cast<std::size_t>(column) + 1, 0);
        widths_[static_cast<std::size_t>(column)] = size;
    });
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_)}) {
        connect(view, &QAbstractItemView::doubleClicked, this, [this] { Q_EMIT Activated(); });
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
            Q_EMIT ContextMenuRequested(view->viewport()->mapToGlobal(at));
        });
    }
}

ListView::~ListView() = default;

void ListView::SetModel(ListModel* model) {
    QAbstractItemView* view = CurrentView();
    Detach(view);
    delete selection_;
    model_ = model;
    selection_ = model ? new QItemSelectionModel(model, this) : nullptr;
    if (selection_)
        connect(selection_, &QItemSelectionModel::selectionChanged, this,
                [this] { Q_EMIT SelectionChanged(); });
    Attach(view);
}

QAbstractItemView* ListView::CurrentView() const {
    if (style_ == Style::Report) return report_;
    return icons_;
}

void ListView::Attach(QAbstractItemView* view) {
    if (!model_) return;
    QItemSelectionModel* stale = view->selectionModel();
    view->setModel(model_);
    QItemSelectionModel* made = view->selectionModel();
    view->setSelectionModel(selection_);
    // The view made these for itself; neither is used any more.
    for (QItemSelectionModel* unused : {stale, made})
        if (unused && unused != selection_ && unused->parent() == view) delete unused;
    if (view == report_) {
        ApplyColumnWidths();
        ShowSortIndicator();
    }
}

void ListView::Detach(QAbstractItemView* view) {
    if (view->model() == model_ && model_) view->setModel(nullptr);
}

void ListView::SetStyle(Style style) {
    if (style == style_) return;
    QAbstractItemView* from = CurrentView();
    const bool focused = from->hasFocus();
    style_ = style;
    QAbstractItemView* to = CurrentView();
    if (to == icons_) SetUpIcons(style);
    if (to != from) {
        Detach(from);
        Attach(to);
        stack_->setCurrentWidget(to);
        setFocusProxy(to);
        if (focused) to->setFocus();
    }
    if (selection_ && selection_->currentIndex().isValid())
        to->scrollTo(selection_->currentIndex());
    Q_EMIT StyleChanged(style);
}

void ListView::SetUpIcons(Style style) {
    const int text = fontMetrics().height();
    if (style == Style::LargeIcons) {
        icons_->setViewMode(QListView::IconMode);
        icons_->setFlow(QListView::LeftToRight);
        icons_->setIconSize(QSize(kLargeIcon, kLargeIcon));
        icons_->setGridSize(QSize(100, kLargeIcon + 2 * text + 10));
        icons_->setWordWrap(true);
    } else {
        icons_->setViewMode(QListView::ListMode);
        icons_->setFlow(style == Style::List ? QListView::TopToBottom : QListView::LeftToRight);
        icons_->setIconSize(QSize(kSmallIcon, kSmallIcon));
        icons_->setGridSize(
            QSize(style == Style::List ? 220 : 170, std::max(text, kSmallIcon) + 4));
        icons_->setWordWrap(false);
    }
    // Set after the view mode, which resets them.
    icons_->setMovement(QListView::Static);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setWrapping(true);
}

void ListView::SetColumnWidths(const std::vector<int>& widths) {
    widths_ = widths;
    if (CurrentView() == report_ && model_) ApplyColumnWidths();
}

std::vector<int> ListView::ColumnWidths() const {
    std::vector<int> widths = widths_;
    const int columns = model_ ? model_->columnCount() : 0;
    for (int c = static_cast<int>(widths.size()); c < columns; ++c)
        widths.push_back(report_->header()->defaultSectionSize());
    return widths;
}

void ListView::ApplyColumnWidths() {
    const std::vector<int> widths = widths_;
    for (std::size_t c = 0; c < widths.size(); ++c)
        if (widths[c] > 0) report_->setColumnWidth(static_cast<int>(c), widths[c]);
}

void ListView::SetGridLines(bool on) {
    grid_->SetGridLines(on);
    report_->viewport()->update();
}

bool ListView::GridLines() const {
    return grid_->GridLines();
}

void ListView::SetMultiSelection(bool on) {
    const auto mode =
        on ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection;
    report_->setSelectionMode(mode);
    icons_->setSelectionMode(mode);
}

void ListView::SetSortState(int column, int direction) {
    sortColumn_ = column;
    sortDirection_ = direction < 0 ? -1 : 1;
    ShowSortIndicator();
}

void ListView::ColumnClicked(int column) {
    if (column == sortColumn_)
        sortDirection_ = -sortDirection_;
    else
        sortColumn_ = column;
    Sort();
}

void ListView::Sort() {
    if (model_)
        model_->sort(sortColumn_, sortDirection_ > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    ShowSortIndicator();
    Q_EMIT Sorted();
}

void ListView::ShowSortIndicator() {
    report_->header()->setSortIndicator(sortColumn_, sortDirection_ > 0 ? Qt::AscendingOrder
                                                                        : Qt::DescendingOrder);
}

std::vector<int> ListView::SelectedRows() const {
    std::vector<int> rows;
    if (!selection_) return rows;
    for (const QItemSelectionRange& range : selection_->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int ListView::SelectedCount() const {
    return static_cast<int>(SelectedRows().size());
}

std::vector<std::int32_t> ListView::SelectedSlots() const {
    std::vector<std::int32_t> slots;
    if (!model_) return slots;
    for (int row : SelectedRows())
        slots.push_back(model_->SlotAt(row));
    return slots;
}

int ListView::CurrentRow() const {
    return selection_ ? selection_->currentIndex().row() : -1;
}

void ListView::SelectRow(int row) {
    if (!model_ || row < 0 || row >= model_->rowCount()) return;
    selection_->setCurrentIndex(model_->index(row, 0),
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void ListView::SetRowsSelected(const std::vector<int>& rows, bool selected) {
    if (!model_ || rows.empty()) return;
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    const int last = model_->columnCount() - 1;
    QItemSelection ranges;
    // Runs of neighbouring rows become one range each.
    for (std::size_t i = 0; i < sorted.size();) {
        std::size_t j = i;
        while (j + 1 < sorted.size() && sorted[j + 1] <= sorted[j] + 1)
            ++j;
        ranges.append(QItemSelectionRange(model_->index(sorted[i], 0),
                                          model_->index(sorted[j], std::max(last, 0))));
        i = j + 1;
    }
    selection_->select(ranges,
                       (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                           QItemSelectionModel::Rows);
}

void ListView::ClearSelection() {
    if (selection_) selection_->clearSelection();
}

void ListView::ScrollToMiddle(int row) {
    QAbstractItemView* view = CurrentView();
    view->scrollToTop();
    if (!model_ || row < 0 || row >= model_->rowCount()) return;
    const QModelIndex index = model_->index(row, 0);
    if (!view->viewport()->rect().contains(view->visualRect(index)))
        view->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void ListView::SetKeyHandler(std::function<bool(QKeyEvent&)> handler) {
    keyHandler_ = std::move(handler);
}

bool ListView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == report_ || watched == icons_)) {
        auto& key = static_cast<QKeyEvent&>(*event);
        if (keyHandler_ && keyHandler_(key)) return true;
        const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
        if (enter && (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            Q_EMIT Activated();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace orbisk
