#pragma once
// An audio CD has no file system to mount. What the program records for one
// is what Windows showed for such a disc: the label "AUDIO CD", a volume
// serial derived from the table of contents (the CD player's titles are keyed
// by it) and one 44-byte TrackNN.cda file per audio track in the root.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/Common.h"

namespace orbisk {

// The label of an audio CD, compared after upper-casing a-z.
inline constexpr std::string_view kAudioCdLabel = "AUDIO CD";

// The size of each TrackNN.cda file.
inline constexpr int kCdaFileSize = 44;

// A position on the disc in minutes, seconds and frames (75 a second), as
// the drive reports it: the first track of a pressed disc starts at 00:02:00.
struct TCdAddress {
    int Minute = 0;
    int Second = 0;
    int Frame = 0;
    std::uint32_t Frames() const {
        return static_cast<std::uint32_t>((Minute * 60 + Second) * 75 + Frame);
    }
};

struct TCdTrack {
    int Number = 0;
    TCdAddress Start;
    bool Data = false; // a data track (the CD-ROM ioctls' CDROM_DATA_TRACK bit)
};

// The table of contents: the tracks FirstTrack to LastTrack in order and the
// start of the lead-out.
struct TCdToc {
    int FirstTrack = 0;
    int LastTrack = 0;
    std::vector<TCdTrack> Tracks;
    TCdAddress LeadOut;
};

// The serial Windows gives an audio CD: the sum of every track's start
// address read as the number M << 16 | S << 8 | F, plus, on a disc of fewer
// than three tracks, the length of the disc in frames from the first track
// to the lead-out.
std::uint32_t AudioCdSerial(const TCdToc& toc);

// The numbers of the audio tracks, in order.
std::vector<int> AudioTracks(const TCdToc& toc);

// Label "AUDIO CD" and the serial text ("XXXX-XXXX") of an audio CD.
TVolumeInfo AudioCdVolume(const TCdToc& toc);

// The name of a track's file: "Track01.cda" to "Track99.cda".
std::string CdaFileName(int track);

// Reads the table of contents of the disc in the optical drive device
// (CDROMREADTOCHDR, CDROMREADTOCENTRY with addresses in MSF form). Nothing
// when the device is no optical drive, holds no disc or its table cannot be
// read.
std::optional<TCdToc> ReadCdToc(const std::string& device);

} // namespace orbisk
