#include "core/scan/RunMedium.h"

#include <algorithm>
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
        const std::string target = RunTarget(root, request_.EntryPath, request_.EntryName);
        if (!EntryThere(target, request_.IsFolder)) continue;
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
