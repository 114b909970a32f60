#pragma once
// Import of the JSON export of ncdu ("ncdu -o FILE", and gdu's "-o", which
// writes the same format) into an archive. The export is an array of the
// format version (major 1), the minor version, a metadata object and the
// scanned root: a directory is an array whose first element is its info
// object and whose further elements are its files (info objects) and
// subdirectories (arrays). An info object names the item and may carry its
// apparent size "asize" and, in extended mode, "mode" and "mtime".
//
// The archive holds the folders depth first as a scan records them: each
// folder's entries sorted folders first by name, names with bytes a
// catalogue line cannot carry made safe, sizes the apparent sizes (folders
// 0), dates from mtime ("?" without it), "h" for names beginning with "."
// and "r" when the mode says the owner cannot write.
#include <atomic>
#include <string>
#include <string_view>

#include "core/catalog/Archive.h"
#include "core/catalog/Host.h"
#include "core/export/ExportFiles.h"
#include "core/scan/DateFormat.h"

namespace orbisk {

// Reads an export into arch (emptied first; Head.Name the last component of
// the scanned root with "\", TAB, CR, LF, 0x07 and 0x1A blanked, Medium
// "other"). rootPath gets the scanned root as recorded.
// False with error set when the text is not such an export, or with error
// empty when running was cleared.
bool ParseNcduExport(std::string_view text, TArch& arch, std::string& rootPath,
                     const TDateFormatter& dates, const std::atomic<bool>& running, Host& host,
                     std::string& error);

// The last path component of a scanned root ("/media/x/GAMES/" gives "GAMES";
// "/" stays "/").
std::string NcduArchiveName(std::string_view rootPath);

enum class TImportOutcome {
    Written,
    Unreadable, // the export cannot be read; Status says why
    Malformed,  // the file is no ncdu export; Error says where
    Cancelled,
    NotWritten, // the archive cannot be written; Status says why
};

struct TImportResult {
    TImportOutcome Outcome = TImportOutcome::Unreadable;
    TFileStatus Status;
    std::string Error;
    std::string FileName; // base + ".cd"
    std::string Path;     // the archive file in the target folder
    THead Head;           // the header written (FileName the bare name)
    std::int32_t RecCount = 0;
};

// Imports the export at jsonPath as a new archive in targetFolder. name, when
// not blank, is the archive name instead of the root's. The file name is
// derived from the name as a scan derives it; when that file exists the
// first free numbered name is taken, so nothing is overwritten.
TImportResult ImportNcduFile(const std::string& jsonPath, const std::string& targetFolder,
                             const std::string& name, const TDateFormatter& dates,
                             const std::atomic<bool>& running, Host& host);

} // namespace orbisk
