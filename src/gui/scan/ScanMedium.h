#pragma once
// What the scan window asks of the volumes through its probe: whether a
// source lies on a floppy, whether a medium is in, and which
// optical drive to preset as the source.
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

// The mount point of the first (or, with last, the last) optical volume that
// holds a medium; nothing when there is none.
std::optional<std::string> CdDriveMountPoint(VolumeProbe& probe, bool last);

} // namespace orbisk
