// The desktop program: program-wide values first, then every window in the
// fixed order, then the event loop until the main window closes.
#include <QApplication>

#include "core/catalog/ProgramValues.h"
#include "gui/Windows.h"
#include "gui/mainwin/TForm_Main.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orbisk"));
    orbisk::InitProgramValues(orbisk::Program(), orbisk::DetectProgramDir());
    orbisk::TWindows windows;
    windows.Main().show();
    return QApplication::exec();
}
