#pragma once
// The door of the drive the scan window watches: which device it addresses,
// and opening it with the unmount the kernel needs first.
#include <QString>
#include <optional>
#include <string>

#include "core/platform/Volumes.h"

namespace orbisk {

class DiskService;

// The device a door command addresses: the watched drive, else the optical
// drive holding the source, else the system's first mounted optical drive;
// empty when none is known (the disk service then takes the first one).
std::string DoorDevice(VolumeProbe& probe, const std::optional<TMountedVolume>& watched,
                       const std::string& source);

// The step of a door command that failed.
enum class TDoorFailure { None, Unmount, Open, Close };

struct TDoorResult {
    TDoorFailure Failure = TDoorFailure::None;
    QString Error; // the reason the service gave
    bool Ok() const { return Failure == TDoorFailure::None; }
};

// Opens the door of device (unmounting the medium first when a volume is
// mounted from it: the kernel keeps the tray of a mounted disc shut) or
// closes it, stopping at the first step that fails.
TDoorResult MoveDoor(VolumeProbe& probe, DiskService& disks, const std::string& device, bool open);

} // namespace orbisk
