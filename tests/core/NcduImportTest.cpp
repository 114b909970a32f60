#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

#include "RecordingProgress.h"
#include "TestSupport.h"
#include "TreeBuilder.h"
#include "core/catalog/ArchiveFile.h"
#include "core/export/NcduImport.h"
#include "core/scan/Walk.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

const std::atomic<bool> kRunning{true};

// The tree section of an archive as the writer stores it.
std::string Tree(const TArch& arch) {
    const std::string text = FormatArchive(arch);
    return text.substr(text.find("<tree>\r\n") + 8);
}

bool Parse(std::string_view json, TArch& arch, std::string& error) {
    TFixedDateFormatter dates;
    RecordingHost host;
    std::string root;
    return ParseNcduExport(json, arch, root, dates, kRunning, host, error);
}

std::string Export(std::string_view root) {
    return "[1,2,{\"progname\":\"ncdu\"},\n[{\"name\":\"" + std::string(root) +
           "\",\"asize\":4096}" + "]]";
}

} // namespace

// The same tree scanned by the walk and exported by the real ncdu (extended
// mode) gives the same folders, entries, sizes, dates and attributes.
TEST(NcduImport, ARealExportListsWhatAScanOfTheTreeLists) {
    if (std::system("command -v ncdu >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "ncdu is not installed (tools/install-deps.sh installs it); "
                        "the import of a real export is not tested";
    TempDir dir;
    const std::string root = dir.File("tree");
    MakeTree(root, {{"a.txt", "hello"},
                    {".hidden", "x"},
                    {"ro.txt", "read only"},
                    {"Žluťoučký kůň.txt", "utf"},
                    {"empty/", ""},
                    {"sub/deep/z.bin", std::string(70000, 'z')},
                    {"sub/B.txt", "b"},
                    {"sub/tab\there", "t"},
                    {"sub/back\\slash", "s"},
                    {"sub/quo\"te", "q"},
                    {"Sub2/", ""}});
    ::chmod((root + "/ro.txt").c_str(), 0444);
    const std::string json = dir.File("export.json");
    ASSERT_EQ(std::system(("ncdu -e -o '" + json + "' '" + root + "' >/dev/null 2>&1").c_str()), 0);

    TArch imported;
    std::string error;
    ASSERT_TRUE(Parse(ReadFile(json), imported, error)) << error;
    EXPECT_EQ(imported.Head.Name, "tree");

    TArch scanned;
    TWalkOptions options;
    RecordingProgress progress;
    RecordingHost host;
    std::atomic<bool> running{true};
    TFixedDateFormatter dates;
    TWalker walker(scanned, SourceRootFor(root), options, progress, running, host, dates);
    walker.WalkDirectory("");
    EXPECT_EQ(Tree(imported), Tree(scanned));
    EXPECT_EQ(imported.RecCount, 13);
}

TEST(NcduImport, RecordsFoldersFirstWithSizesDatesAndFlags) {
    const std::string json =
        "[1,0,{},[{\"name\":\"/media/u/GAMES/\",\"asize\":4096},"
        "{\"name\":\"z.txt\",\"asize\":12},"
        "{\"name\":\".rc\",\"asize\":3,\"mode\":33060,\"mtime\":0,\"hlnkc\":true},"
        "[{\"name\":\"Dir\",\"asize\":4096,\"mode\":16749,\"extra\":{\"x\":[1]}},"
        "{\"name\":\"a\\tb\",\"excluded\":\"pattern\"}],"
        "{\"name\":\"link\",\"asize\":7,\"notreg\":true}]]";
    TArch arch;
    std::string error;
    ASSERT_TRUE(Parse(json, arch, error)) << error;
    EXPECT_EQ(arch.Head.Name, "GAMES");
    EXPECT_EQ(arch.Head.Medium, "other");
    TFixedDateFormatter dates;
    std::tm local{};
    const std::time_t epoch = 0;
    ::localtime_r(&epoch, &local);
    EXPECT_EQ(Tree(arch), "\\\r\n"
                          "Dir\t0\t?\tdr---\t\t\r\n"
                          ".rc\t3\t" +
                              dates.DateTime(local) +
                              "\t r-h-\t\t\r\n"
                              "link\t7\t?\t ----\t\t\r\n"
                              "z.txt\t12\t?\t ----\t\t\r\n"
                              "\\Dir\\\r\n"
                              "a_b\t0\t?\t ----\t\t\r\n");
    // A root name never breaks the header line it is written into.
    TArch odd;
    ASSERT_TRUE(Parse(Export("/x/a\\r\\n\\tb\\u001a\\u0007c\\\\d"), odd, error)) << error;
    EXPECT_EQ(odd.Head.Name, "a   b  c d");
    EXPECT_EQ(NcduArchiveName("/"), "/");
    EXPECT_EQ(NcduArchiveName("disk"), "disk");
}

TEST(NcduImport, RefusesWhatIsNoNcduExport) {
    const char* cases[] = {
        "{}",
        "[2,0,{},[{\"name\":\"/\"}]]",
        "[1,0,{}]",
        "[1,0,{},[{\"name\":\"/\"}],5]",
        "[1,0,[],[{\"name\":\"/\"}]]",
        "[1,0,{},[]]",
        "[1,0,{},[[{\"name\":\"x\"}]]]",
        "[1,0,{},[{\"asize\":1}]]",
        "[1,0,{},[{\"name\":\"/\"},{\"name\":\"f\",\"asize\":\"12\"}]]",
        "[1,0,{},[{\"name\":\"/\"},{\"name\":\"f\",\"asize\":-1}]]",
        "[1,0,{},[{\"name\":\"/\"},{\"name\":\"f\",\"asize\":1.5}]]",
        "[1,0,{},[{\"name\":\"/\"},{\"name\":\"\"}]]",
        "[1,0,{},[{\"name\":\"/\"},{\"name\":\"a\\u0000b\"}]]",
        "[1,0,{},[{\"name\":\"/\"},{\"name\":7}]]",
        "[1,0,{},[{\"name\":\"/\"},3]]",
        "[1,0,{},[{\"name\":\"/\"}]",
    };
    for (const char* json : cases) {
        SCOPED_TRACE(json);
        TArch arch;
        std::string error;
        EXPECT_FALSE(Parse(json, arch, error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(NcduImport, WritesANewArchiveNamedAfterTheRootWithoutReplacingOne) {
    TempDir dir;
    WriteFile(dir.File("in.json"), Export("/home/u/Fotky 2024"));
    WriteFile(dir.File("Fotky_2024.cd"), "old");
    TFixedDateFormatter dates;
    RecordingHost host;
    const TImportResult r =
        ImportNcduFile(dir.File("in.json"), dir.Path(), "", dates, kRunning, host);
    ASSERT_EQ(r.Outcome, TImportOutcome::Written);
    EXPECT_EQ(r.FileName, "Fotky_2024_0.cd");
    EXPECT_EQ(ReadFile(dir.File("Fotky_2024.cd")), "old");
    TArch back;
    back.Head.FileName = r.Path;
    ASSERT_TRUE(ReadArchive(back, host));
    EXPECT_EQ(back.Head.Name, "Fotky 2024");
    EXPECT_EQ(back.DirCount, 1);

    const TImportResult named =
        ImportNcduFile(dir.File("in.json"), dir.Path(), "Moje\tfotky", dates, kRunning, host);
    EXPECT_EQ(named.FileName, "Moje_fotky.cd");
    EXPECT_EQ(named.Head.Name, "Moje fotky");

    const TImportResult missing =
        ImportNcduFile(dir.File("none.json"), dir.Path(), "", dates, kRunning, host);
    EXPECT_EQ(missing.Outcome, TImportOutcome::Unreadable);
    EXPECT_EQ(missing.Status.error, ENOENT);
    WriteFile(dir.File("bad.json"), "[1,0,{},[{\"name\":\"/\"},]]");
    const TImportResult bad =
        ImportNcduFile(dir.File("bad.json"), dir.Path(), "", dates, kRunning, host);
    EXPECT_EQ(bad.Outcome, TImportOutcome::Malformed);
    EXPECT_NE(bad.Error.find("byte "), std::string::npos);
}
