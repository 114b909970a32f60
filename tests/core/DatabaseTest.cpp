#include <gtest/gtest.h>

#include <random>
#include <sys/stat.h>

#include "ArchiveBuilder.h"
#include "FailingDevice.h"
#include "TestSupport.h"
#include "WithoutDacOverride.h"
#include "core/catalog/ArchiveFile.h"
#include "core/db/CategoryTree.h"
#include "core/db/Database.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

constexpr std::string_view kEmptyHeader = "<head>\r\nName=\r\nTyp=\r\nSubTyp=\r\nMedium=\r\n"
                                          "Owner=\r\nDescription=\r\nSN=\r\nVolume=\r\n"
                                          "Packed=\r\n\r\n<tree>\r\n";

TRec Item(const std::string& name) {
    return MakeDbItem({name, "1 024", "Games 1", "\\DOOM\\" + name, "", ""});
}

// The names of a category's items, in run order.
std::vector<std::string> Names(const TDatabase& db, std::string_view path) {
    std::vector<std::string> names;
    const TEntryRange items = db.ItemsOf(path);
    for (std::int32_t i = items.First; i <= items.Last; ++i)
        names.push_back(db.Item(i).Name.str());
    return names;
}

// The tree section of the saved file: what follows "<tree>".
std::string SavedTree(TDatabase& db) {
    RecordingHost host;
    EXPECT_EQ(db.Save(host), TDbSave::Saved);
    std::string text = ReadFile(db.FileName());
    return text.substr(text.find("<tree>\r\n") + 8);
}

struct Fixture {
    TempDir dir;
    RecordingHost host;
    TDatabase db;
    Fixture() { EXPECT_TRUE(db.Open(DatabasePath(dir.Path()), host, true)); }
};

} // namespace

TEST(Database, OpeningAMissingFileCreatesAnEmptyDatabase) {
    Fixture f;
    EXPECT_EQ(ReadFile(f.dir.File("cd.db")), kEmptyHeader);
    EXPECT_EQ(f.db.CategoryCount(), 0);
    TDatabase readOnly;
    EXPECT_FALSE(readOnly.Open(f.dir.File("other.db"), f.host, false));
    EXPECT_FALSE(FileExists(f.dir.File("other.db")));
}

TEST(Database, EditsGiveTheFileTheirOrder) {
    struct Step {
        const char* what;
        void (*apply)(TDatabase&);
        const char* tree; // the saved tree section afterwards
    };
    const Step steps[] = {
        {"the first insert creates the root category",
         [](TDatabase& db) { db.InsertItem("\\", Item("a")); },
         "\\\r\na\t1 024\tGames 1\t\\DOOM\\a\t\t\r\n"},
        {"a later item comes first", [](TDatabase& db) { db.InsertItem("\\", Item("b")); },
         "\\\r\nb\t1 024\tGames 1\t\\DOOM\\b\t\t\r\na\t1 024\tGames 1\t\\DOOM\\a\t\t\r\n"},
        {"an empty category created earlier takes an item at the end",
         [](TDatabase& db) {
             db.AddCategory("\\X\\");
             db.AddCategory("\\Y\\");
             db.InsertItem("\\Y\\", Item("y"));
             db.InsertItem("\\X\\", Item("x"));
         },
         "\\\r\nb\t1 024\tGames 1\t\\DOOM\\b\t\t\r\na\t1 024\tGames 1\t\\DOOM\\a\t\t\r\n"
         "\\X\\\r\nx\t1 024\tGames 1\t\\DOOM\\x\t\t\r\n"
         "\\Y\\\r\ny\t1 024\tGames 1\t\\DOOM\\y\t\t\r\n"},
        {"removing the last item keeps its category",
         [](TDatabase& db) { db.RemoveItem(db.ItemsOf("\\X\\").First); },
         "\\\r\nb\t1 024\tGames 1\t\\DOOM\\b\t\t\r\na\t1 024\tGames 1\t\\DOOM\\a\t\t\r\n"
         "\\X\\\r\n\\Y\\\r\ny\t1 024\tGames 1\t\\DOOM\\y\t\t\r\n"},
        {"removing a category between two others keeps their items",
         [](TDatabase& db) { EXPECT_TRUE(db.RemoveCategory(db.FindCategory("\\X\\"))); },
         "\\\r\nb\t1 024\tGames 1\t\\DOOM\\b\t\t\r\na\t1 024\tGames 1\t\\DOOM\\a\t\t\r\n"
         "\\Y\\\r\ny\t1 024\tGames 1\t\\DOOM\\y\t\t\r\n"},
        {"a moved item becomes the first of its new category",
         [](TDatabase& db) { db.MoveItem(db.ItemsOf("\\").Last, "\\Y\\"); },
         "\\\r\nb\t1 024\tGames 1\t\\DOOM\\b\t\t\r\n"
         "\\Y\\\r\na\t1 024\tGames 1\t\\DOOM\\a\t\t\r\ny\t1 024\tGames 1\t\\DOOM\\y\t\t\r\n"},
        {"an update keeps note and description",
         [](TDatabase& db) {
             db.SetDescription(1, {"one", "two", "three"});
             db.UpdateItem(1, "B", "2", "Disk", "\\B");
         },
         "\\\r\nB\t2\tDisk\t\\B\t\tone\x07two\x07three\x07\r\n"
         "\\Y\\\r\na\t1 024\tGames 1\t\\DOOM\\a\t\t\r\ny\t1 024\tGames 1\t\\DOOM\\y\t\t\r\n"},
    };
    Fixture f;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.apply(f.db);
        EXPECT_EQ(SavedTree(f.db), step.tree);
        // Read back, the file gives the same database.
        ASSERT_TRUE(f.db.Open(f.db.FileName(), f.host, false));
        EXPECT_EQ(SavedTree(f.db), step.tree);
    }
}

// Random edits against a plain list of categories: after every step each
// category lists exactly its items, newest first, also after a reload.
TEST(Database, RandomEditsKeepEveryCategoryItsItems) {
    const std::vector<std::string> paths = {"\\", "\\A\\", "\\A\\B\\", "\\C\\", "\\D\\"};
    std::vector<std::pair<std::string, std::vector<std::string>>> model;
    auto find = [&](const std::string& path) {
        for (auto& cat : model)
            if (cat.first == path) return &cat.second;
        return &model.emplace_back(path, std::vector<std::string>{}).second;
    };
    Fixture f;
    std::mt19937 random(13);
    for (int step = 0; step < 400; ++step) {
        const std::string& path = paths[random() % paths.size()];
        std::vector<std::string>* items = find(path);
        const int op = static_cast<int>(random() % 4);
        if (op <= 1 || items->empty()) {
            std::string name = "n" + std::to_string(step);
            f.db.InsertItem(path, Item(name));
            items->insert(items->begin(), name);
        } else {
            const std::size_t k = random() % items->size();
            const std::int32_t index = f.db.ItemsOf(path).First + static_cast<std::int32_t>(k);
            std::string name = (*items)[k];
            items->erase(items->begin() + static_cast<std::ptrdiff_t>(k));
            if (op == 2) {
                ASSERT_EQ(f.db.RemoveItem(index)->Name, name);
            } else {
                const std::string& to = paths[random() % paths.size()];
                f.db.MoveItem(index, to);
                std::vector<std::string>* target = find(to);
                target->insert(target->begin(), name);
            }
        }
        if (step % 50 == 49) {
            ASSERT_EQ(f.db.Save(f.host), TDbSave::Saved);
            ASSERT_TRUE(f.db.Open(f.db.FileName(), f.host, false));
        }
        for (const auto& [p, names] : model)
            ASSERT_EQ(Names(f.db, p), names) << "step " << step << " " << p;
    }
}

// A path without a record of its own lists no items, whatever the
// categories around it hold.
TEST(Database, APathWithoutItsOwnRecordHasNoItems) {
    Fixture f;
    f.db.InsertItem("\\A\\B\\", Item("deep"));
    f.db.InsertItem("\\C\\", Item("last"));
    const struct {
        std::string path;
        std::vector<std::string> names;
    } cases[] = {
        {"\\A\\B\\", {"deep"}}, {"\\C\\", {"last"}}, {"\\A\\", {}}, {"\\", {}}, {"\\Z\\", {}}};
    for (const auto& c : cases)
        EXPECT_EQ(Names(f.db, c.path), c.names) << c.path;
    EXPECT_EQ(f.db.FindCategory("\\A\\"), 0);
    EXPECT_EQ(f.db.Category(f.db.CategoryOfItem(1)).Path, "\\A\\B\\");
}

TEST(Database, ACategoryGoesOnlyWhenEmptyAndWithoutSubcategories) {
    Fixture f;
    f.db.AddCategory("\\");
    f.db.AddCategory("\\A\\");
    f.db.AddCategory("\\A\\B\\");
    f.db.InsertItem("\\Full\\", Item("x"));
    const struct {
        const char* path;
        bool removable;
    } cases[] = {{"\\A\\", false}, {"\\Full\\", false}, {"\\A\\B\\", true}, {"\\", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(f.db.RemoveCategory(f.db.FindCategory(c.path)), c.removable);
        EXPECT_EQ(f.db.FindCategory(c.path) == 0, c.removable);
    }
    EXPECT_TRUE(f.db.RemoveCategory(f.db.FindCategory("\\A\\")));
}

TEST(Database, DescriptionsSplitAtEachMark) {
    const struct {
        std::string text;
        std::vector<std::string> lines;
    } cases[] = {
        {"", {}},
        {"one\x07two\x07three\x07", {"one", "two", "three"}},
        {"one\x07two\x07three", {"one", "two", "three"}},
        {"\x07\x07", {"", ""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DescriptionLines(c.text), c.lines) << c.text;
        if (c.text.empty() || c.text.back() == '\x07') {
            EXPECT_EQ(JoinDescription(c.lines), c.text);
        }
    }
}

// Typed values that hold a TAB, CR, LF or 0x1A would split the item's line
// or end the file early: they are stored as blanks and read back whole.
TEST(Database, ValuesThatWouldBreakTheFileAreStoredAsBlanks) {
    Fixture f;
    f.db.InsertItem("\\Tab\there\\", MakeDbItem({"a\tb", "1\r2", "arch\x1a", "\\p\n", "n\to",
                                                 "d\tkeeps tab\x07line\r\x07"}));
    f.db.InsertItem("\\", Item("after"));
    f.db.SetDescription(f.db.ItemsOf("\\").First, {"x\x07y", "z\x1a"});
    ASSERT_EQ(f.db.Save(f.host), TDbSave::Saved);
    ASSERT_TRUE(f.db.Open(f.db.FileName(), f.host, false));
    ASSERT_EQ(f.db.CategoryCount(), 2);
    ASSERT_EQ(f.db.ItemCount(), 2);
    const TRec& rec = f.db.Item(f.db.ItemsOf("\\Tab here\\").First);
    EXPECT_EQ(rec.Name, "a b");
    EXPECT_EQ(rec.Size, "1 2");
    EXPECT_EQ(rec.Date, "arch ");
    EXPECT_EQ(rec.Attr, "\\p ");
    EXPECT_EQ(rec.Note, "n o");
    EXPECT_EQ(rec.Description, "d\tkeeps tab\x07line \x07");
    EXPECT_EQ(f.db.Item(f.db.ItemsOf("\\").First).Description, "x y\x07z \x07");
}

// A database that is there but cannot be read is not replaced by the empty
// one that memory holds.
TEST(Database, AnUnreadDatabaseIsNeverWritten) {
    TempDir dir;
    const std::string path = DatabasePath(dir.Path());
    WriteFile(path, std::string(kEmptyHeader) + "\\\r\nkeep\t1\tA\t\\\t\t\r\n");
    ::chmod(path.c_str(), 0);
    TDatabase db;
    RecordingHost host;
    {
        WithoutDacOverride noOverride;
        if (!noOverride.Active() && ::geteuid() == 0) GTEST_SKIP() << "cannot drop root's rights";
        EXPECT_FALSE(db.Open(path, host, true));
        db.InsertItem("\\", Item("new"));
        EXPECT_EQ(db.Save(host), TDbSave::NotRead);
    }
    ::chmod(path.c_str(), 0644);
    EXPECT_NE(ReadFile(path).find("keep"), std::string::npos);
    EXPECT_FALSE(FileExists(dir.File("cd.bak")));
}

TEST(Database, AViewerKeepsTheWholeLinesReadBeforeAFailure) {
    TempDir dir;
    const std::string path = DatabasePath(dir.Path());
    const std::string tree = "\\A\\\r\n"
                             "one\t1\tG\t\\one\t\t\r\n"
                             "two\t2\tG\t\\two\t\t\r\n"
                             "\\B\\\r\n"
                             "three\t3\tG\t\\three\t\t\r\n";
    WriteFile(path, std::string(kEmptyHeader) + tree);
    auto at = [&](std::string_view text) { return kEmptyHeader.size() + tree.find(text); };
    const struct {
        std::size_t failAt;
        std::vector<std::string> a, b;
        std::int32_t categories;
    } cases[] = {
        {at("two") + 2, {"one"}, {}, 1},                   // the line cut off is not taken
        {at("\\B"), {"one", "two"}, {}, 1},                // failing right at a line start
        {at("three"), {"one", "two"}, {}, 2},              // a category with none of its items
        {std::string::npos, {"one", "two"}, {"three"}, 2}, // no failure: all of it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failAt);
        FailingReadDevice device(c.failAt);
        TScopedReadDevice seam(device);
        RecordingHost host;
        TDatabase db;
        const bool whole = c.failAt == std::string::npos;
        EXPECT_EQ(db.OpenForViewing(path, host), whole);
        EXPECT_EQ(db.WasRead(), whole);
        EXPECT_EQ(db.CategoryCount(), c.categories);
        EXPECT_EQ(Names(db, "\\A\\"), c.a);
        EXPECT_EQ(Names(db, "\\B\\"), c.b);
        EXPECT_EQ(host.warns.size(), whole ? 0u : 1u);
    }
}

TEST(Database, AddingEntriesProposesNameSizeAndPath) {
    TArch arch = MakeArchive({{"\\",
                               {{"DOOM", "0", "", "d----"},
                                {"a.txt", "1000", "", " -a--", "note", "desc\x07"},
                                {"b.txt", "234", ""}}},
                              {"\\DOOM\\", {{"doom.exe", "2048"}}}},
                             "Games 1");
    const struct {
        std::vector<std::int32_t> recs;
        TDbItem item;
    } cases[] = {
        {{2}, {"a.txt", "1 000", "Games 1", "\\a.txt", "note", "desc\x07"}},
        {{1}, {"DOOM", "2 048", "Games 1", "\\DOOM", "", ""}},
        {{1, 2, 3}, {"\\", "3 282", "Games 1", "\\", "", ""}},
    };
    for (const auto& c : cases) {
        TDbItem item = ItemFromEntries(arch, "\\", c.recs);
        EXPECT_EQ(
            std::tie(item.Name, item.Size, item.Archive, item.Path, item.Note, item.Description),
            std::tie(c.item.Name, c.item.Size, c.item.Archive, c.item.Path, c.item.Note,
                     c.item.Description));
    }
}

TEST(CategoryTree, NodesComeFromThePathsAlone) {
    TArch db = MakeArchive({{"\\A\\B\\", {}}, {"\\", {}}, {"\\A\\C\\", {}}, {"\\D\\", {}}});
    TCategoryTree tree = TCategoryTree::Of(db);
    ASSERT_EQ(tree.TopLevel().size(), 3u);
    const struct {
        const char* path;
        std::size_t children;
    } cases[] = {{"\\A\\", 2}, {"\\A\\B\\", 0}, {"\\", 0}, {"\\D\\", 0}};
    for (const auto& c : cases) {
        const std::int32_t node = tree.Find(c.path);
        ASSERT_NE(node, 0) << c.path;
        EXPECT_EQ(tree.PathOf(node), c.path);
        EXPECT_EQ(tree.Node(node).Children.size(), c.children) << c.path;
    }
    EXPECT_EQ(tree.Node(tree.Find("\\")).Name, "");
    EXPECT_FALSE(tree.RemoveLeaf(tree.Find("\\A\\")));
    EXPECT_TRUE(tree.RemoveLeaf(tree.Find("\\A\\B\\")));
    EXPECT_EQ(tree.Find("\\A\\B\\"), 0);
    tree.Sort([](std::string_view a, std::string_view b) { return a > b; });
    std::vector<std::string> top;
    for (std::int32_t n : tree.TopLevel())
        top.push_back(tree.Node(n).Name);
    EXPECT_EQ(top, (std::vector<std::string>{"D", "A", ""}));
}
