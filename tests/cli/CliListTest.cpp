#include <gtest/gtest.h>

#include <sstream>

#include "ArchiveBuilder.h"
#include "CliTestSupport.h"
#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

void SaveArchive(const TempDir& dir, const std::string& file, const std::string& name,
                 const std::string& medium, const std::string& typ, const std::string& owner) {
    TArch a = MakeArchive({{"\\", {{"x.txt", "1"}}}}, name);
    a.Head.Medium = medium;
    a.Head.Typ = typ;
    a.Head.Owner = owner;
    a.Head.Description = "popis " + name;
    a.Head.FileName = dir.File(file);
    RecordingHost host;
    EXPECT_TRUE(WriteArchive(a, host));
}

} // namespace

TEST(CliList, ListsTheRowsOfAFolderAndUpdatesItsCache) {
    TempDir dir;
    SaveArchive(dir, "b.cd", "Beta", "CD", "Hry", "Petr");
    SaveArchive(dir, "A.CD", "Alfa", "", "", "");
    WriteFile(dir.File("_cd_.lst"),
              "\\DVD\\Old\\\tCached\tc.cd\td\to\r\n\\X\\\tGone\tgone.cd\t\t\r\n");
    SaveArchive(dir, "c.cd", "Gamma", "CD", "", "");
    const std::string rows = "\\DVD\\Old\\\tCached\tc.cd\td\to\n"
                             "\\Zbytek\\\tAlfa\tA.CD\tpopis Alfa\t\n"
                             "\\CD\\Hry\\\tBeta\tb.cd\tpopis Beta\tPetr\n";
    const struct {
        std::vector<std::string> args;
        int code;
        std::string out, errHas;
    } cases[] = {
        {{"list", "--dir", dir.Path()}, 0, rows, ""},
        {{"list", "--dir", dir.Path()},
         0,
         rows,
         ""}, // the second run takes every row from the cache
        {{"list", "--dir", dir.File("missing")}, 1, "", "cannot read the folder"},
        {{"list", dir.Path()}, 2, "", "usage"},
        {{"list", "--dir"}, 2, "", "usage"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        CliRun r = Cli(c.args);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.out, c.out);
        EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
    }
    std::string cache = rows;
    for (std::size_t at = 0; (at = cache.find('\n', at)) != std::string::npos; at += 2)
        cache.insert(at, "\r");
    EXPECT_EQ(ReadFile(dir.File("_cd_.lst")), cache);
}

TEST(CliList, DefaultsToTheCurrentDirectory) {
    TempDir dir;
    SaveArchive(dir, "a.cd", "Alfa", "CD", "", "Jan");
    std::string cmd = "cd '" + dir.Path() + "' && " + ORBISK_CLI_PATH + " list > out.txt";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(ReadFile(dir.File("out.txt")), "\\CD\\\tAlfa\ta.cd\tpopis Alfa\tJan\n");
}
