#include "core/platform/Superblock.h"

#include <algorithm>
#include <array>

#include "core/catalog/CodePage.h"

namespace orbisk {

namespace {

std::uint8_t Byte(std::string_view s, std::size_t at) {
    return static_cast<std::uint8_t>(s[at]);
}

std::uint16_t Le16(std::string_view s, std::size_t at) {
    return static_cast<std::uint16_t>(Byte(s, at) | (Byte(s, at + 1) << 8));
}

std::uint32_t Le32(std::string_view s, std::size_t at) {
    return static_cast<std::uint32_t>(Byte(s, at)) |
           (static_cast<std::uint32_t>(Byte(s, at + 1)) << 8) |
           (static_cast<std::uint32_t>(Byte(s, at + 2)) << 16) |
           (static_cast<std::uint32_t>(Byte(s, at + 3)) << 24);
}

std::uint32_t Be32(std::string_view s, std::size_t at) {
    return (static_cast<std::uint32_t>(Byte(s, at)) << 24) |
           (static_cast<std::uint32_t>(Byte(s, at + 1)) << 16) |
           (static_cast<std::uint32_t>(Byte(s, at + 2)) << 8) |
           static_cast<std::uint32_t>(Byte(s, at + 3));
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A label field: cut at the first NUL, trailing blanks dropped. Bytes that
// are no UTF-8 are taken as Windows-1250, so the label is always valid text.
std::string LabelText(std::string_view field) {
    field = field.substr(0, field.find('\0'));
    while (!field.empty() && field.back() == ' ')
        field.remove_suffix(1);
    return AsUtf8(field);
}

// UCS-2 (or UTF-16) big-endian up to the first NUL, as UTF-8; a lone
// surrogate becomes U+FFFD.
std::string Utf16BeToUtf8(std::string_view bytes) {
    std::string out;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t unit = static_cast<char32_t>((Byte(bytes, i) << 8) | Byte(bytes, i + 1));
        if (unit == 0) break;
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < bytes.size()) {
            const char32_t low =
                static_cast<char32_t>((Byte(bytes, i + 2) << 8) | Byte(bytes, i + 3));
            if (low >= 0xDC00 && low < 0xE000) {
                AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        if (unit >= 0xD800 && unit < 0xE000) unit = 0xFFFD;
        AppendUtf8(out, unit);
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

bool IsJolietEscape(std::string_view descriptor) {
    const std::string_view esc = descriptor.substr(88, 3);
    return esc == "%/@" || esc == "%/C" || esc == "%/E";
}

} // namespace

TFsFamily FsFamilyOf(std::string_view fsType) {
    if (fsType == "vfat" || fsType == "msdos" || fsType == "fat" || fsType == "umsdos")
        return TFsFamily::Fat;
    if (fsType == "ntfs" || fsType == "ntfs3") return TFsFamily::Ntfs;
    if (fsType == "exfat") return TFsFamily::Exfat;
    if (fsType == "iso9660") return TFsFamily::Iso9660;
    if (fsType == "udf") return TFsFamily::Udf;
    if (fsType == "ext2" || fsType == "ext3" || fsType == "ext4") return TFsFamily::Ext;
    return TFsFamily::Unknown;
}

std::optional<TSuperblock> ParseFatBootSector(std::string_view sector) {
    if (sector.size() < 512) return std::nullopt;
    const std::uint16_t bytesPerSector = Le16(sector, 0x0B);
    const std::uint8_t sectorsPerCluster = Byte(sector, 0x0D);
    if ((bytesPerSector != 512 && bytesPerSector != 1024 && bytesPerSector != 2048 &&
         bytesPerSector != 4096) ||
        sectorsPerCluster == 0 || (sectorsPerCluster & (sectorsPerCluster - 1)) != 0)
        return std::nullopt;
    // FAT32 keeps its sectors per FAT in a 32-bit field and the 16-bit one 0.
    const bool fat32 = Le16(sector, 0x16) == 0;
    const std::size_t signature = fat32 ? 0x42 : 0x26;
    const std::uint8_t sig = Byte(sector, signature);
    if (sig != 0x28 && sig != 0x29) return std::nullopt;
    TSuperblock sb;
    sb.Serial = Le32(sector, signature + 1);
    // Signature 0x28 carries the serial only.
    if (sig == 0x29) {
        sb.Label = LabelText(sector.substr(signature + 5, 11));
        if (sb.Label == "NO NAME") sb.Label.clear();
    }
    return sb;
}

std::optional<TSuperblock> ParseNtfsBootSector(std::string_view sector) {
    if (sector.size() < 512 || sector.substr(3, 8) != "NTFS    ") return std::nullopt;
    TSuperblock sb;
    sb.Serial = Le32(sector, 0x48); // the low half of the 64-bit serial
    return sb;
}

std::optional<TSuperblock> ParseExfatBootSector(std::string_view sector) {
    if (sector.size() < 512 || sector.substr(3, 8) != "EXFAT   ") return std::nullopt;
    TSuperblock sb;
    sb.Serial = Le32(sector, 100);
    return sb;
}

std::optional<TSuperblock> ParseExtSuperblock(std::string_view head) {
    constexpr std::size_t kBase = 1024;
    if (head.size() < kBase + 136 || Le16(head, kBase + 56) != 0xEF53) return std::nullopt;
    TSuperblock sb;
    const std::string_view uuid = head.substr(kBase + 104, 16);
    if (uuid.find_first_not_of('\0') != std::string_view::npos) sb.Serial = Be32(uuid, 0);
    sb.Label = LabelText(head.substr(kBase + 120, 16));
    return sb;
}

std::uint32_t IsoDescriptorSerial(std::string_view descriptor) {
    std::array<std::uint8_t, 4> sums{};
    const std::size_t n = std::min(descriptor.size(), kIsoSectorSize);
    for (std::size_t i = 0; i < n; ++i)
        sums[i % 4] = static_cast<std::uint8_t>(sums[i % 4] + Byte(descriptor, i));
    return (static_cast<std::uint32_t>(sums[0]) << 24) |
           (static_cast<std::uint32_t>(sums[1]) << 16) |
           (static_cast<std::uint32_t>(sums[2]) << 8) | sums[3];
}

std::optional<TSuperblock> ParseIsoDescriptors(std::string_view head) {
    std::string_view best;
    int bestType = -1;
    bool primary = false;
    for (std::size_t sector = 16; sector <= 19; ++sector) {
        const std::size_t at = sector * kIsoSectorSize;
        if (head.size() < at + kIsoSectorSize) break;
        const std::string_view d = head.substr(at, kIsoSectorSize);
        // The ISO descriptor set ends at the terminator or at the first
        // sector that is no ISO descriptor (UDF's BEA01 and NSR0x).
        if (d.substr(1, 5) != "CD001") break;
        const int type = Byte(d, 0);
        if (type == 255) break;
        if (type == 1) primary = true;
        if (type > bestType) {
            bestType = type;
            best = d;
        }
    }
    if (!primary) return std::nullopt;
    TSuperblock sb;
    sb.Serial = IsoDescriptorSerial(best);
    const std::string_view id = best.substr(40, 32);
    sb.Label = bestType == 2 && IsJolietEscape(best) ? Utf16BeToUtf8(id) : LabelText(id);
    return sb;
}

std::optional<TSuperblock> ParseSuperblock(TFsFamily family, std::string_view head) {
    switch (family) {
    case TFsFamily::Fat:
        return ParseFatBootSector(head);
    case TFsFamily::Ntfs:
        return ParseNtfsBootSector(head);
    case TFsFamily::Exfat:
        return ParseExfatBootSector(head);
    case TFsFamily::Iso9660:
    case TFsFamily::Udf:
        return ParseIsoDescriptors(head);
    case TFsFamily::Ext:
        return ParseExtSuperblock(head);
    case TFsFamily::Unknown:
        break;
    }
    if (auto sb = ParseNtfsBootSector(head)) return sb;
    return ParseExfatBootSector(head);
}

std::optional<std::uint32_t> SerialFromUuid(TFsFamily family, std::string_view uuid) {
    std::string digits;
    for (char c : uuid) {
        if (c == '-') continue;
        if (HexValue(c) < 0) return std::nullopt;
        digits.push_back(c);
    }
    if (digits.empty()) return std::nullopt;
    // An NTFS UUID is its whole 64-bit serial; a fuseblk volume with such a
    // UUID is NTFS under ntfs-3g.
    const bool ntfsStyle = family == TFsFamily::Ntfs || (family == TFsFamily::Unknown &&
                                                         digits.size() == 16 && uuid.size() == 16);
    std::string_view take = digits;
    if (take.size() > 8) take = ntfsStyle ? take.substr(take.size() - 8) : take.substr(0, 8);
    std::uint32_t serial = 0;
    for (char c : take)
        serial = (serial << 4) | static_cast<std::uint32_t>(HexValue(c));
    return serial;
}

std::uint32_t FallbackSerial(const TMountedVolume& volume) {
    std::uint32_t hash = 2166136261u;
    // Each field with its terminating NUL, so "a","bc" and "ab","c" differ.
    auto mix = [&hash](std::string_view text) {
        for (std::size_t i = 0; i <= text.size(); ++i) {
            hash ^= i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0u;
            hash *= 16777619u;
        }
    };
    mix(volume.FsType);
    mix(volume.Device);
    mix(volume.MountPoint);
    return hash == 0 ? 1 : hash;
}

std::string DecodeUdevName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' &&
            HexValue(name[i + 2]) >= 0 && HexValue(name[i + 3]) >= 0) {
            out.push_back(static_cast<char>(HexValue(name[i + 2]) * 16 + HexValue(name[i + 3])));
            i += 3;
            continue;
        }
        out.push_back(name[i]);
    }
    return out;
}

} // namespace orbisk
