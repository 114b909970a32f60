#pragma once
// The rows of one folder of the open archive: "Název", "Velikost", "Datum",
// "Atribut", "Poznámka", with the pictures of the entries' types (EntryIcon).
// The rows are built by core in one go (ListFolderRows) and read the archive
// they were built from; whoever changes that archive's arrays clears the
// model first.
#include <QCollator>
#include <QFont>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "core/catalog/Browse.h"
#include "gui/common/ListModel.h"

namespace orbisk {

class ContentModel : public ListModel {
    Q_OBJECT
public:
    enum Column { ColName = kColName, ColSize, ColDate, ColAttr, ColNote, ColumnCount };

    explicit ContentModel(QObject* parent = nullptr);

    // Shows the rows of listing, read from arch, ordered by column and
    // direction (+1 or -1).
    void SetListing(const TArch* arch, TFolderListing listing, int column, int direction);
    void Clear();

    const TFolderListing& Listing() const { return listing_; }
    std::int32_t SlotAt(int row) const override;
    // The row showing entry rec, -1 when none does.
    int RowOfRec(std::int32_t rec) const;
    const TFolderRow* RowAt(int row) const;

    void SetSizeText(int row, std::string text);

    // Shows text in the note column of entry rec until cleared, so a note
    // being typed is seen before it is stored.
    void SetLiveNote(std::int32_t rec, const QString& text);
    void ClearLiveNote();
    // The entry rec was changed in the archive: its row is drawn again.
    void RecChanged(std::int32_t rec);

    // Rows whose entry has a note or a description are drawn in bold.
    void SetBoldNoticed(bool on);

    // The text of a cell as shown.
    QString Text(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    const TRec& Rec(const TFolderRow& row) const;
    // Orders the rows; returns for each new position the old one.
    std::vector<std::size_t> Order(int column, int direction);
    void EmitRowChanged(int row);

    const TArch* arch_ = nullptr;
    TFolderListing listing_;
    std::int32_t liveRec_ = 0;
    QString liveNote_;
    bool boldNoticed_ = false;
    QFont bold_;
    QCollator collator_;
};

} // namespace orbisk
