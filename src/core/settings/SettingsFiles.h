#pragma once
// Reading and saving the settings and language files, and where they live.
// What is shipped lies in ProgramDir, which an installed program cannot
// write; the files the program writes go to the user's configuration folder
// and are read from there first. A ProgramDir holding its own writable
// settings file is a portable install and keeps everything beside the program.
#include <string>
#include <vector>

#include "core/catalog/TextFile.h"

namespace orbisk {

inline constexpr const char* kSettingsFile = "Orbisk.INI";
inline constexpr const char* kViewerSettingsFile = "ORBIDEX.INI";

// Reads the lines of a settings or language file. The file is written in
// UTF-8; one that is not valid UTF-8 (made on Windows) is read as
// Windows-1250, so every line comes back as UTF-8. Lines follow the line
// rules of the system's text files.
TFileStatus ReadSettingsLines(const std::string& path, std::vector<std::string>& lines);

// Writes lines, each ended by CR LF, replacing path by the safe save. When
// that fails, the file is made writable and written once more (a read-only
// file, or a folder that takes no new files); the status is a failure only
// when the retry fails too. Missing folders on the way are created.
TFileStatus SaveSettingsLines(const std::string& path, const std::vector<std::string>& lines);

// The user's configuration folder of the program: $XDG_CONFIG_HOME/orbisk,
// or ~/.config/orbisk when that is unset or not absolute. No trailing "/".
std::string UserConfigDir();

// Where a file the program writes (settings, exported languages) is read
// from and written to.
struct TFileLocation {
    std::string Read;  // the copy to read (it may not exist: first start)
    std::string Write; // where a save goes
};

// ProgramDir's own copy when it is there and writable (portable); otherwise
// the user's copy, read from the user's folder when it exists there and from
// ProgramDir (the shipped copy) when not.
TFileLocation LocateWrittenFile(const std::string& programDir, const std::string& name);

// The folders language files are listed from and looked up in, the user's
// folder first.
std::vector<std::string> LanguageFolders(const std::string& programDir);
// The file of a language name: the first folder of LanguageFolders that
// holds it, else ProgramDir.
std::string LanguageFilePath(const std::string& programDir, const std::string& name);

} // namespace orbisk
