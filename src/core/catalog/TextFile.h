#pragma once
// Reading and writing the system's text files: whole-file reads split into
// lines by the CR rules, and saves that never destroy the previous good file.
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace orbisk {

enum class ReadStatus { Ok, Missing, Unreadable };

// The largest file ReadWholeFile takes by default: the catalogue's counts
// are 32-bit, so no file this program writes comes near it, and a hostile
// file of many gigabytes is refused before any memory is taken for it.
inline constexpr std::size_t kMaxWholeFile = 0x7FFFFFFF;
// The largest of the small settings-like files (extension lists, the CD
// player's titles): a few kilobytes in real use.
inline constexpr std::size_t kMaxSmallFile = 16u << 20;

// Reads a whole regular file into out. Missing: the path does not exist.
// Unreadable: it exists but cannot be opened or read (or is not a regular file
// that can be read to its end, such as a directory), or it holds more than
// maxBytes (checked before reading and again while reading, as the file may
// grow).
ReadStatus ReadWholeFile(const std::string& path, std::string& out,
                         std::size_t maxBytes = kMaxWholeFile);

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

// What a save may fail on, for tests that inject failures.
struct SaveFaults {
    std::size_t failAfterBytes = static_cast<std::size_t>(-1); // write error after this much
};

// Writes content to path so that path is always either the old file or the
// complete new one: a temporary file in the same folder is written, flushed and
// fsynced, then renamed over path. With KeepFirst the old file is kept as
// backupPath first, only when backupPath does not exist yet. On failure the
// temporary file is removed, path is untouched and false is returned.
bool SaveFileAtomically(const std::string& path, std::string_view content, BackupMode backup,
                        const std::string& backupPath, const SaveFaults* faults = nullptr);

} // namespace orbisk
