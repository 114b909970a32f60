// The index file around the segments: header, archive table and the
// folder-wide trigram directory (see SearchIndex.h).
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>

#include "core/catalog/TextFile.h"
#include "core/search/IndexBytes.h"
#include "core/search/SearchIndex.h"

namespace orbisk {

// The file: a 96-byte header (magic, version, byte-order mark, file size,
// archive, trigram and entry counts, region offsets, where the checksum
// begins, the checksum, holder count), the segments, the directory's
// holders (archive numbers, 4 bytes each), the archives' file names, the
// archive table (88 bytes each: identity, segment offset and size, name
// offset and length, entry count), the directory's sorted trigrams and the
// start of each one's holders. The checksum covers the header and every byte
// from the checksum's start: the names and tables, or everything after the
// header.
namespace {

using namespace index_bytes;

constexpr char kMagic[8] = {'O', 'R', 'B', 'I', 'S', 'K', 'I', 'X'};
constexpr std::uint32_t kVersion = 2;
constexpr std::uint32_t kByteOrder = 0x01020304;
constexpr std::size_t kHeaderSize = 96;
constexpr std::size_t kRecordSize = 88;

std::uint64_t FileChecksum(std::string_view head, std::string_view checked) {
    TChecksum sum;
    sum.Add(head.substr(0, 80));
    sum.Add(head.substr(88, 8));
    sum.Add(checked);
    return sum.Value();
}

// The directory: (trigram << 32 | archive) of every segment's trigrams, in
// archive order, sorted by trigram keeping that order (two stable passes of
// 12 bits).
std::vector<std::uint64_t> DirectoryPairs(const std::vector<TIndexPart>& parts) {
    std::vector<std::uint64_t> pairs, scratch;
    for (std::uint32_t a = 0; a < parts.size(); ++a) {
        TIndexSegment segment;
        if (!segment.Open(parts[a].Segment)) continue;
        for (std::uint32_t k = 0, t = 0, bytes = 0; k < segment.TrigramCount(); ++k)
            if (segment.Trigram(k, t, bytes)) pairs.push_back(std::uint64_t{t} << 32 | a);
    }
    scratch.resize(pairs.size());
    for (const int shift : {32, 44}) {
        std::vector<std::uint32_t> counts(4097, 0);
        for (const std::uint64_t p : pairs)
            ++counts[((p >> shift) & 0xFFF) + 1];
        for (std::size_t k = 1; k < counts.size(); ++k)
            counts[k] += counts[k - 1];
        for (const std::uint64_t p : pairs)
            scratch[counts[(p >> shift) & 0xFFF]++] = p;
        pairs.swap(scratch);
    }
    return pairs;
}

} // namespace

std::vector<std::string_view> IndexFilePieces(std::vector<TIndexPart> parts, bool wholeChecksum,
                                              std::string& storage) {
    std::sort(parts.begin(), parts.end(), [](const TIndexPart& x, const TIndexPart& y) {
        return x.Id.FileName < y.Id.FileName;
    });
    const std::vector<std::uint64_t> pairs = DirectoryPairs(parts);
    std::string holders, names, records, keys, starts;
    holders.reserve(4 * pairs.size());
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const auto trigram = static_cast<std::uint32_t>(pairs[k] >> 32);
        if (k == 0 || trigram != static_cast<std::uint32_t>(pairs[k - 1] >> 32)) {
            Put(keys, trigram);
            Put(starts, static_cast<std::uint32_t>(k));
        }
        Put(holders, static_cast<std::uint32_t>(pairs[k]));
    }
    Put(starts, static_cast<std::uint32_t>(pairs.size()));
    std::uint64_t at = kHeaderSize, entries = 0;
    for (const TIndexPart& part : parts) {
        const TArchiveIdentity& id = part.Id;
        for (const std::uint64_t v :
             {id.Size, static_cast<std::uint64_t>(id.MtimeSec),
              static_cast<std::uint64_t>(id.MtimeNsec), static_cast<std::uint64_t>(id.CtimeSec),
              static_cast<std::uint64_t>(id.CtimeNsec), id.Device, id.Inode, at,
              static_cast<std::uint64_t>(part.Segment.size())})
            Put(records, v);
        Put(records, static_cast<std::uint32_t>(names.size()));
        Put(records, static_cast<std::uint32_t>(id.FileName.size()));
        Put(records, part.EntryCount);
        Put(records, std::uint32_t{0});
        names.append(id.FileName);
        at += part.Segment.size();
        entries += part.EntryCount;
    }
    const std::uint64_t holdersOff = at, namesOff = holdersOff + holders.size();
    const std::uint64_t archivesOff = namesOff + names.size();
    const std::uint64_t keysOff = archivesOff + records.size();
    const std::uint64_t size = keysOff + keys.size() + starts.size();
    storage.assign(kHeaderSize, '\0');
    std::memcpy(storage.data(), kMagic, sizeof kMagic);
    PutAt(storage, 8, kVersion);
    PutAt(storage, 12, kByteOrder);
    PutAt(storage, 16, size);
    PutAt(storage, 24, static_cast<std::uint32_t>(parts.size()));
    PutAt(storage, 28, static_cast<std::uint32_t>(keys.size() / 4));
    PutAt(storage, 32, entries);
    PutAt(storage, 40, holdersOff);
    PutAt(storage, 48, namesOff);
    PutAt(storage, 56, archivesOff);
    PutAt(storage, 64, keysOff);
    PutAt(storage, 72, wholeChecksum ? std::uint64_t{kHeaderSize} : namesOff);
    PutAt(storage, 88, static_cast<std::uint64_t>(pairs.size()));
    storage.append(holders).append(names).append(records).append(keys).append(starts);
    const std::string_view stored(storage);
    TChecksum sum;
    sum.Add(stored.substr(0, 80));
    sum.Add(stored.substr(88, 8));
    if (wholeChecksum) {
        for (const TIndexPart& part : parts)
            sum.Add(part.Segment);
        sum.Add(stored.substr(kHeaderSize, holders.size()));
    }
    sum.Add(stored.substr(kHeaderSize + holders.size()));
    const std::uint64_t hash = sum.Value();
    PutAt(storage, 80, hash);
    std::vector<std::string_view> pieces{std::string_view(storage).substr(0, kHeaderSize)};
    for (const TIndexPart& part : parts)
        pieces.push_back(part.Segment);
    pieces.push_back(std::string_view(storage).substr(kHeaderSize));
    return pieces;
}

std::string FormatIndexFile(std::vector<TIndexPart> parts, bool wholeChecksum) {
    std::string storage, out;
    for (const std::string_view piece : IndexFilePieces(std::move(parts), wholeChecksum, storage))
        out.append(piece);
    return out;
}

TIndexFile::~TIndexFile() {
    Close();
}

void TIndexFile::Close() {
    if (map_ != nullptr) ::munmap(map_, mapSize_);
    map_ = nullptr;
    mapSize_ = 0;
    read_.clear();
    bytes_ = {};
    open_ = false;
    archiveCount_ = trigramCount_ = 0;
    entryCount_ = 0;
}

bool TIndexFile::Open(const std::string& path) {
    Close();
    TUniqueFd fd;
    std::uint64_t size = 0;
    if (!OpenRegularFile(path, fd, &size) || size < kHeaderSize) return false;
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd.Get(), 0);
    if (map == MAP_FAILED) return false;
    map_ = map;
    mapSize_ = size;
    bytes_ = std::string_view(static_cast<const char*>(map), size);
    if (Parse()) return true;
    Close();
    return false;
}

bool TIndexFile::Read(const std::string& path) {
    Close();
    if (!ReadWholeFile(path, read_)) return false;
    bytes_ = read_;
    if (Parse()) return true;
    Close();
    return false;
}

bool TIndexFile::OpenBytes(std::string_view bytes) {
    Close();
    bytes_ = bytes;
    if (Parse()) return true;
    Close();
    return false;
}

bool TIndexFile::Parse() {
    const std::string_view b = bytes_;
    if (b.size() < kHeaderSize || std::memcmp(b.data(), kMagic, sizeof kMagic) != 0 ||
        Get<std::uint32_t>(b, 8) != kVersion || Get<std::uint32_t>(b, 12) != kByteOrder ||
        Get<std::uint64_t>(b, 16) != b.size())
        return false;
    archiveCount_ = Get<std::uint32_t>(b, 24);
    trigramCount_ = Get<std::uint32_t>(b, 28);
    entryCount_ = Get<std::uint64_t>(b, 32);
    const auto holdersOff = Get<std::uint64_t>(b, 40), namesOff = Get<std::uint64_t>(b, 48);
    const auto archivesOff = Get<std::uint64_t>(b, 56), keysOff = Get<std::uint64_t>(b, 64);
    const auto checkedFrom = Get<std::uint64_t>(b, 72);
    const auto holderCount = Get<std::uint64_t>(b, 88);
    if (holdersOff < kHeaderSize || namesOff < holdersOff || archivesOff < namesOff ||
        keysOff < archivesOff || keysOff > b.size() || checkedFrom < kHeaderSize ||
        checkedFrom > namesOff)
        return false;
    if (namesOff - holdersOff != holderCount * 4 ||
        keysOff - archivesOff != std::uint64_t{archiveCount_} * kRecordSize ||
        b.size() - keysOff != std::uint64_t{trigramCount_} * 8 + 4)
        return false;
    if (FileChecksum(b.substr(0, kHeaderSize), b.substr(checkedFrom)) != Get<std::uint64_t>(b, 80))
        return false;
    holders_ = b.substr(holdersOff, namesOff - holdersOff);
    names_ = b.substr(namesOff, archivesOff - namesOff);
    archives_ = b.substr(archivesOff, keysOff - archivesOff);
    keys_ = b.substr(keysOff, std::size_t{trigramCount_} * 4);
    starts_ = b.substr(keysOff + std::size_t{trigramCount_} * 4);
    // The table: names in range and strictly ascending, segments within the
    // segment region, entries adding up.
    std::uint64_t entries = 0;
    for (std::uint32_t a = 0; a < archiveCount_; ++a) {
        const std::string_view record = Record(a);
        const auto nameOff = Get<std::uint32_t>(record, 72),
                   nameLen = Get<std::uint32_t>(record, 76);
        const auto segOff = Get<std::uint64_t>(record, 56),
                   segSize = Get<std::uint64_t>(record, 64);
        if (nameOff > names_.size() || nameLen > names_.size() - nameOff) return false;
        if (segOff < kHeaderSize || segOff > holdersOff || segSize > holdersOff - segOff)
            return false;
        if (a > 0 && !(FileNameOf(a - 1) < FileNameOf(a))) return false;
        entries += Get<std::uint32_t>(record, 80);
    }
    if (entries != entryCount_) return false;
    open_ = true;
    return true;
}

std::string_view TIndexFile::Record(std::uint32_t a) const {
    return archives_.substr(std::size_t{a} * kRecordSize, kRecordSize);
}

std::string_view TIndexFile::FileNameOf(std::uint32_t a) const {
    const std::string_view record = Record(a);
    return names_.substr(Get<std::uint32_t>(record, 72), Get<std::uint32_t>(record, 76));
}

bool TIndexFile::Archive(std::uint32_t a, TArchiveIdentity& id) const {
    if (a >= archiveCount_) return false;
    const std::string_view record = Record(a);
    id.FileName.assign(FileNameOf(a));
    id.Size = Get<std::uint64_t>(record, 0);
    id.MtimeSec = Get<std::int64_t>(record, 8);
    id.MtimeNsec = Get<std::int64_t>(record, 16);
    id.CtimeSec = Get<std::int64_t>(record, 24);
    id.CtimeNsec = Get<std::int64_t>(record, 32);
    id.Device = Get<std::uint64_t>(record, 40);
    id.Inode = Get<std::uint64_t>(record, 48);
    return true;
}

bool TIndexFile::Segment(std::uint32_t a, TIndexSegment& segment) const {
    if (a >= archiveCount_) return false;
    const std::string_view record = Record(a);
    const std::string_view bytes =
        bytes_.substr(Get<std::uint64_t>(record, 56), Get<std::uint64_t>(record, 64));
    return segment.Open(bytes) && segment.EntryCount() == Get<std::uint32_t>(record, 80);
}

std::uint32_t TIndexFile::EntriesOf(std::uint32_t a) const {
    return a < archiveCount_ ? Get<std::uint32_t>(Record(a), 80) : 0;
}

std::int64_t TIndexFile::Find(std::string_view fileName) const {
    std::uint32_t low = 0, high = archiveCount_;
    while (low < high) {
        const std::uint32_t mid = low + (high - low) / 2;
        if (FileNameOf(mid) < fileName)
            low = mid + 1;
        else
            high = mid;
    }
    return low < archiveCount_ && FileNameOf(low) == fileName ? low : -1;
}

bool TIndexFile::Holders(std::uint32_t trigram, std::vector<std::uint32_t>& archives) const {
    archives.clear();
    std::uint32_t low = 0, high = trigramCount_;
    while (low < high) {
        const std::uint32_t mid = low + (high - low) / 2;
        if (Get<std::uint32_t>(keys_, 4 * std::size_t{mid}) < trigram)
            low = mid + 1;
        else
            high = mid;
    }
    if (low == trigramCount_ || Get<std::uint32_t>(keys_, 4 * std::size_t{low}) != trigram)
        return true;
    const auto begin = Get<std::uint32_t>(starts_, 4 * std::size_t{low});
    const auto end = Get<std::uint32_t>(starts_, 4 * std::size_t{low} + 4);
    if (begin >= end || end > holders_.size() / 4) return false;
    for (std::uint32_t k = begin; k < end; ++k) {
        const auto a = Get<std::uint32_t>(holders_, 4 * std::size_t{k});
        if (a >= archiveCount_ || (!archives.empty() && a <= archives.back())) return false;
        archives.push_back(a);
    }
    return true;
}

} // namespace orbisk
