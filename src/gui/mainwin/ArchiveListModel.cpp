#include "gui/mainwin/ArchiveListModel.h"

#include <QMimeData>
#include <algorithm>

#include "core/catalog/ArchiveList.h"
#include "gui/common/IconSet.h"
#include "gui/common/Text.h"
#include "gui/mainwin/ArchiveTreeModel.h"

namespace orbisk {

namespace {

constexpr int kArchiveIcon = 11;

const std::string& Field(const THead& row, int column) {
    switch (column) {
    case 1:
        return row.Medium;
    case 2:
        return row.Typ;
    case 3:
        return row.SubTyp;
    case 4:
        return row.Owner;
    case 5:
        return row.Description;
    case 6:
        return row.FileName;
    default:
        return row.Name;
    }
}

} // namespace

ArchiveListModel::ArchiveListModel(const TArchiveList& list, QObject* parent)
    : ListModel({QStringLiteral("Archiv"), QStringLiteral("Medium"), QStringLiteral("Typ"),
                 QStringLiteral("Subtyp"), QStringLiteral("Vlastník"), QStringLiteral("Popis"),
                 QStringLiteral("Soubor")},
                parent),
      list_(list) {}

void ArchiveListModel::SetSlots(std::vector<std::int32_t> slots, int column, int direction) {
    beginResetModel();
    slots_ = std::move(slots);
    endResetModel();
    sort(column, direction < 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void ArchiveListModel::Clear() {
    beginResetModel();
    slots_.clear();
    endResetModel();
}

void ArchiveListModel::RemoveSlot(std::int32_t slot) {
    const int row = RowOfSlot(slot);
    if (row < 0) return;
    beginRemoveRows({}, row, row);
    slots_.erase(slots_.begin() + row);
    endRemoveRows();
}

void ArchiveListModel::SlotChanged(std::int32_t slot) {
    const int row = RowOfSlot(slot);
    if (row >= 0) Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int ArchiveListModel::RowOfSlot(std::int32_t slot) const {
    auto found = std::find(slots_.begin(), slots_.end(), slot);
    return found == slots_.end() ? -1 : static_cast<int>(found - slots_.begin());
}

QString ArchiveListModel::Text(int row, int column) const {
    const std::int32_t slot = SlotAt(row);
    if (!list_.ValidSlot(slot)) return {};
    return DecodeText(Field(list_[slot], column));
}

std::int32_t ArchiveListModel::SlotAt(int row) const {
    if (row < 0 || row >= static_cast<int>(slots_.size())) return 0;
    return slots_[static_cast<std::size_t>(row)];
}

int ArchiveListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(slots_.size());
}

QVariant ArchiveListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    if (role == Qt::DisplayRole) return Text(index.row(), index.column());
    if (role == Qt::DecorationRole && index.column() == 0) return OwnIcon(kArchiveIcon);
    return {};
}

void ArchiveListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::int32_t> slotsBefore;
    for (const QModelIndex& index : before)
        slotsBefore.push_back(SlotAt(index.row()));
    // One key per row, compared without decoding again.
    std::vector<std::pair<QString, std::int32_t>> keyed;
    for (std::size_t row = 0; row < slots_.size(); ++row)
        keyed.emplace_back(Text(static_cast<int>(row), column), slots_[row]);
    const int sign = order == Qt::AscendingOrder ? 1 : -1;
    std::stable_sort(keyed.begin(), keyed.end(), [this, sign](const auto& a, const auto& b) {
        return sign * collator_.compare(a.first, b.first) < 0;
    });
    for (std::size_t row = 0; row < keyed.size(); ++row)
        slots_[row] = keyed[row].second;
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(
            index(RowOfSlot(slotsBefore[static_cast<std::size_t>(i)]), before[i].column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

Qt::ItemFlags ArchiveListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled |
           Qt::ItemNeverHasChildren;
}

QStringList ArchiveListModel::mimeTypes() const {
    return {QString::fromLatin1(kArchiveSlotsMime)};
}

QMimeData* ArchiveListModel::mimeData(const QModelIndexList& indexes) const {
    std::vector<int> rows;
    for (const QModelIndex& index : indexes)
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<std::int32_t> slots;
    for (int row : rows)
        if (SlotAt(row) != 0) slots.push_back(SlotAt(row));
    if (slots.empty()) return nullptr;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kArchiveSlotsMime), EncodeSlots(slots));
    return data;
}

Qt::DropActions ArchiveListModel::supportedDragActions() const {
    return Qt::CopyAction;
}

} // namespace orbisk
