// The GUI tests run in one QApplication. Scripted message boxes, dialogs and a
// recording shell are installed for the whole run, so a test that forgets its
// own can never wait on a modal window or start a browser.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "core/catalog/ProgramValues.h"
#include "gui/common/Dialogs.h"
#include "gui/common/Prompt.h"
#include "gui/common/Shell.h"

// Qt and fontconfig keep caches for the life of the process, which
// LeakSanitizer would report; leaks of our own code are caught by the core
// and command-line suites, which run with leak detection on.
extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

int main(int argc, char** argv) {
    // Also when started by hand or for listing the tests: never a real display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Files the program keeps in the user's configuration folder go to a
    // folder of this run, never to the real one.
    QTemporaryDir configHome;
    qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
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
