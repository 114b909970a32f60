// Opening a database of 200 000 items in 2 000 categories (and 100 in the
// root category) in the database
// window: reading cd.db, the category tree with its nodes ordered by name,
// the list of the topmost node and the window painted, against a baseline
// that reads the same file with the archive reader alone.
#include <benchmark/benchmark.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QTreeView>
#include <string>

#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ProgramValues.h"
#include "core/db/Database.h"
#include "gui/common/ListView.h"
#include "gui/db/DbItemModel.h"
#include "gui/db/DbPanes.h"
#include "gui/db/DbTreeModel.h"
#include "gui/db/TForm_DB.h"
#include "gui/mainwin/TForm_Main.h"

using namespace orbisk;

namespace {

constexpr int kCategories = 2000;
constexpr int kItemsPerCategory = 100;

// The root category "\" (where new items land; its node comes first, so it
// is the list the window shows) and categories under 40 top-level ones, as
// the core benchmark makes them.
void WriteDatabase(const std::string& path) {
    TArch arch;
    arch.Head.FileName = path;
    for (int c = kCategories; c >= 0; --c) {
        arch.AddDir(c == kCategories ? std::string("\\")
                                     : "\\Group " + std::to_string(c % 40) + "\\Category " +
                                           std::to_string(c) + "\\");
        for (int i = kItemsPerCategory - 1; i >= 0; --i)
            arch.AddRec(TRec{"Program " + std::to_string(c) + "-" + std::to_string(i),
                             std::to_string(1000 + i * 7919), "Archive " + std::to_string(c),
                             "\\Folder\\program" + std::to_string(i) + ".exe",
                             i % 5 == 0 ? "a note" : "",
                             i % 3 == 0 ? "first line\x07second line\x07" : "", 1});
    }
    NullHost host;
    WriteArchive(arch, host);
}

struct Window {
    test::TempDir work;
    std::string path = DatabasePath(work.Path());
    TForm_Main main;
    BusyGuard idle{main, false}; // no start-up sequence runs here
    TForm_DB* db;
    Window() {
        WriteDatabase(path);
        main.SetWorkingFolder(QFile::decodeName(QByteArray::fromStdString(work.Path())));
        db = new TForm_DB(&main);
        db->resize(960, 560);
        db->setModal(false);
        db->show();
        QApplication::processEvents();
    }
};

Window* theWindow = nullptr;

void BM_DbWindowOpen_Baseline(benchmark::State& state) {
    NullHost host;
    for (auto _ : state) {
        TArch arch;
        arch.Head.FileName = theWindow->path;
        ReadArchive(arch, host);
        benchmark::DoNotOptimize(arch.RecCount);
    }
}

// What every showing of the window does before the user can look.
void BM_DbWindowOpen(benchmark::State& state) {
    TForm_DB& db = *theWindow->db;
    DbPanes& panes = db.Panes();
    for (auto _ : state) {
        db.Database().Open(theWindow->path, db.UiHost(), true);
        panes.ShowDatabase();
        QApplication::processEvents();
        panes.TreeView->viewport()->repaint();
        panes.List->CurrentView()->viewport()->repaint();
        benchmark::DoNotOptimize(panes.Items().rowCount());
    }
    state.counters["items"] = db.Database().ItemCount();
    state.counters["nodes"] = panes.Tree().NodeCount();
    state.counters["rows"] = panes.Items().rowCount();
}

} // namespace

BENCHMARK(BM_DbWindowOpen_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DbWindowOpen)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InitProgramValues(Program(), DetectProgramDir());
    {
        Window window;
        theWindow = &window;
        benchmark::Initialize(&argc, argv);
        if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
        benchmark::RunSpecifiedBenchmarks();
        benchmark::Shutdown();
        // The window is not closed: closing would save the database.
        window.db->hide();
    }
    return 0;
}
