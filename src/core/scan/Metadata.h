#pragma once
// Notes and descriptions taken from the content of scanned files: the first
// bytes of text files, the ID3 tags of MP3 files and the track titles of an
// audio CD. Every reader is silent: a file that cannot be read, is not a
// regular file or has no tag gives the empty result.
#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>

#include "core/catalog/Archive.h"
#include "core/catalog/Host.h"
#include "core/scan/ProgressSink.h"

namespace orbisk {

// Bytes read per text file: 80 to 8096, anything else means the default.
inline constexpr int kDescriptionLimitMin = 80;
inline constexpr int kDescriptionLimitMax = 8096;
inline constexpr int kDescriptionLimitDefault = 500;

// The first limit bytes of a text file as a multi-line description: the bytes
// 0, 0x07, TAB, CR and 0x1A are dropped and LF becomes the line mark 0x07.
std::string ReadTextDescription(const std::string& path, int limit);
// The same cleaning applied to bytes already read.
std::string CleanTextDescription(std::string_view bytes);

struct TId3v1 {
    std::string Title; // 30 characters, blanks kept
    std::string Text;  // title, artist, album, year, comment, each ended by 0x07, then one more
};

// The version 1 tag in the last 128 bytes of a file.
TId3v1 ReadId3v1(const std::string& path);
// The same from the 128 bytes of a tag; any other length gives the empty result.
TId3v1 ParseId3v1(std::string_view tag);

// Size of the head of a file that version 2 tags are read from.
inline constexpr std::size_t kId3v2Window = 1024;

// The text frames of a version 2 tag found in the first 1024 bytes of a file,
// eleven fields joined by 0x07. A file shorter than 1024 bytes or without
// "ID3" at its start gives the empty text.
std::string ReadId3v2(const std::string& path);
// The same from the first 1024 bytes of a file; any other length gives the
// empty text.
std::string ParseId3v2(std::string_view head);

// Reads the text of the frame whose identifier lies at offset in buffer (the
// 1024-byte head) and moves offset behind the frame. A frame whose size does
// not fit the buffer gives the empty text and moves offset past the
// identifier only, so the scan goes on inside it.
std::string ReadFrameText(std::string_view buffer, std::size_t& offset);

// The switches of the audio CD group that decide where a track title goes.
struct TCdPlayerOptions {
    bool ReplaceTrackName = false;   // "nahradit TrackXX.cda názvem"
    bool TitleToDescription = false; // "vložit název do Popisu"
};

inline constexpr const char* kCdPlayerFile = "CDPLAYER.INI";

// Names the tracks of an audio CD from the CD player's settings file in
// programDir: the section of the disc whose key is the archive's serial
// number, its track lines matched against the root entries TrackNN.cda, and
// its title and artist as the archive's description. Stops at the first line
// read after scanRunning has been cleared.
void ApplyCdPlayerTitles(TArch& scanArchive, const std::string& programDir,
                         const TCdPlayerOptions& options, ProgressSink& progress,
                         const std::atomic<bool>& scanRunning, Host& host);
// The same with the settings file's text already read.
void ApplyCdPlayerText(TArch& scanArchive, std::string_view text, const TCdPlayerOptions& options,
                       ProgressSink& progress, const std::atomic<bool>& scanRunning, Host& host);

} // namespace orbisk
