#include <gtest/gtest.h>

#include <sys/stat.h>

#include "ArchiveBuilder.h"
#include "TestSupport.h"
#include "WithoutDacOverride.h"
#include "core/catalog/ArchiveFile.h"
#include "core/catalog/Browse.h"
#include "core/catalog/Merge.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

TArch Source(const std::string& name, const std::string& file) {
    TArch a = MakeArchive({{"\\", {{"sub", "0", "", "d----"}, {name + ".txt", "10"}}},
                           {"\\sub\\", {{"deep.txt", "5", "", " -a--", "n", "d\x07"}}}},
                          name);
    a.Head.FileName = file;
    a.Head.Typ = "Hry";
    a.Head.Description = "about " + name;
    a.Head.SN = "1234-" + name;
    return a;
}

// Directory paths and the entries under each, as lines.
std::vector<std::string> Shape(const TArch& arch) {
    std::vector<std::string> lines;
    for (std::int32_t d = 1; d <= arch.DirCount; ++d) {
        const TDir& dir = arch.Dirs[static_cast<std::size_t>(d)];
        std::string line = dir.Path + ":";
        for (std::int32_t r = dir.First; r < dir.First + dir.Count; ++r) {
            const TRec& rec = arch.Recs[static_cast<std::size_t>(r)];
            line += " " + rec.Name.str() + "/" + rec.Attr.str();
        }
        lines.push_back(line);
    }
    return lines;
}

// Writes the archives A and B into dir and lists them there.
void WriteListedSources(TempDir& dir, TArchiveList& list, RecordingHost& host) {
    list.Folder = dir.Path();
    for (const char* name : {"A", "B"}) {
        TArch source = Source(name, dir.File(std::string(name) + ".cd"));
        ASSERT_TRUE(WriteArchive(source, host));
        list.Append(ListRowOf(source.Head, std::string(name) + ".cd"));
    }
}

} // namespace

TEST(Merge, EachSourceBecomesARootEntryWithItsTreeBelow) {
    std::vector<TArch> sources;
    for (const char* name : {"A", "B", "C"})
        sources.push_back(Source(name, std::string(name) + ".cd"));
    TArch merged;
    MergeArchives(sources, merged);
    sources.clear(); // the merged entries outlive the sources

    EXPECT_EQ(merged.Head.FileName, "m_A.cd");
    EXPECT_EQ(merged.Head.Name, "Multi A");
    EXPECT_EQ(merged.Head.Medium, "Multi");
    EXPECT_EQ(merged.Head.TreePath, "\\Multi\\");
    EXPECT_EQ(merged.Head.Typ, "Hry");
    EXPECT_EQ(merged.Head.SN, "1234-A");
    EXPECT_EQ(Shape(merged), (std::vector<std::string>{
                                 "\\: A/Archiv B/Archiv C/Archiv", "\\A\\: sub/d---- A.txt/ -a--",
                                 "\\A\\sub\\: deep.txt/ -a--", "\\B\\: sub/d---- B.txt/ -a--",
                                 "\\B\\sub\\: deep.txt/ -a--", "\\C\\: sub/d---- C.txt/ -a--",
                                 "\\C\\sub\\: deep.txt/ -a--"}));
    const TRec& root = merged.Recs[2];
    EXPECT_EQ(root.Size, "0");
    EXPECT_EQ(root.Date, "Bylo nebylo");
    EXPECT_EQ(root.Note, "about B");
    EXPECT_EQ(root.Description, "about B");
    // The browser enters A through its root entry.
    TFolderListing a = ListFolderRows(merged, ChildPath("\\", merged.Recs[1].Name), {});
    ASSERT_EQ(a.Rows.size(), 3u); // "[ .. ]", sub, A.txt
    EXPECT_EQ(merged.Recs[static_cast<std::size_t>(a.Rows[2].Rec)].Name, "A.txt");
    EXPECT_EQ(a.Rows[0].Rec, 0);
    EXPECT_EQ(FolderSize(merged, "\\"), 45);
}

TEST(Merge, AMergedArchiveMergedAgainIsNested) {
    std::vector<TArch> first;
    first.push_back(Source("A", "a.cd"));
    first.push_back(Source("B", "b.cd"));
    TArch multi;
    MergeArchives(first, multi);
    std::vector<TArch> second;
    second.push_back(std::move(multi));
    second.push_back(Source("C", "c.cd"));
    TArch nested;
    MergeArchives(second, nested);
    EXPECT_EQ(nested.Head.FileName, "m_m_a.cd");
    EXPECT_EQ(Shape(nested),
              (std::vector<std::string>{
                  "\\: Multi A/Archiv C/Archiv", "\\Multi A\\: A/Archiv B/Archiv",
                  "\\Multi A\\A\\: sub/d---- A.txt/ -a--", "\\Multi A\\A\\sub\\: deep.txt/ -a--",
                  "\\Multi A\\B\\: sub/d---- B.txt/ -a--", "\\Multi A\\B\\sub\\: deep.txt/ -a--",
                  "\\C\\: sub/d---- C.txt/ -a--", "\\C\\sub\\: deep.txt/ -a--"}));
}

TEST(Merge, ListedArchivesAreReadWrittenAndFiled) {
    TempDir dir;
    TArchiveList list;
    RecordingHost host;
    ASSERT_NO_FATAL_FAILURE(WriteListedSources(dir, list, host));
    THead gone;
    gone.Name = "Gone";
    gone.FileName = "gone.cd";
    gone.Listed = 1;
    list.Append(gone);

    TArch merged;
    TMergeResult result = MergeListedArchives(list, {2, 3, 1}, merged, host);
    ASSERT_TRUE(result.Written);
    EXPECT_EQ(result.FileName, "m_B.cd");
    EXPECT_EQ(host.informs, std::vector<std::string>{std::string(kMsgFileMissing)});
    TArch back;
    back.Head.FileName = dir.File("m_B.cd");
    ASSERT_TRUE(ReadArchive(back, host));
    EXPECT_EQ(FormatArchive(back), FormatArchive(merged));
    EXPECT_EQ(Shape(back)[0], "\\: B/Archiv Gone/Archiv A/Archiv");
    ASSERT_EQ(result.Slot, 4);
    EXPECT_EQ(list[4].TreePath, "\\Multi\\");
    EXPECT_EQ(list[4].FileName, "m_B.cd");
    EXPECT_NE(ReadFile(dir.File("_cd_.lst")).find("\\Multi\\\tMulti B\tm_B.cd"), std::string::npos);
}

// A multi-archive that could not be written gets no row: the list never
// names a file that is not there.
TEST(Merge, AFailedWriteAddsNoRow) {
    TempDir dir;
    TArchiveList list;
    RecordingHost host;
    ASSERT_NO_FATAL_FAILURE(WriteListedSources(dir, list, host));
    ::chmod(dir.Path().c_str(), 0555);
    TMergeResult result;
    {
        WithoutDacOverride noOverride;
        TArch merged;
        if (noOverride.Active() || ::geteuid() != 0) {
            result = MergeListedArchives(list, {1, 2}, merged, host);
        }
    }
    ::chmod(dir.Path().c_str(), 0755);
    if (::geteuid() == 0 && result.FileName.empty()) GTEST_SKIP() << "cannot drop root's rights";
    EXPECT_FALSE(result.Written);
    EXPECT_EQ(result.Slot, 0);
    EXPECT_EQ(list.ArchiveCount(), 2);
    EXPECT_FALSE(FileExists(dir.File("m_A.cd")));
}
