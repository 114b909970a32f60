#pragma once
// The directory walk: turns the tree below a source folder into the
// directories and entries of the archive a scan builds, with the contents of
// ZIP and RAR files as folders of their own and notes and descriptions taken
// from text files and MP3 tags.
//
// Within a directory the walk records the entries, sorts them (folders first),
// marks and describes them in a second pass and descends in a third, depth
// first. It never follows a symbolic link (a link is recorded as a file of its
// own size) and never descends into another file system mounted below the
// source (the mount point is recorded as an empty folder). Only regular files
// are read for their content (text, tags, ZIP and RAR listings); a pipe or a
// device is recorded, never opened. A name holding a byte that a catalogue
// line cannot carry is recorded with "_" in its place and still read under its
// own name.
#include <atomic>
#include <cstdint>
#include <dirent.h>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

#include "core/catalog/Archive.h"
#include "core/catalog/Host.h"
#include "core/scan/DateFormat.h"
#include "core/scan/PackedListing.h"
#include "core/scan/ProgressSink.h"
#include "core/scan/ZipReader.h"

namespace orbisk {

// Every switch the walk reads. The windows own one record and change it when
// the user clicks; the walk reads each field at the moment it needs it, so a
// switch changed during a scan affects the entries processed afterwards.
struct TWalkOptions {
    // scan window
    bool Progress = true;       // "Zobrazovat načítání": a progress line per entry
    bool Zip = false;           // "včetně archivů ZIP"
    bool Rar = false;           // "včetně archivů RAR"
    bool Text = false;          // "vkládat do Popisu ze souborů"
    int DescriptionLimit = 500; // bytes read per text file, 80 to 8096
    std::string SortingLine = "Uspořádávám ..."; // hidden text of the scan window
    // extension lists window
    bool OnlyFolders = false;   // "Načítat pouze adresáře"
    bool SelectedTypes = false; // "Načítat jen vybrané typy souborů"
    bool Id3v1 = false;         // "vlož obsah ID3v1 tagu do Popisu"
    bool Id3v2 = false;         // "vlož obsah ID3v2 tagu do Popisu"
    bool ReplaceName = false;   // "nahradit xxxx.MP3 názvem  (nedoporučuje se)"
    bool NameToNote = false;    // "vlož Název do Poznámky"
    // extensions with their leading dot, compared without regard to case
    std::vector<std::string> DescriptionExtensions;
    std::vector<std::string> ScanExtensions;
};

enum class TPackedKind { Zip, Rar };

// The source path as the walk prefixes it: without trailing "/", so the root
// "/" gives the empty text.
std::string SourceRootFor(std::string_view source);

// Sorts the slots first to last of recs in place: by the first character of
// Attr, highest byte first (so folders "d" precede plain files " "), then by
// Name with a to z folded to upper case, byte by byte. Entries with equal keys
// keep their order.
void SortEntries(std::vector<TRec>& recs, std::int32_t first, std::int32_t last);

// The order SortEntries gives: element k is the offset from first of the
// record that goes to slot first + k.
std::vector<std::int32_t> SortOrder(const std::vector<TRec>& recs, std::int32_t first,
                                    std::int32_t last);

class TWalker {
public:
    // sourceRoot as SourceRootFor gives it. scanRunning is the caller's flag;
    // clearing it (from a Pump of host, a signal handler or another thread)
    // cancels the walk.
    TWalker(TArch& scanArchive, std::string sourceRoot, const TWalkOptions& options,
            ProgressSink& progress, const std::atomic<bool>& scanRunning, Host& host,
            const TDateFormatter& dates);

    // Records the directory path (relative to the source root, "\" between
    // components and in front, no trailing "\"; the root is the empty text)
    // and everything below it.
    void WalkDirectory(std::string_view path);

    // Sorts the Recs slots first to last of the archive (see the free
    // SortEntries); nothing happens once the scan has been cancelled.
    void SortEntries(std::int32_t first, std::int32_t last);

    // Records the rows of a packed file's listing whose names begin with
    // prefix as the directory of container below the directory being walked,
    // and recurses for the folders among them.
    void AddPackedContents(TPackedKind kind, const std::string& container,
                           const std::string& prefix, const TPackedListing& listing);

    // Folders that could not be opened or read to their end; each is recorded
    // as an empty directory.
    int UnreadableFolders() const { return unreadableFolders_; }
    // Items named by a folder's enumeration whose status could not be read:
    // one that vanished is left out, any other is recorded as far as the
    // enumeration tells (size "0", date "?").
    int UnreadableEntries() const { return unreadableEntries_; }

private:
    // What the walk keeps beside a recorded slot until the directory is done.
    struct TSlot {
        std::string fsName;       // the name on disk when it differs from Name
        bool regular = false;     // a regular file, whose content may be read
        bool otherDevice = false; // a folder on another file system
    };
    class TPackedGroups;

    bool Running() const { return scanRunning_.load(std::memory_order_relaxed); }
    void WalkInto(const std::string& path, const std::string& fsDir, bool skipContents);
    void Enumerate(const std::string& path, const std::string& fsDir, std::vector<TSlot>& slots);
    void RecordItem(int dirFd, const dirent& item, bool dosAttributes, const std::string& path,
                    std::vector<TSlot>& slots);
    void SortSlots(std::int32_t first, std::int32_t last, std::vector<TSlot>& slots);
    void DescribeEntries(const std::string& fsDir, std::int32_t start, std::vector<TSlot>& slots);
    void Descend(const std::string& path, const std::string& fsDir, std::int32_t start,
                 std::int32_t end, const std::vector<TSlot>& slots);
    void ListZip(const std::string& file, const std::string& container);
    void ListRar(const std::string& file, const std::string& container);
    void AddPackedLevel(TPackedKind kind, const std::string& container, const std::string& prefix,
                        const TPackedListing& listing, TPackedGroups& groups);
    void AddProgressLine(std::string_view line);
    // Valid until the next call.
    std::string_view DateText(time_t seconds);

    TArch& arch_;
    std::string sourceRoot_;
    const TWalkOptions& options_;
    ProgressSink& progress_;
    const std::atomic<bool>& scanRunning_;
    Host& host_;
    PumpTicker ticker_;
    const TDateFormatter& dates_;
    TZipDir zip_;
    std::string currentPath_; // the directory whose packed files are being listed
    dev_t rootDevice_ = 0;
    bool haveRootDevice_ = false;
    int dosAttributes_ = -1; // whether the source keeps DOS attribute bits; -1: not asked yet
    int unreadableFolders_ = 0;
    int unreadableEntries_ = 0;
    time_t lastDateSeconds_ = 0;
    std::string lastDate_;
};

} // namespace orbisk
