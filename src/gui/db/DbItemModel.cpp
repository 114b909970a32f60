#include "gui/db/DbItemModel.h"

#include <QMimeData>
#include <algorithm>

#include "core/catalog/Common.h"
#include "core/db/Database.h"
#include "gui/common/Text.h"

namespace orbisk {

DbItemModel::DbItemModel(const TDatabase& db, QObject* parent)
    : ListModel({QStringLiteral("Plný název"), QStringLiteral("Velikost"), QStringLiteral("Archiv"),
                 QStringLiteral("Cesta")},
                parent),
      db_(db) {}

DbItemModel::Row DbItemModel::MakeRow(std::int32_t item, bool groupSize) const {
    const TRec& rec = db_.Item(item);
    Row row;
    row.item = item;
    row.cells[0] = DecodeText(rec.Name);
    row.cells[1] = DecodeText(groupSize ? FormatSize(rec.Size) : rec.Size.str());
    row.cells[2] = DecodeText(rec.Date);
    row.cells[3] = DecodeText(rec.Attr);
    return row;
}

void DbItemModel::Fill(TEntryRange items) {
    beginResetModel();
    rows_.clear();
    for (std::int32_t item = items.First; item <= items.Last; ++item)
        rows_.push_back(MakeRow(item, true));
    endResetModel();
    sort(0, Qt::AscendingOrder);
}

void DbItemModel::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void DbItemModel::RowChanged(int row) {
    if (row < 0 || row >= rowCount()) return;
    Row& shown = rows_[static_cast<std::size_t>(row)];
    shown = MakeRow(shown.item, false);
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int DbItemModel::RowOfItem(std::int32_t item) const {
    auto found =
        std::find_if(rows_.begin(), rows_.end(), [item](const Row& r) { return r.item == item; });
    return found == rows_.end() ? -1 : static_cast<int>(found - rows_.begin());
}

QString DbItemModel::Text(int row, int column) const {
    if (row < 0 || row >= rowCount() || column < 0 || column >= 4) return {};
    return rows_[static_cast<std::size_t>(row)].cells[column];
}

std::int32_t DbItemModel::SlotAt(int row) const {
    if (row < 0 || row >= rowCount()) return 0;
    return rows_[static_cast<std::size_t>(row)].item;
}

int DbItemModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant DbItemModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    if (role == Qt::DisplayRole) return Text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() == 1)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

void DbItemModel::sort(int, Qt::SortOrder) {
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::int32_t> itemsBefore;
    for (const QModelIndex& index : before)
        itemsBefore.push_back(SlotAt(index.row()));
    std::stable_sort(rows_.begin(), rows_.end(), [this](const Row& a, const Row& b) {
        return collator_.compare(a.cells[0], b.cells[0]) < 0;
    });
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(
            index(RowOfItem(itemsBefore[static_cast<std::size_t>(i)]), before[i].column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

Qt::ItemFlags DbItemModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (draggable_) flags |= Qt::ItemIsDragEnabled;
    return flags;
}

QStringList DbItemModel::mimeTypes() const {
    return {QString::fromLatin1(kDbItemMime)};
}

QMimeData* DbItemModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty()) return nullptr;
    const std::int32_t item = SlotAt(indexes.front().row());
    if (item == 0) return nullptr;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kDbItemMime), QByteArray::number(item));
    return data;
}

Qt::DropActions DbItemModel::supportedDragActions() const {
    return Qt::MoveAction;
}

std::int32_t DecodeDbItem(const QMimeData* data) {
    if (!data || !data->hasFormat(QString::fromLatin1(kDbItemMime))) return 0;
    bool ok = false;
    const int item = data->data(QString::fromLatin1(kDbItemMime)).toInt(&ok);
    return ok && item > 0 ? item : 0;
}

} // namespace orbisk
