#include <gtest/gtest.h>

#include "ArchiveBuilder.h"
#include "CliTestSupport.h"
#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

std::string SaveArchive(const TempDir& dir, const std::string& name) {
    TArch a = MakeArchive({{"\\",
                            {{"DOOM", "0", "D1", "d----"},
                             {"readme.txt", "1520", "D2", " -a--", "read first",
                              "a\x07"
                              "b\x07"}}},
                           {"\\DOOM\\", {{"doom.exe", "2048"}, {"doom.wad", "10000"}}}},
                          name);
    a.Head.FileName = dir.File(name + ".cd");
    RecordingHost host;
    EXPECT_TRUE(WriteArchive(a, host));
    return a.Head.FileName;
}

} // namespace

// The sub-commands reach the database model and write through the safe save.
TEST(CliDb, CommandsEditTheDatabaseOfTheFolder) {
    TempDir dir;
    const std::string archive = SaveArchive(dir, "Games");
    const std::string db = dir.File("cd.db");
    const std::string tpl = dir.File("t.tpl");
    WriteFile(tpl, "[Item]\r\n$Name\r\n");
    struct Step {
        std::vector<std::string> args;
        int code;
        std::string out;
        std::string errHas;
    };
    const std::vector<Step> steps = {
        {{"db", "--dir", dir.Path(), "mkcat", "Hry\\Akce"}, 0, "", ""},
        {{"db", "--dir", dir.Path(), "add", archive, "\\readme.txt"}, 0, "", ""},
        {{"db", "--db", db, "add", archive, "\\DOOM\\doom.exe", "\\DOOM\\doom.wad", "--category",
          "\\Hry\\Akce\\"},
         0,
         "",
         ""},
        {{"db", "--db", db, "ls"}, 0, "\\Hry\\Akce\\\t1\n\\\t1\n", ""},
        {{"db", "--db", db, "ls", "\\"},
         0,
         "readme.txt\t1 520\tGames\t\\readme.txt\tread first\ta | b\n",
         ""},
        {{"db", "--db", db, "mv", "--from", "\\", "--to", "\\Hry\\Akce\\", "readme.txt"},
         0,
         "",
         ""},
        {{"db", "--db", db, "ls", "Hry\\Akce"},
         0,
         "readme.txt\t1 520\tGames\t\\readme.txt\tread first\ta | b\n"
         "\\DOOM\\\t12 048\tGames\t\\DOOM\\\t\t\n",
         ""},
        {{"db", "--db", db, "rmcat", "\\Hry\\Akce\\"}, 1, "", "nelze smazat"},
        {{"db", "--db", db, "rm", "\\Hry\\Akce\\", "\\DOOM\\"}, 0, "", ""},
        {{"db", "--db", db, "rmcat", "\\"}, 0, "", ""},
        {{"db", "--db", db, "export", "--template", tpl, "--out", dir.File("p.html")}, 0, "", ""},
        {{"db", "--db", db, "export", "--template", dir.File("x.tpl"), "--out", dir.File("q")},
         1,
         "",
         "nebyla nalezena"},
        {{"db", "--db", dir.File("none.db"), "ls"}, 1, "", "none.db"},
        {{"db", "--db", db, "add", archive, "\\readme.txt", "\\DOOM\\doom.exe"},
         2,
         "",
         "one folder"},
        {{"db", "--db", db, "mv", "x"}, 2, "", "--from is missing"},
        {{"db", "frob"}, 2, "", "unknown sub-command"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::PrintToString(step.args));
        CliRun r = Cli(step.args);
        EXPECT_EQ(r.code, step.code);
        EXPECT_EQ(r.out, step.out);
        EXPECT_NE(r.err.find(step.errHas), std::string::npos) << r.err;
    }
    EXPECT_NE(ReadFile(dir.File("p.html")).find("\r\nreadme.txt\r\n"), std::string::npos);
    EXPECT_TRUE(FileExists(dir.File("cd.bak")));
}

TEST(CliMerge, WritesAndFilesTheMultiArchive) {
    TempDir dir;
    SaveArchive(dir, "A");
    SaveArchive(dir, "B");
    CliRun r = Cli({"merge", "A.cd", dir.File("B.cd"), "--dir", dir.Path()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, dir.File("m_A.cd") + "\n");
    CliRun ls = Cli({"ls", dir.File("m_A.cd"), "\\B\\DOOM\\"});
    EXPECT_EQ(ls.out, "doom.exe\t2048\t1.2.2003 4:05:06\t -a--\t\n"
                      "doom.wad\t10000\t1.2.2003 4:05:06\t -a--\t\n");
    CliRun list = Cli({"list", "--dir", dir.Path()});
    EXPECT_NE(list.out.find("\\Multi\\\tMulti A\tm_A.cd"), std::string::npos) << list.out;
    EXPECT_EQ(Cli({"merge", "A.cd", "C.cd", "--dir", dir.Path()}).code, 1);
    EXPECT_EQ(Cli({"merge", "A.cd"}).code, 2);
}
