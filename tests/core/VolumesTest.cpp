// Mounted volumes: mountinfo and fstab lines, drive types, which volume holds
// a path, empty drives and the door, against a fake tree.
#include <gtest/gtest.h>

#include <grp.h>
#include <regex>
#include <sys/wait.h>
#include <unistd.h>

#include "VolumeFakeTree.h"
#include "core/platform/MountTable.h"
#include "core/platform/Volumes.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

TEST(VolumeMountTable, DecodesOctalEscapes) {
    struct Case {
        std::string_view in, out;
    };
    const Case cases[] = {
        {"/media/my\\040disk", "/media/my disk"},
        {"a\\011b\\012c", "a\tb\nc"},
        {"back\\134slash", "back\\slash"},
        {"\\040\\040", "  "},
        {"short\\04", "short\\04"}, // fewer than three digits
        {"not\\089octal", "not\\089octal"},
        {"big\\777", "big\\777"}, // beyond a byte
        {"plain", "plain"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeMountEscapes(c.in), c.out) << c.in;
}

TEST(VolumeMountTable, ParsesMountInfoLines) {
    struct Case {
        std::string_view line;
        bool ok;
        std::string mountPoint = {}, fsType = {}, device = {}, majorMinor = {};
    };
    const Case cases[] = {
        {"36 35 98:0 /mnt1 /mnt2 rw,noatime master:1 - ext3 /dev/root rw,errors=continue", true,
         "/mnt2", "ext3", "/dev/root", "98:0"},
        {"26 1 254:0 / / rw,relatime - ext4 /dev/vda rw", true, "/", "ext4", "/dev/vda", "254:0"},
        {"90 26 11:0 / /media/my\\040cd ro shared:5 shared:6 - iso9660 /dev/sr0 ro", true,
         "/media/my cd", "iso9660", "/dev/sr0", "11:0"},
        {"91 26 0:50 / /mnt/nas rw - nfs4 server:/export\\040x rw", true, "/mnt/nas", "nfs4",
         "server:/export x", "0:50"},
        {"", false},
        {"26 1 254:0 / / rw,relatime ext4 /dev/vda rw", false}, // no "-"
        {"26 1 254:0 / / rw - ext4", false},                    // no source
        {"x 1 254:0 / / rw - ext4 /dev/vda rw", false},         // id not a number
        {"26 1 254 / / rw - ext4 /dev/vda rw", false},          // no major:minor
        {"26 1 254:0 / relative rw - ext4 /dev/vda rw", false}, // mount point not absolute
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.line));
        const auto v = ParseMountInfoLine(c.line);
        ASSERT_EQ(v.has_value(), c.ok);
        if (!v) continue;
        EXPECT_EQ(v->MountPoint, c.mountPoint);
        EXPECT_EQ(v->FsType, c.fsType);
        EXPECT_EQ(v->Device, c.device);
        EXPECT_EQ(v->MajorMinor, c.majorMinor);
    }
    // The mount's own ID and the one of the mount it hangs from.
    const auto ids = ParseMountInfoLine("36 35 98:0 / /mnt rw - ext3 /dev/root rw");
    ASSERT_TRUE(ids);
    EXPECT_EQ(ids->Id, 36);
    EXPECT_EQ(ids->Parent, 35);
    const auto noParent = ParseMountInfoLine("36 x 98:0 / /mnt rw - ext3 /dev/root rw");
    ASSERT_TRUE(noParent);
    EXPECT_EQ(noParent->Parent, -1);
    // Lines keep their order; broken ones are passed over; CR LF is accepted.
    const auto all = ParseMountInfo("1 0 8:1 / / rw - ext4 /dev/sda1 rw\r\nbroken\n"
                                    "2 1 8:2 / /home rw - ext4 /dev/sda2 rw");
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].MountPoint, "/");
    EXPECT_EQ(all[1].MountPoint, "/home");
}

TEST(VolumeMountTable, ParsesFstab) {
    const auto entries = ParseFstab("# /etc/fstab\n"
                                    "  # indented comment\n"
                                    "\n"
                                    "UUID=1234 / ext4 defaults 0 1\n"
                                    "/dev/sda3 none swap sw 0 0\n"
                                    "/dev/sr0\t/media/cd\\040rom/\tudf,iso9660\tuser,noauto 0 0\n"
                                    "proc /proc proc defaults\n");
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].MountPoint, "/");
    EXPECT_EQ(entries[1].Device, "/dev/sr0");
    EXPECT_EQ(entries[1].MountPoint, "/media/cd rom");
    EXPECT_EQ(entries[1].FsType, "udf,iso9660");
    EXPECT_EQ(entries[2].MountPoint, "/proc");
}

TEST(VolumeMountTable, DriveTypeFromFileSystemAndDeviceName) {
    struct Case {
        std::string_view fsType, device;
        std::optional<TDriveType> type;
    };
    const Case cases[] = {
        {"iso9660", "", TDriveType::CdRom},
        {"udf", "loop0", TDriveType::CdRom},
        {"auto", "sr0", TDriveType::CdRom},
        {"ext4", "scd1", TDriveType::CdRom},
        {"udf,iso9660", "", TDriveType::CdRom}, // fstab's list of file systems to try
        {"auto,iso9660", "", TDriveType::CdRom},
        {"nfs4", "", TDriveType::Remote},
        {"cifs,nfs", "", TDriveType::Remote},
        {"tmpfs", "", TDriveType::RamDisk},
        {"ext4", "sda1", std::nullopt},
        {"vfat,ntfs3", "sdb1", std::nullopt},
        {"", "", std::nullopt},
        {",", "", std::nullopt},
        {"ext4", "srx", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DriveTypeByName(c.fsType, c.device), c.type) << c.fsType << " on " << c.device;
}

TEST(VolumeMountTable, PathInsideMountPointByComponents) {
    struct Case {
        std::string_view path, mountPoint;
        bool inside;
    };
    const Case cases[] = {
        {"/media/cd", "/media/cd", true},
        {"/media/cd/x", "/media/cd", true},
        {"/media/cd", "/media/c", false},
        {"/media/cdx/y", "/media/cd", false},
        {"/anything", "/", true},
        {"/", "/", true},
        {"/media", "/media/cd", false},
        {"/media/cd", "", false},
        {"/media/cd", "/media/cd/", true},
        {"/media/cd/x", "/media/cd//", true},
        {"/media/cdx", "/media/cd/", false},
        {"/x", "//", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PathIsInside(c.path, c.mountPoint), c.inside) << c.path << " in " << c.mountPoint;
}

// The machine of the drive-type and path tests.
class VolumeTree : public ::testing::Test {
protected:
    FakeTree tree;

    std::string Line(int id, std::string_view majorMinor, std::string_view mountPoint,
                     std::string_view fsType, std::string_view source) const {
        const std::string mp = mountPoint == "/" ? "/" : tree.Root() + std::string(mountPoint);
        return std::to_string(id) + " 1 " + std::string(majorMinor) + " / " + mp +
               " rw,relatime shared:" + std::to_string(id) + " - " + std::string(fsType) + " " +
               std::string(source) + " rw\n";
    }

    void SetUp() override {
        tree.MountInfo(Line(1, "8:1", "/", "ext4", "/dev/sda1") +
                       Line(2, "11:0", "/media/cd", "iso9660", "/dev/sr0") +
                       Line(3, "8:17", "/media/usb", "vfat", "/dev/sdb1") +
                       Line(4, "0:50", "/mnt/nas", "nfs4", "server:/export") +
                       Line(5, "0:24", "/run", "tmpfs", "tmpfs") +
                       Line(6, "8:33", "/media/ntfs", "ntfs3", "/dev/sdc1") +
                       Line(7, "2:0", "/media/fd", "vfat", "/dev/fd0") +
                       Line(8, "8:49", "/media/my\\040disk", "ext4", "/dev/sdd1") +
                       Line(9, "179:1", "/media/sd", "exfat", "/dev/mmcblk0p1") +
                       Line(10, "259:1", "/media/nvme", "ext4", "/dev/nvme0n1p1") +
                       Line(11, "11:1", "/media/dvd2", "auto", "/dev/cdrom") +
                       Line(12, "0:60", "/mnt/share", "cifs", "//nas/share") +
                       Line(13, "0:61", "/mnt/ram", "ramfs", "ramfs") +
                       Line(14, "8:65", "/media/c", "ext4", "/dev/sde1") +
                       Line(15, "0:62", "/mnt/ssh", "fuse.sshfs", "me@host:") +
                       Line(16, "8:81", "/media/usbdisk", "ext4", "/dev/sdf"));
        for (const char* mp : {"/media/cd/sub", "/media/usb", "/mnt/nas", "/run", "/media/ntfs",
                               "/media/fd", "/media/my disk/sub", "/media/sd", "/media/nvme",
                               "/media/dvd2", "/mnt/share", "/mnt/ram", "/media/c/x", "/media/cdx",
                               "/mnt/ssh", "/media/usbdisk", "/media/dvd/sub"})
            tree.Folder(mp);
        tree.File("/sys/block/sdb/removable", "1\n");
        tree.Link("/dev/disk/by-path/pci-0000:00:14.0-usb-0:2:1.0-scsi-0:0:0:0-part1",
                  "../../sdb1");
        tree.Link("/dev/disk/by-path/pci-0000:00:17.0-ata-2-part1", "../../sdc1");
        tree.Folder("/sys/block/sdb/sdb1");
        tree.File("/sys/block/sdc/removable", "0\n");
        tree.Folder("/sys/block/sdc/sdc1");
        tree.File("/sys/block/mmcblk0/removable", "1\n");
        tree.Folder("/sys/block/mmcblk0/mmcblk0p1");
        tree.File("/sys/block/nvme0n1/removable", "0\n");
        tree.Folder("/sys/block/nvme0n1/nvme0n1p1");
        tree.File("/sys/block/sdf/removable", "1\n");
        tree.File("/dev/sr1", "");
        tree.Link("/dev/cdrom", "sr1");
        tree.Fstab("# static file system information\n"
                   "UUID=abcd / ext4 errors=remount-ro 0 1\n"
                   "/dev/sr0 " +
                   tree.At("/media/cd") +
                   " iso9660 ro,user,noauto 0 0\n"
                   "/dev/sr2 " +
                   tree.At("/media/dvd") +
                   " udf,iso9660 ro,user,noauto 0 0\n"
                   "/dev/fd1 " +
                   tree.At("/media/fd\\0401") +
                   " auto user,noauto 0 0\n"
                   "LABEL=DVD " +
                   tree.At("/media/bydvd") + " udf,iso9660 ro,user,noauto 0 0\n");
        tree.Folder("/media/fd 1");
        tree.Folder("/media/bydvd");
    }
};

TEST_F(VolumeTree, DriveTypesOfMountedVolumes) {
    struct Case {
        std::string mountPoint;
        TDriveType type;
        bool floppy;
    };
    const Case cases[] = {
        {"/", TDriveType::Fixed, false},
        {tree.At("/media/cd"), TDriveType::CdRom, false},
        {tree.At("/media/usb"), TDriveType::Removable, false}, // sdb1 is inside sdb
        {tree.At("/mnt/nas"), TDriveType::Remote, false},
        {tree.At("/run"), TDriveType::RamDisk, false},
        {tree.At("/media/ntfs"), TDriveType::Fixed, false}, // sdc says 0
        {tree.At("/media/fd"), TDriveType::Removable, true},
        {tree.At("/media/my disk"), TDriveType::Fixed, false}, // no sysfs entry at all
        {tree.At("/media/sd"), TDriveType::Removable, false},  // mmcblk0p1
        {tree.At("/media/nvme"), TDriveType::Fixed, false},    // nvme0n1p1
        {tree.At("/media/dvd2"), TDriveType::CdRom, false},    // /dev/cdrom → sr1
        {tree.At("/mnt/share"), TDriveType::Remote, false},
        {tree.At("/mnt/ram"), TDriveType::RamDisk, false},
        {tree.At("/media/c"), TDriveType::Fixed, false},
        {tree.At("/mnt/ssh"), TDriveType::Remote, false},
        {tree.At("/media/usbdisk"), TDriveType::Removable, false}, // a whole disk
    };
    const auto volumes = ReadMountedVolumes(tree.paths);
    ASSERT_EQ(volumes.size(), std::size(cases));
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        SCOPED_TRACE(cases[i].mountPoint);
        EXPECT_EQ(volumes[i].MountPoint, cases[i].mountPoint);
        EXPECT_EQ(volumes[i].Type, cases[i].type);
        EXPECT_EQ(volumes[i].Floppy, cases[i].floppy);
        EXPECT_EQ(DriveTypeOf(cases[i].mountPoint, tree.paths), cases[i].type);
        // Only a removable drive is known by its socket.
        EXPECT_EQ(volumes[i].Port, cases[i].mountPoint == tree.At("/media/usb")
                                       ? "pci-0000:00:14.0-usb-0:2:1.0-scsi-0:0:0:0-part1"
                                       : "");
    }
}

TEST_F(VolumeTree, PathBelongsToTheLongestMountPoint) {
    struct Case {
        std::string path;
        std::string mountPoint; // empty: no volume
    };
    const Case cases[] = {
        {tree.At("/media/cd"), tree.At("/media/cd")},
        {tree.At("/media/cd/sub"), tree.At("/media/cd")},
        {tree.At("/media/cd/sub/"), tree.At("/media/cd")},
        {tree.At("/media/cd/sub/.."), tree.At("/media/cd")},
        {tree.At("/media/cdx"), "/"}, // a sibling with the same beginning
        {tree.At("/media/c/x"), tree.At("/media/c")},
        {tree.At("/media/my disk/sub"), tree.At("/media/my disk")},
        {tree.At("/media/cd/missing"), ""}, // does not exist
        {tree.At("/media/dvd"), ""},        // unmounted fstab entry: empty drive
        {tree.At("/media/dvd/sub"), ""},    // below it
        {tree.At("/media/fd 1"), ""},       // an fstab mount point with a blank
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto v = VolumeOfPath(c.path, tree.paths);
        ASSERT_EQ(v.has_value(), !c.mountPoint.empty());
        if (v) {
            EXPECT_EQ(v->MountPoint, c.mountPoint);
        }
    }
}

TEST_F(VolumeTree, FollowsLinksToTheVolumeTheyReach) {
    tree.Link("/media/link", tree.At("/media/cd/sub"));
    const auto v = VolumeOfPath(tree.At("/media/link"), tree.paths);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->MountPoint, tree.At("/media/cd"));
}

TEST_F(VolumeTree, LaterMountHidesEarlierOne) {
    tree.MountInfo(Line(1, "8:1", "/", "ext4", "/dev/sda1") +
                   Line(2, "8:17", "/media/usb", "vfat", "/dev/sdb1") +
                   Line(3, "11:0", "/media/usb", "iso9660", "/dev/sr0"));
    const auto v = VolumeOfPath(tree.At("/media/usb"), tree.paths);
    ASSERT_TRUE(v);
    EXPECT_EQ(v->Device, "/dev/sr0");
}

TEST_F(VolumeTree, MountOnTopHidesTheMountsBelowIt) {
    auto line = [&](int id, int parent, std::string_view mountPoint, std::string_view fsType,
                    std::string_view source) {
        const std::string mp = mountPoint == "/" ? "/" : tree.At(mountPoint);
        return std::to_string(id) + " " + std::to_string(parent) + " 8:" + std::to_string(id) +
               " / " + mp + " rw - " + std::string(fsType) + " " + std::string(source) + " rw\n";
    };
    const std::string root = line(1, 0, "/", "ext4", "/dev/sda1");
    const std::string usb = line(2, 1, "/media/usb", "vfat", "/dev/sdb1");
    const std::string cdOnUsb = line(3, 2, "/media/usb/cd", "iso9660", "/dev/sr0");
    const std::string ramOnUsb = line(4, 2, "/media/usb", "tmpfs", "tmpfs");
    const std::string ramOnMedia = line(4, 1, "/media", "tmpfs", "tmpfs");
    tree.Folder("/media/usb/cd/sub");
    struct Case {
        const char* name;
        std::string mountInfo;
        std::string path, device;
    };
    const Case cases[] = {
        {"nothing on top", root + usb + cdOnUsb, "/media/usb/cd/sub", "/dev/sr0"},
        {"stacked on the outer mount", root + usb + cdOnUsb + ramOnUsb, "/media/usb/cd/sub",
         "tmpfs"},
        {"stacked, its own point", root + usb + cdOnUsb + ramOnUsb, "/media/usb", "tmpfs"},
        {"stacked, listed first", root + ramOnUsb + usb + cdOnUsb, "/media/usb", "tmpfs"},
        {"a parent folder mounted over", root + usb + cdOnUsb + ramOnMedia, "/media/usb/cd",
         "tmpfs"},
        {"a mount on the top one",
         root + usb + ramOnUsb + line(5, 4, "/media/usb/cd", "udf", "/dev/sr1"),
         "/media/usb/cd/sub", "/dev/sr1"},
        {"no IDs: the later one", root + usb + line(9, 1, "/media/usb", "ext4", "/dev/sdc1"),
         "/media/usb", "/dev/sdc1"},
        {"the root its own parent", line(1, 1, "/", "ext4", "/dev/sda1") + usb, "/media/usb",
         "/dev/sdb1"},
        {"a loop of parents",
         line(1, 3, "/", "ext4", "/dev/sda1") + line(2, 1, "/media/usb", "vfat", "/dev/sdb1") +
             line(3, 2, "/media/usb/cd", "iso9660", "/dev/sr0"),
         "/media/usb/cd", "/dev/sr0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tree.MountInfo(c.mountInfo);
        const auto v = VolumeOfPath(tree.At(c.path), tree.paths);
        ASSERT_TRUE(v);
        EXPECT_EQ(v->Device, c.device);
    }
}

TEST_F(VolumeTree, DeepestEmptyDriveOfFstabHoldsThePath) {
    for (const char* order : {"outer first", "inner first"}) {
        SCOPED_TRACE(order);
        const std::string outer = "/dev/sdz1 " + tree.At("/data") + " ext4 noauto 0 0\n";
        const std::string inner = "/dev/sr5 " + tree.At("/data/cd") + " iso9660 noauto 0 0\n";
        tree.Fstab(std::string_view(order) == "outer first" ? outer + inner : inner + outer);
        tree.Folder("/data/cd/sub");
        EXPECT_EQ(DriveTypeOf(tree.At("/data/cd/sub"), tree.paths), TDriveType::CdRom);
        EXPECT_EQ(DriveTypeOf(tree.At("/data"), tree.paths), TDriveType::Fixed);
    }
}

TEST_F(VolumeTree, PathsInsideFoldersThatCannotBeSearchedAndRelativePaths) {
    // Everything the child process checks, as it sees it: the folder "locked"
    // may not be searched, so nothing below it can be resolved or seen.
    tree.Folder("/media/cd/locked/inner");
    tree.Folder("/media/usb/open");
    struct Case {
        std::string path; // relative ones from the tree's /media
        std::string mountPoint;
    };
    const Case cases[] = {
        {tree.At("/media/cd/locked/inner"), tree.At("/media/cd")},
        {tree.At("/media/cd/locked/inner/"), tree.At("/media/cd")},
        {tree.At("/media/cd/locked/inner/deeper/file"), tree.At("/media/cd")},
        {tree.At("/media/cd/locked/inner/../../../usb"), tree.At("/media/usb")},
        {tree.At("/media/cd/locked"), tree.At("/media/cd")},
        {"cd/locked/inner", tree.At("/media/cd")},
        {"usb/open", tree.At("/media/usb")},
        {"./usb/../cd/sub", tree.At("/media/cd")},
        {"usb/missing", ""},
        {tree.At("/media/missing/locked"), ""},
    };
    std::filesystem::permissions(
        tree.Root(), std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                         std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                         std::filesystem::perms::others_exec);
    std::filesystem::permissions(tree.At("/media/cd/locked"), std::filesystem::perms::none);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The superuser searches every folder: check as nobody instead.
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(65534, 65534, 65534) != 0 ||
             ::setresuid(65534, 65534, 65534) != 0))
            ::_exit(100);
        if (::access(tree.paths.MountInfo.c_str(), R_OK) != 0 ||
            ::access(tree.At("/media/cd/locked/inner").c_str(), F_OK) == 0 ||
            ::chdir(tree.At("/media").c_str()) != 0)
            ::_exit(100);
        int failed = 0;
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            const auto v = VolumeOfPath(cases[i].path, tree.paths);
            if (v.has_value() != !cases[i].mountPoint.empty() ||
                (v && v->MountPoint != cases[i].mountPoint))
                failed = static_cast<int>(i) + 1;
        }
        ::_exit(failed);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    std::filesystem::permissions(tree.At("/media/cd/locked"), std::filesystem::perms::owner_all);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 100) GTEST_SKIP() << "cannot check as a user without rights";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "wrong volume for " << cases[WEXITSTATUS(status) - 1].path;
}

TEST_F(VolumeTree, EmptyDriveKeepsItsDriveTypeButHasNoMedium) {
    struct Case {
        std::string path;
        TDriveType type;
        bool floppy = false;
    };
    const Case cases[] = {
        {tree.At("/media/dvd"), TDriveType::CdRom}, // udf,iso9660 on sr2
        {tree.At("/media/dvd/sub"), TDriveType::CdRom},
        {tree.At("/media/fd 1"), TDriveType::Removable, true}, // a floppy drive
        {tree.At("/media/bydvd"), TDriveType::CdRom},          // a label and two file systems
        {tree.At("/nowhere"), TDriveType::NoRoot},
        {"", TDriveType::NoRoot},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(DriveTypeOf(c.path, tree.paths), c.type);
        const std::optional<TMountedVolume> drive = DriveOf(c.path, tree.paths);
        EXPECT_EQ(drive.has_value(), c.type != TDriveType::NoRoot);
        if (drive) {
            EXPECT_EQ(drive->Floppy, c.floppy);
        }
        const TVolumeInfo info = VolumeSerial(c.path, tree.paths);
        EXPECT_EQ(info.Label, "");
        EXPECT_EQ(info.Serial, kNoSerial);
    }
}

TEST_F(VolumeTree, NoMountInfoMeansNoVolume) {
    tree.paths.MountInfo = tree.At("/proc/missing");
    EXPECT_TRUE(ReadMountedVolumes(tree.paths).empty());
    EXPECT_FALSE(VolumeOfPath(tree.At("/media/cd"), tree.paths));
    EXPECT_EQ(VolumeSerial(tree.At("/media/cd"), tree.paths).Serial, kNoSerial);
}

TEST_F(VolumeTree, DoorWithoutAnOpticalBlockDeviceFails) {
    // sr1 exists in the tree as a plain file: it is no drive and takes no
    // ioctl; the other names do not exist at all.
    for (bool open : {true, false}) {
        EXPECT_FALSE(SetDoor(tree.At("/media/cd"), open, tree.paths));
        EXPECT_FALSE(SetDoor(tree.At("/media/dvd"), open, tree.paths));
        EXPECT_FALSE(SetDoor("", open, tree.paths));
    }
}

TEST(VolumeLive, RootHasAWellFormedSerial) {
    const TVolumeInfo info = VolumeSerial("/");
    EXPECT_TRUE(std::regex_match(info.Serial, std::regex("[0-9A-F]{4}-[0-9A-F]{4}")))
        << info.Serial;
    EXPECT_NE(info.Serial, kNoSerial);
    EXPECT_EQ(VolumeSerial("/").Serial, info.Serial); // stable
    EXPECT_NE(DriveTypeOf("/"), TDriveType::NoRoot);
    EXPECT_FALSE(ReadMountedVolumes().empty());
    EXPECT_EQ(VolumeSerial("/no/such/path/orbisk").Serial, kNoSerial);
    EXPECT_EQ(DriveTypeOf("/no/such/path/orbisk"), TDriveType::NoRoot);
}

} // namespace
