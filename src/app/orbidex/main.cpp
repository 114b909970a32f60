// The database viewer: the application titled "Orbidex", its one window, and
// the event loop until that window closes. Relative database paths are taken
// from the folder the viewer is started in.
#include <QApplication>

#include "core/catalog/ProgramValues.h"
#include "gui/viewer/TForm_DB.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orbidex"));
    orbisk::viewer::TForm_DB window(orbisk::DetectProgramDir());
    window.show();
    return QApplication::exec();
}
