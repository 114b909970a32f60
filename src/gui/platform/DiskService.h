#pragma once
// Unmounting and ejecting a medium the way file managers do it: through the
// desktop's disk service (UDisks2 on the system D-Bus), so no root rights are
// needed. The kernel refuses to eject a mounted disc, and a disc the desktop
// has mounted can only be unmounted by root or through that service. The
// scan window holds one; tests give it a scripted one.
#include <QString>

namespace orbisk {

// The outcome of one step; Error holds the service's or the system's reason.
struct TDiskStep {
    bool Ok = true;
    QString Error;
};

class DiskService {
public:
    virtual ~DiskService() = default;
    // Unmounts the file system on device ("/dev/sr0").
    virtual TDiskStep Unmount(const QString& device) = 0;
    // Opens the tray of device's drive; an empty device names the system's
    // first optical drive.
    virtual TDiskStep Eject(const QString& device) = 0;
    // Closes the tray of device's drive (empty: the first optical drive).
    virtual TDiskStep Close(const QString& device) = 0;
};

// UDisks2: Filesystem.Unmount on the block device's object, Drive.Eject on
// the drive that holds it. Where the service cannot be reached, the drive's
// own CD-ROM ioctls open the tray; closing always takes the ioctl (UDisks2
// has no command for it).
class UDisksService : public DiskService {
public:
    TDiskStep Unmount(const QString& device) override;
    TDiskStep Eject(const QString& device) override;
    TDiskStep Close(const QString& device) override;
};

} // namespace orbisk
