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
// begins, the checksum, posting bytes), the segments, the directory's
// posting lists (ascending entry numbers across the whole file, archive after
// archive in table order, as LEB128 gaps), the archives' file names, the
// archive table (88 bytes each: identity, segment offset and size, name
// offset and length, entry and message counts), the directory's sorted trigrams and the
// start of each one's posting list (8 bytes each, one more at the end). The
// checksum covers the header and every byte from the checksum's start: the
// names and tables, or everything after the header.
namespace {

using namespace index_bytes;

constexpr char kMagic[8] = {'O', 'R', 'B', 'I', 'S', 'K', 'I', 'X'};
constexpr std::uint32_t kVersion = 3;
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

// Whether a segment taken from an older file can go into a new one: its
// trigrams ascending and their posting lists readable, which the directory
// is made from. One that is not is left out, so its archive is read again.
bool Sound(const TIndexPart& part) {
    TIndexSegment segment;
    if (!segment.Open(part.Segment) || segment.EntryCount() != part.EntryCount) return false;
    std::vector<std::uint32_t> entries;
    for (std::uint32_t k = 0, t = 0, last = 0, bytes = 0; k < segment.TrigramCount(); ++k) {
        if (!segment.Trigram(k, t, bytes) || (k > 0 && t <= last) || !segment.Postings(k, entries))
            return false;
        last = t;
    }
    return true;
}

// (trigram << 32 | archive) of every segment's trigrams, in archive order,
// sorted by trigram keeping that order (two stable passes of 12 bits): the
// archives holding each trigram, ascending, and for each archive its
// trigrams in its own order.
std::vector<std::uint64_t> TrigramPairs(const std::vector<TIndexSegment>& segments) {
    std::vector<std::uint64_t> pairs, scratch;
    for (std::uint32_t a = 0; a < segments.size(); ++a)
        for (std::uint32_t k = 0, t = 0, bytes = 0; k < segments[a].TrigramCount(); ++k)
            if (segments[a].Trigram(k, t, bytes)) pairs.push_back(std::uint64_t{t} << 32 | a);
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

// The directory from the segments' own posting lists: each trigram's lists
// joined archive after archive, entry numbers moved by the entries of the
// archives before.
void Directory(const std::vector<TIndexPart>& parts, std::string& postings, std::string& keys,
               std::string& starts) {
    std::vector<TIndexSegment> segments(parts.size());
    std::vector<std::uint64_t> bases(parts.size() + 1, 0);
    for (std::size_t a = 0; a < parts.size(); ++a) {
        segments[a].Open(parts[a].Segment); // Sound
        bases[a + 1] = bases[a] + parts[a].EntryCount;
    }
    const std::vector<std::uint64_t> pairs = TrigramPairs(segments);
    std::vector<std::uint32_t> next(parts.size(), 0), local;
    std::uint64_t previous = 0;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const auto trigram = static_cast<std::uint32_t>(pairs[k] >> 32);
        const auto a = static_cast<std::uint32_t>(pairs[k]);
        const bool first = k == 0 || trigram != static_cast<std::uint32_t>(pairs[k - 1] >> 32);
        if (first) {
            Put(keys, trigram);
            Put(starts, static_cast<std::uint64_t>(postings.size()));
        }
        segments[a].Postings(next[a]++, local);
        for (std::size_t e = 0; e < local.size(); ++e) {
            const std::uint64_t entry = bases[a] + local[e];
            PutVarint(postings,
                      static_cast<std::uint32_t>(first && e == 0 ? entry : entry - previous));
            previous = entry;
        }
    }
    Put(starts, static_cast<std::uint64_t>(postings.size()));
}

// The archive table and file names of parts, whose segments follow one
// another from at; at ends past them, entries counts theirs.
void Table(const std::vector<TIndexPart>& parts, std::string& names, std::string& records,
           std::uint64_t& at, std::uint64_t& entries) {
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
        TIndexSegment segment;
        segment.Open(part.Segment); // Sound
        Put(records, part.EntryCount);
        Put(records, segment.MessageCount());
        names.append(id.FileName);
        at += part.Segment.size();
        entries += part.EntryCount;
    }
}

} // namespace

std::vector<std::string_view> IndexFilePieces(std::vector<TIndexPart> parts, bool wholeChecksum,
                                              std::string& storage) {
    parts.erase(std::remove_if(parts.begin(), parts.end(),
                               [](const TIndexPart& part) { return !part.Made && !Sound(part); }),
                parts.end());
    std::sort(parts.begin(), parts.end(), [](const TIndexPart& x, const TIndexPart& y) {
        return x.Id.FileName < y.Id.FileName;
    });
    std::string postings, names, records, keys, starts;
    Directory(parts, postings, keys, starts);
    std::uint64_t at = kHeaderSize, entries = 0;
    Table(parts, names, records, at, entries);
    const std::uint64_t postingsOff = at, namesOff = postingsOff + postings.size();
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
    PutAt(storage, 40, postingsOff);
    PutAt(storage, 48, namesOff);
    PutAt(storage, 56, archivesOff);
    PutAt(storage, 64, keysOff);
    PutAt(storage, 72, wholeChecksum ? std::uint64_t{kHeaderSize} : namesOff);
    PutAt(storage, 88, static_cast<std::uint64_t>(postings.size()));
    storage.append(postings).append(names).append(records).append(keys).append(starts);
    const std::string_view stored(storage);
    TChecksum sum;
    sum.Add(stored.substr(0, 80));
    sum.Add(stored.substr(88, 8));
    if (wholeChecksum) {
        for (const TIndexPart& part : parts)
            sum.Add(part.Segment);
        sum.Add(stored.substr(kHeaderSize, postings.size()));
    }
    sum.Add(stored.substr(kHeaderSize + postings.size()));
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
    const auto postingsOff = Get<std::uint64_t>(b, 40), namesOff = Get<std::uint64_t>(b, 48);
    const auto archivesOff = Get<std::uint64_t>(b, 56), keysOff = Get<std::uint64_t>(b, 64);
    const auto checkedFrom = Get<std::uint64_t>(b, 72);
    const auto postingBytes = Get<std::uint64_t>(b, 88);
    if (postingsOff < kHeaderSize || namesOff < postingsOff || archivesOff < namesOff ||
        keysOff < archivesOff || keysOff > b.size() || checkedFrom < kHeaderSize ||
        checkedFrom > namesOff)
        return false;
    if (namesOff - postingsOff != postingBytes ||
        keysOff - archivesOff != std::uint64_t{archiveCount_} * kRecordSize ||
        b.size() - keysOff != std::uint64_t{trigramCount_} * 12 + 8)
        return false;
    if (FileChecksum(b.substr(0, kHeaderSize), b.substr(checkedFrom)) != Get<std::uint64_t>(b, 80))
        return false;
    postings_ = b.substr(postingsOff, namesOff - postingsOff);
    names_ = b.substr(namesOff, archivesOff - namesOff);
    archives_ = b.substr(archivesOff, keysOff - archivesOff);
    keys_ = b.substr(keysOff, std::size_t{trigramCount_} * 4);
    starts_ = b.substr(keysOff + std::size_t{trigramCount_} * 4);
    // The table: names in range and strictly ascending, segments within the
    // segment region, entries adding up.
    std::uint64_t entries = 0;
    bases_.assign(1, 0);
    for (std::uint32_t a = 0; a < archiveCount_; ++a) {
        const std::string_view record = Record(a);
        const auto nameOff = Get<std::uint32_t>(record, 72),
                   nameLen = Get<std::uint32_t>(record, 76);
        const auto segOff = Get<std::uint64_t>(record, 56),
                   segSize = Get<std::uint64_t>(record, 64);
        if (nameOff > names_.size() || nameLen > names_.size() - nameOff) return false;
        if (segOff < kHeaderSize || segOff > postingsOff || segSize > postingsOff - segOff)
            return false;
        if (a > 0 && !(FileNameOf(a - 1) < FileNameOf(a))) return false;
        entries += Get<std::uint32_t>(record, 80);
        bases_.push_back(entries);
    }
    if (entries != entryCount_ || entries > UINT32_MAX) return false;
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

bool TIndexFile::HoldsState(std::uint32_t a, const TArchiveIdentity& id) const {
    if (a >= archiveCount_) return false;
    const std::string_view r = Record(a);
    return Get<std::uint64_t>(r, 0) == id.Size && Get<std::int64_t>(r, 8) == id.MtimeSec &&
           Get<std::int64_t>(r, 16) == id.MtimeNsec && Get<std::int64_t>(r, 24) == id.CtimeSec &&
           Get<std::int64_t>(r, 32) == id.CtimeNsec && Get<std::uint64_t>(r, 40) == id.Device &&
           Get<std::uint64_t>(r, 48) == id.Inode;
}

bool TIndexFile::Segment(std::uint32_t a, TIndexSegment& segment) const {
    if (a >= archiveCount_) return false;
    const std::string_view record = Record(a);
    const std::string_view bytes =
        bytes_.substr(Get<std::uint64_t>(record, 56), Get<std::uint64_t>(record, 64));
    return segment.Open(bytes) && segment.EntryCount() == Get<std::uint32_t>(record, 80) &&
           segment.MessageCount() == Get<std::uint32_t>(record, 84);
}

std::uint32_t TIndexFile::MessagesOf(std::uint32_t a) const {
    return a < archiveCount_ ? Get<std::uint32_t>(Record(a), 84) : 0;
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

std::uint64_t TIndexFile::FirstEntryOf(std::uint32_t a) const {
    return a < archiveCount_ ? bases_[a] : entryCount_;
}

bool TIndexFile::PostingList(std::uint32_t trigram, std::string_view& list) const {
    list = {};
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
    const auto begin = Get<std::uint64_t>(starts_, 8 * std::size_t{low});
    const auto end = Get<std::uint64_t>(starts_, 8 * std::size_t{low} + 8);
    if (begin >= end || end > postings_.size()) return false;
    list = postings_.substr(begin, end - begin);
    return true;
}

std::uint64_t TIndexFile::PostingBytes(std::uint32_t trigram) const {
    std::string_view list;
    return PostingList(trigram, list) ? list.size() : 0;
}

bool TIndexFile::Postings(std::uint32_t trigram, std::vector<std::uint32_t>& entries) const {
    entries.clear();
    std::string_view list;
    if (!PostingList(trigram, list)) return false;
    std::size_t pos = 0;
    std::uint64_t entry = 0;
    while (pos < list.size()) {
        std::uint32_t gap = 0;
        if (!GetVarint(list, pos, gap) || (!entries.empty() && gap == 0)) return false;
        entry += gap;
        if (entry >= entryCount_) return false;
        entries.push_back(static_cast<std::uint32_t>(entry));
    }
    return true;
}

} // namespace orbisk
