// orbisk-cli convert: Windows Commander catalogues (*.cds) into archives,
// filed in the archive list of the target folder.
#include <atomic>

#include "Cli.h"
#include "core/export/CdsConvert.h"

namespace orbisk::cli {

int RunConvert(const std::vector<std::string>& args, Streams io) {
    std::vector<std::string> sources;
    std::string dir;
    bool overwrite = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--overwrite") {
            overwrite = true;
        } else if (arg == "--dir" && i + 1 < args.size()) {
            dir = args[++i];
        } else if (arg.starts_with("--dir=")) {
            dir = arg.substr(6);
        } else if (arg.starts_with("-")) {
            return UsageError(io, "convert", "unknown option or missing value '" + arg + "'");
        } else {
            sources.push_back(arg);
        }
    }
    if (sources.empty()) {
        return UsageError(io, "convert", "no FILE.cds given");
    }
    const std::string folder = dir.empty() ? std::string(".") : dir;
    StderrHost host(io.err);
    const std::atomic<bool> running{true};
    const auto results = ConvertCdsFiles(
        sources, folder, [overwrite](const std::string&) { return overwrite; }, running, host);
    std::vector<THead> written;
    for (const TConvertResult& r : results) {
        switch (r.Outcome) {
        case TConvertOutcome::Written: {
            io.out << (dir.empty() ? r.FileName : r.Target) << '\n';
            written.push_back(r.Head);
            break;
        }
        case TConvertOutcome::Declined:
            io.err << "orbisk-cli convert: '" << r.Target << "' exists; --overwrite replaces it\n";
            break;
        case TConvertOutcome::Unreadable:
        case TConvertOutcome::NotWritten:
            io.err << "orbisk-cli convert: " << Describe(r.Status) << '\n';
            break;
        case TConvertOutcome::Cancelled:
            break;
        }
    }
    if (written.empty()) return kExitFailure;
    if (!FileArchivesInList(folder, written, host))
        io.err << "orbisk-cli convert: cannot update the archive list of '" << folder << "'\n";
    return kExitOk;
}

} // namespace orbisk::cli
