#include "core/search/SearchIndex.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include "core/catalog/TextFile.h"
#include "core/search/IndexBytes.h"

namespace orbisk {

// A segment: a 64-byte header (magic, folder, entry, trigram and message
// counts, ten region offsets), then its regions: folders (path offset and
// length into the fields, first entry, entry count), name offsets and names,
// field offsets and fields (size, date, attributes, note, description, each
// length-prefixed; folder paths follow them), sorted trigrams with their
// posting offsets and the postings, and the messages.
namespace {

using namespace index_bytes;

constexpr std::uint32_t kSegmentMagic = 0x32474553; // "SEG2"
constexpr std::size_t kSegmentHeader = 64;
enum Region {
    kDirs,
    kNameOffs,
    kNames,
    kFieldOffs,
    kFields,
    kTriKeys,
    kTriOffs,
    kPostings,
    kMessages,
    kEnd
};

unsigned char UpperByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 32) : byte;
}

// Sorts (trigram << 32 | entry) pairs by trigram, keeping the order of the
// entries of one trigram: two stable passes of 12 bits over the 24 bits.
void SortByTrigram(std::vector<std::uint64_t>& pairs, std::vector<std::uint64_t>& scratch) {
    scratch.resize(pairs.size());
    for (const int shift : {32, 44}) {
        std::uint32_t counts[4097] = {};
        for (const std::uint64_t p : pairs)
            ++counts[((p >> shift) & 0xFFF) + 1];
        for (std::size_t k = 1; k < 4097; ++k)
            counts[k] += counts[k - 1];
        for (const std::uint64_t p : pairs)
            scratch[counts[(p >> shift) & 0xFFF]++] = p;
        pairs.swap(scratch);
    }
}

// The trigram regions of a segment from the names of its entries.
void TrigramRegions(const std::vector<std::string_view>& names, std::string& keys,
                    std::string& offsets, std::string& postings) {
    thread_local std::vector<std::uint64_t> pairs, scratch;
    thread_local std::vector<std::uint32_t> trigrams;
    pairs.clear();
    for (std::uint32_t e = 0; e < names.size(); ++e) {
        trigrams.clear();
        AppendTrigrams(names[e], trigrams);
        for (const std::uint32_t t : trigrams)
            pairs.push_back(static_cast<std::uint64_t>(t) << 32 | e);
    }
    SortByTrigram(pairs, scratch);
    std::uint32_t current = 0, previous = 0;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        if (k > 0 && pairs[k] == pairs[k - 1]) continue; // twice in one name
        const auto trigram = static_cast<std::uint32_t>(pairs[k] >> 32);
        const auto entry = static_cast<std::uint32_t>(pairs[k]);
        if (k == 0 || trigram != current) {
            Put(keys, trigram);
            Put(offsets, static_cast<std::uint32_t>(postings.size()));
            current = trigram;
            PutVarint(postings, entry);
        } else {
            PutVarint(postings, entry - previous);
        }
        previous = entry;
    }
    Put(offsets, static_cast<std::uint32_t>(postings.size()));
}

// A segment from its counts and its regions, in region order.
std::string AssembleSegment(const std::uint32_t (&counts)[4],
                            const std::string* const (&regions)[9]) {
    std::string out;
    std::size_t total = kSegmentHeader;
    for (const std::string* region : regions)
        total += region->size();
    out.reserve(total);
    Put(out, kSegmentMagic);
    for (const std::uint32_t count : counts)
        Put(out, count);
    std::size_t at = kSegmentHeader;
    for (const std::string* region : regions) {
        Put(out, static_cast<std::uint32_t>(at));
        at += region->size();
    }
    Put(out, static_cast<std::uint32_t>(at));
    Put(out, std::uint32_t{0});
    for (const std::string* region : regions)
        out.append(*region);
    return out;
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

std::string BuildIndexSegment(const TArch& arch, const std::vector<THostMessage>& messages) {
    // Scratch buffers kept per thread, so indexing archive after archive
    // reuses their memory.
    thread_local std::string dirs, nameOffs, names, fieldOffs, fields, keys, triOffs, postings,
        messageBytes;
    thread_local std::vector<std::string_view> entryNames;
    thread_local std::vector<std::pair<std::size_t, std::size_t>> ranges;
    for (std::string* buffer :
         {&dirs, &nameOffs, &names, &fieldOffs, &fields, &keys, &triOffs, &postings, &messageBytes})
        buffer->clear();
    entryNames.clear();
    ranges.clear();
    std::uint32_t dirCount = 0;
    for (std::int32_t d = 1; d <= arch.DirCount; ++d) {
        const TDir& dir = arch.Dirs[static_cast<std::size_t>(d)];
        const std::size_t first = entryNames.size();
        const std::int32_t last = std::min(dir.First + dir.Count - 1, arch.RecCount);
        for (std::int32_t r = std::max(dir.First, 1); r <= last; ++r) {
            const TRec& rec = arch.Recs[static_cast<std::size_t>(r)];
            if (rec.Present == 0) continue;
            Put(nameOffs, static_cast<std::uint32_t>(names.size()));
            names.append(rec.Name.View());
            entryNames.push_back(rec.Name.View());
            Put(fieldOffs, static_cast<std::uint32_t>(fields.size()));
            for (const TStr* field : {&rec.Size, &rec.Date, &rec.Attr, &rec.Note, &rec.Description})
                PutText(fields, field->View());
        }
        ranges.emplace_back(first, entryNames.size() - first);
        ++dirCount;
    }
    Put(nameOffs, static_cast<std::uint32_t>(names.size()));
    Put(fieldOffs, static_cast<std::uint32_t>(fields.size()));
    for (std::uint32_t d = 0; d < dirCount; ++d) {
        const std::string& path = arch.Dirs[d + 1].Path;
        Put(dirs, static_cast<std::uint32_t>(fields.size()));
        Put(dirs, static_cast<std::uint32_t>(path.size()));
        Put(dirs, static_cast<std::uint32_t>(ranges[d].first));
        Put(dirs, static_cast<std::uint32_t>(ranges[d].second));
        fields.append(path);
    }
    TrigramRegions(entryNames, keys, triOffs, postings);
    for (const THostMessage& message : messages) {
        messageBytes.push_back(message.Warning ? 1 : 0);
        PutText(messageBytes, message.Text);
    }
    const std::string* const regions[] = {&dirs, &nameOffs, &names,    &fieldOffs,   &fields,
                                          &keys, &triOffs,  &postings, &messageBytes};
    const std::uint32_t counts[] = {dirCount, static_cast<std::uint32_t>(entryNames.size()),
                                    static_cast<std::uint32_t>(keys.size() / 4),
                                    static_cast<std::uint32_t>(messages.size())};
    return AssembleSegment(counts, regions);
}

bool TIndexSegment::Open(std::string_view bytes) {
    bytes_ = bytes;
    if (bytes.size() < kSegmentHeader || Get<std::uint32_t>(bytes, 0) != kSegmentMagic)
        return false;
    dirCount_ = Get<std::uint32_t>(bytes, 4);
    entryCount_ = Get<std::uint32_t>(bytes, 8);
    trigramCount_ = Get<std::uint32_t>(bytes, 12);
    messageCount_ = Get<std::uint32_t>(bytes, 16);
    for (int k = 0; k <= kEnd; ++k)
        regions_[k] = Get<std::uint32_t>(bytes, 20 + 4 * static_cast<std::size_t>(k));
    if (regions_[kDirs] != kSegmentHeader || regions_[kEnd] != bytes.size()) return false;
    for (int k = 0; k < kEnd; ++k)
        if (regions_[k] > regions_[k + 1]) return false;
    auto sized = [&](int k, std::uint64_t items, std::uint64_t width) {
        return regions_[k + 1] - regions_[k] == items * width;
    };
    return sized(kDirs, dirCount_, 16) && sized(kNameOffs, entryCount_ + std::uint64_t{1}, 4) &&
           sized(kFieldOffs, entryCount_ + std::uint64_t{1}, 4) &&
           sized(kTriKeys, trigramCount_, 4) &&
           sized(kTriOffs, trigramCount_ + std::uint64_t{1}, 4);
}

std::string_view TIndexSegment::Region(int k) const {
    return bytes_.substr(regions_[k], regions_[k + 1] - regions_[k]);
}

bool TIndexSegment::Dir(std::uint32_t d, std::string_view& path, std::uint32_t& first,
                        std::uint32_t& count) const {
    if (d >= dirCount_) return false;
    const std::string_view dirs = Region(kDirs), fields = Region(kFields);
    const auto offset = Get<std::uint32_t>(dirs, 16 * std::size_t{d});
    const auto length = Get<std::uint32_t>(dirs, 16 * std::size_t{d} + 4);
    first = Get<std::uint32_t>(dirs, 16 * std::size_t{d} + 8);
    count = Get<std::uint32_t>(dirs, 16 * std::size_t{d} + 12);
    if (offset > fields.size() || length > fields.size() - offset) return false;
    if (first > entryCount_ || count > entryCount_ - first) return false;
    path = fields.substr(offset, length);
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
    const std::string_view offsets = Region(kNameOffs), names = Region(kNames);
    const auto begin = Get<std::uint32_t>(offsets, 4 * std::size_t{entry});
    const auto end = Get<std::uint32_t>(offsets, 4 * std::size_t{entry} + 4);
    if (begin > end || end > names.size()) return false;
    name = names.substr(begin, end - begin);
    return true;
}

bool TIndexSegment::Fields(std::uint32_t entry, TRec& rec) const {
    std::string_view name;
    if (!Name(entry, name)) return false;
    const std::string_view offsets = Region(kFieldOffs), fields = Region(kFields);
    std::size_t pos = Get<std::uint32_t>(offsets, 4 * std::size_t{entry});
    std::string_view texts[5];
    for (std::string_view& text : texts)
        if (!GetText(fields, pos, text)) return false;
    rec.Name = TStr::Borrow(name);
    rec.Size = TStr::Borrow(texts[0]);
    rec.Date = TStr::Borrow(texts[1]);
    rec.Attr = TStr::Borrow(texts[2]);
    rec.Note = TStr::Borrow(texts[3]);
    rec.Description = TStr::Borrow(texts[4]);
    rec.Present = 1;
    return true;
}

bool TIndexSegment::Trigram(std::uint32_t k, std::uint32_t& trigram, std::uint32_t& bytes) const {
    if (k >= trigramCount_) return false;
    trigram = Get<std::uint32_t>(Region(kTriKeys), 4 * std::size_t{k});
    const std::string_view offsets = Region(kTriOffs);
    const auto begin = Get<std::uint32_t>(offsets, 4 * std::size_t{k});
    const auto end = Get<std::uint32_t>(offsets, 4 * std::size_t{k} + 4);
    if (begin >= end || end > regions_[kMessages] - regions_[kPostings]) return false;
    bytes = end - begin;
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

bool TIndexSegment::Postings(std::uint32_t k, std::vector<std::uint32_t>& entries) const {
    entries.clear();
    std::uint32_t trigram = 0, bytes = 0;
    if (!Trigram(k, trigram, bytes)) return false;
    const auto begin = Get<std::uint32_t>(Region(kTriOffs), 4 * std::size_t{k});
    const std::string_view list = Region(kPostings).substr(begin, bytes);
    std::size_t pos = 0;
    std::uint64_t entry = 0;
    while (pos < list.size()) {
        std::uint32_t gap = 0;
        if (!GetVarint(list, pos, gap)) return false;
        if (!entries.empty() && gap == 0) return false;
        entry += gap;
        if (entry >= entryCount_) return false;
        entries.push_back(static_cast<std::uint32_t>(entry));
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
