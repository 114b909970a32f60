#include "gui/scan/ScanMedium.h"

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

std::optional<std::string> CdDriveMountPoint(VolumeProbe& probe, bool last) {
    std::optional<std::string> found;
    for (const TMountedVolume& volume : probe.Volumes()) {
        if (volume.Type != TDriveType::CdRom || !HasMedium(probe, volume.MountPoint)) continue;
        found = volume.MountPoint;
        if (!last) break;
    }
    return found;
}

} // namespace orbisk
