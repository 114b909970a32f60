#include "core/export/ExportFiles.h"

#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ArchiveList.h"

namespace orbisk {

TFileStatus SaveOutputFile(const std::string& path, std::string_view content, BackupMode backup) {
    return SaveFileAtomically(path, content, backup, BackupName(path));
}

bool FileArchivesInList(const std::string& folder, const std::vector<THead>& headers, Host& host) {
    TArchiveList list;
    BuildArchiveList(folder, list, host);
    for (const THead& header : headers)
        list.Append(ListRowOf(header, header.FileName));
    return RewriteArchiveList(list).Saved;
}

} // namespace orbisk
