#pragma once
// A fake machine for the volume probes: mountinfo, fstab, sysfs, device
// files and /dev/disk links under one temporary folder, and the boot sectors
// and ISO images the device files hold.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

#include "TestSupport.h"
#include "core/platform/Volumes.h"

namespace orbisk::test {

inline void PutLe(std::string& bytes, std::size_t at, std::uint64_t value, int width) {
    for (int i = 0; i < width; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline void PutText(std::string& bytes, std::size_t at, std::string_view text) {
    bytes.replace(at, text.size(), text);
}

// A FAT boot sector with an extended boot signature 0x29, the given serial
// and an 11-byte label field.
inline std::string FatBootSector(bool fat32, std::uint32_t serial, std::string_view label) {
    std::string s(512, '\0');
    PutText(s, 0, "\xEB\x3C\x90MSDOS5.0");
    PutLe(s, 0x0B, 512, 2); // bytes per sector
    s[0x0D] = 8;            // sectors per cluster
    PutLe(s, 0x16, fat32 ? 0 : 200, 2);
    const std::size_t sig = fat32 ? 0x42 : 0x26;
    s[sig] = 0x29;
    PutLe(s, sig + 1, serial, 4);
    std::string field(label);
    field.resize(11, ' ');
    PutText(s, sig + 5, field);
    PutText(s, 510, "\x55\xAA");
    return s;
}

inline std::string NtfsBootSector(std::uint64_t serial) {
    std::string s(512, '\0');
    PutText(s, 0, "\xEB\x52\x90NTFS    ");
    PutLe(s, 0x0B, 512, 2);
    PutLe(s, 0x48, serial, 8);
    return s;
}

inline std::string ExfatBootSector(std::uint32_t serial) {
    std::string s(512, '\0');
    PutText(s, 0,
            "\xEB\x76\x90"
            "EXFAT   ");
    PutLe(s, 100, serial, 4);
    return s;
}

// A 2048-byte volume descriptor of type with the standard identifier, a
// volume identifier field of 32 bytes and, for Joliet, the escape "%/E".
inline std::string IsoDescriptor(int type, std::string_view volumeId, bool joliet = false) {
    std::string d(2048, '\0');
    d[0] = static_cast<char>(type);
    PutText(d, 1, "CD001\x01");
    std::string id(volumeId);
    id.resize(32, joliet ? '\0' : ' ');
    PutText(d, 40, id);
    if (joliet) PutText(d, 88, "%/E");
    return d;
}

// A volume identifier in UCS-2 big-endian (ASCII and Latin-1 letters).
inline std::string Ucs2Be(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        out.push_back(static_cast<char>(c >> 8));
        out.push_back(static_cast<char>(c & 0xFF));
    }
    return out;
}

// Sectors 0 to 15 zero, then the given descriptor sectors in order.
inline std::string IsoImage(std::initializer_list<std::string> sectors) {
    std::string image(16 * 2048, '\0');
    for (const std::string& s : sectors)
        image += s;
    return image;
}

class FakeTree {
public:
    FakeTree() : root_(std::filesystem::canonical(dir_.Path()).string()) {
        paths.MountInfo = root_ + "/proc/mountinfo";
        paths.Fstab = root_ + "/etc/fstab";
        paths.SysBlock = root_ + "/sys/block";
        paths.DiskByLabel = root_ + "/dev/disk/by-label";
        paths.DiskByUuid = root_ + "/dev/disk/by-uuid";
        paths.DiskByPath = root_ + "/dev/disk/by-path";
        paths.DeviceRoot = root_;
        for (const char* d : {"/proc", "/etc", "/sys/block", "/dev/disk/by-label",
                              "/dev/disk/by-uuid", "/dev/disk/by-path"})
            std::filesystem::create_directories(root_ + d);
    }

    // The absolute path of a name inside the tree ("/media/cd" → root/media/cd).
    std::string At(std::string_view name) const { return root_ + std::string(name); }
    const std::string& Root() const { return root_; }

    // Creates a folder of the tree.
    std::string Folder(std::string_view name) const {
        std::filesystem::create_directories(At(name));
        return At(name);
    }
    void File(std::string_view name, std::string_view bytes) const {
        std::filesystem::create_directories(std::filesystem::path(At(name)).parent_path());
        WriteFile(At(name), bytes);
    }
    // A relative symbolic link, as udev makes them.
    void Link(std::string_view name, std::string_view target) const {
        std::filesystem::create_symlink(std::string(target), At(name));
    }
    void MountInfo(std::string_view text) const { WriteFile(paths.MountInfo, text); }
    void Fstab(std::string_view text) const { WriteFile(paths.Fstab, text); }

    TPlatformPaths paths;

private:
    TempDir dir_;
    std::string root_;
};

} // namespace orbisk::test
