#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "ArchiveBuilder.h"
#include "CliTestSupport.h"
#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

void Save(const TempDir& dir, const std::string& file, const std::string& name,
          const std::string& medium, const std::string& typ, const std::vector<DirSpec>& dirs) {
    TArch a = MakeArchive(dirs, name);
    a.Head.Medium = medium;
    a.Head.Typ = typ;
    a.Head.FileName = dir.File(file);
    RecordingHost host;
    ASSERT_TRUE(WriteArchive(a, host));
}

} // namespace

TEST(CliSearch, SearchesOneArchiveOrTheArchivesOfAFolderWithoutWritingThere) {
    TempDir dir;
    Save(dir, "a.cd", "Disk 7", "CD", "",
         {{"\\", {{"Readme.txt", "1024", "1.2.2003 4:05:06", " -a--", "foo note", "l1\x07"}}},
          {"\\DOC\\", {{"Readme.txt"}}},
          {"\\DOC\\OLD\\", {{"readme.old"}}},
          {"\\DOCS\\", {{"README"}}}});
    Save(dir, "b.cd", "Beta", "CD", "Hudba", {{"\\", {{"readme.txt", "3221225472"}}}});
    Save(dir, "c.cd", "Gama", "CDR", "", {{"\\", {{"README.md"}}}});
    std::vector<std::string> files = ListDir(dir.Path());
    const std::string a = dir.File("a.cd");
    const std::string d = dir.Path();
    const std::string aRoot = "Disk 7:\\  Readme.txt\n", aDoc = "Disk 7:\\DOC\\  Readme.txt\n",
                      aOld = "Disk 7:\\DOC\\OLD\\  readme.old\n",
                      aDocs = "Disk 7:\\DOCS\\  README\n", beta = "Beta:\\  readme.txt\n",
                      gama = "Gama:\\  README.md\n";
    const struct {
        std::vector<std::string> args;
        int code;
        std::string out, errHas;
    } cases[] = {
        {{"search", "READ*", "--archive", a, "--path", "\\DOC\\"}, 0, aDoc + aOld, ""},
        {{"search", "READ*", "--archive", a, "--path", "DOC"}, 0, aDoc + aOld, ""},
        {{"search", "*.old", "--archive", a, "--marked"},
         0,
         "Disk 7:\\DOC\\OLD\\  readme<B>.</B><B>o</B><B>l</B><B>d</B>\n",
         ""},
        {{"search", "read", "--star", "--dir", d},
         0,
         aRoot + aDoc + aOld + aDocs + beta + gama,
         ""},
        {{"search", "read", "--star", "--dir", d, "--category", "\\CD\\"},
         0,
         aRoot + aDoc + aOld + aDocs + beta,
         ""},
        {{"search", "read*", "--dir", d, "--category", "CD\\Hudba"}, 0, beta, ""},
        {{"search", "readme*", "--dir", d, "--selected", "b.cd", dir.File("a.cd"), "--limit", "2"},
         0,
         beta + aRoot,
         ""},
        {{"search", "*", "--dir", d, "--all", "--size", ">", "1", "GB"}, 0, beta, ""},
        {{"search", "*", "--dir", d, "--size", "=", "1", "kB", "--note", "FOO"}, 0, aRoot, ""},
        {{"search", "*", "--dir", d, "--size", "=", "x", "kB", "--note", "foo bar", "--note-all"},
         0,
         "",
         "without the size test"},
        {{"search", "*", "--dir", d, "--desc", "L1"}, 0, aRoot, ""},
        {{"search", "README*", "--case", "--dir", d}, 0, aDocs + gama, ""},
        {{"search", "readme.txt", "--archive", a, "--list"},
         0,
         "Disk 7\t\\\tReadme.txt\t1 024\t1.2.2003 4:05:06\t -a--\tfoo note\tl1\x07\n"
         "Disk 7\t\\DOC\\\tReadme.txt\t0\t1.2.2003 4:05:06\t -a--\t\t\n",
         ""},
        {{"search", "nothing", "--dir", d}, 0, "", ""},
        {{"search", "*", "--archive", dir.File("x.cd")}, 1, "", "Soubor není k dispozici."},
        {{"search", "*", "--archive", a, "--path", "\\NONE\\"}, 1, "", "no folder"},
        {{"search", "*", "--dir", dir.File("none")}, 1, "", "cannot read the folder"},
        {{"search", "*", "--dir", d, "--selected", "x.cd"}, 1, "", "not an archive of the list"},
        {{"search"}, 2, "", "PATTERN is missing"},
        {{"search", "  "}, 2, "", "blank"},
        {{"search", "a", "b"}, 2, "", "more than one PATTERN"},
        {{"search", "*", "--all", "--archive", a}, 2, "", "only one of"},
        {{"search", "*", "--path", "\\"}, 2, "", "--path goes with --archive"},
        {{"search", "*", "--archive", a, "--dir", d}, 2, "", "--dir does not go"},
        {{"search", "*", "--size", ">", "1"}, 2, "", "--size needs"},
        {{"search", "*", "--limit", "0"}, 2, "", "--limit needs"},
        {{"search", "*", "--selected"}, 2, "", "at least one FILE"},
        {{"search", "*", "--frob"}, 2, "", "unknown option"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.out, c.out);
        EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
    }
    // No _cd_.lst; the folder's searches left its search index.
    files.insert(files.begin(), "_cd_.idx");
    EXPECT_EQ(ListDir(dir.Path()), files);
}

TEST(CliSearch, GoesThroughTheIndexUnlessToldNotAndIndexRefreshesIt) {
    const struct {
        std::vector<std::string> args;
        int code;
        std::string outHas, errHas;
        bool index; // the folder holds _cd_.idx afterwards
    } cases[] = {
        {{"search", "*.txt"}, 0, "Beta:\\  readme.txt\n", "", true},
        {{"search", "*.txt", "--no-index"}, 0, "Beta:\\  readme.txt\n", "", false},
        {{"search", "*.txt", "--index"}, 0, "Beta:\\  readme.txt\n", "", true},
        {{"search", "*.txt", "--category", "CD", "--index"}, 0, "Beta:\\  readme.txt\n", "", true},
        {{"index"}, 0, "2 archives\t3 entries\t", "", true},
        {{"index", "--dir"}, 2, "", "expected no arguments", false},
        {{"search", "*", "--archive", "a.cd", "--index"}, 2, "", "--index does not go", false},
        {{"search", "*", "--index", "--no-index"}, 2, "", "only one of --index, --no-index", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        TempDir dir;
        Save(dir, "a.cd", "Alfa", "CD", "", {{"\\", {{"x.doc"}, {"y.doc"}}}});
        Save(dir, "b.cd", "Beta", "CD", "", {{"\\", {{"readme.txt"}}}});
        std::vector<std::string> args = c.args;
        if (c.code != 2) args.insert(args.end(), {"--dir", dir.Path()});
        const CliRun r = Cli(args);
        EXPECT_EQ(r.code, c.code);
        EXPECT_NE(r.out.find(c.outHas), std::string::npos) << r.out;
        EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
        EXPECT_EQ(FileExists(dir.File("_cd_.idx")), c.index);
    }
    EXPECT_EQ(Cli({"index", "--dir", "/nonexistent/folder"}).code, 1);
}

TEST(CliSearch, AFolderIsSearchedThroughItsIndexBuiltWhenMissingUnlessToldNot) {
    TempDir dir;
    Save(dir, "a.cd", "Alfa", "CD", "", {{"\\", {{"x.doc"}}}});
    EXPECT_EQ(Cli({"search", "*.txt", "--no-index", "--dir", dir.Path()}).out, "");
    EXPECT_FALSE(FileExists(dir.File("_cd_.idx")));
    EXPECT_EQ(Cli({"search", "*.doc", "--dir", dir.Path()}).out, "Alfa:\\  x.doc\n");
    EXPECT_TRUE(FileExists(dir.File("_cd_.idx")));
    // An archive added since goes into the index's changes file on the way.
    Save(dir, "b.cd", "Beta", "CD", "", {{"\\", {{"readme.txt"}}}});
    EXPECT_EQ(Cli({"search", "*.txt", "--dir", dir.Path()}).out, "Beta:\\  readme.txt\n");
    EXPECT_TRUE(FileExists(dir.File("_cd_.idc")));
    std::filesystem::remove(dir.File("_cd_.idc"));
    Save(dir, "c.cd", "Gama", "CD", "", {{"\\", {{"notes.txt"}}}});
    EXPECT_EQ(Cli({"search", "*.txt", "--no-index", "--dir", dir.Path()}).out,
              "Beta:\\  readme.txt\nGama:\\  notes.txt\n");
    EXPECT_FALSE(FileExists(dir.File("_cd_.idc")));
}

TEST(CliSearch, DefaultsToTheArchivesOfTheCurrentDirectory) {
    TempDir dir;
    Save(dir, "a.cd", "Alfa", "CD", "", {{"\\", {{"x.txt"}}}});
    TempDir outDir;
    const std::string cmd = "cd '" + dir.Path() + "' && " + ORBISK_CLI_PATH +
                            " search '*.TXT' --marked > '" + outDir.File("out.txt") + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(ReadFile(outDir.File("out.txt")), "Alfa:\\  x<B>.</B><B>t</B><B>x</B><B>t</B>\n");
    // The search leaves its index there, and no archive list.
    EXPECT_EQ(ListDir(dir.Path()), (std::vector<std::string>{"_cd_.idx", "a.cd"}));
}

TEST(CliSearch, TypedCzechFindsNamesOfACatalogueWrittenOnWindows) {
    TempDir dir;
    Save(dir, "w.cd", "Win", "CD", "", {{"\\", {{"k\xf9\xf2.txt"}, {"kun.txt"}}}});
    const CliRun r = Cli({"search", "kůň*", "--all", "--dir", dir.Path()});
    EXPECT_EQ(r.code, 0);
    // Printed in UTF-8, as the terminal shows it.
    EXPECT_EQ(r.out, "Win:\\  kůň.txt\n");
}
