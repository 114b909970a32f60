#pragma once
// Small routines shared by every part of the program.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orbisk {

// Attribute bits as the catalogue knows them.
enum AttrBits : std::uint32_t {
    kAttrReadOnly = 1,
    kAttrHidden = 2,
    kAttrSystem = 4,
    kAttrDirectory = 16,
    kAttrArchive = 32,
};

// Five characters: "d" or blank, then r, a, h, s or "-" for each clear bit.
std::string AttrString(std::uint32_t bits);

// Index in the program's own small-icon set for a file name, by its extension.
int FileClassIcon(std::string_view name);

// Indices of the small-icon set that are not file classes.
inline constexpr int kIconParent = 0;  // the "[ .. ]" row
inline constexpr int kIconPacked = 1;  // .ZIP / .RAR
inline constexpr int kIconFile = 2;    // any other file
inline constexpr int kIconFolder = 3;  // a folder
inline constexpr int kIconMerged = 11; // a source archive of a multi-archive

// Blanks between groups of three digits, for lengths 4 to 12 (after removing
// the blanks that were there); other lengths come back without blanks removed.
std::string FormatSize(std::string_view digits);

std::string RemoveBlanks(std::string_view text);

// Every character of text that occurs in set becomes one blank.
std::string BlankOut(std::string_view text, std::string_view set);

// The characters that a header value never contains.
inline constexpr std::string_view kHeaderForbidden{"\\\x07\t", 3};

std::size_t CountChar(std::string_view text, char c);

// Every character outside A-Z, a-z, 0-9 and "_" becomes one "_" (a whole
// UTF-8 sequence counts as one character in valid UTF-8 text). Returns the
// corrected text; valid is true when nothing had to be replaced.
std::string IsValidName(std::string_view text, bool& valid);

// Adds text unless it is empty or already in the list (exact comparison).
void AddToHistory(std::vector<std::string>& list, const std::string& text);

// Upper case of the bytes a-z only.
std::string UpperAscii(std::string_view text);
// The same into out, whose memory is reused.
void UpperAsciiInto(std::string_view text, std::string& out);

// "XXXX-XXXX" of a 32-bit volume serial: the high and low 16 bits as
// upper-case hexadecimal, each padded to four digits.
std::string FormatSerial(std::uint32_t serial);
inline constexpr std::string_view kNoSerial = "0000-0000";

// Label and serial text of the volume that holds a path.
struct TVolumeInfo {
    std::string Label;
    std::string Serial{kNoSerial};
};

// The extension of a name from its last "." on (dot included), empty when
// there is no dot.
std::string_view ExtensionOf(std::string_view name);

// The small system icon of a file type, asked of the platform once per
// distinct extension (lower-cased, cut to six characters) and cached. A name
// without an extension gives 0 without asking.
class TIconCache {
public:
    using Query = std::function<int(const std::string& lowerExtension)>;
    explicit TIconCache(Query query) : query_(std::move(query)) {}
    int SystemIconIndex(std::string_view name);
    std::size_t Size() const { return cache_.size(); }

private:
    Query query_;
    std::unordered_map<std::string, int> cache_;
};

} // namespace orbisk
