#pragma once
// Lists the members of a ZIP file without unpacking anything: the local file
// headers are walked from the front of the file, each member's data skipped
// by its compressed size. Files whose members the walk cannot follow (sizes
// in a trailing data descriptor, a damaged member after the first, a first
// header the search misses) are listed from the central directory at the end
// of the file instead, and so is every file whose central directory counts
// more members than the walk found.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/Host.h"
#include "core/scan/DateFormat.h"
#include "core/scan/PackedListing.h"

namespace orbisk {

// One member: the fields of its local file header (or of its central
// directory record when the file was listed from there) and its name. Sizes
// are 64-bit: ZIP64 members carry theirs in an extra field.
struct ZipDirEntry {
    std::uint16_t VersionNeeded = 0;
    std::uint16_t Flags = 0; // general purpose bits; bit 3: sizes in a data descriptor
    std::uint16_t Method = 0;
    std::uint32_t DosDateTime = 0; // local time, date in the high half
    std::uint32_t Crc32 = 0;
    std::uint64_t CompressedSize = 0;
    std::uint64_t UncompressedSize = 0;
    std::uint16_t NameLength = 0;
    std::uint16_t ExtraLength = 0;
    std::string FileName; // "/" between components, a trailing "/" for a folder
};

class TZipDir {
public:
    explicit TZipDir(Host& host) : host_(host) {}

    // Clears the entries, stores the name and reads the file (an empty name
    // only clears). Returns false when reading failed, with the text in
    // Error(); the entries read before the failure stay. A file that does not
    // exist or is not a regular file (a folder, a pipe, a device: never
    // opened, so never waited for) is reported to the user through the host
    // ("Error opening file: ").
    // A failed search for the first header also empties ZipFileName, unless
    // the central directory lists the members.
    bool SetZipFileName(const std::string& name);
    // The same for a ZIP already in memory, kept under name; bytes must stay
    // alive during the call only.
    bool SetZipBytes(const std::string& name, std::string_view bytes);
    const std::string& ZipFileName() const { return zipFileName_; }

    // The entries in file order; none while ZipFileName is empty.
    std::size_t Count() const { return zipFileName_.empty() ? 0 : entries_.size(); }
    const ZipDirEntry& Entry(std::size_t index) const { return entries_[index]; }

    const std::string& Error() const { return error_; }
    // True when the entries were taken from the central directory.
    bool FromCentralDirectory() const { return fromCentral_; }

private:
    bool Load(const std::string& name, const std::string_view* bytes);

    Host& host_;
    std::string zipFileName_;
    std::vector<ZipDirEntry> entries_;
    std::string error_;
    bool fromCentral_ = false;
};

// The listing the walk turns into directories: for each entry in order, the
// folders its path implies that have no row yet (size "0", the entry's own
// date; folder paths compared exactly, so "a/" and "A/" are two folders),
// then the entry's own row. A folder member whose path already has a row updates that
// row instead of adding a second one. Dates are the formatter's ZipDateTime
// of the DOS date-time, "?" when that is not a valid date and time.
void BuildZipListing(const TZipDir& zip, const TDateFormatter& formatter, TPackedListing& listing);

} // namespace orbisk
