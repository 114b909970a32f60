// Developer tool, not shipped: brings the program's windows up as the
// program does (Qt's Czech texts included) and saves four pictures of the
// screen: the main window with its tool bar, the scan window's file-name
// question with the program's own buttons, the open dialog and the about
// window.
//
//   ui-screenshot WORKING_FOLDER SOURCE OUT_FOLDER
//
// WORKING_FOLDER must hold "Hry.cd", so that a scan named "Hry" asks. Run it
// on an X display (tools/ui-screenshot.sh starts Xvfb).
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "Screenshot.h"
#include "core/catalog/ProgramValues.h"
#include "gui/Windows.h"
#include "gui/mainwin/ArchiveTreeHandler.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/scan/TForm_ReadCD.h"
#include "gui/settings/TForm_About.h"

namespace {

// Waits for a modal window of type T, lets it settle, pictures the screen
// and hands the window to done, which closes it.
template <typename T>
void WhenModal(const QString& picture, bool& saved, std::function<void(T*)> done) {
    screenshot::WhenModal<T>(700, [=, &saved](T* modal) {
        saved = screenshot::SaveScreen(picture);
        done(modal);
    });
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s WORKING_FOLDER SOURCE OUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString source = QString::fromLocal8Bit(argv[2]);
    const QString out = QString::fromLocal8Bit(argv[3]) + QLatin1Char('/');
    screenshot::StartOrbisk();
    orbisk::Program().WorkingDirectory = argv[1];
    orbisk::TWindows windows;
    orbisk::TForm_Main& main = windows.Main();
    auto* scan = windows.Find<orbisk::TForm_ReadCD>();
    main.resize(1100, 640);
    main.move(20, 20);
    main.show();

    bool mainSaved = false, questionSaved = false, openSaved = false, aboutSaved = false;
    auto about = [&] {
        WhenModal<orbisk::TForm_About>(out + QStringLiteral("screenshot-about.png"), aboutSaved,
                                       [&](orbisk::TForm_About* window) {
                                           window->Button_OK->click();
                                           QTimer::singleShot(300, &main, [&] { main.close(); });
                                       });
        main.findChild<QAction*>(QStringLiteral("Action_About"))->trigger();
    };
    auto openDialog = [&] {
        WhenModal<QFileDialog>(out + QStringLiteral("screenshot-open-dialog.png"), openSaved,
                               [&](QFileDialog* dialog) {
                                   dialog->reject();
                                   QTimer::singleShot(300, &main, about);
                               });
        main.findChild<QAction*>(QStringLiteral("Action_Open"))->trigger();
    };
    // The scan window asks whether to replace "Hry.cd"; "Storno" ends it.
    auto question = [&] {
        WhenModal<QMessageBox>(out + QStringLiteral("screenshot-collision.png"), questionSaved,
                               [&](QMessageBox* box) {
                                   for (QAbstractButton* button : box->buttons())
                                       if (box->buttonRole(button) == QMessageBox::RejectRole)
                                           button->click();
                                   QTimer::singleShot(300, scan, [&] {
                                       scan->close();
                                       QTimer::singleShot(300, &main, openDialog);
                                   });
                               });
        QTimer::singleShot(300, scan, [&] {
            scan->move(260, 140);
            scan->SetSource(source);
            scan->Edit_Name->setText(QStringLiteral("Hry"));
            QTimer::singleShot(800, scan, [&] { scan->StartScan(); });
        });
        main.findChild<QAction*>(QStringLiteral("Action_New"))->trigger();
    };
    QTimer::singleShot(1500, &main, [&] {
        // The archive of the working folder open, as a user sees it.
        if (main.Archives().Rows().ArchiveCount() > 0) {
            main.Archives().SelectArchive(1);
            main.Archives().OpenSlot(1);
        }
        QTimer::singleShot(500, &main, [&] {
            mainSaved = screenshot::SaveScreen(out + QStringLiteral("screenshot-main.png"));
            question();
        });
    });
    QApplication::exec();
    return mainSaved && questionSaved && openSaved && aboutSaved ? 0 : 1;
}
