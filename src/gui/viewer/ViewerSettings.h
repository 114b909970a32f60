#pragma once
// The viewer's settings file ORBIDEX.INI: line 1 the title, line 2 the path
// of the database file, line 3 the language file name (carried through, the
// viewer reads no language file). The file the user may change lives in the
// user's configuration folder, unless the program's folder holds a writable
// ORBIDEX.INI of its own (a portable install, the build folder), which is
// then used as it is.
#include <string>

#include "core/settings/SettingsFiles.h"

class QWidget;

namespace orbisk {

inline constexpr const char* kViewerSettingsTitle = "Orbidex, part of Orbisk";
// Relative to the folder the viewer is started in.
inline constexpr const char* kViewerDefaultDatabase = "VEviz/cd.db";

struct TViewerSettings {
    std::string DatabasePath = kViewerDefaultDatabase;
    std::string LanguageFile = "default.lng";
};

// Where the settings are read from and written to (see LocateWrittenFile).
TFileLocation ViewerSettingsLocation(const std::string& programDir);

// Takes lines 2 and 3 when the file has more than two lines, then applies
// the window's block that follows them to window; a file that cannot be
// read, or a shorter one, leaves both as they are. Line 1 is not compared.
// The backslashes of a path written on Windows become slashes.
void LoadViewerSettings(const std::string& path, TViewerSettings& settings, QWidget& window);

// Writes the three lines and the window's block with the safe save (the
// folder is made when missing).
TFileStatus SaveViewerSettings(const std::string& path, const TViewerSettings& settings,
                               QWidget& window);

} // namespace orbisk
