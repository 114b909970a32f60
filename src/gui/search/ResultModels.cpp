#include "gui/search/ResultModels.h"

#include <QStringList>
#include <algorithm>

#include "core/catalog/Common.h"
#include "core/search/Match.h"
#include "gui/common/SystemIcons.h"
#include "gui/common/Text.h"

namespace orbisk {

TResultPlace PlaceOf(const TSearchResult& result) {
    return {result.ArchiveSlot, result.ArchiveFile, result.Path,
            std::string(result.Rec.Name.View())};
}

SearchTextModel::SearchTextModel(QObject* parent) : QAbstractListModel(parent) {}

void SearchTextModel::Append(const std::vector<TSearchResult>& results) {
    if (results.empty()) return;
    const int first = static_cast<int>(lines_.size());
    beginInsertRows({}, first, first + static_cast<int>(results.size()) - 1);
    for (const TSearchResult& result : results) {
        lines_.push_back(TextLine(result));
        places_.push_back(PlaceOf(result));
        if (lines_.back().size() > lines_[longest_].size()) longest_ = lines_.size() - 1;
    }
    endInsertRows();
}

void SearchTextModel::Clear() {
    beginResetModel();
    lines_.clear();
    places_.clear();
    longest_ = 0;
    endResetModel();
}

int SearchTextModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant SearchTextModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    if (role == Qt::DisplayRole) return DecodeText(LineAt(index.row()));
    if (role == LongestLineRole) return DecodeText(lines_[longest_]);
    return {};
}

namespace {

QStringList ListCaptions() {
    return {QStringLiteral("CD"),       QStringLiteral("Adresář"), QStringLiteral("Název"),
            QStringLiteral("Velikost"), QStringLiteral("Datum"),   QStringLiteral("Atribut"),
            QStringLiteral("Poznámka"), QStringLiteral("Popis")};
}

// A folder shows the folder picture, a file the picture of its kind.
int PictureOf(const TRec& rec) {
    const std::string_view attr = rec.Attr.View();
    if (!attr.empty() && attr.front() == 'd') return kIconFolder;
    return FileClassIcon(rec.Name.View());
}

std::int64_t SizeKey(const std::string& shown) {
    std::int64_t size = 0;
    return ParseSizeNumber(shown, size) ? size : -1;
}

} // namespace

SearchListModel::SearchListModel(QObject* parent) : ListModel(ListCaptions(), parent) {
    FollowSystemIcons(ColCD);
}

void SearchListModel::Append(const std::vector<TSearchResult>& results) {
    if (results.empty()) return;
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(results.size()) - 1);
    for (const TSearchResult& result : results)
        rows_.push_back({ListColumns(result), PlaceOf(result), PictureOf(result.Rec)});
    endInsertRows();
}

void SearchListModel::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

std::int32_t SearchListModel::SlotAt(int row) const {
    if (row < 0 || row >= rowCount()) return 0;
    return rows_[static_cast<std::size_t>(row)].Place.ArchiveSlot;
}

const std::string& SearchListModel::Cell(int row, int column) const {
    return rows_[static_cast<std::size_t>(row)].Cells[static_cast<std::size_t>(column)];
}

int SearchListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant SearchListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    switch (role) {
    case Qt::DisplayRole:
        return DecodeText(Cell(index.row(), index.column()));
    case Qt::DecorationRole: {
        if (index.column() != ColCD) return {};
        const TRow& row = rows_[static_cast<std::size_t>(index.row())];
        return EntryIcon(row.Place.Name, row.Picture == kIconFolder, row.Picture);
    }
    case Qt::TextAlignmentRole:
        if (index.column() != ColSize) return {};
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

void SearchListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount) return;
    const auto at = static_cast<std::size_t>(column);
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    // Each row's old position travels with it, so persistent indexes follow.
    std::vector<std::pair<TRow, int>> moving;
    moving.reserve(rows_.size());
    for (std::size_t i = 0; i < rows_.size(); ++i)
        moving.emplace_back(std::move(rows_[i]), static_cast<int>(i));
    const bool up = order == Qt::AscendingOrder;
    std::stable_sort(moving.begin(), moving.end(), [&](const auto& a, const auto& b) {
        const std::string& x = a.first.Cells[at];
        const std::string& y = b.first.Cells[at];
        if (column == ColSize) return up ? SizeKey(x) < SizeKey(y) : SizeKey(y) < SizeKey(x);
        return up ? x < y : y < x;
    });
    std::vector<int> newRowOf(moving.size());
    rows_.clear();
    for (std::size_t i = 0; i < moving.size(); ++i) {
        newRowOf[static_cast<std::size_t>(moving[i].second)] = static_cast<int>(i);
        rows_.push_back(std::move(moving[i].first));
    }
    QModelIndexList after;
    for (const QModelIndex& old : before)
        after.push_back(index(newRowOf[static_cast<std::size_t>(old.row())], old.column()));
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace orbisk
