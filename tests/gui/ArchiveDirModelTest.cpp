#include <QAbstractItemModelTester>
#include <gtest/gtest.h>

#include "gui/mainwin/ArchiveDirModel.h"

namespace orbisk {
namespace {

QString Cell(const ArchiveDirModel& model, int row, int column) {
    return model.data(model.index(row, column), Qt::DisplayRole).toString();
}

TArch RootWith(const std::vector<TRec>& recs) {
    TArch arch;
    arch.AddDir("\\");
    for (const TRec& rec : recs)
        arch.AddRec(rec);
    return arch;
}

TEST(ArchiveDirModel, ListsPresentEntriesWithTheirSizeTextAndCountsPlainFiles) {
    TArch arch = RootWith({
        {"DOOM", "0", "1.1.2001", "d----", "games", "", 1},
        {"gone.txt", "999", "1.1.2001", " -a--", "", "", 0},
        {"readme.txt", "1520", "2.1.2001", " -a--", "read first", "Notes\x07", 1},
        {"DATA.ZIP", "2048000", "3.1.2001", "p-a--", "", "", 1},
        {"Disk 1", "0", "", "Archiv", "", "", 1},
        {"odd", "12a", "?", " ----", "", "", 1},
    });
    ArchiveDirModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetDirectory(&arch, 1);

    struct Row {
        std::int32_t rec;
        const char *name, *size, *date, *attr, *note;
    } rows[] = {
        {1, "DOOM", "<DIR>", "1.1.2001", "d----", "games"},
        {3, "readme.txt", "1 520", "2.1.2001", " -a--", "read first"},
        {4, "DATA.ZIP", "2 048 000", "3.1.2001", "p-a--", ""},
        {5, "Disk 1", "Archiv", "", "Archiv", ""},
        {6, "odd", "12a", "?", " ----", ""},
    };
    ASSERT_EQ(model.rowCount(), static_cast<int>(std::size(rows)));
    for (int r = 0; r < model.rowCount(); ++r) {
        const Row& row = rows[r];
        EXPECT_EQ(model.RecAt(r), row.rec);
        const char* cells[] = {row.name, row.size, row.date, row.attr, row.note};
        for (int c = 0; c < ArchiveDirModel::ColumnCount; ++c)
            EXPECT_EQ(Cell(model, r, c), QString::fromUtf8(cells[c])) << r << "," << c;
    }
    EXPECT_EQ(model.RecAt(-1), 0);
    EXPECT_EQ(model.RecAt(model.rowCount()), 0);
    // Plain files and listed packed files count; a size that is no number adds nothing.
    EXPECT_EQ(model.FileCount(), 3);
    EXPECT_EQ(model.ByteTotal(), 1520u + 2048000u);
}

TEST(ArchiveDirModel, ShowsNothingForAMissingOrDamagedDirectory) {
    TArch arch = RootWith({{"a", "1", "", " ----", "", "", 1}});
    struct Row {
        const char* what;
        std::int32_t dirIndex, first, count;
        int rows;
    } rows[] = {
        {"no directory", 0, 1, 1, 0},
        {"index past the directories", 2, 1, 1, 0},
        {"count past the entries", 1, 1, 50, 1},
        {"first before slot 1", 1, -5, 7, 1},
        {"negative count", 1, 1, -3, 0},
        {"count at the 32-bit limit", 1, 1, 2147483647, 1},
    };
    ArchiveDirModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    for (const Row& row : rows) {
        arch.Dirs[1].First = row.first;
        arch.Dirs[1].Count = row.count;
        model.SetDirectory(&arch, row.dirIndex);
        EXPECT_EQ(model.rowCount(), row.rows) << row.what;
    }
    model.SetDirectory(nullptr, 1);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(ArchiveDirModel, ANoteBeingTypedShowsInItsRowUntilCleared) {
    TArch arch =
        RootWith({{"a", "1", "", " ----", "old", "", 1}, {"b", "1", "", " ----", "", "", 1}});
    ArchiveDirModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetDirectory(&arch, 1);
    model.SetLiveNote(0, QStringLiteral("typing"));
    EXPECT_EQ(Cell(model, 0, ArchiveDirModel::ColNote), QStringLiteral("typing"));
    model.SetLiveNote(1, QStringLiteral("other"));
    EXPECT_EQ(Cell(model, 0, ArchiveDirModel::ColNote), QStringLiteral("old"));
    EXPECT_EQ(Cell(model, 1, ArchiveDirModel::ColNote), QStringLiteral("other"));
    model.ClearLiveNote();
    EXPECT_EQ(Cell(model, 1, ArchiveDirModel::ColNote), QString());
}

} // namespace
} // namespace orbisk
