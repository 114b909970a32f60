#include "gui/scan/ScanMedium.h"

#include <filesystem>

#include "core/platform/MountTable.h"

namespace orbisk {

bool IsFloppySource(VolumeProbe& probe, std::string_view source) {
    if (source.size() >= 2 && source[1] == ':') {
        const char letter = source[0];
        if (letter == 'A' || letter == 'B' || letter == 'a' || letter == 'b') return true;
    }
    if (source.empty()) return false;
    const std::optional<TMountedVolume> drive = probe.Drive(std::string(source));
    return drive && drive->Floppy;
}

int PollInterval(VolumeProbe& probe, std::string_view source) {
    return IsFloppySource(probe, source) ? kFloppyPollInterval : kPollInterval;
}

bool HasMedium(VolumeProbe& probe, const std::string& path) {
    return !path.empty() && probe.Serial(path).Serial != kNoSerial;
}

bool MediumPresent(VolumeProbe& probe, const std::string& source, TVolumeInfo& info) {
    info = TVolumeInfo{};
    if (source.empty()) return false;
    info = probe.Serial(source);
    if (info.Serial != kNoSerial) return true;
    switch (probe.DriveType(source)) {
    case TDriveType::Fixed:
    case TDriveType::Remote:
    case TDriveType::RamDisk:
        return true;
    default:
        return false;
    }
}

std::optional<std::string> CdDriveSource(VolumeProbe& probe, bool last) {
    // The drives the kernel knows, empty ones too: an empty drive is preset
    // as its device, and the window follows the disc put into it.
    const std::vector<std::string> drives = probe.OpticalDrives();
    if (!drives.empty()) {
        TMountedVolume drive;
        drive.Type = TDriveType::CdRom;
        drive.Device = last ? drives.back() : drives.front();
        const TDriveMedium medium = MediumInDrive(probe, drive);
        return medium.MountPoint.empty() ? drive.Device : medium.MountPoint;
    }
    // Without the kernel's list, the optical volumes mounted now.
    std::optional<std::string> found;
    for (const TMountedVolume& volume : probe.Volumes()) {
        if (volume.Type != TDriveType::CdRom || !HasMedium(probe, volume.MountPoint)) continue;
        found = volume.MountPoint;
        if (!last) break;
    }
    return found;
}

namespace {

// A typed device path: an optical drive by its kernel's names, any other a
// removable drive.
TMountedVolume DeviceDrive(const std::string& device) {
    TMountedVolume drive;
    drive.Device = device;
    const std::string name = std::filesystem::path(device).filename().string();
    const bool optical = name.starts_with("sr") || name.starts_with("cdrom") ||
                         name.starts_with("dvd") || name.starts_with("cdrw");
    drive.Type = optical ? TDriveType::CdRom : TDriveType::Removable;
    return drive;
}

} // namespace

std::optional<TMountedVolume> WatchedDrive(VolumeProbe& probe, const std::string& source) {
    if (source.starts_with("/dev/")) return DeviceDrive(source);
    if (source.empty()) return std::nullopt;
    std::optional<TMountedVolume> drive = probe.Drive(source);
    if (!drive || !drive->Device.starts_with('/')) return std::nullopt;
    if (drive->Type != TDriveType::CdRom && drive->Type != TDriveType::Removable)
        return std::nullopt;
    return drive;
}

TDriveMedium MediumInDrive(VolumeProbe& probe, const TMountedVolume& drive) {
    TDriveMedium medium;
    for (const TMountedVolume& volume : probe.Volumes()) {
        if (!MountedFromDrive(volume, drive)) continue;
        medium.Present = true;
        medium.MountPoint = volume.MountPoint;
        medium.Info = probe.Serial(volume.MountPoint);
        return medium;
    }
    if (drive.Type != TDriveType::CdRom) return medium;
    std::optional<TCdToc> toc = probe.AudioToc(drive.Device);
    if (toc && !AudioTracks(*toc).empty()) {
        medium.Present = true;
        medium.Info = AudioCdVolume(*toc);
        medium.AudioToc = std::move(toc);
    }
    return medium;
}

std::optional<std::string> FollowedSource(const TDriveMedium& medium, const TMountedVolume& drive,
                                          const std::string& source) {
    if (!medium.MountPoint.empty())
        return PathIsInside(source, medium.MountPoint) ? std::nullopt
                                                       : std::optional(medium.MountPoint);
    if (medium.AudioToc && source != drive.Device) return drive.Device;
    return std::nullopt;
}

} // namespace orbisk
