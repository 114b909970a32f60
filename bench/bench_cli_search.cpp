// A whole orbisk-cli search process over a folder of 5 000 archives with a
// fresh search index and a warm page cache: started, the archive list built
// from _cd_.lst and the folder's names, the index checked, a rare name part
// searched, the result printed. The baseline is the process start alone
// (orbisk-cli --version). The archives hold 20 entries each, so the index is
// quick to build; with ORBISK_BENCH_BIG=1 they hold 2 000 (10 000 000
// entries, a large collection). With ORBISK_BENCH_DIR the folder is made
// there, or, when it has an index already, used as it is.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ProgramValues.h"
#include "core/search/SearchIndex.h"

extern char** environ;

using namespace orbisk;

namespace {

constexpr int kArchives = 5000;

int EntriesPerArchive() {
    const char* big = std::getenv("ORBISK_BENCH_BIG");
    return big != nullptr && std::string(big) == "1" ? 2000 : 20;
}

// Folders of 100 entries; one name in 997 holds "abc".
TArch GeneratedArchive(int number, int entries) {
    TArch arch;
    arch.Head.Name = "Archive " + std::to_string(number);
    arch.Head.Medium = "CD";
    for (int made = 0; made < entries; ++made) {
        if (made % 100 == 0) arch.AddDir("\\Data\\folder" + std::to_string(made / 100) + "\\");
        const int id = number * entries + made;
        arch.AddRec(TRec{id % 997 == 0 ? "report_abc_" + std::to_string(id) + ".doc"
                                       : "file_" + std::to_string(id) + ".txt",
                         std::to_string(id * 37), "8.12.2026 4:50:22", " -a--", "", "", 1});
    }
    return arch;
}

std::string ProgramPath() {
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "orbisk-cli").string();
}

// Runs orbisk-cli with args, its output thrown away; its exit status.
int RunCli(const std::vector<std::string>& args) {
    const std::string program = ProgramPath();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0)
        ::waitpid(pid, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Fixture {
    test::TempDir temp;
    std::string folder;
    Fixture() {
        const char* kept = std::getenv("ORBISK_BENCH_DIR");
        folder = kept != nullptr ? kept : temp.Path();
        if (std::filesystem::exists(JoinPath(folder, std::string(kSearchIndexFile)))) return;
        std::filesystem::create_directories(folder);
        for (int k = 0; k < kArchives; ++k) {
            const std::string text = FormatArchive(GeneratedArchive(k, EntriesPerArchive()));
            test::WriteFile(JoinPath(folder, "arch" + std::to_string(k) + ".cd"), text);
        }
        if (RunCli({"list", "--dir", folder}) != 0 || RunCli({"index", "--dir", folder}) != 0)
            std::fprintf(stderr, "the folder or its index could not be made\n");
    }
};

Fixture& Data() {
    static Fixture f;
    return f;
}

void BM_CliSearch_Baseline(benchmark::State& state) {
    Data();
    for (auto _ : state)
        if (RunCli({"--version"}) != 0) state.SkipWithError("orbisk-cli --version failed");
}

void BM_CliSearch(benchmark::State& state) {
    Fixture& f = Data();
    for (auto _ : state)
        if (RunCli({"search", "*abc_99700*", "--dir", f.folder}) != 0)
            state.SkipWithError("orbisk-cli search failed");
}

} // namespace

BENCHMARK(BM_CliSearch_Baseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CliSearch)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
