#include "gui/settings/ProgramSettings.h"

#include <QCheckBox>
#include <QWidget>

#include "core/catalog/ProgramValues.h"
#include "core/settings/SettingsFiles.h"
#include "core/settings/SettingsLine.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/settings/SettingsApplier.h"

namespace orbisk {

bool LoadProgramSettings(const std::vector<QWidget*>& windows) {
    const TFileLocation where = LocateWrittenFile(Program().ProgramDir, kSettingsFile);
    std::vector<std::string> lines;
    if (!ReadSettingsLines(where.Read, lines)) return false;
    TSettingsGlobals globals{Program().WorkingDirectory, Program().LanguageFile};
    const bool loaded = ReadSettingsGlobals(lines, kMainCaption, globals);
    Program().WorkingDirectory = globals.WorkingDirectory;
    Program().LanguageFile = globals.LanguageFile;
    ApplySettingsBlocks(windows, lines, kFirstBlockLine);
    return loaded;
}

bool SaveProgramSettings(const std::vector<QWidget*>& windows) {
    std::vector<std::string> lines{kMainCaption, Program().WorkingDirectory,
                                   Program().LanguageFile};
    for (std::string& line : SettingsBlocks(windows))
        lines.push_back(std::move(line));
    return SaveSettingsLines(ProgramSettingsPath(), lines).ok;
}

std::string ProgramSettingsPath() {
    return LocateWrittenFile(Program().ProgramDir, kSettingsFile).Write;
}

bool SaveSettingsAtExit(const std::vector<QWidget*>& windows) {
    for (QWidget* window : windows)
        if (auto* box = window->findChild<QCheckBox*>(QString::fromLatin1(kSaveAtExitBox)))
            return box->isChecked();
    return true;
}

} // namespace orbisk
