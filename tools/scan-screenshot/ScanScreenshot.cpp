// Developer tool, not shipped: brings the program's windows up as the
// program does, opens the scan window with "Nový ...", scans a real folder
// and saves two pictures of the screen: one while the scan runs and one of
// the main window with the new archive afterwards.
//
//   scan-screenshot SOURCE WORKING_FOLDER DURING.png AFTER.png
//
// Run it on an X display (tools/scan-screenshot.sh starts Xvfb).
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>

#include "Screenshot.h"
#include "core/catalog/ProgramValues.h"
#include "gui/Windows.h"
#include "gui/mainwin/ArchiveTreeHandler.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/scan/TForm_ReadCD.h"

namespace {} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s SOURCE WORKING_FOLDER DURING.png AFTER.png\n", argv[0]);
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[1]);
    const QString during = QString::fromLocal8Bit(argv[3]);
    const QString after = QString::fromLocal8Bit(argv[4]);
    screenshot::StartOrbisk();
    orbisk::Program().WorkingDirectory = argv[2];
    orbisk::TWindows windows;
    orbisk::TForm_Main& main = windows.Main();
    auto* scan = windows.Find<orbisk::TForm_ReadCD>();
    main.resize(1000, 640);
    main.move(20, 20);
    main.show();

    int status = 1;
    bool shot = false;
    int lines = 0;
    scan->ProgressHook = [&] {
        // Far enough into the walk for a box full of lines.
        if (shot || ++lines < 1500) return;
        // The box empties itself every hundred lines; wait until it is full.
        if (scan->ProgressText().count(QLatin1Char('\n')) < 60) return;
        shot = true;
        QApplication::processEvents();
        screenshot::SaveScreen(during);
    };
    // Once the start-up has run: "Nový ...", then "Načti" inside the modal
    // window, then close it and picture the main window.
    QTimer::singleShot(1500, &main, [&] {
        QTimer::singleShot(300, scan, [&] {
            scan->move(260, 140);
            scan->SetSource(source);
            scan->Edit_Name->setText(QStringLiteral("Dokumentace"));
            scan->ComboBox_Typ->setEditText(QStringLiteral("Linux"));
            scan->ComboBox_SubTyp->setEditText(QStringLiteral("Dokumentace"));
            scan->CheckBoxZIP->setChecked(true);
            // The polling timer shows the source's volume before the scan.
            QTimer::singleShot(1500, scan, [&] {
                scan->StartScan();
                QTimer::singleShot(800, scan, [&] { scan->close(); });
            });
        });
        main.findChild<QAction*>(QStringLiteral("Action_New"))->trigger();
        QTimer::singleShot(800, &main, [&] {
            const orbisk::TScanResult& result = scan->LastResult();
            if (result.Written()) main.Archives().OpenSlot(result.Slot);
            status = screenshot::SaveScreen(after) && shot && scan->LastResult().Written() ? 0 : 1;
            main.close();
        });
    });
    QApplication::exec();
    return status;
}
