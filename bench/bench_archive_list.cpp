// Building the archive list of a folder of 5 000 archives, with a warm cache
// against a baseline that only stats the 5 000 files, and without the cache
// against a baseline that reads the first 4 KiB of each file. The build a
// search from the command line makes before it searches (the cache left as
// it is) is measured against the same stats.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ArchiveBuilder.h"
#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ArchiveList.h"

using namespace orbisk;

namespace {

constexpr int kArchives = 5000;

// A folder of archives of about 100 entries each (some 6 KB), with a few
// media, categories and owners, as a real working folder has.
struct Fixture {
    test::TempDir dir;
    std::vector<std::string> paths;
    Fixture() {
        std::vector<test::EntrySpec> entries;
        for (int e = 0; e < 100; ++e)
            entries.push_back({"file" + std::to_string(e) + ".txt", std::to_string(e * 977)});
        TArch arch = test::MakeArchive({{"\\", entries}});
        static const char* const kMedia[] = {"CD", "DVD", "HDD"};
        static const char* const kTypes[] = {"Hry", "Programy", "Hudba", "Filmy", "Foto"};
        for (int i = 0; i < kArchives; ++i) {
            arch.Head.Name = "Archive " + std::to_string(i);
            arch.Head.Medium = kMedia[i % 3];
            arch.Head.Typ = kTypes[i % 5];
            arch.Head.SubTyp = i % 7 == 0 ? "" : "Sub" + std::to_string(i % 11);
            arch.Head.Owner = "Owner" + std::to_string(i % 13);
            arch.Head.Description = "Description of archive " + std::to_string(i);
            std::string path = dir.File("arch" + std::to_string(i) + ".cd");
            std::string text = FormatArchive(arch);
            std::FILE* file = std::fopen(path.c_str(), "wb");
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
            paths.push_back(std::move(path));
        }
        TArchiveList list;
        NullHost host;
        BuildArchiveList(dir.Path(), list, host); // the warm cache
    }
};

Fixture& Data() {
    static Fixture f;
    return f;
}

void BM_ArchiveListWarm_Baseline(benchmark::State& state) {
    Fixture& f = Data();
    for (auto _ : state) {
        int files = 0;
        for (const std::string& path : f.paths) {
            struct stat st {};
            files += ::stat(path.c_str(), &st) == 0;
        }
        benchmark::DoNotOptimize(files);
    }
}

void BM_ArchiveListWarm(benchmark::State& state) {
    Fixture& f = Data();
    NullHost host;
    TArchiveList list;
    for (auto _ : state) {
        TBuildResult r = BuildArchiveList(f.dir.Path(), list, host);
        if (r.HeadersRead != 0) state.SkipWithError("the cache was not used");
        benchmark::DoNotOptimize(r.ListedCount);
    }
}

// The start of orbisk-cli search: the list built, _cd_.lst not written.
void BM_ArchiveListSearchStart(benchmark::State& state) {
    Fixture& f = Data();
    NullHost host;
    for (auto _ : state) {
        TArchiveList list;
        TBuildResult r = BuildArchiveList(f.dir.Path(), list, host, TListCache::Leave);
        if (r.HeadersRead != 0) state.SkipWithError("the cache was not used");
        benchmark::DoNotOptimize(r.ListedCount);
    }
}

void BM_ArchiveListCold_Baseline(benchmark::State& state) {
    Fixture& f = Data();
    char buffer[4096];
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (const std::string& path : f.paths) {
            int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            ssize_t got = ::read(fd, buffer, sizeof buffer);
            ::close(fd);
            bytes += static_cast<std::size_t>(got);
        }
        benchmark::DoNotOptimize(bytes);
    }
}

// Without the cache every header is read, and the new cache file is saved
// (written, flushed to the disk and renamed into place) at the end.
void BM_ArchiveListCold(benchmark::State& state) {
    Fixture& f = Data();
    NullHost host;
    TArchiveList list;
    const std::string cache = f.dir.File(std::string(kArchiveListFile));
    for (auto _ : state) {
        state.PauseTiming();
        ::unlink(cache.c_str());
        state.ResumeTiming();
        TBuildResult r = BuildArchiveList(f.dir.Path(), list, host);
        if (r.HeadersRead != kArchives) state.SkipWithError("headers were not read");
        benchmark::DoNotOptimize(r.ListedCount);
    }
}

} // namespace

BENCHMARK(BM_ArchiveListWarm_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArchiveListWarm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArchiveListSearchStart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArchiveListCold_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ArchiveListCold)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
