// The serial an audio CD gets from its table of contents, and which of its
// tracks become TrackNN.cda files. Tables recorded as a drive reports them
// (addresses in minutes, seconds, frames); serials worked out by hand.
#include <gtest/gtest.h>

#include "core/platform/AudioCd.h"

using namespace orbisk;

namespace {

struct TocCase {
    const char* name;
    TCdToc toc;
    const char* serial;
    std::vector<int> audioTracks;
};

TCdTrack Audio(int number, int m, int s, int f) {
    return TCdTrack{number, {m, s, f}, false};
}

TCdTrack Data(int number, int m, int s, int f) {
    return TCdTrack{number, {m, s, f}, true};
}

class AudioCdSerialTest : public ::testing::TestWithParam<TocCase> {};

TEST_P(AudioCdSerialTest, SerialFromTheTableOfContents) {
    const TocCase& c = GetParam();
    const TVolumeInfo volume = AudioCdVolume(c.toc);
    EXPECT_EQ(volume.Serial, c.serial);
    EXPECT_EQ(volume.Label, "AUDIO CD");
    EXPECT_EQ(AudioTracks(c.toc), c.audioTracks);
}

// Short discs add their length in frames from the first track to the
// lead-out; from three tracks on only the start addresses count.
INSTANTIATE_TEST_SUITE_P(
    Tocs, AudioCdSerialTest,
    ::testing::Values(
        // 0x000200 + (24790 - 150 = 0x6040)
        TocCase{"OneTrack", {1, 1, {Audio(1, 0, 2, 0)}, {5, 30, 40}}, "0000-6240", {1}},
        // 0x000200 + 0x040A21 + (36000 - 150 = 0x8C0A)
        TocCase{"TwoTracks",
                {1, 2, {Audio(1, 0, 2, 0), Audio(2, 4, 10, 33)}, {8, 0, 0}},
                "0004-982B",
                {1, 2}},
        // 0x000200 + 0x030F0A + 0x07284A
        TocCase{"ThreeTracks",
                {1, 3, {Audio(1, 0, 2, 0), Audio(2, 3, 15, 10), Audio(3, 7, 40, 74)}, {12, 0, 0}},
                "000A-3954",
                {1, 2, 3}},
        // An enhanced CD: its data track counts for the serial, not as a
        // file. 0x000200 + 0x140000 + 0x281E0F
        TocCase{"AudioAndData",
                {1, 3, {Audio(1, 0, 2, 0), Audio(2, 20, 0, 0), Data(3, 40, 30, 15)}, {60, 0, 0}},
                "003C-200F",
                {1, 2}},
        // A longer pregap and a full disc: 0x000414 + (337499 - 320 = 0x5251B)
        TocCase{"LongPregapFullDisc", {1, 1, {Audio(1, 0, 4, 20)}, {74, 59, 74}}, "0005-292F", {1}},
        // Only a data track: no audio tracks.
        TocCase{"DataOnly", {1, 1, {Data(1, 0, 2, 0)}, {0, 2, 0}}, "0000-0200", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CdaFileNameTest, TwoDigitTrackNumbers) {
    EXPECT_EQ(CdaFileName(1), "Track01.cda");
    EXPECT_EQ(CdaFileName(10), "Track10.cda");
    EXPECT_EQ(CdaFileName(99), "Track99.cda");
}

} // namespace
