#pragma once
// The rows of the archive list: the archives filed at one tree node, each
// row carrying its archive list slot. Columns "Archiv" (the Name), "Medium",
// "Typ", "Subtyp", "Vlastník", "Popis", "Soubor". Rows sort by the text of
// one column, locale-aware; selected rows can be dragged onto the tree.
#include <QCollator>
#include <cstdint>
#include <vector>

#include "gui/common/ListModel.h"

namespace orbisk {

struct TArchiveList;

class ArchiveListModel : public ListModel {
    Q_OBJECT
public:
    ArchiveListModel(const TArchiveList& list, QObject* parent = nullptr);

    // Shows the rows of slots, sorted by column in direction (+1 or -1).
    void SetSlots(std::vector<std::int32_t> slots, int column, int direction);
    void Clear();
    // Takes the row of slot out of the list.
    void RemoveSlot(std::int32_t slot);
    // The row of slot shows its archive list row again.
    void SlotChanged(std::int32_t slot);
    int RowOfSlot(std::int32_t slot) const;
    // The text of a cell as shown.
    QString Text(int row, int column) const;

    std::int32_t SlotAt(int row) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    void sort(int column, Qt::SortOrder order) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

private:
    const TArchiveList& list_;
    std::vector<std::int32_t> slots_;
    QCollator collator_;
};

} // namespace orbisk
