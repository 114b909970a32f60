#pragma once
// Export of one archive file: the HTML page of the export window and a CSV
// table for spreadsheets. Both work on the lines of the file as stored, in
// file order, and never touch a window: the caller's running flag cancels,
// the host is pumped while the lines are worked through.
//
// Every text of the archive goes into the output as UTF-8: a field that is
// valid UTF-8 as it is, any other field decoded as Windows-1250 (catalogues
// written on Windows), as the program shows them. The page declares UTF-8 and
// escapes &, <, > and " in every text and attribute it inserts.
#include <atomic>
#include <string>
#include <string_view>

#include "core/catalog/Host.h"
#include "core/export/ExportFiles.h"

namespace orbisk {

// The column switches of the export window ("Exportované položky"); the name
// column is always on. The defaults are the window's initial states.
struct TExportColumns {
    bool Size = true;
    bool Date = true;
    bool Attr = true;
    bool Note = false;
    bool Description = false;
    bool Grid = false; // "Mříž": directory tables get a border
};

// The window's captions and hidden texts that the page uses; they follow the
// language file.
struct TExportTexts {
    std::string NameCaption = "Název";                          // CheckBox1
    std::string DescriptionCaption = "Popis";                   // CheckBox6
    std::string Owner = "Vlastník";                             // LabelT2
    std::string Footer = "Výpis byl vytvořen pomocí programu "; // LabelT3
    // The footer's link to the home page (HomePageAddress); none when empty.
    std::string HomePage;
};

// The page of an archive whose file text is archiveText; title is the archive
// path as the window shows it. Returns false (out incomplete) when running
// was cleared before the last line.
bool FormatArchivePage(std::string_view archiveText, std::string_view title,
                       const TExportColumns& columns, const TExportTexts& texts,
                       const std::atomic<bool>& running, Host& host, std::string& out);

// The CSV table of an archive (RFC 4180, UTF-8, lines ended by CR LF): a
// heading row, then one row per entry in file order: full path inside the
// medium, name, size, date, attributes, note, description (its lines joined
// by LF). Returns false when running was cleared before the last line.
bool FormatArchiveCsv(std::string_view archiveText, const std::atomic<bool>& running, Host& host,
                      std::string& out);

enum class TExportOutcome {
    Done,       // Output holds the whole page or table
    Cancelled,  // running was cleared; Output is empty
    Unreadable, // the archive file cannot be read; Status says why
};

struct TExportResult {
    TExportOutcome Outcome = TExportOutcome::Unreadable;
    TFileStatus Status;
    std::string Output;
};

enum class TExportFormat { Page, Csv };

// Reads the archive file and makes its page or table in memory; the caller
// saves it with SaveExport once the user has named the file.
TExportResult ExportArchive(const std::string& archivePath, TExportFormat format,
                            const TExportColumns& columns, const TExportTexts& texts,
                            const std::atomic<bool>& running, Host& host);

// Saves an exported page or table with the safe save (no backup).
TFileStatus SaveExport(const std::string& path, std::string_view content);

// The file proposed for the page of an archive: the archive path without
// its last three characters, then extension (".html" or ".csv").
std::string ProposedExportName(std::string_view archivePath, std::string_view extension);

} // namespace orbisk
