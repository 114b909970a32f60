// The serial an audio CD gets from its table of contents, and which of its
// tracks become TrackNN.cda files. Tables recorded as a drive reports them
// (addresses in minutes, seconds, frames); serials worked out by hand.
#include <gtest/gtest.h>

#include "core/platform/AudioCd.h"

using namespace orbisk;

namespace {

struct TocCase {
    const char* name;
    std::vector<TCdTrack> tracks;
    TCdAddress leadOut;
    const char* serial;
    std::vector<int> audioTracks;
};

// The table of contents of a disc whose tracks are numbered from the first
// one given.
TCdToc Toc(const TocCase& c) {
    TCdToc toc;
    toc.FirstTrack = c.tracks.front().Number;
    toc.LastTrack = c.tracks.back().Number;
    toc.Tracks = c.tracks;
    toc.LeadOut = c.leadOut;
    return toc;
}

TCdTrack Audio(int number, int m, int s, int f) {
    return TCdTrack{number, {m, s, f}, false};
}

TCdTrack Data(int number, int m, int s, int f) {
    return TCdTrack{number, {m, s, f}, true};
}

// Short discs add their length in frames from the first track to the
// lead-out; from three tracks on only the start addresses count.
TEST(AudioCdSerialTest, SerialFromTheTableOfContents) {
    const std::vector<TocCase> cases = {
        // 0x000200 + (24790 - 150 = 0x6040)
        TocCase{"OneTrack", {Audio(1, 0, 2, 0)}, {5, 30, 40}, "0000-6240", {1}},
        // 0x000200 + 0x040A21 + (36000 - 150 = 0x8C0A)
        TocCase{
            "TwoTracks", {Audio(1, 0, 2, 0), Audio(2, 4, 10, 33)}, {8, 0, 0}, "0004-982B", {1, 2}},
        // 0x000200 + 0x030F0A + 0x07284A
        TocCase{"ThreeTracks",
                {Audio(1, 0, 2, 0), Audio(2, 3, 15, 10), Audio(3, 7, 40, 74)},
                {12, 0, 0},
                "000A-3954",
                {1, 2, 3}},
        // An enhanced CD: its data track counts for the serial, not as a
        // file. 0x000200 + 0x140000 + 0x281E0F
        TocCase{"AudioAndData",
                {Audio(1, 0, 2, 0), Audio(2, 20, 0, 0), Data(3, 40, 30, 15)},
                {60, 0, 0},
                "003C-200F",
                {1, 2}},
        // A longer pregap and a full disc: 0x000414 + (337499 - 320 = 0x5251B)
        TocCase{"LongPregapFullDisc", {Audio(1, 0, 4, 20)}, {74, 59, 74}, "0005-292F", {1}},
        // Only a data track: no audio tracks.
        TocCase{"DataOnly", {Data(1, 0, 2, 0)}, {0, 2, 0}, "0000-0200", {}}};
    for (const TocCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TCdToc toc = Toc(c);
        const TVolumeInfo volume = AudioCdVolume(toc);
        EXPECT_EQ(volume.Serial, c.serial);
        EXPECT_EQ(volume.Label, "AUDIO CD");
        EXPECT_EQ(AudioTracks(toc), c.audioTracks);
    }
}

TEST(CdaFileNameTest, TwoDigitTrackNumbers) {
    EXPECT_EQ(CdaFileName(1), "Track01.cda");
    EXPECT_EQ(CdaFileName(10), "Track10.cda");
    EXPECT_EQ(CdaFileName(99), "Track99.cda");
}

} // namespace
