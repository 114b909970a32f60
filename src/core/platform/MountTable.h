#pragma once
// The text side of the volume layer: mountinfo and fstab lines, the drive
// type a file system name or a device name implies, and the component-wise
// test of a path against a mount point. Nothing here touches the system.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Volumes.h"

namespace orbisk {

// Decodes the octal escapes the kernel writes into mountinfo and fstab
// fields ("\040" blank, "\011" TAB, "\012" LF, "\134" backslash). A backslash
// not followed by three octal digits stays as it is.
std::string DecodeMountEscapes(std::string_view field);

// One line of mountinfo: "id parent major:minor root mountpoint options
// [optional fields] - fstype source superoptions". The drive type is left at
// Fixed; nothing for a line without these fields.
std::optional<TMountedVolume> ParseMountInfoLine(std::string_view line);

// Every well-formed line of a mountinfo text, in order.
std::vector<TMountedVolume> ParseMountInfo(std::string_view text);

struct TFstabEntry {
    std::string Device; // "/dev/sr0", "UUID=...", "LABEL=..."
    std::string MountPoint;
    std::string FsType;
};

// The entries of an fstab text whose mount point is an absolute path
// (comments, blank lines and swap entries are left out).
std::vector<TFstabEntry> ParseFstab(std::string_view text);

// The drive type a file system name and the device's base name ("sr0",
// "sdb1") imply by themselves: CD-ROM, remote or RAM disk; nothing when only
// the device's sysfs entry can tell (removable or fixed).
std::optional<TDriveType> DriveTypeByName(std::string_view fsType, std::string_view deviceName);

// True for a device name of a floppy drive ("fd0").
bool IsFloppyName(std::string_view deviceName);

// True when path is mountPoint or lies below it, compared by whole path
// components: "/media/cd" is not inside "/media/c". Both are absolute.
bool PathIsInside(std::string_view path, std::string_view mountPoint);

} // namespace orbisk
