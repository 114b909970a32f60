#pragma once
// What export, conversion and import write: through the program's file
// layer, so every failure is a TFileStatus with the file and the system's
// reason, and every output is written whole or not at all.
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/Archive.h"
#include "core/catalog/Host.h"
#include "core/catalog/TextFile.h"

namespace orbisk {

// Writes content to path with the safe save: a temporary file in the same
// folder, renamed over path once complete. With KeepFirst the old file is
// kept as its .bak name when there is no backup yet (as archives are).
TFileStatus SaveOutputFile(const std::string& path, std::string_view content, BackupMode backup);

// Files archives written into folder in its archive list as a scan does:
// the list is built, each header becomes a row for its FileName (a bare name
// in folder), and _cd_.lst is rewritten; a row for a file the list already
// had replaces the old one. Returns false when the cache cannot be written.
bool FileArchivesInList(const std::string& folder, const std::vector<THead>& headers, Host& host);

} // namespace orbisk
