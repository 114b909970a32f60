#pragma once
// The results of a search window in its two forms: the lines of the text
// view (marked names, drawn by MarkedLineDelegate) and the rows of the list
// view. Each keeps, beside what it shows, where its result came from, so a
// jump never has to read it back out of a shown text.
#include <QAbstractListModel>
#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/search/SearchRun.h"
#include "gui/common/ListModel.h"

namespace orbisk {

// Where a result lies: what a jump to it needs.
struct TResultPlace {
    std::int32_t ArchiveSlot = 0; // row of the archive list; 0 for the open archive
    std::string ArchiveFile;
    std::string Path; // the folder, "\" at both ends
    std::string Name; // unmarked
};

TResultPlace PlaceOf(const TSearchResult& result);

class SearchTextModel : public QAbstractListModel {
    Q_OBJECT
public:
    // The longest line (most bytes), so a view of uniform rows is as
    // wide as its widest line.
    static constexpr int LongestLineRole = Qt::UserRole + 1;

    explicit SearchTextModel(QObject* parent = nullptr);

    // Appends the lines of results, in order, in one insertion.
    void Append(const std::vector<TSearchResult>& results);
    void Clear();

    const TResultPlace& PlaceAt(int row) const { return places_[static_cast<std::size_t>(row)]; }
    // The line of row as stored, with its marks.
    const std::string& LineAt(int row) const { return lines_[static_cast<std::size_t>(row)]; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<std::string> lines_;
    std::vector<TResultPlace> places_;
    std::size_t longest_ = 0; // index of the longest line
};

class SearchListModel : public ListModel {
    Q_OBJECT
public:
    enum Column {
        ColCD,
        ColDir,
        ColName,
        ColSize,
        ColDate,
        ColAttr,
        ColNote,
        ColDesc,
        ColumnCount
    };

    explicit SearchListModel(QObject* parent = nullptr);

    void Append(const std::vector<TSearchResult>& results);
    void Clear();

    // The archive list slot the row carries (0 for the open archive).
    std::int32_t SlotAt(int row) const override;
    const TResultPlace& PlaceAt(int row) const {
        return rows_[static_cast<std::size_t>(row)].Place;
    }
    // The stored text of a cell ("Popis" as stored, with its 0x07 bytes).
    const std::string& Cell(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    struct TRow {
        std::array<std::string, ColumnCount> Cells;
        TResultPlace Place;
        int Picture = 0;
    };
    std::vector<TRow> rows_;
};

} // namespace orbisk
