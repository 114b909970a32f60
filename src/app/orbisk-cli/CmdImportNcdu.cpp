// orbisk-cli import-ncdu: the JSON export of ncdu or gdu as a new archive,
// filed in the archive list of the target folder.
#include <atomic>

#include "Cli.h"
#include "core/export/NcduImport.h"

namespace orbisk::cli {

int RunImportNcdu(const std::vector<std::string>& args, Streams io) {
    std::string source, dir, name;
    bool haveSource = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string* value = arg == "--dir" ? &dir : arg == "--name" ? &name : nullptr;
        if (value && i + 1 < args.size()) {
            *value = args[++i];
        } else if (arg.starts_with("--dir=")) {
            dir = arg.substr(6);
        } else if (arg.starts_with("--name=")) {
            name = arg.substr(7);
        } else if (arg.starts_with("-") || haveSource) {
            return UsageError(io, "import-ncdu", "unexpected '" + arg + "'");
        } else {
            source = arg;
            haveSource = true;
        }
    }
    if (!haveSource) {
        return UsageError(io, "import-ncdu", "FILE.json is missing");
    }
    const std::string folder = dir.empty() ? std::string(".") : dir;
    StderrHost host(io.err);
    const std::atomic<bool> running{true};
    TFixedDateFormatter dates;
    const TImportResult r = ImportNcduFile(source, folder, name, dates, running, host);
    switch (r.Outcome) {
    case TImportOutcome::Written:
        break;
    case TImportOutcome::Malformed:
        io.err << "orbisk-cli import-ncdu: '" << source << "' is no ncdu export (" << r.Error
               << ")\n";
        return kExitFailure;
    case TImportOutcome::Unreadable:
    case TImportOutcome::NotWritten:
        io.err << "orbisk-cli import-ncdu: " << Describe(r.Status) << '\n';
        return kExitFailure;
    case TImportOutcome::Cancelled:
        return kExitFailure;
    }
    io.out << (dir.empty() ? r.FileName : r.Path) << '\n';
    if (!FileArchivesInList(folder, {r.Head}, host))
        io.err << "orbisk-cli import-ncdu: cannot update the archive list of '" << folder << "'\n";
    return kExitOk;
}

} // namespace orbisk::cli
