#include "RarWriter.h"

#include <ctime>

#include "Crc32.h"

namespace orbisk::test {

namespace {

void PutLe(std::string& out, std::uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// RAR 5 variable-length integer: 7 bits a byte, the high bit says "more".
void PutVint(std::string& out, std::uint64_t v) {
    do {
        unsigned char b = v & 0x7F;
        v >>= 7;
        if (v) b |= 0x80;
        out.push_back(static_cast<char>(b));
    } while (v);
}

// RAR 4 block: the CRC is the low half of the CRC-32 of the block after it.
void PutRar4Block(std::string& out, std::string body, bool badCrc) {
    const std::uint32_t crc = Crc32(body) ^ (badCrc ? 0x5A5A : 0);
    PutLe(out, crc & 0xFFFF, 2);
    out += body;
}

std::string Rar4File(const TRarMember& m) {
    constexpr std::uint16_t kLongBlock = 0x8000, kLarge = 0x0100, kFolder = 0x00E0;
    const std::uint64_t unpacked = m.UnpackedSize.value_or(m.Data.size());
    const bool large = unpacked > 0xFFFFFFFF;
    std::string b;
    PutLe(b, 0x74, 1);
    PutLe(b, kLongBlock | (large ? kLarge : 0) | (m.Folder ? kFolder : 0), 2);
    PutLe(b, 2 + 1 + 2 + 2 + 4 + 4 + 1 + 4 + 4 + 1 + 1 + 2 + 4 + (large ? 8 : 0) + m.Name.size(),
          2);
    PutLe(b, m.Data.size(), 4);
    PutLe(b, unpacked & 0xFFFFFFFF, 4);
    PutLe(b, 2, 1); // host: Windows
    PutLe(b, Crc32(m.Data), 4);
    PutLe(b, m.DosDateTime, 4);
    PutLe(b, 20, 1);   // version needed
    PutLe(b, 0x30, 1); // stored
    PutLe(b, m.Name.size(), 2);
    PutLe(b, m.Attr | (m.Folder ? 0x10 : 0), 4);
    if (large) {
        PutLe(b, 0, 4);
        PutLe(b, unpacked >> 32, 4);
    }
    return b + m.Name;
}

std::string MakeRar4(const std::vector<TRarMember>& members) {
    std::string out("Rar!\x1A\x07\x00", 7);
    std::string main;
    PutLe(main, 0x73, 1);
    PutLe(main, 0, 2);
    PutLe(main, 13, 2);
    PutLe(main, 0, 6);
    PutRar4Block(out, main, false);
    for (const TRarMember& m : members) {
        PutRar4Block(out, Rar4File(m), m.BadHeaderCrc);
        out += m.Data;
    }
    std::string end;
    PutLe(end, 0x7B, 1);
    PutLe(end, 0x4000, 2);
    PutLe(end, 7, 2);
    PutRar4Block(out, end, false);
    return out;
}

// RAR 5 header: CRC-32 of the size field and the header after it.
void PutRar5Header(std::string& out, const std::string& header, bool badCrc) {
    std::string sized;
    PutVint(sized, header.size());
    sized += header;
    PutLe(out, Crc32(sized) ^ (badCrc ? 0x5A5A5A5A : 0), 4);
    out += sized;
}

std::uint32_t UnixTimeOf(std::uint32_t dos) {
    std::tm t{};
    t.tm_year = static_cast<int>(dos >> 25) + 80;
    t.tm_mon = static_cast<int>((dos >> 21) & 15) - 1;
    t.tm_mday = static_cast<int>((dos >> 16) & 31);
    t.tm_hour = static_cast<int>((dos >> 11) & 31);
    t.tm_min = static_cast<int>((dos >> 5) & 63);
    t.tm_sec = static_cast<int>(dos & 31) * 2;
    t.tm_isdst = -1;
    return static_cast<std::uint32_t>(std::mktime(&t));
}

std::string Rar5File(const TRarMember& m) {
    constexpr std::uint64_t kDataArea = 0x02, kDirectory = 0x01, kTime = 0x02, kCrc = 0x04;
    std::string h;
    PutVint(h, 2);         // file header
    PutVint(h, kDataArea); // folders too, with an empty one
    PutVint(h, m.Folder ? 0 : m.Data.size());
    PutVint(h, (m.Folder ? kDirectory : kCrc) | kTime);
    PutVint(h, m.UnpackedSize.value_or(m.Data.size()));
    PutVint(h, m.Attr | (m.Folder ? 0x10 : 0));
    PutLe(h, UnixTimeOf(m.DosDateTime), 4);
    if (!m.Folder) PutLe(h, Crc32(m.Data), 4);
    PutVint(h, 0); // compression: version 0, stored
    PutVint(h, 0); // host: Windows
    std::string name = m.Name;
    for (char& c : name)
        if (c == '\\') c = '/';
    PutVint(h, name.size());
    return h + name;
}

std::string MakeRar5(const std::vector<TRarMember>& members) {
    std::string out("Rar!\x1A\x07\x01\x00", 8);
    std::string main;
    PutVint(main, 1); // main archive header
    PutVint(main, 0);
    PutVint(main, 0);
    PutRar5Header(out, main, false);
    for (const TRarMember& m : members) {
        PutRar5Header(out, Rar5File(m), m.BadHeaderCrc);
        if (!m.Folder) out += m.Data;
    }
    std::string end;
    PutVint(end, 5); // end of archive
    PutVint(end, 0);
    PutVint(end, 0);
    PutRar5Header(out, end, false);
    return out;
}

} // namespace

std::string MakeRar(const std::vector<TRarMember>& members, TRarVersion version) {
    return version == TRarVersion::Rar4 ? MakeRar4(members) : MakeRar5(members);
}

} // namespace orbisk::test
