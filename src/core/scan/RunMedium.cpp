#include "core/scan/RunMedium.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>

#include "core/catalog/Browse.h"
#include "core/catalog/CodePage.h"
#include "core/catalog/Common.h"
#include "core/platform/MountTable.h"

namespace orbisk {

namespace {

bool IsDevicePath(std::string_view source) {
    return source.starts_with('/');
}

// Folders of the system whose RAM disks hold its own run-time files.
constexpr std::string_view kSystemFolders[] = {"/dev", "/proc", "/run", "/sys"};

bool InSystemFolder(std::string_view mountPoint) {
    return std::any_of(std::begin(kSystemFolders), std::end(kSystemFolders),
                       [&](std::string_view folder) { return PathIsInside(mountPoint, folder); });
}

// Optical and removable volumes are drives whose media come and go: they
// are named and followed by their device.
bool IsFollowed(const TMountedVolume& volume) {
    return (volume.Type == TDriveType::CdRom || volume.Type == TDriveType::Removable) &&
           IsDevicePath(volume.Device);
}

TRunDrive DeviceDrive(const std::string& device, TDriveType type) {
    TRunDrive drive;
    drive.Name = device;
    drive.Volume.Device = device;
    drive.Volume.Type = type;
    drive.Follows = true;
    return drive;
}

TRunDrive VolumeDrive(const TMountedVolume& volume) {
    if (IsFollowed(volume)) {
        TRunDrive drive = DeviceDrive(volume.Device, volume.Type);
        drive.Volume.Port = volume.Port;
        return drive;
    }
    TRunDrive drive;
    drive.Name = volume.MountPoint;
    drive.Volume = volume;
    return drive;
}

bool Listed(const TRunDrives& list, const std::string& name) {
    return std::any_of(list.Drives.begin(), list.Drives.end(),
                       [&](const TRunDrive& d) { return d.Name == name; });
}

// "/media/cd/" names the same folder as "/media/cd".
std::string_view WithoutTrailingSlash(std::string_view path) {
    while (path.size() > 1 && path.back() == '/')
        path.remove_suffix(1);
    return path;
}

} // namespace

bool InsidePackedFile(std::string_view path) {
    const std::string upper = UpperAscii(path);
    return upper.find(".ZIP\\") != std::string::npos || upper.find(".RAR\\") != std::string::npos;
}

std::optional<TRunRequest> RunRequestFor(const TArch& arch, std::string_view path,
                                         std::int32_t rec) {
    if (InsidePackedFile(path) || rec < 1 || rec > arch.RecCount ||
        static_cast<std::size_t>(rec) >= arch.Recs.size())
        return std::nullopt;
    const TRec& entry = arch.Recs[static_cast<std::size_t>(rec)];
    TRunRequest request;
    request.EntryPath = std::string(path);
    request.EntryName = std::string(entry.Name);
    request.IsFolder = EntryKind(entry) == 'd';
    request.ArchiveName = arch.Head.Name;
    request.Medium = arch.Head.Medium;
    request.Label = arch.Head.Volume;
    request.ExpectedSerial = arch.Head.SN;
    return request;
}

bool HasMediumSerial(std::string_view serial) {
    return !serial.empty() && serial != kNoSerial;
}

bool IsUserVolume(const TMountedVolume& volume) {
    switch (volume.Type) {
    case TDriveType::Remote:
        return true;
    case TDriveType::RamDisk:
        return !InSystemFolder(volume.MountPoint);
    case TDriveType::CdRom:
    case TDriveType::Removable:
    case TDriveType::Fixed:
        return IsDevicePath(volume.Device) && volume.FsType != "squashfs";
    default:
        return false;
    }
}

TRunDrives RunDriveList(VolumeProbe& probe, bool lastCdDrive) {
    TRunDrives list;
    const std::vector<TMountedVolume> volumes = probe.Volumes();
    std::vector<std::string> optical = probe.OpticalDrives();
    for (const TMountedVolume& v : volumes)
        if (v.Type == TDriveType::CdRom && IsDevicePath(v.Device) &&
            std::find(optical.begin(), optical.end(), v.Device) == optical.end())
            optical.push_back(v.Device);
    for (const std::string& device : optical)
        list.Drives.push_back(DeviceDrive(device, TDriveType::CdRom));
    if (!optical.empty()) list.Preset = lastCdDrive ? optical.size() - 1 : 0;
    for (const bool followed : {true, false})
        for (const TMountedVolume& v : volumes) {
            if (v.Type == TDriveType::CdRom || !IsUserVolume(v) || IsFollowed(v) != followed)
                continue;
            TRunDrive drive = VolumeDrive(v);
            if (!Listed(list, drive.Name)) list.Drives.push_back(std::move(drive));
        }
    return list;
}

std::optional<TRunDrive> TypedRunDrive(VolumeProbe& probe, const TRunDrives& list,
                                       std::string_view text) {
    const std::string_view typed = WithoutTrailingSlash(text);
    if (typed.empty()) return std::nullopt;
    for (const TRunDrive& drive : list.Drives)
        if (drive.Name == typed) return drive;
    for (const TMountedVolume& v : probe.Volumes())
        if (IsUserVolume(v) && (v.MountPoint == typed || (IsFollowed(v) && v.Device == typed)))
            return VolumeDrive(v);
    for (const std::string& device : probe.OpticalDrives())
        if (device == typed) return DeviceDrive(device, TDriveType::CdRom);
    return std::nullopt;
}

std::string RunTarget(std::string_view root, std::string_view entryPath,
                      std::string_view entryName) {
    std::string inside = std::string(entryPath) + std::string(entryName);
    if (!IsValidUtf8(inside)) inside = Cp1250ToUtf8(inside);
    for (char& c : inside)
        if (c == '\\') c = '/';
    std::string target(WithoutTrailingSlash(root));
    if (target == "/") target.clear();
    if (!inside.starts_with('/')) target += '/';
    return target + inside;
}

bool EntryThere(const std::string& target, bool folder) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) == folder;
}

namespace {

// The name in folder that equals name but for the case of ASCII letters, the
// first in the folder's order; empty when there is none.
std::string NameInOtherCase(const std::string& folder, std::string_view name) {
    const std::string upper = UpperAscii(name);
    DIR* dir = ::opendir(folder.empty() ? "/" : folder.c_str());
    if (!dir) return {};
    std::string found;
    while (const dirent* e = ::readdir(dir)) {
        if (UpperAscii(e->d_name) == upper) {
            found = e->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

bool FindEntry(std::string_view root, std::string& target, bool folder) {
    if (EntryThere(target, folder)) return true;
    std::string base(WithoutTrailingSlash(root));
    if (base == "/") base.clear();
    if (!target.starts_with(base)) return false;
    std::string path = base;
    std::string_view rest = std::string_view(target).substr(base.size());
    while (!rest.empty()) {
        const std::size_t start = rest.find_first_not_of('/');
        if (start == std::string_view::npos) break;
        rest.remove_prefix(start);
        const std::string_view name = rest.substr(0, rest.find('/'));
        rest.remove_prefix(name.size());
        struct stat st {};
        const std::string exact = path + "/" + std::string(name);
        if (::lstat(exact.c_str(), &st) == 0) {
            path = exact;
            continue;
        }
        const std::string other = NameInOtherCase(path, name);
        if (other.empty()) return false;
        path += "/" + other;
    }
    if (!EntryThere(path, folder)) return false;
    target = path;
    return true;
}

bool TRunWatch::Start(const TRunRequest& request, bool alwaysIgnoreSerial) {
    request_ = request;
    seconds_ = 0;
    foundTicks_ = 0;
    lastTarget_.clear();
    return request_.ExpectedSerial.empty() || alwaysIgnoreSerial;
}

std::string TRunWatch::RootOf(VolumeProbe& probe, const TRunDrive& drive) {
    if (!drive.Follows) return drive.Volume.MountPoint;
    for (const TMountedVolume& v : probe.Volumes())
        if (MountedFromDrive(v, drive.Volume)) return v.MountPoint;
    return {};
}

TRunTick TRunWatch::Tick(VolumeProbe& probe, const TRunDrive* drive, bool ignoreSerial) {
    ++seconds_;
    TRunTick tick;
    tick.IgnoreSerial = ignoreSerial;
    std::vector<std::string> roots;
    if (drive) {
        roots.push_back(RootOf(probe, *drive));
    } else {
        for (const TMountedVolume& v : probe.Volumes())
            if (IsUserVolume(v) &&
                std::find(roots.begin(), roots.end(), v.MountPoint) == roots.end())
                roots.push_back(v.MountPoint);
    }
    // Of several volumes holding the entry, the one with the archive's serial
    // (any drive only: a single drive's serial is read once it counts).
    std::string serial;
    for (const std::string& root : roots) {
        if (root.empty()) continue;
        std::string target = RunTarget(root, request_.EntryPath, request_.EntryName);
        if (!FindEntry(root, target, request_.IsFolder)) continue;
        const bool first = !tick.Found;
        if (first) tick.Target = target;
        tick.Found = true;
        if (drive || ignoreSerial) break;
        const std::string there = probe.Serial(root).Serial;
        if (first) serial = there;
        if (there == request_.ExpectedSerial) {
            tick.Target = target;
            serial = there;
            break;
        }
    }
    // Finds count in a row on the same place: a medium that moved starts over.
    foundTicks_ = !tick.Found ? 0 : tick.Target == lastTarget_ ? foundTicks_ + 1 : 1;
    lastTarget_ = tick.Target;
    if (!tick.Found || foundTicks_ < 2) return tick;
    if (!tick.IgnoreSerial) {
        if (drive) serial = probe.Serial(roots.front()).Serial;
        tick.IgnoreSerial = serial == request_.ExpectedSerial;
    }
    tick.ShowIgnoreBox = true;
    tick.Open = tick.IgnoreSerial;
    return tick;
}

} // namespace orbisk
