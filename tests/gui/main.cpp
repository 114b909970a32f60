// The GUI tests run in one QApplication. Scripted message boxes, dialogs and a
// recording shell are installed for the whole run, so a test that forgets its
// own can never wait on a modal window or start a browser.
#include <QApplication>
#include <gtest/gtest.h>

#include "core/catalog/ProgramValues.h"
#include "gui/common/Dialogs.h"
#include "gui/common/Prompt.h"
#include "gui/common/Shell.h"

int main(int argc, char** argv) {
    // Also when started by hand or for listing the tests: never a real display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orbisk"));
    QApplication::setQuitOnLastWindowClosed(false);
    orbisk::InitProgramValues(orbisk::Program(), orbisk::DetectProgramDir());
    orbisk::ScriptedPrompt prompt;
    orbisk::ScriptedDialogs dialogs;
    orbisk::RecordingShell shell;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
