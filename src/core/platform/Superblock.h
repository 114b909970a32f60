#pragma once
// Serial numbers and labels as the first sectors of a volume store them, and
// the serial derived from a UUID when those sectors cannot be read. Pure
// functions over bytes: the tests and the fuzz target feed them images.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/platform/Volumes.h"

namespace orbisk {

// The kinds of file system whose serial is read or derived by a rule of its
// own. Unknown covers the rest, and fuseblk (ntfs-3g, exfat-fuse), whose
// kind only the boot sector tells.
enum class TFsFamily { Fat, Ntfs, Exfat, Iso9660, Udf, Ext, Unknown };

TFsFamily FsFamilyOf(std::string_view fsType);

inline constexpr std::size_t kIsoSectorSize = 2048;
// How much of the start of a device the parsers look at: up to the last ISO
// volume descriptor sector that counts (19).
inline constexpr std::size_t kProbeBytes = 20 * kIsoSectorSize;
// Enough for every boot sector and the ext superblock.
inline constexpr std::size_t kBootProbeBytes = 4096;

struct TSuperblock {
    std::optional<std::uint32_t> Serial;
    std::string Label; // empty when the volume has none or keeps it elsewhere
};

// The serial and label head (the first bytes of a volume) holds for a volume
// of family; fuseblk volumes (Unknown) are recognised as NTFS or exFAT by
// their boot sector. Nothing when head holds no such volume.
std::optional<TSuperblock> ParseSuperblock(TFsFamily family, std::string_view head);

// FAT12/16 (serial at 0x27, label at 0x2B) and FAT32 (0x43, 0x47), when the
// extended boot signature says they are there. "NO NAME" is no label.
std::optional<TSuperblock> ParseFatBootSector(std::string_view sector);
// The low 32 bits of the 64-bit serial at 0x48; the label is kept elsewhere.
std::optional<TSuperblock> ParseNtfsBootSector(std::string_view sector);
// The 32-bit volume serial at offset 100.
std::optional<TSuperblock> ParseExfatBootSector(std::string_view sector);
// The first four bytes of the UUID and the label of an ext2/3/4 superblock
// (at byte 1024 of head).
std::optional<TSuperblock> ParseExtSuperblock(std::string_view head);

// ISO 9660: of the descriptors in sectors 16 to 19 of head before the
// terminator, the first of the highest type (a Joliet supplementary
// descriptor beats the primary one) gives the serial (IsoDescriptorSerial)
// and the label (its volume identifier; Joliet's is UCS-2 big-endian).
// Nothing without a primary descriptor (a pure UDF disc).
std::optional<TSuperblock> ParseIsoDescriptors(std::string_view head);

// The serial of a 2048-byte volume descriptor: four byte-wise sums modulo
// 256, of the bytes at offsets 0, 4, 8, ... (highest byte of the serial),
// 1, 5, 9, ..., 2, 6, 10, ... and 3, 7, 11, ... (lowest byte).
std::uint32_t IsoDescriptorSerial(std::string_view descriptor);

// The serial a UUID stands for: its hexadecimal digits without the dashes,
// the first eight of them, or for NTFS (16 digits) the last eight, which are
// its low 32 bits. Nothing when the UUID is empty or holds other characters.
std::optional<std::uint32_t> SerialFromUuid(TFsFamily family, std::string_view uuid);

// A stable serial for a volume without any UUID (tmpfs, network shares): a
// 32-bit FNV-1a hash of its file system, source and mount point; never 0,
// which would read as "no medium".
std::uint32_t FallbackSerial(const TMountedVolume& volume);

// A name under /dev/disk/by-label or by-uuid with udev's "\x20" escapes
// decoded.
std::string DecodeUdevName(std::string_view name);

} // namespace orbisk
