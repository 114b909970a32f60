// The door of an optical drive, through the CD-ROM ioctls of its block
// device.
#include <cerrno>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "core/platform/VolumeLocate.h"
#include "core/platform/Volumes.h"

namespace orbisk {

namespace {

constexpr int kMaxNumberedDrives = 10; // sr0 to sr9

// The devices to try, best first: path itself when it is a block device, the
// optical drive holding path (mounted, or the empty drive of its fstab
// entry), then the system's first optical drive: /dev/cdrom, /dev/sr0 to
// /dev/sr9, the first CD-ROM volume mounted.
std::vector<std::string> Candidates(std::string_view path, const TPlatformPaths& paths) {
    std::vector<std::string> out;
    auto addVolume = [&](const std::optional<TMountedVolume>& v) {
        if (v && v->Type == TDriveType::CdRom && v->Device.starts_with('/'))
            out.push_back(paths.DeviceRoot + v->Device);
    };
    if (!path.empty()) {
        // A device path names its drive itself.
        struct stat st {};
        const std::string device = paths.DeviceRoot + std::string(path);
        if (path.starts_with('/') && ::stat(device.c_str(), &st) == 0 && S_ISBLK(st.st_mode))
            out.push_back(device);
        const TVolumeLocation where = LocateVolume(path, paths);
        addVolume(where.Mounted);
        addVolume(where.Unmounted);
    }
    out.push_back(paths.DeviceRoot + "/dev/cdrom");
    for (int i = 0; i < kMaxNumberedDrives; ++i)
        out.push_back(paths.DeviceRoot + "/dev/sr" + std::to_string(i));
    for (const TMountedVolume& v : ReadMountedVolumes(paths)) {
        if (v.Type != TDriveType::CdRom || !v.Device.starts_with('/')) continue;
        out.push_back(paths.DeviceRoot + v.Device);
        break;
    }
    return out;
}

} // namespace

bool SetDoor(std::string_view path, bool open, const TPlatformPaths& paths) {
    for (const std::string& device : Candidates(path, paths)) {
        // O_NONBLOCK opens a drive without a medium or with its tray out.
        const int fd = ::open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        // Only a block device takes the CD-ROM ioctls; anything else under
        // that name is passed over.
        if (::fstat(fd, &st) != 0 || !S_ISBLK(st.st_mode)) {
            ::close(fd);
            continue;
        }
        // The kernel refuses to eject a disc that is mounted (EBUSY): the
        // door simply stays as it is.
        const int result = ::ioctl(fd, open ? CDROMEJECT : CDROMCLOSETRAY, 0);
        const int error = errno;
        ::close(fd);
        errno = error;
        return result == 0;
    }
    errno = ENODEV;
    return false;
}

} // namespace orbisk
