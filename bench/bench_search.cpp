// Searching '*abc*' over 1 000 000 entries in 500 archive files (the
// all-archives scope, read from disk, results only counted; see ArchiveCount
// for the size of a large collection) with one and with
// two threads, against a baseline that reads the same files and counts the
// lines containing 'abc' with memmem. The target is on the two-thread run;
// the one-thread run and the reading alone are reported for reference.
//
// The same search through the search index (fresh, so only checked by stat)
// against the two-thread search over the files, the index built from nothing,
// and its refresh after one archive changed against reading that archive and
// one stat of every archive.
// The ratios and the index's size against the archives' are printed at the
// end. The CPU column is the whole process's processor time, which a busy
// machine disturbs less than the wall time.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "ArchiveBuilder.h"
#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ArchiveList.h"
#include "core/catalog/ProgramValues.h"
#include "core/search/IndexedSearch.h"
#include "core/search/SearchRun.h"

using namespace orbisk;

namespace {

constexpr int kEntriesPerArchive = 2000;

// 500 archives (1 000 000 entries); with ORBISK_BENCH_BIG=1 the size of a
// large collection, 5 000 archives (10 000 000 entries). With
// ORBISK_BENCH_DIR the archives are written there and left for measuring
// orbisk-cli on them.
int ArchiveCount() {
    const char* big = std::getenv("ORBISK_BENCH_BIG");
    return big != nullptr && std::string(big) == "1" ? 5000 : 500;
}

struct CountingSink : TSearchSink {
    std::int64_t results = 0;
    bool OnResult(TSearchResult&&) override {
        ++results;
        return true;
    }
};

// Archives of 20 folders of 100 entries, names like those of a real medium,
// a few of them holding "abc"; some entries with notes and descriptions.
TArch GeneratedArchive(int number) {
    TArch arch;
    arch.Head.Name = "Archive " + std::to_string(number);
    arch.Head.Medium = "CD";
    int made = 0;
    for (int folder = 0; made < kEntriesPerArchive; ++folder) {
        arch.AddDir("\\Data\\folder" + std::to_string(folder) + "\\");
        for (int i = 0; i < 100 && made < kEntriesPerArchive; ++i, ++made) {
            const int id = number * kEntriesPerArchive + made;
            std::string name = id % 997 == 0 ? "report_abc_" + std::to_string(id) + ".doc"
                                             : "file_" + std::to_string(id) + ".txt";
            arch.AddRec(TRec{name, std::to_string(id * 37), "8.12.2026 4:50:22", " -a--",
                             i % 7 == 0 ? "a note" : "",
                             i % 10 == 0 ? "line one\x07line two\x07" : "", 1});
        }
    }
    return arch;
}

struct Fixture {
    test::TempDir temp;
    std::string folder;
    std::vector<std::string> paths;
    TArchiveList list;
    std::vector<std::int32_t> slots;
    TSearchCriteria criteria;
    Fixture() {
        const char* kept = std::getenv("ORBISK_BENCH_DIR");
        folder = kept != nullptr ? kept : temp.Path();
        std::filesystem::create_directories(folder);
        const auto start = std::chrono::steady_clock::now();
        for (int k = 0; k < ArchiveCount(); ++k) {
            const std::string path = JoinPath(folder, "arch" + std::to_string(k) + ".cd");
            const std::string text = FormatArchive(GeneratedArchive(k));
            std::FILE* file = std::fopen(path.c_str(), "wb");
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
            paths.push_back(path);
        }
        std::fprintf(
            stderr, "%d archives written in %.1f s\n", ArchiveCount(),
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        NullHost host;
        BuildArchiveList(folder, list, host);
        slots = ArchivesToSearch(list, TSearchScope::AllArchives, {}, "");
        TSearchInput input;
        input.Query = "*abc*";
        std::vector<std::string> history;
        criteria = PrepareSearch(input, history).Criteria;
    }
};

Fixture& Data() {
    static Fixture f;
    return f;
}

void BM_SearchAll_Baseline(benchmark::State& state) {
    Fixture& f = Data();
    for (auto _ : state) {
        std::size_t lines = 0;
        std::string text;
        for (const std::string& path : f.paths) {
            ReadWholeFile(path, text);
            const char* p = text.data();
            const char* const end = p + text.size();
            while (const void* hit = ::memmem(p, static_cast<std::size_t>(end - p), "abc", 3)) {
                ++lines;
                const char* at = static_cast<const char*>(hit);
                const void* cr = std::memchr(at, '\r', static_cast<std::size_t>(end - at));
                if (!cr) break;
                p = static_cast<const char*>(cr) + 1;
            }
        }
        benchmark::DoNotOptimize(lines);
    }
}

void SearchAll(benchmark::State& state, int threads) {
    Fixture& f = Data();
    NullHost host;
    const std::atomic<bool> stop{false};
    for (auto _ : state) {
        CountingSink sink;
        RunArchivesSearch(f.list, f.slots, f.criteria, sink, host, stop, threads);
        benchmark::DoNotOptimize(sink.results);
    }
}

// Only the reading of the same files into one TArch, as the search does with
// one thread: the floor under the search. Reported for reference; no target.
void BM_SearchAll_ReadOnly(benchmark::State& state) {
    Fixture& f = Data();
    NullHost host;
    TArch arch;
    for (auto _ : state) {
        for (const std::string& path : f.paths) {
            arch.Head.FileName = path;
            ReadArchive(arch, host);
        }
        benchmark::DoNotOptimize(arch.RecCount);
    }
}

void BM_SearchAll_1Thread(benchmark::State& state) {
    SearchAll(state, 1);
}

void BM_SearchAll_2Threads(benchmark::State& state) {
    SearchAll(state, 2);
}

void BM_SearchAll_Index(benchmark::State& state) {
    Fixture& f = Data();
    NullHost host;
    const std::atomic<bool> stop{false};
    // One search first, untimed: it brings the index up to date after a
    // build of another benchmark and maps its pages into the process, as
    // they stay mapped between the searches of a long-lived window.
    {
        CountingSink sink;
        RunIndexedSearch(f.list, f.slots, f.criteria, sink, host, stop, 2);
    }
    for (auto _ : state) {
        CountingSink sink;
        RunIndexedSearch(f.list, f.slots, f.criteria, sink, host, stop, 2);
        benchmark::DoNotOptimize(sink.results);
    }
}

std::string IndexPath() {
    return JoinPath(Data().list.Folder, std::string(kSearchIndexFile));
}

// The index built from nothing, with two threads as a search reads. The
// index of the round before is moved aside and deleted a round later, so
// that the kernel frees its cached pages outside the timing, as it does for
// an index deleted before a new process builds it.
void BM_IndexBuild(benchmark::State& state) {
    Fixture& f = Data();
    const std::string aside = IndexPath() + ".before";
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(aside.c_str());
        std::rename(IndexPath().c_str(), aside.c_str());
        state.ResumeTiming();
        TSearchIndex index;
        benchmark::DoNotOptimize(RefreshSearchIndex(f.list, index, 2).Entries);
    }
    std::remove(aside.c_str());
}

// One archive rewritten, then the index refreshed; the baseline reads that
// archive once.
void BM_IndexRefreshOne(benchmark::State& state) {
    Fixture& f = Data();
    {
        TSearchIndex index;
        RefreshSearchIndex(f.list, index, 2);
    }
    const std::string text = FormatArchive(GeneratedArchive(7));
    for (auto _ : state) {
        state.PauseTiming();
        test::WriteFile(f.paths[7], text); // a new change time each round
        state.ResumeTiming();
        TSearchIndex index;
        benchmark::DoNotOptimize(RefreshSearchIndex(f.list, index, 2).Indexed);
    }
}

// Reading the changed archive once and one stat of every archive: what a
// refresh cannot do without.
void BM_IndexRefreshOne_Baseline(benchmark::State& state) {
    Fixture& f = Data();
    NullHost host;
    TArch arch;
    for (auto _ : state) {
        arch.Head.FileName = f.paths[7];
        ReadArchive(arch, host);
        struct stat st {};
        for (std::int32_t slot = 1; slot <= f.list.ArchiveCount(); ++slot)
            ::stat(f.list.PathOf(slot).c_str(), &st);
        benchmark::DoNotOptimize(arch.RecCount);
    }
}

// The index's size against the archives' total, printed once.
void ReportSizes() {
    std::uint64_t archives = 0;
    for (const std::string& path : Data().paths)
        archives += std::filesystem::file_size(path);
    std::error_code error;
    const std::uint64_t index = std::filesystem::file_size(IndexPath(), error);
    if (error) return; // no index benchmark ran
    std::fprintf(stderr, "index %llu bytes, archives %llu bytes, ratio %.2f\n",
                 static_cast<unsigned long long>(index), static_cast<unsigned long long>(archives),
                 static_cast<double>(index) / static_cast<double>(archives));
}

} // namespace

BENCHMARK(BM_SearchAll_Baseline)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_SearchAll_ReadOnly)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_SearchAll_1Thread)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_SearchAll_2Threads)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_SearchAll_Index)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_IndexBuild)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_IndexRefreshOne)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(BM_IndexRefreshOne_Baseline)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ReportSizes();
    return 0;
}
