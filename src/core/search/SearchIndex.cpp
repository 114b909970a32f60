#include "core/search/SearchIndex.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>

#include "core/catalog/ArchiveFile.h"
#include "core/catalog/TextFile.h"
#include "core/search/IndexBytes.h"

namespace orbisk {

// A segment: a 64-byte header (magic, folder, entry, trigram and message
// counts, nine region offsets, the checksum of every other byte), then its
// regions: folders (path offset and length into the paths, first entry,
// entry count), entries (line offset into the text, name length), sorted
// trigrams, their posting offsets (one more at the end; an empty list
// stands for every entry) and the postings, the messages, the folder paths,
// and the text: lines written out here, then the archive's own lines.
namespace {

using namespace index_bytes;

constexpr std::uint32_t kSegmentMagic = 0x33474553; // "SEG3"
constexpr std::size_t kSegmentHeader = 64;
constexpr std::size_t kChecksumAt = 56;
enum Region { kDirs, kEntries, kTriKeys, kTriOffs, kPostings, kMessages, kPaths, kText, kEnd };

// A trigram held by more than half of an archive's blocks (and by more than
// a few) filters nothing worth its list: it is kept without one.
bool EveryBlock(std::size_t holders, std::size_t blocks) {
    return holders > 8 && holders * 2 > blocks;
}

unsigned char UpperByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 32) : byte;
}

// UpperByte of every byte value, for the loops that run once per byte of
// every name.
struct TUpperTable {
    std::uint32_t Of[256];
    TUpperTable() {
        for (int b = 0; b < 256; ++b)
            Of[b] = UpperByte(static_cast<char>(b));
    }
};
const TUpperTable kUpper;

// A buffer of pairs kept per thread and grown, never cleared: indexing
// archive after archive neither allocates nor fills memory again.
struct TPairBuffer {
    std::unique_ptr<std::uint64_t[]> Data;
    std::size_t Capacity = 0;
    std::uint64_t* Reserve(std::size_t count) {
        if (count > Capacity) {
            Capacity = std::max(count, 2 * Capacity);
            Data.reset(new std::uint64_t[Capacity]);
        }
        return Data.get();
    }
};

// Sorts count (trigram << 32 | block) pairs by trigram, keeping the order of
// the blocks of one trigram: two stable passes of 12 bits over the 24 bits.
// The sorted pairs end in pairs (scratch is used in between).
void SortByTrigram(std::uint64_t* pairs, std::uint64_t* scratch, std::size_t count) {
    std::uint64_t* from = pairs;
    std::uint64_t* to = scratch;
    for (const int shift : {32, 44}) {
        std::uint32_t counts[4097] = {};
        for (std::size_t k = 0; k < count; ++k)
            ++counts[((from[k] >> shift) & 0xFFF) + 1];
        for (std::size_t k = 1; k < 4097; ++k)
            counts[k] += counts[k - 1];
        for (std::size_t k = 0; k < count; ++k)
            to[counts[(from[k] >> shift) & 0xFFF]++] = from[k];
        std::swap(from, to);
    }
}

// The (trigram << 32 | block) pairs of names in block order into pairs
// (room for one per byte of the names); returns how many. Neighbouring names
// share most of their trigrams (an extension, a common start), so a small
// table of the pairs seen last drops most repeats within a block before
// they are sorted; the few it misses are dropped after. The loop has no
// branch on what it finds: a repeat is written and not counted.
std::size_t TrigramPairs(const std::vector<std::string_view>& names, std::uint64_t* pairs) {
    constexpr int kSeenBits = 12;
    thread_local std::uint64_t seenTable[std::size_t{1} << kSeenBits];
    std::uint64_t* const seen = seenTable;
    std::fill(seen, seen + (std::size_t{1} << kSeenBits), ~std::uint64_t{0});
    const std::uint32_t* const upper = kUpper.Of;
    std::size_t count = 0;
    for (std::uint32_t e = 0; e < names.size(); ++e) {
        const std::string_view name = names[e];
        if (name.size() < 3) continue;
        const auto* bytes = reinterpret_cast<const unsigned char*>(name.data());
        const std::uint64_t block = e / kIndexBlockEntries;
        std::uint32_t t = upper[bytes[0]] << 8 | upper[bytes[1]] << 16;
        for (std::size_t k = 2; k < name.size(); ++k) {
            t = t >> 8 | upper[bytes[k]] << 16;
            const std::uint64_t pair = std::uint64_t{t} << 32 | block;
            std::uint64_t& slot = seen[(t * 0x9E3779B1u) >> (32 - kSeenBits)];
            pairs[count] = pair;
            count += slot != pair;
            slot = pair;
        }
    }
    return count;
}

// The trigram regions of a segment from the names of its entries.
void TrigramRegions(const std::vector<std::string_view>& names, std::string& keys,
                    std::string& offsets, std::string& postings) {
    thread_local TPairBuffer pairBuffer, scratchBuffer;
    std::size_t bytes = 0;
    for (const std::string_view name : names)
        bytes += name.size();
    std::uint64_t* const pairs = pairBuffer.Reserve(bytes);
    const std::size_t count = TrigramPairs(names, pairs);
    SortByTrigram(pairs, scratchBuffer.Reserve(bytes), count);
    const std::size_t blocks = (names.size() + kIndexBlockEntries - 1) / kIndexBlockEntries;
    std::size_t k = 0;
    while (k < count) {
        const std::uint64_t trigram = pairs[k] >> 32;
        std::size_t end = k + 1, holders = 1;
        for (; end < count && pairs[end] >> 32 == trigram; ++end)
            holders += pairs[end] != pairs[end - 1];
        Put(keys, static_cast<std::uint32_t>(trigram));
        Put(offsets, static_cast<std::uint32_t>(postings.size()));
        if (!EveryBlock(holders, blocks)) {
            std::uint32_t previous = 0;
            for (std::size_t j = k; j < end; ++j) {
                const auto block = static_cast<std::uint32_t>(pairs[j]);
                if (j > k && block == previous) continue; // a repeat the table missed
                PutVarint(postings, j == k ? block : block - previous);
                previous = block;
            }
        }
        k = end;
    }
    Put(offsets, static_cast<std::uint32_t>(postings.size()));
}

// Where an entry's line is while a segment is made: at an offset of the
// lines written out, or in the archive's own text.
struct TLineAt {
    bool Own;
    std::size_t At; // offset into the lines written out, or from the text
    std::uint32_t NameLength;
};

std::uint64_t SegmentChecksum(std::string_view front, std::string_view text) {
    TChecksum sum;
    sum.Add(front.substr(0, kChecksumAt));
    sum.Add(front.substr(kSegmentHeader));
    sum.Add(text);
    return sum.Value();
}

} // namespace

void AppendTrigrams(std::string_view text, std::vector<std::uint32_t>& out) {
    for (std::size_t k = 0; k + 3 <= text.size(); ++k)
        out.push_back(UpperByte(text[k]) | static_cast<std::uint32_t>(UpperByte(text[k + 1])) << 8 |
                      static_cast<std::uint32_t>(UpperByte(text[k + 2])) << 16);
}

bool StatIdentity(int dirFd, const std::string& fileName, TArchiveIdentity& id) {
    struct stat st {};
    if (::fstatat(dirFd, fileName.c_str(), &st, 0) != 0 || !S_ISREG(st.st_mode)) return false;
    id.FileName = fileName;
    id.Size = static_cast<std::uint64_t>(st.st_size);
    id.MtimeSec = st.st_mtim.tv_sec;
    id.MtimeNsec = st.st_mtim.tv_nsec;
    id.CtimeSec = st.st_ctim.tv_sec;
    id.CtimeNsec = st.st_ctim.tv_nsec;
    id.Device = st.st_dev;
    id.Inode = st.st_ino;
    return true;
}

void BuildIndexSegment(const TArch& arch, const std::vector<THostMessage>& messages,
                       TSegmentBytes& out) {
    // Scratch buffers kept per thread, so indexing archive after archive
    // reuses their memory.
    thread_local std::string dirs, entries, keys, triOffs, postings, messageBytes, paths, own;
    thread_local std::vector<std::string_view> names;
    thread_local std::vector<TLineAt> lines;
    for (std::string* buffer :
         {&dirs, &entries, &keys, &triOffs, &postings, &messageBytes, &paths, &own})
        buffer->clear();
    names.clear();
    lines.clear();
    // The lines of entries read from the archive's file are the bytes from
    // the name's start to the description's end, followed by a CR or the
    // end of the text; the span from the first to the last is taken whole.
    const std::string_view text = arch.Text ? std::string_view(*arch.Text) : std::string_view();
    const char* const textEnd = text.data() + text.size();
    const char *low = textEnd, *high = text.data();
    std::uint32_t dirCount = 0;
    for (std::int32_t d = 1; d <= arch.DirCount; ++d, ++dirCount) {
        const TDir& dir = arch.Dirs[static_cast<std::size_t>(d)];
        Put(dirs, static_cast<std::uint32_t>(paths.size()));
        Put(dirs, static_cast<std::uint32_t>(dir.Path.size()));
        Put(dirs, static_cast<std::uint32_t>(names.size()));
        paths.append(dir.Path);
        const std::size_t first = names.size();
        const std::int32_t last = std::min(dir.First + dir.Count - 1, arch.RecCount);
        for (std::int32_t r = std::max(dir.First, 1); r <= last; ++r) {
            const TRec& rec = arch.Recs[static_cast<std::size_t>(r)];
            if (rec.Present == 0) continue;
            const char* begin = rec.Name.View().data();
            const char* end = rec.Description.View().data() + rec.Description.size();
            const auto nameLength = static_cast<std::uint32_t>(rec.Name.size());
            names.push_back(rec.Name.View());
            const auto from = reinterpret_cast<std::uintptr_t>(begin),
                       to = reinterpret_cast<std::uintptr_t>(end);
            if (!text.empty() && from >= reinterpret_cast<std::uintptr_t>(text.data()) &&
                from <= to && to <= reinterpret_cast<std::uintptr_t>(textEnd) &&
                (end == textEnd || *end == '\r')) {
                lines.push_back({false, static_cast<std::size_t>(begin - text.data()), nameLength});
                low = std::min(low, begin);
                high = std::max(high, end);
                continue;
            }
            lines.push_back({true, own.size(), nameLength});
            for (const TStr* field : {&rec.Name, &rec.Size, &rec.Date, &rec.Attr, &rec.Note})
                own.append(field->View()).push_back('\t');
            own.append(rec.Description.View()).push_back('\r');
        }
        Put(dirs, static_cast<std::uint32_t>(names.size() - first));
    }
    const std::string_view span = low < high
                                      ? text.substr(static_cast<std::size_t>(low - text.data()),
                                                    static_cast<std::size_t>(high - low))
                                      : std::string_view();
    const std::size_t spanBase = low < high ? static_cast<std::size_t>(low - text.data()) : 0;
    for (const TLineAt& line : lines) {
        Put(entries,
            static_cast<std::uint32_t>(line.Own ? line.At : own.size() + line.At - spanBase));
        Put(entries, line.NameLength);
    }
    TrigramRegions(names, keys, triOffs, postings);
    for (const THostMessage& message : messages) {
        messageBytes.push_back(message.Warning ? 1 : 0);
        PutText(messageBytes, message.Text);
    }
    const std::string* const regions[] = {&dirs,     &entries,      &keys,  &triOffs,
                                          &postings, &messageBytes, &paths, &own};
    std::string& front = out.Front;
    front.clear();
    std::size_t total = kSegmentHeader;
    for (const std::string* region : regions)
        total += region->size();
    front.reserve(total);
    Put(front, kSegmentMagic);
    for (const std::size_t count :
         {std::size_t{dirCount}, names.size(), keys.size() / 4, messages.size()})
        Put(front, static_cast<std::uint32_t>(count));
    std::uint64_t at = kSegmentHeader;
    for (const std::string* region : regions) {
        Put(front, static_cast<std::uint32_t>(at));
        at += region->size();
    }
    at += span.size();
    Put(front, static_cast<std::uint32_t>(at));
    Put(front, std::uint64_t{0});
    for (const std::string* region : regions)
        front.append(*region);
    out.Text = span;
    if (at > UINT32_MAX) {
        // Offsets are 32 bits: an archive this large is not indexed, and a
        // search reads its file.
        front.clear();
        out.Text = {};
        return;
    }
    PutAt(front, kChecksumAt, SegmentChecksum(front, span));
}

std::string BuildIndexSegment(const TArch& arch, const std::vector<THostMessage>& messages) {
    TSegmentBytes bytes;
    BuildIndexSegment(arch, messages, bytes);
    return bytes.Front.append(bytes.Text);
}

namespace {

// The header of a segment of size bytes read from front: counts and region
// offsets, in order and with the fixed-width regions the sizes their counts
// give.
bool ReadHeader(std::string_view front, std::uint64_t size, std::uint32_t (&counts)[4],
                std::uint32_t (&regions)[9]) {
    if (front.size() < kSegmentHeader || Get<std::uint32_t>(front, 0) != kSegmentMagic)
        return false;
    for (std::size_t k = 0; k < 4; ++k)
        counts[k] = Get<std::uint32_t>(front, 4 + 4 * k);
    for (std::size_t k = 0; k <= kEnd; ++k)
        regions[k] = Get<std::uint32_t>(front, 20 + 4 * k);
    if (regions[kDirs] != kSegmentHeader || regions[kEnd] != size) return false;
    for (int k = 0; k < kEnd; ++k)
        if (regions[k] > regions[k + 1]) return false;
    auto sized = [&](int k, std::uint64_t items, std::uint64_t width) {
        return regions[k + 1] - regions[k] == items * width;
    };
    return sized(kDirs, counts[0], 16) && sized(kEntries, counts[1], 8) &&
           sized(kTriKeys, counts[2], 4) && sized(kTriOffs, counts[2] + std::uint64_t{1}, 4);
}

} // namespace

bool ReadSegmentHead(std::string_view front, std::uint64_t size, TSegmentHead& head) {
    std::uint32_t counts[4], regions[9];
    if (!ReadHeader(front, size, counts, regions) || regions[kTriOffs] > front.size()) return false;
    head.Entries = counts[1];
    head.Messages = counts[3];
    head.Trigrams = front.substr(regions[kTriKeys], regions[kTriOffs] - regions[kTriKeys]);
    return true;
}

bool TIndexSegment::Open(std::string_view bytes) {
    bytes_ = bytes;
    std::uint32_t counts[4];
    if (!ReadHeader(bytes, bytes.size(), counts, regions_)) return false;
    dirCount_ = counts[0];
    entryCount_ = counts[1];
    trigramCount_ = counts[2];
    messageCount_ = counts[3];
    return true;
}

bool TIndexSegment::Verify() const {
    return SegmentChecksum(bytes_, {}) == Get<std::uint64_t>(bytes_, kChecksumAt);
}

std::string_view TIndexSegment::Region(int k) const {
    return bytes_.substr(regions_[k], regions_[k + 1] - regions_[k]);
}

bool TIndexSegment::Dir(std::uint32_t d, std::string_view& path, std::uint32_t& first,
                        std::uint32_t& count) const {
    if (d >= dirCount_) return false;
    const std::string_view dirs = Region(kDirs), paths = Region(kPaths);
    const auto offset = Get<std::uint32_t>(dirs, 16 * std::size_t{d});
    const auto length = Get<std::uint32_t>(dirs, 16 * std::size_t{d} + 4);
    first = Get<std::uint32_t>(dirs, 16 * std::size_t{d} + 8);
    count = Get<std::uint32_t>(dirs, 16 * std::size_t{d} + 12);
    if (offset > paths.size() || length > paths.size() - offset) return false;
    if (first > entryCount_ || count > entryCount_ - first) return false;
    path = paths.substr(offset, length);
    return true;
}

bool TIndexSegment::DirOf(std::uint32_t entry, std::uint32_t& d) const {
    const std::string_view dirs = Region(kDirs);
    auto firstOf = [&](std::uint32_t k) {
        return Get<std::uint32_t>(dirs, 16 * std::size_t{k} + 8);
    };
    auto holds = [&](std::uint32_t k) {
        const auto count = Get<std::uint32_t>(dirs, 16 * std::size_t{k} + 12);
        return firstOf(k) <= entry && entry - firstOf(k) < count;
    };
    if (d < dirCount_ && holds(d)) return true;
    // The last folder that begins at or before entry holds it: the folders'
    // entries follow one another.
    std::uint32_t low = 0, high = dirCount_;
    while (low < high) {
        const std::uint32_t mid = low + (high - low) / 2;
        if (firstOf(mid) <= entry)
            low = mid + 1;
        else
            high = mid;
    }
    if (low == 0 || !holds(low - 1)) return false;
    d = low - 1;
    return true;
}

bool TIndexSegment::Name(std::uint32_t entry, std::string_view& name) const {
    if (entry >= entryCount_) return false;
    const std::string_view entries = Region(kEntries), text = Region(kText);
    const auto at = Get<std::uint32_t>(entries, 8 * std::size_t{entry});
    const auto length = Get<std::uint32_t>(entries, 8 * std::size_t{entry} + 4);
    if (at > text.size() || length >= text.size() - at || text[at + length] != '\t') return false;
    name = text.substr(at, length);
    return true;
}

bool TIndexSegment::Fields(std::uint32_t entry, TRec& rec) const {
    std::string_view name;
    if (!Name(entry, name)) return false;
    const std::string_view text = Region(kText);
    const std::size_t at = static_cast<std::size_t>(name.data() - text.data());
    std::string_view line = text.substr(at);
    line = line.substr(0, line.find('\r'));
    return SplitEntryLine(line, rec) && rec.Name.size() == name.size();
}

bool TIndexSegment::Trigram(std::uint32_t k, std::uint32_t& trigram) const {
    if (k >= trigramCount_) return false;
    trigram = Get<std::uint32_t>(Region(kTriKeys), 4 * std::size_t{k});
    return true;
}

std::int64_t TIndexSegment::FindTrigram(std::uint32_t trigram) const {
    const std::string_view keys = Region(kTriKeys);
    std::uint32_t low = 0, high = trigramCount_;
    while (low < high) {
        const std::uint32_t mid = low + (high - low) / 2;
        if (Get<std::uint32_t>(keys, 4 * std::size_t{mid}) < trigram)
            low = mid + 1;
        else
            high = mid;
    }
    if (low < trigramCount_ && Get<std::uint32_t>(keys, 4 * std::size_t{low}) == trigram)
        return low;
    return -1;
}

bool TIndexSegment::PostingList(std::uint32_t k, std::string_view& list) const {
    if (k >= trigramCount_) return false;
    const std::string_view offsets = Region(kTriOffs);
    const auto begin = Get<std::uint32_t>(offsets, 4 * std::size_t{k});
    const auto end = Get<std::uint32_t>(offsets, 4 * std::size_t{k} + 4);
    const std::string_view postings = Region(kPostings);
    if (begin > end || end > postings.size()) return false;
    list = postings.substr(begin, end - begin);
    return true;
}

std::uint32_t TIndexSegment::PostingBytes(std::uint32_t k) const {
    std::string_view list;
    return PostingList(k, list) ? static_cast<std::uint32_t>(list.size()) : 0;
}

bool TIndexSegment::Postings(std::uint32_t k, std::vector<std::uint32_t>& blocks,
                             bool& everyBlock) const {
    blocks.clear();
    std::string_view list;
    if (!PostingList(k, list)) return false;
    everyBlock = list.empty();
    const std::uint64_t count =
        (std::uint64_t{entryCount_} + kIndexBlockEntries - 1) / kIndexBlockEntries;
    std::size_t pos = 0;
    std::uint64_t block = 0;
    while (pos < list.size()) {
        std::uint32_t gap = 0;
        if (!GetVarint(list, pos, gap)) return false;
        if (!blocks.empty() && gap == 0) return false;
        block += gap;
        if (block >= count) return false;
        blocks.push_back(static_cast<std::uint32_t>(block));
    }
    return true;
}

bool TIndexSegment::Messages(std::vector<THostMessage>& messages) const {
    messages.clear();
    const std::string_view bytes = Region(kMessages);
    std::size_t pos = 0;
    for (std::uint32_t k = 0; k < messageCount_; ++k) {
        if (pos >= bytes.size()) return false;
        THostMessage message;
        message.Warning = bytes[pos++] != 0;
        std::string_view text;
        if (!GetText(bytes, pos, text)) return false;
        message.Text.assign(text);
        messages.push_back(std::move(message));
    }
    return pos == bytes.size();
}

} // namespace orbisk
