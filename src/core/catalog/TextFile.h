#pragma once
// The program's one file layer: opening regular files without waiting on
// pipes or devices, positional and whole-file reads, the line rules of the
// system's text files, and saves that never destroy the previous good file.
// Every routine reports failure as a TFileStatus carrying the file and the
// system's reason; the front end words it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

struct stat;

namespace orbisk {

// The built-in texts for a file that failed: missing, unreadable, not
// created. Messages use CoreText, which a language file may have changed.
inline constexpr std::string_view kMsgFileMissing = "Soubor není k dispozici.";
inline constexpr std::string_view kMsgCannotRead =
    "Nemohu číst zvolený soubor, asi jej používá jiný program.";
inline constexpr std::string_view kMsgCannotCreate = "Nelze vytvořit soubor.";

enum class FileOp { Read, Write };

// The outcome of reading or writing one file: the file and, on failure, the
// errno value that says why.
struct TFileStatus {
    bool ok = true;
    std::string file;
    int error = 0;
    FileOp op = FileOp::Read;

    static TFileStatus Failed(std::string file, int error, FileOp op = FileOp::Read);
    explicit operator bool() const { return ok; }
    // A read that failed because the file (or a folder on its path) is absent.
    bool Missing() const;
};

// The user's text for a failed status, in the current language: the file
// missing, unreadable or not created (CoreText). Empty for a status that is ok.
std::string_view UserText(const TFileStatus& status);
// The system's wording of the reason ("No space left on device").
std::string Reason(const TFileStatus& status);
// The user's text followed by the file and the reason, for the command line:
// "Nelze vytvořit soubor. VEviz/Hry.cd: No space left on device".
std::string Describe(const TFileStatus& status);

// An owned file descriptor, closed when it goes; move-only.
class TUniqueFd {
public:
    TUniqueFd() = default;
    explicit TUniqueFd(int fd) : fd_(fd) {}
    ~TUniqueFd() { Reset(); }
    TUniqueFd(TUniqueFd&& other) noexcept : fd_(other.Release()) {}
    TUniqueFd& operator=(TUniqueFd&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    TUniqueFd(const TUniqueFd&) = delete;
    TUniqueFd& operator=(const TUniqueFd&) = delete;

    int Get() const { return fd_; }
    bool IsOpen() const { return fd_ >= 0; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void Reset(int fd = -1);

private:
    int fd_ = -1;
};

// Opens path (relative to dirFd when it is a folder descriptor) for reading
// when it is a regular file. The open never waits: O_NONBLOCK keeps a pipe
// from waiting for a writer, the open file is then checked to be a regular
// file (a folder gives EISDIR, anything else EINVAL), and O_NONBLOCK is
// cleared again. size receives the file's size, info all fstat(2) gives.
TFileStatus OpenRegularFile(const std::string& path, TUniqueFd& fd, std::uint64_t* size = nullptr,
                            int dirFd = AT_FDCWD, struct stat* info = nullptr);

// Reads up to count bytes at offset into data, retrying on EINTR; fewer only
// at the end of the file. Returns the bytes read, or -1 with errno set.
ssize_t ReadAt(int fd, std::uint64_t offset, void* data, std::size_t count);
// The same into out, which ends up holding what was read.
bool ReadAt(int fd, std::uint64_t offset, std::size_t count, std::string& out);

// The largest file ReadWholeFile takes by default: the catalogue's counts
// are 32-bit, so no file this program writes comes near it, and a hostile
// file of many gigabytes is refused before any memory is taken for it.
inline constexpr std::size_t kMaxWholeFile = 0x7FFFFFFF;
// The largest of the small settings-like files (extension lists, the CD
// player's titles): a few kilobytes in real use.
inline constexpr std::size_t kMaxSmallFile = 16u << 20;

// Reads a whole regular file into out. Fails (out empty) when the file is
// missing (Missing()), cannot be opened or read, is not a regular file, or
// holds more than maxBytes (EFBIG; checked before reading and again while
// reading, as the file may grow).
TFileStatus ReadWholeFile(const std::string& path, std::string& out,
                          std::size_t maxBytes = kMaxWholeFile);
// The same, info receiving what fstat(2) gave of the file read.
TFileStatus ReadWholeFile(const std::string& path, std::string& out, std::size_t maxBytes,
                          struct stat* info);

// True when something (even a dangling link) has the name path.
bool PathExists(const std::string& path);

// Splits text into lines: a line ends at CR and an LF directly after that CR
// belongs to the line end; a lone LF is an ordinary character; the byte 0x1A
// ends the text. A last line without CR counts; nothing after a final CR LF
// is an extra line.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {
        if (const void* eof = std::memchr(text_.data(), 0x1A, text_.size()))
            text_ = text_.substr(
                0, static_cast<std::size_t>(static_cast<const char*>(eof) - text_.data()));
    }
    bool AtEnd() const { return pos_ >= text_.size(); }
    // The text not read yet, up to the end mark.
    std::string_view Rest() const { return text_.substr(pos_); }
    std::string_view Next() {
        const char* begin = text_.data() + pos_;
        std::size_t rest = text_.size() - pos_;
        const void* cr = std::memchr(begin, '\r', rest);
        if (!cr) {
            pos_ = text_.size();
            return {begin, rest};
        }
        std::size_t len = static_cast<std::size_t>(static_cast<const char*>(cr) - begin);
        pos_ += len + 1;
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
        return {begin, len};
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

enum class BackupMode { None, KeepFirst };
// With Quick a new file replaces the old one without waiting for the disk
// (see SaveFileAtomically).
enum class SyncMode { Durable, Quick };

// Where a save's bytes go: write(2) in the program; tests put a failing
// device in its place (a full disk, a permission lost half way).
struct TWriteDevice {
    virtual ~TWriteDevice() = default;
    // As write(2): the bytes written, or -1 with errno set.
    virtual ssize_t Write(int fd, const char* data, std::size_t size) = 0;
    // As writev(2) of the pieces in order; by default the first nonempty
    // one alone is written.
    virtual ssize_t WriteEach(int fd, const std::string_view* pieces, std::size_t count);
};

// Puts device in place of write(2) for every save while it lives, then puts
// back what was there before.
class TScopedWriteDevice {
public:
    explicit TScopedWriteDevice(TWriteDevice& device);
    ~TScopedWriteDevice();
    TScopedWriteDevice(const TScopedWriteDevice&) = delete;
    TScopedWriteDevice& operator=(const TScopedWriteDevice&) = delete;

private:
    TWriteDevice* previous_;
};

// Writes content to path so that path is always either the old file or the
// complete new one: a temporary file in the same folder is written, flushed and
// fsynced, then renamed over path. With KeepFirst the old file is kept as
// backupPath first, only when backupPath does not exist yet. On failure the
// temporary file is removed, path is untouched and the status names path and
// the reason.
TFileStatus SaveFileAtomically(const std::string& path, std::string_view content, BackupMode backup,
                               const std::string& backupPath);
// The same for content given in pieces, written one after the other, so a
// large file need not be put together in memory first. With Quick the new
// file replaces the old one without waiting for the disk (no fsync): readers
// still see the old file or the whole new one, but after a crash the new one
// may be torn, so Quick is only for files that are checked when read and can
// be made again.

TFileStatus SaveFileAtomically(const std::string& path, const std::vector<std::string_view>& pieces,
                               BackupMode backup, const std::string& backupPath,
                               SyncMode sync = SyncMode::Durable);

// A file written in steps and put in place at the end as SaveFileAtomically
// puts it: the bytes go to a temporary file beside path, which Commit renames
// over path. Until then path is untouched; a writer destroyed without a
// successful Commit removes its temporary file.
class TAtomicFileWriter {
public:
    explicit TAtomicFileWriter(std::string path);
    ~TAtomicFileWriter();
    TAtomicFileWriter(const TAtomicFileWriter&) = delete;
    TAtomicFileWriter& operator=(const TAtomicFileWriter&) = delete;

    // Sets aside room on the disk for about bytes in all, which makes
    // appending a large file cheaper; what is left unused is given back at
    // Commit. A file system that cannot set room aside is written as it is.
    void Reserve(std::uint64_t bytes);
    // Appends bytes (then more, in one system call); false (and the status
    // set) once anything failed.
    bool Append(std::string_view bytes, std::string_view more = {});
    // Writes bytes at offset (already appended over), for a header known
    // only at the end.
    bool WriteAt(std::uint64_t offset, std::string_view bytes);
    std::uint64_t Size() const { return size_; }
    // Gives the new file the modification time mtime when set, keeps an old
    // file as *backupPath when that is set and does not exist yet, then
    // renames the new file over path (fsynced before with Durable).
    TFileStatus Commit(SyncMode sync, const timespec* mtime = nullptr,
                       const std::string* backupPath = nullptr);

private:
    bool Fail(int error);

    std::string path_, temp_;
    TUniqueFd fd_;
    std::uint64_t size_ = 0, reserved_ = 0;
    int error_ = 0;
};

// Writes content over path itself (created when absent), which needs no new
// file in its folder but is not safe against a crash half way: only for small
// files that SaveFileAtomically could not replace.
TFileStatus OverwriteFile(const std::string& path, std::string_view content);

// Saves a small file the user may have made read-only or keep in a folder
// that takes no new files: the safe save first; when it fails, the file is
// made writable by its owner and written over itself.
TFileStatus SaveSmallFile(const std::string& path, std::string_view content);

} // namespace orbisk
