#include "core/catalog/Browse.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ArchiveBuilder.h"
#include "core/catalog/Common.h"

namespace orbisk {
namespace {

using test::DirSpec;
using test::EntrySpec;

EntrySpec Dir(const std::string& name, const std::string& note = {}) {
    return {name, "0", "1.1.2001 1:00:00", "d----", note, {}};
}
EntrySpec File(const std::string& name, const std::string& size, const std::string& note = {},
               const std::string& description = {}) {
    return {name, size, "2.2.2002 2:00:00", " -a--", note, description};
}
EntrySpec Packed(const std::string& name, const std::string& size) {
    return {name, size, "3.3.2003 3:00:00", "p-a--", {}, {}};
}
EntrySpec Merged(const std::string& name) {
    return {name, "0", "", "Archiv", {}, {}};
}

// \GAMES\ with a folder, a listed ZIP, a merged archive and plain files.
TArch Games() {
    return test::MakeArchive({
        {"\\", {Dir("GAMES"), File("readme.txt", "1 500")}},
        {"\\GAMES\\",
         {Dir("DOOM", "classic"), File("setup.exe", "2048"), Packed("DATA.ZIP", "1000"),
          Merged("Disk 1"), File("odd.bin", "12a"), File("big.iso", "5000000000", "", "A\x07")}},
        {"\\GAMES\\DOOM\\", {File("doom.wad", "4000"), Dir("SAVE")}},
        {"\\GAMES\\DOOM\\SAVE\\", {File("slot1.sav", "100")}},
        {"\\GAMES\\DATA.ZIP\\", {File("inside.txt", "70000")}},
        {"\\GAMES\\Disk 1\\", {File("a.txt", "30"), Dir("SUB")}},
        {"\\GAMES\\Disk 1\\SUB\\", {File("b.txt", "7")}},
    });
}

std::vector<std::string> Names(const TArch& arch, const std::vector<TFolderRow>& rows) {
    std::vector<std::string> names;
    for (const TFolderRow& row : rows)
        names.push_back(row.Rec == 0 ? std::string(kParentRowName)
                                     : arch.Recs[static_cast<std::size_t>(row.Rec)].Name.str());
    return names;
}

TEST(Browse, PathsGoUpAndDownAndCountTheirDepth) {
    struct Row {
        const char *path, *parent;
        int depth;
    } rows[] = {
        {"\\", "\\", 1},
        {"\\GAMES\\", "\\", 2},
        {"\\GAMES\\DOOM\\", "\\GAMES\\", 3},
        {"\\GAMES\\DATA.ZIP\\", "\\GAMES\\", 3},
        {"", "\\", 0},
        {"NOSLASH", "\\", 0},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ParentPath(row.path), row.parent) << row.path;
        EXPECT_EQ(PathDepth(row.path), row.depth) << row.path;
    }
    EXPECT_EQ(ChildPath("\\GAMES\\", "DOOM"), "\\GAMES\\DOOM\\");
}

TEST(Browse, ListsPresentEntriesWithPicturesSizeTextsAndTotals) {
    TArch arch = Games();
    const std::int32_t games = arch.FindDir("\\GAMES\\");
    arch.Recs[static_cast<std::size_t>(arch.Dirs[static_cast<std::size_t>(games)].First + 1)]
        .Present = 0; // setup.exe
    struct Row {
        const char* name;
        int picture;
        bool folder;
        const char* size;
    } expected[] = {
        {"[ .. ]", kIconParent, true, "<DIR>"},    {"DOOM", kIconFolder, true, "<DIR>"},
        {"DATA.ZIP", kIconPacked, false, "1 000"}, {"Disk 1", kIconMerged, false, "Archiv"},
        {"odd.bin", kIconFile, false, "12a"},      {"big.iso", kIconFile, false, "5 000 000 000"},
    };
    TFolderListing listing = ListFolderRows(arch, "\\GAMES\\", {});
    EXPECT_EQ(listing.DirIndex, games);
    ASSERT_EQ(listing.Rows.size(), std::size(expected));
    const std::vector<std::string> names = Names(arch, listing.Rows);
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(names[i], expected[i].name);
        EXPECT_EQ(listing.Rows[i].Picture, expected[i].picture);
        EXPECT_EQ(listing.Rows[i].Folder, expected[i].folder);
        EXPECT_EQ(listing.Rows[i].SizeText, expected[i].size);
    }
    // Packed and plain files count; "12a" counts but adds nothing; sizes are 64-bit.
    EXPECT_EQ(listing.FileCount, 3);
    EXPECT_EQ(listing.ByteTotal, 1000 + 5000000000LL);
    EXPECT_EQ(TotalsText(listing.ByteTotal, listing.FileCount, " souborech"),
              " 4 882 813 kB v 3 souborech");
}

TEST(Browse, TheRootHasNoParentRowAndAMissingFolderOnlyTheParentRow) {
    const TArch arch = Games();
    struct Row {
        const char* path;
        bool found;
        std::vector<std::string> names;
    } rows[] = {
        {"\\", true, {"GAMES", "readme.txt"}},
        {"\\GONE\\", false, {"[ .. ]"}},
        {"\\games\\", false, {"[ .. ]"}}, // paths compare exactly
    };
    for (const Row& row : rows) {
        TFolderListing listing = ListFolderRows(arch, row.path, {});
        EXPECT_EQ(listing.DirIndex != 0, row.found) << row.path;
        EXPECT_EQ(Names(arch, listing.Rows), row.names) << row.path;
    }
}

TEST(Browse, CommentedListsFoldersAndEntriesWithANoteOrDescriptionOnly) {
    const TArch arch =
        test::MakeArchive({{"\\",
                            {Dir("EMPTY"), File("plain.txt", "1"), File("noted.txt", "2", "see"),
                             File("described.txt", "3", "", "line\x07"), Packed("DATA.ZIP", "4"),
                             Merged("Disk 1")}}});
    struct Row {
        bool showAll;
        std::vector<std::string> names;
        std::int64_t files, bytes;
    } rows[] = {
        {true, {"EMPTY", "plain.txt", "noted.txt", "described.txt", "DATA.ZIP", "Disk 1"}, 4, 10},
        {false, {"EMPTY", "noted.txt", "described.txt"}, 2, 5},
    };
    for (const Row& row : rows) {
        TFolderListing listing = ListFolderRows(arch, "\\", {row.showAll, false});
        EXPECT_EQ(Names(arch, listing.Rows), row.names) << row.showAll;
        EXPECT_EQ(listing.FileCount, row.files);
        EXPECT_EQ(listing.ByteTotal, row.bytes);
    }
}

TEST(Browse, SizesOfFoldersCountEverythingBelowThemOnce) {
    TArch arch = Games();
    const TDirIndex dirs(arch);
    struct Row {
        const char* what;
        const char* path;
        std::int64_t size;
    } rows[] = {
        {"a folder with a subfolder", "\\GAMES\\DOOM\\", 4100},
        {"a merged archive counts its contents", "\\GAMES\\Disk 1\\", 37},
        {"a listed ZIP counts its packed size only", "\\GAMES\\",
         4100 + 2048 + 1000 + 37 + 5000000000LL},
        {"the whole archive", "\\", 1500 + 4100 + 2048 + 1000 + 37 + 5000000000LL},
        {"no such folder", "\\NONE\\", 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(FolderSize(arch, row.path, dirs), row.size) << row.what;

    // ItemSize of single rows of \GAMES\.
    const std::int32_t first = arch.Dirs[static_cast<std::size_t>(arch.FindDir("\\GAMES\\"))].First;
    EXPECT_EQ(ItemSize(arch, "\\GAMES\\", 0, dirs), 0);            // "[ .. ]"
    EXPECT_EQ(ItemSize(arch, "\\GAMES\\", first, dirs), 4100);     // DOOM
    EXPECT_EQ(ItemSize(arch, "\\GAMES\\", first + 2, dirs), 1000); // DATA.ZIP
    EXPECT_EQ(ItemSize(arch, "\\GAMES\\", first + 3, dirs), 37);   // Disk 1
    EXPECT_EQ(ItemSize(arch, "\\GAMES\\", first + 4, dirs), 0);    // "12a"

    // Deleted entries no longer count.
    MarkDeleted(arch, "\\GAMES\\DOOM\\",
                arch.Dirs[static_cast<std::size_t>(arch.FindDir("\\GAMES\\DOOM\\"))].First);
    EXPECT_EQ(FolderSize(arch, "\\GAMES\\DOOM\\"), 100);
}

TEST(Browse, AFolderNamedTwiceInADamagedFileCountsOnce) {
    // Each level names its subfolder twice; a walk that followed every name
    // would visit 2^30 folders.
    std::vector<DirSpec> dirs;
    std::string path = "\\";
    for (int level = 0; level < 30; ++level) {
        dirs.push_back({path, {Dir("x"), Dir("x"), File("f", "1")}});
        path += "x\\";
    }
    const TArch arch = test::MakeArchive(dirs);
    EXPECT_EQ(FolderSize(arch, "\\"), 30);
}

TEST(Browse, FolderSizesOptionShowsSizesInsteadOfDir) {
    const TArch arch = Games();
    TFolderListing listing = ListFolderRows(arch, "\\", {true, true});
    ASSERT_EQ(listing.Rows.size(), 2u);
    EXPECT_EQ(listing.Rows[0].SizeText, FormatSize(std::to_string(FolderSize(arch, "\\GAMES\\"))));
    EXPECT_EQ(listing.Rows[1].SizeText, "1 500");
}

TEST(Browse, MarkDeletedTakesFoldersPackedFilesAndMergedArchivesWithEverythingBelow) {
    struct Row {
        const char* what;
        const char* name; // entry of \GAMES\ to delete
        std::vector<std::string> gone;
    } rows[] = {
        {"a plain file", "setup.exe", {"setup.exe"}},
        {"a folder and its subfolders", "DOOM", {"DOOM", "doom.wad", "SAVE", "slot1.sav"}},
        {"a listed ZIP and its contents", "DATA.ZIP", {"DATA.ZIP", "inside.txt"}},
        {"a merged archive and its folders", "Disk 1", {"Disk 1", "a.txt", "SUB", "b.txt"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TArch arch = Games();
        std::int32_t rec = 0;
        for (std::int32_t i = 1; i <= arch.RecCount; ++i)
            if (arch.Recs[static_cast<std::size_t>(i)].Name == row.name) rec = i;
        ASSERT_NE(rec, 0);
        EXPECT_EQ(MarkDeleted(arch, "\\GAMES\\", rec), static_cast<std::int64_t>(row.gone.size()));
        std::vector<std::string> gone;
        for (std::int32_t i = 1; i <= arch.RecCount; ++i)
            if (!arch.Recs[static_cast<std::size_t>(i)].Present)
                gone.push_back(arch.Recs[static_cast<std::size_t>(i)].Name.str());
        std::sort(gone.begin(), gone.end());
        std::vector<std::string> want = row.gone;
        std::sort(want.begin(), want.end());
        EXPECT_EQ(gone, want);
    }
    TArch arch = Games();
    EXPECT_EQ(MarkDeleted(arch, "\\GAMES\\", 0), 0); // "[ .. ]" is passed over
}

// Rows for ordering: name, size text, folder; Rec 0 is "[ .. ]".
std::vector<TFolderRow> SortRows(const std::vector<std::pair<std::string, std::string>>& spec,
                                 std::vector<std::string>& names) {
    std::vector<TFolderRow> rows;
    names.clear();
    std::int32_t rec = 0;
    for (const auto& [name, size] : spec) {
        const bool parent = name == kParentRowName;
        const bool folder = parent || name.back() == '/';
        rows.push_back({parent ? 0 : ++rec, 0, folder, size});
        names.push_back(name);
    }
    return rows;
}

TEST(Browse, OrderPutsParentAndFoldersFirstThenTheColumnTimesTheDirection) {
    const std::vector<std::pair<std::string, std::string>> spec = {
        {"b.txt", "1 234"}, {"[ .. ]", "<DIR>"}, {"Z/", "<DIR>"}, {"a.txt", "999"},  {"odd", "12a"},
        {"A/", "<DIR>"},    {"c.txt", "-5"},     {"empty", ""},   {"d.txt", "1234"},
    };
    struct Row {
        const char* what;
        int column, direction;
        std::vector<std::string> order;
    } rows[] = {
        {"name ascending",
         kColName,
         1,
         {"[ .. ]", "A/", "Z/", "a.txt", "b.txt", "c.txt", "d.txt", "empty", "odd"}},
        {"name descending keeps parent and folders first",
         kColName,
         -1,
         {"[ .. ]", "Z/", "A/", "odd", "empty", "d.txt", "c.txt", "b.txt", "a.txt"}},
        {"size ascending: blanks removed, no number counts 0, ties keep listing order",
         kColSize,
         1,
         {"[ .. ]", "Z/", "A/", "c.txt", "odd", "empty", "a.txt", "b.txt", "d.txt"}},
        {"size descending",
         kColSize,
         -1,
         {"[ .. ]", "Z/", "A/", "b.txt", "d.txt", "a.txt", "odd", "empty", "c.txt"}},
    };
    std::vector<std::string> names;
    const std::vector<TFolderRow> folderRows = SortRows(spec, names);
    auto byName = [&names](std::size_t a, std::size_t b) { return names[a].compare(names[b]); };
    for (const Row& row : rows) {
        std::vector<std::string> got;
        for (std::size_t i : FolderRowOrder(folderRows, row.column, row.direction, byName))
            got.push_back(names[i]);
        EXPECT_EQ(got, row.order) << row.what;
    }
}

} // namespace
} // namespace orbisk
