#include "core/export/CdsConvert.h"

#include <unordered_map>

#include "core/catalog/ProgramValues.h"

namespace orbisk {

namespace {

// Lines end at CR LF, CR or LF; nothing follows a final line end.
std::vector<std::string_view> SplitCdsLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
        if (text[end] == '\r' && pos < text.size() && text[pos] == '\n') ++pos;
    }
    return lines;
}

// A directory line up to and including its last "\"; empty for a line
// without "\".
std::string_view DirectoryPart(std::string_view line) {
    const std::size_t slash = line.rfind('\\');
    return slash == std::string_view::npos ? std::string_view{} : line.substr(0, slash + 1);
}

// Where the last component of a directory part begins: after the "\" before
// its final "\", or at 0.
std::size_t LastComponentStart(std::string_view dir) {
    if (dir.size() < 2) return 0;
    const std::size_t slash = dir.rfind('\\', dir.size() - 2);
    return slash == std::string_view::npos ? 0 : slash + 1;
}

void AppendFolderEntry(std::string& out, std::string_view dir) {
    const std::size_t start = LastComponentStart(dir);
    out.append(dir.substr(start, dir.size() - 1 - start));
    out.append("\t0\t \td----\t\t\r\n");
}

// A file line: no "\" and at least three TABs. Name, size, date and the time
// up to a fourth TAB (empty without one) become a file entry.
bool AppendFileEntry(std::string& out, std::string_view line) {
    std::size_t tabs[4] = {};
    std::size_t found = 0;
    for (std::size_t at = line.find('\t'); at != std::string_view::npos && found < 4;
         at = line.find('\t', at + 1))
        tabs[found++] = at;
    if (found < 3) return false;
    out.append(line.substr(0, tabs[1])); // name TAB size
    out.push_back('\t');
    out.append(line.substr(tabs[1] + 1, tabs[2] - tabs[1] - 1));
    out.push_back(' ');
    if (found == 4) out.append(line.substr(tabs[2] + 1, tabs[3] - tabs[2] - 1));
    out.append("\t ----\t\t\r\n");
    return true;
}

// The directory lines under each parent (the directory part without its
// last component), in file order; the cursor skips those before the
// directory line being written, which only moves forward.
struct TChildren {
    std::vector<std::size_t> lines;
    std::size_t cursor = 0;
};

// Reports progress within the file when the percentage changes.
class PercentGauge {
public:
    PercentGauge(const TConvertProgress& progress, std::size_t lines)
        : progress_(progress), lines_(lines) {}
    void At(std::size_t position) {
        if (!progress_ || lines_ == 0) return;
        const int percent = static_cast<int>(position * 100 / lines_);
        if (percent == last_) return;
        last_ = percent;
        progress_(percent);
    }

private:
    const TConvertProgress& progress_;
    std::size_t lines_;
    int last_ = -1;
};

} // namespace

std::string CdsBaseName(std::string_view fileName) {
    return std::string(fileName.substr(0, fileName.size() >= 4 ? fileName.size() - 4 : 0));
}

bool ConvertCdsText(std::string_view source, std::string_view baseName,
                    const std::atomic<bool>& running, Host& host, std::string& out,
                    const TConvertProgress& progress) {
    const std::vector<std::string_view> lines = SplitCdsLines(source);
    out.clear();
    out.reserve(source.size() + source.size() / 4 + 64);
    out.append("<head>\r\nName=").append(baseName).append("\r\n\r\n<tree>\r\n\\\r\n");
    PumpTicker ticker(host);
    auto stopped = [&] {
        ticker.Tick();
        return !running.load(std::memory_order_relaxed);
    };

    // First pass: the folders under the root; and the index of every
    // directory line by its parent.
    std::unordered_map<std::string_view, TChildren> children;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view dir = DirectoryPart(lines[i]);
        if (!dir.empty()) {
            const std::size_t start = LastComponentStart(dir);
            if (start == 0) AppendFolderEntry(out, dir);
            children[dir.substr(0, start)].lines.push_back(i);
        }
        if (stopped()) return false;
    }

    // Second pass: directories with their later subdirectories, and files.
    PercentGauge gauge(progress, lines.size());
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view dir = DirectoryPart(lines[i]);
        if (!dir.empty()) {
            out.push_back('\\');
            out.append(dir).append("\r\n");
            const auto found = children.find(dir);
            if (found != children.end()) {
                TChildren& list = found->second;
                while (list.cursor < list.lines.size() && list.lines[list.cursor] <= i)
                    ++list.cursor;
                for (std::size_t k = list.cursor; k < list.lines.size(); ++k)
                    AppendFolderEntry(out, DirectoryPart(lines[list.lines[k]]));
            }
        } else {
            AppendFileEntry(out, lines[i]);
        }
        gauge.At(i + 1);
        if (stopped()) return false;
    }
    return true;
}

TConvertResult ConvertCdsFile(const std::string& sourcePath, const std::string& targetFolder,
                              const TOverwriteAsk& askOverwrite, const std::atomic<bool>& running,
                              Host& host, const TConvertProgress& progress) {
    TConvertResult result;
    result.Source = sourcePath;
    const std::size_t slash = sourcePath.rfind('/');
    const std::string base =
        CdsBaseName(slash == std::string::npos ? sourcePath : sourcePath.substr(slash + 1));
    result.FileName = base + ".cd";
    result.Target = JoinPath(targetFolder, result.FileName);
    result.Head.Name = base;
    result.Head.FileName = result.FileName;

    std::string source;
    result.Status = ReadWholeFile(sourcePath, source);
    if (!result.Status.ok) return result;
    host.Pump();
    std::string archive;
    if (!ConvertCdsText(source, base, running, host, archive, progress)) {
        result.Outcome = TConvertOutcome::Cancelled;
        return result;
    }
    if (PathExists(result.Target) && !(askOverwrite && askOverwrite(result.FileName))) {
        result.Outcome = TConvertOutcome::Declined;
        return result;
    }
    result.Status = SaveOutputFile(result.Target, archive, BackupMode::KeepFirst);
    result.Outcome = result.Status.ok ? TConvertOutcome::Written : TConvertOutcome::NotWritten;
    return result;
}

std::vector<TConvertResult> ConvertCdsFiles(const std::vector<std::string>& sources,
                                            const std::string& targetFolder,
                                            const TOverwriteAsk& askOverwrite,
                                            const std::atomic<bool>& running, Host& host,
                                            const TConvertRunHooks& hooks) {
    std::vector<TConvertResult> results;
    for (std::size_t k = 0; k < sources.size(); ++k) {
        if (!running.load()) break;
        if (hooks.Starting) hooks.Starting(k + 1, sources.size());
        results.push_back(
            ConvertCdsFile(sources[k], targetFolder, askOverwrite, running, host, hooks.Progress));
        if (hooks.Finished) hooks.Finished(results.back());
        if (results.back().Outcome == TConvertOutcome::Cancelled) break;
    }
    return results;
}

} // namespace orbisk
