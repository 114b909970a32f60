#include "core/platform/Volumes.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "core/platform/MountTable.h"
#include "core/platform/Superblock.h"
#include "core/platform/VolumeLocate.h"

namespace orbisk {

namespace fs = std::filesystem;

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The path with every symbolic link resolved, or nothing when it does not
// exist.
std::optional<std::string> RealPath(const std::string& path) {
    char buffer[PATH_MAX];
    if (!::realpath(path.c_str(), buffer)) return std::nullopt;
    return std::string(buffer);
}

// The path with the links of its existing part resolved and the rest
// normalised, so a device path and a link to it compare equal.
std::string DeviceKey(const fs::path& path) {
    std::error_code ec;
    fs::path key = fs::weakly_canonical(path, ec);
    if (ec) key = path.lexically_normal();
    return key.string();
}

bool IsDevicePath(std::string_view source) {
    return source.starts_with('/');
}

// "1" in sysfs' removable file of the device's disk. A partition ("sdb1",
// "mmcblk0p1", "nvme0n1p1") has no entry of its own under SysBlock but is a
// folder inside its disk's.
bool SysfsRemovable(const TPlatformPaths& paths, const std::string& name) {
    if (name.empty()) return false;
    const fs::path sysBlock(paths.SysBlock);
    std::error_code ec;
    fs::path disk = sysBlock / name;
    if (!fs::is_directory(disk, ec)) {
        disk.clear();
        for (auto it = fs::directory_iterator(sysBlock, ec); !ec && it != fs::directory_iterator();
             it.increment(ec)) {
            if (fs::is_directory(it->path() / name, ec)) {
                disk = it->path();
                break;
            }
        }
        if (disk.empty()) return false;
    }
    const std::string flag = ReadText((disk / "removable").string());
    return flag.starts_with('1');
}

std::vector<TMountedVolume> ReadRawVolumes(const TPlatformPaths& paths) {
    return ParseMountInfo(ReadText(paths.MountInfo));
}

// An fstab entry seen as the volume its drive would hold.
TMountedVolume EntryVolume(const TFstabEntry& entry, const std::string& mountPoint,
                           const TPlatformPaths& paths) {
    TMountedVolume v;
    v.MountPoint = mountPoint;
    if (IsDevicePath(entry.Device)) v.Device = entry.Device;
    v.FsType = entry.FsType;
    ClassifyVolume(v, paths);
    return v;
}

// The first n bytes of a block device or image file; fewer when it is
// shorter, empty when it cannot be read.
std::string ReadHead(const std::string& path, std::size_t n) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {};
    std::string bytes;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && (S_ISBLK(st.st_mode) || S_ISREG(st.st_mode))) {
        bytes.resize(n);
        std::size_t got = 0;
        while (got < n) {
            const ssize_t r = ::pread(fd, bytes.data() + got, n - got, static_cast<off_t>(got));
            if (r > 0) {
                got += static_cast<std::size_t>(r);
            } else if (r == 0 || errno != EINTR) {
                break;
            }
        }
        bytes.resize(got);
    }
    ::close(fd);
    return bytes;
}

// The decoded name of the first link in dir (by name) that leads to the
// device whose key is deviceKey. Relative targets are taken from the link's
// folder, absolute ones below DeviceRoot.
std::string LinkNameTo(const std::string& dir, const std::string& deviceKey,
                       const TPlatformPaths& paths) {
    std::vector<fs::path> links;
    std::error_code ec;
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
        links.push_back(it->path());
    std::sort(links.begin(), links.end());
    for (const fs::path& link : links) {
        const fs::path target = fs::read_symlink(link, ec);
        if (ec || target.empty()) continue;
        const fs::path resolved = target.is_absolute()
                                      ? fs::path(paths.DeviceRoot + target.string())
                                      : link.parent_path() / target;
        if (DeviceKey(resolved) == deviceKey) return DecodeUdevName(link.filename().string());
    }
    return {};
}

// A label as the header can carry it: control bytes and the backslash,
// which the catalogue's line format cannot hold, become blanks.
std::string HeaderSafeLabel(std::string label) {
    for (char& c : label) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F || c == '\\') c = ' ';
    }
    return label;
}

} // namespace

std::string DeviceNameOf(const TMountedVolume& volume, const TPlatformPaths& paths) {
    if (!IsDevicePath(volume.Device)) return {};
    return fs::path(DeviceKey(paths.DeviceRoot + volume.Device)).filename().string();
}

void ClassifyVolume(TMountedVolume& volume, const TPlatformPaths& paths) {
    const std::string name = DeviceNameOf(volume, paths);
    volume.Floppy = IsFloppyName(name);
    if (auto type = DriveTypeByName(volume.FsType, name)) {
        volume.Type = *type;
    } else if (volume.Floppy || SysfsRemovable(paths, name)) {
        volume.Type = TDriveType::Removable;
    } else {
        volume.Type = TDriveType::Fixed;
    }
}

TVolumeLocation LocateVolume(std::string_view path, const TPlatformPaths& paths) {
    TVolumeLocation where;
    if (path.empty()) return where;
    const std::optional<std::string> canonical = RealPath(std::string(path));
    if (!canonical) return where;
    where.Exists = true;

    std::vector<TMountedVolume> volumes = ReadRawVolumes(paths);
    const TMountedVolume* best = nullptr;
    // Of equal mount points the later mount hides the earlier one.
    for (const TMountedVolume& v : volumes)
        if (PathIsInside(*canonical, v.MountPoint) &&
            (!best || v.MountPoint.size() >= best->MountPoint.size()))
            best = &v;
    const std::size_t bestLength = best ? best->MountPoint.size() : 0;

    // A mount point of fstab deeper than every mounted one on the way to the
    // path is not mounted: its folder lies on the outer volume, its drive is
    // empty.
    for (const TFstabEntry& entry : ParseFstab(ReadText(paths.Fstab))) {
        const std::string mountPoint = RealPath(entry.MountPoint).value_or(entry.MountPoint);
        if (mountPoint.size() > bestLength && PathIsInside(*canonical, mountPoint)) {
            where.Unmounted = EntryVolume(entry, mountPoint, paths);
            return where;
        }
    }
    if (best) {
        where.Mounted = *best;
        ClassifyVolume(*where.Mounted, paths);
    }
    return where;
}

std::vector<TMountedVolume> ReadMountedVolumes(const TPlatformPaths& paths) {
    std::vector<TMountedVolume> volumes = ReadRawVolumes(paths);
    for (TMountedVolume& v : volumes)
        ClassifyVolume(v, paths);
    return volumes;
}

std::optional<TMountedVolume> VolumeOfPath(std::string_view path, const TPlatformPaths& paths) {
    return LocateVolume(path, paths).Mounted;
}

TDriveType DriveTypeOf(std::string_view path, const TPlatformPaths& paths) {
    const TVolumeLocation where = LocateVolume(path, paths);
    if (where.Mounted) return where.Mounted->Type;
    if (where.Unmounted) return where.Unmounted->Type;
    return TDriveType::NoRoot;
}

TVolumeInfo VolumeInfoOf(const TMountedVolume& volume, const TPlatformPaths& paths) {
    const TFsFamily family = FsFamilyOf(volume.FsType);
    std::optional<TSuperblock> sb;
    std::string uuid, label;
    // Network shares and RAM disks have no device to read.
    if (IsDevicePath(volume.Device) && volume.Type != TDriveType::Remote &&
        volume.Type != TDriveType::RamDisk) {
        const std::string device = paths.DeviceRoot + volume.Device;
        const bool iso = family == TFsFamily::Iso9660 || family == TFsFamily::Udf;
        sb = ParseSuperblock(family, ReadHead(device, iso ? kProbeBytes : kBootProbeBytes));
        const std::string key = DeviceKey(device);
        uuid = LinkNameTo(paths.DiskByUuid, key, paths);
        label = LinkNameTo(paths.DiskByLabel, key, paths);
    }
    std::uint32_t serial = 0;
    if (sb && sb->Serial) {
        serial = *sb->Serial;
    } else if (auto fromUuid = SerialFromUuid(family, uuid)) {
        serial = *fromUuid;
    } else {
        serial = FallbackSerial(volume);
    }
    if (label.empty() && sb) label = sb->Label;
    TVolumeInfo info;
    info.Label = HeaderSafeLabel(std::move(label));
    info.Serial = FormatSerial(serial);
    return info;
}

TVolumeInfo VolumeSerial(std::string_view path, const TPlatformPaths& paths) {
    const std::optional<TMountedVolume> volume = VolumeOfPath(path, paths);
    if (!volume) return TVolumeInfo{};
    return VolumeInfoOf(*volume, paths);
}

} // namespace orbisk
