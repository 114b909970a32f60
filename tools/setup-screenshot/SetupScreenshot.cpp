// Developer tool, not shipped: starts the program's windows as the program
// does, opens the setup window and saves a picture of each of its pages.
//
//   setup-screenshot COLOURS MORE MORE2
//
// Run it on an X display (tools/setup-screenshot.sh starts Xvfb and writes
// the settings, so the first-start help does not open).
#include <QAction>
#include <QApplication>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "core/catalog/ProgramValues.h"
#include "gui/Windows.h"
#include "gui/common/QtTranslation.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/settings/TForm_Setup.h"

namespace {

bool SavePage(orbisk::TForm_Setup& setup, int page, const QString& picture) {
    setup.PageControl->setCurrentIndex(page);
    QApplication::processEvents();
    const QRect frame = setup.frameGeometry();
    const bool saved = QGuiApplication::primaryScreen()
                           ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                           .save(picture, "PNG");
    std::fprintf(stderr, "%s %s\n", saved ? "saved" : "could not save", qPrintable(picture));
    return saved;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s COLOURS MORE MORE2\n", argv[0]);
        return 2;
    }
    QApplication::setApplicationName(QStringLiteral("Orbisk"));
    orbisk::InitProgramValues(orbisk::Program(), orbisk::DetectProgramDir());
    orbisk::InstallQtTranslation(QString::fromLatin1(orbisk::kDefaultLanguage));
    orbisk::TWindows windows;
    orbisk::TForm_Main& main = windows.Main();
    orbisk::TForm_Setup& setup = *windows.Find<orbisk::TForm_Setup>();
    main.resize(1000, 620);
    main.move(10, 10);
    main.show();
    int saved = 0;
    QTimer::singleShot(1500, &main, [&] {
        setup.move(120, 80);
        setup.show();
        QTimer::singleShot(800, &main, [&] {
            for (int page = 0; page < 3; ++page)
                saved += SavePage(setup, page, QString::fromLocal8Bit(argv[page + 1])) ? 1 : 0;
            setup.hide();
            main.close();
            QApplication::quit();
        });
    });
    QApplication::exec();
    return saved == 3 ? 0 : 1;
}
