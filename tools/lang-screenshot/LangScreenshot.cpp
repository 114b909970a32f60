// Developer tool, not shipped: starts the program's windows as the program
// does, chooses a language file from the "Jazyk" menu, opens the first
// archive of the working folder and saves a picture of the screen.
//
//   lang-screenshot LANGUAGE_FILE PICTURE
//
// Run it on an X display (tools/lang-screenshot.sh starts Xvfb and prepares
// the settings and the working folder).
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "Screenshot.h"
#include "core/catalog/ProgramValues.h"
#include "gui/Windows.h"
#include "gui/mainwin/ArchiveTreeHandler.h"
#include "gui/mainwin/TForm_Main.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s LANGUAGE_FILE PICTURE\n", argv[0]);
        return 2;
    }
    const QString language = QString::fromLocal8Bit(argv[1]);
    const QString picture = QString::fromLocal8Bit(argv[2]);
    screenshot::StartOrbisk();
    orbisk::TWindows windows;
    orbisk::TForm_Main& main = windows.Main();
    main.show();
    bool chosen = false, saved = false;
    QTimer::singleShot(1500, &main, [&] {
        main.resize(1100, 640);
        main.move(20, 20);
        for (QAction* entry : main.Actions().Languages->actions())
            if (entry->data().toString() == language) {
                entry->trigger();
                chosen = true;
            }
        if (main.Archives().Rows().ArchiveCount() > 0) {
            main.Archives().SelectArchive(1);
            main.Archives().OpenSlot(1);
        }
        QTimer::singleShot(800, &main, [&] {
            saved = screenshot::SaveScreen(picture);
            main.close();
            QApplication::quit();
        });
    });
    QApplication::exec();
    return chosen && saved ? 0 : 1;
}
