#pragma once
// Listing of RAR files (RAR 4 and RAR 5, self-extracting ones included)
// through four calls in the manner of the unrar library: open for listing,
// read a header, skip the member, close. They are built on libarchive;
// nothing is ever extracted.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/scan/DateFormat.h"
#include "core/scan/PackedListing.h"

namespace orbisk {

// Results of the calls.
enum RarResult : int {
    kRarSuccess = 0,
    kRarEndArchive = 10, // no further header
    kRarNoMemory = 11,
    kRarBadData = 12,      // a damaged or encrypted header or member
    kRarBadArchive = 13,   // not a RAR file
    kRarOpenError = 15,    // the file cannot be opened or is not a regular file
    kRarNotSupported = 21, // an operation other than skipping
};

inline constexpr unsigned kRarOpenList = 0; // open mode: listing only
inline constexpr int kRarSkip = 0;          // RARProcessFile operation

struct RAROpenArchiveData {
    const char* ArcName = nullptr;  // zero-terminated path
    const void* ArcBytes = nullptr; // or the file's bytes in memory, kept alive
    std::size_t ArcSize = 0;        // while the handle is open
    unsigned OpenMode = kRarOpenList;
    unsigned OpenResult = kRarSuccess; // set by RAROpenArchive
};

inline constexpr std::size_t kRarNameSize = 1024;

struct RARHeaderData {
    // Member path, zero-terminated, "\" between components, no trailing "\".
    // A longer path is cut at a whole UTF-8 character.
    char FileName[kRarNameSize] = {};
    std::uint64_t UnpSize = 0;  // 0 when the archive does not say
    std::uint32_t FileTime = 0; // DOS date-time, local; 0 when not representable
    std::uint32_t FileAttr = 0; // AttrBits: directory, read-only, hidden, system
};

struct TRarArchive;
using RARHandle = TRarArchive*;

// Opens a file for listing. Returns nullptr, with data->OpenResult set, when
// the file cannot be opened or is not a RAR file. Only a regular file is
// opened, without waiting: a pipe or a device gives kRarOpenError at once.
RARHandle RAROpenArchive(RAROpenArchiveData* data);
// Reads the next member header: kRarSuccess, kRarEndArchive or an error.
int RARReadHeader(RARHandle handle, RARHeaderData* header);
// Moves past the data of the member just read. Only kRarSkip is supported;
// destPath and destName must be null.
int RARProcessFile(RARHandle handle, int operation, char* destPath, char* destName);
int RARCloseArchive(RARHandle handle);

// Appends the rows of a RAR file to the listing: for each member in order,
// the folders its path implies that were not seen yet (size "0", the
// member's date, "d----"; seen folders compared exactly, so "a" and "A" are
// two folders), then the member's own row with its unpacked size, its date
// (DateTime of the formatter, "?" when there is none) and AttrString of its
// attributes. A folder header after its contents gives the folder's row its
// own size, date and attributes instead of a second row. A file that cannot
// be opened adds nothing; a damaged header or member ends the listing after
// the rows read so far. onMember, when given, is called with each member's
// name after its row was added (the walk writes its progress line and pumps
// there).
void ListRarArchive(const std::string& path, TPackedListing& listing,
                    const TDateFormatter& formatter,
                    const std::function<void(const std::string&)>& onMember = {});
// The same for a RAR file's bytes in memory.
void ListRarBytes(std::string_view bytes, TPackedListing& listing, const TDateFormatter& formatter,
                  const std::function<void(const std::string&)>& onMember = {});

} // namespace orbisk
