// Labels and serial texts of volumes: boot sectors and ISO descriptors as
// bytes, and whole fake machines with device files and /dev/disk links.
#include <gtest/gtest.h>

#include "VolumeFakeTree.h"
#include "core/platform/Superblock.h"
#include "core/platform/Volumes.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

// The serial of a descriptor, summed here stride by stride: the bytes at
// offsets k, k+4, k+8, ... give byte k of the serial, counted from the top.
std::uint32_t StrideSums(const std::string& d) {
    std::uint32_t serial = 0;
    for (std::size_t k = 0; k < 4; ++k) {
        unsigned sum = 0;
        for (std::size_t i = k; i < d.size(); i += 4)
            sum += static_cast<unsigned char>(d[i]);
        serial |= (sum % 256) << (8 * (3 - k));
    }
    return serial;
}

TEST(VolumeSerialBytes, IsoDescriptorSumsGiveTheSerial) {
    std::string d(2048, '\0');
    d[0] = 0x12;
    d[4] = static_cast<char>(0xF0);
    d[8] = 0x32; // 0x12 + 0xF0 + 0x32 = 0x134: the top byte is 0x34
    d[1] = 0x56; // next byte
    d[6] = 0x78; // the one after
    d[3] = 0x01;
    d[2047] = 0x09; // offset 2047 is in the lowest byte's stride
    EXPECT_EQ(FormatSerial(IsoDescriptorSerial(d)), "3456-780A");
    EXPECT_EQ(FormatSerial(IsoDescriptorSerial(std::string(2048, '\0'))), kNoSerial);
    // 512 bytes per stride: every sum of equal bytes is a multiple of 256.
    EXPECT_EQ(FormatSerial(IsoDescriptorSerial(std::string(2048, '\x01'))), "0000-0000");
    EXPECT_EQ(FormatSerial(IsoDescriptorSerial(std::string(2048, '\xFF'))), "0000-0000");
    std::string ones(2048, '\0');
    for (std::size_t i = 0; i < 4; ++i)
        ones[i] = static_cast<char>(i + 1);
    EXPECT_EQ(FormatSerial(IsoDescriptorSerial(ones)), "0102-0304");
}

TEST(VolumeSerialBytes, IsoPrefersTheHighestDescriptorBeforeTheTerminator) {
    const std::string primary = IsoDescriptor(1, "GAMES_2003");
    const std::string joliet = IsoDescriptor(2, Ucs2Be(u"Hry 2003 \u00C4\u010D"), true);
    const std::string nonJoliet = IsoDescriptor(2, "ENHANCED");
    const std::string boot = IsoDescriptor(0, "");
    const std::string end = IsoDescriptor(255, "");
    struct Case {
        const char* name;
        std::string image;
        std::optional<std::string> serialFrom; // the descriptor that counts
        std::string label;
    };
    const Case cases[] = {
        {"primary only", IsoImage({primary, end}), primary, "GAMES_2003"},
        {"joliet wins", IsoImage({primary, joliet, end}), joliet, "Hry 2003 \u00C4\u010D"},
        {"boot record first", IsoImage({boot, primary, joliet, end}), joliet,
         "Hry 2003 \u00C4\u010D"},
        {"after the terminator", IsoImage({primary, end, joliet}), primary, "GAMES_2003"},
        {"type 2 without escape", IsoImage({primary, nonJoliet, end}), nonJoliet, "ENHANCED"},
        {"no terminator", IsoImage({primary, joliet}), joliet, "Hry 2003 \u00C4\u010D"},
        {"cut image", IsoImage({primary}).substr(0, 16 * 2048 + 100), std::nullopt, ""},
        {"no primary", IsoImage({joliet, end}), std::nullopt, ""},
        {"udf only",
         IsoImage({std::string("\0BEA01\x01", 7) + std::string(2041, '\0'),
                   std::string("\0NSR02\x01", 7) + std::string(2041, '\0')}),
         std::nullopt, ""},
        {"empty", "", std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto sb = ParseIsoDescriptors(c.image);
        ASSERT_EQ(sb.has_value(), c.serialFrom.has_value());
        if (!sb) continue;
        ASSERT_TRUE(sb->Serial);
        EXPECT_EQ(*sb->Serial, StrideSums(*c.serialFrom));
        EXPECT_EQ(sb->Label, c.label);
    }
}

TEST(VolumeSerialBytes, BootSectors) {
    std::string noLabel = FatBootSector(false, 0x1A2B0C3D, "NO NAME");
    std::string serialOnly = FatBootSector(true, 0xDEADBEEF, "IGNORED");
    serialOnly[0x42] = 0x28;
    std::string noSignature = FatBootSector(false, 0x1A2B0C3D, "X");
    noSignature[0x26] = 0;
    std::string badSectorSize = FatBootSector(false, 0x1A2B0C3D, "X");
    badSectorSize[0x0B] = 3;
    struct Case {
        const char* name;
        TFsFamily family;
        std::string bytes;
        std::optional<std::string> serial;
        std::string label;
    };
    const Case cases[] = {
        {"FAT16", TFsFamily::Fat, FatBootSector(false, 0x1A2B0C3D, "DISK1"), "1A2B-0C3D", "DISK1"},
        {"FAT32", TFsFamily::Fat, FatBootSector(true, 0x1A2B0C3D, "BIG DISK"), "1A2B-0C3D",
         "BIG DISK"},
        {"NO NAME", TFsFamily::Fat, noLabel, "1A2B-0C3D", ""},
        {"signature 0x28", TFsFamily::Fat, serialOnly, "DEAD-BEEF", ""},
        {"no signature", TFsFamily::Fat, noSignature, std::nullopt, ""},
        {"bad sector size", TFsFamily::Fat, badSectorSize, std::nullopt, ""},
        {"short", TFsFamily::Fat, FatBootSector(false, 1, "X").substr(0, 100), std::nullopt, ""},
        {"NTFS", TFsFamily::Ntfs, NtfsBootSector(0x0123456789ABCDEFull), "89AB-CDEF", ""},
        {"NTFS by fuseblk", TFsFamily::Unknown, NtfsBootSector(0x0123456789ABCDEFull), "89AB-CDEF",
         ""},
        {"NTFS id missing", TFsFamily::Ntfs, FatBootSector(false, 1, "X"), std::nullopt, ""},
        {"exFAT", TFsFamily::Exfat, ExfatBootSector(0xCAFEBABE), "CAFE-BABE", ""},
        {"exFAT by fuseblk", TFsFamily::Unknown, ExfatBootSector(0x00C0FFEE), "00C0-FFEE", ""},
        {"FAT not guessed", TFsFamily::Unknown, FatBootSector(false, 1, "X"), std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto sb = ParseSuperblock(c.family, c.bytes);
        ASSERT_EQ(sb.has_value(), c.serial.has_value());
        if (!sb) continue;
        ASSERT_TRUE(sb->Serial);
        EXPECT_EQ(FormatSerial(*sb->Serial), *c.serial);
        EXPECT_EQ(sb->Label, c.label);
    }
}

TEST(VolumeSerialBytes, ExtSuperblockGivesTheUuidStartAndLabel) {
    std::string head(4096, '\0');
    PutLe(head, 1024 + 56, 0xEF53, 2);
    PutText(head, 1024 + 104, "\x3F\x1C\x2B\x4A\x11\x11\x22\x22\x33\x33\x44\x44\x55\x55\x66\x66");
    PutText(head, 1024 + 120, "rootfs");
    const auto sb = ParseSuperblock(TFsFamily::Ext, head);
    ASSERT_TRUE(sb && sb->Serial);
    EXPECT_EQ(FormatSerial(*sb->Serial), "3F1C-2B4A");
    EXPECT_EQ(sb->Label, "rootfs");
    head[1024 + 56] = 0;
    EXPECT_FALSE(ParseSuperblock(TFsFamily::Ext, head));
}

TEST(VolumeSerialBytes, SerialFromUuid) {
    struct Case {
        TFsFamily family;
        std::string_view uuid;
        std::optional<std::string> serial;
    };
    const Case cases[] = {
        {TFsFamily::Fat, "1A2B-0C3D", "1A2B-0C3D"},
        {TFsFamily::Exfat, "64e2-1f0a", "64E2-1F0A"},
        {TFsFamily::Ntfs, "0123456789ABCDEF", "89AB-CDEF"},
        {TFsFamily::Unknown, "0123456789ABCDEF", "89AB-CDEF"}, // fuseblk: ntfs-3g
        {TFsFamily::Ext, "3f1c2b4a-1111-2222-3333-444455556666", "3F1C-2B4A"},
        {TFsFamily::Iso9660, "2024-01-02-03-04-05-00", "2024-0102"},
        {TFsFamily::Udf, "4a5b6c7d00000000", "4A5B-6C7D"},
        {TFsFamily::Fat, "ABC", "0000-0ABC"},
        {TFsFamily::Ext, "", std::nullopt},
        {TFsFamily::Ext, "not-a-uuid", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.uuid));
        const auto serial = SerialFromUuid(c.family, c.uuid);
        ASSERT_EQ(serial.has_value(), c.serial.has_value());
        if (serial) {
            EXPECT_EQ(FormatSerial(*serial), *c.serial);
        }
    }
}

TEST(VolumeSerialBytes, UdevNamesAndFallback) {
    EXPECT_EQ(DecodeUdevName("MY\\x20STICK"), "MY STICK");
    EXPECT_EQ(DecodeUdevName("a\\x2fb\\xzz"), "a/b\\xzz");
    TMountedVolume run{"/run", "tmpfs", "tmpfs", "0:24", TDriveType::RamDisk, false};
    TMountedVolume shm = run;
    shm.MountPoint = "/dev/shm";
    EXPECT_EQ(FallbackSerial(run), FallbackSerial(run));
    EXPECT_NE(FallbackSerial(run), FallbackSerial(shm));
    EXPECT_NE(FallbackSerial(run), 0u);
}

// A machine with one volume of each kind and the devices and links behind
// them.
class VolumeSerialTree : public ::testing::Test {
protected:
    FakeTree tree;
    std::string iso, joliet;

    std::string Line(int id, std::string_view mountPoint, std::string_view fsType,
                     std::string_view source) const {
        return std::to_string(id) + " 1 8:" + std::to_string(id) + " / " + tree.At(mountPoint) +
               " rw - " + std::string(fsType) + " " + std::string(source) + " rw\n";
    }

    void SetUp() override {
        iso = IsoImage({IsoDescriptor(1, "GAMES"), IsoDescriptor(255, "")});
        joliet = IsoImage({IsoDescriptor(1, "PRIMARY"),
                           IsoDescriptor(2, Ucs2Be(u"Dlouh\u00FD n\u00E1zev"), true),
                           IsoDescriptor(255, "")});
        const std::string udf = IsoImage({std::string("\0BEA01\x01", 7) + std::string(2041, '\0'),
                                          std::string("\0NSR02\x01", 7) + std::string(2041, '\0'),
                                          std::string("\0TEA01\x01", 7) + std::string(2041, '\0')});
        tree.MountInfo(
            "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n" + Line(2, "/media/cd", "iso9660", "/dev/sr0") +
            Line(3, "/media/joliet", "iso9660", "/dev/sr1") +
            Line(4, "/media/udf", "udf", "/dev/sr2") +
            Line(5, "/media/cdgone", "iso9660", "/dev/sr3") +
            Line(6, "/media/usb", "vfat", "/dev/sdb1") +
            Line(7, "/media/fat32", "vfat", "/dev/sdf1") +
            Line(8, "/media/fatgone", "vfat", "/dev/sdg1") +
            Line(9, "/media/ntfs", "ntfs3", "/dev/sdc1") +
            Line(10, "/media/ntfsgone", "ntfs3", "/dev/sdi1") +
            Line(11, "/media/exfat", "exfat", "/dev/sdh1") +
            Line(12, "/media/my\\040disk", "ext4", "/dev/sdd1") +
            Line(13, "/run", "tmpfs", "tmpfs") + Line(14, "/mnt/nas", "nfs4", "server:/export") +
            Line(15, "/media/mapped", "ext4", "/dev/mapper/vg-home") +
            Line(16, "/media/plain", "xfs", "/dev/sdj1") +
            Line(17, "/media/looped", "ext4", "/dev/loopa"));
        for (const char* mp : {"/media/cd", "/media/joliet", "/media/udf", "/media/cdgone",
                               "/media/usb/DIR", "/media/fat32", "/media/fatgone", "/media/ntfs",
                               "/media/ntfsgone", "/media/exfat", "/media/my disk", "/run",
                               "/mnt/nas", "/media/mapped", "/media/plain", "/media/looped"})
            tree.Folder(mp);
        tree.File("/dev/sr0", iso);
        tree.File("/dev/sr1", joliet);
        tree.File("/dev/sr2", udf);
        tree.File("/dev/sdb1", FatBootSector(false, 0x1A2B0C3D, "BOOTLABEL"));
        tree.File("/dev/sdf1", FatBootSector(true, 0x1A2B0C3D, "FAT32 DISK"));
        tree.File("/dev/sdc1", NtfsBootSector(0x0123456789ABCDEFull));
        tree.File("/dev/sdh1", ExfatBootSector(0xCAFEBABE));
        tree.File("/dev/dm-0", "");
        tree.Folder("/dev/mapper");
        tree.Link("/dev/mapper/vg-home", "../dm-0");
        // udev's links: relative targets, escaped names.
        tree.Link("/dev/disk/by-uuid/AAAA-BBBB", "../../sdb1"); // the boot sector wins
        tree.Link("/dev/disk/by-uuid/5566-7788", "../../sdg1");
        tree.Link("/dev/disk/by-uuid/FEDCBA9876543210", "../../sdi1");
        tree.Link("/dev/disk/by-uuid/2024-01-02-03-04-05-00", "../../sr3");
        tree.Link("/dev/disk/by-uuid/4a5b6c7d00000000", "../../sr2");
        tree.Link("/dev/disk/by-uuid/3f1c2b4a-1111-2222-3333-444455556666", "../../sdd1");
        tree.Link("/dev/disk/by-uuid/0badf00d-0000-0000-0000-000000000000", "../../dm-0");
        tree.Link("/dev/disk/by-uuid/77aa88bb-0000-0000-0000-000000000000", "/dev/sdj1");
        tree.Link("/dev/disk/by-label/MY\\x20STICK", "../../sdb1");
        tree.Link("/dev/disk/by-label/Data\\x09Disk", "../../sdd1");
        tree.Link("/dev/disk/by-label/home", "../../dm-0");
        // udev names the primary descriptor's label; the Joliet one counts.
        tree.Link("/dev/disk/by-label/PRIMARY", "../../sr1");
        // Links that lead nowhere: a loop and a dangling one, listed first.
        tree.Link("/dev/loopa", "loopb");
        tree.Link("/dev/loopb", "loopa");
        tree.Link("/dev/disk/by-uuid/0000-LOOP", "../../loopa");
        tree.Link("/dev/disk/by-label/0LOOP", "../../loopb");
        tree.Link("/dev/disk/by-uuid/0000-GONE", "../../sdx9");
        tree.Link("/dev/disk/by-label/0GONE", "../../sdx9");
    }
};

TEST_F(VolumeSerialTree, SerialTextsAndLabels) {
    struct Case {
        std::string path;
        std::string label, serial;
    };
    const Case cases[] = {
        {tree.At("/media/cd"), "GAMES", FormatSerial(StrideSums(iso.substr(16 * 2048, 2048)))},
        {tree.At("/media/joliet"), "Dlouh\u00FD n\u00E1zev",
         FormatSerial(StrideSums(joliet.substr(17 * 2048, 2048)))},
        {tree.At("/media/udf"), "", "4A5B-6C7D"},    // no ISO descriptor: the UUID
        {tree.At("/media/cdgone"), "", "2024-0102"}, // image unreadable: the UUID
        {tree.At("/media/usb/DIR"), "MY STICK", "1A2B-0C3D"},
        {tree.At("/media/fat32"), "FAT32 DISK", "1A2B-0C3D"},
        {tree.At("/media/fatgone"), "", "5566-7788"},
        {tree.At("/media/ntfs"), "", "89AB-CDEF"},
        {tree.At("/media/ntfsgone"), "", "7654-3210"},
        {tree.At("/media/exfat"), "", "CAFE-BABE"},
        {tree.At("/media/my disk"), "Data Disk", "3F1C-2B4A"}, // the TAB became a blank
        {tree.At("/media/mapped"), "home", "0BAD-F00D"},       // through /dev/mapper
        {tree.At("/media/plain"), "", "77AA-88BB"},            // an absolute link target
        // A device behind a loop of links: no link names it, nothing hangs.
        {tree.At("/media/looped"), "",
         FormatSerial(FallbackSerial(VolumeOfPath(tree.At("/media/looped"), tree.paths).value()))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const TVolumeInfo info = VolumeSerial(c.path, tree.paths);
        EXPECT_EQ(info.Label, c.label);
        EXPECT_EQ(info.Serial, c.serial);
    }
}

TEST_F(VolumeSerialTree, VolumesWithoutUuidGetAStableSerialOfTheirOwn) {
    const std::string run = VolumeSerial(tree.At("/run"), tree.paths).Serial;
    const std::string nas = VolumeSerial(tree.At("/mnt/nas"), tree.paths).Serial;
    const std::string root = VolumeSerial(tree.Root(), tree.paths).Serial;
    for (const std::string& s : {run, nas, root}) {
        EXPECT_NE(s, kNoSerial);
        EXPECT_EQ(s.size(), 9u);
    }
    EXPECT_NE(run, nas);
    EXPECT_EQ(VolumeSerial(tree.At("/run"), tree.paths).Serial, run);
    // The serial of an entry of the volume list is the serial of its paths.
    for (const TMountedVolume& v : ReadMountedVolumes(tree.paths)) {
        if (v.MountPoint == "/") continue; // the real root folder, not the tree's
        EXPECT_EQ(VolumeInfoOf(v, tree.paths).Serial, VolumeSerial(v.MountPoint, tree.paths).Serial)
            << v.MountPoint;
    }
}

TEST_F(VolumeSerialTree, NoMediumGivesTheEmptySerial) {
    tree.Fstab("/dev/sr4 " + tree.At("/media/empty") + " auto ro,noauto 0 0\n");
    tree.Folder("/media/empty/inside");
    for (const std::string& path : {tree.At("/media/empty"), tree.At("/media/empty/inside"),
                                    tree.At("/media/cd/missing"), std::string()}) {
        SCOPED_TRACE(path);
        const TVolumeInfo info = VolumeSerial(path, tree.paths);
        EXPECT_EQ(info.Label, "");
        EXPECT_EQ(info.Serial, kNoSerial);
    }
}

} // namespace
