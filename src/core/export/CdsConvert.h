#pragma once
// Conversion of Windows Commander catalogues (*.cds) into archives. A
// catalogue is a text file of lines (ended by CR LF, CR or LF); the first
// line is a title. A later line holding "\" is a directory line ('dir\sub\',
// text after the last "\" ignored); a later line without "\" and with at
// least three TABs is a file line (name, size, date, time); other lines are
// skipped. Each catalogue becomes one archive of the same base name.
#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/Archive.h"
#include "core/catalog/Host.h"
#include "core/export/ExportFiles.h"

namespace orbisk {

// Progress within one file, 0 to 100 (the window's upper gauge).
using TConvertProgress = std::function<void(int percent)>;

// The base name of a catalogue: its file name without the last four
// characters ('games.cds' and 'x.CDS' give 'games' and 'x').
std::string CdsBaseName(std::string_view fileName);

// The archive text of a catalogue: "<head>", "Name=" + baseName, an empty
// line, "<tree>", the root "\" with a folder entry for every directory of
// depth 1, then in file order each directory line as "\" + its path followed
// by the folder entries of its direct subdirectories that come later in the
// file, and each file line as a file entry. Subdirectories are found through
// an index of directory lines by parent path, so the work grows with the
// lines, not with directories times lines. Returns false (out incomplete)
// when running is cleared.
bool ConvertCdsText(std::string_view source, std::string_view baseName,
                    const std::atomic<bool>& running, Host& host, std::string& out,
                    const TConvertProgress& progress = {});

enum class TConvertOutcome {
    Written,    // the archive was written
    Declined,   // the target exists and the overwrite was declined
    Cancelled,  // running was cleared; nothing was written
    Unreadable, // the catalogue cannot be read; Status says why
    NotWritten, // the archive cannot be written; Status says why
};

struct TConvertResult {
    TConvertOutcome Outcome = TConvertOutcome::Unreadable;
    std::string Source;   // the catalogue
    std::string FileName; // base name + ".cd"
    std::string Target;   // the archive file in the target folder
    THead Head;           // the header written: Name the base name, FileName bare
    TFileStatus Status;
};

// Asked with the archive's file name when it exists already; true replaces
// it (the old file is kept as .bak when there is no backup yet).
using TOverwriteAsk = std::function<bool(const std::string& fileName)>;

// Converts one catalogue into targetFolder.
TConvertResult ConvertCdsFile(const std::string& sourcePath, const std::string& targetFolder,
                              const TOverwriteAsk& askOverwrite, const std::atomic<bool>& running,
                              Host& host, const TConvertProgress& progress = {});

// Called before each file with its number from 1 and the count (the window's
// lower gauge), and after it with its result (the window refills its list).
struct TConvertRunHooks {
    std::function<void(std::size_t number, std::size_t count)> Starting;
    std::function<void(const TConvertResult&)> Finished;
    TConvertProgress Progress;
};

// Converts the catalogues in order while running is set. A catalogue that
// cannot be read or an archive that cannot be written is reported in its
// result and the run goes on with the next one; a cancel ends the run.
std::vector<TConvertResult> ConvertCdsFiles(const std::vector<std::string>& sources,
                                            const std::string& targetFolder,
                                            const TOverwriteAsk& askOverwrite,
                                            const std::atomic<bool>& running, Host& host,
                                            const TConvertRunHooks& hooks = {});

} // namespace orbisk
