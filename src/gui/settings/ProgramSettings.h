#pragma once
// The settings file of the main program, "Orbisk.INI": the title line, the
// working folder, the language file name, then the block of every window.
#include <string>
#include <vector>

class QWidget;

namespace orbisk {

// The check box of the setup window that asks for the settings to be saved
// when the program ends.
inline constexpr const char* kSaveAtExitBox = "CheckBox_INI";

// Reads the settings file (the user's copy, or the one beside the program)
// into the program's globals and the windows. True only when the file was
// read, has more than two lines and its first line is this version's title;
// a file of another version still sets what it carries.
bool LoadProgramSettings(const std::vector<QWidget*>& windows);

// Writes the settings file; false when neither the save nor its retry on a
// writable file worked.
bool SaveProgramSettings(const std::vector<QWidget*>& windows);

// The file a save writes.
std::string ProgramSettingsPath();

// True unless a window has the check box kSaveAtExitBox and it is clear.
bool SaveSettingsAtExit(const std::vector<QWidget*>& windows);

} // namespace orbisk
