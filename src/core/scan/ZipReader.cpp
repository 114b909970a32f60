#include "core/scan/ZipReader.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "core/catalog/TextFile.h"
#include "core/scan/DosTime.h"
#include "core/scan/ListingRows.h"

namespace orbisk {

namespace {

constexpr std::uint32_t kLocalHeaderSig = 0x04034B50;
constexpr std::uint32_t kCentralHeaderSig = 0x02014B50;
constexpr std::uint32_t kEndRecordSig = 0x06054B50;
constexpr std::uint32_t kZip64EndRecordSig = 0x06064B50;
constexpr std::uint32_t kZip64LocatorSig = 0x07064B50;
constexpr std::uint16_t kZip64ExtraId = 0x0001;
constexpr std::uint32_t kZip64Marker = 0xFFFFFFFF;
constexpr std::uint16_t kFlagDataDescriptor = 8;

constexpr int kFirstHeaderSearchLimit = 60000;
constexpr std::size_t kMaxLocalNameLength = 250;
constexpr std::uint64_t kEndRecordSize = 22;
constexpr std::uint64_t kZip64EndRecordSize = 56;
constexpr std::uint64_t kZip64LocatorSize = 20;
constexpr std::uint64_t kCentralHeaderSize = 46;

constexpr const char* kSearchFailed = "Error reading Zip File";
constexpr const char* kBadMember = "Error reading Zip file";
constexpr const char* kShortSignature = "Error 1 reading Zip File";

std::uint16_t Le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t Le32(const unsigned char* p) {
    return static_cast<std::uint32_t>(Le16(p)) | static_cast<std::uint32_t>(Le16(p + 2)) << 16;
}

// The fields a local header and a central directory record share, in the
// same order: from "version needed" to the extra field's length (26 bytes).
void ReadEntryFields(const unsigned char* p, ZipDirEntry& e) {
    e.VersionNeeded = Le16(p);
    e.Flags = Le16(p + 2);
    e.Method = Le16(p + 4);
    e.DosDateTime = Le32(p + 6);
    e.Crc32 = Le32(p + 10);
    e.CompressedSize = Le32(p + 14);
    e.UncompressedSize = Le32(p + 18);
    e.NameLength = Le16(p + 22);
    e.ExtraLength = Le16(p + 24);
}
std::uint64_t Le64(const unsigned char* p) {
    return static_cast<std::uint64_t>(Le32(p)) | static_cast<std::uint64_t>(Le32(p + 4)) << 32;
}

// Positional reads through a buffer, so the byte-wise header search and the
// small header reads cost few system calls; or reads from bytes in memory.
class TZipFile {
public:
    explicit TZipFile(int fd, std::uint64_t size) : fd_(fd), size_(size), buf_(64 * 1024) {}
    explicit TZipFile(std::string_view bytes) : size_(bytes.size()), memory_(bytes) {}
    std::uint64_t Size() const { return size_; }
    std::uint64_t Pos() const { return pos_; }
    void Seek(std::uint64_t pos) { pos_ = pos; }

    // Reads up to n bytes at the current position; returns how many came.
    std::size_t Read(void* out, std::size_t n) {
        if (fd_ < 0) { // in memory
            if (pos_ >= size_) return 0;
            const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(n, size_ - pos_));
            std::memcpy(out, memory_.data() + pos_, take);
            pos_ += take;
            return take;
        }
        auto* dst = static_cast<unsigned char*>(out);
        std::size_t done = 0;
        while (done < n) {
            if (pos_ < bufStart_ || pos_ >= bufStart_ + bufLen_) {
                if (!Fill()) break;
            }
            std::size_t offset = static_cast<std::size_t>(pos_ - bufStart_);
            std::size_t take = std::min(n - done, bufLen_ - offset);
            std::memcpy(dst + done, buf_.data() + offset, take);
            done += take;
            pos_ += take;
        }
        return done;
    }
    bool ReadByte(unsigned char& b) { return Read(&b, 1) == 1; }
    bool ReadExact(void* out, std::size_t n) { return Read(out, n) == n; }

private:
    bool Fill() {
        if (pos_ >= size_) return false;
        ssize_t got = ReadAt(fd_, pos_, buf_.data(), buf_.size());
        if (got <= 0) return false;
        bufStart_ = pos_;
        bufLen_ = static_cast<std::size_t>(got);
        return true;
    }

    int fd_ = -1;
    std::uint64_t size_;
    std::string_view memory_;
    std::vector<unsigned char> buf_;
    std::uint64_t bufStart_ = 0;
    std::size_t bufLen_ = 0;
    std::uint64_t pos_ = 0;
};

std::string CutAtZero(std::string name) {
    auto zero = name.find('\0');
    if (zero != std::string::npos) name.resize(zero);
    return name;
}

// Takes the 64-bit sizes of a ZIP64 extra field for the 32-bit fields that
// hold the marker. A local header carries both sizes whenever it has the
// field; a central record carries only the marked ones, in the same order.
void ApplyZip64Extra(ZipDirEntry& e, const std::string& extra, bool localHeader) {
    const auto* p = reinterpret_cast<const unsigned char*>(extra.data());
    std::size_t at = 0;
    while (at + 4 <= extra.size()) {
        std::uint16_t id = Le16(p + at), len = Le16(p + at + 2);
        std::size_t data = at + 4, end = std::min(extra.size(), data + len);
        at = data + len;
        if (id != kZip64ExtraId) continue;
        bool bothPresent = localHeader && end - data >= 16;
        bool wantU = e.UncompressedSize == kZip64Marker, wantC = e.CompressedSize == kZip64Marker;
        if (wantU || bothPresent) {
            if (data + 8 > end) return;
            if (wantU) e.UncompressedSize = Le64(p + data);
            data += 8;
        }
        if (wantC && data + 8 <= end) e.CompressedSize = Le64(p + data);
        return;
    }
}

struct TWalkResult {
    bool headerFound = false;
    bool needsCentral = false; // a member whose sizes come after its data
    std::string error;
};

// Finds the first local header byte by byte within the first 60000 bytes
// read; the counter counts only the bytes that start a comparison. An end
// record met first is an empty ZIP file: endFound is set and nothing is
// listed.
std::string FindFirstHeader(TZipFile& file, bool& endFound) {
    for (int counter = 0;;) {
        unsigned char b = 0;
        if (!file.ReadByte(b)) return "Error 1a reading Zip File";
        if (++counter > kFirstHeaderSearchLimit) return kSearchFailed;
        if (b != 'P') continue;
        if (!file.ReadByte(b)) return "Error 1b reading Zip File";
        if (b != 'K') continue;
        if (!file.ReadByte(b)) return "Error 1c reading Zip File";
        if (b == 5) {
            unsigned char next = 0;
            if (!file.ReadByte(next)) continue;
            if (next == 6) {
                endFound = true;
                return {};
            }
            file.Seek(file.Pos() - 1); // the byte may begin a header
            continue;
        }
        if (b != 3) continue;
        if (!file.ReadByte(b)) return "Error 1d reading Zip File";
        if (b == 4) return {};
    }
}

// Reads one member after its signature and moves past its data. Returns
// false when the member is damaged; it is listed when its name was read.
bool ReadLocalMember(TZipFile& file, std::vector<ZipDirEntry>& entries, TWalkResult& result) {
    unsigned char h[26];
    if (!file.ReadExact(h, sizeof h)) return false;
    ZipDirEntry e;
    ReadEntryFields(h, e);
    if (e.NameLength >= kMaxLocalNameLength) return false;
    std::string name(e.NameLength, '\0');
    if (!file.ReadExact(name.data(), name.size())) return false;
    e.FileName = CutAtZero(std::move(name));
    const std::uint64_t extraStart = file.Pos();
    if (e.CompressedSize == kZip64Marker || e.UncompressedSize == kZip64Marker) {
        std::string extra(e.ExtraLength, '\0');
        extra.resize(file.Read(extra.data(), extra.size()));
        ApplyZip64Extra(e, extra, true);
    }
    if (e.Flags & kFlagDataDescriptor) result.needsCentral = true;
    const std::uint64_t dataSize = e.CompressedSize;
    entries.push_back(std::move(e));
    // The member's data must end before the room of an end record.
    if (dataSize > file.Size()) return false;
    const std::uint64_t next = extraStart + entries.back().ExtraLength + dataSize;
    if (next + kEndRecordSize > file.Size()) return false;
    file.Seek(next);
    return true;
}

TWalkResult WalkLocalHeaders(TZipFile& file, std::vector<ZipDirEntry>& entries, Host& host) {
    TWalkResult result;
    bool endFound = false;
    result.error = FindFirstHeader(file, endFound);
    if (!result.error.empty()) return result;
    result.headerFound = true;
    if (endFound) return result;
    PumpTicker ticker(host);
    std::uint32_t sig = kLocalHeaderSig;
    for (bool first = true;; first = false) {
        ticker.Tick();
        if (!first) {
            unsigned char b[4];
            if (!file.ReadExact(b, 4)) {
                result.error = kShortSignature;
                return result;
            }
            sig = Le32(b);
        }
        if (sig == kCentralHeaderSig || sig == kEndRecordSig) return result;
        if (sig != kLocalHeaderSig) continue;
        if (!ReadLocalMember(file, entries, result)) {
            result.error = kBadMember;
            return result;
        }
    }
}

struct TCentralRange {
    std::uint64_t start = 0, size = 0;
    std::uint64_t count = 0; // the members the end record counts
};

// The place of the central directory, from the end record (and the ZIP64 end
// record when there is one). A self-extracting prefix shifts every offset the
// records give, so the directory is looked for right before the end record
// first and at its recorded offset second.
std::optional<TCentralRange> FindCentralDirectory(TZipFile& file) {
    const std::uint64_t size = file.Size();
    if (size < kEndRecordSize) return std::nullopt;
    const std::uint64_t tailLen = std::min<std::uint64_t>(size, kEndRecordSize + 0xFFFF);
    std::string tail(static_cast<std::size_t>(tailLen), '\0');
    file.Seek(size - tailLen);
    if (!file.ReadExact(tail.data(), tail.size())) return std::nullopt;
    const auto* t = reinterpret_cast<const unsigned char*>(tail.data());
    std::size_t at = tail.size() - kEndRecordSize;
    while (Le32(t + at) != kEndRecordSig) {
        if (at == 0) return std::nullopt;
        --at;
    }
    const std::uint64_t endPos = size - tailLen + at;
    std::uint64_t cdSize = Le32(t + at + 12), cdOffset = Le32(t + at + 16), cdEnd = endPos;
    std::uint64_t count = Le16(t + at + 10);

    unsigned char loc[kZip64LocatorSize];
    if (endPos >= kZip64LocatorSize + kZip64EndRecordSize) {
        file.Seek(endPos - kZip64LocatorSize);
        if (file.ReadExact(loc, sizeof loc) && Le32(loc) == kZip64LocatorSig) {
            for (std::uint64_t pos :
                 {endPos - kZip64LocatorSize - kZip64EndRecordSize, Le64(loc + 8)}) {
                unsigned char rec[kZip64EndRecordSize];
                file.Seek(pos);
                if (!file.ReadExact(rec, sizeof rec) || Le32(rec) != kZip64EndRecordSig) continue;
                count = Le64(rec + 32);
                cdSize = Le64(rec + 40);
                cdOffset = Le64(rec + 48);
                cdEnd = pos;
                break;
            }
        }
    }
    for (std::uint64_t start : {cdSize <= cdEnd ? cdEnd - cdSize : cdEnd, cdOffset}) {
        if (cdSize > cdEnd || start > cdEnd - cdSize) continue;
        if (cdSize == 0) return TCentralRange{start, 0, 0};
        unsigned char sig[4];
        file.Seek(start);
        if (file.ReadExact(sig, 4) && Le32(sig) == kCentralHeaderSig)
            return TCentralRange{start, cdSize, count};
    }
    return std::nullopt;
}

// Reads one central directory record at the current position; false when
// it is damaged or does not fit into the directory.
bool ReadCentralRecord(TZipFile& file, std::uint64_t end, ZipDirEntry& e) {
    unsigned char h[kCentralHeaderSize];
    if (file.Pos() + kCentralHeaderSize > end || !file.ReadExact(h, sizeof h)) return false;
    if (Le32(h) != kCentralHeaderSig) return false;
    ReadEntryFields(h + 6, e); // after the signature and "version made by"
    const std::uint16_t commentLength = Le16(h + 32);
    if (file.Pos() + e.NameLength + e.ExtraLength + commentLength > end) return false;
    std::string name(e.NameLength, '\0');
    std::string extra(e.ExtraLength, '\0');
    if (!file.ReadExact(name.data(), name.size()) || !file.ReadExact(extra.data(), extra.size()))
        return false;
    e.FileName = CutAtZero(std::move(name));
    ApplyZip64Extra(e, extra, false);
    file.Seek(file.Pos() + commentLength);
    return true;
}

// Every record of the central directory, or nullopt when a record in it is
// damaged. The records are read one by one, so memory grows with the records
// present, never with a count the file claims.
std::optional<std::vector<ZipDirEntry>>
ReadCentralDirectory(TZipFile& file, const TCentralRange& range, Host& host) {
    std::vector<ZipDirEntry> entries;
    PumpTicker ticker(host);
    const std::uint64_t end = range.start + range.size;
    file.Seek(range.start);
    while (file.Pos() < end) {
        ZipDirEntry e;
        if (!ReadCentralRecord(file, end, e)) return std::nullopt;
        entries.push_back(std::move(e));
        ticker.Tick();
    }
    return entries;
}

// The central directory lists every member, so it takes the place of the
// walk's entries whenever the walk may have missed some: it found no first
// header (one beyond the search bound, after a long self-extractor), lost
// its way after a member, met a member whose data end it could not know, or
// found fewer members than the directory counts (a stray byte before the
// first header hides that header from the byte-wise search). A sound walk is
// kept when the directory counts no more members than it found, so the
// members of a sound file are read once. Returns true when the entries were
// replaced.
bool TakeCentralDirectory(TZipFile& file, const TWalkResult& walk,
                          std::vector<ZipDirEntry>& entries, Host& host) {
    const bool walkInDoubt = !walk.headerFound || !walk.error.empty() || walk.needsCentral;
    const auto range = FindCentralDirectory(file);
    if (!range || (!walkInDoubt && range->count <= entries.size())) return false;
    auto central = ReadCentralDirectory(file, *range, host);
    if (!central) return false;
    // With as many records as the walk found, the directory mends a walk in
    // doubt (its sizes are the true ones); an empty one mends nothing.
    const bool take = central->size() > entries.size() ||
                      (walkInDoubt && !entries.empty() && central->size() == entries.size());
    if (!take) return false;
    entries = std::move(*central);
    return true;
}

} // namespace

bool TZipDir::SetZipFileName(const std::string& name) {
    return Load(name, nullptr);
}

bool TZipDir::SetZipBytes(const std::string& name, std::string_view bytes) {
    return Load(name, &bytes);
}

bool TZipDir::Load(const std::string& name, const std::string_view* bytes) {
    entries_.clear();
    error_.clear();
    fromCentral_ = false;
    zipFileName_ = name;
    if (name.empty()) return true;

    // Only a regular file is read, and opening it never waits on a pipe or a
    // device.
    TUniqueFd fd;
    std::uint64_t size = 0;
    if (!bytes && !OpenRegularFile(name, fd, &size)) {
        error_ = "Error opening file: " + name;
        host_.Inform(error_);
        return false;
    }
    TZipFile file = bytes ? TZipFile(*bytes) : TZipFile(fd.Get(), size);
    TWalkResult walk = WalkLocalHeaders(file, entries_, host_);
    error_ = walk.error;
    if (TakeCentralDirectory(file, walk, entries_, host_)) {
        error_.clear();
        fromCentral_ = true;
    }
    if (!fromCentral_ && !walk.headerFound && error_ == kSearchFailed) zipFileName_.clear();
    return error_.empty();
}

void BuildZipListing(const TZipDir& zip, const TDateFormatter& formatter, TPackedListing& listing) {
    TListingRows rows(listing, '/', false);
    for (std::size_t i = 0; i < zip.Count(); ++i) {
        const ZipDirEntry& e = zip.Entry(i);
        auto local = DosToLocalTm(e.DosDateTime);
        const std::string date = local ? formatter.ZipDateTime(*local) : "?";
        const bool isFolder = !e.FileName.empty() && e.FileName.back() == '/';
        rows.AddMember(e.FileName, isFolder, std::to_string(e.UncompressedSize), date, {});
    }
}

} // namespace orbisk
