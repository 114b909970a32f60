#include "gui/scan/ScanMedium.h"

namespace orbisk {

namespace {

// True when mountPoint is path or one of its parent folders.
bool Contains(std::string_view mountPoint, std::string_view path) {
    if (mountPoint == "/") return !path.empty() && path.front() == '/';
    if (!path.starts_with(mountPoint)) return false;
    return path.size() == mountPoint.size() || path[mountPoint.size()] == '/';
}

} // namespace

std::optional<TMountedVolume> VolumeHolding(const std::vector<TMountedVolume>& volumes,
                                            std::string_view path) {
    const TMountedVolume* best = nullptr;
    for (const TMountedVolume& volume : volumes) {
        std::string_view mountPoint = volume.MountPoint;
        while (mountPoint.size() > 1 && mountPoint.back() == '/')
            mountPoint.remove_suffix(1);
        if (!Contains(mountPoint, path)) continue;
        // A later mount over the same point hides the earlier one.
        if (!best || mountPoint.size() >= std::string_view(best->MountPoint).size()) best = &volume;
    }
    if (!best) return std::nullopt;
    return *best;
}

bool IsFloppySource(VolumeProbe& probe, std::string_view source) {
    if (source.size() >= 2 && source[1] == ':') {
        const char letter = source[0];
        if (letter == 'A' || letter == 'B' || letter == 'a' || letter == 'b') return true;
    }
    if (source.empty()) return false;
    const std::optional<TMountedVolume> volume = VolumeHolding(probe.Volumes(), source);
    return volume && volume->Floppy;
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
