// Reading and writing a 200 000-entry archive against plain baselines on the
// same bytes: a whole-file read with a memchr line count, and a plain fwrite.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <unistd.h>

#include "ArchiveBuilder.h"
#include "Cli.h"
#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"

using namespace orbisk;

namespace {

struct Fixture {
    test::TempDir dir;
    std::string path = dir.File("large.cd");
    std::string bytes;
    TArch arch;
    Fixture() {
        arch = test::MakeLargeArchive(200000);
        arch.Head.FileName = path;
        NullHost host;
        WriteArchive(arch, host);
        bytes = FormatArchive(arch);
    }
};

Fixture& Data() {
    static Fixture f;
    return f;
}

void BM_ReadArchive_Baseline(benchmark::State& state) {
    Fixture& f = Data();
    for (auto _ : state) {
        std::string text;
        ReadWholeFile(f.path, text);
        std::size_t lines = 0;
        const char* p = text.data();
        const char* end = p + text.size();
        while (const void* cr = std::memchr(p, '\r', static_cast<std::size_t>(end - p))) {
            ++lines;
            p = static_cast<const char*>(cr) + 1;
        }
        benchmark::DoNotOptimize(lines);
    }
}

// The program reads archive after archive into the same TArch (the open
// archive, each search worker's archive), so its arrays are reused.
void BM_ReadArchive(benchmark::State& state) {
    Fixture& f = Data();
    NullHost host;
    TArch a;
    for (auto _ : state) {
        a.Head.FileName = f.path;
        ReadArchive(a, host);
        benchmark::DoNotOptimize(a.RecCount);
    }
}

// A first read into a new TArch: every page of its arrays is new to the
// process. Reported for reference; no target.
void BM_ReadArchive_Fresh(benchmark::State& state) {
    Fixture& f = Data();
    NullHost host;
    for (auto _ : state) {
        TArch a;
        a.Head.FileName = f.path;
        ReadArchive(a, host);
        benchmark::DoNotOptimize(a.RecCount);
    }
}

void BM_WriteArchive_Baseline(benchmark::State& state) {
    Fixture& f = Data();
    std::string out = f.dir.File("plain.cd");
    for (auto _ : state) {
        std::FILE* file = std::fopen(out.c_str(), "wb");
        std::fwrite(f.bytes.data(), 1, f.bytes.size(), file);
        std::fflush(file);
        ::fsync(::fileno(file));
        std::fclose(file);
    }
}

void BM_WriteArchive(benchmark::State& state) {
    Fixture& f = Data();
    NullHost host;
    TArch a = f.arch;
    a.Head.FileName = f.dir.File("written.cd");
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteArchive(a, host));
}

void BM_CliLs(benchmark::State& state) {
    Fixture& f = Data();
    for (auto _ : state) {
        std::ostringstream out, err;
        benchmark::DoNotOptimize(cli::RunCli({"ls", f.path, "\\folder1999\\"}, {out, err}));
    }
}

} // namespace

BENCHMARK(BM_ReadArchive_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadArchive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadArchive_Fresh)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteArchive_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteArchive)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CliLs)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
