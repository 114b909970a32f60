#include "core/platform/Volumes.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "core/catalog/TextFile.h"
#include "core/platform/MountTable.h"
#include "core/platform/Superblock.h"
#include "core/platform/VolumeLocate.h"

namespace orbisk {

namespace fs = std::filesystem;

namespace {

// The text of a small system file (mount table, fstab, a sysfs flag); empty
// when it cannot be read.
std::string ReadText(const std::string& path) {
    std::string text;
    ReadWholeFile(path, text, kMaxSmallFile);
    return text;
}

// The path with every symbolic link resolved, or nothing when it does not
// exist (errno tells why).
std::optional<std::string> RealPath(const std::string& path) {
    char buffer[PATH_MAX];
    if (!::realpath(path.c_str(), buffer)) return std::nullopt;
    return std::string(buffer);
}

// The absolute, resolved form of path (a relative one is taken from the
// current folder). Inside a folder that may not be searched nothing past that
// folder can be resolved or even seen: the part up to it is resolved and the
// rest kept as written, so the path still lies on the volume of that folder.
// Nothing when the path does not exist.
std::optional<std::string> ResolvePath(const std::string& path) {
    if (std::optional<std::string> real = RealPath(path)) return real;
    if (errno != EACCES) return std::nullopt;
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    if (ec) return std::nullopt;
    fs::path rest;
    for (fs::path at = absolute; at.has_relative_path(); at = at.parent_path()) {
        if (at.has_filename()) rest = rest.empty() ? at.filename() : at.filename() / rest;
        const fs::path up = at.parent_path();
        if (std::optional<std::string> real = RealPath(up.string())) {
            std::string joined = (fs::path(*real) / rest).lexically_normal().string();
            while (joined.size() > 1 && joined.back() == '/')
                joined.pop_back();
            return joined;
        }
        if (errno != EACCES) return std::nullopt;
    }
    return std::nullopt;
}

// Whether a later mount hides volumes[at]. A mount B hanging from the same
// mount as A, with a mount point above A's, was mounted after A (or A would
// hang from B) and hides it: a RAM disk mounted on /media after /media/usb,
// or one stacked on /media/usb itself (it hangs from the stick's mount, on
// that mount's root). A is hidden too when any mount it hangs from is, and
// when a mount hangs from A on A's own point. Mounts without IDs are never
// hidden; a loop in hostile parent links ends the walk. Linear scans: only
// the few mounts on the way to one path are asked about.
bool IsHidden(const std::vector<TMountedVolume>& volumes, std::size_t at) {
    constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    auto parentOf = [&](std::size_t child) {
        if (volumes[child].Parent < 0) return kNone;
        for (std::size_t p = 0; p < volumes.size(); ++p)
            if (volumes[p].Id == volumes[child].Parent) return p == child ? kNone : p;
        return kNone;
    };
    const TMountedVolume& self = volumes[at];
    for (const TMountedVolume& v : volumes)
        if (self.Id >= 0 && v.Parent == self.Id && &v != &self && v.MountPoint == self.MountPoint)
            return true;
    std::size_t child = at;
    for (std::size_t step = 0; step < volumes.size(); ++step) {
        const std::size_t parent = parentOf(child);
        if (parent == kNone) return false;
        const std::string& point = volumes[child].MountPoint;
        for (std::size_t sibling = 0; sibling < volumes.size(); ++sibling) {
            const TMountedVolume& v = volumes[sibling];
            if (sibling != child && sibling != parent && v.Parent == volumes[parent].Id &&
                v.MountPoint != point && PathIsInside(point, v.MountPoint))
                return true;
        }
        child = parent;
    }
    return false;
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

bool IsBlockOrFile(const struct stat& st) {
    return S_ISBLK(st.st_mode) || S_ISREG(st.st_mode);
}

// The first n bytes of a block device or image file; fewer when it is
// shorter, empty when it cannot be read. Anything else named as a mount
// source is not even opened: opening a FIFO or a character device can wait
// for a writer, take a controlling terminal or rewind a tape.
std::string ReadHead(const std::string& path, std::size_t n) {
    struct stat named {};
    if (::stat(path.c_str(), &named) != 0 || !IsBlockOrFile(named)) return {};
    const TUniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.IsOpen()) return {};
    std::string bytes;
    struct stat st {};
    if (::fstat(fd.Get(), &st) == 0 && IsBlockOrFile(st)) ReadAt(fd.Get(), 0, n, bytes);
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
        if (!volume.Floppy)
            volume.Port =
                LinkNameTo(paths.DiskByPath, DeviceKey(paths.DeviceRoot + volume.Device), paths);
    } else {
        volume.Type = TDriveType::Fixed;
    }
}

TVolumeLocation LocateVolume(std::string_view path, const TPlatformPaths& paths) {
    TVolumeLocation where;
    if (path.empty()) return where;
    const std::optional<std::string> canonical = ResolvePath(std::string(path));
    if (!canonical) return where;
    where.Exists = true;

    std::vector<TMountedVolume> volumes = ReadRawVolumes(paths);
    const TMountedVolume* best = nullptr;
    // Of equal mount points the later mount hides the earlier one.
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        const TMountedVolume& v = volumes[i];
        if (PathIsInside(*canonical, v.MountPoint) &&
            (!best || v.MountPoint.size() >= best->MountPoint.size()) && !IsHidden(volumes, i))
            best = &v;
    }

    // A mount point of fstab deeper than every mounted one on the way to the
    // path is not mounted: its folder lies on the outer volume, its drive is
    // empty. Of several such entries the deepest holds the path.
    std::size_t deepest = best ? best->MountPoint.size() : 0;
    for (const TFstabEntry& entry : ParseFstab(ReadText(paths.Fstab))) {
        const std::string mountPoint = RealPath(entry.MountPoint).value_or(entry.MountPoint);
        if (mountPoint.size() > deepest && PathIsInside(*canonical, mountPoint)) {
            deepest = mountPoint.size();
            where.Unmounted = EntryVolume(entry, mountPoint, paths);
        }
    }
    if (where.Unmounted) return where;
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

std::optional<TMountedVolume> DriveOf(std::string_view path, const TPlatformPaths& paths) {
    TVolumeLocation where = LocateVolume(path, paths);
    return where.Mounted ? std::move(where.Mounted) : std::move(where.Unmounted);
}

TDriveType DriveTypeOf(std::string_view path, const TPlatformPaths& paths) {
    const std::optional<TMountedVolume> drive = DriveOf(path, paths);
    return drive ? drive->Type : TDriveType::NoRoot;
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
        // The UUID only stands in for a serial the device did not give.
        if (!sb || !sb->Serial) uuid = LinkNameTo(paths.DiskByUuid, key, paths);
        // An ISO 9660 disc's label is the one of the descriptor that gave
        // the serial (the Joliet one where there is one); udev's link may
        // name the primary descriptor's instead.
        if (family == TFsFamily::Iso9660 && sb)
            label = sb->Label;
        else
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

std::vector<std::string> OpticalDrives(const TPlatformPaths& paths) {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = fs::directory_iterator(paths.SysBlock, ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (DriveTypeByName({}, name) == TDriveType::CdRom) names.push_back(std::move(name));
    }
    // "sr2" before "sr10".
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    for (std::string& name : names)
        name = "/dev/" + name;
    return names;
}

TVolumeInfo VolumeSerial(std::string_view path, const TPlatformPaths& paths) {
    const std::optional<TMountedVolume> volume = VolumeOfPath(path, paths);
    if (!volume) return TVolumeInfo{};
    return VolumeInfoOf(*volume, paths);
}

} // namespace orbisk
