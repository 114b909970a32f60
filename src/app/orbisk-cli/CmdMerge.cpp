#include "Cli.h"
#include "core/catalog/Merge.h"

namespace orbisk::cli {

int RunMerge(const std::vector<std::string>& args, Streams io) {
    std::string dir;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--dir" && i + 1 < args.size()) {
            dir = args[++i];
        } else if (args[i].starts_with("--dir=")) {
            dir = args[i].substr(6);
        } else if (args[i].starts_with("-")) {
            return UsageError(io, "merge", "unknown option '" + args[i] + "'");
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() < 2) {
        return UsageError(io, "merge", "expected two or more archives");
    }
    StderrHost host(io.err);
    TArchiveList list;
    const std::string folder = dir.empty() ? std::string(".") : dir;
    if (!BuildArchiveList(folder, list, host).FolderRead) {
        io.err << "orbisk-cli merge: cannot read the folder '" << folder << "'\n";
        return kExitFailure;
    }
    const auto slots = SelectedSlots(list, files, "merge", io.err);
    if (!slots) return kExitFailure;
    if (slots->size() < 2) {
        io.err << "orbisk-cli merge: the files name fewer than two archives\n";
        return kExitUsage;
    }
    TArch merged;
    const TMergeResult result = MergeListedArchives(list, *slots, merged, host);
    if (!result.Written) {
        io.err << "orbisk-cli merge: cannot write '" << merged.Head.FileName << "'\n";
        return kExitFailure;
    }
    // Without --dir the archive is named as it lies in the current folder.
    io.out << (dir.empty() ? result.FileName : merged.Head.FileName) << '\n';
    return kExitOk;
}

} // namespace orbisk::cli
