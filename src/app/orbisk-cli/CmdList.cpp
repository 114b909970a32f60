#include "Cli.h"
#include "core/catalog/ArchiveList.h"

namespace orbisk::cli {

int RunList(const std::vector<std::string>& args, Streams io) {
    std::string folder = ".";
    if (args.size() == 2 && args[0] == "--dir") {
        folder = args[1];
    } else if (!args.empty()) {
        return UsageError(io, "list", "expected no arguments or --dir DIR");
    }
    StderrHost host(io.err);
    TArchiveList list;
    TBuildResult built = BuildArchiveList(folder, list, host);
    if (!built.FolderRead) {
        io.err << "orbisk-cli list: cannot read the folder '" << folder << "'\n";
        return kExitFailure;
    }
    std::string out;
    for (std::int32_t slot = 1; slot <= list.ArchiveCount(); ++slot) {
        const THead& row = list[slot];
        if (row.Listed == 0) continue;
        AppendRow(out, {row.TreePath, row.Name, row.FileName, row.Description, row.Owner});
    }
    io.out << out;
    return kExitOk;
}

} // namespace orbisk::cli
