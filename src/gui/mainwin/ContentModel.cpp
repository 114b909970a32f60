#include "gui/mainwin/ContentModel.h"

#include <QCollatorSortKey>

#include "gui/common/SystemIcons.h"
#include "gui/common/Text.h"

namespace orbisk {

ContentModel::ContentModel(QObject* parent)
    : ListModel({QStringLiteral("Název"), QStringLiteral("Velikost"), QStringLiteral("Datum"),
                 QStringLiteral("Atribut"), QStringLiteral("Poznámka")},
                parent) {
    bold_.setBold(true);
    FollowSystemIcons(ColName);
}

void ContentModel::SetListing(const TArch* arch, TFolderListing listing, int column,
                              int direction) {
    beginResetModel();
    arch_ = arch;
    listing_ = std::move(listing);
    liveRec_ = 0;
    liveNote_.clear();
    if (!arch_) listing_ = {};
    Order(column, direction);
    endResetModel();
}

void ContentModel::Clear() {
    SetListing(nullptr, {}, ColName, 1);
}

std::int32_t ContentModel::SlotAt(int row) const {
    const TFolderRow* r = RowAt(row);
    return r ? r->Rec : 0;
}

int ContentModel::RowOfRec(std::int32_t rec) const {
    for (std::size_t i = 0; i < listing_.Rows.size(); ++i)
        if (listing_.Rows[i].Rec == rec) return static_cast<int>(i);
    return -1;
}

const TFolderRow* ContentModel::RowAt(int row) const {
    if (row < 0 || row >= rowCount()) return nullptr;
    return &listing_.Rows[static_cast<std::size_t>(row)];
}

const TRec& ContentModel::Rec(const TFolderRow& row) const {
    return arch_->Recs[static_cast<std::size_t>(row.Rec)];
}

void ContentModel::SetSizeText(int row, std::string text) {
    if (!RowAt(row)) return;
    listing_.Rows[static_cast<std::size_t>(row)].SizeText = std::move(text);
    Q_EMIT dataChanged(index(row, ColSize), index(row, ColSize), {Qt::DisplayRole});
}

void ContentModel::SetLiveNote(std::int32_t rec, const QString& text) {
    const std::int32_t previous = liveRec_;
    liveRec_ = rec;
    liveNote_ = text;
    if (previous != rec) EmitRowChanged(RowOfRec(previous));
    EmitRowChanged(RowOfRec(rec));
}

void ContentModel::ClearLiveNote() {
    const std::int32_t previous = liveRec_;
    liveRec_ = 0;
    liveNote_.clear();
    if (previous != 0) EmitRowChanged(RowOfRec(previous));
}

void ContentModel::RecChanged(std::int32_t rec) {
    if (rec != 0) EmitRowChanged(RowOfRec(rec));
}

void ContentModel::EmitRowChanged(int row) {
    if (!RowAt(row)) return;
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void ContentModel::SetBoldNoticed(bool on) {
    if (on == boldNoticed_) return;
    boldNoticed_ = on;
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1), {Qt::FontRole});
}

QString ContentModel::Text(int row, int column) const {
    const TFolderRow* r = RowAt(row);
    if (!r) return {};
    if (column == ColSize) return DecodeText(r->SizeText);
    if (r->Rec == 0) {
        if (column == ColName) return QString::fromLatin1(kParentRowName);
        return column == ColAttr ? QStringLiteral("d") : QString();
    }
    const TRec& rec = Rec(*r);
    switch (column) {
    case ColName:
        return DecodeText(rec.Name);
    case ColDate:
        return DecodeText(rec.Date);
    case ColAttr:
        return DecodeText(rec.Attr);
    case ColNote:
        return r->Rec == liveRec_ ? liveNote_ : DecodeText(rec.Note);
    default:
        return {};
    }
}

int ContentModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(listing_.Rows.size());
}

QVariant ContentModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const TFolderRow& row = listing_.Rows[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return Text(index.row(), index.column());
    case Qt::DecorationRole:
        if (index.column() != ColName) return {};
        return EntryIcon(row.Rec != 0 ? Rec(row).Name.View() : std::string_view{}, row.Folder,
                         row.Picture);
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == ColSize)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::FontRole:
        if (boldNoticed_ && row.Rec != 0 &&
            (!Rec(row).Note.empty() || !Rec(row).Description.empty()))
            return bold_;
        return {};
    default:
        return {};
    }
}

std::vector<std::size_t> ContentModel::Order(int column, int direction) {
    const std::size_t n = listing_.Rows.size();
    std::vector<std::size_t> order;
    if (column < 0 || column >= ColumnCount) column = ColName;
    std::vector<QCollatorSortKey> keys;
    if (column != ColSize) {
        keys.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            keys.push_back(collator_.sortKey(Text(static_cast<int>(i), column)));
    }
    order = FolderRowOrder(listing_.Rows, column, direction, [&keys](std::size_t a, std::size_t b) {
        return keys[a].compare(keys[b]);
    });
    std::vector<TFolderRow> sorted;
    sorted.reserve(n);
    for (std::size_t from : order)
        sorted.push_back(std::move(listing_.Rows[from]));
    listing_.Rows = std::move(sorted);
    return order;
}

void ContentModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount) return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<std::size_t> moved = Order(column, order == Qt::AscendingOrder ? 1 : -1);
    std::vector<int> newRow(moved.size());
    for (std::size_t i = 0; i < moved.size(); ++i)
        newRow[moved[i]] = static_cast<int>(i);
    const QModelIndexList from = persistentIndexList();
    QModelIndexList to;
    to.reserve(from.size());
    for (const QModelIndex& index : from)
        to.append(this->index(newRow[static_cast<std::size_t>(index.row())], index.column()));
    changePersistentIndexList(from, to);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace orbisk
