#include "gui/export/FolderFilesModel.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <ctime>

#include "core/catalog/Common.h"
#include "core/scan/DateFormat.h"
#include "gui/common/Text.h"

namespace orbisk {

namespace {

QString DateText(const TNumericDateFormatter& dates, std::int64_t seconds) {
    const std::time_t time = static_cast<std::time_t>(seconds);
    std::tm local{};
    if (!::localtime_r(&time, &local)) return {};
    return QString::fromStdString(dates.DateTime(local));
}

} // namespace

FolderFilesModel::FolderFilesModel(QString extension, const TNumericDateFormatter& dates,
                                   QObject* parent)
    : ListModel({QStringLiteral("Název"), QStringLiteral("Velikost"), QStringLiteral("Datum")},
                parent),
      extension_(std::move(extension)), dates_(dates) {
    collator_.setNumericMode(true);
}

void FolderFilesModel::Fill(const QString& folder, int column, int direction) {
    beginResetModel();
    folder_ = folder;
    rows_.clear();
    // Hidden and system files count too; folders named like a file do not.
    const QFileInfoList files = QDir(folder).entryInfoList(
        {QStringLiteral("*") + extension_}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : files) {
        if (!file.fileName().endsWith(extension_, Qt::CaseInsensitive)) continue;
        Row row;
        row.name = file.fileName();
        row.size = static_cast<std::uint64_t>(std::max<qint64>(file.size(), 0));
        row.time = file.lastModified().toSecsSinceEpoch();
        row.sizeText = QString::fromStdString(FormatSize(std::to_string(row.size)));
        row.dateText = DateText(dates_, row.time);
        row.slot = static_cast<std::int32_t>(rows_.size()) + 1;
        rows_.push_back(std::move(row));
    }
    endResetModel();
    sort(column, direction < 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

QString FolderFilesModel::FileName(int row) const {
    if (row < 0 || row >= rowCount()) return {};
    return rows_[static_cast<std::size_t>(row)].name;
}

std::string FolderFilesModel::PathBytes(int row) const {
    return QFile::encodeName(QDir(folder_).filePath(FileName(row))).toStdString();
}

QString FolderFilesModel::Text(int row, int column) const {
    if (row < 0 || row >= rowCount()) return {};
    const Row& r = rows_[static_cast<std::size_t>(row)];
    switch (column) {
    case 0:
        return r.name;
    case 1:
        return r.sizeText;
    default:
        return r.dateText;
    }
}

std::int32_t FolderFilesModel::SlotAt(int row) const {
    if (row < 0 || row >= rowCount()) return 0;
    return rows_[static_cast<std::size_t>(row)].slot;
}

int FolderFilesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant FolderFilesModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    if (role == Qt::DisplayRole) return Text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && index.column() == 1)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

bool FolderFilesModel::Before(const Row& a, const Row& b, int column) const {
    switch (column) {
    case 1:
        return a.size < b.size;
    case 2:
        return a.time < b.time;
    default:
        return collator_.compare(a.name, b.name) < 0;
    }
}

void FolderFilesModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) return;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<std::int32_t> slotsBefore;
    for (const QModelIndex& index : before)
        slotsBefore.push_back(SlotAt(index.row()));
    const bool descending = order == Qt::DescendingOrder;
    std::stable_sort(rows_.begin(), rows_.end(), [&](const Row& a, const Row& b) {
        return descending ? Before(b, a, column) : Before(a, b, column);
    });
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i) {
        const std::int32_t slot = slotsBefore[static_cast<std::size_t>(i)];
        const auto found = std::find_if(rows_.begin(), rows_.end(),
                                        [slot](const Row& row) { return row.slot == slot; });
        after.append(found == rows_.end()
                         ? QModelIndex()
                         : index(static_cast<int>(found - rows_.begin()), before[i].column()));
    }
    changePersistentIndexList(before, after);
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace orbisk
