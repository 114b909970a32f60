// Developer tool, not shipped: writes a small reverse-list database into a
// working folder, opens the database window from the main window as a user
// does ("Zpětný seznam (databáze)"), chooses a category and an item with a
// description and saves a picture of the window.
//
//   db-screenshot WORKING_FOLDER OUT_PNG
//
// Run it on an X display (tools/db-screenshot.sh starts Xvfb).
#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QTreeView>
#include <cstdio>

#include "Screenshot.h"
#include "core/catalog/ProgramValues.h"
#include "core/db/Database.h"
#include "gui/Windows.h"
#include "gui/common/ListView.h"
#include "gui/db/DbItemModel.h"
#include "gui/db/DbPanes.h"
#include "gui/db/DbTreeModel.h"
#include "gui/db/TForm_DB.h"
#include "gui/mainwin/TForm_Main.h"

namespace {

void WriteSampleDatabase(const std::string& folder) {
    const screenshot::DbSample samples[] = {
        {"\\Hry\\Akční\\",
         {"DOOM", "12 582 912", "Hry 1", "\\DOOM", "",
          "Klasická střílečka z roku 1993.\x07Spouští se DOOM.EXE, potřebuje DOS.\x07"}},
        {"\\Hry\\Akční\\",
         {"Quake", "45 678 123", "Hry 2", "\\QUAKE", "", "Quake 1, verze 1.06\x07"}},
        {"\\Hry\\Akční\\", {"Duke Nukem 3D", "38 112 004", "Hry 2", "\\DUKE3D", "", ""}},
        {"\\Hry\\Strategie\\", {"Civilization", "4 300 221", "Hry 1", "\\CIV", "", ""}},
        {"\\Hry\\Strategie\\", {"Heroes II", "61 200 003", "Hry 3", "\\HEROES2", "", ""}},
        {"\\Programy\\Grafika\\",
         {"GIMP 2.10", "210 334 112", "Linux 7", "\\apps\\gimp", "", "Editor obrázků\x07"}},
        {"\\Programy\\Kancelář\\", {"LibreOffice", "412 998 001", "Linux 7", "\\apps\\lo", "", ""}},
        {"\\Dokumenty\\",
         {"Manuál tiskárny.pdf", "2 345 678", "Dokumenty 2004", "\\tisk.pdf", "", ""}},
    };
    screenshot::WriteDatabase(orbisk::DatabasePath(folder), samples);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s WORKING_FOLDER OUT_PNG\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const QString out = QString::fromLocal8Bit(argv[2]);
    WriteSampleDatabase(folder);
    screenshot::StartOrbisk();
    orbisk::Program().WorkingDirectory = folder;
    orbisk::TWindows windows;
    orbisk::TForm_Main& main = windows.Main();
    auto* db = windows.Find<orbisk::TForm_DB>();
    main.resize(1100, 640);
    main.move(20, 20);
    main.show();

    bool saved = false;
    QTimer::singleShot(1200, &main, [&] {
        QTimer::singleShot(800, db, [&] {
            db->move(60, 60);
            orbisk::DbPanes& panes = db->Panes();
            panes.TreeView->expandAll();
            panes.TreeView->setCurrentIndex(panes.Tree().FindPath("\\Hry\\Akční\\"));
            orbisk::DbItemModel& items = panes.Items();
            for (int row = 0; row < items.rowCount(); ++row)
                if (items.Text(row, 0) == QStringLiteral("DOOM")) panes.List->SelectRow(row);
            QTimer::singleShot(700, db, [&] {
                saved = screenshot::SaveScreen(out, db);
                db->close();
                QTimer::singleShot(300, &main, [&] { main.close(); });
            });
        });
        db->Action_DB->trigger();
    });
    QApplication::exec();
    return saved ? 0 : 1;
}
