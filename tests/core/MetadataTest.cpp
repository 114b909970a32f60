#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>

#include "Mp3Writer.h"
#include "RecordingProgress.h"
#include "TestSupport.h"
#include "core/catalog/Archive.h"
#include "core/scan/Metadata.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

// The eleven version 2 fields joined by 0x07.
std::string Fields(std::vector<std::string> values) {
    values.resize(11);
    std::string out;
    for (std::size_t i = 0; i < values.size(); ++i)
        out += (i ? "\x07" : "") + values[i];
    return out;
}

std::string Padded(std::string text, std::size_t width) {
    text.resize(width, ' ');
    return text;
}

} // namespace

TEST(Metadata, TextDescriptionCleansAndCutsAtTheLimit) {
    const std::string long600(600, 'x');
    const struct {
        std::string content;
        int limit;
        std::string want;
    } cases[] = {
        {"Hello\r\nWorld", 500, "Hello\x07World"},
        {"Hello\nWorld\n", 500, "Hello\x07World\x07"},
        {std::string("a\0b\x07"
                     "c\td\re\x1A"
                     "f",
                     11),
         500, "abcdef"},
        {std::string(79, 'a') + "bc\nd", 80, std::string(79, 'a') + "b"}, // cut inside a line
        {long600, 8096, long600},
        {long600, 79, std::string(500, 'x')}, // out of range: the default 500
        {long600, 8097, std::string(500, 'x')},
        {"", 500, ""},
    };
    TempDir dir;
    for (const auto& c : cases) {
        WriteFile(dir.File("t.txt"), c.content);
        EXPECT_EQ(ReadTextDescription(dir.File("t.txt"), c.limit), c.want) << c.limit;
    }
}

TEST(Metadata, ReadersGiveNothingForFilesThatAreNotRegular) {
    TempDir dir;
    ASSERT_EQ(::mkfifo(dir.File("pipe.mp3").c_str(), 0644), 0);
    const std::string paths[] = {dir.File("pipe.mp3"), dir.Path(), "/dev/zero", "/dev/null",
                                 dir.File("missing.mp3")};
    const auto begin = std::chrono::steady_clock::now();
    for (const std::string& path : paths) {
        EXPECT_EQ(ReadTextDescription(path, 500), "") << path;
        EXPECT_EQ(ReadId3v1(path).Text, "") << path;
        EXPECT_EQ(ReadId3v2(path), "") << path;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(2));
}

TEST(Metadata, Id3v1TagFromTheLast128Bytes) {
    const std::string tag = MakeId3v1({"Song", "Band", "Disc", "2001", "Fine"});
    const std::string text = Padded("Song", 30) + "\x07" + Padded("Band", 30) + "\x07" +
                             Padded("Disc", 30) + "\x07" + "2001\x07" + Padded("Fine", 28) +
                             "\x07\x07";
    const struct {
        const char* name;
        std::string bytes;
        std::string title, text;
    } cases[] = {
        {"zero padding becomes blanks", MakeMp3("", 500, tag), Padded("Song", 30), text},
        {"a file that is only the tag", tag, Padded("Song", 30), text},
        {"control bytes become blanks",
         MakeMp3("", 10,
                 MakeId3v1({std::string("a\tb\x07"
                                        "c\rd\ne\x1A",
                                        10),
                            "", "", "", ""})),
         Padded("a b c d e ", 30), ""},
        {"no tag", MakeMp3("", 500, ""), "", ""},
        {"tag not at the end", MakeMp3("", 10, tag) + "xyz", "", ""},
        {"shorter than a tag", "TAG" + std::string(50, 'a'), "", ""},
    };
    TempDir dir;
    for (const auto& c : cases) {
        WriteFile(dir.File("a.mp3"), c.bytes);
        const TId3v1 got = ReadId3v1(dir.File("a.mp3"));
        EXPECT_EQ(got.Title, c.title) << c.name;
        if (!c.text.empty() || c.title.empty()) {
            EXPECT_EQ(got.Text, c.text) << c.name;
        }
    }
}

TEST(Metadata, Id3v2FramesInTheFirst1024Bytes) {
    const std::vector<TId3v2Frame> all = {
        {"TRCK", "3"},
        {"TENC", "Enc"},
        {"WXXX", std::string("\0http://x.cz", 12)},
        {"TCOP", "(c)"},
        {"TOPE", "Orig"},
        {"TCOM", "Comp"},
        {"COMM", std::string("eng\0Nice", 8)},
        {"TCON", "Rock"},
        {"TYER", "1999"},
        {"TALB", "Album"},
        {"TPE1", "Artist"},
        {"TIT2", "Title"},
    };
    const std::string evilTrack = std::string("xTIT2\0\0\0\x05\0\0\0Evil", 16);
    const struct {
        const char* name;
        std::string bytes;
        std::string want;
    } cases[] = {
        {"every frame in its place", MakeMp3(MakeId3v2(all, 100), 2000, ""),
         Fields({"Title", "Artist", "Album", "1999", "Rock", "Nice", "Comp", "Orig", "(c)",
                 "http://x.cz", "Enc"})},
        {"no frames: ten separators", MakeId3v2({}, 1100), Fields({})},
        {"shorter than 1024 bytes", MakeMp3(MakeId3v2({{"TIT2", "T"}}, 10), 100, ""), ""},
        {"no ID3 marker", MakeMp3("", 2000, ""), ""},
        {"UTF-16 text keeps its bytes, zeros blanked",
         MakeId3v2({{"TIT2", std::string("\xFF\xFES\0o\0", 6), 1}}, 1100),
         Fields({"\xFF\xFES o "})},
        {"size 0xFFFFFFFF: empty, the scan goes on inside",
         MakeId3v2({{"TIT2", "xx", 0, 0xFFFFFFFFu}, {"TALB", "Album"}}, 1100),
         Fields({"", "", "Album"})},
        {"size 0: empty, the scan goes on after the header",
         MakeId3v2({{"TIT2", "", 0, 0u}, {"TPE1", "A"}}, 1100), Fields({"", "A"})},
        {"a later frame replaces an earlier one",
         MakeId3v2({{"TIT2", "One"}, {"TIT2", "Two"}}, 1100), Fields({"Two"})},
        {"the track frame is skipped whole",
         MakeId3v2({{"TIT2", "Good"}, {"TRCK", evilTrack}}, 1100), Fields({"Good"})},
        {"comment and link cut to 255",
         MakeId3v2({{"COMM", "eng" + std::string(300, 'c')}, {"WXXX", std::string(300, 'w')}}, 400),
         Fields({"", "", "", "", "", std::string(255, 'c'), "", "", "", std::string(255, 'w')})},
        {"control bytes blanked, 0x07 kept",
         MakeId3v2({{"TIT2", "a\tb\nc\rd\x1A"
                             "e\x07"
                             "f"}},
                   1100),
         Fields({"a b c d e\x07"
                 "f"})},
        {"a frame crossing byte 1011 is empty",
         MakeId3v2({{"TPE1", std::string(969, 'a')}, {"TIT2", std::string(30, 'X')}}, 100),
         Fields({"", std::string(969, 'a')})},
    };
    TempDir dir;
    for (const auto& c : cases) {
        WriteFile(dir.File("a.mp3"), c.bytes);
        EXPECT_EQ(ReadId3v2(dir.File("a.mp3")), c.want) << c.name;
    }
}

TEST(Metadata, CdPlayerTitlesNameTheTracksOfTheDisc) {
    const std::string ini = "[12ab34x]\r\n0=Wrong\r\n[other]\r\n0=Wrong\r\n[12ab34]\r\n"
                            "artist=Band\r\ntitle=Live\r\nnumtracks=5\r\n0=Intro\r\n9=Tenth\r\n"
                            "100=Ignored\r\n1=Se\tcond\r\n\r\n3=After a blank line\r\n";
    std::string lfIni = ini;
    for (auto at = lfIni.find("\r\n"); at != std::string::npos; at = lfIni.find("\r\n", at))
        lfIni.erase(at, 1);
    using Rows = std::vector<std::string>; // Name|Note|Description of each root entry
    const Rows untouched = {"Track01.cda||", "track02.CDA||", "Track04.cda||", "Track10.cda||",
                            "Track101.cda||"};
    const Rows noted = {"Track01.cda|Intro|", "track02.CDA|Se cond|", "Track04.cda||",
                        "Track10.cda|Tenth|", "Track101.cda||"};
    const Rows renamed = {"Intro|Track01.cda|Intro", "Se_cond|track02.CDA|Se cond", "Track04.cda||",
                          "Tenth|Track10.cda|Tenth", "Track101.cda||"};
    const struct {
        const char* name;
        std::string sn, ini;
        TCdPlayerOptions options;
        bool running;
        Rows want;
        std::string header;
    } cases[] = {
        {"titles into notes", "0012-AB34", ini, {}, true, noted, "Live - Band"},
        {"titles replace names", "0012-AB34", ini, {true, true}, true, renamed, "Live - Band"},
        {"lone LF line ends", "0012-AB34", lfIni, {}, true, noted, "Live - Band"},
        {"no medium", "0000-0000", ini, {}, true, untouched, "typed"},
        {"no section", "0012-AB35", ini, {}, true, untouched, "typed"},
        {"cancelled", "0012-AB34", ini, {}, false, untouched, "typed"},
        {"no file", "0012-AB34", "", {}, true, untouched, "typed"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        if (!c.ini.empty()) WriteFile(dir.File(kCdPlayerFile), c.ini);
        TArch arch;
        arch.Head.SN = c.sn;
        arch.Head.Description = "typed";
        arch.AddDir("\\");
        for (const char* name :
             {"Track01.cda", "track02.CDA", "Track04.cda", "Track10.cda", "Track101.cda"}) {
            TRec rec;
            rec.Name = name;
            arch.AddRec(std::move(rec));
        }
        RecordingProgress progress;
        RecordingHost host;
        const std::atomic<bool> running{c.running};
        ApplyCdPlayerTitles(arch, dir.Path(), c.options, progress, running, host);
        Rows got;
        for (int i = 1; i <= arch.RecCount; ++i)
            got.push_back(arch.Recs[i].Name + "|" + arch.Recs[i].Note + "|" +
                          arch.Recs[i].Description);
        EXPECT_EQ(got, c.want) << c.name;
        EXPECT_EQ(arch.Head.Description, c.header) << c.name;
        ASSERT_GE(progress.lines.size(), 2u) << c.name;
        EXPECT_EQ(progress.lines[1], "\"Audio CD\"") << c.name;
    }
}
