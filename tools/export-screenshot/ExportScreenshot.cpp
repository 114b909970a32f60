// Developer tool, not shipped: runs the export window on an archive and the
// conversion window on a folder of catalogues, as the program shows them,
// and saves a picture of each window after its run.
//
//   export-screenshot WORKING_FOLDER ARCHIVE CATALOGUES PAGE OUT_FOLDER
//
// The page is saved as PAGE (the save dialog is scripted, "Zobraz" is
// recorded rather than started); the catalogue "poskozeny.cds" in
// CATALOGUES is removed after it was listed, so the window reports it. Run
// it on an X display (tools/export-screenshot.sh starts Xvfb).
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <functional>

#include "Screenshot.h"
#include "core/catalog/ProgramValues.h"
#include "gui/Windows.h"
#include "gui/common/Dialogs.h"
#include "gui/common/ListView.h"
#include "gui/common/Shell.h"
#include "gui/export/DirectoryEdit.h"
#include "gui/export/FolderFilesModel.h"
#include "gui/export/TForm_Konv_WC.h"
#include "gui/export/TForm_Tohtml.h"
#include "gui/mainwin/TForm_Main.h"

namespace {

// Waits for a modal window of type T, runs act on it, lets it settle,
// pictures it and closes it, then runs next.
template <typename T>
void WhenModal(const QString& picture, bool& saved, std::function<void(T*)> act,
               std::function<void()> next) {
    screenshot::WhenModal<T>(500, [=, &saved](T* modal) {
        act(modal);
        QTimer::singleShot(700, modal, [=, &saved] {
            saved = screenshot::SaveScreen(picture, modal);
            modal->close();
            QTimer::singleShot(300, qApp, next);
        });
    });
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s WORKING_FOLDER ARCHIVE CATALOGUES PAGE OUT_FOLDER\n",
                     argv[0]);
        return 2;
    }
    const QString archive = QString::fromLocal8Bit(argv[2]);
    const QString catalogues = QString::fromLocal8Bit(argv[3]);
    const QString page = QString::fromLocal8Bit(argv[4]);
    const QString out = QString::fromLocal8Bit(argv[5]) + QLatin1Char('/');
    screenshot::StartOrbisk();
    orbisk::Program().WorkingDirectory = argv[1];
    orbisk::ScriptedDialogs dialogs;
    orbisk::RecordingShell shell;
    orbisk::TWindows windows;
    orbisk::TForm_Main& main = windows.Main();
    auto* tohtml = windows.Find<orbisk::TForm_Tohtml>();
    auto* konv = windows.Find<orbisk::TForm_Konv_WC>();
    main.resize(1100, 640);
    main.move(20, 20);
    main.show();

    bool exportSaved = false, convertSaved = false;
    auto convert = [&] {
        WhenModal<orbisk::TForm_Konv_WC>(
            out + QStringLiteral("screenshot-convert.png"), convertSaved,
            [&](orbisk::TForm_Konv_WC* window) {
                window->DirectoryEdit1->SetFolder(catalogues);
                std::vector<int> rows;
                for (int row = 0; row < window->SourceFiles().rowCount(); ++row)
                    rows.push_back(row);
                window->ListView1->SetRowsSelected(rows, true);
                QFile::remove(catalogues + QStringLiteral("/poskozeny.cds"));
                window->Button1->click();
            },
            [&] { main.close(); });
        konv->Action_KonvCds->trigger();
    };
    QTimer::singleShot(1500, &main, [&] {
        dialogs.paths.push_back(page);
        WhenModal<orbisk::TForm_Tohtml>(
            out + QStringLiteral("screenshot-export.png"), exportSaved,
            [&](orbisk::TForm_Tohtml* window) {
                window->CheckBox5->setChecked(true);
                window->Button1->click();
                window->Button3->click();
            },
            convert);
        tohtml->Execute(archive);
    });
    QApplication::exec();
    return exportSaved && convertSaved ? 0 : 1;
}
