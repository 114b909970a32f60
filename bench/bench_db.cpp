// The reverse-list database and the multi-archive merge:
// - opening a database of 200 000 items in 2 000 categories as the database
//   window does (read, category tree, first list with its size texts);
// - its template export against writing the database with WriteArchive;
// - merging 50 archives of 1 000 000 entries in all against reading them and
//   writing the result.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>

#include "ArchiveBuilder.h"
#include "BenchFixtures.h"
#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"
#include "core/catalog/Common.h"
#include "core/catalog/Merge.h"
#include "core/db/CategoryTree.h"
#include "core/db/Database.h"
#include "core/db/TemplateExport.h"

using namespace orbisk;

namespace {

constexpr int kCategories = 2000;
constexpr int kItemsPerCategory = 100;

struct DbFixture {
    test::TempDir dir;
    std::string path = DatabasePath(dir.Path());
    std::string tpl = dir.File("page.tpl");
    TDatabase db;
    DbFixture() {
        bench::WriteSampleDatabase(path, kCategories, kItemsPerCategory, false);
        test::WriteFile(tpl, "[ItemsHeader]\r\n<html><body>\r\n[KategoryHead]\r\n<h2>\r\n"
                             "$Kategory\r\n</h2><table>\r\n[Item]\r\n<tr><td>\r\n$Name\r\n</td><td>"
                             "\r\n$Size\r\n</td><td>\r\n$Archive\r\n</td><td>\r\n$Path\r\n</td><td>"
                             "\r\n$Description\r\n</td></tr>\r\n[KategoryEnd]\r\n</table>\r\n"
                             "[ItemsEnd]\r\n</body></html>\r\n");
        NullHost host;
        db.Open(path, host, false);
    }
};

DbFixture& Db() {
    static DbFixture f;
    return f;
}

// What the database window does when it is shown: read the file, build the
// tree, list the root category and then the topmost node's category, each
// row with its size text.
void BM_DbOpen(benchmark::State& state) {
    DbFixture& f = Db();
    NullHost host;
    const TTextCompare compare = CollationCompare();
    for (auto _ : state) {
        TDatabase db;
        db.Open(f.path, host, true);
        TCategoryTree tree = TCategoryTree::Of(db.Arch());
        tree.Sort([&](std::string_view a, std::string_view b) { return compare(a, b) < 0; });
        std::vector<std::string> sizes;
        for (std::string path : {std::string("\\"), tree.PathOf(tree.TopLevel().front())}) {
            const TEntryRange items = db.ItemsOf(path);
            for (std::int32_t i = items.First; i <= items.Last; ++i)
                sizes.push_back(FormatSize(db.Item(i).Size));
        }
        benchmark::DoNotOptimize(sizes.data());
        benchmark::DoNotOptimize(tree.NodeCount());
    }
}

// The export sorts in place; between runs the database gets back its
// unsorted order outside the timing.
void Unsort(TArch& db) {
    std::reverse(db.Dirs.begin() + 1, db.Dirs.begin() + db.DirCount + 1);
    for (std::int32_t d = 1; d <= db.DirCount; ++d) {
        const TDir& dir = db.Dirs[static_cast<std::size_t>(d)];
        std::reverse(db.Recs.begin() + dir.First, db.Recs.begin() + dir.First + dir.Count);
    }
}

void BM_DbExport(benchmark::State& state) {
    DbFixture& f = Db();
    const std::string out = f.dir.File("page.html");
    // What the command line passes in (the benchmark runs in the C locale).
    const TTextCompare compare = CollationCompare();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ExportDatabase(f.db.MutableArch(), f.tpl, out, compare));
        state.PauseTiming();
        Unsort(f.db.MutableArch());
        state.ResumeTiming();
    }
}

void BM_DbExport_Baseline(benchmark::State& state) {
    DbFixture& f = Db();
    NullHost host;
    TArch copy = f.db.Arch();
    copy.Head.FileName = f.dir.File("written.db");
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteArchive(copy, host));
}

constexpr int kSources = 50;
constexpr int kEntriesPerSource = 19800; // with its folders 19 998 entries

struct MergeFixture {
    test::TempDir dir;
    TArchiveList list;
    std::vector<std::int32_t> slots;
    // The merged archive is the open archive, which lives as long as the
    // program and is refilled, as in BM_ReadArchive.
    TArch merged;
    MergeFixture() {
        list.Folder = dir.Path();
        NullHost host;
        for (int s = 0; s < kSources; ++s) {
            TArch a = test::MakeLargeArchive(kEntriesPerSource);
            a.Head.Name = "Disc " + std::to_string(s);
            const std::string file = "disc" + std::to_string(s) + ".cd";
            a.Head.FileName = dir.File(file);
            WriteArchive(a, host);
            slots.push_back(list.Append(ListRowOf(a.Head, file)));
        }
    }
};

MergeFixture& Merge() {
    static MergeFixture f;
    return f;
}

void BM_Merge(benchmark::State& state) {
    MergeFixture& f = Merge();
    NullHost host;
    for (auto _ : state) {
        TArchiveList list = f.list;
        benchmark::DoNotOptimize(MergeListedArchives(list, f.slots, f.merged, host).Written);
    }
}

// Reading the sources and writing a merged archive of the same size.
void BM_Merge_Baseline(benchmark::State& state) {
    MergeFixture& f = Merge();
    NullHost host;
    TArch result;
    {
        TArchiveList list = f.list;
        MergeListedArchives(list, f.slots, result, host);
        result.Head.FileName = f.dir.File("baseline.cd");
    }
    for (auto _ : state) {
        std::vector<TArch> sources(f.slots.size());
        for (std::size_t k = 0; k < f.slots.size(); ++k) {
            sources[k].Head.FileName = f.list.PathOf(f.slots[k]);
            ReadArchive(sources[k], host);
        }
        benchmark::DoNotOptimize(WriteArchive(result, host));
    }
}

} // namespace

BENCHMARK(BM_DbOpen)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DbExport_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DbExport)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Merge_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Merge)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
