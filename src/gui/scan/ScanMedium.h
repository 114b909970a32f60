#pragma once
// What the scan window asks of the volumes through its probe: whether a
// source lies on a floppy, whether a medium is in, which optical drive to
// preset as the source, and which drive the window watches and what medium is
// in it now.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/Volumes.h"

namespace orbisk {

// True when the drive holding the source is a floppy drive (mounted or
// empty), or the source is written as the drive A: or B: ("a:\" too).
bool IsFloppySource(VolumeProbe& probe, std::string_view source);

// The polling interval for a source: slow for floppies, whose drives are
// noisy and slow to answer.
inline constexpr int kPollInterval = 1000;
inline constexpr int kFloppyPollInterval = 10000;
int PollInterval(VolumeProbe& probe, std::string_view source);

// True when the probe finds a medium for path (its serial is not
// "0000-0000").
bool HasMedium(VolumeProbe& probe, const std::string& path);

// Whether a medium is in for the source; info receives its label and serial.
// A fixed, remote or RAM volume always holds its medium, whether or not its
// file system names a serial; any other counts as empty while its serial is
// "0000-0000".
bool MediumPresent(VolumeProbe& probe, const std::string& source, TVolumeInfo& info);

// The source that presets the first (or, with last, the last) optical drive:
// the mount point of the disc in it, or the drive's device when it is empty.
// Without the kernel's list of drives, the first (last) mounted optical
// volume that holds a medium. Nothing when there is no optical drive.
std::optional<std::string> CdDriveSource(VolumeProbe& probe, bool last);

// The drive the scan window watches for a source: the optical or removable
// drive holding it (each medium put into it is mounted at a path of its own),
// or the device a source such as "/dev/sr0" names. Nothing for a source on a
// fixed, remote or RAM volume, or on no drive the probe knows.
std::optional<TMountedVolume> WatchedDrive(VolumeProbe& probe, const std::string& source);

// What is in a watched drive now.
struct TDriveMedium {
    bool Present = false;
    TVolumeInfo Info;               // label and serial of the medium
    std::string MountPoint;         // where its file system is mounted; empty for none
    std::optional<TCdToc> AudioToc; // the table of contents of an audio CD
};

// The medium in drive: the first volume mounted from its device, else, in an
// optical drive, an audio CD (a disc with audio tracks and no mounted file
// system). Not present when neither is there.
TDriveMedium MediumInDrive(VolumeProbe& probe, const TMountedVolume& drive);

// Where the source moves for the medium now in drive: to the mount point of
// its file system (a source inside it stays), or to the drive itself for an
// audio CD. Nothing when the source stays (an empty drive leaves it as it was).
std::optional<std::string> FollowedSource(const TDriveMedium& medium, const TMountedVolume& drive,
                                          const std::string& source);

} // namespace orbisk
