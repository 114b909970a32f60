#include "core/catalog/TextFile.h"

#include "core/settings/CoreTexts.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include "core/catalog/PartialRead.h"

namespace orbisk {

TFileStatus TFileStatus::Failed(std::string file, int error, FileOp op) {
    return TFileStatus{false, std::move(file), error, op};
}

bool TFileStatus::Missing() const {
    return !ok && op == FileOp::Read && (error == ENOENT || error == ENOTDIR);
}

std::string_view UserText(const TFileStatus& status) {
    if (status.ok) return {};
    if (status.op == FileOp::Write) return CoreText(TCoreText::CannotCreate);
    return CoreText(status.Missing() ? TCoreText::FileMissing : TCoreText::CannotRead);
}

std::string Reason(const TFileStatus& status) {
    return status.error ? std::string(::strerror(status.error)) : std::string();
}

std::string Describe(const TFileStatus& status) {
    std::string text(UserText(status));
    if (!status.file.empty()) text.append(" ").append(status.file);
    if (status.error) text.append(status.file.empty() ? " " : ": ").append(Reason(status));
    return text;
}

void TUniqueFd::Reset(int fd) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
}

TFileStatus OpenRegularFile(const std::string& path, TUniqueFd& fd, std::uint64_t* size, int dirFd,
                            struct stat* info) {
    fd.Reset(::openat(dirFd, path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.IsOpen()) return TFileStatus::Failed(path, errno);
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0) {
        const int error = errno;
        fd.Reset();
        return TFileStatus::Failed(path, error);
    }
    if (!S_ISREG(st.st_mode)) {
        fd.Reset();
        return TFileStatus::Failed(path, S_ISDIR(st.st_mode) ? EISDIR : EINVAL);
    }
    // Reads of a regular file wait for the disk as they should.
    const int flags = ::fcntl(fd.Get(), F_GETFL);
    if (flags >= 0) ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK);
    if (size) *size = static_cast<std::uint64_t>(st.st_size);
    if (info) *info = st;
    return {true, path, 0, FileOp::Read};
}

namespace {

struct TSystemRead : TReadDevice {
    ssize_t Read(int fd, void* data, std::size_t size, std::uint64_t offset) override {
        return ::pread(fd, data, size, static_cast<off_t>(offset));
    }
};

TSystemRead gSystemRead;
std::atomic<TReadDevice*> gReadDevice{&gSystemRead};

// One read of the device, retried on EINTR: may give fewer bytes than asked.
ssize_t ReadSome(int fd, std::uint64_t offset, char* data, std::size_t count) {
    TReadDevice& device = *gReadDevice.load();
    for (;;) {
        const ssize_t n = device.Read(fd, data, count, offset);
        if (n >= 0 || errno != EINTR) return n;
    }
}

} // namespace

TScopedReadDevice::TScopedReadDevice(TReadDevice& device)
    : previous_(gReadDevice.exchange(&device)) {}

TScopedReadDevice::~TScopedReadDevice() {
    gReadDevice.store(previous_);
}

ssize_t ReadAt(int fd, std::uint64_t offset, void* data, std::size_t count) {
    auto* out = static_cast<char*>(data);
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = ReadSome(fd, offset + got, out + got, count - got);
        if (n < 0) return -1;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

bool ReadAt(int fd, std::uint64_t offset, std::size_t count, std::string& out) {
    out.resize(count);
    const ssize_t got = ReadAt(fd, offset, out.data(), count);
    out.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
    return got >= 0;
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

namespace {

TFileStatus ReadFile(const std::string& path, std::string& out, std::size_t maxBytes, bool keepRead,
                     struct stat* info = nullptr) {
    TUniqueFd fd;
    std::uint64_t size = 0;
    TFileStatus status = OpenRegularFile(path, fd, &size, AT_FDCWD, info);
    if (!status || size > maxBytes) {
        out.clear();
        return status ? TFileStatus::Failed(path, EFBIG) : status;
    }
    // Read up to the end rather than trusting the size: the file may grow or
    // shrink while it is read. One spare byte shows whether it grew. A buffer
    // kept from reading another file is reused as it stands: resizing fills
    // only the bytes it grows by, which reading overwrites anyway.
    out.resize(static_cast<std::size_t>(size) + 1);
    std::size_t used = 0;
    for (;;) {
        if (used > maxBytes) {
            out.clear();
            return TFileStatus::Failed(path, EFBIG);
        }
        if (used == out.size()) out.resize(std::min(out.size() * 2, maxBytes + 1));
        // Read by read, so that a failure loses none of the bytes before it.
        const ssize_t got = ReadSome(fd.Get(), used, out.data() + used, out.size() - used);
        if (got < 0) {
            const int error = errno;
            if (keepRead)
                out.resize(used);
            else
                out.clear();
            return TFileStatus::Failed(path, error);
        }
        if (got == 0) break; // the end of the file
        used += static_cast<std::size_t>(got);
    }
    out.resize(used);
    return status;
}

} // namespace

TFileStatus ReadWholeFile(const std::string& path, std::string& out, std::size_t maxBytes) {
    return ReadFile(path, out, maxBytes, false);
}

TFileStatus ReadWholeFile(const std::string& path, std::string& out, std::size_t maxBytes,
                          struct stat* info) {
    return ReadFile(path, out, maxBytes, false, info);
}

TFileStatus ReadFileKeepingRead(const std::string& path, std::string& out) {
    return ReadFile(path, out, kMaxWholeFile, true);
}

namespace {

struct TSystemWrite : TWriteDevice {
    ssize_t Write(int fd, const char* data, std::size_t size) override {
        return ::write(fd, data, size);
    }
    ssize_t WriteEach(int fd, const std::string_view* pieces, std::size_t count) override {
        iovec parts[4];
        int used = 0;
        for (std::size_t k = 0; k < count && used < 4; ++k)
            if (!pieces[k].empty())
                parts[used++] = {const_cast<char*>(pieces[k].data()), pieces[k].size()};
        return ::writev(fd, parts, used);
    }
};

TSystemWrite gSystemWrite;
std::atomic<TWriteDevice*> gWriteDevice{&gSystemWrite};

std::string DirOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Writes first and then second, in as few system calls as the device lets.
bool WriteAll(int fd, std::string_view first, std::string_view second = {}) {
    TWriteDevice& device = *gWriteDevice.load();
    std::string_view pieces[2] = {first, second};
    while (!pieces[0].empty() || !pieces[1].empty()) {
        const ssize_t put = device.WriteEach(fd, pieces, 2);
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (put == 0) {
            errno = ENOSPC; // write(2) gives 0 only when nothing more fits
            return false;
        }
        auto done = static_cast<std::size_t>(put);
        for (std::string_view& piece : pieces) {
            const std::size_t taken = std::min(done, piece.size());
            piece.remove_prefix(taken);
            done -= taken;
        }
    }
    return true;
}

void SyncDir(const std::string& dir) {
    TUniqueFd fd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.IsOpen()) ::fsync(fd.Get());
}

// Keeps the old file under backupPath without ever leaving path absent: a hard
// link where the file system has them, else a copy.
void MakeBackup(const std::string& path, const std::string& backupPath) {
    struct stat st {};
    if (::lstat(backupPath.c_str(), &st) == 0) return; // an existing backup stays unchanged
    if (::link(path.c_str(), backupPath.c_str()) == 0) return;
    std::string old;
    if (!ReadWholeFile(path, old)) return;
    SaveFileAtomically(backupPath, old, BackupMode::None, {});
}

} // namespace

ssize_t TWriteDevice::WriteEach(int fd, const std::string_view* pieces, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k)
        if (!pieces[k].empty()) return Write(fd, pieces[k].data(), pieces[k].size());
    return 0;
}

TScopedWriteDevice::TScopedWriteDevice(TWriteDevice& device)
    : previous_(gWriteDevice.exchange(&device)) {}

TScopedWriteDevice::~TScopedWriteDevice() {
    gWriteDevice.store(previous_);
}

TFileStatus SaveFileAtomically(const std::string& path, std::string_view content, BackupMode backup,
                               const std::string& backupPath) {
    return SaveFileAtomically(path, std::vector<std::string_view>{content}, backup, backupPath);
}

TFileStatus SaveFileAtomically(const std::string& path, const std::vector<std::string_view>& pieces,
                               BackupMode backup, const std::string& backupPath, SyncMode sync) {
    TAtomicFileWriter writer(path);
    for (const std::string_view piece : pieces)
        if (!writer.Append(piece)) break;
    return writer.Commit(sync, nullptr, backup == BackupMode::KeepFirst ? &backupPath : nullptr);
}

TAtomicFileWriter::TAtomicFileWriter(std::string path) : path_(std::move(path)) {
    if (path_.empty()) {
        error_ = ENOENT;
        return;
    }
    temp_ = path_ + ".tmpXXXXXX";
    fd_ = TUniqueFd(::mkstemp(temp_.data()));
    if (!fd_.IsOpen()) {
        error_ = errno;
        temp_.clear();
    }
}

TAtomicFileWriter::~TAtomicFileWriter() {
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

bool TAtomicFileWriter::Fail(int error) {
    if (error_ == 0) error_ = error != 0 ? error : EIO;
    return false;
}

void TAtomicFileWriter::Reserve(std::uint64_t bytes) {
    if (error_ != 0 || bytes <= std::max(size_, reserved_)) return;
    // The room is taken as the file's size, zeros until written over, and
    // cut back to what was written at Commit.
    if (::fallocate(fd_.Get(), 0, 0, static_cast<off_t>(bytes)) == 0) reserved_ = bytes;
}

bool TAtomicFileWriter::Append(std::string_view bytes, std::string_view more) {
    if (error_ != 0) return false;
    if (!WriteAll(fd_.Get(), bytes, more)) return Fail(errno);
    size_ += bytes.size() + more.size();
    return true;
}

bool TAtomicFileWriter::WriteAt(std::uint64_t offset, std::string_view bytes) {
    if (error_ != 0) return false;
    if (offset > size_ || bytes.size() > size_ - offset) return Fail(EINVAL);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::pwrite(fd_.Get(), bytes.data() + done, bytes.size() - done,
                                     static_cast<off_t>(offset + done));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return Fail(put < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(put);
    }
    return true;
}

TFileStatus TAtomicFileWriter::Commit(SyncMode sync, const timespec* mtime,
                                      const std::string* backupPath) {
    auto failed = [this](int error) {
        if (!temp_.empty()) ::unlink(temp_.c_str());
        temp_.clear();
        fd_ = TUniqueFd();
        return TFileStatus::Failed(path_, error, FileOp::Write);
    };
    if (error_ != 0) return failed(error_);
    struct stat old {};
    const bool hadOld = ::stat(path_.c_str(), &old) == 0 && S_ISREG(old.st_mode);
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
    if ((reserved_ > size_ && ::ftruncate(fd_.Get(), static_cast<off_t>(size_)) != 0) ||
        ::fchmod(fd_.Get(), mode) != 0 || (sync == SyncMode::Durable && ::fsync(fd_.Get()) != 0))
        return failed(errno);
    if (mtime != nullptr) {
        const timespec times[2] = {{0, UTIME_OMIT}, *mtime};
        if (::futimens(fd_.Get(), times) != 0) return failed(errno);
    }
    if (::close(fd_.Release()) != 0) return failed(errno);
    if (hadOld && backupPath != nullptr) MakeBackup(path_, *backupPath);
    if (::rename(temp_.c_str(), path_.c_str()) != 0) return failed(errno);
    temp_.clear();
    if (sync == SyncMode::Durable) SyncDir(DirOf(path_));
    return {true, path_, 0, FileOp::Write};
}

TFileStatus OverwriteFile(const std::string& path, std::string_view content) {
    TUniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    bool ok = fd.IsOpen() && WriteAll(fd.Get(), content);
    int error = ok ? 0 : errno;
    if (fd.IsOpen() && ::close(fd.Release()) != 0 && ok) {
        ok = false;
        error = errno;
    }
    return ok ? TFileStatus{true, path, 0, FileOp::Write}
              : TFileStatus::Failed(path, error, FileOp::Write);
}

TFileStatus SaveSmallFile(const std::string& path, std::string_view content) {
    if (TFileStatus saved = SaveFileAtomically(path, content, BackupMode::None, {})) return saved;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
    return OverwriteFile(path, content);
}

} // namespace orbisk
