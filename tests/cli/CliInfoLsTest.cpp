#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "ArchiveBuilder.h"
#include "CliTestSupport.h"
#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ProgramValues.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

std::string SaveSample(const TempDir& dir) {
    TArch a = MakeArchive({{"\\",
                            {{"DOOM", "0", "D1", "d----"},
                             {"readme.txt", "1520", "D2", " -a--", "read first", "Notes\x07"}}},
                           {"\\DOOM\\", {{"doom.exe", "2048", "D3", " -a--"}}},
                           {"\\EMPTY\\", {}}},
                          "Games 1");
    a.Head.Typ = "Hry";
    a.Head.SN = "1A2B-0C3D";
    a.Head.Volume = "GAMES1";
    a.Head.FileName = dir.File("games.cd");
    RecordingHost host;
    EXPECT_TRUE(WriteArchive(a, host));
    return a.Head.FileName;
}

} // namespace

TEST(CliInfo, PrintsHeaderAndCounts) {
    TempDir dir;
    CliRun r = Cli({"info", SaveSample(dir)});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "Name=Games 1\nTyp=Hry\nSubTyp=\nMedium=CD\nOwner=\nDescription=\n"
                     "SN=1A2B-0C3D\nVolume=GAMES1\nDirectories=3\nEntries=3\n");
}

TEST(CliLs, ListsOneFolderInStoredOrder) {
    TempDir dir;
    std::string file = SaveSample(dir);
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string out;
        std::string errHas;
    };
    const std::vector<Case> cases = {
        {{"ls", file}, 0, "DOOM\t0\tD1\td----\t\nreadme.txt\t1520\tD2\t -a--\tread first\n", ""},
        {{"ls", file, "\\DOOM\\"}, 0, "doom.exe\t2048\tD3\t -a--\t\n", ""},
        {{"ls", file, "\\EMPTY\\"}, 0, "", ""},
        {{"ls", file, "\\doom\\"}, 1, "", "no folder"},
        {{"ls", dir.File("missing.cd")}, 1, "", "Soubor není k dispozici."},
        {{"info", dir.File("missing.cd")}, 1, "", "Soubor není k dispozici."},
        {{"ls"}, 2, "", "usage"},
        {{"ls", file, "\\", "extra"}, 2, "", "usage"},
        {{"info"}, 2, "", "usage"},
        {{"frobnicate"}, 2, "", "unknown command"},
        {{}, 2, "", "usage"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        CliRun r = Cli(c.args);
        EXPECT_EQ(r.code, c.code);
        EXPECT_EQ(r.out, c.out);
        EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
    }
}

TEST(CliHelp, ToolAndEveryCommandHaveHelp) {
    CliRun tool = Cli({"--help"});
    EXPECT_EQ(tool.code, 0);
    for (const auto& c : cli::Commands()) {
        EXPECT_NE(tool.out.find(c.name), std::string::npos);
        CliRun r = Cli({c.name, "--help"});
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(r.out.rfind("usage: orbisk-cli " + std::string(c.name), 0), 0u) << r.out;
    }
    CliRun version = Cli({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_NE(version.out.find("program folder: " + DetectProgramDir() + "\n"), std::string::npos)
        << version.out;
}

TEST(CliBinary, RunsAsAProgramWithExitCodes) {
    TempDir dir;
    std::string file = SaveSample(dir);
    std::string cmd =
        std::string(ORBISK_CLI_PATH) + " ls '" + file + "' > " + dir.File("out") + " 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(ReadFile(dir.File("out")),
              "DOOM\t0\tD1\td----\t\nreadme.txt\t1520\tD2\t -a--\tread first\n");
    std::string bad = std::string(ORBISK_CLI_PATH) + " ls '" + file + "' '\\nope\\' 2>/dev/null";
    int status = std::system(bad.c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1);
}
