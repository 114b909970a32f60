#include "core/search/SearchIndex.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/catalog/TextFile.h"
#include "core/search/IndexBytes.h"
#include "core/search/IndexTrigrams.h"

namespace orbisk {

// A segment: a 64-byte header (magic, folder, entry, trigram and message
// counts, nine region offsets, the checksum of every other byte), then its
// regions: folders (path offset and length into the paths, first entry,
// entry count), blocks (the offset into the text of the line of each
// block's first entry; the block's other entries are the lines with a TAB
// that follow it, folder lines between them passed over), sorted
// trigrams, their posting offsets (one more at the end; an empty list
// stands for every block) and the postings, the messages, the folder paths,
// and the text: the archive file's bytes from its first entry line to the
// end of its last, as they are.
namespace {

using namespace index_bytes;

constexpr std::uint32_t kSegmentMagic = 0x34474553; // "SEG4"
constexpr std::size_t kSegmentHeader = 64;
constexpr std::size_t kChecksumAt = 56;
enum Region { kDirs, kBlocks, kTriKeys, kTriOffs, kPostings, kMessages, kPaths, kText, kEnd };

// The first byte in [p, end) that is a or b, or end: sixteen bytes at a
// time where the processor compares them in one step.
template <char a, char b>
const char* FindEither(const char* p, const char* end) {
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(a), second = _mm_set1_epi8(b);
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const int found = _mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(bytes, first), _mm_cmpeq_epi8(bytes, second)));
        if (found != 0) return p + std::countr_zero(static_cast<unsigned>(found));
    }
#endif
    while (p < end && *p != a && *p != b)
        ++p;
    return p;
}

std::uint64_t SegmentChecksum(std::string_view front, std::string_view text) {
    TChecksum sum;
    sum.Add(front.substr(0, kChecksumAt));
    sum.Add(front.substr(kSegmentHeader));
    sum.Add(text);
    return sum.Value();
}

} // namespace

bool StatIdentity(int dirFd, const std::string& fileName, TArchiveIdentity& id) {
    struct stat st {};
    if (::fstatat(dirFd, fileName.c_str(), &st, 0) != 0 || !S_ISREG(st.st_mode)) return false;
    id.FileName = fileName;
    SetIdentity(st, id);
    return true;
}

void SetIdentity(const struct stat& st, TArchiveIdentity& id) {
    id.Size = static_cast<std::uint64_t>(st.st_size);
    id.MtimeSec = st.st_mtim.tv_sec;
    id.MtimeNsec = st.st_mtim.tv_nsec;
    id.CtimeSec = st.st_ctim.tv_sec;
    id.CtimeNsec = st.st_ctim.tv_nsec;
    id.Device = st.st_dev;
    id.Inode = st.st_ino;
}

namespace {

// Puts a segment together: folders and entries are added in the order a
// search visits them, each entry's line found in the archive's text (the
// span from the first to the last line is taken whole). Its buffers are kept
// per thread, so indexing archive after archive reuses their memory.
class TSegmentBuilder {
public:
    explicit TSegmentBuilder(std::string_view text) : text_(text) {
        for (std::string* buffer : {&dirs_, &blocks_, &messages_, &paths_})
            buffer->clear();
        names_.clear();
        blockLines_.clear();
    }

    void AddDir(std::string_view path) {
        CloseDir();
        Put(dirs_, static_cast<std::uint32_t>(paths_.size()));
        Put(dirs_, static_cast<std::uint32_t>(path.size()));
        Put(dirs_, static_cast<std::uint32_t>(names_.size()));
        paths_.append(path);
        dirFirst_ = names_.size();
        ++dirCount_;
    }
    // An entry whose line is text[at, end) with the name its first nameLength bytes.
    void AddLine(std::size_t at, std::size_t end, std::size_t nameLength) {
        if (names_.size() % kIndexBlockEntries == 0) blockLines_.push_back(at);
        names_.push_back(text_.substr(at, nameLength));
        low_ = std::min(low_, at);
        high_ = std::max(high_, end);
    }
    void Finish(const std::vector<THostMessage>& messages, TSegmentBytes& out);

private:
    void CloseDir() {
        if (dirCount_ > 0) Put(dirs_, static_cast<std::uint32_t>(names_.size() - dirFirst_));
    }

    std::string_view text_;
    std::size_t low_ = SIZE_MAX, high_ = 0, dirFirst_ = 0;
    std::uint32_t dirCount_ = 0;
    static thread_local std::string dirs_, blocks_, messages_, paths_;
    static thread_local std::vector<std::string_view> names_;
    static thread_local std::vector<std::size_t> blockLines_; // into the text
};

thread_local std::string TSegmentBuilder::dirs_, TSegmentBuilder::blocks_,
    TSegmentBuilder::messages_, TSegmentBuilder::paths_;
thread_local std::vector<std::string_view> TSegmentBuilder::names_;
thread_local std::vector<std::size_t> TSegmentBuilder::blockLines_;

void TSegmentBuilder::Finish(const std::vector<THostMessage>& messages, TSegmentBytes& out) {
    CloseDir();
    const bool spanned = low_ < high_ || (low_ == high_ && low_ != SIZE_MAX);
    const std::string_view span = spanned ? text_.substr(low_, high_ - low_) : std::string_view();
    blocks_.resize(4 * blockLines_.size());
    for (std::size_t k = 0; k < blockLines_.size(); ++k) {
        const auto at = static_cast<std::uint32_t>(blockLines_[k] - low_);
        std::memcpy(blocks_.data() + 4 * k, &at, 4);
    }
    const TTrigramRegions trigrams = TrigramRegions(names_);
    for (const THostMessage& message : messages) {
        messages_.push_back(message.Warning ? 1 : 0);
        PutText(messages_, message.Text);
    }
    const std::string_view regions[] = {
        dirs_, blocks_, trigrams.Keys, trigrams.Offsets, trigrams.Postings, messages_, paths_};
    std::string& front = out.Front;
    front.clear();
    std::size_t total = kSegmentHeader;
    for (const std::string_view region : regions)
        total += region.size();
    front.reserve(total);
    Put(front, kSegmentMagic);
    for (const std::size_t count :
         {std::size_t{dirCount_}, names_.size(), trigrams.Keys.size() / 4, messages.size()})
        Put(front, static_cast<std::uint32_t>(count));
    std::uint64_t at = kSegmentHeader;
    for (const std::string_view region : regions) {
        Put(front, static_cast<std::uint32_t>(at));
        at += region.size();
    }
    Put(front, static_cast<std::uint32_t>(at)); // the text
    at += span.size();
    Put(front, static_cast<std::uint32_t>(at));
    Put(front, std::uint64_t{0});
    for (const std::string_view region : regions)
        front.append(region);
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

} // namespace

namespace {

// The bits of the bytes equal to c among the 64 at p.
std::uint64_t ByteMask64(const char* p, char c) {
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(c);
    std::uint64_t mask = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        mask |= std::uint64_t{static_cast<std::uint16_t>(
                    _mm_movemask_epi8(_mm_cmpeq_epi8(bytes, wanted)))}
                << (16 * k);
    }
    return mask;
#else
    std::uint64_t mask = 0;
    for (int k = 0; k < 64; ++k)
        mask |= std::uint64_t{p[k] == c} << k;
    return mask;
#endif
}

// Calls line(begin, end, tab) for each line of text: lines end at a CR (an
// LF right after it is skipped), the last one at the text's end if no CR
// closes it; tab is the place of the line's first TAB, or end when it has
// none. Sixty-four bytes are looked at in one step, their CRs and TABs as
// bit masks.
template <typename TLine>
void ForEachLine(std::string_view text, TLine&& line) {
    const char* const data = text.data();
    const std::size_t size = text.size();
    std::size_t begin = 0, tab = SIZE_MAX;
    auto chunk = [&](std::size_t base, std::uint64_t crs, std::uint64_t tabs) {
        // The TABs of lines ended before are cleared as their CRs are met;
        // only an LF (never a TAB) can lie between this step's start and the
        // line's beginning.
        while (crs != 0) {
            const std::size_t at = static_cast<std::size_t>(std::countr_zero(crs));
            const std::uint64_t before = tabs & ((std::uint64_t{1} << at) - 1);
            if (tab == SIZE_MAX && before != 0)
                tab = base + static_cast<std::size_t>(std::countr_zero(before));
            const std::size_t end = base + at;
            line(begin, end, tab == SIZE_MAX ? end : tab);
            begin = end + 1;
            if (begin < size && data[begin] == '\n') ++begin;
            tab = SIZE_MAX;
            tabs &= at == 63 ? 0 : ~std::uint64_t{0} << (at + 1);
            crs &= crs - 1;
        }
        if (tab == SIZE_MAX && tabs != 0)
            tab = base + static_cast<std::size_t>(std::countr_zero(tabs));
    };
    std::size_t base = 0;
    for (; base + 64 <= size; base += 64)
        chunk(base, ByteMask64(data + base, '\r'), ByteMask64(data + base, '\t'));
    if (base < size) {
        char last[64];
        std::memset(last, 0, sizeof last);
        std::memcpy(last, data + base, size - base);
        chunk(base, ByteMask64(last, '\r'), ByteMask64(last, '\t'));
    }
    if (begin < size) line(begin, size, tab == SIZE_MAX ? size : tab);
}

} // namespace

void BuildIndexSegment(std::string_view fileText, TSegmentBytes& out) {
    // The lines as reading the archive splits them: the header up to the
    // line "<tree>", then lines ended by a CR (and an LF right after it); a
    // line with a TAB is an entry of the folder before it, one without is a
    // folder. Entries before the first folder belong to none and are not
    // searched.
    LineReader lines(fileText);
    while (!lines.AtEnd() && lines.Next() != "<tree>") {
    }
    const std::string_view tree = lines.Rest();
    const std::size_t base = static_cast<std::size_t>(tree.data() - fileText.data());
    TSegmentBuilder builder(fileText);
    bool inDir = false;
    ForEachLine(tree, [&](std::size_t begin, std::size_t end, std::size_t tab) {
        if (tab == end) {
            builder.AddDir(tree.substr(begin, end - begin));
            inDir = true;
        } else if (inDir) {
            builder.AddLine(base + begin, base + end, tab - begin);
        }
    });
    builder.Finish({}, out);
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
    const std::uint64_t blocks =
        (std::uint64_t{counts[1]} + kIndexBlockEntries - 1) / kIndexBlockEntries;
    return sized(kDirs, counts[0], 16) && sized(kBlocks, blocks, 4) &&
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
    cursorEntry_ = UINT32_MAX;
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

bool TIndexSegment::Line(std::uint32_t entry, std::string_view& line,
                         std::size_t* nameLength) const {
    if (entry >= entryCount_) return false;
    const std::string_view text = Region(kText);
    const char* const textEnd = text.data() + text.size();
    std::size_t at = 0, tab = 0, end = 0;
    // Whether the line at `at` is an entry's (holds a TAB): its first TAB
    // (the name's end) and its end (its CR or the text's end).
    auto scan = [&] {
        const char* p = FindEither<'\t', '\r'>(text.data() + at, textEnd);
        tab = static_cast<std::size_t>(p - text.data());
        if (p != textEnd && *p == '\t') p = FindEither<'\r', '\r'>(p, textEnd);
        end = static_cast<std::size_t>(p - text.data());
        return tab < end;
    };
    std::uint32_t from = 0;
    bool entryLine = true;
    if (cursorEntry_ <= entry && entry - cursorEntry_ <= entry % kIndexBlockEntries) {
        // Onwards from the line found last, in the same block.
        at = cursorAt_;
        tab = cursorTab_;
        end = cursorEnd_;
        from = cursorEntry_;
    } else {
        const std::uint32_t block = entry / kIndexBlockEntries;
        at = Get<std::uint32_t>(Region(kBlocks), 4 * std::size_t{block});
        if (at >= text.size()) return false;
        entryLine = scan();
        from = block * kIndexBlockEntries;
    }
    // Each next entry is on the next line with a TAB (a line ends at a CR
    // and an LF right after it).
    for (; from < entry; ++from) {
        do {
            if (end >= text.size()) return false;
            at = end + 1;
            if (at < text.size() && text[at] == '\n') ++at;
            entryLine = scan();
        } while (!entryLine);
    }
    if (!entryLine) return false;
    cursorEntry_ = entry;
    cursorAt_ = at;
    cursorTab_ = tab;
    cursorEnd_ = end;
    line = text.substr(at, end - at);
    if (nameLength != nullptr) *nameLength = tab - at;
    return true;
}

void TIndexSegment::Prefetch(std::uint32_t block) const {
    const std::string_view blocks = Region(kBlocks), text = Region(kText);
    if (4 * (std::size_t{block} + 1) > blocks.size()) return;
    const std::size_t at = Get<std::uint32_t>(blocks, 4 * std::size_t{block});
    // A block's lines take a few hundred bytes.
    for (std::size_t p = at; p < text.size() && p < at + 384; p += 64)
        __builtin_prefetch(text.data() + p);
}

bool TIndexSegment::Name(std::uint32_t entry, std::string_view& name) const {
    std::string_view line;
    std::size_t length = 0;
    if (!Line(entry, line, &length)) return false;
    name = line.substr(0, length);
    return true;
}

std::int64_t TIndexSegment::FindTrigram(std::uint32_t trigram) const {
    return FindKey(Region(kTriKeys), trigramCount_, trigram);
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
