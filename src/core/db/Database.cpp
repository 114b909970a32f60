#include "core/db/Database.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>

#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ArchiveList.h"
#include "core/catalog/Common.h"
#include "core/catalog/PartialRead.h"

namespace orbisk {

namespace {

// Bytes no field may carry: a TAB splits fields, CR and LF end the line,
// 0x1A ends the whole file for the reader.
constexpr std::string_view kLineBreaking{"\t\r\n\x1a", 4};
// The description takes the rest of its line, TABs included.
constexpr std::string_view kDescriptionBreaking{"\r\n\x1a", 3};

std::string Clean(std::string_view text, std::string_view set) {
    if (text.find_first_of(set) == std::string_view::npos) return std::string(text);
    return BlankOut(text, set);
}

bool IsMissing(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

bool IsPrefixOf(const std::vector<std::string>& head, const std::vector<std::string>& whole) {
    return head.size() < whole.size() && std::equal(head.begin(), head.end(), whole.begin());
}

} // namespace

std::string DatabasePath(std::string_view folder) {
    if (folder.empty()) return std::string(kDatabaseFile);
    std::string path(folder);
    if (path.back() != '/') path.push_back('/');
    return path.append(kDatabaseFile);
}

TRec MakeDbItem(const TDbItem& item) {
    TRec rec;
    rec.Name = Clean(item.Name, kLineBreaking);
    rec.Size = Clean(item.Size, kLineBreaking);
    rec.Date = Clean(item.Archive, kLineBreaking);
    rec.Attr = Clean(item.Path, kLineBreaking);
    rec.Note = Clean(item.Note, kLineBreaking);
    rec.Description = Clean(item.Description, kDescriptionBreaking);
    rec.Present = 1;
    return rec;
}

std::string CleanCategoryPath(std::string_view path) {
    return Clean(path, kLineBreaking);
}

std::vector<std::string> DescriptionLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        std::size_t mark = text.find(kLineMark);
        lines.emplace_back(text.substr(0, mark));
        if (mark == std::string_view::npos) break;
        text.remove_prefix(mark + 1);
    }
    return lines;
}

std::string JoinDescription(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text.append(line).push_back(kLineMark);
    return text;
}

std::vector<std::string> CategoryComponents(std::string_view path) {
    std::vector<std::string> parts = SplitTreePath(path);
    if (parts.empty()) parts.emplace_back();
    return parts;
}

TDbItem ItemFromEntries(const TArch& arch, std::string_view path,
                        const std::vector<std::int32_t>& recs) {
    TDbItem item;
    item.Archive = arch.Head.Name;
    const TDirIndex dirs(arch);
    std::int64_t total = 0;
    for (std::int32_t rec : recs)
        total += ItemSize(arch, path, rec, dirs);
    item.Size = FormatSize(std::to_string(total));
    if (recs.size() == 1) {
        const TRec& rec = arch.Recs[static_cast<std::size_t>(recs.front())];
        item.Name = rec.Name.str();
        item.Path = std::string(path) + rec.Name;
        item.Note = rec.Note.str();
        item.Description = rec.Description.str();
    } else {
        item.Name = std::string(path);
        item.Path = std::string(path);
    }
    return item;
}

bool TDatabase::Open(std::string path, Host& host, bool createMissing) {
    arch_ = TArch{};
    arch_.Head.FileName = std::move(path);
    read_ = false;
    CurrentPath = std::string(kRootCategory);
    CurrentItem = 0;
    if (createMissing && IsMissing(arch_.Head.FileName) && !WriteArchive(arch_, host)) return false;
    read_ = static_cast<bool>(ReadArchive(arch_, host));
    return read_;
}

bool TDatabase::OpenForViewing(std::string path, Host& host) {
    arch_ = TArch{};
    arch_.Head.FileName = std::move(path);
    CurrentPath = std::string(kRootCategory);
    CurrentItem = 0;
    read_ = static_cast<bool>(ReadArchiveKeepingRead(arch_, host));
    return read_;
}

TDbSave TDatabase::Save(Host& host) {
    if (!read_) return TDbSave::NotRead;
    return WriteArchive(arch_, host) ? TDbSave::Saved : TDbSave::Failed;
}

const TDir& TDatabase::Category(std::int32_t index) const {
    return arch_.Dirs[static_cast<std::size_t>(index)];
}

const TRec& TDatabase::Item(std::int32_t index) const {
    return arch_.Recs[static_cast<std::size_t>(index)];
}

std::int32_t TDatabase::FindCategory(std::string_view path) const {
    return arch_.FindDir(CleanCategoryPath(path));
}

TEntryRange TDatabase::ItemsOf(std::string_view path) const {
    return EntriesOf(arch_, FindCategory(path));
}

std::int32_t TDatabase::CategoryOfItem(std::int32_t index) const {
    for (std::int32_t i = 1; i <= arch_.DirCount; ++i) {
        const TDir& dir = Category(i);
        if (dir.Count > 0 && index >= dir.First && index < dir.First + dir.Count) return i;
    }
    return 0;
}

std::int32_t TDatabase::AddCategory(std::string_view path) {
    if (std::int32_t found = FindCategory(path)) return found;
    arch_.AddDir(CleanCategoryPath(path));
    return arch_.DirCount;
}

std::int32_t TDatabase::InsertItem(std::string_view path, TRec item) {
    const std::int32_t cat = AddCategory(path);
    ++arch_.RecCount;
    GrowAfterIncrement(arch_.Recs, arch_.RecCount);
    const std::int32_t m = arch_.RecCount;
    TDir& dir = arch_.Dirs[static_cast<std::size_t>(cat)];
    if (dir.Count == 0) dir.First = m;
    ++dir.Count;
    const std::int32_t first = dir.First;
    auto recs = arch_.Recs.begin();
    std::move_backward(recs + first, recs + m, recs + m + 1);
    item.Present = 1;
    arch_.Recs[static_cast<std::size_t>(first)] = std::move(item);
    for (std::int32_t i = 1; i <= arch_.DirCount; ++i) {
        TDir& other = arch_.Dirs[static_cast<std::size_t>(i)];
        if (i != cat && other.First > first) ++other.First;
    }
    return first;
}

std::optional<TRec> TDatabase::RemoveItem(std::int32_t index) {
    if (!ValidItem(index)) return std::nullopt;
    const std::int32_t cat = CategoryOfItem(index);
    TRec removed = std::move(arch_.Recs[static_cast<std::size_t>(index)]);
    auto recs = arch_.Recs.begin();
    std::move(recs + index + 1, recs + arch_.RecCount + 1, recs + index);
    arch_.Recs[static_cast<std::size_t>(arch_.RecCount)] = TRec{};
    --arch_.RecCount;
    if (cat != 0) --arch_.Dirs[static_cast<std::size_t>(cat)].Count;
    // Every run behind the removed item moves down by one.
    for (std::int32_t i = 1; i <= arch_.DirCount; ++i) {
        TDir& dir = arch_.Dirs[static_cast<std::size_t>(i)];
        if (dir.First > index) --dir.First;
    }
    if (CurrentItem == index) CurrentItem = 0;
    return removed;
}

std::int32_t TDatabase::MoveItem(std::int32_t index, std::string_view toPath) {
    std::optional<TRec> item = RemoveItem(index);
    if (!item) return 0;
    return InsertItem(toPath, std::move(*item));
}

bool TDatabase::HasSubcategories(std::int32_t index) const {
    if (!ValidCategory(index)) return false;
    const std::vector<std::string> own = CategoryComponents(Category(index).Path);
    for (std::int32_t i = 1; i <= arch_.DirCount; ++i)
        if (i != index && IsPrefixOf(own, CategoryComponents(Category(i).Path))) return true;
    return false;
}

bool TDatabase::CanRemoveCategory(std::int32_t index) const {
    return ValidCategory(index) && Category(index).Count == 0 && !HasSubcategories(index);
}

bool TDatabase::RemoveCategory(std::int32_t index) {
    if (!CanRemoveCategory(index)) return false;
    auto dirs = arch_.Dirs.begin();
    std::move(dirs + index + 1, dirs + arch_.DirCount + 1, dirs + index);
    arch_.Dirs[static_cast<std::size_t>(arch_.DirCount)] = TDir{};
    --arch_.DirCount;
    return true;
}

void TDatabase::UpdateItem(std::int32_t index, std::string_view name, std::string_view size,
                           std::string_view archive, std::string_view path) {
    if (!ValidItem(index)) return;
    TRec& rec = arch_.Recs[static_cast<std::size_t>(index)];
    rec.Name = Clean(name, kLineBreaking);
    rec.Size = Clean(size, kLineBreaking);
    rec.Date = Clean(archive, kLineBreaking);
    rec.Attr = Clean(path, kLineBreaking);
}

void TDatabase::SetDescription(std::int32_t index, const std::vector<std::string>& lines) {
    if (!ValidItem(index)) return;
    std::string text;
    for (const std::string& line : lines)
        text.append(Clean(line, std::string_view("\r\n\x1a\x07", 4))).push_back(kLineMark);
    arch_.Recs[static_cast<std::size_t>(index)].Description = text;
}

} // namespace orbisk
