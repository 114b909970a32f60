#include "gui/mainwin/ArchiveDirModel.h"

#include <QApplication>
#include <QStyle>
#include <algorithm>
#include <charconv>
#include <optional>

#include "core/catalog/Common.h"
#include "gui/common/Text.h"

namespace orbisk {

namespace {

bool IsContainer(const TRec& rec) {
    return !rec.Attr.empty() && (rec.Attr[0] == 'd' || rec.Attr[0] == 'p' || rec.Attr[0] == 'A');
}

bool IsPlainFileOrPacked(const TRec& rec) {
    return rec.Attr.empty() || (rec.Attr[0] != 'd' && rec.Attr[0] != 'A');
}

// The numeric value of a size text with its blanks removed, or nothing.
std::optional<std::uint64_t> SizeValue(const std::string& size) {
    std::string digits = RemoveBlanks(size);
    std::uint64_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || digits.empty())
        return std::nullopt;
    return value;
}

} // namespace

ArchiveDirModel::ArchiveDirModel(QObject* parent)
    : QAbstractTableModel(parent),
      folderIcon_(QApplication::style()->standardIcon(QStyle::SP_DirIcon)),
      fileIcon_(QApplication::style()->standardIcon(QStyle::SP_FileIcon)) {}

void ArchiveDirModel::SetDirectory(const TArch* arch, std::int32_t dirIndex) {
    beginResetModel();
    arch_ = arch;
    rows_.clear();
    fileCount_ = 0;
    byteTotal_ = 0;
    liveRow_ = -1;
    if (arch && dirIndex >= 1 && dirIndex <= arch->DirCount) {
        const TDir& dir = arch->Dirs[static_cast<std::size_t>(dirIndex)];
        // Only slots 1 to RecCount hold entries, whatever a damaged file claims.
        std::int64_t first = std::max<std::int64_t>(dir.First, 1);
        std::int64_t last =
            std::min<std::int64_t>(std::int64_t{dir.First} + dir.Count - 1, arch->RecCount);
        for (std::int64_t i = first; i <= last; ++i) {
            const TRec& rec = arch->Recs[static_cast<std::size_t>(i)];
            if (!rec.Present) continue;
            rows_.push_back(static_cast<std::int32_t>(i));
            if (IsPlainFileOrPacked(rec)) {
                ++fileCount_;
                byteTotal_ += SizeValue(rec.Size).value_or(0);
            }
        }
    }
    endResetModel();
}

std::int32_t ArchiveDirModel::RecAt(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return 0;
    return rows_[static_cast<std::size_t>(row)];
}

const TRec& ArchiveDirModel::Rec(int row) const {
    return arch_->Recs[static_cast<std::size_t>(rows_[static_cast<std::size_t>(row)])];
}

void ArchiveDirModel::SetLiveNote(int row, const QString& text) {
    if (row < 0 || row >= rowCount()) return;
    int previous = liveRow_;
    liveRow_ = row;
    liveNote_ = text;
    if (previous >= 0 && previous != row)
        Q_EMIT dataChanged(index(previous, ColNote), index(previous, ColNote));
    Q_EMIT dataChanged(index(row, ColNote), index(row, ColNote));
}

void ArchiveDirModel::ClearLiveNote() {
    int previous = liveRow_;
    liveRow_ = -1;
    liveNote_.clear();
    if (previous >= 0 && previous < rowCount())
        Q_EMIT dataChanged(index(previous, ColNote), index(previous, ColNote));
}

int ArchiveDirModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ArchiveDirModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString ArchiveDirModel::SizeText(const TRec& rec) const {
    if (!rec.Attr.empty() && rec.Attr[0] == 'A') return QStringLiteral("Archiv");
    if (!rec.Attr.empty() && rec.Attr[0] == 'd') return QStringLiteral("<DIR>");
    return DecodeText(FormatSize(rec.Size));
}

QVariant ArchiveDirModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const TRec& rec = Rec(index.row());
    if (role == Qt::DecorationRole && index.column() == ColName)
        return IsContainer(rec) ? folderIcon_ : fileIcon_;
    if (role == Qt::TextAlignmentRole && index.column() == ColSize)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    switch (index.column()) {
    case ColName:
        return DecodeText(rec.Name);
    case ColSize:
        return SizeText(rec);
    case ColDate:
        return DecodeText(rec.Date);
    case ColAttr:
        return DecodeText(rec.Attr);
    case ColNote:
        return index.row() == liveRow_ ? liveNote_ : DecodeText(rec.Note);
    default:
        return {};
    }
}

QVariant ArchiveDirModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
    case ColName:
        return QStringLiteral("Název");
    case ColSize:
        return QStringLiteral("Velikost");
    case ColDate:
        return QStringLiteral("Datum");
    case ColAttr:
        return QStringLiteral("Atribut");
    case ColNote:
        return QStringLiteral("Poznámka");
    default:
        return {};
    }
}

} // namespace orbisk
