#include <gtest/gtest.h>

#include <sys/stat.h>

#include "ArchiveBuilder.h"
#include "TestSupport.h"
#include "WithoutDacOverride.h"
#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ArchiveList.h"
#include "core/catalog/ArchiveListEdit.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

using Lines = std::vector<std::string>;
using Slots = std::vector<std::int32_t>;

TArchiveList RowsAt(const Lines& treePaths) {
    TArchiveList list;
    for (std::size_t i = 0; i < treePaths.size(); ++i) {
        THead row;
        row.FileName = "f" + std::to_string(i + 1) + ".cd";
        row.Name = "N";
        row.Listed = 1;
        SetTreePath(row, treePaths[i]);
        list.Append(row);
    }
    return list;
}

Lines Paths(const TArchiveList& list) {
    Lines out;
    for (std::int32_t s = 1; s <= list.ArchiveCount(); ++s)
        out.push_back(list[s].TreePath);
    return out;
}

std::string Categories(const THead& row) {
    return row.Medium + "|" + row.Typ + "|" + row.SubTyp;
}

// A working folder with archives a.cd (CD\Hry) and b.cd (CD\Hry\Akce), built.
struct Folder {
    TempDir dir;
    TArchiveList list;
    RecordingHost host;
    Folder() {
        for (auto [file, subTyp] : {std::pair{"a.cd", ""}, std::pair{"b.cd", "Akce"}}) {
            TArch a = MakeArchive({{"\\", {{"DOOM", "0", "D1", "d----"}, {"x.txt", "5"}}},
                                   {"\\DOOM\\", {{"doom.exe", "2048"}}}},
                                  std::string("Hra ") + file);
            a.Head.Typ = "Hry";
            a.Head.SubTyp = subTyp;
            a.Head.Medium = "CD";
            a.Head.SN = "1A2B-0C3D";
            a.Head.Volume = "GAMES";
            a.Head.FileName = dir.File(file);
            EXPECT_TRUE(WriteArchive(a, host));
        }
        BuildArchiveList(dir.Path(), list, host);
    }
};

} // namespace

TEST(ArchiveListEdit, RenameMovesSubCategoriesAlong) {
    const Lines rows = {"\\CD\\Hry\\", "\\CD\\Hry\\Akce\\", "\\CD\\Hry2\\", "\\DVD\\Hry\\"};
    const struct {
        std::string oldPath, text;
        Lines after;
        Slots moved;
    } cases[] = {
        {"\\CD\\Hry\\",
         "Games",
         {"\\CD\\Games\\", "\\CD\\Games\\Akce\\", "\\CD\\Hry2\\", "\\DVD\\Hry\\"},
         {1, 2}},
        {"\\CD\\",
         "DVD-R",
         {"\\DVD-R\\Hry\\", "\\DVD-R\\Hry\\Akce\\", "\\DVD-R\\Hry2\\", rows[3]},
         {1, 2, 3}},
        {"\\CD\\Hry\\Akce\\", "A\\B\tC", {rows[0], "\\CD\\Hry\\A B C\\", rows[2], rows[3]}, {2}},
        {"\\CD\\Hry\\", "", rows, {}},
        {"\\CD\\Hry\\", "Hry", rows, {}},
        {"\\CD\\Nic\\", "Jine", rows, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.oldPath + " -> " + c.text);
        TArchiveList list = RowsAt(rows);
        TRenameResult r = RenameCategory(list, c.oldPath, c.text);
        EXPECT_EQ(Paths(list), c.after);
        EXPECT_EQ(r.Moved, c.moved);
        for (std::int32_t s = 1; s <= list.ArchiveCount(); ++s) {
            THead expected;
            SetTreePath(expected, list[s].TreePath);
            EXPECT_EQ(Categories(list[s]), Categories(expected));
        }
    }
    TArchiveList list = RowsAt(rows);
    list[2].Listed = 0;
    EXPECT_EQ(RenameCategory(list, "\\CD\\Hry\\", "G").Moved, (Slots{1}));
}

TEST(ArchiveListEdit, RenameAndMoveLiveInTheCacheNotInTheArchives) {
    Folder f;
    const std::string a = ReadFile(f.dir.File("a.cd")), b = ReadFile(f.dir.File("b.cd"));
    EXPECT_EQ(RenameCategory(f.list, "\\CD\\Hry\\", "Games").Moved, (Slots{1, 2}));
    EXPECT_EQ(RewriteArchiveList(f.list).ListedCount, 2);
    EXPECT_EQ(MoveArchivesToCategory(f.list, {1}, "\\DVD\\"), (Slots{1}));
    RewriteArchiveList(f.list);

    TArchiveList again;
    BuildArchiveList(f.dir.Path(), again, f.host);
    EXPECT_EQ(Paths(again), (Lines{"\\DVD\\", "\\CD\\Games\\Akce\\"}));
    EXPECT_EQ(Categories(again[2]), "CD|Games|Akce");
    EXPECT_EQ(ReadFile(f.dir.File("a.cd")), a);
    EXPECT_EQ(ReadFile(f.dir.File("b.cd")), b);
}

TEST(ArchiveListEdit, MoveFilesSelectedRowsAtTheTarget) {
    const Lines rows = {"\\CD\\", "\\CD\\Hry\\", "\\DVD\\"};
    const struct {
        Slots slots;
        std::string target;
        Lines after;
        Slots moved;
    } cases[] = {
        {{1, 3}, "\\CD\\Hry\\", {"\\CD\\Hry\\", rows[1], "\\CD\\Hry\\"}, {1, 3}},
        {{2}, "\\CD\\Hry\\", rows, {}},
        {{0, 4, -1, 2}, "\\X\\", {rows[0], "\\X\\", rows[2]}, {2}},
        {{1}, "CD", rows, {}},
        {{1}, "\\", rows, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        TArchiveList list = RowsAt(rows);
        EXPECT_EQ(MoveArchivesToCategory(list, c.slots, c.target), c.moved);
        EXPECT_EQ(Paths(list), c.after);
    }
}

TEST(ArchiveListEdit, PropertiesRewriteTheHeaderInsideTheFile) {
    const struct {
        TArchiveProperties values;
        std::string header; // Name|Medium|Typ|SubTyp|Owner|Description as stored
        std::string treePath;
    } cases[] = {
        {{"", "Nov\xC3\xA9\\x", "", "", "J\xC3\xA1\t", "d\x07"},
         " |other|Nov\xC3\xA9 x||J\xC3\xA1 |d ",
         "\\other\\Nov\xC3\xA9 x\\"},
        {{"Hra a.cd", "Hry", "", "CD", "", "nov\xC3\xBD popis"},
         "Hra a.cd|CD|Hry|||nov\xC3\xBD popis",
         "\\CD\\Hry\\"},
        {{"X", "", "Akce", "DVD", "", ""}, "X|DVD||Akce||", "\\DVD\\"},
    };
    auto header = [](const THead& h) {
        return h.Name + "|" + h.Medium + "|" + h.Typ + "|" + h.SubTyp + "|" + h.Owner + "|" +
               h.Description;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        Folder f;
        TPropertiesResult r = ApplyArchiveProperties(f.list, 1, c.values, f.host);
        EXPECT_TRUE(r.Saved);
        EXPECT_EQ(r.TreePathChanged, c.treePath != "\\CD\\Hry\\");
        EXPECT_EQ(r.OldTreePath, "\\CD\\Hry\\");
        EXPECT_EQ(header(f.list[1]), c.header);
        EXPECT_EQ(f.list[1].TreePath, c.treePath);
        TArch back;
        back.Head.FileName = f.dir.File("a.cd");
        ASSERT_TRUE(ReadArchive(back, f.host));
        EXPECT_EQ(header(back.Head), c.header);
        EXPECT_EQ(back.Head.SN + back.Head.Volume, "1A2B-0C3DGAMES");
        EXPECT_EQ(back.RecCount, 3);
        EXPECT_TRUE(FileExists(f.dir.File("a.bak")));
        EXPECT_TRUE(f.host.warns.empty());
    }
}

TEST(ArchiveListEdit, PropertiesThatCannotBeSavedChangeNothing) {
    Folder missing;
    ::unlink(missing.dir.File("a.cd").c_str());
    TPropertiesResult r =
        ApplyArchiveProperties(missing.list, 1, {"X", "", "", "DVD", "", ""}, missing.host);
    EXPECT_FALSE(r.Saved);
    EXPECT_EQ(missing.list[1].Name, "Hra a.cd");
    EXPECT_FALSE(FileExists(missing.dir.File("a.cd")));
    EXPECT_EQ(missing.host.informs, (Lines{std::string(kMsgFileMissing)}));

    Folder locked;
    const std::string before = ReadFile(locked.dir.File("a.cd"));
    ::chmod(locked.dir.Path().c_str(), 0555);
    WithoutDacOverride noOverride;
    if (!noOverride.Active()) GTEST_SKIP() << "cannot drop the override capabilities";
    r = ApplyArchiveProperties(locked.list, 1, {"X", "", "", "DVD", "", ""}, locked.host);
    EXPECT_FALSE(r.Saved);
    EXPECT_EQ(locked.list[1].TreePath, "\\CD\\Hry\\");
    EXPECT_EQ(ReadFile(locked.dir.File("a.cd")), before);
    EXPECT_EQ(locked.host.warns, (Lines{std::string(kMsgCannotCreate)}));
}

TEST(ArchiveListEdit, DeleteRemovesTheFileOrSaysWhyNot) {
    enum Setup { Plain, ReadOnly, Missing, LockedFolder };
    const struct {
        Setup setup;
        TDeleteStatus status;
        std::string message;
        bool fileAfter;
        int listedAfter;
    } cases[] = {
        {Plain, TDeleteStatus::Deleted, "", false, 0},
        {ReadOnly, TDeleteStatus::Deleted, "", false, 0},
        {Missing, TDeleteStatus::Missing, "", false, 1},
        {LockedFolder, TDeleteStatus::Failed, "Nelze smazat soubor a.cd", true, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.setup);
        Folder f;
        const std::string file = f.dir.File("a.cd");
        if (c.setup == ReadOnly) ::chmod(file.c_str(), 0444);
        if (c.setup == Missing) ::unlink(file.c_str());
        if (c.setup == LockedFolder) ::chmod(f.dir.Path().c_str(), 0555);
        WithoutDacOverride noOverride;
        if (c.setup == LockedFolder && !noOverride.Active()) continue;
        EXPECT_EQ(ArchiveFileExists(f.list, 1), c.setup != Missing);
        TDeleteResult r = DeleteArchive(f.list, 1);
        EXPECT_EQ(r.Status, c.status);
        EXPECT_EQ(r.Message, c.message);
        EXPECT_EQ(FileExists(file), c.fileAfter);
        EXPECT_EQ(f.list[1].Listed, c.listedAfter);
        EXPECT_EQ(f.list[2].Listed, 1);
    }
}
