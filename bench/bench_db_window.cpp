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

#include "BenchFixtures.h"
#include "GuiBench.h"
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

struct Window {
    test::TempDir work;
    std::string path = DatabasePath(work.Path());
    TForm_Main main;
    BusyGuard idle{main, false}; // no start-up sequence runs here
    TForm_DB* db;
    Window() {
        // The root category "\" comes first, so its items are the list the
        // window shows.
        bench::WriteSampleDatabase(path, kCategories, kItemsPerCategory, true);
        main.SetWorkingFolder(QFile::decodeName(QByteArray::fromStdString(work.Path())));
        db = new TForm_DB(&main);
        db->resize(960, 560);
        db->setModal(false);
        db->show();
        QApplication::processEvents();
    }
    // The window is not closed: closing would save the database.
    ~Window() { db->hide(); }
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
    return bench::RunWindowBenchmarks(argc, argv, theWindow);
}
