// Keeping the search index of a folder fresh (see IndexedSearch.h).
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <unordered_map>

#include "core/catalog/ProgramValues.h"
#include "core/catalog/TextFile.h"
#include "core/search/ArchivePrefetch.h"
#include "core/search/IndexedSearch.h"

namespace orbisk {

namespace {

// Whether a new file can be made in folder: a temporary file is created and
// removed again (the permission bits alone do not say it for root, nor for a
// read-only mount).
bool FolderWritable(const std::string& folder) {
    std::string name = JoinPath(folder, ".orbisk-probe-XXXXXX");
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(name.c_str());
    return true;
}

std::shared_ptr<const TIndexFile> NoIndexFile() {
    static const auto none = std::make_shared<const TIndexFile>();
    return none;
}

// The state of a file as far as telling a replaced or rewritten one goes.
struct TFileState {
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    timespec Mtime{}, Ctime{};
    bool operator==(const TFileState& o) const {
        return Device == o.Device && Inode == o.Inode && Size == o.Size &&
               Mtime.tv_sec == o.Mtime.tv_sec && Mtime.tv_nsec == o.Mtime.tv_nsec &&
               Ctime.tv_sec == o.Ctime.tv_sec && Ctime.tv_nsec == o.Ctime.tv_nsec;
    }
};

bool StateOf(const std::string& path, TFileState& state) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    state = {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
    return true;
}

// The index file at path, opened (or not, when absent or damaged): the one
// opened before while the file is unchanged, else opened now and kept for
// the next time. A small changes file is read rather than mapped: it is
// checked whole anyway, and mapping and unmapping cost more than reading it. A few folders are
// kept, the one used last longest.
std::shared_ptr<const TIndexFile> OpenIndexFile(const std::string& path, bool small) {
    struct TKept {
        std::string Path;
        TFileState State;
        std::shared_ptr<const TIndexFile> File;
    };
    static std::mutex mutex;
    static std::vector<TKept> kept; // the one used last at the back
    constexpr std::size_t kMostKept = 6;
    TFileState before, after;
    const bool exists = StateOf(path, before);
    std::lock_guard<std::mutex> lock(mutex);
    const auto it =
        std::find_if(kept.begin(), kept.end(), [&](const TKept& k) { return k.Path == path; });
    if (it != kept.end()) {
        TKept entry = std::move(*it);
        kept.erase(it);
        if (exists && entry.State == before) {
            kept.push_back(std::move(entry));
            return kept.back().File;
        }
    }
    if (!exists) return NoIndexFile();
    auto file = std::make_shared<TIndexFile>();
    constexpr off_t kReadBelow = 4 << 20;
    if (!(small && before.Size < kReadBelow ? file->Read(path) : file->Open(path)))
        return NoIndexFile();
    // A file checked whole is stamped, so that the next opening need not
    // check it again; stamping changes its times, not its bytes.
    if (file->CheckedWhole()) file->Stamp(path);
    // A file replaced while it was being opened is used now, not kept.
    if (StateOf(path, after) && after.Device == before.Device && after.Inode == before.Inode &&
        after.Size == before.Size) {
        if (kept.size() == kMostKept) kept.erase(kept.begin());
        kept.push_back({path, after, file});
    }
    return file;
}

// One listed archive during a refresh.
struct TRow {
    std::int32_t Slot = 0; // the first of the list's rows naming its file
    TArchiveIdentity Id;   // its name alone until stated or read
    bool Stated = false;
    std::string Path;           // set when it is to be read
    TSearchIndex::TPlace Place; // where it is fresh, if anywhere
};

// The place of id in file when the file holds it in that state.
bool FreshIn(const TIndexFile& file, const TArchiveIdentity& id, TSearchIndex::TPlace& place) {
    if (!file.IsOpen()) return false;
    const std::int64_t a = file.Find(id.FileName);
    if (a < 0 || !file.HoldsState(static_cast<std::uint32_t>(a), id)) return false;
    place = {&file, static_cast<std::uint32_t>(a)};
    return true;
}

// Reads file and makes its segment from the bytes, without parsing them
// into an archive (Prepared stays empty when the file cannot be read or the
// archive is too large to index).
void LoadSegment(const std::string& file, TPrefetched& item) {
    item.Prepared.clear();
    item.PreparedTail = {};
    item.Read = static_cast<bool>(ReadWholeFile(file, item.Text, kMaxWholeFile, &item.Stat));
    if (!item.Read) return;
    TSegmentBytes bytes;
    bytes.Front.swap(item.Prepared);
    BuildIndexSegment(item.Text, bytes);
    item.Prepared.swap(bytes.Front);
    item.PreparedTail = bytes.Text;
}

// The segments of archive files made one after the other, in their order: on
// reader threads as a search reads archives, or with one thread into memory
// kept for the next refresh.
class TSegmentMaker {
public:
    TSegmentMaker(std::vector<std::string> files, int threads) : files_(std::move(files)) {
        if (threads > 1 && files_.size() > 1)
            prefetch_ = std::make_unique<TArchivePrefetch>(files_, threads - 1, nullptr, nullptr,
                                                           LoadSegment);
    }
    // The next file's segment (Prepared empty when it could not be made).
    const TPrefetched& Next() {
        if (prefetch_) return *prefetch_->Next();
        thread_local TPrefetched item;
        LoadSegment(files_[next_++], item);
        return item;
    }

private:
    std::vector<std::string> files_;
    std::size_t next_ = 0;
    std::unique_ptr<TArchivePrefetch> prefetch_;
};

} // namespace

// Does one refresh; a class so that it may fill the index's private parts.
class TIndexRefresher {
public:
    TIndexRefresher(const TArchiveList& list, TSearchIndex& index)
        : list_(list), index_(index),
          mainPath_(JoinPath(list.Folder, std::string(kSearchIndexFile))),
          changesPath_(JoinPath(list.Folder, std::string(kSearchIndexChangesFile))) {}

    TIndexRefresh Run(int threads, std::int64_t changesFloor, const std::atomic<bool>* stop) {
        TIndexRefresh refresh;
        index_.Close();
        index_.main_ = OpenIndexFile(mainPath_, false);
        if (index_.main_->IsOpen()) index_.changes_ = OpenIndexFile(changesPath_, true);
        const bool build = !index_.main_->IsOpen();
        StatRows(build ? 1 : threads, build);
        const bool changed = std::any_of(rows_.begin(), rows_.end(),
                                         [](const TRow& row) { return row.Place.File == nullptr; });
        if (build || changed) {
            // Reading every archive for a file that cannot be written would
            // double the search without the index.
            if (build && !FolderWritable(list_.Folder)) {
                index_.Close();
                return refresh;
            }
            std::sort(rows_.begin(), rows_.end(),
                      [](const TRow& x, const TRow& y) { return x.Id.FileName < y.Id.FileName; });
            const TWritten written = Write(build, threads, stop);
            if (written == TWritten::Failed) {
                index_.Close();
                return refresh;
            }
            refresh.Saved = written == TWritten::Saved;
            refresh.Consolidated = build && refresh.Saved;
            refresh.Indexed = indexed_;
            if (refresh.Saved && !build && Consolidate(changesFloor)) {
                if (Write(true, 1, nullptr) != TWritten::Saved) {
                    index_.Close();
                    return refresh;
                }
                refresh.Consolidated = true;
            }
        }
        refresh.Usable = true;
        refresh.Archives = index_.ArchiveCount();
        refresh.Entries = index_.EntryCount();
        refresh.Bytes = index_.main_->ByteSize() + index_.changes_->ByteSize();
        return refresh;
    }

private:
    // Every listed archive once, with its identity and where it is fresh.
    // With threads above 1 a second thread stats the second half of a long
    // list: a stat is a system call each, the bulk of a search's own work.
    // A build from nothing takes each identity from the opened file as it is
    // read instead (nothing can be fresh, and that is the state of the bytes
    // indexed).
    void StatRows(int threads, bool build) {
        std::unordered_map<std::string_view, std::int32_t> seen;
        seen.reserve(static_cast<std::size_t>(list_.ArchiveCount()));
        std::vector<std::int32_t> slots;
        sameAs_.clear();
        for (std::int32_t slot = 1; slot <= list_.ArchiveCount(); ++slot) {
            const THead& head = list_[slot];
            if (head.Listed == 0) continue;
            const auto [it, first] = seen.emplace(head.FileName, slot);
            if (first)
                slots.push_back(slot);
            else
                sameAs_.emplace_back(slot, it->second);
        }
        // Each name is looked up in the folder opened once, which is what
        // joining it to the folder's path names.
        const std::string& folder = list_.Folder;
        const TUniqueFd dir(
            folder.empty() ? -1 : ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        std::vector<TRow> rows(slots.size());
        std::vector<char> stated(slots.size(), 0);
        // Both threads take the next rows in small runs, so that they end
        // together however their speeds differ.
        std::atomic<std::size_t> next{0};
        auto statRows = [&] {
            constexpr std::size_t kRun = 64;
            for (;;) {
                const std::size_t begin = next.fetch_add(kRun);
                if (begin >= slots.size()) return;
                for (std::size_t k = begin; k < std::min(slots.size(), begin + kRun); ++k)
                    stated[k] =
                        build ? NameRow(slots[k], rows[k]) : StatRow(slots[k], dir, rows[k]);
            }
        };
        std::thread helper;
        if (threads > 1 && slots.size() >= 256) {
            try {
                helper = std::thread(statRows);
            } catch (const std::system_error&) {
            }
        }
        statRows();
        if (helper.joinable()) helper.join();
        rows_.reserve(rows.size());
        for (std::size_t k = 0; k < rows.size(); ++k)
            if (stated[k] != 0) rows_.push_back(std::move(rows[k]));
        Place();
    }

    bool NameRow(std::int32_t slot, TRow& row) const {
        row.Slot = slot;
        row.Id.FileName = list_[slot].FileName;
        row.Path = list_.PathOf(slot);
        return true;
    }

    // The identity of the archive of slot and where it is fresh; false when
    // its file is gone (a search reads it itself and shows why).
    bool StatRow(std::int32_t slot, const TUniqueFd& dir, TRow& row) const {
        const THead& head = list_[slot];
        const std::string& folder = list_.Folder;
        row.Slot = slot;
        row.Stated = true;
        const bool relative = !head.FileName.empty() && head.FileName[0] != '/';
        if (relative && (folder.empty() || dir.IsOpen())) {
            if (!StatIdentity(folder.empty() ? AT_FDCWD : dir.Get(), head.FileName, row.Id))
                return false;
        } else {
            if (!StatIdentity(AT_FDCWD, list_.PathOf(slot), row.Id)) return false;
            row.Id.FileName = head.FileName;
        }
        if (!FreshIn(*index_.changes_, row.Id, row.Place) &&
            !FreshIn(*index_.main_, row.Id, row.Place))
            row.Path = list_.PathOf(slot);
        return true;
    }

    void Place() {
        index_.fresh_.clear();
        index_.fresh_.reserve(rows_.size());
        index_.bySlot_.assign(static_cast<std::size_t>(list_.ArchiveCount()) + 1, {});
        for (const TRow& row : rows_) {
            if (row.Place.File == nullptr) continue;
            index_.fresh_.push_back(row.Place);
            index_.bySlot_[static_cast<std::size_t>(row.Slot)] = row.Place;
        }
        for (const auto& [slot, first] : sameAs_)
            index_.bySlot_[static_cast<std::size_t>(slot)] =
                index_.bySlot_[static_cast<std::size_t>(first)];
    }

    // Whether the main file is to be made anew from both files: when the
    // entries of the changes, or the entries of the main file no longer
    // used, pass the floor plus a 64th of the entries used from the main
    // file. A refresh then rewrites the main file about once per 64th of it
    // changed, and the changes file stays a few megabytes (about 20 at ten
    // million entries).
    bool Consolidate(std::int64_t floor) const {
        std::int64_t changed = 0, usedMain = 0;
        for (const TRow& row : rows_) {
            if (row.Place.File == index_.main_.get())
                usedMain += index_.main_->EntriesOf(row.Place.Archive);
            else if (row.Place.File != nullptr)
                changed += row.Place.File->EntriesOf(row.Place.Archive);
        }
        const auto unused = static_cast<std::int64_t>(index_.main_->EntryCount()) - usedMain;
        const std::int64_t limit = floor + usedMain / 64;
        return changed > limit || unused > limit;
    }

    enum class TWritten { Saved, Nothing, Failed };

    // Writes the main file (every row: kept segments copied, the others made
    // now) or the changes file (the rows not fresh in the main file), then
    // opens the files again and places the rows. Nothing when no segment
    // could be made for the changes file; Failed when writing failed or stop
    // came.
    TWritten Write(bool main, int threads, const std::atomic<bool>* stop) {
        std::vector<std::string> files;
        for (TRow& row : rows_)
            if (row.Place.File == nullptr) files.push_back(row.Path);
        const int makers = std::min(threads, 1 + static_cast<int>(files.size() / 2));
        TSegmentMaker maker(std::move(files), makers);
        // The segments to write and their size: a new one takes about the
        // archive file's bytes and a third more.
        std::size_t segments = 0;
        std::uint64_t expected = 0;
        for (const TRow& row : rows_) {
            if (row.Place.File == nullptr) {
                expected += row.Id.Size + row.Id.Size / 3;
                ++segments;
            } else if (row.Place.File != index_.main_.get() || main) {
                expected += row.Place.File->SegmentSizeOf(row.Place.Archive);
                ++segments;
            }
        }
        TIndexWriter writer(main ? mainPath_ : changesPath_, segments);
        writer.Expect(expected);
        indexed_ = 0;
        for (TRow& row : rows_) {
            if (row.Place.File != nullptr) {
                TIndexSegment segment;
                if ((row.Place.File != index_.main_.get() || main) &&
                    row.Place.File->Segment(row.Place.Archive, segment))
                    writer.Add(row.Id, segment.Bytes());
                continue;
            }
            if (stop != nullptr && stop->load(std::memory_order_relaxed)) return TWritten::Failed;
            const TPrefetched& item = maker.Next();
            if (item.Prepared.empty()) continue;
            if (!row.Stated) SetIdentity(item.Stat, row.Id);
            if (writer.Add(row.Id, item.Prepared, item.PreparedTail)) ++indexed_;
        }
        if (!main && indexed_ == 0) return TWritten::Nothing;
        // Kept segments are written straight from the old files' mappings,
        // which stay valid after the new files are renamed over them.
        if (!writer.Finish()) return TWritten::Failed;
        if (main) ::unlink(changesPath_.c_str());
        for (TRow& row : rows_)
            row.Place = {};
        index_.Close();
        index_.main_ = OpenIndexFile(mainPath_, false);
        if (!main) index_.changes_ = OpenIndexFile(changesPath_, true);
        if (!index_.main_->IsOpen() || (!main && !index_.changes_->IsOpen()))
            return TWritten::Failed;
        for (TRow& row : rows_)
            if (!FreshIn(*index_.changes_, row.Id, row.Place))
                FreshIn(*index_.main_, row.Id, row.Place);
        Place();
        return TWritten::Saved;
    }

    const TArchiveList& list_;
    TSearchIndex& index_;
    const std::string mainPath_, changesPath_;
    std::vector<TRow> rows_;
    // Rows naming the file of an earlier row: (row, that earlier row).
    std::vector<std::pair<std::int32_t, std::int32_t>> sameAs_;
    std::int32_t indexed_ = 0;
};

std::int64_t TSearchIndex::EntryCount() const {
    std::int64_t entries = 0;
    for (const TPlace& place : fresh_)
        entries += place.File->EntriesOf(place.Archive);
    return entries;
}

TSearchIndex::TSearchIndex() : main_(NoIndexFile()), changes_(NoIndexFile()) {}

void TSearchIndex::Close() {
    fresh_.clear();
    bySlot_.clear();
    main_ = changes_ = NoIndexFile();
}

TIndexRefresh RefreshSearchIndex(const TArchiveList& list, TSearchIndex& index, int threads,
                                 std::int64_t changesFloor, const std::atomic<bool>* stop) {
    return TIndexRefresher(list, index).Run(threads, changesFloor, stop);
}

} // namespace orbisk
