#include "core/export/ExportFiles.h"

#include <sys/stat.h>

#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ArchiveList.h"

namespace orbisk {

TFileStatus ReadSourceFile(const std::string& path, std::string& text) {
    return ReadWholeFile(path, text);
}

TFileStatus SaveOutputFile(const std::string& path, std::string_view content, BackupMode backup) {
    return SaveFileAtomically(path, content, backup, BackupName(path));
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool FileArchivesInList(const std::string& folder, const std::vector<THead>& headers, Host& host) {
    TArchiveList list;
    BuildArchiveList(folder, list, host);
    for (const THead& header : headers)
        list.Append(ListRowOf(header, header.FileName));
    return RewriteArchiveList(list).Saved;
}

} // namespace orbisk
