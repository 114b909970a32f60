#include "ZipWriter.h"

#include "Crc32.h"

namespace orbisk::test {

namespace {

constexpr std::uint32_t kMarker32 = 0xFFFFFFFF;

void Put16(std::string& out, std::uint64_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& out, std::uint64_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, (v >> 16) & 0xFFFF);
}
void Put64(std::string& out, std::uint64_t v) {
    Put32(out, v & 0xFFFFFFFF);
    Put32(out, v >> 32);
}

struct TSizes {
    std::uint64_t packed, unpacked;
    bool zip64;
};

TSizes SizesOf(const TZipMember& m) {
    std::uint64_t unpacked = m.UncompressedSize.value_or(m.Data.size());
    return {m.Data.size(), unpacked, m.Zip64 || unpacked >= kMarker32};
}

std::string Zip64Extra(std::uint64_t unpacked, std::uint64_t packed) {
    std::string extra;
    Put16(extra, 0x0001);
    Put16(extra, 16);
    Put64(extra, unpacked);
    Put64(extra, packed);
    return extra;
}

// Version needed, flags, method, date-time, CRC and the two sizes: the part
// that local and central headers share.
void PutCommon(std::string& out, const TZipMember& m, const TSizes& s, bool local) {
    const bool hidden = local && m.DataDescriptor;
    Put16(out, s.zip64 ? 45 : 10);
    Put16(out, m.DataDescriptor ? 8 : 0);
    Put16(out, 0);
    Put32(out, m.DosDateTime);
    Put32(out, hidden ? 0 : Crc32(m.Data));
    Put32(out, hidden ? 0 : s.zip64 ? kMarker32 : s.packed);
    Put32(out, hidden ? 0 : s.zip64 ? kMarker32 : s.unpacked);
}

void PutLocal(std::string& out, const TZipMember& m) {
    const TSizes s = SizesOf(m);
    const std::string extra = s.zip64 && !m.DataDescriptor ? Zip64Extra(s.unpacked, s.packed) : "";
    Put32(out, 0x04034B50);
    PutCommon(out, m, s, true);
    Put16(out, m.Name.size());
    Put16(out, extra.size());
    out += m.Name + extra + m.Data;
    if (!m.DataDescriptor) return;
    Put32(out, 0x08074B50);
    Put32(out, Crc32(m.Data));
    if (s.zip64) {
        Put64(out, s.packed);
        Put64(out, s.unpacked);
    } else {
        Put32(out, s.packed);
        Put32(out, s.unpacked);
    }
}

void PutCentral(std::string& out, const TZipMember& m, std::uint64_t offset) {
    const TSizes s = SizesOf(m);
    const std::string extra = s.zip64 ? Zip64Extra(s.unpacked, s.packed) : "";
    Put32(out, 0x02014B50);
    Put16(out, 0x031E); // made by: Unix, version 3.0
    PutCommon(out, m, s, false);
    Put16(out, m.Name.size());
    Put16(out, extra.size());
    Put16(out, 0); // comment
    Put16(out, 0); // disk
    Put16(out, 0); // internal attributes
    Put32(out, !m.Name.empty() && m.Name.back() == '/' ? 0x10 : 0);
    Put32(out, offset);
    out += m.Name + extra;
}

// cdStart and the ZIP64 record's place count from base.
void PutEnd(std::string& out, std::uint64_t count, std::uint64_t cdStart, std::uint64_t cdSize,
            std::uint64_t base, bool zip64) {
    if (zip64) {
        const std::uint64_t recordPos = out.size() - base;
        Put32(out, 0x06064B50);
        Put64(out, 44);
        Put16(out, 45);
        Put16(out, 45);
        Put32(out, 0);
        Put32(out, 0);
        Put64(out, count);
        Put64(out, count);
        Put64(out, cdSize);
        Put64(out, cdStart);
        Put32(out, 0x07064B50);
        Put32(out, 0);
        Put64(out, recordPos);
        Put32(out, 1);
    }
    Put32(out, 0x06054B50);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, zip64 ? 0xFFFF : count);
    Put16(out, zip64 ? 0xFFFF : count);
    Put32(out, zip64 ? kMarker32 : cdSize);
    Put32(out, zip64 ? kMarker32 : cdStart);
    Put16(out, 0);
}

} // namespace

std::uint32_t DosDateTime(int year, int month, int day, int hour, int minute, int second) {
    const auto date = static_cast<std::uint32_t>((year - 1980) << 9 | month << 5 | day);
    const auto time = static_cast<std::uint32_t>(hour << 11 | minute << 5 | second / 2);
    return date << 16 | time;
}

std::string MakeZip(const std::vector<TZipMember>& members, const TZipOptions& options) {
    std::string out = options.Prefix;
    const std::uint64_t base = options.PrefixInOffsets ? 0 : options.Prefix.size();
    std::vector<std::uint64_t> offsets;
    for (const TZipMember& m : members) {
        offsets.push_back(out.size() - base);
        PutLocal(out, m);
    }
    if (options.CentralDirectory) {
        const std::uint64_t cdStart = out.size();
        for (std::size_t i = 0; i < members.size(); ++i)
            PutCentral(out, members[i], offsets[i]);
        PutEnd(out, members.size(), cdStart - base, out.size() - cdStart, base, options.Zip64End);
    }
    out.resize(out.size() - std::min(options.CutTail, out.size()));
    return out;
}

} // namespace orbisk::test
