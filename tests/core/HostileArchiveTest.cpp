// Archive files that no writer would produce: the reader finishes quickly,
// with memory in proportion to the file, and the model stays consistent.
#include <gtest/gtest.h>

#include <cerrno>
#include <random>
#include <unistd.h>

#include "ArchiveBuilder.h"
#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ArchiveList.h"
#include "core/catalog/ProgramValues.h"
#include "core/catalog/TextFile.h"

using namespace orbisk;

namespace {

// Every entry of every listed directory lies inside the entry array.
void ExpectConsistent(const TArch& a) {
    ASSERT_GE(a.Dirs.size(), static_cast<std::size_t>(a.DirCount) + 1);
    ASSERT_GE(a.Recs.size(), static_cast<std::size_t>(a.RecCount) + 1);
    std::int64_t counted = a.Dirs[0].Count;
    for (int d = 1; d <= a.DirCount; ++d) {
        const TDir& dir = a.Dirs[d];
        ASSERT_GE(dir.First, 1);
        ASSERT_LE(dir.First + dir.Count - 1, a.RecCount);
        counted += dir.Count;
    }
    EXPECT_EQ(counted, a.RecCount);
}

} // namespace

TEST(HostileArchive, ReaderCopesWithExtremeShapes) {
    const std::string head = "<head>\r\n<tree>\r\n";
    std::string manyDirs = head;
    for (int i = 0; i < 1000000; ++i)
        manyDirs += "\\d\\\r\n";
    std::string manyTabs = head + "\\\r\n" + std::string(200000, '\t') + "\r\n";
    std::string onlyCr = head + std::string(300000, '\r');
    std::string noLineEnds(2000000, 'x');
    std::string garbage;
    std::mt19937 random(7);
    for (int i = 0; i < 1000000; ++i)
        garbage.push_back(static_cast<char>(random()));
    std::string eofFirst = "\x1A" + head + "\\\r\n";

    struct Case {
        const char* what;
        const std::string& text;
        int dirs, recs;
    };
    const std::vector<Case> cases = {
        {"a million directory lines", manyDirs, 1000000, 0},
        {"one line of 200 000 TABs", manyTabs, 1, 1},
        {"only CRs", onlyCr, 300000, 0},
        {"2 MB without a line end", noLineEnds, 0, 0},
        {"random bytes", garbage, -1, -1},
        {"0x1A before anything", eofFirst, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TArch a;
        ParseArchive(c.text, a);
        ExpectConsistent(a);
        if (c.dirs >= 0) {
            EXPECT_EQ(a.DirCount, c.dirs);
            EXPECT_EQ(a.RecCount, c.recs);
        }
    }
}

TEST(HostileArchive, LongDescriptionKeepsItsTabs) {
    TArch a;
    ParseArchive("<tree>\r\n\\\r\nn\ts\td\ta\tn\t" + std::string(100000, '\t') + "end\r\n", a);
    ASSERT_EQ(a.RecCount, 1);
    EXPECT_EQ(a.Recs[1].Description.size(), 100003u);
}

// A file of 2 GiB that is one line without a line end (a sparse file: no disk
// is used). Every reader that loads a whole file refuses it from its size,
// before taking memory for it, and gives its ordinary outcome for a file it
// cannot read.
TEST(HostileArchive, TwoGigabyteLineIsRefusedBeforeItIsRead) {
    test::TempDir dir;
    const off_t size = off_t{1} << 31;
    auto makeHuge = [&](const std::string& name) {
        std::string path = dir.File(name);
        test::WriteFile(path, "");
        EXPECT_EQ(::truncate(path.c_str(), size), 0);
        return path;
    };

    TArch arch;
    arch.Head.FileName = makeHuge("huge.cd");
    test::RecordingHost host;
    EXPECT_FALSE(ReadArchive(arch, host));
    EXPECT_EQ(host.warns, std::vector<std::string>{std::string(kMsgCannotRead)});
    EXPECT_EQ(arch.RecCount, 0);

    // A cache file of that size is ignored; the list is built from the
    // archives themselves.
    makeHuge(std::string(kArchiveListFile));
    TArch small = test::MakeArchive({{"\\", {{.name = "a.txt"}}}}, "Small");
    small.Head.FileName = dir.File("small.cd");
    ASSERT_TRUE(WriteArchive(small, host));
    TArchiveList list;
    BuildArchiveList(dir.Path(), list, host, TListCache::Leave);
    bool sawSmall = false;
    for (std::int32_t slot = 1; slot <= list.ArchiveCount(); ++slot)
        sawSmall = sawSmall || list[slot].Name == "Small";
    EXPECT_TRUE(sawSmall);

    EXPECT_TRUE(LoadExtensionList(makeHuge(kScanExtensionsFile)).empty());
}

TEST(HostileArchive, WholeFileReadStopsAtItsLimit) {
    test::TempDir dir;
    test::WriteFile(dir.File("f"), std::string(100, 'x'));
    std::string out;
    EXPECT_TRUE(ReadWholeFile(dir.File("f"), out, 100));
    EXPECT_EQ(out.size(), 100u);
    EXPECT_EQ(ReadWholeFile(dir.File("f"), out, 99).error, EFBIG);
    EXPECT_TRUE(out.empty());
}
