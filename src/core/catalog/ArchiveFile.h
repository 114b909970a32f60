#pragma once
// The .cd text format: reader and writer of TArch.
#include <string>
#include <string_view>

#include "core/catalog/Archive.h"
#include "core/catalog/Host.h"
#include "core/catalog/TextFile.h"

namespace orbisk {

// Parses the text of a .cd file into arch (header defaults "?" and "other",
// keys by exact prefix, tree lines split on TAB). The arrays are cleared
// first; Head.FileName is kept.
void ParseArchive(std::string_view text, TArch& arch, Host* host = nullptr);

// The exact bytes WriteArchive stores for arch: header, then every directory
// with its present entries, every line ended by CR LF.
std::string FormatArchive(const TArch& arch);

// The fields of one entry line (its line end cut off) as reading an archive
// takes them: each of the first five fields ends at the next TAB and the
// description takes the rest, TABs included; a line with fewer TABs leaves
// the fields after its last TAB empty, except the description, which gets the
// text after it. The fields point into line. False when line has no TAB (a
// folder line).
bool SplitEntryLine(std::string_view line, TRec& rec);

// One header key of a .cd file: the key, the field of THead it fills, the
// value a file without the key gives, and whether the archive list keeps it.
struct THeaderField {
    std::string_view Key; // without the "="
    std::string THead::*Field;
    std::string_view Default;
    bool Listed;
};

// The header keys in the order the writer stores them. The reader, the
// writer, the defaults and "orbisk-cli info" all go by this table.
inline constexpr THeaderField kHeaderFields[] = {
    {"Name", &THead::Name, "?", true},    {"Typ", &THead::Typ, "", true},
    {"SubTyp", &THead::SubTyp, "", true}, {"Medium", &THead::Medium, "other", true},
    {"Owner", &THead::Owner, "", true},   {"Description", &THead::Description, "", true},
    {"SN", &THead::SN, "", false},        {"Volume", &THead::Volume, "", false},
};

// Gives every header field of head its default value.
void SetHeaderDefaults(THead& head);

// Which header keys a reader takes: all of them, or only the ones the archive
// list keeps (name, categories, owner, description; not SN and Volume).
enum class THeaderKeys { All, ListFields };

// Takes a header line "Key=value" into the field of head that its key names;
// a line with another key changes nothing.
void ReadHeaderLine(std::string_view line, THead& head, THeaderKeys keys = THeaderKeys::All);

// Loads arch.Head.FileName into arch. A failure is told to host
// (Host::FileFailed: "Soubor není k dispozici." for a missing file, a warning
// for an unreadable one), keeps the header, leaves both counts 0 and is
// returned.
TFileStatus ReadArchive(TArch& arch, Host& host);

// The backup name of an archive or database file: the name without its last
// three characters followed by ".bak" (GAMES1.cd becomes GAMES1.bak).
std::string BackupName(const std::string& fileName);

// Saves arch to arch.Head.FileName. The previous file stays whole until the
// new one is complete; it is kept as the .bak file when no backup exists yet.
// A failure is told to host ("Nelze vytvořit soubor."), leaves the old file
// as it was and is returned.
TFileStatus WriteArchive(const TArch& arch, Host& host);

} // namespace orbisk
