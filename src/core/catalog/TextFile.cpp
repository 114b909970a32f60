#include "core/catalog/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace orbisk {

ReadStatus ReadWholeFile(const std::string& path, std::string& out, std::size_t maxBytes) {
    out.clear();
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? ReadStatus::Missing : ReadStatus::Unreadable;
    if (S_ISDIR(st.st_mode)) return ReadStatus::Unreadable;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return ReadStatus::Unreadable;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        return ReadStatus::Unreadable;
    }
    // Read up to the end rather than trusting st_size: the file may grow or
    // shrink while it is read. One spare byte shows whether it grew.
    out.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t used = 0;
    for (;;) {
        if (used > maxBytes) {
            ::close(fd);
            out.clear();
            return ReadStatus::Unreadable;
        }
        if (used == out.size()) out.resize(std::min(out.size() * 2, maxBytes + 1));
        ssize_t got = ::read(fd, out.data() + used, out.size() - used);
        if (got < 0) {
            if (errno == EINTR) continue;
            ::close(fd);
            out.clear();
            return ReadStatus::Unreadable;
        }
        if (got == 0) break;
        used += static_cast<std::size_t>(got);
    }
    ::close(fd);
    out.resize(used);
    return ReadStatus::Ok;
}

namespace {

std::string DirOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

bool WriteAll(int fd, std::string_view content, const SaveFaults* faults) {
    std::size_t limit = faults ? faults->failAfterBytes : content.size();
    std::size_t done = 0;
    while (done < content.size()) {
        if (done >= limit) {
            errno = ENOSPC;
            return false;
        }
        std::size_t want = std::min(content.size() - done, limit - done);
        ssize_t put = ::write(fd, content.data() + done, want);
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

void SyncDir(const std::string& dir) {
    int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Keeps the old file under backupPath without ever leaving path absent: a hard
// link where the file system has them, else a copy.
void MakeBackup(const std::string& path, const std::string& backupPath) {
    struct stat st {};
    if (::lstat(backupPath.c_str(), &st) == 0) return; // an existing backup stays unchanged
    if (::link(path.c_str(), backupPath.c_str()) == 0) return;
    std::string old;
    if (ReadWholeFile(path, old) != ReadStatus::Ok) return;
    SaveFileAtomically(backupPath, old, BackupMode::None, {});
}

} // namespace

bool SaveFileAtomically(const std::string& path, std::string_view content, BackupMode backup,
                        const std::string& backupPath, const SaveFaults* faults) {
    std::string tmpl = path + ".tmpXXXXXX";
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) return false;
    struct stat old {};
    bool hadOld = ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    mode_t mode;
    if (hadOld) {
        // The new file keeps the old one's permissions, writable by its owner
        // (archives copied from a CD arrive read-only).
        mode = (old.st_mode & 07777) | S_IWUSR;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    bool ok = WriteAll(fd, content, faults) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        ::unlink(tmpl.c_str());
        return false;
    }
    if (hadOld && backup == BackupMode::KeepFirst) MakeBackup(path, backupPath);
    if (::rename(tmpl.c_str(), path.c_str()) != 0) {
        ::unlink(tmpl.c_str());
        return false;
    }
    SyncDir(DirOf(path));
    return true;
}

} // namespace orbisk
