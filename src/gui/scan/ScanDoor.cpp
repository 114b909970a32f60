#include "gui/scan/ScanDoor.h"

#include <QFile>

#include "gui/platform/DiskService.h"

namespace orbisk {

namespace {

bool IsDevice(const std::string& device) {
    return device.starts_with('/');
}

TDoorResult Failed(TDoorFailure step, const TDiskStep& outcome) {
    return TDoorResult{step, outcome.Error};
}

} // namespace

std::string DoorDevice(VolumeProbe& probe, const std::optional<TMountedVolume>& watched,
                       const std::string& source) {
    if (watched) return watched->Device;
    if (!source.empty()) {
        const std::optional<TMountedVolume> drive = probe.Drive(source);
        if (drive && drive->Type == TDriveType::CdRom && IsDevice(drive->Device))
            return drive->Device;
    }
    for (const TMountedVolume& volume : probe.Volumes())
        if (volume.Type == TDriveType::CdRom && IsDevice(volume.Device)) return volume.Device;
    return {};
}

TDoorResult MoveDoor(VolumeProbe& probe, DiskService& disks, const std::string& device, bool open) {
    const QString name = QFile::decodeName(QByteArray::fromStdString(device));
    if (!open) {
        const TDiskStep closed = disks.Close(name);
        return closed.Ok ? TDoorResult{} : Failed(TDoorFailure::Close, closed);
    }
    bool mounted = false;
    if (!device.empty())
        for (const TMountedVolume& volume : probe.Volumes())
            mounted = mounted || volume.Device == device;
    if (mounted) {
        const TDiskStep unmounted = disks.Unmount(name);
        if (!unmounted.Ok) return Failed(TDoorFailure::Unmount, unmounted);
    }
    const TDiskStep ejected = disks.Eject(name);
    return ejected.Ok ? TDoorResult{} : Failed(TDoorFailure::Open, ejected);
}

} // namespace orbisk
