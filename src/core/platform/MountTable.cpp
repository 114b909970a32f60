#include "core/platform/MountTable.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace orbisk {

namespace {

bool IsOctal(char c) {
    return c >= '0' && c <= '7';
}

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A mount ID of mountinfo; -1 for a field that is no such number.
int MountId(std::string_view field) {
    int id = -1;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), id);
    return ec == std::errc() && end == field.data() + field.size() && id >= 0 ? id : -1;
}

// The fields of a line separated by blanks or TABs.
std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

// Calls take(line) for each line of text (LF-separated, a CR before the LF
// dropped).
template <typename Take>
void ForEachLine(std::string_view text, Take take) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        take(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

// File systems whose files lie on another machine.
constexpr std::array<std::string_view, 20> kRemoteFs = {
    "nfs",       "nfs4",      "cifs",  "smb3",        "smbfs",          "sshfs",       "fuse.sshfs",
    "9p",        "afs",       "ncpfs", "davfs",       "fuse.davfs",     "fuse.davfs2", "ceph",
    "fuse.ceph", "glusterfs", "coda",  "fuse.rclone", "fuse.glusterfs", "lustre",
};

constexpr std::array<std::string_view, 2> kRamFs = {"tmpfs", "ramfs"};

template <std::size_t N>
bool OneOf(const std::array<std::string_view, N>& set, std::string_view name) {
    return std::find(set.begin(), set.end(), name) != set.end();
}

// "sr0", "scd1": a SCSI or ATAPI optical drive.
bool IsOpticalName(std::string_view name) {
    if (name.starts_with("sr")) return IsDigits(name.substr(2));
    if (name.starts_with("scd")) return IsDigits(name.substr(3));
    return false;
}

} // namespace

std::string DecodeMountEscapes(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) &&
            IsOctal(field[i + 2]) && IsOctal(field[i + 3])) {
            const int value =
                (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            if (value <= 0xFF) {
                out.push_back(static_cast<char>(value));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

std::optional<TMountedVolume> ParseMountInfoLine(std::string_view line) {
    const std::vector<std::string_view> f = Fields(line);
    // id, parent, major:minor, root, mount point, options, then optional
    // fields up to the lone "-".
    std::size_t dash = 6;
    while (dash < f.size() && f[dash] != "-")
        ++dash;
    if (dash + 2 >= f.size()) return std::nullopt;
    const std::size_t colon = f[2].find(':');
    if (!IsDigits(f[0]) || colon == std::string_view::npos || !IsDigits(f[2].substr(0, colon)) ||
        !IsDigits(f[2].substr(colon + 1)))
        return std::nullopt;
    TMountedVolume v;
    v.MountPoint = DecodeMountEscapes(f[4]);
    if (v.MountPoint.empty() || v.MountPoint.front() != '/') return std::nullopt;
    v.MajorMinor = std::string(f[2]);
    v.Id = MountId(f[0]);
    v.Parent = MountId(f[1]);
    v.FsType = DecodeMountEscapes(f[dash + 1]);
    v.Device = DecodeMountEscapes(f[dash + 2]);
    return v;
}

std::vector<TMountedVolume> ParseMountInfo(std::string_view text) {
    std::vector<TMountedVolume> out;
    ForEachLine(text, [&](std::string_view line) {
        if (auto v = ParseMountInfoLine(line)) out.push_back(std::move(*v));
    });
    return out;
}

std::vector<TFstabEntry> ParseFstab(std::string_view text) {
    std::vector<TFstabEntry> out;
    ForEachLine(text, [&](std::string_view line) {
        const std::vector<std::string_view> f = Fields(line);
        if (f.size() < 2 || f[0].starts_with('#')) return;
        TFstabEntry e;
        e.Device = DecodeMountEscapes(f[0]);
        e.MountPoint = DecodeMountEscapes(f[1]);
        if (f.size() > 2) e.FsType = DecodeMountEscapes(f[2]);
        if (e.MountPoint.empty() || e.MountPoint.front() != '/' || e.FsType == "swap") return;
        // "/media/cdrom/" names the same folder as "/media/cdrom".
        while (e.MountPoint.size() > 1 && e.MountPoint.back() == '/')
            e.MountPoint.pop_back();
        out.push_back(std::move(e));
    });
    return out;
}

std::optional<TDriveType> DriveTypeByName(std::string_view fsType, std::string_view deviceName) {
    if (IsOpticalName(deviceName)) return TDriveType::CdRom;
    // fstab may list the file systems to try ("udf,iso9660"): the first one
    // that implies a type decides.
    while (!fsType.empty()) {
        const std::size_t comma = fsType.find(',');
        const std::string_view one = fsType.substr(0, comma);
        if (one == "iso9660" || one == "udf") return TDriveType::CdRom;
        if (OneOf(kRemoteFs, one)) return TDriveType::Remote;
        if (OneOf(kRamFs, one)) return TDriveType::RamDisk;
        if (comma == std::string_view::npos) break;
        fsType.remove_prefix(comma + 1);
    }
    return std::nullopt;
}

bool IsFloppyName(std::string_view deviceName) {
    return deviceName.starts_with("fd") && IsDigits(deviceName.substr(2));
}

bool PathIsInside(std::string_view path, std::string_view mountPoint) {
    // "/media/cd/" names the same folder as "/media/cd".
    while (mountPoint.size() > 1 && mountPoint.back() == '/')
        mountPoint.remove_suffix(1);
    if (mountPoint.empty() || !path.starts_with(mountPoint)) return false;
    if (mountPoint == "/" || path.size() == mountPoint.size()) return true;
    return path[mountPoint.size()] == '/';
}

} // namespace orbisk
