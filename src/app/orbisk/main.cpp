// The desktop program: program-wide values first, Qt's own texts in the
// program's language, then every window in the fixed order, then the event
// loop until the main window closes.
#include <QApplication>

#include "core/catalog/ProgramValues.h"
#include "gui/Windows.h"
#include "gui/common/QtTranslation.h"
#include "gui/mainwin/TForm_Main.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orbisk"));
    orbisk::InitProgramValues(orbisk::Program(), orbisk::DetectProgramDir());
    orbisk::InstallQtTranslation(QString::fromLatin1(orbisk::kDefaultLanguage));
    orbisk::TWindows windows;
    windows.Main().show();
    return QApplication::exec();
}
