#pragma once
// The program-wide values set once at start, before any window exists.
#include <string>
#include <vector>

#include "core/catalog/TextFile.h"
#include "core/catalog/ValueLists.h"

namespace orbisk {

struct ProgramValues {
    // The four header value lists: distinct values seen in archive headers.
    TValueLists ValueLists;
    std::vector<std::string> SearchHistory; // "*.*", "*" at start
    std::string ProgramDir;                 // folder of the program, no trailing "/"
    std::string WorkingDirectory;           // "VEviz" until the settings replace it
    std::string StartDir;                   // the folder the program was started in
    std::string LanguageFile;               // "default.lng"
    bool ShowAll = true;                    // display filter of the content browser
    std::vector<std::string> MaskHistory;   // display mask history: "*.*", "*"
    std::vector<std::string> NoteWords, DescriptionWords;
    bool NoteAllWords = false, DescriptionAllWords = false;
    std::vector<std::string> DescriptionExtensionsAll, DescriptionExtensions;
    std::vector<std::string> ScanExtensionsAll, ScanExtensions;
    std::string TempDir; // always with a trailing "/"
};

// The one set of program-wide values of this process.
ProgramValues& Program();

// Sets every value in the start order: the four value lists, the search mask
// history, ProgramDir, the working-directory name, StartDir (the process's
// current directory), the language file name, the show-all flag, the display
// mask history, the word lists, the four extension lists (a missing or
// unreadable file leaves its list empty) and TempDir last.
void InitProgramValues(ProgramValues& values, const std::string& programDir);

// The folder of what the program ships (the guide, templates, language
// files, extension lists): ORBISK_PROGRAM_DIR when that is set (tests point it
// at a prepared folder), otherwise ProgramDirOf the running executable's
// folder. No trailing "/".
std::string DetectProgramDir();

// The shipped files of a program whose executable lies in exeDir: an
// installed program (PREFIX/bin/orbisk) finds them in PREFIX/share/orbisk;
// any other folder (the build tree, a portable copy) holds them itself.
std::string ProgramDirOf(const std::string& exeDir);
inline constexpr const char* kInstalledShareDir = "share/orbisk";

// The system's temporary folder with a trailing "/"; fallback when it is unset.
std::string DetectTempDir(const std::string& fallback);

// File names of the four extension lists beside the program.
inline constexpr const char* kDescriptionExtensionsAllFile = "files_ext_all.txt";
inline constexpr const char* kDescriptionExtensionsFile = "files_ext.txt";
inline constexpr const char* kScanExtensionsAllFile = "scan_ext_all.txt";
inline constexpr const char* kScanExtensionsFile = "scan_ext.txt";

// One entry per line; empty lines carry no entry. A missing or unreadable
// file gives an empty list.
std::vector<std::string> LoadExtensionList(const std::string& path);

// Writes the list one entry a line, each ended by CR LF, replacing the file.
// When no file can be made in its folder (a folder that takes no new files
// may keep a writable list file all the same) the file is made writable by
// its owner and written over itself.
TFileStatus SaveExtensionList(const std::string& path, const std::vector<std::string>& list);

// Joins a folder and a name with exactly one "/" between them.
std::string JoinPath(const std::string& dir, const std::string& name);

// path made absolute, without a trailing "/" (the root stays "/"): a
// relative path is taken below the folder base; "." and ".." steps are
// resolved by the text alone, links are not followed.
std::string AbsolutePath(const std::string& path, const std::string& base);

} // namespace orbisk
