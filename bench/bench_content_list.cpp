// Listing a folder of 100 000 entries in the main window's content list, from
// ListFolder to a sorted view with the remembered row selected and painted,
// against a baseline that only copies the names into a vector; once more with
// the system's icons, whose pictures are looked up per extension.
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <cstdint>
#include <string>
#include <vector>

#include "GuiBench.h"
#include "core/catalog/Archive.h"
#include "core/catalog/ProgramValues.h"
#include "gui/common/ListView.h"
#include "gui/common/SystemIcons.h"
#include "gui/mainwin/ContentBrowser.h"
#include "gui/mainwin/ContentModel.h"
#include "gui/mainwin/TForm_Main.h"

using namespace orbisk;

namespace {

constexpr int kEntries = 100000;

// One folder of kEntries entries in no particular order: every hundredth a
// folder, the rest files of assorted names, sizes and notes.
void FillFolder(TArch& arch) {
    arch.Clear();
    arch.Head.Name = "Large folder";
    arch.AddDir("\\");
    std::uint32_t seed = 12345;
    const char* extensions[] = {".txt", ".mp3", ".jpg", ".exe", ".zip", ".html", ""};
    for (int i = 0; i < kEntries; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const std::string number = std::to_string(seed % 1000000);
        if (i % 100 == 0) {
            arch.AddRec({"Folder " + number, "0", "8.12.2026 4:50:22", "d----", "", "", 1});
            continue;
        }
        arch.AddRec({"file_" + number + extensions[seed % 7], std::to_string(seed % 5000000),
                     "8.12.2026 4:50:22", " -a--", i % 7 == 0 ? "a note" : "", "", 1});
    }
}

struct Window {
    TForm_Main form;
    BusyGuard idle{form, false}; // no start-up sequence runs here
    Window() {
        FillFolder(form.CurrentArchive);
        form.resize(1000, 700);
        form.show();
        QApplication::processEvents();
    }
};

// Made in main, after the application object and gone before it.
Window* theWindow = nullptr;

Window& TheWindow() {
    return *theWindow;
}

void BM_ContentList_Baseline(benchmark::State& state) {
    const TArch& arch = TheWindow().form.CurrentArchive;
    for (auto _ : state) {
        std::vector<std::string> names;
        names.reserve(static_cast<std::size_t>(arch.RecCount));
        for (std::int32_t i = 1; i <= arch.RecCount; ++i)
            names.push_back(arch.Recs[static_cast<std::size_t>(i)].Name.str());
        benchmark::DoNotOptimize(names.data());
    }
    // Every run of a program reports the same counters.
    state.counters["rows"] = arch.RecCount;
}

void ListFolder(benchmark::State& state) {
    TForm_Main& form = TheWindow().form;
    ListView& list = *form.Controls().ListView_Dir;
    for (auto _ : state) {
        form.Content().ListFolder("\\");
        // Layout and painting of the view are part of what the user waits for.
        QApplication::processEvents();
        list.CurrentView()->viewport()->repaint();
        benchmark::DoNotOptimize(list.SelectedRows());
    }
    state.counters["rows"] = form.Content().Model().rowCount();
}

void BM_ContentList(benchmark::State& state) {
    ListFolder(state);
}

void BM_ContentList_SystemIcons(benchmark::State& state) {
    SetSystemIcons(true);
    ListFolder(state);
    SetSystemIcons(false);
}

} // namespace

BENCHMARK(BM_ContentList_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContentList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContentList_SystemIcons)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    return bench::RunWindowBenchmarks(argc, argv, theWindow);
}
