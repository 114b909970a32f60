#pragma once
// The mounted volumes of this machine and what the scan window asks of them:
// the drive type of the volume holding a path, its label and serial text, and
// the door of an optical drive. Every probe reads its sources through
// TPlatformPaths, so tests point it at a fake tree.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/catalog/Common.h"
#include "core/platform/AudioCd.h"

namespace orbisk {

// The drive types, numbered as the catalogue's callers know them.
enum class TDriveType : int {
    Unknown = 0,
    NoRoot = 1, // the path does not exist
    Removable = 2,
    Fixed = 3,
    Remote = 4,
    CdRom = 5,
    RamDisk = 6,
};

struct TMountedVolume {
    std::string MountPoint; // octal escapes of mountinfo decoded ("\040" is a blank)
    std::string Device;     // the mount source, for example "/dev/sr0"
    std::string FsType;     // "iso9660", "vfat", ...
    std::string MajorMinor; // "11:0"
    TDriveType Type = TDriveType::Fixed;
    bool Floppy = false; // on a /dev/fd* device
    int Id = -1;         // mountinfo's mount ID and the ID of the mount it hangs
    int Parent = -1;     // from; -1 when unknown
    // Where a removable device sits on its bus, as udev names it
    // ("pci-0000:00:14.0-usb-0:2:1.0-scsi-0:0:0:0-part1"): the same for
    // every stick put into one socket, whatever device name the kernel gives
    // it. Empty for other volumes and when udev has no such name.
    std::string Port = {};
};

// True when volume is mounted from drive: for a drive whose socket is known
// (a stick, which may come back under another device name) by that socket,
// for any other by its device.
inline bool MountedFromDrive(const TMountedVolume& volume, const TMountedVolume& drive) {
    return drive.Port.empty() ? volume.Device == drive.Device : volume.Port == drive.Port;
}

// Where the probes read. The defaults are the live system; tests set every
// path to a folder of their own.
struct TPlatformPaths {
    std::string MountInfo = "/proc/self/mountinfo";
    std::string Fstab = "/etc/fstab";
    std::string SysBlock = "/sys/block";
    std::string DiskByLabel = "/dev/disk/by-label";
    std::string DiskByUuid = "/dev/disk/by-uuid";
    std::string DiskByPath = "/dev/disk/by-path";
    // Put before a device path when the device itself is opened ("" live).
    std::string DeviceRoot;
};

// Every mounted volume, in mountinfo order.
std::vector<TMountedVolume> ReadMountedVolumes(const TPlatformPaths& paths = {});

// The volume holding path: the mounted volume with the longest mount point
// that contains it and that no later mount hides. Nothing when the path does
// not exist, or when it lies at or below the mount point of an fstab entry
// that is not mounted now (an empty drive whose mount point folder is on the
// outer volume).
std::optional<TMountedVolume> VolumeOfPath(std::string_view path, const TPlatformPaths& paths = {});

// The drive type of the volume holding path. A path at or under the mount
// point of an fstab entry that is not mounted has the type of that entry's
// drive (an empty CD-ROM drive stays a CD-ROM drive); NoRoot when the path
// does not exist or no volume holds it.
TDriveType DriveTypeOf(std::string_view path, const TPlatformPaths& paths = {});

// The drive holding path: the mounted volume holding it, or the fstab entry
// of the empty drive whose mount point it lies at or under (typed as its
// drive, with its floppy flag). Nothing when no volume holds the path.
std::optional<TMountedVolume> DriveOf(std::string_view path, const TPlatformPaths& paths = {});

// Label and serial text of the volume holding path; an empty label and
// "0000-0000" when no medium holds it.
TVolumeInfo VolumeSerial(std::string_view path, const TPlatformPaths& paths = {});

// Label and serial text of a mounted volume (an entry of ReadMountedVolumes),
// without looking at any path inside it.
TVolumeInfo VolumeInfoOf(const TMountedVolume& volume, const TPlatformPaths& paths = {});

// The devices of the optical drives the kernel knows ("/dev/sr0"), empty or
// not, in the order of their numbers.
std::vector<std::string> OpticalDrives(const TPlatformPaths& paths = {});

// Opens (open = true) or closes the door of the drive path names (a device
// such as "/dev/sr1"), of the optical drive that holds path, or of the first
// optical drive when path is on none. False when no
// drive took the command; errno then tells why (EBUSY: a mounted disc).
bool SetDoor(std::string_view path, bool open, const TPlatformPaths& paths = {});

// Everything the scan window asks the system about media. The window holds
// one; tests give it a scripted one.
class VolumeProbe {
public:
    virtual ~VolumeProbe() = default;
    virtual TVolumeInfo Serial(const std::string& path) = 0;
    virtual TDriveType DriveType(const std::string& path) = 0;
    virtual std::vector<TMountedVolume> Volumes() = 0;
    virtual std::optional<TMountedVolume> Drive(const std::string& path) = 0;
    // The table of contents of the disc in the optical drive device.
    virtual std::optional<TCdToc> AudioToc(const std::string& device) = 0;
    virtual std::vector<std::string> OpticalDrives() = 0;
};

// The probe of the live system (or of the fake tree paths names).
class SystemVolumeProbe : public VolumeProbe {
public:
    explicit SystemVolumeProbe(TPlatformPaths paths = {}) : paths_(std::move(paths)) {}
    TVolumeInfo Serial(const std::string& path) override { return VolumeSerial(path, paths_); }
    TDriveType DriveType(const std::string& path) override { return DriveTypeOf(path, paths_); }
    std::vector<TMountedVolume> Volumes() override { return ReadMountedVolumes(paths_); }
    std::optional<TMountedVolume> Drive(const std::string& path) override {
        return DriveOf(path, paths_);
    }
    std::optional<TCdToc> AudioToc(const std::string& device) override {
        return ReadCdToc(paths_.DeviceRoot + device);
    }
    std::vector<std::string> OpticalDrives() override { return orbisk::OpticalDrives(paths_); }

private:
    TPlatformPaths paths_;
};

} // namespace orbisk
