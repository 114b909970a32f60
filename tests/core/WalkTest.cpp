#include <gtest/gtest.h>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "Mp3Writer.h"
#include "RarWriter.h"
#include "RecordingProgress.h"
#include "TestSupport.h"
#include "TreeBuilder.h"
#include "WithoutDacOverride.h"
#include "ZipWriter.h"
#include "core/catalog/ArchiveFile.h"
#include "core/catalog/Common.h"
#include "core/scan/Metadata.h"
#include "core/scan/Walk.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

using Lines = std::vector<std::string>;

constexpr int kNoSizes = 1 << 30;

// Each directory as its path, each entry as "Attr Name", with " Size" in the
// directories from number sizesFrom on.
Lines Dump(const TArch& arch, int sizesFrom = 1) {
    Lines out;
    for (int d = 1; d <= arch.DirCount; ++d) {
        out.push_back(arch.Dirs[d].Path);
        for (int i = arch.Dirs[d].First; i < arch.Dirs[d].First + arch.Dirs[d].Count; ++i) {
            const TRec& r = arch.Recs[i];
            out.push_back(r.Attr + " " + r.Name + (d >= sizesFrom ? " " + r.Size : std::string()));
        }
    }
    return out;
}

class Walk : public ::testing::Test {
protected:
    TempDir dir;
    TWalkOptions options;
    RecordingProgress progress;
    RecordingHost host;
    std::atomic<bool> running{true};
    TFixedDateFormatter dates;
    TArch arch;
    int unreadable = 0;

    void Run(const std::string& source) {
        arch.Clear();
        TWalker walker(arch, SourceRootFor(source), options, progress, running, host, dates);
        walker.WalkDirectory("");
        unreadable = walker.UnreadableFolders();
    }
    void Run() { Run(dir.Path()); }
};

// A tmpfs mounted at path (created when missing) while the object lives.
class TmpfsMount {
public:
    explicit TmpfsMount(std::string path) : path_(std::move(path)) {
        ::mkdir(path_.c_str(), 0755);
        mounted_ = ::mount("orbisk-test", path_.c_str(), "tmpfs", 0, "size=1m") == 0;
    }
    ~TmpfsMount() {
        if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }

private:
    std::string path_;
    bool mounted_ = false;
};

} // namespace

TEST(SortEntries, FoldersFirstThenNamesFoldedByteWiseStable) {
    const struct {
        Lines in, want; // first character: Attr kind, then the name
    } cases[] = {
        {{" B.txt", "da", " a.txt", "dC"}, {"da", "dC", " a.txt", " B.txt"}},
        {{" A.TXT", " a.txt"}, {" A.TXT", " a.txt"}},
        {{" a.txt", " A.TXT"}, {" a.txt", " A.TXT"}},
        {{" \xC3\xA9", " z", " _", " Z["}, {" z", " Z[", " _", " \xC3\xA9"}},
        {{" aB_", " ab", " abc", " a"}, {" a", " ab", " abc", " aB_"}},
        {{" x", "dy", "pz"}, {"pz", "dy", " x"}},
    };
    for (const auto& c : cases) {
        std::vector<TRec> recs(c.in.size() + 3);
        for (std::size_t i = 0; i < c.in.size(); ++i) {
            recs[i + 2].Attr = c.in[i].substr(0, 1) + "----";
            recs[i + 2].Name = c.in[i].substr(1);
        }
        SortEntries(recs, 2, static_cast<std::int32_t>(c.in.size()) + 1);
        Lines got;
        for (std::size_t i = 0; i < c.in.size(); ++i)
            got.push_back(recs[i + 2].Attr.substr(0, 1) + recs[i + 2].Name);
        EXPECT_EQ(got, c.want);
    }
}

TEST(SortEntries, SameOrderAsPassWiseExchanges) {
    std::mt19937 random(7);
    const std::string letters = "aAbB_\xC3";
    std::vector<TRec> recs(301), reference;
    for (int i = 1; i <= 300; ++i) {
        recs[i].Attr = std::string(1, " dp"[random() % 3]) + "----";
        for (unsigned n = random() % 4; n > 0; --n)
            recs[i].Name += letters[random() % 6];
    }
    reference = recs;
    // The exchange sort the order is defined by.
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int i = 1; i < 300; ++i) {
            const TRec &a = reference[i], &b = reference[i + 1];
            const auto ka = static_cast<unsigned char>(a.Attr[0]),
                       kb = static_cast<unsigned char>(b.Attr[0]);
            if (ka < kb || (ka == kb && UpperAscii(a.Name) > UpperAscii(b.Name))) {
                std::swap(reference[i], reference[i + 1]);
                swapped = true;
            }
        }
    }
    SortEntries(recs, 1, 300);
    for (int i = 1; i <= 300; ++i)
        EXPECT_EQ(recs[i].Attr + recs[i].Name.View(), reference[i].Attr + reference[i].Name.View())
            << i;
}

TEST_F(Walk, RecordsFoldersFirstAndDescendsDepthFirst) {
    MakeTree(dir.Path(), {{"b/x.txt", "xxx"},
                          {"a/sub/", ""},
                          {"Z.txt", "zz"},
                          {"y.txt", "y"},
                          {"a/e.txt", ""},
                          {".hid", "h"}});
    const Lines want = {
        "\\",    "d---- a 0",   "d---- b 0",     " --h- .hid 1", " ---- y.txt 1", " ---- Z.txt 2",
        "\\a\\", "d---- sub 0", " ---- e.txt 0", "\\a\\sub\\",   "\\b\\",         " ---- x.txt 3"};
    for (const std::string& source : {dir.Path(), dir.Path() + "/"}) {
        Run(source);
        EXPECT_EQ(Dump(arch), want) << source;
        EXPECT_EQ(unreadable, 0);
    }
}

TEST_F(Walk, LinuxAttributesSizesAndLinksNotFollowed) {
    MakeTree(dir.Path(), {{".git/", ""}, {".hidden", "12345"}, {"ro.txt", "r"}, {"loop/", ""}});
    ::chmod(dir.File("ro.txt").c_str(), 0444);
    ASSERT_EQ(::symlink("..", dir.File("loop/up").c_str()), 0);
    ASSERT_EQ(::symlink("no/such/target", dir.File("dangling").c_str()), 0);
    const int fd = ::open(dir.File("big.iso").c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, 5LL << 30), 0); // sparse: takes no space
    ::close(fd);
    Run();
    EXPECT_EQ(Dump(arch), (Lines{"\\", "d--h- .git 0", "d---- loop 0", " --h- .hidden 5",
                                 " ---- big.iso 5368709120", " ---- dangling 14", " r--- ro.txt 1",
                                 "\\.git\\", "\\loop\\", " ---- up 2"}));
}

TEST_F(Walk, DatesAreLocalTimeTextOrQuestionMark) {
    auto local = [](int hour, int minute, int second) {
        std::tm t{};
        t.tm_year = 103, t.tm_mon = 1, t.tm_mday = 1, t.tm_hour = hour, t.tm_min = minute,
        t.tm_sec = second, t.tm_isdst = -1;
        return std::mktime(&t);
    };
    const struct {
        time_t seconds;
        const char* want;
    } cases[] = {{local(4, 5, 6), "1.2.2003 4:05:06"},
                 {local(0, 0, 0), "1.2.2003"},
                 {static_cast<time_t>(1) << 60, "?"}}; // beyond any year a std::tm holds
    // tmpfs keeps any time; ext4 and others clamp the last row's.
    TmpfsMount fs(dir.File("t"));
    const std::string file = dir.File("t/f");
    for (const auto& c : cases) {
        WriteFile(file, "");
        const timespec times[2] = {{c.seconds, 0}, {c.seconds, 0}};
        struct stat st {};
        if (::utimensat(AT_FDCWD, file.c_str(), times, 0) != 0 || ::stat(file.c_str(), &st) != 0 ||
            st.st_mtim.tv_sec != c.seconds)
            GTEST_SKIP() << "the file system does not keep the time " << c.seconds;
        Run(dir.File("t"));
        ASSERT_EQ(arch.RecCount, 1);
        EXPECT_EQ(arch.Recs[1].Date, c.want);
    }
}

TEST_F(Walk, UnsafeBytesInNamesBecomeUnderscoresAndReadBackTheSame) {
    const Lines names = {"tab\tx.txt", "cr\rx",       "lf\nx",         "bell\x07x",
                         "eof\x1Ax",   "back\\x.txt", "we\\ird/in.txt"};
    for (const std::string& name : names)
        MakeTree(dir.Path(), {{name, "text"}});
    options.Text = true;
    options.DescriptionExtensions = {".txt"};
    Run();
    const Lines want = {"\\",           "d---- we_ird 0", " ---- back_x.txt 4", " ---- bell_x 4",
                        " ---- cr_x 4", " ---- eof_x 4",  " ---- lf_x 4",       " ---- tab_x.txt 4",
                        "\\we_ird\\",   " ---- in.txt 4"};
    EXPECT_EQ(Dump(arch), want);
    for (int i = 1; i <= arch.RecCount; ++i)
        if (arch.Recs[i].Name.ends_with(".txt")) {
            EXPECT_EQ(arch.Recs[i].Description, "text") << arch.Recs[i].Name;
        }
    TArch back;
    ParseArchive(FormatArchive(arch), back);
    EXPECT_EQ(Dump(back), want);
}

TEST_F(Walk, MountPointBelowTheSourceIsAnEmptyFolder) {
    MakeTree(dir.Path(), {{"a.txt", "a"}});
    TmpfsMount fs(dir.File("mnt"));
    if (!fs.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
    WriteFile(dir.File("mnt/inside.txt"), "x");
    Run();
    EXPECT_EQ(Dump(arch), (Lines{"\\", "d---- mnt 0", " ---- a.txt 1", "\\mnt\\"}));
}

TEST_F(Walk, UnreadableFolderStaysEmptyAndIsCounted) {
    MakeTree(dir.Path(), {{"a/locked/secret.txt", "s"}, {"b/ok.txt", "o"}});
    ::chmod(dir.File("a/locked").c_str(), 0);
    WithoutDacOverride noOverride;
    DIR* probe = ::opendir(dir.File("a/locked").c_str());
    if (probe) {
        ::closedir(probe);
        GTEST_SKIP() << "a folder with mode 000 stays readable (root with DAC capabilities "
                        "that cannot be dropped)";
    }
    Run();
    EXPECT_EQ(Dump(arch, kNoSizes), (Lines{"\\", "d---- a", "d---- b", "\\a\\", "dr--- locked",
                                           "\\a\\locked\\", "\\b\\", " ---- ok.txt"}));
    EXPECT_EQ(unreadable, 1);
}

TEST_F(Walk, OnlyFoldersAndSelectedTypesFilterFiles) {
    MakeTree(dir.Path(), {{"d/in.TXT", "i"},
                          {"a.txt", "a"},
                          {"b.TxT", "b"},
                          {"c.doc", "c"},
                          {"noext", "n"},
                          {"z.zip", MakeZip({ZipMember("m.txt", "m")})}});
    const struct {
        bool onlyFolders, selected;
        Lines extensions, want;
    } cases[] = {
        {true, false, {}, {"\\", "d---- d", "\\d\\"}},
        {false,
         true,
         {".TXT"},
         {"\\", "d---- d", " ---- a.txt", " ---- b.TxT", "\\d\\", " ---- in.TXT"}},
        {false, true, {}, {"\\", "d---- d", "\\d\\"}},
        {false,
         false,
         {".TXT"},
         {"\\", "d---- d", " ---- a.txt", " ---- b.TxT", " ---- c.doc", " ---- noext",
          "p---- z.zip", "\\d\\", " ---- in.TXT", "\\z.zip\\", " ---- m.txt"}},
    };
    options.Zip = true;
    for (const auto& c : cases) {
        options.OnlyFolders = c.onlyFolders;
        options.SelectedTypes = c.selected;
        options.ScanExtensions = c.extensions;
        Run();
        EXPECT_EQ(Dump(arch, kNoSizes), c.want) << c.onlyFolders << c.selected;
    }
}

TEST_F(Walk, PackedFilesAreMarkedAndListedAsFolders) {
    const std::string zip = MakeZip({ZipMember("a/b/c.txt", "abc")});
    MakeTree(dir.Path(), {{"readme.zip.txt", zip},
                          {"x.zip", "not a zip"},
                          {"plain.dat", zip},
                          {"s.rar", MakeRar({RarMember("A\\B\\c.txt", "c")})},
                          {"both.zip.rar", zip}});
    ASSERT_EQ(::mkfifo(dir.File("pipe.zip").c_str(), 0644), 0); // never opened
    const struct {
        bool listed;
        Lines want; // sizes only for the members of packed files
    } cases[] = {
        {false,
         {"\\", " ---- both.zip.rar", " ---- pipe.zip", " ---- plain.dat", " ---- readme.zip.txt",
          " ---- s.rar", " ---- x.zip"}},
        {true,
         {"\\",
          "p---- both.zip.rar",
          " ---- pipe.zip",
          " ---- plain.dat",
          "p---- readme.zip.txt",
          "p---- s.rar",
          "p---- x.zip",
          "\\both.zip.rar\\", // once as ZIP, then as RAR
          "d---- a 0",
          "\\both.zip.rar\\a\\",
          "d---- b 0",
          "\\both.zip.rar\\a\\b\\",
          " ---- c.txt 3",
          "\\both.zip.rar\\",
          "\\readme.zip.txt\\",
          "d---- a 0",
          "\\readme.zip.txt\\a\\",
          "d---- b 0",
          "\\readme.zip.txt\\a\\b\\",
          " ---- c.txt 3",
          "\\s.rar\\",
          "d---- A 0",
          "\\s.rar\\A\\",
          "d---- B 0",
          "\\s.rar\\A\\B\\",
          " ---- c.txt 1",
          "\\x.zip\\"}},
    };
    for (const auto& c : cases) {
        options.Zip = options.Rar = c.listed;
        Run();
        EXPECT_EQ(Dump(arch, 2), c.want) << c.listed;
    }
}

// Every member of a packed file is recorded: folders whose names differ only
// in case are two folders, as they are on Linux, each holding its own members.
TEST_F(Walk, EveryMemberOfAPackedFileIsRecorded) {
    const std::string zip = MakeZip(
        {ZipMember("a/b/c.txt", "1"), ZipMember("x.txt", "22"), ZipMember("A/y.txt", "333")});
    const std::string rar = MakeRar(
        {RarMember("a\\b\\c.txt", "1"), RarMember("x.txt", "22"), RarMember("A\\y.txt", "333")});
    const Lines contents = {"d---- a 0",     "d---- A 0", " ---- x.txt 2",
                            "\\p\\a\\",      "d---- b 0", "\\p\\a\\b\\",
                            " ---- c.txt 1", "\\p\\A\\",  " ---- y.txt 3"};
    const struct {
        const char* what;
        std::string file, bytes;
    } cases[] = {
        {"ZIP", "p.zip", zip},
        {"RAR", "p.rar", rar},
        {"ZIP with a stray byte before its first header", "p.zip", "P" + zip},
    };
    options.Zip = options.Rar = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir source;
        WriteFile(source.File(c.file), c.bytes);
        Run(source.Path());
        Lines want = {"\\", "p---- " + c.file, "\\" + c.file + "\\"};
        for (const std::string& line : contents)
            want.push_back(line.starts_with("\\p\\") ? "\\" + c.file + line.substr(2) : line);
        EXPECT_EQ(Dump(arch, 2), want);
    }
}

TEST_F(Walk, PackedRowsBecomeTheFoldersTheyName) {
    const struct {
        TPackedKind kind;
        Lines names, attrs, want;
    } cases[] = {
        // A folder member after its contents gives a second, empty folder;
        // rows whose folder has no row of its own are not reached.
        {TPackedKind::Zip,
         {"a/", "a/x.txt", "b.txt", "a/", "c/d/e.txt"},
         {},
         {"\\p\\", "d---- a 0", "d---- a 3", " ---- b.txt 2", "\\p\\a\\", " ---- x.txt 1",
          "\\p\\a\\"}},
        {TPackedKind::Zip,
         {"we\\ird/", "we\\ird/in.txt", "t\tab.txt"},
         {},
         {"\\p\\", "d---- we_ird 0", " ---- t_ab.txt 2", "\\p\\we_ird\\", " ---- in.txt 1"}},
        {TPackedKind::Rar,
         {"A", "A\\b.txt", "c.txt", "A\\D", "A\\D\\e"},
         {"d----", " r---", " --h-", "d----", " ----"},
         {"\\p\\", "d---- A 0", " --h- c.txt 2", "\\p\\A\\", "d---- D 3", " r--- b.txt 1",
          "\\p\\A\\D\\", " ---- e 4"}},
    };
    for (const auto& c : cases) {
        TPackedListing listing;
        listing.Names = c.names;
        listing.Attrs = c.attrs;
        for (std::size_t i = 0; i < c.names.size(); ++i) {
            listing.Sizes.push_back(std::to_string(i));
            listing.Dates.push_back("d" + std::to_string(i));
        }
        arch.Clear();
        TWalker walker(arch, dir.Path(), options, progress, running, host, dates);
        walker.AddPackedContents(c.kind, "p", "", listing);
        EXPECT_EQ(Dump(arch), c.want);
    }
}

TEST_F(Walk, DescriptionsFromTextFilesAndTags) {
    const std::string v1 = MakeId3v1({"V1Title", "Band", "", "2001", ""});
    MakeTree(dir.Path(), {{"notes.TXT", "line1\r\nline2"},
                          {"d.txt/x.mp3/", ""},
                          {"song.mp3", MakeMp3(MakeId3v2({{"TIT2", "V2"}}, 900), 500, v1)},
                          {"bare.mp3", MakeMp3("", 2000, "")}});
    const std::string title = ParseId3v1(v1).Title, v1Text = ParseId3v1(v1).Text,
                      v2Text = "V2" + std::string(10, '\x07');
    const struct {
        bool text, id3v1, id3v2, toNote, replace;
        Lines want; // Name|Note|Description of bare.mp3, notes.TXT, song.mp3
    } cases[] = {
        {true,
         false,
         false,
         false,
         false,
         {"bare.mp3||", "notes.TXT||line1\x07line2", "song.mp3||"}},
        {false, true, false, false, false, {"bare.mp3||", "notes.TXT||", "song.mp3||" + v1Text}},
        {false,
         true,
         false,
         true,
         false,
         {"bare.mp3||", "notes.TXT||", "song.mp3|" + title + "|" + v1Text}},
        {false,
         true,
         false,
         false,
         true,
         {"|bare.mp3|", "notes.TXT||", title + "|song.mp3|" + v1Text}},
        {false,
         true,
         true,
         true,
         true,
         {"|bare.mp3|", "notes.TXT||", title + "|song.mp3|" + v1Text + v2Text}},
    };
    for (const auto& c : cases) {
        options.Text = c.text;
        options.DescriptionExtensions = {".txt", ".MP3"};
        options.Id3v1 = c.id3v1;
        options.Id3v2 = c.id3v2;
        options.NameToNote = c.toNote;
        options.ReplaceName = c.replace;
        Run();
        ASSERT_EQ(arch.Dirs[1].Count, 4);
        EXPECT_EQ(arch.Recs[1].Name + arch.Recs[1].Description.View(), "d.txt"); // a folder
        Lines got;
        for (int i = 2; i <= 4; ++i)
            got.push_back(arch.Recs[i].Name + "|" + arch.Recs[i].Note + "|" +
                          (arch.Recs[i].Name.ends_with(".mp3") && c.text
                               ? std::string()
                               : std::string(arch.Recs[i].Description)));
        EXPECT_EQ(got, c.want) << c.text << c.id3v1 << c.id3v2 << c.toNote << c.replace;
    }
    const std::string line = "+Popis z " + dir.File("notes.TXT");
    EXPECT_NE(std::find(progress.log.begin(), progress.log.end(), line), progress.log.end());
}

TEST_F(Walk, ProgressBoxIsEmptiedPastHundredLines) {
    for (int i = 0; i < 150; ++i)
        WriteFile(dir.File("f" + std::to_string(1000 + i)), "");
    Run();
    const auto clear = std::find(progress.log.begin(), progress.log.end(), "clear");
    ASSERT_NE(clear, progress.log.end());
    EXPECT_EQ(clear - progress.log.begin(), 101); // right after the 101st line
    EXPECT_EQ(std::count(progress.log.begin(), progress.log.end(), "clear"), 1);
    EXPECT_EQ(progress.log[progress.log.size() - 2], "+Uspořádávám ...");
    EXPECT_EQ(progress.log.back(), "-");
    EXPECT_EQ(progress.lines.size(), 49u);

    options.Progress = false;
    progress.log.clear();
    Run();
    EXPECT_EQ(progress.log, (Lines{"+Uspořádávám ...", "-"}));
}

TEST_F(Walk, CancelStopsAfterTheCurrentItemWithoutSorting) {
    MakeTree(dir.Path(), {{"sub/x", ""}, {"a", ""}, {"b", ""}, {"c", ""}, {"d", ""}});
    int entries = 0;
    progress.onAdd = [&](std::string_view line) {
        if (line.starts_with("\\ ") && ++entries == 2) running = false;
    };
    Run();
    EXPECT_EQ(arch.DirCount, 1);
    EXPECT_EQ(arch.RecCount, 2);
    EXPECT_EQ(progress.log.back(), "+Uspořádávám ...");
}
