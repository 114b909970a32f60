#pragma once
// Writes RAR 4 and RAR 5 files with stored members for the tests: folders
// with and without headers of their own, in any order, claimed sizes beyond
// 2 and 4 GiB, attributes, and a header with a wrong checksum.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orbisk::test {

enum class TRarVersion { Rar4, Rar5 };

struct TRarMember {
    std::string Name; // "\" between components
    std::string Data; // stored as is
    bool Folder = false;
    std::uint32_t DosDateTime = 0x2A432866; // 3.2.2001 5:03:12, local time
    std::uint32_t Attr = 0;                 // Windows bits besides the folder bit
    // The unpacked size the header claims; Data.size() when unset.
    std::optional<std::uint64_t> UnpackedSize;
    bool BadHeaderCrc = false; // write a wrong checksum into this member's header
};

// A stored member with the given name and contents.
inline TRarMember RarMember(std::string name, std::string data) {
    TRarMember member;
    member.Name = std::move(name);
    member.Data = std::move(data);
    return member;
}

std::string MakeRar(const std::vector<TRarMember>& members,
                    TRarVersion version = TRarVersion::Rar4);

} // namespace orbisk::test
