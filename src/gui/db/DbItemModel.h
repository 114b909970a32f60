#pragma once
// The items of one database category as rows: "Plný název", "Velikost"
// (right-aligned), "Archiv", "Cesta". Each row carries its item index. Rows
// are ordered by name, locale-aware; in the editing window they can be
// dragged onto a category of the tree.
#include <QCollator>
#include <QString>
#include <cstdint>
#include <vector>

#include "core/catalog/Browse.h"
#include "gui/common/ListModel.h"

namespace orbisk {

class TDatabase;

// Mime type of a drag that carries one database item index.
inline constexpr const char* kDbItemMime = "application/x-orbisk-db-item";

class DbItemModel : public ListModel {
    Q_OBJECT
public:
    DbItemModel(const TDatabase& db, QObject* parent = nullptr);

    // Shows the items of range, ordered by name; sizes grouped by FormatSize.
    void Fill(TEntryRange items);
    void Clear();
    // The row shows its item's fields again; the size as it is stored.
    void RowChanged(int row);
    int RowOfItem(std::int32_t item) const;
    QString Text(int row, int column) const;
    void SetDraggable(bool on) { draggable_ = on; }

    std::int32_t SlotAt(int row) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Always by name, ascending: the list has no other order.
    void sort(int column, Qt::SortOrder order) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

private:
    struct Row {
        std::int32_t item = 0;
        QString cells[4];
    };
    Row MakeRow(std::int32_t item, bool groupSize) const;

    const TDatabase& db_;
    std::vector<Row> rows_;
    QCollator collator_;
    bool draggable_ = false;
};

// The item index a drag carries, or 0.
std::int32_t DecodeDbItem(const QMimeData* data);

} // namespace orbisk
