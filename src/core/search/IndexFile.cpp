// The index file around the segments: header, archive table and the
// folder-wide trigram directory (see SearchIndex.h).
#include <algorithm>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/catalog/TextFile.h"
#include "core/search/IndexBytes.h"
#include "core/search/SearchIndex.h"

namespace orbisk {

// The file: a 128-byte header (magic, version, byte-order mark, file size,
// archive, trigram and entry counts, the offsets of the lists, names, table
// and directory, the checksum of the header and of everything from the
// lists on, then the boot it is known whole in and the modification time it
// was given then), the segments, the directory's archive lists (ascending
// archive numbers in table order, as LEB128 gaps), the archives' file names,
// the archive table (88 bytes each: identity, segment offset and size, name
// offset and length, entry and message counts), the directory's sorted
// trigrams and the start of each one's archive list (8 bytes each, one more
// at the end). The boot and the time are not under the checksum, so that a
// file found whole can be stamped in place.
namespace {

using namespace index_bytes;

constexpr char kMagic[8] = {'O', 'R', 'B', 'I', 'S', 'K', 'I', 'X'};
constexpr std::uint32_t kVersion = 5;
constexpr std::uint32_t kByteOrder = 0x01020304;
constexpr std::size_t kHeaderSize = 128;
constexpr std::size_t kRecordSize = 88;
constexpr std::size_t kChecksumAt = 80, kBootAt = 96, kStampAt = 112;

// The checksum of the tables (everything from the lists on, added to sum
// before, in pieces as they were written) and then of the header's checked
// parts, which are known only once the tables are.
std::uint64_t TablesChecksum(TChecksum& sum, std::string_view header) {
    sum.Add(header.substr(0, kChecksumAt));
    sum.Add(header.substr(kChecksumAt + 8, kBootAt - kChecksumAt - 8));
    return sum.Value();
}

std::uint64_t TablesChecksum(std::string_view header, std::string_view tables) {
    TChecksum sum;
    sum.Add(tables);
    return TablesChecksum(sum, header);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The 16 bytes of the running system's boot id; empty when it cannot be had
// (then no file is ever known whole and every opening checks it).
const std::string& BootId() {
    static const std::string id = [] {
        std::string bytes;
        const TUniqueFd fd(::open("/proc/sys/kernel/random/boot_id", O_RDONLY | O_CLOEXEC));
        char text[64] = {};
        const ssize_t got = fd.IsOpen() ? ::read(fd.Get(), text, sizeof text) : -1;
        int high = -1;
        for (ssize_t k = 0; k < got; ++k) {
            const int digit = HexDigit(text[k]);
            if (digit < 0) continue;
            if (high < 0) {
                high = digit;
            } else {
                bytes.push_back(static_cast<char>(high << 4 | digit));
                high = -1;
            }
        }
        return bytes.size() == 16 ? bytes : std::string();
    }();
    return id;
}

// The time a file is stamped with: whole even seconds, which every file
// system keeps exactly.
timespec StampTime() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return {now.tv_sec - now.tv_sec % 2, 0};
}

void PutStamp(char* at, const timespec& time) {
    const std::string& boot = BootId();
    std::memset(at, 0, 16);
    std::memcpy(at, boot.data(), boot.size());
    const std::int64_t parts[2] = {time.tv_sec, time.tv_nsec};
    std::memcpy(at + 16, parts, sizeof parts);
}

// Whether header says its file, last modified at mtime, is known whole.
bool KnownWhole(std::string_view header, const timespec& mtime) {
    const std::string& boot = BootId();
    return !boot.empty() && header.substr(kBootAt, 16) == boot &&
           Get<std::int64_t>(header, kStampAt) == mtime.tv_sec &&
           Get<std::int64_t>(header, kStampAt + 8) == mtime.tv_nsec;
}

} // namespace

TIndexWriter::TIndexWriter(const std::string& path, std::size_t archives)
    : file_(path), digits_(std::make_unique<TTrigramDigits>()) {
    failed_ = !file_.Append(std::string(kHeaderSize, '\0'));
    chunks_.reserve(archives / kChunkArchives + 1);
}

// Room set aside pays for a large file only: giving back what is left over
// costs about as much as appending a few megabytes saves.
constexpr std::uint64_t kWorthReserving = 16 << 20;

void TIndexWriter::Expect(std::uint64_t bytes) {
    // The tables after the segments take about a tenth more.
    if (bytes < kWorthReserving) return;
    reserved_ = kHeaderSize + bytes + bytes / 10;
    file_.Reserve(reserved_);
}

void TIndexWriter::ReserveAhead() {
    // A file that grew large without an estimate (or beyond it) gets room
    // ahead of it by a quarter of its size and a little more.
    const std::uint64_t size = file_.Size();
    if (size < kWorthReserving || size + kWorthReserving / 2 <= reserved_) return;
    reserved_ = size + size / 4 + kWorthReserving;
    file_.Reserve(reserved_);
}

bool TIndexWriter::Add(const TArchiveIdentity& id, std::string_view front, std::string_view text) {
    TSegmentHead head;
    const std::uint64_t size = front.size() + text.size();
    if (failed_ || !ReadSegmentHead(front, size, head) ||
        (!names_.empty() && !(names_.back() < id.FileName)))
        return false;
    // A segment whose trigrams are not strictly ascending is damaged.
    for (std::size_t k = 4; k < head.Trigrams.size(); k += 4)
        if (Get<std::uint32_t>(head.Trigrams, k) <= Get<std::uint32_t>(head.Trigrams, k - 4))
            return false;
    const auto a = static_cast<std::uint32_t>(names_.size());
    while (a / kChunkArchives > chunks_.size())
        CloseChunk();
    const std::uint32_t place = (a % kChunkArchives) << 24;
    for (std::size_t k = 0; k < head.Trigrams.size(); k += 4) {
        const auto t = Get<std::uint32_t>(head.Trigrams, k);
        pairs_.push_back(place | t);
        digits_->Add(t);
    }
    const std::uint64_t at = file_.Size();
    if (!file_.Append(front, text)) {
        failed_ = true;
        return false;
    }
    ReserveAhead();
    for (const std::uint64_t v :
         {id.Size, static_cast<std::uint64_t>(id.MtimeSec),
          static_cast<std::uint64_t>(id.MtimeNsec), static_cast<std::uint64_t>(id.CtimeSec),
          static_cast<std::uint64_t>(id.CtimeNsec), id.Device, id.Inode, at, size})
        Put(records_, v);
    Put(records_, static_cast<std::uint32_t>(namesBytes_));
    Put(records_, static_cast<std::uint32_t>(id.FileName.size()));
    Put(records_, head.Entries);
    Put(records_, head.Messages);
    namesBytes_ += id.FileName.size();
    names_.push_back(id.FileName);
    entries_ += head.Entries;
    return true;
}

void TIndexWriter::CloseChunk() {
    const std::size_t count = pairs_.size();
    if (scratch_.size() < count) scratch_.resize(count);
    SortByTrigram(pairs_.data(), scratch_.data(), count, *digits_);
    *digits_ = {};
    TChunk& chunk = chunks_.emplace_back();
    chunk.Places.resize(count);
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint32_t trigram = TrigramOfPair(pairs_[k]);
        if (k == 0 || trigram != TrigramOfPair(pairs_[k - 1])) {
            if (k > 0) chunk.Ends.push_back(static_cast<std::uint32_t>(k));
            chunk.Trigrams.push_back(trigram);
        }
        chunk.Places[k] = static_cast<std::uint8_t>(pairs_[k] >> 24);
    }
    if (count > 0) chunk.Ends.push_back(static_cast<std::uint32_t>(count));
    pairs_.clear();
}

TFileStatus TIndexWriter::Finish() {
    if (failed_) return file_.Commit(SyncMode::Quick); // reports the failure
    if (!pairs_.empty()) CloseChunk();
    std::vector<std::uint32_t>().swap(pairs_);
    std::vector<std::uint32_t>().swap(scratch_);
    // The chunks merged by trigram; the archives of one trigram come out in
    // chunk order, so they ascend. The heap holds (trigram << 32 | chunk) of
    // each chunk's next trigram. The lists are written through a pointer
    // into a piece of room (a number takes at most five bytes), which goes
    // to the file whenever it could not take one more chunk's archives of a
    // trigram: the lists of millions of entries are never whole in memory.
    constexpr std::size_t kPiece = 1 << 20;
    const std::unique_ptr<char[]> listRoom(new char[kPiece]);
    char* const listStart = listRoom.get();
    char* list = listStart;
    TChecksum sum;
    const std::uint64_t listsOff = file_.Size();
    std::uint64_t listsDone = 0; // bytes of the lists in the file
    auto flush = [&] {
        const std::string_view piece(listStart, static_cast<std::size_t>(list - listStart));
        sum.Add(piece);
        failed_ = failed_ || !file_.Append(piece);
        listsDone += piece.size();
        list = listStart;
    };
    std::string keys, starts, names;
    std::vector<std::uint64_t> heap;
    std::vector<std::size_t> next(chunks_.size(), 0); // each chunk's next trigram
    for (std::size_t c = 0; c < chunks_.size(); ++c)
        if (!chunks_[c].Trigrams.empty())
            heap.push_back(std::uint64_t{chunks_[c].Trigrams[0]} << 32 | c);
    const auto after = std::greater<std::uint64_t>();
    std::make_heap(heap.begin(), heap.end(), after);
    std::uint64_t trigram = UINT64_MAX;
    std::uint32_t previous = 0;
    while (!heap.empty()) {
        std::pop_heap(heap.begin(), heap.end(), after);
        const std::uint64_t top = heap.back();
        heap.pop_back();
        const auto c = static_cast<std::uint32_t>(top);
        const std::uint64_t t = top >> 32;
        if (t != trigram) {
            trigram = t;
            Put(keys, static_cast<std::uint32_t>(t));
            Put(starts, listsDone + static_cast<std::uint64_t>(list - listStart));
            previous = 0;
        }
        if (list - listStart > static_cast<std::ptrdiff_t>(kPiece - 5 * kChunkArchives)) flush();
        const TChunk& chunk = chunks_[c];
        const std::size_t k = next[c]++;
        for (std::size_t j = k == 0 ? 0 : chunk.Ends[k - 1]; j < chunk.Ends[k]; ++j) {
            const std::uint32_t archive = c * kChunkArchives + chunk.Places[j];
            list = PutVarint(list, archive - previous);
            previous = archive;
        }
        if (k + 1 < chunk.Trigrams.size()) {
            heap.push_back(std::uint64_t{chunk.Trigrams[k + 1]} << 32 | c);
            std::push_heap(heap.begin(), heap.end(), after);
        }
    }
    flush();
    Put(starts, listsDone);
    names.reserve(namesBytes_);
    for (const std::string& name : names_)
        names.append(name);
    const std::uint64_t namesOff = listsOff + listsDone;
    const std::uint64_t tableOff = namesOff + names.size(), keysOff = tableOff + records_.size();
    const std::uint64_t size = keysOff + keys.size() + starts.size();
    std::string header(kHeaderSize, '\0');
    std::memcpy(header.data(), kMagic, sizeof kMagic);
    PutAt(header, 8, kVersion);
    PutAt(header, 12, kByteOrder);
    PutAt(header, 16, size);
    PutAt(header, 24, static_cast<std::uint32_t>(names_.size()));
    PutAt(header, 28, static_cast<std::uint32_t>(keys.size() / 4));
    PutAt(header, 32, entries_);
    PutAt(header, 40, listsOff);
    PutAt(header, 48, namesOff);
    PutAt(header, 56, tableOff);
    PutAt(header, 64, keysOff);
    for (const std::string_view table : {std::string_view(names), std::string_view(records_),
                                         std::string_view(keys), std::string_view(starts)}) {
        sum.Add(table);
        failed_ = failed_ || !file_.Append(table);
    }
    PutAt(header, kChecksumAt, TablesChecksum(sum, header));
    const timespec stamp = StampTime();
    PutStamp(header.data() + kBootAt, stamp);
    failed_ = failed_ || !file_.WriteAt(0, header);
    return file_.Commit(SyncMode::Quick, &stamp);
}

void SealIndexFile(std::string& bytes) {
    if (bytes.size() < kHeaderSize) return;
    const std::string_view b = bytes;
    const auto count = Get<std::uint32_t>(b, 24);
    const auto listsOff = Get<std::uint64_t>(b, 40), tableOff = Get<std::uint64_t>(b, 56);
    if (listsOff < kHeaderSize || listsOff > b.size() || tableOff > b.size() ||
        (b.size() - tableOff) / kRecordSize < count)
        return;
    for (std::uint32_t a = 0; a < count; ++a) {
        const std::size_t record = tableOff + std::size_t{a} * kRecordSize;
        const auto at = Get<std::uint64_t>(b, record + 56),
                   size = Get<std::uint64_t>(b, record + 64);
        if (at < kHeaderSize || at > listsOff || size > listsOff - at || size < 64) continue;
        TChecksum sum;
        sum.Add(b.substr(at, 56));
        sum.Add(b.substr(at + 64, size - 64));
        PutAt(bytes, at + 56, sum.Value());
    }
    PutAt(bytes, kChecksumAt, TablesChecksum(b.substr(0, kHeaderSize), b.substr(listsOff)));
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
    open_ = checkedWhole_ = false;
    device_ = inode_ = 0;
    archiveCount_ = trigramCount_ = 0;
    entryCount_ = 0;
}

namespace {

// Opens path for reading with its state; false when it is not a regular
// file of at least a header's size.
bool OpenState(const std::string& path, TUniqueFd& fd, struct stat& st) {
    fd.Reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    return fd.IsOpen() && ::fstat(fd.Get(), &st) == 0 && S_ISREG(st.st_mode) &&
           static_cast<std::uint64_t>(st.st_size) >= kHeaderSize;
}

} // namespace

bool TIndexFile::Open(const std::string& path) {
    Close();
    TUniqueFd fd;
    struct stat st {};
    if (!OpenState(path, fd, st)) return false;
    const auto size = static_cast<std::size_t>(st.st_size);
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_SHARED, fd.Get(), 0);
    if (map == MAP_FAILED) return false;
    map_ = map;
    mapSize_ = size;
    bytes_ = std::string_view(static_cast<const char*>(map), size);
    device_ = st.st_dev;
    inode_ = st.st_ino;
    if (Parse(KnownWhole(bytes_, st.st_mtim))) return true;
    Close();
    return false;
}

bool TIndexFile::Read(const std::string& path) {
    Close();
    TUniqueFd fd;
    struct stat st {};
    if (!OpenState(path, fd, st) ||
        !ReadAt(fd.Get(), 0, static_cast<std::size_t>(st.st_size), read_) ||
        read_.size() != static_cast<std::size_t>(st.st_size))
        return false;
    bytes_ = read_;
    device_ = st.st_dev;
    inode_ = st.st_ino;
    if (Parse(KnownWhole(bytes_, st.st_mtim))) return true;
    Close();
    return false;
}

bool TIndexFile::OpenBytes(std::string_view bytes) {
    Close();
    bytes_ = bytes;
    if (Parse(false)) return true;
    Close();
    return false;
}

bool TIndexFile::Parse(bool known) {
    const std::string_view b = bytes_;
    if (b.size() < kHeaderSize || std::memcmp(b.data(), kMagic, sizeof kMagic) != 0 ||
        Get<std::uint32_t>(b, 8) != kVersion || Get<std::uint32_t>(b, 12) != kByteOrder ||
        Get<std::uint64_t>(b, 16) != b.size())
        return false;
    archiveCount_ = Get<std::uint32_t>(b, 24);
    trigramCount_ = Get<std::uint32_t>(b, 28);
    entryCount_ = Get<std::uint64_t>(b, 32);
    const auto listsOff = Get<std::uint64_t>(b, 40), namesOff = Get<std::uint64_t>(b, 48);
    const auto tableOff = Get<std::uint64_t>(b, 56), keysOff = Get<std::uint64_t>(b, 64);
    if (listsOff < kHeaderSize || namesOff < listsOff || tableOff < namesOff ||
        keysOff < tableOff || keysOff > b.size())
        return false;
    if (keysOff - tableOff != std::uint64_t{archiveCount_} * kRecordSize ||
        b.size() - keysOff != std::uint64_t{trigramCount_} * 12 + 8)
        return false;
    if (!known && TablesChecksum(b.substr(0, kHeaderSize), b.substr(listsOff)) !=
                      Get<std::uint64_t>(b, kChecksumAt))
        return false;
    lists_ = b.substr(listsOff, namesOff - listsOff);
    names_ = b.substr(namesOff, tableOff - namesOff);
    archives_ = b.substr(tableOff, keysOff - tableOff);
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
        if (segOff < kHeaderSize || segOff > listsOff || segSize > listsOff - segOff) return false;
        if (a > 0 && !(FileNameOf(a - 1) < FileNameOf(a))) return false;
        entries += Get<std::uint32_t>(record, 80);
    }
    if (entries != entryCount_) return false;
    checkedWhole_ = !known;
    if (checkedWhole_ && !CheckWhole()) return false;
    open_ = true;
    return true;
}

bool TIndexFile::CheckWhole() const {
    for (std::uint32_t a = 0; a < archiveCount_; ++a) {
        TIndexSegment segment;
        if (!Segment(a, segment) || !segment.Verify()) return false;
    }
    return true;
}

void TIndexFile::Stamp(const std::string& path) const {
    if (!open_ || !checkedWhole_ || BootId().empty()) return;
    const TUniqueFd fd(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    struct stat st {};
    if (!fd.IsOpen() || ::fstat(fd.Get(), &st) != 0 || st.st_dev != device_ ||
        st.st_ino != inode_ || static_cast<std::uint64_t>(st.st_size) != bytes_.size())
        return;
    const timespec stamp = StampTime();
    char bytes[32];
    PutStamp(bytes, stamp);
    if (::pwrite(fd.Get(), bytes, sizeof bytes, kBootAt) != static_cast<ssize_t>(sizeof bytes))
        return;
    const timespec times[2] = {{0, UTIME_OMIT}, stamp};
    ::futimens(fd.Get(), times);
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

std::uint64_t TIndexFile::SegmentSizeOf(std::uint32_t a) const {
    return a < archiveCount_ ? Get<std::uint64_t>(Record(a), 64) : 0;
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
    if (low < archiveCount_ && FileNameOf(low) == fileName) return low;
    return -1;
}

bool TIndexFile::ArchiveList(std::uint32_t trigram, std::string_view& list) const {
    list = {};
    const std::int64_t found = FindKey(keys_, trigramCount_, trigram);
    if (found < 0) return true;
    const auto low = static_cast<std::size_t>(found);
    const auto begin = Get<std::uint64_t>(starts_, 8 * low);
    const auto end = Get<std::uint64_t>(starts_, 8 * low + 8);
    if (begin >= end || end > lists_.size()) return false;
    list = lists_.substr(begin, end - begin);
    return true;
}

std::uint64_t TIndexFile::ArchiveListBytes(std::uint32_t trigram) const {
    std::string_view list;
    return ArchiveList(trigram, list) ? list.size() : 0;
}

bool TIndexFile::Archives(std::uint32_t trigram, std::vector<std::uint32_t>& archives) const {
    archives.clear();
    std::string_view list;
    if (!ArchiveList(trigram, list)) return false;
    std::size_t pos = 0;
    std::uint64_t archive = 0;
    while (pos < list.size()) {
        std::uint32_t gap = 0;
        if (!GetVarint(list, pos, gap) || (!archives.empty() && gap == 0)) return false;
        archive += gap;
        if (archive >= archiveCount_) return false;
        archives.push_back(static_cast<std::uint32_t>(archive));
    }
    return true;
}

} // namespace orbisk
