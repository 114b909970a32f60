#pragma once
// The files of one folder whose names end with an extension (any case, so
// "x.CDS" is a catalogue as "x.cds" is): columns "Název", "Velikost"
// (right-aligned, FormatSize) and "Datum" (the modification time in the
// user's date order). Rows sort by name, locale-aware, unless a column
// click asks otherwise.
#include <QCollator>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "gui/common/ListModel.h"

namespace orbisk {

class TNumericDateFormatter;

class FolderFilesModel : public ListModel {
    Q_OBJECT
public:
    FolderFilesModel(QString extension, const TNumericDateFormatter& dates,
                     QObject* parent = nullptr);

    // Lists the matching files of folder, sorted by column and direction.
    void Fill(const QString& folder, int column = 0, int direction = 1);
    void SetExtension(const QString& extension) { extension_ = extension; }
    const QString& Folder() const { return folder_; }
    // The file name of row, as on disk.
    QString FileName(int row) const;
    // The full path of row's file, as bytes for core.
    std::string PathBytes(int row) const;
    QString Text(int row, int column) const;

    std::int32_t SlotAt(int row) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    struct Row {
        QString name;
        std::uint64_t size = 0;
        std::int64_t time = 0; // seconds since the epoch
        QString sizeText, dateText;
        std::int32_t slot = 0;
    };
    bool Before(const Row& a, const Row& b, int column) const;

    QString extension_;
    const TNumericDateFormatter& dates_;
    QString folder_;
    std::vector<Row> rows_;
    QCollator collator_;
};

} // namespace orbisk
