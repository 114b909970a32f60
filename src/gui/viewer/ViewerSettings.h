#pragma once
// The viewer's settings file ORBIDEX.INI: line 1 the title, line 2 the path
// of the database file, line 3 the language file name (carried through, the
// viewer reads no language file). The file the user may change lives in the
// user's configuration folder, unless the program's folder holds a writable
// ORBIDEX.INI of its own (a portable install, the build folder), which is
// then used as it is.
#include <string>

#include "core/catalog/TextFile.h"

namespace orbisk {

inline constexpr const char* kViewerSettingsFile = "ORBIDEX.INI";
inline constexpr const char* kViewerSettingsTitle = "Orbidex, part of Orbisk";
// Relative to the folder the viewer is started in.
inline constexpr const char* kViewerDefaultDatabase = "VEviz/cd.db";

struct TViewerSettings {
    std::string DatabasePath = kViewerDefaultDatabase;
    std::string LanguageFile = "default.lng";
};

// $XDG_CONFIG_HOME/orbisk, or ~/.config/orbisk when it is unset or not absolute.
std::string UserConfigDir();

// Where the settings are read from: the program folder's own writable file,
// else the one in the user's configuration folder when it exists, else the
// one shipped in the program folder.
std::string ViewerSettingsReadPath(const std::string& programDir);
// Where they are written: the program folder's own writable file, else the
// user's configuration folder.
std::string ViewerSettingsWritePath(const std::string& programDir);

// Takes lines 2 and 3 when the file has more than two lines; a file that
// cannot be read, or a shorter one, leaves settings as they are. Line 1 is
// not compared. A file that is not UTF-8 (one made on Windows) is read as
// Windows-1250, and the backslashes of a Windows path become slashes.
void LoadViewerSettings(const std::string& path, TViewerSettings& settings);

// Writes the three lines, CR LF ended, with the safe save (the folder is made
// when missing).
TFileStatus SaveViewerSettings(const std::string& path, const TViewerSettings& settings);

} // namespace orbisk
