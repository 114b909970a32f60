#include <gtest/gtest.h>

#include "ArchiveBuilder.h"
#include "CliTestSupport.h"
#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

bool Has(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

} // namespace

TEST(CliExport, WritesThePageOrTableOfAnArchive) {
    TempDir dir;
    TArch a = MakeArchive({{"\\", {{"x.txt", "1"}}}}, "Disk");
    a.Head.FileName = dir.File("disk.cd");
    RecordingHost host;
    ASSERT_TRUE(WriteArchive(a, host));
    const struct {
        std::vector<std::string> args;
        int code;
        std::string file, has, hasNot;
    } cases[] = {
        {{"export", dir.File("disk.cd")}, 0, dir.File("disk.html"), "<td> -a--</td>", ""},
        // A page read on other machines links no file of this one: the foot
        // names the program while its home page is the shipped guide.
        {{"export", dir.File("disk.cd")}, 0, dir.File("disk.html"), "Orbisk.</p>", "file:"},
        {{"export", dir.File("disk.cd"), "--note", "--grid", "--out", dir.File("p.html")},
         0,
         dir.File("p.html"),
         "<table border=\"1\">",
         "<td> -a--</td>"},
        {{"export", dir.File("disk.cd"), "--csv"}, 0, dir.File("disk.csv"), "\\x.txt,x.txt,1,", ""},
        {{"export", dir.File("none.cd")}, 1, "", "", ""},
        {{"export", "--bogus"}, 2, "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.code, c.code) << r.err;
        if (c.code == 1) {
            EXPECT_TRUE(Has(r.err, "none.cd: No such file or directory")) << r.err;
        }
        if (c.code != 0) continue;
        EXPECT_EQ(r.out, c.file + "\n");
        const std::string written = ReadFile(c.file);
        EXPECT_TRUE(Has(written, c.has)) << written;
        if (!c.hasNot.empty()) {
            EXPECT_FALSE(Has(written, c.hasNot));
        }
    }
}

TEST(CliConvert, WritesTheArchivesAndFilesThemInTheList) {
    TempDir dir;
    WriteFile(dir.File("games.cds"), "title\r\na\\\r\nf\t1\t2.3.2004\t5:06\t\r\n");
    const CliRun r =
        Cli({"convert", dir.File("games.cds"), dir.File("none.cds"), "--dir", dir.Path()});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, dir.File("games.cd") + "\n");
    EXPECT_TRUE(Has(r.err, "none.cds: No such file or directory")) << r.err;
    EXPECT_EQ(ReadFile(dir.File("_cd_.lst")), "\\Zbytek\\\tgames\tgames.cd\t\t\r\n");
    // An existing archive stays without --overwrite; nothing written is exit 1.
    const CliRun again = Cli({"convert", dir.File("games.cds"), "--dir", dir.Path()});
    EXPECT_EQ(again.code, 1);
    EXPECT_TRUE(Has(again.err, "--overwrite")) << again.err;
}

TEST(CliImportNcdu, WritesTheArchiveAndFilesItInTheList) {
    TempDir dir;
    WriteFile(dir.File("x.json"),
              "[1,2,{},[{\"name\":\"/mnt/Disk\"},{\"name\":\"f\",\"asize\":5}]]");
    const CliRun r = Cli({"import-ncdu", dir.File("x.json"), "--dir", dir.Path()});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, dir.File("Disk.cd") + "\n");
    EXPECT_EQ(ReadFile(dir.File("_cd_.lst")), "\\other\\\tDisk\tDisk.cd\t\t\r\n");
    WriteFile(dir.File("bad.json"), "[1,2,{}]");
    EXPECT_EQ(Cli({"import-ncdu", dir.File("bad.json"), "--dir", dir.Path()}).code, 1);
}
