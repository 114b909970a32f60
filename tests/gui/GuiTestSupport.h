#pragma once
// A main window in a prepared world: its own program folder and working
// folder, scripted dialogs and message boxes, archives written by core
// (ArchiveBuilder).
#include <QString>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "ArchiveBuilder.h"
#include "TestSupport.h"
#include "core/catalog/Archive.h"
#include "core/catalog/ProgramValues.h"
#include "gui/common/Dialogs.h"
#include "gui/common/ListView.h"
#include "gui/common/Prompt.h"
#include "gui/common/Shell.h"
#include "gui/common/SystemIcons.h"
#include "gui/mainwin/TForm_Main.h"

namespace orbisk::test {

QString Q(const std::string& bytes);

// Types text into widget key by key; characters beyond ASCII arrive as key
// events that carry their text, as an input method delivers them.
void TypeText(QWidget* widget, const QString& text);

// Widens list on show and checks that its name column holds an ordinary
// name while its last column keeps its width rather than taking the rest.
void ExpectNameColumnGetsTheRoom(ListView& list, int nameColumn);

// The system's icons switched on for the scope's life, so a failing check
// leaves them off for the tests that follow.
struct SystemIconsOnScope {
    SystemIconsOnScope() { SetSystemIcons(true); }
    ~SystemIconsOnScope() { SetSystemIcons(false); }
};

class MainWindowTest : public ::testing::Test {
public:
    void SetUp() override;
    void TearDown() override;

    // Creates the window, shows it and waits until its start-up has run.
    TForm_Main& StartWindow();
    // Opens path through "Otevřít ..." with the scripted open dialog.
    void OpenThroughDialog(const std::string& path);
    // Selects row of the content list and types text into the note field.
    void TypeNote(int row, const QString& text);
    void Trigger(const char* actionName);

    TempDir program_, work_;
    ScriptedPrompt prompt_;
    ScriptedDialogs dialogs_;
    RecordingShell shell_;
    std::unique_ptr<TForm_Main> window_;

private:
    ProgramValues savedValues_;
    std::string savedCwd_;
};

} // namespace orbisk::test
