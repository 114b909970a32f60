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
using Files = std::vector<std::pair<std::string, std::string>>;

// A .cd file of the given header lines and a small tree.
std::string Cd(const Lines& header) {
    std::string text = "<head>\r\n";
    for (const std::string& line : header)
        text += line + "\r\n";
    return text + "Packed=\r\n\r\n<tree>\r\n\\\r\nfile.txt\t1\tD\t -a--\t\t\r\n";
}

std::string CrLf(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// One row: "Listed TreePath|Name|FileName|Medium|Typ|SubTyp|Owner|Description".
Lines Dump(const TArchiveList& list) {
    Lines out;
    for (std::int32_t s = 1; s <= list.ArchiveCount(); ++s) {
        const THead& r = list[s];
        out.push_back(std::to_string(r.Listed) + " " + r.TreePath + "|" + r.Name + "|" +
                      r.FileName + "|" + r.Medium + "|" + r.Typ + "|" + r.SubTyp + "|" + r.Owner +
                      "|" + r.Description);
    }
    return out;
}

THead Header(std::string name, std::string medium, std::string owner = {},
             std::string description = {}) {
    THead h;
    h.Name = std::move(name);
    h.Medium = std::move(medium);
    h.Owner = std::move(owner);
    h.Description = std::move(description);
    return h;
}

struct Folder {
    TempDir dir;
    TArchiveList list;
    RecordingHost host;
    TBuildResult built;

    explicit Folder(const Files& files, const std::string* cache = nullptr) {
        for (const auto& [name, text] : files)
            WriteFile(dir.File(name), text);
        if (cache) WriteFile(dir.File("_cd_.lst"), *cache);
    }
    void Build() { built = BuildArchiveList(dir.Path(), list, host); }
    std::string Cache() const { return ReadFile(dir.File("_cd_.lst")); }
};

} // namespace

TEST(ArchiveListBuild, CacheRulesAndHeaderRules) {
    const std::string hry = Cd({"Name=Hra", "Typ=Hry", "Medium=CD", "Owner=Petr"});
    const struct Case {
        const char* what;
        Files files;
        const char* cache; // nullptr: no _cd_.lst
        Lines rows, cacheAfter;
    } cases[] = {
        {"a cached line whose file was deleted is dropped",
         {{"a.cd", hry}},
         "\\CD\\Hry\\\tHra\ta.cd\t\tPetr\r\n\\CD\\\tGone\tgone.cd\t\t\r\n",
         {"1 \\CD\\Hry\\|Hra|a.cd|CD|Hry||Petr|"},
         {"\\CD\\Hry\\\tHra\ta.cd\t\tPetr"}},
        {"of two cached lines for one file only the first is taken",
         {{"a.cd", hry}},
         "\\X\\\tFirst\ta.cd\td1\to1\r\n\\Y\\\tSecond\ta.cd\td2\to2\r\n",
         {"1 \\X\\|First|a.cd|X|||o1|d1"},
         {"\\X\\\tFirst\ta.cd\td1\to1"}},
        {"GAMES.cd beside a cached games.cd: two files, both listed",
         {{"games.cd", hry}, {"GAMES.cd", Cd({"Name=Big", "Medium=DVD"})}},
         "\\CD\\Hry\\\tHra\tgames.cd\t\tPetr\r\n",
         {"1 \\CD\\Hry\\|Hra|games.cd|CD|Hry||Petr|", "1 \\DVD\\|Big|GAMES.cd|DVD||||"},
         {"\\CD\\Hry\\\tHra\tgames.cd\t\tPetr", "\\DVD\\\tBig\tGAMES.cd\t\t"}},
        {"a cached name that differs from its file in case only takes the real name",
         {{"games.cd", hry}},
         "\\X\\\tOld\tGAMES.CD\t\t\r\n",
         {"1 \\X\\|Old|games.cd|X||||"},
         {"\\X\\\tOld\tgames.cd\t\t"}},
        {"a cached name matching two files by case only names neither",
         {{"games.cd", hry}, {"Games.cd", hry}},
         "\\X\\\tOld\tGAMES.cd\t\t\r\n",
         {"1 \\CD\\Hry\\|Hra|Games.cd|CD|Hry||Petr|", "1 \\CD\\Hry\\|Hra|games.cd|CD|Hry||Petr|"},
         {"\\CD\\Hry\\\tHra\tGames.cd\t\tPetr", "\\CD\\Hry\\\tHra\tgames.cd\t\tPetr"}},
        {"a cached name matching by case a file that another line names exactly",
         {{"games.cd", hry}},
         "\\X\\\tA\tGAMES.cd\t\t\r\n\\Y\\\tB\tgames.cd\t\t\r\n",
         {"1 \\Y\\|B|games.cd|Y||||"},
         {"\\Y\\\tB\tgames.cd\t\t"}},
        {"an empty or missing Medium is filed under Zbytek",
         {{"a.cd", Cd({"Name=A", "Medium=", "Typ=Hry"})}, {"b.cd", Cd({"Name=B"})}},
         nullptr,
         {"1 \\Zbytek\\Hry\\|A|a.cd|Zbytek|Hry|||", "1 \\Zbytek\\|B|b.cd|Zbytek||||"},
         {"\\Zbytek\\Hry\\\tA\ta.cd\t\t", "\\Zbytek\\\tB\tb.cd\t\t"}},
        {"an empty Typ with a SubTyp gives the medium only",
         {{"a.cd", Cd({"Name=A", "Medium=CD", "Typ=", "SubTyp=Akce"})}},
         nullptr,
         {"1 \\CD\\|A|a.cd|CD||Akce||"},
         {"\\CD\\\tA\ta.cd\t\t"}},
        {"a file without a name, or with an empty one, is skipped; a blank name is kept",
         {{"a.cd", Cd({"Medium=CD"})},
          {"b.cd", Cd({"Name=", "Medium=CD"})},
          {"c.cd", Cd({"Name= ", "Medium=CD"})}},
         nullptr,
         {"1 \\CD\\| |c.cd|CD||||"},
         {"\\CD\\\t \tc.cd\t\t"}},
        {"headers of cached files are not read again",
         {{"a.cd", Cd({"Name=New", "Medium=DVD", "Typ=Nove"})}},
         "\\CD\\Hry\\Akce\\\tOld\ta.cd\tpopis\tJa\r\n",
         {"1 \\CD\\Hry\\Akce\\|Old|a.cd|CD|Hry|Akce|Ja|popis"},
         {"\\CD\\Hry\\Akce\\\tOld\ta.cd\tpopis\tJa"}},
        {"cached lines lacking a path, name or file name fall back to the header",
         {{"a.cd", hry}, {"b.cd", hry}},
         "\tX\ta.cd\t\t\r\n\\CD\\\t\tb.cd\t\t\r\n\\CD\\\tX\r\n",
         {"1 \\CD\\Hry\\|Hra|a.cd|CD|Hry||Petr|", "1 \\CD\\Hry\\|Hra|b.cd|CD|Hry||Petr|"},
         {"\\CD\\Hry\\\tHra\ta.cd\t\tPetr", "\\CD\\Hry\\\tHra\tb.cd\t\tPetr"}},
        {"*.cd in any case, new files in name order without regard to case",
         {{"c.Cd", hry}, {"B.cd", hry}, {"a.CD", hry}, {"x.cdx", hry}, {"cd", hry}},
         nullptr,
         {"1 \\CD\\Hry\\|Hra|a.CD|CD|Hry||Petr|", "1 \\CD\\Hry\\|Hra|B.cd|CD|Hry||Petr|",
          "1 \\CD\\Hry\\|Hra|c.Cd|CD|Hry||Petr|"},
         {"\\CD\\Hry\\\tHra\ta.CD\t\tPetr", "\\CD\\Hry\\\tHra\tB.cd\t\tPetr",
          "\\CD\\Hry\\\tHra\tc.Cd\t\tPetr"}},
        {"header lines: the last of a key wins, only an exact <tree> ends the header",
         {{"a.cd", "Name=A\rName=B\n\r <tree>\r\nMedium=CD\r\n<tree>\r\nName=C\r\n"},
          {"b.cd", "Name=B\r\nMedium=CD\x1A\r\nTyp=Hry\r\n"}},
         nullptr,
         {"1 \\CD\\|B\n|a.cd|CD||||", "1 \\CD\\|B|b.cd|CD||||"},
         {"\\CD\\\tB\n\ta.cd\t\t", "\\CD\\\tB\tb.cd\t\t"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string cache = c.cache ? c.cache : "";
        Folder f(c.files, c.cache ? &cache : nullptr);
        f.Build();
        EXPECT_TRUE(f.built.FolderRead);
        EXPECT_EQ(Dump(f.list), c.rows);
        EXPECT_EQ(f.Cache(), CrLf(c.cacheAfter));
        EXPECT_TRUE(f.host.informs.empty() && f.host.warns.empty());
    }
}

TEST(ArchiveListBuild, NamesDifferingInCaseOnlyStayListedInOneOrder) {
    Folder f({{"games.cd", Cd({"Name=Small", "Medium=CD"})},
              {"GAMES.cd", Cd({"Name=Big", "Medium=CD"})}});
    const Lines both = {"1 \\CD\\|Big|GAMES.cd|CD||||", "1 \\CD\\|Small|games.cd|CD||||"};
    for (int build = 1; build <= 3; ++build) {
        SCOPED_TRACE(build);
        f.Build();
        EXPECT_EQ(Dump(f.list), both);
        EXPECT_EQ(f.built.ListedCount, 2);
    }
}

TEST(ArchiveListBuild, LongHeadersAreReadPastTheFirstBlock) {
    const std::string description(10000, 'x');
    Folder f({{"a.cd", Cd({"Description=" + description, "Name=A", "Medium=CD"})},
              {"b.cd", "Name=B\r\nMedium=CD\r\nOwner=" + std::string(6000, 'o')}});
    f.Build();
    ASSERT_EQ(f.list.ArchiveCount(), 2);
    EXPECT_EQ(f.list[1].Description, description);
    EXPECT_EQ(f.list[1].Name, "A");
    EXPECT_EQ(f.list[2].Owner, std::string(6000, 'o'));
    EXPECT_EQ(f.built.HeadersRead, 2);

    // A line end that falls on the end of the first block, CR and LF split.
    for (std::size_t pad = 4080; pad <= 4100; ++pad) {
        SCOPED_TRACE(pad);
        Folder g(
            {{"a.cd", "Owner=" + std::string(pad - 6, 'o') + "\r\nName=A\r\n<tree>\r\nName=B"}});
        g.Build();
        ASSERT_EQ(g.list.ArchiveCount(), 1);
        EXPECT_EQ(g.list[1].Name, "A");
        EXPECT_EQ(g.list[1].Owner.size(), pad - 6);
    }
}

TEST(ArchiveListBuild, WarmBuildReadsNoHeaderAndKeepsTheCacheFile) {
    Folder f({{"a.cd", Cd({"Name=A", "Medium=CD"})}, {"b.cd", Cd({"Name=B", "Medium=CD"})}});
    f.Build();
    EXPECT_EQ(f.built.HeadersRead, 2);
    struct stat before {};
    ::stat(f.dir.File("_cd_.lst").c_str(), &before);
    f.Build();
    EXPECT_EQ(f.built.HeadersRead, 0);
    EXPECT_TRUE(f.built.CacheSaved);
    struct stat after {};
    ::stat(f.dir.File("_cd_.lst").c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);
    EXPECT_EQ(f.host.pumps, 2);
}

TEST(ArchiveListBuild, ValueListsAndCategoryPaths) {
    std::string cache = CrLf({"\\CD\\Hry\\Akce\\\tA\ta.cd\t\tPetr", "\\DVD\\\tB\tb.cd\t\tPetr",
                              "\\CD\\Hry\\\tC\tc.cd\t\tJan", "\\CD\\Prg\\\tD\td.cd\t\t"});
    Folder f({{"a.cd", ""}, {"b.cd", ""}, {"c.cd", ""}, {"d.cd", ""}}, &cache);
    f.Build();
    EXPECT_EQ(f.built.ValueLists.MediumList, (Lines{"CD", "DVD"}));
    EXPECT_EQ(f.built.ValueLists.TypList, (Lines{"Hry", "Prg"}));
    EXPECT_EQ(f.built.ValueLists.SubTypList, (Lines{"Akce"}));
    EXPECT_EQ(f.built.ValueLists.OwnerList, (Lines{"Petr", "Jan"}));
    EXPECT_EQ(f.built.CategoryPaths,
              (Lines{"\\CD\\", "\\CD\\Hry\\", "\\CD\\Hry\\Akce\\", "\\DVD\\", "\\CD\\Prg\\"}));
    EXPECT_EQ(ArchivesAtPath(f.list, "\\CD\\Hry\\"), (std::vector<std::int32_t>{3}));
    EXPECT_EQ(f.built.ListedCount, 4);
}

TEST(ArchiveListBuild, LinksCountAsTheirTargetsAndLeaveWritesNothing) {
    const std::string cache = "\\X\\\tCached link\tc.cd\t\t\r\n\\X\\\tGone\tgone.cd\t\t\r\n";
    Folder f({{"a.cd", Cd({"Name=A", "Medium=CD"})}}, &cache);
    ::mkdir(f.dir.File("dir.cd").c_str(), 0755);
    ::symlink("a.cd", f.dir.File("b.cd").c_str());
    ::symlink("a.cd", f.dir.File("c.cd").c_str());
    ::symlink("dir.cd", f.dir.File("d.cd").c_str());
    ::symlink("missing.cd", f.dir.File("e.cd").c_str());
    const Lines rows = {"1 \\X\\|Cached link|c.cd|X||||", "1 \\CD\\|A|a.cd|CD||||",
                        "1 \\CD\\|A|b.cd|CD||||"};

    f.built = BuildArchiveList(f.dir.Path(), f.list, f.host, TListCache::Leave);
    EXPECT_EQ(Dump(f.list), rows);
    EXPECT_EQ(f.built.ListedCount, 3);
    EXPECT_FALSE(f.built.CacheSaved);
    EXPECT_EQ(f.Cache(), cache);

    f.Build();
    EXPECT_EQ(Dump(f.list), rows);
    EXPECT_EQ(f.Cache(),
              CrLf({"\\X\\\tCached link\tc.cd\t\t", "\\CD\\\tA\ta.cd\t\t", "\\CD\\\tA\tb.cd\t\t"}));
}

TEST(ArchiveListBuild, FoldersThatCannotBeListedOrWritten) {
    TArchiveList list;
    RecordingHost host;
    TBuildResult missing = BuildArchiveList("/nonexistent/orbisk", list, host);
    EXPECT_FALSE(missing.FolderRead);
    EXPECT_EQ(list.ArchiveCount(), 0);

    Folder readOnly({{"a.cd", Cd({"Name=A", "Medium=CD"})}});
    ::chmod(readOnly.dir.Path().c_str(), 0555);
    const std::string cache = "\\CD\\Hry\\\tA\ta.cd\t\t\r\n";
    const std::string twice = cache + "\\X\\\tB\ta.cd\t\t\r\n";
    Folder unlisted({{"a.cd", ""}}, &twice);
    ::chmod(unlisted.dir.Path().c_str(), 0311);
    WithoutDacOverride noOverride;
    if (!noOverride.Active()) GTEST_SKIP() << "cannot drop the override capabilities";

    readOnly.Build();
    EXPECT_EQ(Dump(readOnly.list), (Lines{"1 \\CD\\|A|a.cd|CD||||"}));
    EXPECT_FALSE(readOnly.built.CacheSaved);
    EXPECT_EQ(ListDir(readOnly.dir.Path()), (Lines{"a.cd"})); // no temporary file left behind
    EXPECT_TRUE(readOnly.host.warns.empty());

    // A folder that can be entered but not listed keeps its cached rows,
    // the first line of each file name only.
    unlisted.Build();
    EXPECT_FALSE(unlisted.built.FolderRead);
    EXPECT_EQ(Dump(unlisted.list), (Lines{"1 \\CD\\Hry\\|A|a.cd|CD|Hry|||"}));
    EXPECT_EQ(unlisted.Cache(), cache);
}

TEST(ArchiveListRewrite, HigherSlotWinsForTheSameExactName) {
    const struct {
        Lines names;
        std::string listedBefore, listedAfter;
    } cases[] = {
        {{"a.cd", "b.cd", "A.CD"}, "111", "111"}, // two files on a case-sensitive system
        {{"a.cd", "a.cd", "a.cd"}, "111", "001"},
        {{"x.cd", "b.cd", "x.cd"}, "101", "001"}, // a dropped row still names its file
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.names));
        TempDir dir;
        TArchiveList list;
        list.Folder = dir.Path();
        for (std::size_t i = 0; i < c.names.size(); ++i) {
            THead row = ListRowOf(Header("N", "CD"), c.names[i]);
            row.Listed = static_cast<std::uint8_t>(c.listedBefore[i] - '0');
            list.Append(row);
        }
        TRewriteResult r = RewriteArchiveList(list);
        std::string listed;
        for (std::int32_t s = 1; s <= list.ArchiveCount(); ++s)
            listed += static_cast<char>('0' + list[s].Listed);
        EXPECT_EQ(listed, c.listedAfter);
        EXPECT_EQ(r.ListedCount, std::count(listed.begin(), listed.end(), '1'));
        EXPECT_TRUE(r.Saved);
        EXPECT_EQ(ParseArchiveListCache(ReadFile(dir.File("_cd_.lst"))).size(),
                  static_cast<std::size_t>(r.ListedCount));
    }
}

TEST(ArchiveListCache, LinesReadBackAsWritten) {
    TArchiveList list;
    THead plain = ListRowOf(Header("A\tB", "CD", "O", "D\x1A"), "a.cd");
    list.Append(plain);
    list.Append(ListRowOf(Header("T", "CD"), "tab\tname.cd"));
    const std::string text = FormatArchiveListCache(list);
    EXPECT_EQ(text, "\\CD\\\tA B\ta.cd\tD \tO\r\n");
    std::vector<TCacheLine> back = ParseArchiveListCache(text + "\\X\\\tname");
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].Name, "A B");
    EXPECT_EQ(back[0].Owner, "O");
    EXPECT_EQ(back[1].Name, "name");
    EXPECT_EQ(back[1].FileName, "");
}

TEST(ArchiveListPaths, TreePathRules) {
    const struct {
        std::string medium, typ, subTyp, path;
        Lines parts;
    } cases[] = {
        {"CD", "Hry", "Akce", "\\CD\\Hry\\Akce\\", {"CD", "Hry", "Akce"}},
        {"CD", "Hry", "", "\\CD\\Hry\\", {"CD", "Hry"}},
        {"CD", "", "Akce", "\\CD\\", {"CD"}},
        {"", "", "", "\\\\", {""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TreePathOf(c.medium, c.typ, c.subTyp), c.path);
        EXPECT_EQ(SplitTreePath(c.path), c.parts);
    }
    THead row;
    SetTreePath(row, "\\A\\B\\C\\D\\");
    EXPECT_EQ(row.Medium + "|" + row.Typ + "|" + row.SubTyp, "A|B|C");
    SetTreePath(row, "\\A\\");
    EXPECT_EQ(row.Medium + "|" + row.Typ + "|" + row.SubTyp, "A||");
}

TEST(ArchiveListPaths, WorkingFolderCaption) {
    EXPECT_EQ(WorkingFolderCaption("/opt/orbisk/VEviz", "/opt/orbisk"), "/VEviz");
    EXPECT_EQ(WorkingFolderCaption("/opt/orbisk", "/opt/orbisk"), "");
    EXPECT_EQ(WorkingFolderCaption("/opt/orbiskX/a", "/opt/orbisk"), "/opt/orbiskX/a/");
    EXPECT_EQ(WorkingFolderCaption("/", "/opt/orbisk"), "/");
    EXPECT_EQ(WorkingFolderCaption("/home/u/cds", "/opt/orbisk"), "/home/u/cds/");
}
