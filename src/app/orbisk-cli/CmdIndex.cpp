// orbisk-cli index: builds or refreshes the search index of a working folder.
#include <chrono>
#include <cstdio>
#include <thread>

#include "Cli.h"
#include "core/catalog/ArchiveList.h"
#include "core/search/IndexedSearch.h"

namespace orbisk::cli {

int RunIndex(const std::vector<std::string>& args, Streams io) {
    std::string folder = ".";
    if (args.size() == 2 && args[0] == "--dir") {
        folder = args[1];
    } else if (!args.empty()) {
        return UsageError(io, "index", "expected no arguments or --dir DIR");
    }
    const auto start = std::chrono::steady_clock::now();
    StderrHost host(io.err);
    TArchiveList list;
    if (!BuildArchiveList(folder, list, host, TListCache::Leave).FolderRead) {
        io.err << "orbisk-cli index: cannot read the folder '" << folder << "'\n";
        return kExitFailure;
    }
    TSearchIndex index;
    const int threads = std::thread::hardware_concurrency() > 1 ? 2 : 1;
    const TIndexRefresh refresh = RefreshSearchIndex(list, index, threads);
    if (!refresh.Usable) {
        io.err << "orbisk-cli index: cannot write the index in the folder '" << folder << "'\n";
        return kExitFailure;
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    char time[32];
    std::snprintf(time, sizeof time, "%.1f ms", ms);
    std::string out;
    AppendRow(out, {std::to_string(refresh.Archives) + " archives",
                    std::to_string(refresh.Entries) + " entries",
                    std::to_string(refresh.Bytes) + " bytes", time});
    io.out << out;
    return kExitOk;
}

} // namespace orbisk::cli
