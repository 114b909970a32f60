#include <vector>

#include "core/catalog/Common.h"
#include "core/catalog/ProgramValues.h"
#include "core/catalog/TextFile.h"
#include "core/scan/EntryName.h"
#include "core/scan/Metadata.h"

namespace orbisk {

namespace {

// The lines of a settings file written by another program: a line ends at CR,
// LF or CR LF, and 0x1A ends the file.
std::vector<std::string_view> IniLines(std::string_view text) {
    if (auto eof = text.find('\x1A'); eof != std::string_view::npos) text = text.substr(0, eof);
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
    }
    return lines;
}

// "SN" without its hyphen and leading zeros: 0012-AB34 gives 12AB34.
std::string DiscKey(const std::string& serial) {
    std::string key = serial;
    if (key.size() >= 5) key.erase(4, 1);
    std::size_t digit = key.find_first_not_of('0');
    return digit == std::string::npos ? std::string() : key.substr(digit);
}

// A key of one or two decimal digits gives the track number key + 1, at least
// two digits wide; any other key gives the empty text.
std::string TrackNumber(std::string_view key) {
    if (key.empty() || key.size() > 2) return {};
    int n = 0;
    for (char c : key) {
        if (c < '0' || c > '9') return {};
        n = n * 10 + (c - '0');
    }
    const int track = n + 1; // 1 to 100
    std::string text = std::to_string(track);
    return track < 10 ? "0" + text : text;
}

// A TAB would split the catalogue line of the entry, so a title keeps none.
std::string WithoutTabs(std::string_view text) {
    return BlankOut(text, "\t");
}

void ApplyTrackTitle(TArch& arch, const std::string& track, std::string_view title,
                     const TCdPlayerOptions& options, ProgressSink& progress) {
    if (arch.DirCount < 1) return;
    const TDir& root = arch.Dirs[1];
    const std::string wanted = "TRACK" + track + ".CDA";
    for (std::int32_t i = root.First; i < root.First + root.Count && i <= arch.RecCount; ++i) {
        TRec& rec = arch.Recs[static_cast<std::size_t>(i)];
        if (!EqualsNoCase(rec.Name, wanted)) continue;
        if (options.ReplaceTrackName) {
            rec.Note = rec.Name;
            rec.Name = LineSafeName(title);
        } else {
            rec.Note = WithoutTabs(title);
        }
        if (options.TitleToDescription) rec.Description = WithoutTabs(title);
        progress.AddLine(title);
    }
}

} // namespace

void ApplyCdPlayerTitles(TArch& scanArchive, const std::string& programDir,
                         const TCdPlayerOptions& options, ProgressSink& progress,
                         const std::atomic<bool>& scanRunning, Host& host) {
    std::string text; // a file that cannot be read holds no titles
    ReadWholeFile(JoinPath(programDir, kCdPlayerFile), text, kMaxSmallFile);
    ApplyCdPlayerText(scanArchive, text, options, progress, scanRunning, host);
}

void ApplyCdPlayerText(TArch& scanArchive, std::string_view text, const TCdPlayerOptions& options,
                       ProgressSink& progress, const std::atomic<bool>& scanRunning, Host& host) {
    progress.AddLine("");
    progress.AddLine("\"Audio CD\"");
    host.Pump();
    const std::string key = DiscKey(scanArchive.Head.SN);
    if (key.empty()) return;
    const std::vector<std::string_view> lines = IniLines(text);
    const std::string header = "[" + key + "]";
    std::size_t i = 0;
    while (i < lines.size() && !EqualsNoCase(lines[i], header))
        ++i;
    if (i == lines.size()) return;

    PumpTicker ticker(host, 64);
    std::string artist, title;
    for (++i; scanRunning.load(std::memory_order_relaxed) && i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.empty() || line.front() == '[') break;
        if (line.starts_with("artist=")) {
            artist = line.substr(7);
        } else if (line.starts_with("title=")) {
            title = line.substr(6);
        } else if (auto eq = line.find('='); eq != std::string_view::npos) {
            const std::string track = TrackNumber(line.substr(0, eq));
            if (!track.empty()) {
                progress.AddLine(track);
                ApplyTrackTitle(scanArchive, track, line.substr(eq + 1), options, progress);
            }
        }
        ticker.Tick();
    }
    if (!title.empty() || !artist.empty())
        scanArchive.Head.Description = BlankOut(title + " - " + artist, kHeaderForbidden);
}

} // namespace orbisk
