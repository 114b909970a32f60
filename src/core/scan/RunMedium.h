#pragma once
// Opening a catalogued entry from its medium: the drives the run window
// offers, where the entry lies on the medium a drive holds now, and the
// once-a-second look for it (two finds in a row, then the serial check). A
// drive is a device that is followed to wherever its medium is mounted, or a
// fixed, network or RAM volume named by its mount point; "any drive" looks
// at every such volume and opens the entry from the one whose serial is the
// archive's.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/Archive.h"
#include "core/platform/Volumes.h"

namespace orbisk {

// What the content browser hands the run window for one entry.
struct TRunRequest {
    std::string EntryPath; // archive path of the entry's folder ("\GAMES\")
    std::string EntryName;
    bool IsFolder = false;
    std::string ArchiveName;    // the archive's Name, for the caption
    std::string Medium;         // the archive's Medium and volume label, so the
    std::string Label;          // window can say which disc to insert
    std::string ExpectedSerial; // the archive's SN; may be empty
};

// True when an archive path lies inside a ZIP or RAR file whose members were
// listed (".ZIP\" or ".RAR\" in it, not case-sensitive): such members are on
// no medium as files of their own.
bool InsidePackedFile(std::string_view path);

// The request for entry rec of the folder path of arch; nothing inside a
// listed packed file or for a slot that holds no entry.
std::optional<TRunRequest> RunRequestFor(const TArch& arch, std::string_view path,
                                         std::int32_t rec);

// True when the archive has a serial a medium can match (not empty and not
// the "no medium" serial), so "any drive" can find its medium.
bool HasMediumSerial(std::string_view serial);

// One drive of the run window's list.
struct TRunDrive {
    std::string Name;      // as listed and typed: a device ("/dev/sr0") or a mount point
    TMountedVolume Volume; // Device of a followed drive, MountPoint of a volume
    bool Follows = false;  // an optical or removable drive: its medium is looked up by device
};

struct TRunDrives {
    std::vector<TRunDrive> Drives;
    std::optional<std::size_t> Preset; // the first (or last) optical drive
};

// Whether a mounted volume is a drive a user keeps files on: optical,
// removable and fixed volumes of a block device or image (not a package's
// squashfs image), network shares, and RAM disks outside the system's own
// folders (/dev, /proc, /run, /sys). Kernel file systems are none.
bool IsUserVolume(const TMountedVolume& volume);

// The drives to offer, in this order: the optical drives the kernel knows
// (empty ones too) and those of mounted discs, the removable volumes by
// their device, then the fixed, network and RAM volumes by mount point. The
// first optical drive is preset, or with lastCdDrive the last one.
TRunDrives RunDriveList(VolumeProbe& probe, bool lastCdDrive);

// The drive typed text names: a drive of the list by its name, the mount
// point of a mounted user volume (the drive of a disc or stick is its
// device), or the device of one. Nothing for any other text: it is no drive.
std::optional<TRunDrive> TypedRunDrive(VolumeProbe& probe, const TRunDrives& list,
                                       std::string_view text);

// Where the entry lies below root: the archive path with "\" turned into
// "/"; stored text that is not UTF-8 (an archive written on Windows) is taken
// as Windows-1250 and written as UTF-8, as Linux names the files of such media.
std::string RunTarget(std::string_view root, std::string_view entryPath,
                      std::string_view entryName);

// Found for a folder entry when target is a folder; for a file entry when
// target exists and is no folder.
bool EntryThere(const std::string& target, bool folder);

// EntryThere for target (a RunTarget below root), or for the same path in
// another case of its ASCII letters: a disc without long names (ISO 9660
// without Joliet or Rock Ridge) shows its names in lower case on Linux, while
// a catalogue made on Windows recorded them in upper case. Target then takes
// the spelling found. The exact spelling wins where both are there.
bool FindEntry(std::string_view root, std::string& target, bool folder);

// The outcome of one tick.
struct TRunTick {
    bool Found = false;         // the entry was there on this tick
    bool ShowIgnoreBox = false; // found twice in a row: the serial was compared
    bool IgnoreSerial = false;  // the "Ignore SN" box after the tick
    bool Open = false;          // hand Target to the shell and close
    std::string Target;
};

// The look for one request: activation starts it, each tick of the window's
// one-second timer asks the probe about the drive (or, for any drive, every
// user volume).
class TRunWatch {
public:
    // Activation: seconds and finds back to 0. Returns whether the "Ignore
    // SN" box starts ticked: when the archive has no serial, or when the
    // setting to ignore serials is on.
    bool Start(const TRunRequest& request, bool alwaysIgnoreSerial);
    // One tick on drive, or on every user volume when drive is nothing;
    // ignoreSerial is the box as the user left it.
    TRunTick Tick(VolumeProbe& probe, const TRunDrive* drive, bool ignoreSerial);

    int Seconds() const { return seconds_; }
    int FoundTicks() const { return foundTicks_; }
    const TRunRequest& Request() const { return request_; }

private:
    // The mount point of the medium the drive holds now; empty when none.
    static std::string RootOf(VolumeProbe& probe, const TRunDrive& drive);

    TRunRequest request_;
    int seconds_ = 0;
    int foundTicks_ = 0;
    std::string lastTarget_;
};

} // namespace orbisk
