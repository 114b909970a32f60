#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "ArchiveBuilder.h"
#include "FailingDevice.h"
#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

std::string Head(std::string_view name = "X") {
    return "<head>\r\nName=" + std::string(name) + "\r\n<tree>\r\n";
}

struct Flat {
    std::vector<std::string> dirs;              // paths of Dirs 1..DirCount
    std::vector<std::vector<std::string>> recs; // per entry: six fields
};

Flat Flatten(const TArch& a) {
    Flat f;
    for (int d = 1; d <= a.DirCount; ++d)
        f.dirs.push_back(a.Dirs[d].Path);
    for (int r = 1; r <= a.RecCount; ++r) {
        const TRec& x = a.Recs[r];
        f.recs.push_back({x.Name, x.Size, x.Date, x.Attr, x.Note, x.Description});
    }
    return f;
}

} // namespace

struct ReaderCase {
    const char* what;
    std::string text;
    std::vector<std::string> dirs;
    std::vector<std::vector<std::string>> recs;
};

TEST(ArchiveReader, SplitsLinesAndFieldsByTheFormatRules) {
    const std::vector<ReaderCase> cases = {
        {"no tree line: header only", "<head>\r\nName=A\r\n", {}, {}},
        {"tree line only as a whole line",
         "<head>\r\n <tree>\r\n<TREE>\r\n<tree>\r\n\\\r\n",
         {"\\"},
         {}},
        {"CR LF, lone CR and lone LF",
         Head() + "\\\r\na\nb\tc\rd\te\r\n",
         {"\\"},
         {{"a\nb", "", "", "", "", "c"}, {"d", "", "", "", "", "e"}}},
        {"0x1A ends the file",
         Head() + "\\\r\nx\t1\r\n\x1A\\SKIP\\\r\n",
         {"\\"},
         {{"x", "", "", "", "", "1"}}},
        {"empty line in the tree is a directory",
         Head() + "\\\r\n\r\n\\A\\\r\n",
         {"\\", "", "\\A\\"},
         {}},
        {"six fields, extra TABs stay in the description",
         Head() + "\\\r\nn\t1\td\t -a--\tnote\tde\tsc\x07\r\n",
         {"\\"},
         {{"n", "1", "d", " -a--", "note", "de\tsc\x07"}}},
        {"a line with one TAB gives name and description",
         Head() + "\\\r\na\tb\r\n",
         {"\\"},
         {{"a", "", "", "", "", "b"}}},
        {"empty fields", Head() + "\\\r\n\t\t\t\t\t\r\n", {"\\"}, {{"", "", "", "", "", ""}}},
        {"last line without line end", Head() + "\\\r\nx\ty", {"\\"}, {{"x", "", "", "", "", "y"}}},
        {"LF alone never ends a line", Head() + "\\\n\\A\\\r\n", {"\\\n\\A\\"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TArch a;
        ParseArchive(c.text, a);
        Flat f = Flatten(a);
        EXPECT_EQ(f.dirs, c.dirs);
        EXPECT_EQ(f.recs, c.recs);
    }
}

TEST(ArchiveReader, HeaderDefaultsPrefixesAndRepeatedKeys) {
    TArch a;
    ParseArchive("<head>\r\nTyp=Hry\r\nName=\r\nSubTyp=x\r\nSubTyp=y\r\nname=no\r\n"
                 "Packed=zzz\r\nDescription= spaced \r\n<tree>\r\nName=tree\r\n",
                 a);
    EXPECT_EQ(a.Head.Name, "");
    EXPECT_EQ(a.Head.Medium, "other");
    EXPECT_EQ(a.Head.Typ, "Hry");
    EXPECT_EQ(a.Head.SubTyp, "y");
    EXPECT_EQ(a.Head.Description, " spaced ");
    EXPECT_EQ(a.DirCount, 1); // "Name=tree" after <tree> is a directory line

    TArch b;
    ParseArchive("<head>\r\n<tree>\r\n", b);
    EXPECT_EQ(b.Head.Name, "?");
    EXPECT_EQ(b.Head.Medium, "other");
}

TEST(ArchiveReader, EntryBeforeAnyDirectoryGoesToSlotZeroAndIsDroppedOnSave) {
    TArch a;
    ParseArchive(Head() + "lost\t1\r\n\\\r\nkept\t2\r\n", a);
    ASSERT_EQ(a.DirCount, 1);
    EXPECT_EQ(a.Dirs[0].Count, 1);
    EXPECT_EQ(a.Dirs[1].First, 2);
    EXPECT_EQ(a.Dirs[1].Count, 1);
    std::string saved = FormatArchive(a);
    EXPECT_EQ(saved.find("lost"), std::string::npos);
    EXPECT_NE(saved.find("kept\t\t\t\t\t2\r\n"), std::string::npos);
}

TEST(ArchiveModel, ArraysGrowByTheThousandRule) {
    TArch a;
    a.AddDir("\\");
    std::vector<std::pair<int, std::size_t>> seen;
    for (int i = 1; i <= 3000; ++i) {
        a.AddRec(TRec{"n", "0", "", " ----", "", "", 1});
        if (i == 998 || i == 999 || i == 1998 || i == 1999 || i == 2999)
            seen.emplace_back(i, a.Recs.size());
    }
    std::vector<std::pair<int, std::size_t>> want = {
        {998, 1000}, {999, 1999}, {1998, 1999}, {1999, 2999}, {2999, 3999}};
    EXPECT_EQ(seen, want);
}

TEST(ArchiveWriter, RoundTripsWhatItWrites) {
    const std::vector<std::pair<const char*, TArch>> cases = {
        {"descriptions with 0x07 and TABs",
         MakeArchive({{"\\", {{"a.txt", "12", "d", " -a--", "n", "l1\x07l\t2\x07"}}}})},
        {"empty fields and empty folders",
         MakeArchive({{"\\", {{"", "", "", "", "", ""}, {"E", "0", "d", "d----"}}},
                      {"\\E\\", {}},
                      {"\\F\\", {}}})},
        {"header values",
         [] {
             TArch a = MakeArchive({{"\\", {}}}, "Hry 1");
             a.Head.Typ = "T";
             a.Head.SubTyp = "S";
             a.Head.Owner = "O";
             a.Head.Description = "D";
             a.Head.SN = "1A2B-0C3D";
             a.Head.Volume = "GAMES1";
             return a;
         }()},
        {"Windows-1250 bytes", MakeArchive({{"\\", {{"\xe8\xe1st", "1"}}}}, "\x8a\xe9")},
    };
    TempDir dir;
    for (const auto& [what, arch] : cases) {
        SCOPED_TRACE(what);
        TArch out = arch;
        out.Head.FileName = dir.File("r.cd");
        RecordingHost host;
        ASSERT_TRUE(WriteArchive(out, host));
        TArch back;
        back.Head.FileName = out.Head.FileName;
        ASSERT_TRUE(ReadArchive(back, host));
        EXPECT_EQ(Flatten(back).dirs, Flatten(arch).dirs);
        EXPECT_EQ(Flatten(back).recs, Flatten(arch).recs);
        for (auto f : {&THead::Name, &THead::Typ, &THead::SubTyp, &THead::Medium, &THead::Owner,
                       &THead::Description, &THead::SN, &THead::Volume})
            EXPECT_EQ(back.Head.*f, arch.Head.*f);
        EXPECT_EQ(ReadFile(out.Head.FileName), FormatArchive(back));
        EXPECT_TRUE(host.warns.empty());
    }
}

TEST(ArchiveWriter, WritesTheExactLayout) {
    TArch a = MakeArchive({{"\\", {{"DOOM", "0", "D", "d----"}, {"gone", "1"}}},
                           {"\\DOOM\\", {{"doom.exe", "2048", "D", " -a--"}}}},
                          "Games 1");
    a.Head.Typ = "Hry";
    a.Recs[2].Present = 0;
    EXPECT_EQ(FormatArchive(a), "<head>\r\nName=Games 1\r\nTyp=Hry\r\nSubTyp=\r\nMedium=CD\r\n"
                                "Owner=\r\nDescription=\r\nSN=\r\nVolume=\r\nPacked=\r\n\r\n"
                                "<tree>\r\n\\\r\nDOOM\t0\tD\td----\t\t\r\n\\DOOM\\\r\n"
                                "doom.exe\t2048\tD\t -a--\t\t\r\n");
}

TEST(ArchiveWriter, DeletedEntriesAreDroppedButTheirFolderLineStays) {
    TempDir dir;
    TArch a = MakeArchive({{"\\", {{"SUB", "0", "D", "d----"}}}, {"\\SUB\\", {{"f", "1"}}}});
    a.Recs[1].Present = 0;
    a.Recs[2].Present = 0;
    a.Head.FileName = dir.File("d.cd");
    RecordingHost host;
    ASSERT_TRUE(WriteArchive(a, host));
    TArch back;
    back.Head.FileName = a.Head.FileName;
    ASSERT_TRUE(ReadArchive(back, host));
    EXPECT_EQ(Flatten(back).dirs, (std::vector<std::string>{"\\", "\\SUB\\"}));
    EXPECT_EQ(back.RecCount, 0);
}

TEST(ArchiveReader, ReportsMissingAndUnreadableFiles) {
    TempDir dir;
    RecordingHost host;
    TArch a = MakeArchive({{"\\", {{"x"}}}});
    a.Head.FileName = dir.File("none.cd");
    a.Head.Name = "kept";
    EXPECT_FALSE(ReadArchive(a, host));
    EXPECT_EQ(host.informs, std::vector<std::string>{std::string(kMsgFileMissing)});
    EXPECT_EQ(a.Head.Name, "kept");
    EXPECT_EQ(a.DirCount + a.RecCount, 0);

    a.Head.FileName = dir.Path(); // a folder cannot be read as a file
    EXPECT_FALSE(ReadArchive(a, host));
    EXPECT_EQ(host.warns, std::vector<std::string>{std::string(kMsgCannotRead)});
}

TEST(ArchiveWriter, BackupIsMadeOnlyWhenAbsent) {
    TempDir dir;
    RecordingHost host;
    TArch a = MakeArchive({{"\\", {{"v1"}}}});
    a.Head.FileName = dir.File("GAMES1.cd");
    ASSERT_TRUE(WriteArchive(a, host));
    EXPECT_FALSE(FileExists(dir.File("GAMES1.bak")));
    std::string v1 = ReadFile(a.Head.FileName);

    a.Recs[1].Name = "v2";
    ASSERT_TRUE(WriteArchive(a, host));
    EXPECT_EQ(ReadFile(dir.File("GAMES1.bak")), v1);
    std::string v2 = ReadFile(a.Head.FileName);

    a.Recs[1].Name = "v3";
    ASSERT_TRUE(WriteArchive(a, host));
    EXPECT_EQ(ReadFile(dir.File("GAMES1.bak")), v1); // an existing backup stays unchanged
    EXPECT_NE(ReadFile(a.Head.FileName).find("v3"), std::string::npos);
    EXPECT_EQ(ListDir(dir.Path()), (std::vector<std::string>{"GAMES1.bak", "GAMES1.cd"}));
}

TEST(ArchiveWriter, ReadOnlyArchiveIsSavedAndLeftWritableByItsOwner) {
    TempDir dir;
    RecordingHost host;
    TArch a = MakeArchive({{"\\", {{"v1"}}}});
    a.Head.FileName = dir.File("ro.cd");
    ASSERT_TRUE(WriteArchive(a, host));
    ASSERT_EQ(::chmod(a.Head.FileName.c_str(), 0444), 0);
    a.Recs[1].Name = "v2";
    ASSERT_TRUE(WriteArchive(a, host));
    struct stat st {};
    ASSERT_EQ(::stat(a.Head.FileName.c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
    EXPECT_NE(ReadFile(a.Head.FileName).find("v2"), std::string::npos);
}

namespace {

// Saves a changed archive over an existing one while the write is made to
// fail; returns what the host was told.
RecordingHost FailingSave(const TempDir& dir, const std::function<bool(TArch&, Host&)>& save) {
    TArch a = MakeLargeArchive(3000);
    a.Head.FileName = dir.File("NAME.cd");
    RecordingHost host;
    EXPECT_TRUE(WriteArchive(a, host));
    a.Recs[5].Name = "changed";
    EXPECT_FALSE(save(a, host));
    return host;
}

} // namespace

TEST(ArchiveWriter, FailedSaveLeavesTheOldFileWhole) {
    struct FailCase {
        const char* what;
        std::function<bool(TArch&, Host&)> save;
    };
    const std::vector<FailCase> cases = {
        {"write error half way",
         [](TArch& a, Host& h) {
             test::FailingDevice device(1000, EIO);
             TScopedWriteDevice seam(device);
             return WriteArchive(a, h).ok;
         }},
        {"file size limit reached (a full disk as the process sees it)",
         [](TArch& a, Host&) {
             pid_t pid = ::fork();
             if (pid == 0) {
                 ::signal(SIGXFSZ, SIG_IGN);
                 rlimit lim{4096, 4096};
                 ::setrlimit(RLIMIT_FSIZE, &lim);
                 RecordingHost child;
                 _exit(WriteArchive(a, child) ? 0 : child.warns.size() == 1 ? 3 : 4);
             }
             int status = 0;
             ::waitpid(pid, &status, 0);
             return !(WIFEXITED(status) && WEXITSTATUS(status) == 3);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        std::string before;
        RecordingHost host = FailingSave(dir, [&](TArch& a, Host& h) {
            before = ReadFile(a.Head.FileName);
            return c.save(a, h);
        });
        EXPECT_EQ(ReadFile(dir.File("NAME.cd")), before);
        EXPECT_EQ(ListDir(dir.Path()), std::vector<std::string>{"NAME.cd"});
    }
}

TEST(ArchiveWriter, FailureWarnsAndReturnsFalse) {
    RecordingHost host;
    TArch a = MakeArchive({{"\\", {}}});
    a.Head.FileName = "/nonexistent-folder-of-orbisk/x.cd";
    EXPECT_FALSE(WriteArchive(a, host));
    EXPECT_EQ(host.warns, std::vector<std::string>{std::string(kMsgCannotCreate)});
}

TEST(ArchiveFile, BackupNameReplacesTheLastThreeCharacters) {
    EXPECT_EQ(BackupName("GAMES1.cd"), "GAMES1.bak");
    EXPECT_EQ(BackupName("dir/cd.db"), "dir/cd.bak");
    EXPECT_EQ(BackupName("ab"), ".bak");
}

TEST(ArchiveReader, ReadingIntoAUsedArchiveLeavesNothingBehind) {
    TempDir dir;
    RecordingHost host;
    TArch big = MakeLargeArchive(2500);
    big.Head.FileName = dir.File("big.cd");
    ASSERT_TRUE(WriteArchive(big, host));
    TArch small = MakeArchive({{"\\", {{"a", "1", "d", " ----", "n", "x\x07"}, {"b"}}}});
    small.Head.FileName = dir.File("small.cd");
    ASSERT_TRUE(WriteArchive(small, host));

    TArch a;
    a.Head.FileName = big.Head.FileName;
    ASSERT_TRUE(ReadArchive(a, host));
    a.Recs[3].Note = "typed by the user"; // an owned field in a reused slot
    a.Head.FileName = small.Head.FileName;
    ASSERT_TRUE(ReadArchive(a, host));
    EXPECT_EQ(Flatten(a).recs, Flatten(small).recs);
    EXPECT_EQ(a.Recs.size(), 1000u);
    EXPECT_EQ(a.Dirs.size(), 1000u);
    for (std::size_t i = 3; i < a.Recs.size(); ++i) {
        ASSERT_TRUE(a.Recs[i].Name.empty() && a.Recs[i].Note.empty()) << i;
    }

    a.Head.FileName = big.Head.FileName;
    ASSERT_TRUE(ReadArchive(a, host));
    EXPECT_EQ(a.RecCount, big.RecCount);
    EXPECT_EQ(a.Recs.size(), SlotsForCount(a.RecCount));
    EXPECT_EQ(Flatten(a).recs, Flatten(big).recs);
}

TEST(ArchiveModel, SlotsForCountMatchesStepwiseGrowth) {
    std::vector<TRec> slots(kArchiveGrowth);
    for (std::int32_t count = 1; count <= 5000; ++count) {
        GrowAfterIncrement(slots, count);
        ASSERT_EQ(slots.size(), SlotsForCount(count)) << count;
    }
}

TEST(ArchiveModel, FieldsReadFromAFileSurviveCopiesOfTheirEntry) {
    TRec copy;
    {
        TArch a;
        ParseArchive(Head() + "\\\r\nname\t1\tdate\t -a--\tnote\tdesc\r\n", a);
        copy = a.Recs[1];
        EXPECT_FALSE(a.Recs[1].Name.IsOwned());
        a.Recs[1].Attr[0] = 'p'; // writing makes the field its own
        EXPECT_EQ(a.Recs[1].Attr, "p-a--");
        EXPECT_NE(FormatArchive(a).find("name\t1\tdate\tp-a--\tnote\tdesc\r\n"), std::string::npos);
    }
    EXPECT_EQ(copy.Name, "name");
    EXPECT_EQ(copy.Description, "desc");
    TStr s = "ab";
    s += "cd";
    s = s.substr(1, 2); // assigning a part of itself
    EXPECT_EQ(s, "bc");
}
