// Archive files that no writer would produce: the reader finishes quickly,
// with memory in proportion to the file, and the model stays consistent.
#include <gtest/gtest.h>

#include <random>

#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"

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
