#pragma once
// The search index of a working folder: one disposable file beside _cd_.lst
// that holds, per archive, what a search over all archives tests (each
// entry's folder, name, size, note and description, with its date and
// attributes for the results) in the order the search visits them, and the
// posting lists of the byte trigrams of the upper-cased names. It is never
// needed for a right answer: a missing, foreign or damaged file is built
// again, and a search that cannot have one reads the archives.
//
// The file is read through a memory mapping, so a search touches only the
// parts it needs. Every count and offset read from it is checked against the
// bytes there are; a file that fails a check is taken as damaged.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/catalog/Archive.h"
#include "core/search/ArchivePrefetch.h"

namespace orbisk {

inline constexpr std::string_view kSearchIndexFile = "_cd_.idx";

// What identifies an archive file's state: an archive whose file name, size,
// modification or change time, device or inode differs is indexed again.
struct TArchiveIdentity {
    std::string FileName; // as the archive list's row names it
    std::uint64_t Size = 0;
    std::int64_t MtimeSec = 0, MtimeNsec = 0;
    std::int64_t CtimeSec = 0, CtimeNsec = 0;
    std::uint64_t Device = 0, Inode = 0;

    bool SameFile(const TArchiveIdentity& other) const;
};

// The identity of the file at path (named fileName in the index); false when
// it cannot be had (the file is gone).
bool StatIdentity(const std::string& path, std::string fileName, TArchiveIdentity& id);

// The bytes of one archive's part of the index: the entries of arch in the
// order a search visits them (folders in stored order, each folder's present
// entries), and the messages reading it gave, which a search shows again.
std::string BuildIndexSection(const TArchiveIdentity& id, const TArch& arch,
                              const std::vector<THostMessage>& messages);

// The whole index file from archive parts made by BuildIndexSection.
std::string FormatSearchIndex(const std::vector<std::string_view>& sections);
// The same as the pieces to write one after the other: head and table are
// filled here, the sections are passed through.
std::vector<std::string_view> IndexFilePieces(const std::vector<std::string_view>& sections,
                                              std::string& head, std::string& table);

// The entries of one archive as a section of the index holds them. Every
// accessor checks its offsets and returns false when the bytes are damaged.
class TIndexSection {
public:
    // Takes bytes as one section; false when its header or layout is broken.
    bool Open(std::string_view bytes);

    std::string_view Bytes() const { return bytes_; }
    const TArchiveIdentity& Identity() const { return id_; }
    std::uint32_t DirCount() const { return dirCount_; }
    std::uint32_t EntryCount() const { return entryCount_; }

    // Folder d (0-based): its path and its entries first .. first + count - 1.
    bool Dir(std::uint32_t d, std::string_view& path, std::uint32_t& first,
             std::uint32_t& count) const;
    bool Name(std::uint32_t entry, std::string_view& name) const;
    // The other fields of an entry as borrowed views (rec.Name too).
    bool Fields(std::uint32_t entry, TRec& rec) const;
    // The entries whose upper-cased name holds trigram (three bytes, the
    // first in the low byte), ascending; empty when none.
    bool Postings(std::uint32_t trigram, std::vector<std::uint32_t>& entries) const;
    // How many bytes the posting list of trigram takes (0 when absent).
    std::uint32_t PostingBytes(std::uint32_t trigram) const;
    bool Messages(std::vector<THostMessage>& messages) const;

private:
    bool Region(int k, std::string_view& out) const;
    std::int64_t FindTrigram(std::uint32_t trigram) const;

    std::string_view bytes_;
    TArchiveIdentity id_;
    std::uint32_t dirCount_ = 0, entryCount_ = 0, trigramCount_ = 0, messageCount_ = 0;
    std::uint32_t regions_[10] = {};
};

// The index file, mapped read-only while the object lives.
class TSearchIndex {
public:
    TSearchIndex() = default;
    ~TSearchIndex();
    TSearchIndex(const TSearchIndex&) = delete;
    TSearchIndex& operator=(const TSearchIndex&) = delete;

    // Maps path and checks its header, table and section headers; false (and
    // the object empty) when it is absent, foreign or damaged.
    bool Open(const std::string& path);
    // The same over bytes the caller keeps alive.
    bool OpenBytes(std::string_view bytes);
    void Close();

    bool IsOpen() const { return open_; }
    std::uint64_t ByteSize() const { return bytes_.size(); }
    const std::vector<TIndexSection>& Sections() const { return sections_; }
    // The section of the archive file fileName, or nullptr.
    const TIndexSection* Find(std::string_view fileName) const;

private:
    bool Parse();

    void* map_ = nullptr;
    std::size_t mapSize_ = 0;
    std::string_view bytes_;
    bool open_ = false;
    std::vector<TIndexSection> sections_;
    std::unordered_map<std::string_view, std::size_t> byName_;
};

// The trigrams of the upper-cased (ASCII letters) bytes of text, each three
// bytes with the first in the low byte, appended to out.
void AppendTrigrams(std::string_view text, std::vector<std::uint32_t>& out);

} // namespace orbisk
