// Opening an entry from its medium: the drive list, typed drives, the
// request, the target path and the once-a-second look with its two finds in
// a row and the serial check, driven tick by tick over a scripted probe.
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "ArchiveBuilder.h"
#include "ScriptedProbe.h"
#include "TestSupport.h"
#include "TreeBuilder.h"
#include "VolumeFakeTree.h"
#include "core/scan/RunMedium.h"

namespace orbisk::test {

namespace {

std::vector<std::string> Names(const TRunDrives& list) {
    std::vector<std::string> names;
    for (const TRunDrive& d : list.Drives)
        names.push_back(d.Name);
    return names;
}

TMountedVolume Volume(std::string mountPoint, std::string device, TDriveType type,
                      std::string fs = "ext4") {
    TMountedVolume v = MountedFrom(std::move(mountPoint), std::move(device), type);
    v.FsType = std::move(fs);
    return v;
}

// A machine with two optical drives, a stick, the system's volumes and a
// share.
ScriptedProbe Machine() {
    ScriptedProbe probe;
    probe.optical = {"/dev/sr0", "/dev/sr1"};
    probe.volumes = {
        Volume("/", "/dev/nvme0n1p2", TDriveType::Fixed),
        Volume("/proc", "proc", TDriveType::Fixed, "proc"),
        Volume("/run", "tmpfs", TDriveType::RamDisk, "tmpfs"),
        Volume("/snap/core/1", "/dev/loop3", TDriveType::Fixed, "squashfs"),
        Volume("/media/user/HRY", "/dev/sr1", TDriveType::CdRom, "iso9660"),
        Volume("/media/user/STICK", "/dev/sdb1", TDriveType::Removable, "vfat"),
        Volume("/mnt/nas", "nas:/share", TDriveType::Remote, "nfs4"),
        Volume("/tmp", "tmpfs", TDriveType::RamDisk, "tmpfs"),
        Volume("/media/iso", "/dev/loop7", TDriveType::CdRom, "iso9660"),
    };
    return probe;
}

TEST(RunDrives, ListsOpticalDrivesFirstThenRemovableThenVolumesAndPresetsFirstOrLast) {
    ScriptedProbe probe = Machine();
    const std::vector<std::string> all = {"/dev/sr0", "/dev/sr1", "/dev/loop7", "/dev/sdb1",
                                          "/",        "/mnt/nas", "/tmp"};
    struct Row {
        bool last;
        std::size_t preset;
    } rows[] = {{false, 0}, {true, 2}};
    for (const Row& row : rows) {
        const TRunDrives list = RunDriveList(probe, row.last);
        EXPECT_EQ(Names(list), all);
        ASSERT_TRUE(list.Preset);
        EXPECT_EQ(*list.Preset, row.preset) << row.last;
    }
    // Optical drives and sticks are followed by device, the others by path.
    const TRunDrives list = RunDriveList(probe, false);
    EXPECT_TRUE(list.Drives[0].Follows);
    EXPECT_TRUE(list.Drives[3].Follows);
    EXPECT_FALSE(list.Drives[4].Follows);
    ScriptedProbe bare;
    bare.volumes = {Volume("/", "/dev/sda1", TDriveType::Fixed)};
    EXPECT_FALSE(RunDriveList(bare, false).Preset);
}

TEST(RunDrives, TypedTextMustNameADrive) {
    ScriptedProbe probe = Machine();
    const TRunDrives list = RunDriveList(probe, false);
    // A mount that came after the list was made is a drive too.
    probe.volumes.push_back(Volume("/media/user/NEW", "/dev/sdc1", TDriveType::Removable));
    struct Row {
        const char* typed;
        std::optional<std::string> drive; // the name of the drive taken
    } rows[] = {
        {"/dev/sr0", "/dev/sr0"},
        {"/mnt/nas/", "/mnt/nas"},
        {"/media/user/HRY", "/dev/sr1"}, // the mount point of a disc names its drive
        {"/media/user/NEW", "/dev/sdc1"},
        {"/dev/sdc1", "/dev/sdc1"},
        {"/home/user", std::nullopt}, // a folder, not a volume
        {"/proc", std::nullopt},
        {"/run", std::nullopt},
        {"/dev/sr7", std::nullopt},
        {"E", std::nullopt},
        {"", std::nullopt},
    };
    for (const Row& row : rows) {
        const std::optional<TRunDrive> drive = TypedRunDrive(probe, list, row.typed);
        EXPECT_EQ(drive ? std::optional(drive->Name) : std::nullopt, row.drive) << row.typed;
    }
}

TEST(RunDrives, OpticalDrivesOfTheKernelInNumberOrder) {
    FakeTree tree;
    for (const char* name : {"sr10", "sda", "sr2", "sr0", "loop0"})
        tree.Folder(std::string("/sys/block/") + name);
    EXPECT_EQ(OpticalDrives(tree.paths),
              (std::vector<std::string>{"/dev/sr0", "/dev/sr2", "/dev/sr10"}));
}

TEST(RunRequest, NoRequestForMembersOfAListedPackedFile) {
    TArch arch = MakeArchive({
        {"\\", {{"DATA.ZIP", "10", "", "p-a--", {}, {}}, {"GAMES", "0", "", "d----", {}, {}}}},
        {"\\DATA.ZIP\\", {{"inside.txt", "1", "", "-a---", {}, {}}}},
        {"\\GAMES\\", {{"doom.exe", "1", "", "-a---", {}, {}}}},
        {"\\x.rar\\", {{"in.txt", "1", "", "-a---", {}, {}}}},
    });
    arch.Head.Name = "Hry";
    arch.Head.SN = "1A2B-0C3D";
    struct Row {
        const char* path;
        std::int32_t rec;
        bool request, folder;
    } rows[] = {
        {"\\", 1, true, false},
        {"\\", 2, true, true},
        {"\\GAMES\\", 4, true, false},
        {"\\DATA.ZIP\\", 3, false, false},
        {"\\data.zip\\", 3, false, false},
        {"\\x.rar\\", 5, false, false},
        {"\\", 0, false, false},
        {"\\", 99, false, false},
    };
    for (const Row& row : rows) {
        const std::optional<TRunRequest> request = RunRequestFor(arch, row.path, row.rec);
        ASSERT_EQ(request.has_value(), row.request) << row.path << row.rec;
        if (!request) continue;
        EXPECT_EQ(request->IsFolder, row.folder);
        EXPECT_EQ(request->EntryPath, row.path);
        EXPECT_EQ(request->ArchiveName, "Hry");
        EXPECT_EQ(request->ExpectedSerial, "1A2B-0C3D");
    }
}

TEST(RunTarget, ArchivePathBelowTheMountPoint) {
    struct Row {
        const char *root, *path, *name, *target;
    } rows[] = {
        {"/media/user/HRY", "\\", "setup.exe", "/media/user/HRY/setup.exe"},
        {"/media/user/HRY/", "\\GAMES\\DOOM\\", "doom.exe", "/media/user/HRY/GAMES/DOOM/doom.exe"},
        {"/", "\\etc\\", "hosts", "/etc/hosts"},
        // Windows-1250 "Čeština" as the medium's file system names it.
        {"/mnt",
         "\\\xC8"
         "e\x9Atina\\",
         "a.txt",
         "/mnt/\xC4\x8C"
         "e\xC5\xA1tina/a.txt"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(RunTarget(row.root, row.path, row.name), row.target) << row.target;
}

TEST(RunTarget, FoundInAnotherCaseOnADiscWithoutLongNames) {
    TempDir disc;
    MakeTree(disc.Path(), {{"games/doom/doom.exe", "x"}, {"Both/a", "x"}, {"BOTH/a", "y"}});
    struct Row {
        const char *path, *name;
        bool folder;
        const char* found; // below the disc; nullptr: not found
    } rows[] = {
        {"\\GAMES\\DOOM\\", "DOOM.EXE", false, "/games/doom/doom.exe"},
        {"\\GAMES\\", "DOOM", true, "/games/doom"},
        {"\\GAMES\\", "DOOM", false, nullptr}, // a folder is no file
        {"\\BOTH\\", "A", false, "/BOTH/a"},   // the exact spelling wins
        {"\\GAMES\\", "QUAKE.EXE", false, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.path) + row.name);
        std::string target = RunTarget(disc.Path(), row.path, row.name);
        EXPECT_EQ(FindEntry(disc.Path(), target, row.folder), row.found != nullptr);
        if (row.found) {
            EXPECT_EQ(target, disc.Path() + row.found);
        }
    }
}

// One request over media made in a temporary folder; each step changes the
// machine, ticks once and says what the tick must give.
class RunWatchTest : public ::testing::Test {
public:
    struct Step {
        const char* what;
        std::function<void(RunWatchTest&)> change;
        bool found, showBox, open;
    };

    void Run(const TRunRequest& request, const TRunDrive* drive, bool alwaysIgnore,
             const std::vector<Step>& steps, const std::string& target = {}) {
        TRunWatch watch;
        ignore_ = watch.Start(request, alwaysIgnore);
        for (const Step& step : steps) {
            SCOPED_TRACE(step.what);
            if (step.change) step.change(*this);
            const TRunTick tick = watch.Tick(probe_, drive, ignore_);
            ignore_ = tick.IgnoreSerial;
            EXPECT_EQ(tick.Found, step.found);
            EXPECT_EQ(tick.ShowIgnoreBox, step.showBox);
            EXPECT_EQ(tick.Open, step.open);
            if (tick.Open) {
                EXPECT_EQ(tick.Target, target);
            }
        }
    }
    // The disc mounted at name (created with the entry in it) from device.
    void Insert(const std::string& name, const std::string& device, const std::string& serial,
                const std::vector<TTreeItem>& items) {
        MakeTree(media_.File(name), items);
        probe_.volumes.push_back(Volume(media_.File(name), device, TDriveType::CdRom, "iso9660"));
        probe_.serials[media_.File(name)] = {name, serial};
    }
    void Eject() {
        probe_.volumes.clear();
        std::filesystem::remove_all(media_.Path());
        std::filesystem::create_directories(media_.Path());
    }

    TempDir media_;
    ScriptedProbe probe_;
    bool ignore_ = false;
};

TRunRequest Request(const char* serial, bool folder = false) {
    TRunRequest r;
    r.EntryPath = "\\GAMES\\";
    r.EntryName = "doom";
    r.IsFolder = folder;
    r.ArchiveName = "Hry";
    r.ExpectedSerial = serial;
    return r;
}

const TRunDrive kDrive{"/dev/sr0", MountedFrom("", "/dev/sr0", TDriveType::CdRom), true};
const std::vector<TTreeItem> kDoomFile = {{"GAMES/doom", "x"}};
const std::vector<TTreeItem> kDoomFolder = {{"GAMES/doom/", ""}};

TEST_F(RunWatchTest, WithoutSerialOpensAfterTwoFindsInARow) {
    Run(Request(""), &kDrive, false,
        {{"empty drive", nullptr, false, false, false},
         {"inserted", [](RunWatchTest& t) { t.Insert("HRY", "/dev/sr0", "9999-9999", kDoomFile); },
          true, false, false},
         {"still there", nullptr, true, true, true}},
        media_.File("HRY/GAMES/doom"));
}

TEST_F(RunWatchTest, FindThenMissStartsTheCountAgain) {
    auto insert = [](RunWatchTest& t) { t.Insert("HRY", "/dev/sr0", "", kDoomFile); };
    Run(Request(""), &kDrive, false,
        {{"inserted", insert, true, false, false},
         {"taken out", [](RunWatchTest& t) { t.Eject(); }, false, false, false},
         {"back", insert, true, false, false},
         {"again", nullptr, true, true, true}},
        media_.File("HRY/GAMES/doom"));
}

TEST_F(RunWatchTest, FolderEntryIsFoundOnlyAsAFolderAndAFileOnlyAsAFile) {
    Insert("HRY", "/dev/sr0", "", kDoomFile);
    Run(Request("", true), &kDrive, false,
        {{"a file of the name", nullptr, false, false, false}, {"", nullptr, false, false, false}});
    Eject();
    Insert("HRY", "/dev/sr0", "", kDoomFolder);
    Run(Request("", false), &kDrive, false,
        {{"a folder of the name", nullptr, false, false, false},
         {"", nullptr, false, false, false}});
    Run(Request("", true), &kDrive, false,
        {{"the folder", nullptr, true, false, false}, {"", nullptr, true, true, true}},
        media_.File("HRY/GAMES/doom"));
}

TEST_F(RunWatchTest, SerialDecidesUnlessIgnored) {
    struct Row {
        const char* what;
        const char* serial; // of the medium
        bool alwaysIgnore, open;
    } rows[] = {
        {"same serial", "1A2B-0C3D", false, true},
        {"another serial waits", "5555-5555", false, false},
        {"another serial with the setting to ignore", "5555-5555", true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Eject();
        Insert("HRY", "/dev/sr0", row.serial, kDoomFile);
        Run(Request("1A2B-0C3D"), &kDrive, row.alwaysIgnore,
            {{"first", nullptr, true, false, false},
             {"second", nullptr, true, true, row.open},
             {"third", nullptr, true, true, row.open}},
            media_.File("HRY/GAMES/doom"));
    }
    // The user ticks the box: the next tick that finds the entry opens it.
    Run(Request("1A2B-0C3D"), &kDrive, false,
        {{"first", nullptr, true, false, false},
         {"compared", nullptr, true, true, false},
         {"ticked", [](RunWatchTest& t) { t.ignore_ = true; }, true, true, true}},
        media_.File("HRY/GAMES/doom"));
}

TEST_F(RunWatchTest, DriveFollowsItsMediumToWhereverItIsMounted) {
    Insert("OTHER", "/dev/sr1", "", kDoomFile); // another drive holds the entry too
    Run(Request(""), &kDrive, false,
        {{"another drive's disc", nullptr, false, false, false},
         {"automounted under its label",
          [](RunWatchTest& t) { t.Insert("HRY_2003", "/dev/sr0", "", kDoomFile); }, true, false,
          false},
         {"", nullptr, true, true, true}},
        media_.File("HRY_2003/GAMES/doom"));
}

TEST_F(RunWatchTest, AStickIsFollowedByItsSocketWhateverItsDeviceName) {
    TRunDrive stick{"/dev/sdb1", MountedFrom("", "/dev/sdb1", TDriveType::Removable), true};
    stick.Volume.Port = "pci-0000:00:14.0-usb-0:2:1.0-scsi-0:0:0:0-part1";
    auto plug = [](const char* name, const char* device, const char* port) {
        return [=](RunWatchTest& t) {
            t.Insert(name, device, "", kDoomFile);
            t.probe_.volumes.back().Type = TDriveType::Removable;
            t.probe_.volumes.back().Port = port;
        };
    };
    Run(Request(""), &stick, false,
        {{"another socket, the old device name",
          plug("CIZI", "/dev/sdb1", "pci-0000:00:14.0-usb-0:3:1.0-scsi-0:0:0:0-part1"), false,
          false, false},
         {"the socket, a new device name",
          plug("FOTO", "/dev/sdc1", "pci-0000:00:14.0-usb-0:2:1.0-scsi-0:0:0:0-part1"), true, false,
          false},
         {"", nullptr, true, true, true}},
        media_.File("FOTO/GAMES/doom"));
}

TEST_F(RunWatchTest, AnyDriveOpensFromTheVolumeWithTheArchivesSerial) {
    Insert("WRONG", "/dev/sr0", "5555-5555", kDoomFile);
    Run(Request("1A2B-0C3D"), nullptr, false,
        {{"only a disc of another serial", nullptr, true, false, false},
         {"never opened from it", nullptr, true, true, false},
         {"the right disc in a second drive",
          [](RunWatchTest& t) { t.Insert("HRY", "/dev/sr1", "1A2B-0C3D", kDoomFile); }, true, false,
          false},
         {"", nullptr, true, true, true}},
        media_.File("HRY/GAMES/doom"));
}

} // namespace

} // namespace orbisk::test
