#pragma once
// The search index of a working folder: disposable files beside _cd_.lst that
// hold what a search over many archives tests (each entry's folder, name,
// size, note and description, with its date and attributes for the results)
// and the byte trigrams of the upper-cased names. They are never needed for a
// right answer: a missing, foreign or damaged file is built again, and a
// search that cannot have one reads the archives.
//
// Layout, chosen so that building costs little more than reading the
// archives, a search costs one stat per archive plus work in proportion to
// the archives and entries that can match, and a change of one archive costs
// about one reading of that archive:
// - Each archive is one relocatable segment: its folders, its entry lines
//   exactly as the archive file has them (copied in one piece, with the
//   place of the first line of every block; a candidate's line is found from
//   there and its fields split from it), the sorted trigrams of
//   its names with their posting lists (the blocks of kIndexBlockEntries
//   entries that hold them, ascending, as LEB128 gaps; a trigram that most
//   blocks hold has none and stands for every block), the messages its
//   reading gave, and a checksum of its own.
//   Offsets inside a segment are its own, so a segment is copied from one
//   index file to the next byte for byte, never made again.
// - One table of every archive's identity (file name, size, times, device,
//   inode) and segment, sorted by file name: the freshness check is one pass
//   of stats against it.
// - One folder-wide trigram directory: each trigram once, with the archives
//   whose names hold it. A query intersects these lists once, rarest first,
//   and looks into the segments of the archives left only. The directory is
//   made from the segments' trigram tables, so joining segments into a new
//   file never reads an archive, a name or a posting list again.
// Two files use this layout: the main index (kSearchIndexFile), rewritten
// only when it is built from nothing or consolidated, and the changes file
// (kSearchIndexChangesFile), which holds the archives changed or added since
// and is rewritten on every refresh that finds a change.
//
// Files are written without waiting for the disk. A file records the boot it
// was written in and carries its own modification time; a file of this boot
// whose time is still that one is as it was written. Any other (after a
// crash or restart, or changed by somebody else) is checked whole, every
// segment against its checksum, and once found whole it is stamped with the
// current boot so that the next opening need not check it again.
//
// The files are read through memory mappings, so a search touches only the
// parts it needs. Every count and offset read from them is checked against
// the bytes there are; a file that fails a check is taken as damaged.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/Archive.h"
#include "core/catalog/Host.h"
#include "core/catalog/TextFile.h"
#include "core/search/ArchivePrefetch.h"
#include "core/search/IndexBytes.h"

namespace orbisk {

inline constexpr std::string_view kSearchIndexFile = "_cd_.idx";
inline constexpr std::string_view kSearchIndexChangesFile = "_cd_.idc";

// Posting lists name blocks of this many entries, not single entries: the
// trigrams that neighbouring names share are listed once, which makes the
// index cheaper to build and smaller, and a candidate block costs a query
// only a few more names to test.
inline constexpr std::uint32_t kIndexBlockEntries = 8;

// What identifies an archive file's state: an archive whose file name, size,
// modification or change time, device or inode differs is indexed again.
struct TArchiveIdentity {
    std::string FileName; // as the archive list's row names it
    std::uint64_t Size = 0;
    std::int64_t MtimeSec = 0, MtimeNsec = 0;
    std::int64_t CtimeSec = 0, CtimeNsec = 0;
    std::uint64_t Device = 0, Inode = 0;
};

// The identity of the file fileName in the folder open as dirFd (AT_FDCWD:
// the current one), following links as opening it does; false when it cannot
// be had (the file is gone).
bool StatIdentity(int dirFd, const std::string& fileName, TArchiveIdentity& id);
// The same from what stat(2) gave of a file (id's name is left as it is).
void SetIdentity(const struct stat& st, TArchiveIdentity& id);

// A segment as made: Front, then the bytes of Text, which are the archive's
// own entry lines borrowed from the file's text it was made of.
struct TSegmentBytes {
    std::string Front;
    std::string_view Text;
};

// The segment of the archive whose file holds fileText, made from the text
// directly: its folders and entries as reading the archive takes them, in
// the order a search visits them, and the trigrams of their names. Front is
// empty when the archive is too large to index (offsets are 32 bits).
void BuildIndexSegment(std::string_view fileText, TSegmentBytes& out);

// What joining a segment into a file needs from it: its counts and its
// sorted trigrams (four bytes each), read from its front part.
struct TSegmentHead {
    std::uint32_t Entries = 0, Messages = 0;
    std::string_view Trigrams;
};
// False when front is not the start of a segment of size bytes whose
// trigram table lies in front.
bool ReadSegmentHead(std::string_view front, std::uint64_t size, TSegmentHead& head);

// One archive's segment as an index file holds it. Every accessor checks its
// offsets and returns false when the bytes are damaged.
class TIndexSegment {
public:
    // Takes bytes as one segment; false when its header or layout is broken.
    bool Open(std::string_view bytes);
    // Whether the bytes are those its checksum was made of.
    bool Verify() const;

    std::string_view Bytes() const { return bytes_; }
    std::uint32_t DirCount() const { return dirCount_; }
    std::uint32_t EntryCount() const { return entryCount_; }
    std::uint32_t TrigramCount() const { return trigramCount_; }
    std::uint32_t MessageCount() const { return messageCount_; }

    // Folder d (0-based): its path and its entries first .. first + count - 1.
    bool Dir(std::uint32_t d, std::string_view& path, std::uint32_t& first,
             std::uint32_t& count) const;
    // The folder that holds entry (d from the last call as a hint, or any).
    bool DirOf(std::uint32_t entry, std::uint32_t& d) const;
    // The line of an entry as the archive file has it, without its CR.
    // Entries are found from the start of their block, or onwards from the
    // one asked for last, so a segment is for one thread at a time.
    // nameLength, when given, receives the length of its name.
    bool Line(std::uint32_t entry, std::string_view& line, std::size_t* nameLength = nullptr) const;
    bool Name(std::uint32_t entry, std::string_view& name) const;
    // The number k of trigram, or -1 when no name holds it.
    std::int64_t FindTrigram(std::uint32_t trigram) const;
    // The blocks of trigram k, ascending; everyBlock (and blocks empty) when
    // it stands for every block. False when damaged.
    bool Postings(std::uint32_t k, std::vector<std::uint32_t>& blocks, bool& everyBlock) const;
    // Asks the processor to fetch the lines of block ahead of their use, so
    // that the blocks a query tests are read from memory side by side.
    void Prefetch(std::uint32_t block) const;
    // The bytes of trigram k's posting list (0: every block).
    std::uint32_t PostingBytes(std::uint32_t k) const;
    bool Messages(std::vector<THostMessage>& messages) const;

private:
    std::string_view Region(int k) const;
    bool PostingList(std::uint32_t k, std::string_view& list) const;

    std::string_view bytes_;
    std::uint32_t dirCount_ = 0, entryCount_ = 0, trigramCount_ = 0, messageCount_ = 0;
    // The entry found last: its line's start, first TAB and end in the text.
    mutable std::uint32_t cursorEntry_ = UINT32_MAX;
    mutable std::size_t cursorAt_ = 0, cursorTab_ = 0, cursorEnd_ = 0;
    std::uint32_t regions_[9] = {};
};

// Writes an index file: segments are added in ascending file-name order and
// streamed to a temporary file; Finish adds the tables and the directory and
// puts the file in place, stamped as written in this boot.
class TIndexWriter {
public:
    // archives: about how many will be added.
    TIndexWriter(const std::string& path, std::size_t archives);
    // Adds the segment front + text of the archive id; false when it is not
    // a segment, its name is not after the last one's, or writing failed.
    bool Add(const TArchiveIdentity& id, std::string_view front, std::string_view text = {});
    std::uint32_t ArchiveCount() const { return static_cast<std::uint32_t>(names_.size()); }
    // Sets aside room for about bytes of segments (see TAtomicFileWriter::Reserve);
    // without it, room is set aside as the file grows.
    void Expect(std::uint64_t bytes);
    TFileStatus Finish();

private:
    // Sorts the open chunk's pairs by trigram and keeps them closed.
    void CloseChunk();
    void ReserveAhead();

    TAtomicFileWriter file_;
    std::vector<std::string> names_;
    std::string records_;
    // The directory's (archive, trigram) pairs, in chunks of kChunkArchives
    // archives. The open chunk's pairs are the trigram with the archive's
    // place in the chunk in the top eight bits; a chunk is sorted when the
    // next one begins, while later segments are still being made, and kept
    // as its trigrams, where each one's places end, and the places (a byte
    // each): a quarter of the memory of the pairs, which a folder of
    // millions of entries feels. Finish merges the chunks.
    static constexpr std::uint32_t kChunkArchives = 128;
    struct TChunk {
        std::vector<std::uint32_t> Trigrams, Ends;
        std::vector<std::uint8_t> Places;
    };
    std::vector<TChunk> chunks_;
    std::vector<std::uint32_t> pairs_, scratch_;          // of the open chunk
    std::unique_ptr<index_bytes::TTrigramDigits> digits_; // of the open chunk's trigrams
    std::uint64_t entries_ = 0, namesBytes_ = 0, reserved_ = 0;
    bool failed_ = false;
};

// Sets every checksum of bytes that its layout lets be found to match, so
// that changes made to an index file reach the parts behind the checks.
void SealIndexFile(std::string& bytes);

// An index file, mapped read-only while the object lives.
class TIndexFile {
public:
    TIndexFile() = default;
    ~TIndexFile();
    TIndexFile(const TIndexFile&) = delete;
    TIndexFile& operator=(const TIndexFile&) = delete;

    // Maps path and checks its header and tables, and every segment when the
    // file is not known whole (see above); false (and the object empty) when
    // it is absent, foreign or damaged.
    bool Open(const std::string& path);
    // The same with the file read into memory, for a small file.
    bool Read(const std::string& path);
    // The same over bytes the caller keeps alive (always checked whole).
    bool OpenBytes(std::string_view bytes);
    void Close();

    bool IsOpen() const { return open_; }
    // Whether opening it checked it whole: a file that a stamp would spare
    // that the next time.
    bool CheckedWhole() const { return checkedWhole_; }
    std::uint64_t ByteSize() const { return bytes_.size(); }
    std::uint32_t ArchiveCount() const { return archiveCount_; }
    std::uint64_t EntryCount() const { return entryCount_; }

    // Archive a (0-based, by file name): its identity, segment and entries.
    bool Archive(std::uint32_t a, TArchiveIdentity& id) const;
    // Whether archive a was indexed in the state id tells (not its name).
    bool HoldsState(std::uint32_t a, const TArchiveIdentity& id) const;
    bool Segment(std::uint32_t a, TIndexSegment& segment) const;
    std::uint32_t EntriesOf(std::uint32_t a) const;
    // The size of archive a's segment as its record gives it (0 for none).
    std::uint64_t SegmentSizeOf(std::uint32_t a) const;
    // How many messages reading it gave (its segment holds them).
    std::uint32_t MessagesOf(std::uint32_t a) const;
    // The archive named fileName, or -1.
    std::int64_t Find(std::string_view fileName) const;

    // The bytes of the list of archives whose names hold trigram (0 when
    // none does), the measure of its length a query takes the rarest first by.
    std::uint64_t ArchiveListBytes(std::uint32_t trigram) const;
    // The archives whose names hold trigram, ascending; false when damaged.
    bool Archives(std::uint32_t trigram, std::vector<std::uint32_t>& archives) const;

    // Marks the file at path, when it is still this one, as known whole in
    // this boot (after a check of every byte).
    void Stamp(const std::string& path) const;

private:
    bool Parse(bool known);
    bool CheckWhole() const;
    std::string_view Record(std::uint32_t a) const;
    std::string_view FileNameOf(std::uint32_t a) const;
    bool ArchiveList(std::uint32_t trigram, std::string_view& list) const;

    void* map_ = nullptr;
    std::size_t mapSize_ = 0;
    std::string read_;
    std::string_view bytes_;
    bool open_ = false, checkedWhole_ = false;
    std::uint64_t device_ = 0, inode_ = 0;
    std::uint32_t archiveCount_ = 0, trigramCount_ = 0;
    std::uint64_t entryCount_ = 0;
    std::string_view lists_, names_, archives_, keys_, starts_;
};

// The trigrams of the upper-cased (ASCII letters) bytes of text, each three
// bytes with the first in the low byte, appended to out.
void AppendTrigrams(std::string_view text, std::vector<std::uint32_t>& out);

} // namespace orbisk
