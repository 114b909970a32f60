#include "core/export/ExportFiles.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ArchiveList.h"

namespace orbisk {

namespace {

TFileStatus Failed(const std::string& path, int error) {
    return {false, path, error != 0 ? error : EIO};
}

} // namespace

std::string TFileStatus::Reason() const {
    return std::strerror(Error);
}

TFileStatus ReadSourceFile(const std::string& path, std::string& text) {
    errno = 0;
    switch (ReadWholeFile(path, text)) {
    case ReadStatus::Ok:
        return {};
    case ReadStatus::Missing:
        return Failed(path, ENOENT);
    case ReadStatus::Unreadable:
        break;
    }
    const int error = errno;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return Failed(path, EISDIR);
    return Failed(path, error);
}

TFileStatus SaveOutputFile(const std::string& path, std::string_view content, BackupMode backup) {
    errno = 0;
    if (SaveFileAtomically(path, content, backup, BackupName(path))) return {};
    return Failed(path, errno);
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
