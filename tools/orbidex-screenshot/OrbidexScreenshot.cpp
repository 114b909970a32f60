// Developer tool, not shipped: writes a small reverse-list database as
// VEviz/cd.db below the current folder, starts the viewer's window on it as
// orbidex does, chooses a category and an item with a description and saves
// a picture of the window.
//
//   orbidex-screenshot OUT_PNG
//
// Run it on an X display (tools/orbidex-screenshot.sh starts Xvfb).
#include <QApplication>
#include <QTimer>
#include <QTreeView>
#include <cstdio>
#include <filesystem>

#include "Screenshot.h"
#include "core/catalog/ProgramValues.h"
#include "core/db/Database.h"
#include "gui/common/ListView.h"
#include "gui/db/DbItemModel.h"
#include "gui/db/DbPanes.h"
#include "gui/db/DbTreeModel.h"
#include "gui/viewer/TForm_DB.h"

namespace {

void WriteSampleDatabase() {
    const screenshot::DbSample samples[] = {
        {"\\Games\\Action\\",
         {"DOOM", "12 582 912", "Games 1", "\\DOOM", "",
          "The classic shooter of 1993.\x07Starts with DOOM.EXE, needs DOS.\x07"}},
        {"\\Games\\Action\\",
         {"Quake", "45 678 123", "Games 2", "\\QUAKE", "", "Quake 1, version 1.06\x07"}},
        {"\\Games\\Action\\", {"Duke Nukem 3D", "38 112 004", "Games 2", "\\DUKE3D", "", ""}},
        {"\\Games\\Strategy\\", {"Civilization", "4 300 221", "Games 1", "\\CIV", "", ""}},
        {"\\Programs\\Graphics\\",
         {"GIMP 2.10", "210 334 112", "Linux 7", "\\apps\\gimp", "", "Image editor\x07"}},
        {"\\Programs\\Office\\", {"LibreOffice", "412 998 001", "Linux 7", "\\apps\\lo", "", ""}},
        {"\\Documents\\",
         {"Printer manual.pdf", "2 345 678", "Documents 2004", "\\print.pdf", "", ""}},
    };
    std::filesystem::create_directories("VEviz");
    screenshot::WriteDatabase("VEviz/cd.db", samples);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT_PNG\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    WriteSampleDatabase();
    QApplication::setApplicationName(QStringLiteral("Orbidex"));
    orbisk::viewer::TForm_DB window(orbisk::DetectProgramDir());
    window.resize(900, 520);
    window.move(40, 40);
    window.show();

    bool saved = false;
    QTimer::singleShot(1500, &window, [&] {
        orbisk::DbPanes& panes = window.Panes();
        panes.TreeView->expandAll();
        panes.TreeView->setCurrentIndex(panes.Tree().FindPath("\\Games\\Action\\"));
        orbisk::DbItemModel& items = panes.Items();
        for (int row = 0; row < items.rowCount(); ++row)
            if (items.Text(row, 0) == QStringLiteral("DOOM")) panes.List->SelectRow(row);
        QTimer::singleShot(700, &window, [&] {
            saved = screenshot::SaveScreen(out, &window);
            window.close();
        });
    });
    QApplication::exec();
    return saved ? 0 : 1;
}
