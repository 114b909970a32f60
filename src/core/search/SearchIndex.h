#pragma once
// The search index of a working folder: disposable files beside _cd_.lst that
// hold what a search over many archives tests (each entry's folder, name,
// size, note and description, with its date and attributes for the results)
// and the byte trigrams of the upper-cased names. They are never needed for a
// right answer: a missing, foreign or damaged file is built again, and a
// search that cannot have one reads the archives.
//
// Layout, chosen so that a search costs one stat per archive plus work in
// proportion to the entries that can match, and a change of one archive costs
// about one reading of that archive:
// - Each archive is one relocatable segment: its folders, a compact name
//   table (name offsets and the names one after another, all a pattern
//   without a three-byte literal run has to scan), the other fields of each
//   entry behind an offset of their own (a candidate's test touches only its
//   bytes), the sorted trigrams of its names with their posting lists
//   (ascending entry numbers as LEB128 gaps) and the messages its reading
//   gave. Offsets inside a segment are its own, so a segment is copied from
//   one index file to the next byte for byte, never made again.
// - One table of every archive's identity (file name, size, times, device,
//   inode) and segment, sorted by file name: the freshness check is one pass
//   of stats against it.
// - One folder-wide trigram directory: each trigram once, with the posting
//   list of the entries whose names hold it, numbered across the file
//   (archive after archive). A query intersects the lists of its trigrams
//   once for all archives, rarest first, and reaches only the segments of
//   the entries left. The directory is made from the segments' own posting
//   lists, so joining segments into a new file never reads an archive or a
//   name again.
// Two files use this layout: the main index (kSearchIndexFile), rewritten
// only when it is built from nothing or consolidated, and the changes file
// (kSearchIndexChangesFile), which holds the archives changed or added since
// and is rewritten on every refresh that finds a change. So a change of one
// archive writes that archive's segment and the other changed ones, not the
// whole index. The small tables of both files are checksummed; the changes
// file, written without waiting for the disk (it is rewritten often and is
// small), is checksummed whole, so a torn one is only dropped and its
// archives indexed again.
//
// The files are read through memory mappings, so a search touches only the
// parts it needs. Every count and offset read from them is checked against
// the bytes there are; a file that fails a check is taken as damaged.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/Archive.h"
#include "core/catalog/Host.h"
#include "core/search/ArchivePrefetch.h"

namespace orbisk {

inline constexpr std::string_view kSearchIndexFile = "_cd_.idx";
inline constexpr std::string_view kSearchIndexChangesFile = "_cd_.idc";

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

// The segment of one archive: the entries of arch in the order a search
// visits them (folders in stored order, each folder's present entries), the
// trigrams of their names, and the messages reading it gave.
std::string BuildIndexSegment(const TArch& arch, const std::vector<THostMessage>& messages);

// One archive's segment as an index file holds it. Every accessor checks its
// offsets and returns false when the bytes are damaged.
class TIndexSegment {
public:
    // Takes bytes as one segment; false when its header or layout is broken.
    bool Open(std::string_view bytes);

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
    bool Name(std::uint32_t entry, std::string_view& name) const;
    // The other fields of an entry as borrowed views (rec.Name too).
    bool Fields(std::uint32_t entry, TRec& rec) const;
    // Trigram k (0-based, ascending) and the byte size of its posting list.
    bool Trigram(std::uint32_t k, std::uint32_t& trigram, std::uint32_t& bytes) const;
    // The number k of trigram, or -1 when no name holds it.
    std::int64_t FindTrigram(std::uint32_t trigram) const;
    // The entries of trigram k, ascending; false when damaged.
    bool Postings(std::uint32_t k, std::vector<std::uint32_t>& entries) const;
    bool Messages(std::vector<THostMessage>& messages) const;

private:
    std::string_view Region(int k) const;

    std::string_view bytes_;
    std::uint32_t dirCount_ = 0, entryCount_ = 0, trigramCount_ = 0, messageCount_ = 0;
    std::uint32_t regions_[10] = {};
};

// One archive to put into an index file: its identity and segment bytes.
struct TIndexPart {
    TArchiveIdentity Id;
    std::string_view Segment;
    std::uint32_t EntryCount = 0;
    bool Made = false; // made now, not taken from a file: not checked again
};

// An index file from parts (distinct file names; sorted here) as pieces to
// write one after the other; the pieces refer to the parts' segments and to
// storage, which must outlive them. With wholeChecksum the checksum covers
// every byte after the header, else only the tables.
std::vector<std::string_view> IndexFilePieces(std::vector<TIndexPart> parts, bool wholeChecksum,
                                              std::string& storage);
// The same put together, for tests and the fuzz target's seeds.
std::string FormatIndexFile(std::vector<TIndexPart> parts, bool wholeChecksum);

// An index file, mapped read-only while the object lives.
class TIndexFile {
public:
    TIndexFile() = default;
    ~TIndexFile();
    TIndexFile(const TIndexFile&) = delete;
    TIndexFile& operator=(const TIndexFile&) = delete;

    // Maps path and checks its header and checksummed tables; false (and the
    // object empty) when it is absent, foreign or damaged.
    bool Open(const std::string& path);
    // The same with the file read into memory, for a small file.
    bool Read(const std::string& path);
    // The same over bytes the caller keeps alive.
    bool OpenBytes(std::string_view bytes);
    void Close();

    bool IsOpen() const { return open_; }
    std::uint64_t ByteSize() const { return bytes_.size(); }
    std::uint32_t ArchiveCount() const { return archiveCount_; }
    std::uint64_t EntryCount() const { return entryCount_; }

    // Archive a (0-based, by file name): its identity, segment and entries.
    bool Archive(std::uint32_t a, TArchiveIdentity& id) const;
    // Whether archive a was indexed in the state id tells (not its name).
    bool HoldsState(std::uint32_t a, const TArchiveIdentity& id) const;
    bool Segment(std::uint32_t a, TIndexSegment& segment) const;
    std::uint32_t EntriesOf(std::uint32_t a) const;
    // How many messages reading it gave (its segment holds them).
    std::uint32_t MessagesOf(std::uint32_t a) const;
    // The archive named fileName, or -1.
    std::int64_t Find(std::string_view fileName) const;

    // The entries across the file are numbered archive after archive in
    // table order: archive a's entry e is FirstEntryOf(a) + e.
    std::uint64_t FirstEntryOf(std::uint32_t a) const;
    // The bytes of the posting list of trigram (0 when no name holds it),
    // the measure of its length a query takes the rarest first by.
    std::uint64_t PostingBytes(std::uint32_t trigram) const;
    // The entries whose names hold trigram, ascending; empty when none.
    // False when damaged.
    bool Postings(std::uint32_t trigram, std::vector<std::uint32_t>& entries) const;

private:
    bool Parse();
    std::string_view Record(std::uint32_t a) const;
    std::string_view FileNameOf(std::uint32_t a) const;
    bool PostingList(std::uint32_t trigram, std::string_view& list) const;

    void* map_ = nullptr;
    std::size_t mapSize_ = 0;
    std::string read_;
    std::string_view bytes_;
    bool open_ = false;
    std::uint32_t archiveCount_ = 0, trigramCount_ = 0;
    std::uint64_t entryCount_ = 0;
    std::string_view names_, archives_, keys_, starts_, postings_;
    std::vector<std::uint64_t> bases_; // first entry of each archive, and the count
};

// The trigrams of the upper-cased (ASCII letters) bytes of text, each three
// bytes with the first in the low byte, appended to out.
void AppendTrigrams(std::string_view text, std::vector<std::uint32_t>& out);

} // namespace orbisk
