// The HTML export of a 200 000-entry archive against reading the archive and
// saving a file of the page's size the same way; and the conversion of a
// generated Windows Commander catalogue of 200 000 lines with 20 000 folders.
#include <benchmark/benchmark.h>

#include <random>

#include "ArchiveBuilder.h"
#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"
#include "core/export/ArchiveExport.h"
#include "core/export/CdsConvert.h"

using namespace orbisk;

namespace {

const std::atomic<bool> kRunning{true};

struct ExportFixture {
    test::TempDir dir;
    std::string path = dir.File("large.cd");
    std::size_t pageSize = 0;
    ExportFixture() {
        TArch arch = test::MakeLargeArchive(200000);
        arch.Head.FileName = path;
        NullHost host;
        WriteArchive(arch, host);
        pageSize = ExportArchive(path, TExportFormat::Page, {}, {}, kRunning, host).Output.size();
    }
};

ExportFixture& ExportData() {
    static ExportFixture f;
    return f;
}

// 20 000 folders, each under a random earlier one or the root, with nine
// file lines after each folder line.
std::string GeneratedCatalogue() {
    std::mt19937 rng(7);
    std::vector<std::string> dirs;
    std::string text = "Windows Commander catalogue\r\n";
    for (int d = 0; d < 20000; ++d) {
        const std::size_t parent = dirs.empty() ? 0 : rng() % (dirs.size() + 1);
        std::string dir =
            (parent == 0 ? std::string() : dirs[parent - 1]) + "dir" + std::to_string(d) + "\\";
        text += dir + "\r\n";
        dirs.push_back(std::move(dir));
        for (int f = 0; f < 9; ++f)
            text += "file" + std::to_string(f) + ".txt\t" + std::to_string(d * 9 + f) +
                    "\t8.12.2026\t4:50:22\t\r\n";
    }
    return text;
}

struct CdsFixture {
    test::TempDir dir;
    std::string path = dir.File("large.cds");
    CdsFixture() { test::WriteFile(path, GeneratedCatalogue()); }
};

CdsFixture& CdsData() {
    static CdsFixture f;
    return f;
}

void BM_ExportPage_Baseline(benchmark::State& state) {
    ExportFixture& f = ExportData();
    NullHost host;
    TArch a;
    const std::string page(f.pageSize, 'x');
    const std::string out = f.dir.File("baseline.html");
    for (auto _ : state) {
        a.Head.FileName = f.path;
        ReadArchive(a, host);
        benchmark::DoNotOptimize(SaveExport(out, page).ok);
    }
}

void BM_ExportPage(benchmark::State& state) {
    ExportFixture& f = ExportData();
    NullHost host;
    const std::string out = f.dir.File("page.html");
    for (auto _ : state) {
        const TExportResult r = ExportArchive(f.path, TExportFormat::Page, {}, {}, kRunning, host);
        benchmark::DoNotOptimize(SaveExport(out, r.Output).ok);
    }
}

// The parts of an export, for reference (no targets): the page made from
// the archive text in memory, and the text read from disk.
void BM_ExportPage_FormatOnly(benchmark::State& state) {
    ExportFixture& f = ExportData();
    NullHost host;
    std::string text, page;
    ReadWholeFile(f.path, text);
    state.SetLabel("archive " + std::to_string(text.size() / 1000000) + " MB, page " +
                   std::to_string(f.pageSize / 1000000) + " MB");
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatArchivePage(text, f.path, {}, {}, kRunning, host, page));
}

void BM_ConvertCds(benchmark::State& state) {
    CdsFixture& f = CdsData();
    NullHost host;
    const auto replace = [](const std::string&) { return true; };
    for (auto _ : state)
        benchmark::DoNotOptimize(
            ConvertCdsFile(f.path, f.dir.Path(), replace, kRunning, host).Outcome);
}

} // namespace

BENCHMARK(BM_ExportPage_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExportPage_FormatOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertCds)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
