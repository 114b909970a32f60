// Building the archive list of a folder from its cache file and the headers
// of the archives the cache does not know.
#include "core/catalog/ArchiveList.h"

#include "core/catalog/ArchiveFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <optional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <unordered_set>

#include "core/catalog/Common.h"
#include "core/catalog/ProgramValues.h"
#include "core/catalog/TextFile.h"

namespace orbisk {

namespace detail {
TFileStatus SaveArchiveListCache(const std::string& folder, std::string_view bytes);
} // namespace detail

std::int32_t TArchiveList::Append(THead row) {
    Rows.push_back(std::move(row));
    return ArchiveCount();
}

std::string TArchiveList::PathOf(std::int32_t slot) const {
    return JoinPath(Folder, (*this)[slot].FileName);
}

void TArchiveList::Clear() {
    Rows.clear();
    Rows.emplace_back();
}

std::string TreePathOf(std::string_view medium, std::string_view typ, std::string_view subTyp) {
    std::string path;
    path.reserve(medium.size() + typ.size() + subTyp.size() + 4);
    path.append("\\").append(medium).append("\\");
    if (!typ.empty()) {
        path.append(typ).append("\\");
        if (!subTyp.empty()) path.append(subTyp).append("\\");
    }
    return path;
}

std::vector<std::string> SplitTreePath(std::string_view treePath) {
    std::vector<std::string> parts;
    if (treePath.empty()) return parts;
    std::string_view rest = treePath.substr(1);
    while (!rest.empty()) {
        std::size_t slash = rest.find('\\');
        parts.emplace_back(rest.substr(0, slash));
        if (slash == std::string_view::npos) break;
        rest.remove_prefix(slash + 1);
    }
    return parts;
}

void SetTreePath(THead& row, std::string treePath) {
    std::string* fields[3] = {&row.Medium, &row.Typ, &row.SubTyp};
    std::string_view rest =
        treePath.empty() ? std::string_view{} : std::string_view(treePath).substr(1);
    for (std::string* field : fields) {
        std::size_t slash = rest.find('\\');
        field->assign(rest.substr(0, slash));
        rest = slash == std::string_view::npos ? std::string_view{} : rest.substr(slash + 1);
    }
    row.TreePath = std::move(treePath);
}

THead ListRowOf(const THead& header, std::string fileName) {
    THead row;
    row.FileName = std::move(fileName);
    row.Name = header.Name;
    row.Typ = header.Typ;
    row.SubTyp = header.SubTyp;
    row.Medium = header.Medium.empty() ? std::string(kNoMedium) : header.Medium;
    row.Owner = header.Owner;
    row.Description = header.Description;
    row.TreePath = TreePathOf(row.Medium, row.Typ, row.SubTyp);
    row.Listed = 1;
    return row;
}

namespace {

// The names of one folder, read once into one block of text with an
// open-addressing table over them (a folder of thousands of archives is
// listed at the start of every search, so no name gets an allocation of its
// own): which of them are regular files (the cached lines only test
// existence), which look like archives, and which a row has taken.
class FolderNames {
public:
    explicit FolderNames(const std::string& folder) : folder_(folder) {
        dir_ = ::opendir(folder.c_str());
        if (!dir_) return;
        while (const dirent* e = ::readdir(dir_)) {
            std::string_view name = e->d_name;
            if (name == "." || name == "..") continue;
            names_.push_back({static_cast<std::uint32_t>(text_.size()),
                              static_cast<std::uint32_t>(name.size()), e->d_type, false});
            text_.append(name);
        }
        std::size_t slots = 16;
        while (slots < names_.size() * 2)
            slots *= 2;
        table_.assign(slots, 0);
        for (std::uint32_t k = 0; k < names_.size(); ++k)
            table_[FreeSlot(NameOf(names_[k]))] = k + 1;
    }
    ~FolderNames() {
        if (dir_) ::closedir(dir_);
    }
    FolderNames(const FolderNames&) = delete;
    FolderNames& operator=(const FolderNames&) = delete;

    bool Read() const { return dir_ != nullptr; }
    std::size_t Count() const { return names_.size(); }
    int Fd() const { return dir_ ? ::dirfd(dir_) : -1; }

    // True when name is a file of the folder (a link is followed). A folder
    // that may be entered but not listed is asked name by name.
    bool IsFile(std::string_view name) {
        if (!dir_) {
            struct stat st {};
            return ::stat(JoinPath(folder_, std::string(name)).c_str(), &st) == 0 &&
                   S_ISREG(st.st_mode);
        }
        TName* entry = Find(name);
        return entry != nullptr && IsFile(*entry);
    }

    // Marks name as the file of a row; false when a row has it already.
    bool Take(std::string_view name) {
        if (TName* entry = dir_ ? Find(name) : nullptr) {
            if (entry->Taken) return false;
            entry->Taken = true;
            return true;
        }
        return takenUnlisted_.emplace(name).second;
    }

    // The one file whose name equals name without regard to the case of
    // ASCII letters; empty when there is none or more than one.
    std::string FileMatchingCase(std::string_view name) {
        if (byFolded_.empty())
            for (std::uint32_t k = 0; k < names_.size(); ++k)
                byFolded_.emplace(Folded(NameOf(names_[k])), k);
        std::string found;
        auto [from, to] = byFolded_.equal_range(Folded(name));
        for (auto it = from; it != to; ++it) {
            if (!IsFile(names_[it->second])) continue;
            if (!found.empty()) return {};
            found = NameOf(names_[it->second]);
        }
        return found;
    }

    // The files no row has taken whose name ends in ".cd" in any letter
    // case, in name order without regard to the case of ASCII letters (then
    // byte order).
    std::vector<std::string_view> UntakenArchiveFiles() {
        std::vector<std::string_view> names;
        for (TName& entry : names_) {
            if (entry.Taken || entry.Size < 3) continue;
            std::string_view name = NameOf(entry);
            std::string_view ext = name.substr(name.size() - 3);
            if (ext[0] == '.' && (ext[1] | 0x20) == 'c' && (ext[2] | 0x20) == 'd' && IsFile(entry))
                names.push_back(name);
        }
        std::sort(names.begin(), names.end(), FoldedLess);
        return names;
    }

private:
    struct TName {
        std::uint32_t Offset, Size;
        unsigned char Kind; // d_type, DT_REG or DT_DIR once a link is resolved
        bool Taken;
    };

    std::string_view NameOf(const TName& entry) const {
        return std::string_view(text_).substr(entry.Offset, entry.Size);
    }
    std::size_t FreeSlot(std::string_view name) const {
        std::size_t k = std::hash<std::string_view>{}(name) & (table_.size() - 1);
        while (table_[k] != 0)
            k = (k + 1) & (table_.size() - 1);
        return k;
    }
    TName* Find(std::string_view name) {
        if (table_.empty()) return nullptr;
        for (std::size_t k = std::hash<std::string_view>{}(name) & (table_.size() - 1);
             table_[k] != 0; k = (k + 1) & (table_.size() - 1)) {
            TName& entry = names_[table_[k] - 1];
            if (NameOf(entry) == name) return &entry;
        }
        return nullptr;
    }
    bool IsFile(TName& entry) {
        if (entry.Kind == DT_REG) return true;
        if (entry.Kind != DT_LNK && entry.Kind != DT_UNKNOWN) return false;
        struct stat st {};
        entry.Kind =
            ::fstatat(Fd(), std::string(NameOf(entry)).c_str(), &st, 0) == 0 && S_ISREG(st.st_mode)
                ? DT_REG
                : DT_DIR; // resolved once: a file or not
        return entry.Kind == DT_REG;
    }

    static char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c; }
    static std::string Folded(std::string_view name) {
        std::string folded(name);
        for (char& c : folded)
            c = Fold(c);
        return folded;
    }
    static bool FoldedLess(std::string_view a, std::string_view b) {
        std::size_t n = std::min(a.size(), b.size());
        for (std::size_t i = 0; i < n; ++i) {
            char x = Fold(a[i]), y = Fold(b[i]);
            if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        }
        if (a.size() != b.size()) return a.size() < b.size();
        return a < b;
    }

    std::string folder_;
    DIR* dir_ = nullptr;
    std::string text_;                 // the names back to back
    std::vector<TName> names_;         // in the order the folder gave them
    std::vector<std::uint32_t> table_; // 1 + index into names_, 0 when free
    std::unordered_multimap<std::string, std::uint32_t> byFolded_; // built on first use
    std::unordered_set<std::string> takenUnlisted_; // rows of a folder that cannot be listed
};

// Reads the header lines of text into head. Returns true when the "<tree>"
// line was reached. Unless atEnd, the last line is only taken when its CR has
// been read, as more of the file may follow.
bool ScanHeaderLines(std::string_view text, bool atEnd, THead& head) {
    if (const void* eof = std::memchr(text.data(), 0x1A, text.size())) {
        text =
            text.substr(0, static_cast<std::size_t>(static_cast<const char*>(eof) - text.data()));
        atEnd = true;
    }
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t cr = text.find('\r', pos);
        if (cr == std::string_view::npos && !atEnd) return false;
        std::string_view line = text.substr(pos, cr == std::string_view::npos ? cr : cr - pos);
        if (line == "<tree>") return true;
        ReadHeaderLine(line, head, THeaderKeys::ListFields);
        if (cr == std::string_view::npos) break;
        pos = cr + 1;
        if (pos < text.size() && text[pos] == '\n') ++pos;
    }
    return atEnd;
}

// No header a writer produces comes near this; a file without a "<tree>"
// line (or one huge line) is not read further than this into memory.
constexpr std::size_t kMaxListHeader = 16u << 20;

// Reads the header of an archive file of the folder: the first 4 KiB, and
// more only while the "<tree>" line has not been reached, up to
// kMaxListHeader. Keys that are missing give empty values. False when the
// file cannot be read.
bool ReadListHeader(int dirFd, const std::string& name, THead& head) {
    TUniqueFd fd;
    if (!OpenRegularFile(name, fd, nullptr, dirFd)) return false;
    std::string buffer;
    std::size_t used = 0;
    std::size_t chunk = 4096;
    for (;;) {
        buffer.resize(used + chunk);
        const ssize_t got = ReadAt(fd.Get(), used, buffer.data() + used, chunk);
        if (got < 0) return false;
        used += static_cast<std::size_t>(got);
        head = THead{};
        const bool last = static_cast<std::size_t>(got) < chunk || used >= kMaxListHeader;
        if (ScanHeaderLines(std::string_view(buffer.data(), used), last, head) || last) break;
        // The header goes on: read as much again as has been read.
        chunk = std::min(used, kMaxListHeader - used);
    }
    return true;
}

// seen holds parts of the rows' own paths: no copy is made of a path met
// before.
void AddCategoryPaths(std::string_view treePath, std::unordered_set<std::string_view>& seen,
                      std::vector<std::string>& out) {
    for (std::size_t slash = treePath.find('\\', 1); slash != std::string_view::npos;
         slash = treePath.find('\\', slash + 1)) {
        std::string_view prefix = treePath.substr(0, slash + 1);
        if (seen.emplace(prefix).second) out.emplace_back(prefix);
    }
}

// Has the system back the room reserved for rows in one call rather than
// page by page as the rows are first written: a fault per 4 KiB page costs
// more than the rows written into it, in a virtual machine several times
// more. Systems without MADV_POPULATE_WRITE (Linux before 5.14) refuse it.
void BackReservedRows(std::vector<THead>& rows) {
#ifdef MADV_POPULATE_WRITE
    constexpr std::uintptr_t kPage = 4096;
    const auto from =
        (reinterpret_cast<std::uintptr_t>(rows.data() + rows.size()) + kPage - 1) & ~(kPage - 1);
    const auto to = reinterpret_cast<std::uintptr_t>(rows.data() + rows.capacity()) & ~(kPage - 1);
    if (to > from) ::madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
#else
    (void)rows;
#endif
}

// The file names of every line of the cache.
std::unordered_set<std::string_view> CachedFileNames(std::string_view cacheText) {
    std::unordered_set<std::string_view> named;
    TCacheLineReader reader(cacheText);
    for (TCacheLineView line; reader.Next(line);)
        named.insert(line.FileName);
    return named;
}

// Takes the cached lines whose file still exists, the first line of each
// file name only. A name that is no file may stand for a file whose name
// differs only in case (the cache was written on Windows): it takes the real
// name when exactly one file matches and no cached line names that file
// exactly.
void TakeCachedLines(std::string_view cacheText, FolderNames& names, TArchiveList& list,
                     Host& host) {
    PumpTicker ticker(host);
    // One row per line at most, and per name of the folder: room is made
    // once, for the smaller count.
    std::size_t rows =
        1 + static_cast<std::size_t>(std::count(cacheText.begin(), cacheText.end(), '\r'));
    if (names.Read()) rows = std::min(rows, names.Count());
    list.Rows.reserve(list.Rows.size() + rows);
    BackReservedRows(list.Rows);
    std::optional<std::unordered_set<std::string_view>> named; // made when first needed
    std::string real;
    TCacheLineReader reader(cacheText);
    for (TCacheLineView line; reader.Next(line);) {
        ticker.Tick();
        if (line.TreePath.empty() || line.Name.empty() || line.FileName.empty()) continue;
        std::string_view fileName = line.FileName;
        if (!names.IsFile(fileName)) {
            real = names.FileMatchingCase(fileName);
            if (real.empty()) continue;
            if (!named) named = CachedFileNames(cacheText);
            if (named->count(real) != 0) continue;
            fileName = real;
        }
        if (!names.Take(fileName)) continue;
        THead& row = list.Rows.emplace_back();
        row.FileName = fileName;
        row.Name = line.Name;
        row.Description = line.Description;
        row.Owner = line.Owner;
        SetTreePath(row, std::string(line.TreePath));
        row.Listed = 1;
    }
}

} // namespace

TBuildResult BuildArchiveList(const std::string& folder, TArchiveList& list, Host& host,
                              TListCache cache) {
    TBuildResult result;
    list.Clear();
    list.Folder = folder;
    FolderNames names(folder);
    result.FolderRead = names.Read();

    std::string cacheText;
    const bool cacheRead = static_cast<bool>(
        ReadWholeFile(JoinPath(folder, std::string(kArchiveListFile)), cacheText));

    TakeCachedLines(cacheText, names, list, host);
    if (names.Read()) {
        for (const std::string_view name : names.UntakenArchiveFiles()) {
            THead header;
            bool read = ReadListHeader(names.Fd(), std::string(name), header);
            host.Pump();
            ++result.HeadersRead;
            if (!read || header.Name.empty()) continue;
            list.Append(ListRowOf(header, std::string(name)));
        }
    }

    // Every row names a file no other row names (the folder's names are
    // taken once each), so there are no duplicates to drop.
    result.ListedCount = list.ArchiveCount();
    // The cache is written only when its bytes change: a warm build of a
    // folder nobody touched writes nothing.
    if (cache == TListCache::Update) {
        const std::string bytes = FormatArchiveListCache(list);
        result.CacheSaved =
            (cacheRead && bytes == cacheText) || detail::SaveArchiveListCache(folder, bytes).ok;
    }

    result.ValueLists.AddAll(list.Rows, 1);
    result.CategoryPaths = CategoryPaths(list);
    return result;
}

std::vector<std::int32_t> ArchivesAtPath(const TArchiveList& list, std::string_view treePath) {
    std::vector<std::int32_t> slots;
    for (std::int32_t slot = 1; slot <= list.ArchiveCount(); ++slot)
        if (list[slot].Listed != 0 && list[slot].TreePath == treePath) slots.push_back(slot);
    return slots;
}

std::vector<std::string> CategoryPaths(const TArchiveList& list) {
    std::unordered_set<std::string_view> seen;
    std::vector<std::string> paths;
    for (std::int32_t slot = 1; slot <= list.ArchiveCount(); ++slot)
        if (list[slot].Listed != 0) AddCategoryPaths(list[slot].TreePath, seen, paths);
    return paths;
}

std::string WorkingFolderCaption(std::string_view folder, std::string_view programDir) {
    std::string text(folder);
    if (text != "/") text.push_back('/');
    std::string prefix(programDir);
    prefix.push_back('/');
    if (!programDir.empty() && text.starts_with(prefix)) {
        text.erase(0, programDir.size());
        text.pop_back();
    }
    return text;
}

} // namespace orbisk
