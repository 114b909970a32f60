#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include "CliTestSupport.h"
#include "FailingDevice.h"
#include "Mp3Writer.h"
#include "RarWriter.h"
#include "TestSupport.h"
#include "TreeBuilder.h"
#include "ZipWriter.h"
#include "core/catalog/ArchiveFile.h"
#include "core/platform/Volumes.h"
#include "core/scan/ScanDriver.h"

extern char** environ;

using namespace orbisk;
using namespace orbisk::test;

namespace {

using Lines = std::vector<std::string>;

// Each directory as its path, each entry as "Attr Name", with " Size" when
// sizes is set.
Lines Dump(const TArch& arch, bool sizes) {
    Lines out;
    for (int d = 1; d <= arch.DirCount; ++d) {
        const TDir& dir = arch.Dirs[d];
        out.push_back(dir.Path);
        for (int i = dir.First; i < dir.First + dir.Count; ++i) {
            const TRec& r = arch.Recs[i];
            out.push_back(r.Attr + " " + r.Name + (sizes ? " " + r.Size : std::string()));
        }
    }
    return out;
}

const TRec* FindEntry(const TArch& arch, std::string_view dirPath, std::string_view name) {
    const std::int32_t d = arch.FindDir(dirPath);
    if (d == 0) return nullptr;
    for (int i = arch.Dirs[d].First; i < arch.Dirs[d].First + arch.Dirs[d].Count; ++i)
        if (arch.Recs[i].Name == name) return &arch.Recs[i];
    return nullptr;
}

// A tree with packed files, MP3s with both tags, text files and an empty
// folder; ProgramDir with ticked extension lists.
class CliScan : public ::testing::Test {
protected:
    TempDir src, out, programDir;
    std::string zip, rar, mp3;

    void SetUp() override {
        zip = MakeZip({ZipMember("a/b/c.txt", "abc"), ZipMember("top.txt", "t")});
        rar = MakeRar({RarMember("disc\\one.txt", "one"), RarMember("two.txt", "two")});
        mp3 = MakeMp3(MakeId3v2({{"TIT2", "Title2"}}, 600), 400,
                      MakeId3v1({"Song", "Artist", "Album", "2003", "Note", '\0'}));
        MakeTree(src.Path(), {{"DATA/pack.zip", zip},
                              {"DATA/music.rar", rar},
                              {"song.mp3", mp3},
                              {"readme.txt", "Hello\r\nWorld\n"},
                              {"EMPTY/", ""}});
        WriteFile(programDir.File("files_ext.txt"), ".TXT\r\n");
        WriteFile(programDir.File("scan_ext.txt"), ".MP3\r\n");
        ::setenv("ORBISK_PROGRAM_DIR", programDir.Path().c_str(), 1);
    }
    void TearDown() override { ::unsetenv("ORBISK_PROGRAM_DIR"); }

    CliRun Scan(std::vector<std::string> extra) {
        std::vector<std::string> args = {"scan", src.Path(), "--dir", out.Path()};
        args.insert(args.end(), extra.begin(), extra.end());
        return Cli(args);
    }

    TArch Read(const std::string& fileName) {
        TArch arch;
        arch.Head.FileName = out.File(fileName);
        RecordingHost host;
        EXPECT_TRUE(ReadArchive(arch, host)) << fileName;
        return arch;
    }
};

TEST_F(CliScan, GivesTheArchiveTheWindowWould) {
    CliRun r = Scan({"--name", "Test CD", "--medium", "CD", "--typ=Hry", "--zip", "--rar", "--text",
                     "--id3v1", "--id3v2", "--mp3-name-to-note"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, out.File("Test_CD.cd") + "\n");
    EXPECT_EQ(r.err, "");
    const TArch arch = Read("Test_CD.cd");
    EXPECT_EQ(arch.Head.Name, "Test CD");
    EXPECT_EQ(arch.Head.Medium, "CD");
    EXPECT_EQ(arch.Head.Typ, "Hry");
    // The label and serial of the volume that holds the source.
    const TVolumeInfo volume = VolumeSerial(src.Path());
    EXPECT_NE(volume.Serial, kNoSerial);
    EXPECT_EQ(arch.Head.SN, volume.Serial);
    EXPECT_EQ(arch.Head.Volume, volume.Label);
    const std::string mp3Size = std::to_string(mp3.size());
    EXPECT_EQ(Dump(arch, true), (Lines{"\\",
                                       "d---- DATA 0",
                                       "d---- EMPTY 0",
                                       " ---- readme.txt 13",
                                       " ---- song.mp3 " + mp3Size,
                                       "\\DATA\\",
                                       "p---- music.rar " + std::to_string(rar.size()),
                                       "p---- pack.zip " + std::to_string(zip.size()),
                                       "\\DATA\\music.rar\\",
                                       "d---- disc 0",
                                       " ---- two.txt 3",
                                       "\\DATA\\music.rar\\disc\\",
                                       " ---- one.txt 3",
                                       "\\DATA\\pack.zip\\",
                                       "d---- a 0",
                                       " ---- top.txt 1",
                                       "\\DATA\\pack.zip\\a\\",
                                       "d---- b 0",
                                       "\\DATA\\pack.zip\\a\\b\\",
                                       " ---- c.txt 3",
                                       "\\EMPTY\\"}));
    const TRec* readme = FindEntry(arch, "\\", "readme.txt");
    ASSERT_NE(readme, nullptr);
    EXPECT_EQ(readme->Description, "Hello\x07World\x07");
    const TRec* song = FindEntry(arch, "\\", "song.mp3");
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->Note, "Song" + std::string(26, ' '));
    EXPECT_TRUE(song->Description.starts_with("Song")) << song->Description;
    EXPECT_NE(song->Description.find("Title2"), std::string::npos) << song->Description;
    // The archive is filed in the folder's list as the window files it.
    CliRun list = Cli({"list", "--dir", out.Path()});
    EXPECT_EQ(list.out, "\\CD\\Hry\\\tTest CD\tTest_CD.cd\t\t\n");
}

// The numbering itself is the scan driver's; here only that an existing name
// reaches it, and that --overwrite answers its question with "ANO".
TEST_F(CliScan, ExistingNameIsNumberedUnlessOverwritten) {
    // A blank name is made of the source volume's label and serial.
    const std::string generated = GeneratedArchiveName(VolumeSerial(src.Path()));
    const std::string generatedFile = ArchiveFileBase(generated) + ".cd";
    struct Step {
        std::vector<std::string> args;
        std::string written;
    };
    const std::vector<Step> steps = {
        {{"--name", "Hry 2003"}, "Hry_2003.cd"},
        {{"--name", "Hry 2003"}, "Hry_2003_0.cd"},
        {{"--name", "Hry 2003", "--overwrite"}, "Hry_2003.cd"},
        {{}, generatedFile},
    };
    for (const Step& s : steps) {
        CliRun r = Scan(s.args);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, out.File(s.written) + "\n");
    }
    Lines files = {"Hry_2003.bak", "Hry_2003.cd", "Hry_2003_0.cd", generatedFile, "_cd_.lst"};
    std::sort(files.begin(), files.end());
    EXPECT_EQ(ListDir(out.Path()), files);
    // One row per file: the overwritten archive's old row gave way.
    CliRun list = Cli({"list", "--dir", out.Path()});
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 3);
    EXPECT_EQ(Read(generatedFile).Head.Name, generated);
}

TEST_F(CliScan, EachSourceRecordsItsOwnVolume) {
    // A second source on another volume where the machine has one (/dev/shm
    // is a RAM disk on most systems); otherwise two folders of one volume.
    std::string other = out.File("other");
    if (DriveTypeOf("/dev/shm") == TDriveType::RamDisk) {
        char tmpl[] = "/dev/shm/orbisk-cli-test-XXXXXX";
        if (::mkdtemp(tmpl)) other = tmpl;
    }
    ::mkdir(other.c_str(), 0700);
    WriteFile(other + "/x.txt", "x");
    for (const std::string& source : {src.Path(), other, src.Path()}) {
        SCOPED_TRACE(source);
        CliRun r = Cli({"scan", source, "--dir", out.Path(), "--name", "v", "--overwrite"});
        ASSERT_EQ(r.code, 0) << r.err;
        const TVolumeInfo volume = VolumeSerial(source);
        const TArch arch = Read("v.cd");
        EXPECT_EQ(arch.Head.SN, volume.Serial);
        EXPECT_EQ(arch.Head.Volume, volume.Label);
    }
    if (other.starts_with("/dev/shm/")) std::filesystem::remove_all(other);
}

TEST_F(CliScan, SwitchesChooseWhatIsRecorded) {
    struct Case {
        std::vector<std::string> args;
        Lines dump;
    };
    const Lines foldersOnly = {"\\", "d---- DATA", "d---- EMPTY", "\\DATA\\", "\\EMPTY\\"};
    const std::vector<Case> cases = {
        {{"--only-folders"}, foldersOnly},
        {{"--only-types", "--only-folders"}, foldersOnly},
        {{"--only-types"},
         {"\\", "d---- DATA", "d---- EMPTY", " ---- song.mp3", "\\DATA\\", "\\EMPTY\\"}},
        {{"--only-types", "--mp3-replace-name"},
         {"\\", "d---- DATA", "d---- EMPTY", " ---- Song" + std::string(26, ' '), "\\DATA\\",
          "\\EMPTY\\"}},
        {{"--rar"},
         {"\\", "d---- DATA", "d---- EMPTY", " ---- readme.txt", " ---- song.mp3", "\\DATA\\",
          "p---- music.rar", " ---- pack.zip", "\\DATA\\music.rar\\", "d---- disc", " ---- two.txt",
          "\\DATA\\music.rar\\disc\\", " ---- one.txt", "\\EMPTY\\"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--name", "x", "--overwrite"});
        CliRun r = Scan(args);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(Dump(Read("x.cd"), false), c.dump);
    }
    CliRun r = Scan({"--name", "t", "--text=80"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(FindEntry(Read("t.cd"), "\\", "readme.txt")->Description, "Hello\x07World\x07");
}

TEST_F(CliScan, ExitCodesAndMessages) {
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string errHas;
    };
    const std::vector<Case> cases = {
        {{"scan"}, 2, "SOURCE is missing"},
        {{"scan", src.Path(), "--text=79"}, 2, "80 to 8096"},
        {{"scan", src.Path(), "--text=8097"}, 2, "80 to 8096"},
        {{"scan", src.Path(), "--text=abc"}, 2, "80 to 8096"},
        {{"scan", src.Path(), "--text="}, 2, "80 to 8096"},
        {{"scan", src.Path(), "--frobnicate"}, 2, "unknown option '--frobnicate'"},
        {{"scan", src.Path(), src.Path()}, 2, "more than one SOURCE"},
        {{"scan", src.Path(), "--name"}, 2, "--name needs a value"},
        {{"scan", src.File("missing")}, 1, "is not a folder"},
        {{"scan", src.File("readme.txt")}, 1, "is not a folder"},
        {{"scan", src.Path(), "--dir", out.File("missing")}, 1, "cannot read the folder"},
        {{"scan", "--help"}, 0, ""},
        {{"scan", src.Path(), "--dir", out.Path(), "--text=8096", "--name", "big"}, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        CliRun r = Cli(c.args);
        EXPECT_EQ(r.code, c.code);
        EXPECT_NE(r.err.find(c.errHas), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("usage: orbisk-cli scan") != std::string::npos, c.code == 2);
        EXPECT_EQ(r.out.empty(), c.code != 0);
    }
    EXPECT_EQ(ListDir(out.Path()), (Lines{"_cd_.lst", "big.cd"}));
}

TEST_F(CliScan, DriveWithoutAnAudioCdIsRefused) {
    // A block device node standing for a drive with no audio CD in it (its
    // table of contents cannot be read).
    const std::string drive = out.File("sr9");
    if (::mknod(drive.c_str(), S_IFBLK | 0600, makedev(7, 255)) != 0)
        GTEST_SKIP() << "no block device node can be made here";
    CliRun r = Cli({"scan", drive, "--dir", out.Path(), "--name", "cd"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("holds no audio CD"), std::string::npos) << r.err;
    EXPECT_EQ(ListDir(out.Path()), (Lines{"sr9"}));
}

TEST_F(CliScan, FullDiskNamesTheFileAndTheReason) {
    FailingDevice full(0, ENOSPC);
    TScopedWriteDevice seam(full);
    CliRun r = Scan({"--name", "Hry"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(std::string(kMsgCannotCreate) + " " + out.File("Hry.cd") +
                         ": No space left on device\n"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(r.out.empty());
}

TEST_F(CliScan, WithoutDirWritesIntoTheCurrentFolder) {
    char cwd[4096];
    ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(::chdir(out.Path().c_str()), 0);
    CliRun r = Cli({"scan", src.Path(), "--name", "here"});
    ASSERT_EQ(::chdir(cwd), 0);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "here.cd\n");
    EXPECT_TRUE(FileExists(out.File("here.cd")));
}

// Reads fd to its end.
std::string Drain(int fd) {
    std::string text;
    char buf[4096];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            text.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            return text;
        }
    }
}

TEST(CliScanInterrupt, CtrlCCancelsAndWritesNothing) {
    TempDir src, out;
    // Far more progress text than a pipe holds: the tool waits on its stderr
    // until the test reads on, so the interrupt always comes mid-walk.
    std::vector<TTreeItem> items;
    for (int i = 0; i < 8000; ++i)
        items.push_back(
            {"d" + std::to_string(i / 500) + "/a_file_with_a_longish_name_" + std::to_string(i),
             ""});
    MakeTree(src.Path(), items);
    int errPipe[2], outPipe[2];
    ASSERT_EQ(::pipe2(errPipe, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(outPipe, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outPipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, errPipe[1], 2);
    std::vector<std::string> args = {ORBISK_CLI_PATH, "scan",     src.Path(),
                                     "--dir",         out.Path(), "--verbose"};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, ORBISK_CLI_PATH, &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(errPipe[1]);
    ::close(outPipe[1]);

    char first[256];
    ASSERT_GT(::read(errPipe[0], first, sizeof first), 0); // the scan has begun
    ASSERT_EQ(::kill(pid, SIGINT), 0);
    const std::string err = Drain(errPipe[0]);
    const std::string stdoutText = Drain(outPipe[0]);
    ::close(errPipe[0]);
    ::close(outPipe[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(stdoutText, "");
    EXPECT_NE(err.find("Načítání zrušeno."), std::string::npos);
    EXPECT_EQ(ListDir(out.Path()), (Lines{"_cd_.lst"}));
}

} // namespace
