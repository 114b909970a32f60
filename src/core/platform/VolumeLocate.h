#pragma once
// Inside the volume layer: where a path lies among the mounted volumes and
// the fstab entries that are not mounted, shared by the probes and the door.
#include <optional>
#include <string>
#include <string_view>

#include "core/platform/Volumes.h"

namespace orbisk {

struct TVolumeLocation {
    bool Exists = false;                     // the path could be resolved
    std::optional<TMountedVolume> Mounted;   // the volume holding it
    std::optional<TMountedVolume> Unmounted; // the empty drive's fstab entry holding it
};

// Resolves path (a relative one from the current folder; inside a folder
// that may not be searched, as far as it can be) and finds the volume holding
// it: the mounted volume with the longest mount point containing it that no
// later mount hides, unless the mount point of an fstab entry that is not
// mounted lies deeper on the way to it (then Unmounted is the deepest such
// entry, typed as its drive would be, and Mounted is empty).
TVolumeLocation LocateVolume(std::string_view path, const TPlatformPaths& paths);

// Sets the drive type and floppy flag of a volume from its file system, its
// device name and the device's sysfs entry.
void ClassifyVolume(TMountedVolume& volume, const TPlatformPaths& paths);

// The kernel's name of a volume's device ("sr0" for "/dev/cdrom"), with
// symbolic links under DeviceRoot followed; empty for a source that is no
// device path ("tmpfs", "server:/export").
std::string DeviceNameOf(const TMountedVolume& volume, const TPlatformPaths& paths);

} // namespace orbisk
