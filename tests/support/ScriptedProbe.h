#pragma once
// A volume probe for tests: the volumes, drives, serials and discs it
// reports are tables the test fills and changes between ticks.
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/platform/Volumes.h"

namespace orbisk::test {

// Answers from tables the test changes at will; paths not named get the
// defaults.
class ScriptedProbe : public VolumeProbe {
public:
    TVolumeInfo Serial(const std::string& path) override {
        auto found = serials.find(path);
        return found != serials.end() ? found->second : serial;
    }
    TDriveType DriveType(const std::string& path) override {
        auto found = types.find(path);
        return found != types.end() ? found->second : type;
    }
    std::vector<TMountedVolume> Volumes() override { return volumes; }
    std::optional<TMountedVolume> Drive(const std::string& path) override {
        auto found = drives.find(path);
        if (found == drives.end()) return std::nullopt;
        return found->second;
    }
    std::optional<TCdToc> AudioToc(const std::string& device) override {
        auto found = tocs.find(device);
        if (found == tocs.end()) return std::nullopt;
        return found->second;
    }
    std::vector<std::string> OpticalDrives() override { return optical; }

    TVolumeInfo serial{"DATA", "1A2B-0C3D"};
    TDriveType type = TDriveType::Fixed;
    std::map<std::string, TVolumeInfo> serials;
    std::map<std::string, TDriveType> types;
    std::vector<TMountedVolume> volumes;
    std::map<std::string, TMountedVolume> drives; // the drive holding a path
    std::map<std::string, TCdToc> tocs;           // the disc in a drive, by device
    std::vector<std::string> optical;             // the optical drives, empty or not
};

inline TMountedVolume Mounted(std::string mountPoint, TDriveType type, bool floppy = false) {
    TMountedVolume volume;
    volume.MountPoint = std::move(mountPoint);
    volume.Type = type;
    volume.Floppy = floppy;
    return volume;
}

// A volume mounted from device.
inline TMountedVolume MountedFrom(std::string mountPoint, std::string device, TDriveType type) {
    TMountedVolume volume = Mounted(std::move(mountPoint), type);
    volume.Device = std::move(device);
    return volume;
}

} // namespace orbisk::test
