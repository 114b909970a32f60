#include "core/search/SearchIndex.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>

#include "core/catalog/TextFile.h"

namespace orbisk {

// The file: a 64-byte header (magic, version, byte-order mark, file size,
// section count, checksum of the table, table offset), the sections, then the
// table of (offset, size) pairs. A section: a 96-byte header (magic, name
// length, identity, counts, ten region offsets), the archive's file name,
// then its regions: folders (path offset and length into the strings, first
// entry, entry count), name offsets and names, field offsets and fields
// (size, date, attributes, note, description, each length-prefixed; folder
// paths follow them), sorted trigram keys with their posting offsets and the
// postings (ascending entry numbers as LEB128 gaps), and the messages.
namespace {

constexpr char kMagic[8] = {'O', 'R', 'B', 'I', 'S', 'K', 'I', 'X'};
constexpr std::uint32_t kVersion = 1;
constexpr std::uint32_t kByteOrder = 0x01020304;
constexpr std::size_t kHeaderSize = 64;
constexpr std::uint32_t kSectionMagic = 0x54434553; // "SECT"
constexpr std::size_t kSectionHeader = 120;
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

template <typename T>
void Put(std::string& out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

template <typename T>
void PutAt(std::string& out, std::size_t at, T value) {
    std::memcpy(out.data() + at, &value, sizeof(T));
}

template <typename T>
T Get(std::string_view bytes, std::size_t at) {
    T value{};
    std::memcpy(&value, bytes.data() + at, sizeof(T));
    return value;
}

void PutVarint(std::string& out, std::uint32_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
}

// Reads a LEB128 number at pos of bytes; false when it runs off the end or
// beyond 32 bits.
bool GetVarint(std::string_view bytes, std::size_t& pos, std::uint32_t& value) {
    value = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (pos >= bytes.size()) return false;
        const auto byte = static_cast<unsigned char>(bytes[pos++]);
        if (shift == 28 && byte > 0x0F) return false;
        value |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) return true;
    }
    return false;
}

void PutText(std::string& out, std::string_view text) {
    PutVarint(out, static_cast<std::uint32_t>(text.size()));
    out.append(text);
}

bool GetText(std::string_view bytes, std::size_t& pos, std::string_view& text) {
    std::uint32_t length = 0;
    if (!GetVarint(bytes, pos, length) || length > bytes.size() - pos) return false;
    text = bytes.substr(pos, length);
    pos += length;
    return true;
}

std::uint32_t Checksum(std::string_view bytes) {
    std::uint32_t hash = 2166136261u;
    for (const char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    return hash;
}

unsigned char UpperByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 32) : byte;
}

// Trigram postings of an archive's names: (trigram, entry) pairs sorted.
void TrigramRegions(const std::vector<std::string_view>& names, std::string& keys,
                    std::string& offsets, std::string& postings) {
    thread_local std::vector<std::uint64_t> pairs;
    thread_local std::vector<std::uint32_t> trigrams;
    pairs.clear();
    for (std::uint32_t e = 0; e < names.size(); ++e) {
        trigrams.clear();
        AppendTrigrams(names[e], trigrams);
        for (const std::uint32_t t : trigrams)
            pairs.push_back(static_cast<std::uint64_t>(t) << 32 | e);
    }
    std::sort(pairs.begin(), pairs.end());
    pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    std::uint32_t current = 0;
    std::uint32_t previous = 0;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
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

// A section from its header values and its regions, in region order.
std::string AssembleSection(const TArchiveIdentity& id, const std::uint32_t (&counts)[4],
                            const std::string* const (&regions)[9]) {
    std::string out;
    std::size_t total = kSectionHeader + id.FileName.size();
    for (const std::string* region : regions)
        total += region->size();
    out.reserve(total);
    Put(out, kSectionMagic);
    Put(out, static_cast<std::uint32_t>(id.FileName.size()));
    for (const std::uint64_t v :
         {id.Size, static_cast<std::uint64_t>(id.MtimeSec),
          static_cast<std::uint64_t>(id.MtimeNsec), static_cast<std::uint64_t>(id.CtimeSec),
          static_cast<std::uint64_t>(id.CtimeNsec), id.Device, id.Inode})
        Put(out, v);
    for (const std::uint32_t count : counts)
        Put(out, count);
    std::size_t at = kSectionHeader + id.FileName.size();
    for (const std::string* region : regions) {
        Put(out, static_cast<std::uint32_t>(at));
        at += region->size();
    }
    Put(out, static_cast<std::uint32_t>(at));
    out.append(id.FileName);
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

bool TArchiveIdentity::SameFile(const TArchiveIdentity& o) const {
    return FileName == o.FileName && Size == o.Size && MtimeSec == o.MtimeSec &&
           MtimeNsec == o.MtimeNsec && CtimeSec == o.CtimeSec && CtimeNsec == o.CtimeNsec &&
           Device == o.Device && Inode == o.Inode;
}

bool StatIdentity(const std::string& path, std::string fileName, TArchiveIdentity& id) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    id.FileName = std::move(fileName);
    id.Size = static_cast<std::uint64_t>(st.st_size);
    id.MtimeSec = st.st_mtim.tv_sec;
    id.MtimeNsec = st.st_mtim.tv_nsec;
    id.CtimeSec = st.st_ctim.tv_sec;
    id.CtimeNsec = st.st_ctim.tv_nsec;
    id.Device = st.st_dev;
    id.Inode = st.st_ino;
    return true;
}

std::string BuildIndexSection(const TArchiveIdentity& id, const TArch& arch,
                              const std::vector<THostMessage>& messages) {
    // Scratch buffers kept per thread, so indexing archive after archive
    // reuses their memory.
    thread_local std::string dirs, nameOffs, names, fieldOffs, fields, keys, triOffs, postings,
        messageBytes;
    thread_local std::vector<std::string_view> entryNames;
    thread_local std::vector<std::pair<std::size_t, std::size_t>> paths;
    for (std::string* buffer :
         {&dirs, &nameOffs, &names, &fieldOffs, &fields, &keys, &triOffs, &postings, &messageBytes})
        buffer->clear();
    entryNames.clear();
    paths.clear();
    std::uint32_t dirCount = 0;
    for (std::int32_t d = 1; d <= arch.DirCount; ++d) {
        const TDir& dir = arch.Dirs[static_cast<std::size_t>(d)];
        const auto first = static_cast<std::uint32_t>(entryNames.size());
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
        paths.emplace_back(first, entryNames.size() - first);
        ++dirCount;
    }
    Put(nameOffs, static_cast<std::uint32_t>(names.size()));
    Put(fieldOffs, static_cast<std::uint32_t>(fields.size()));
    for (std::uint32_t d = 0; d < dirCount; ++d) {
        const std::string& path = arch.Dirs[d + 1].Path;
        Put(dirs, static_cast<std::uint32_t>(fields.size()));
        Put(dirs, static_cast<std::uint32_t>(path.size()));
        Put(dirs, static_cast<std::uint32_t>(paths[d].first));
        Put(dirs, static_cast<std::uint32_t>(paths[d].second));
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
    return AssembleSection(id, counts, regions);
}

std::vector<std::string_view> IndexFilePieces(const std::vector<std::string_view>& sections,
                                              std::string& head, std::string& table) {
    head.assign(kHeaderSize, '\0');
    table.clear();
    std::vector<std::string_view> pieces{head};
    std::uint64_t at = kHeaderSize;
    for (const std::string_view section : sections) {
        Put(table, at);
        Put(table, static_cast<std::uint64_t>(section.size()));
        pieces.push_back(section);
        at += section.size();
    }
    pieces.push_back(table);
    std::memcpy(head.data(), kMagic, sizeof kMagic);
    PutAt(head, 8, kVersion);
    PutAt(head, 12, kByteOrder);
    PutAt(head, 16, static_cast<std::uint64_t>(at + table.size()));
    PutAt(head, 24, static_cast<std::uint32_t>(sections.size()));
    PutAt(head, 28, Checksum(table));
    PutAt(head, 32, at);
    return pieces;
}

std::string FormatSearchIndex(const std::vector<std::string_view>& sections) {
    std::string head, table, out;
    for (const std::string_view piece : IndexFilePieces(sections, head, table))
        out.append(piece);
    return out;
}

bool TIndexSection::Open(std::string_view bytes) {
    bytes_ = bytes;
    if (bytes.size() < kSectionHeader || Get<std::uint32_t>(bytes, 0) != kSectionMagic)
        return false;
    const auto nameLength = Get<std::uint32_t>(bytes, 4);
    id_.Size = Get<std::uint64_t>(bytes, 8);
    id_.MtimeSec = Get<std::int64_t>(bytes, 16);
    id_.MtimeNsec = Get<std::int64_t>(bytes, 24);
    id_.CtimeSec = Get<std::int64_t>(bytes, 32);
    id_.CtimeNsec = Get<std::int64_t>(bytes, 40);
    id_.Device = Get<std::uint64_t>(bytes, 48);
    id_.Inode = Get<std::uint64_t>(bytes, 56);
    dirCount_ = Get<std::uint32_t>(bytes, 64);
    entryCount_ = Get<std::uint32_t>(bytes, 68);
    trigramCount_ = Get<std::uint32_t>(bytes, 72);
    messageCount_ = Get<std::uint32_t>(bytes, 76);
    for (int k = 0; k <= kEnd; ++k)
        regions_[k] = Get<std::uint32_t>(bytes, 80 + 4 * static_cast<std::size_t>(k));
    if (nameLength > bytes.size() - kSectionHeader ||
        regions_[kDirs] != kSectionHeader + nameLength || regions_[kEnd] != bytes.size())
        return false;
    for (int k = 0; k < kEnd; ++k)
        if (regions_[k] > regions_[k + 1]) return false;
    auto sized = [&](int k, std::uint64_t items, std::uint64_t width) {
        return regions_[k + 1] - regions_[k] == items * width;
    };
    if (!sized(kDirs, dirCount_, 16) || !sized(kNameOffs, entryCount_ + std::uint64_t{1}, 4) ||
        !sized(kFieldOffs, entryCount_ + std::uint64_t{1}, 4) ||
        !sized(kTriKeys, trigramCount_, 4) || !sized(kTriOffs, trigramCount_ + std::uint64_t{1}, 4))
        return false;
    id_.FileName.assign(bytes.substr(kSectionHeader, nameLength));
    return true;
}

bool TIndexSection::Region(int k, std::string_view& out) const {
    out = bytes_.substr(regions_[k], regions_[k + 1] - regions_[k]);
    return true;
}

bool TIndexSection::Dir(std::uint32_t d, std::string_view& path, std::uint32_t& first,
                        std::uint32_t& count) const {
    if (d >= dirCount_) return false;
    std::string_view dirs, fields;
    Region(kDirs, dirs);
    Region(kFields, fields);
    const auto offset = Get<std::uint32_t>(dirs, 16 * std::size_t{d});
    const auto length = Get<std::uint32_t>(dirs, 16 * std::size_t{d} + 4);
    first = Get<std::uint32_t>(dirs, 16 * std::size_t{d} + 8);
    count = Get<std::uint32_t>(dirs, 16 * std::size_t{d} + 12);
    if (offset > fields.size() || length > fields.size() - offset) return false;
    if (first > entryCount_ || count > entryCount_ - first) return false;
    path = fields.substr(offset, length);
    return true;
}

bool TIndexSection::Name(std::uint32_t entry, std::string_view& name) const {
    if (entry >= entryCount_) return false;
    std::string_view offsets, names;
    Region(kNameOffs, offsets);
    Region(kNames, names);
    const auto begin = Get<std::uint32_t>(offsets, 4 * std::size_t{entry});
    const auto end = Get<std::uint32_t>(offsets, 4 * std::size_t{entry} + 4);
    if (begin > end || end > names.size()) return false;
    name = names.substr(begin, end - begin);
    return true;
}

bool TIndexSection::Fields(std::uint32_t entry, TRec& rec) const {
    std::string_view name;
    if (!Name(entry, name)) return false;
    std::string_view offsets, fields;
    Region(kFieldOffs, offsets);
    Region(kFields, fields);
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

std::int64_t TIndexSection::FindTrigram(std::uint32_t trigram) const {
    std::string_view keys;
    Region(kTriKeys, keys);
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

std::uint32_t TIndexSection::PostingBytes(std::uint32_t trigram) const {
    const std::int64_t k = FindTrigram(trigram);
    if (k < 0) return 0;
    std::string_view offsets;
    Region(kTriOffs, offsets);
    const auto begin = Get<std::uint32_t>(offsets, 4 * static_cast<std::size_t>(k));
    const auto end = Get<std::uint32_t>(offsets, 4 * static_cast<std::size_t>(k) + 4);
    return end > begin ? end - begin : 0;
}

bool TIndexSection::Postings(std::uint32_t trigram, std::vector<std::uint32_t>& entries) const {
    entries.clear();
    const std::int64_t k = FindTrigram(trigram);
    if (k < 0) return true;
    std::string_view offsets, postings;
    Region(kTriOffs, offsets);
    Region(kPostings, postings);
    const auto begin = Get<std::uint32_t>(offsets, 4 * static_cast<std::size_t>(k));
    const auto end = Get<std::uint32_t>(offsets, 4 * static_cast<std::size_t>(k) + 4);
    if (begin >= end || end > postings.size()) return false;
    const std::string_view list = postings.substr(begin, end - begin);
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

bool TIndexSection::Messages(std::vector<THostMessage>& messages) const {
    messages.clear();
    std::string_view bytes;
    Region(kMessages, bytes);
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

TSearchIndex::~TSearchIndex() {
    Close();
}

void TSearchIndex::Close() {
    if (map_ != nullptr) ::munmap(map_, mapSize_);
    map_ = nullptr;
    mapSize_ = 0;
    bytes_ = {};
    open_ = false;
    sections_.clear();
    byName_.clear();
}

bool TSearchIndex::Open(const std::string& path) {
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

bool TSearchIndex::OpenBytes(std::string_view bytes) {
    Close();
    bytes_ = bytes;
    if (Parse()) return true;
    Close();
    return false;
}

bool TSearchIndex::Parse() {
    const std::string_view b = bytes_;
    if (b.size() < kHeaderSize || std::memcmp(b.data(), kMagic, sizeof kMagic) != 0 ||
        Get<std::uint32_t>(b, 8) != kVersion || Get<std::uint32_t>(b, 12) != kByteOrder ||
        Get<std::uint64_t>(b, 16) != b.size())
        return false;
    const auto count = Get<std::uint32_t>(b, 24);
    const auto tableOffset = Get<std::uint64_t>(b, 32);
    if (tableOffset < kHeaderSize || tableOffset > b.size() ||
        (b.size() - tableOffset) != std::uint64_t{count} * 16)
        return false;
    const std::string_view table = b.substr(tableOffset);
    if (Checksum(table) != Get<std::uint32_t>(b, 28)) return false;
    sections_.resize(count);
    for (std::uint32_t k = 0; k < count; ++k) {
        const auto offset = Get<std::uint64_t>(table, 16 * std::size_t{k});
        const auto size = Get<std::uint64_t>(table, 16 * std::size_t{k} + 8);
        if (offset < kHeaderSize || offset > tableOffset || size > tableOffset - offset)
            return false;
        if (!sections_[k].Open(b.substr(offset, size))) return false;
        if (!byName_.emplace(sections_[k].Identity().FileName, k).second) return false;
    }
    open_ = true;
    return true;
}

const TIndexSection* TSearchIndex::Find(std::string_view fileName) const {
    const auto it = byName_.find(fileName);
    return it == byName_.end() ? nullptr : &sections_[it->second];
}

} // namespace orbisk
