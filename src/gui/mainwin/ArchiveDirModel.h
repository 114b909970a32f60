#pragma once
// The entries of one directory of an archive as table rows: "Název",
// "Velikost", "Datum", "Atribut", "Poznámka". Deleted entries are left out.
// The model reads the archive it is given; whoever changes that archive's
// arrays resets the model first (SetDirectory(nullptr, 0)).
#include <QAbstractTableModel>
#include <QIcon>
#include <cstdint>
#include <vector>

#include "core/catalog/Archive.h"

namespace orbisk {

class ArchiveDirModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColName, ColSize, ColDate, ColAttr, ColNote, ColumnCount };

    explicit ArchiveDirModel(QObject* parent = nullptr);

    // Shows directory dirIndex of arch; no archive or index 0 shows nothing.
    void SetDirectory(const TArch* arch, std::int32_t dirIndex);

    // Recs index of the entry of row, 0 outside the rows.
    std::int32_t RecAt(int row) const;

    // Shows text in the note column of row until cleared, so a note being
    // typed is seen before it is stored.
    void SetLiveNote(int row, const QString& text);
    void ClearLiveNote();

    // Number of plain files listed and the sum of their sizes (a size that is
    // not a number adds nothing).
    std::int64_t FileCount() const { return fileCount_; }
    std::uint64_t ByteTotal() const { return byteTotal_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString SizeText(const TRec& rec) const;
    const TRec& Rec(int row) const;

    const TArch* arch_ = nullptr;
    std::vector<std::int32_t> rows_; // Recs indices of the listed entries
    std::int64_t fileCount_ = 0;
    std::uint64_t byteTotal_ = 0;
    int liveRow_ = -1;
    QString liveNote_;
    QIcon folderIcon_, fileIcon_;
};

} // namespace orbisk
