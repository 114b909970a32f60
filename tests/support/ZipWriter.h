#pragma once
// Writes ZIP files with stored members for the tests: folders with and
// without entries of their own, sizes in trailing data descriptors, ZIP64
// sizes, a self-extractor prefix, a cut or missing central directory.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orbisk::test {

// A DOS date-time value (date in the high half).
std::uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second);

struct TZipMember {
    std::string Name;                       // "/" between components, a trailing "/" for a folder
    std::string Data;                       // stored as is (method 0)
    std::uint32_t DosDateTime = 0x2A432866; // 3.2.2001 5:03:12
    // The size the headers claim; Data.size() when unset. A claimed size
    // beyond 4 GiB is written with ZIP64 records whatever Zip64 says.
    std::optional<std::uint64_t> UncompressedSize;
    bool DataDescriptor = false; // bit 3: zero sizes in the local header
    bool Zip64 = false;          // sizes 0xFFFFFFFF with a ZIP64 extra field
};

// A stored member with the given name and contents.
inline TZipMember ZipMember(std::string name, std::string data) {
    TZipMember member;
    member.Name = std::move(name);
    member.Data = std::move(data);
    return member;
}

struct TZipOptions {
    std::string Prefix;           // bytes before the first member
    bool PrefixInOffsets = true;  // offsets count from the start of the file
    bool CentralDirectory = true; // false: local headers and data only
    bool Zip64End = false;        // ZIP64 end record and locator before the end record
    std::size_t CutTail = 0;      // bytes dropped from the end of the file
};

std::string MakeZip(const std::vector<TZipMember>& members, const TZipOptions& options = {});

} // namespace orbisk::test
