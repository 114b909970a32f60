#include "core/catalog/Browse.h"

#include <algorithm>
#include <memory>
#include <numeric>

#include "core/catalog/Common.h"
#include "core/search/Match.h"
#include "core/settings/CoreTexts.h"

namespace orbisk {

namespace {

const TRec& RecAt(const TArch& arch, std::int32_t i) {
    return arch.Recs[static_cast<std::size_t>(i)];
}

// Walks the folder path and every folder below it that the test lets the walk
// enter, calling visit for each present entry of each directory reached. A
// directory is entered once, so a damaged file that names a folder twice
// cannot make the walk repeat itself.
template <typename Enter, typename Visit>
void WalkBelow(const TArch& arch, std::string_view path, const TDirIndex& dirs, Enter enter,
               Visit visit) {
    std::vector<bool> seen(static_cast<std::size_t>(std::max(arch.DirCount, 0)) + 1, false);
    std::vector<std::string> pending{std::string(path)};
    while (!pending.empty()) {
        std::string folder = std::move(pending.back());
        pending.pop_back();
        std::int32_t dir = dirs.Find(folder);
        if (dir == 0 || seen[static_cast<std::size_t>(dir)]) continue;
        seen[static_cast<std::size_t>(dir)] = true;
        TEntryRange range = EntriesOf(arch, dir);
        for (std::int32_t i = range.First; i <= range.Last; ++i) {
            const TRec& rec = RecAt(arch, i);
            visit(i, rec);
            if (enter(rec)) pending.push_back(ChildPath(folder, rec.Name));
        }
    }
}

bool CountsAsFolder(const TRec& rec) {
    char kind = EntryKind(rec);
    return kind == 'd' || kind == 'A';
}

std::string SizeColumnText(const TArch& arch, std::string_view path, std::int32_t i,
                           const TListOptions& options, const TDirIndex* dirs) {
    const TRec& rec = RecAt(arch, i);
    switch (EntryKind(rec)) {
    case 'A':
        return std::string(kMergedSizeText);
    case 'd':
        if (options.FolderSizes && dirs)
            return FormatSize(std::to_string(ItemSize(arch, path, i, *dirs)));
        return std::string(kDirSizeText);
    default:
        return FormatSize(rec.Size);
    }
}

} // namespace

std::int64_t SizeValue(std::string_view text) {
    std::int64_t value = 0;
    return ParseSizeNumber(text, value) ? value : 0;
}

std::string ChildPath(std::string_view path, std::string_view name) {
    std::string child;
    child.reserve(path.size() + name.size() + 1);
    child.append(path).append(name).push_back('\\');
    return child;
}

std::string ParentPath(std::string_view path) {
    if (!path.empty()) path.remove_suffix(1);
    while (!path.empty() && path.back() != '\\')
        path.remove_suffix(1);
    return path.empty() ? std::string("\\") : std::string(path);
}

std::int32_t PathDepth(std::string_view path) {
    return static_cast<std::int32_t>(CountChar(path, '\\'));
}

TEntryRange EntriesOf(const TArch& arch, std::int32_t dirIndex) {
    if (dirIndex < 1 || dirIndex > arch.DirCount) return {};
    const TDir& dir = arch.Dirs[static_cast<std::size_t>(dirIndex)];
    std::int64_t first = std::max<std::int64_t>(dir.First, 1);
    // Only slots 1 to RecCount hold entries.
    std::int64_t lastSlot =
        std::min<std::int64_t>(arch.RecCount, static_cast<std::int64_t>(arch.Recs.size()) - 1);
    std::int64_t last = std::min<std::int64_t>(std::int64_t{dir.First} + dir.Count - 1, lastSlot);
    if (last < first) return {};
    return {static_cast<std::int32_t>(first), static_cast<std::int32_t>(last)};
}

TDirIndex::TDirIndex(const TArch& arch) {
    byPath_.reserve(static_cast<std::size_t>(std::max(arch.DirCount, 0)));
    for (std::int32_t i = 1; i <= arch.DirCount; ++i)
        byPath_.emplace(arch.Dirs[static_cast<std::size_t>(i)].Path, i);
}

std::int32_t TDirIndex::Find(std::string_view path) const {
    auto it = byPath_.find(path);
    return it == byPath_.end() ? 0 : it->second;
}

std::int64_t FolderSize(const TArch& arch, std::string_view path, const TDirIndex& dirs) {
    std::int64_t total = 0;
    WalkBelow(
        arch, path, dirs, [](const TRec& rec) { return rec.Present && CountsAsFolder(rec); },
        [&](std::int32_t, const TRec& rec) {
            if (rec.Present && !CountsAsFolder(rec)) total += SizeValue(rec.Size);
        });
    return total;
}

std::int64_t FolderSize(const TArch& arch, std::string_view path) {
    return FolderSize(arch, path, TDirIndex(arch));
}

std::int64_t ItemSize(const TArch& arch, std::string_view path, std::int32_t rec,
                      const TDirIndex& dirs) {
    if (rec < 1 || rec > arch.RecCount) return 0;
    const TRec& r = RecAt(arch, rec);
    if (CountsAsFolder(r)) return FolderSize(arch, ChildPath(path, r.Name), dirs);
    return SizeValue(r.Size);
}

std::int64_t MarkDeleted(TArch& arch, std::string_view path, std::int32_t rec) {
    if (rec < 1 || rec > arch.RecCount) return 0;
    TRec& target = arch.Recs[static_cast<std::size_t>(rec)];
    std::int64_t marked = target.Present ? 1 : 0;
    target.Present = 0;
    if (!HasFolder(target)) return marked;
    std::vector<std::int32_t> below;
    WalkBelow(
        arch, ChildPath(path, target.Name), TDirIndex(arch),
        [](const TRec& rec) { return HasFolder(rec); },
        [&](std::int32_t i, const TRec& rec) {
            if (rec.Present) below.push_back(i);
        });
    for (std::int32_t i : below)
        arch.Recs[static_cast<std::size_t>(i)].Present = 0;
    return marked + static_cast<std::int64_t>(below.size());
}

TFolderListing ListFolderRows(const TArch& arch, std::string_view path,
                              const TListOptions& options) {
    TFolderListing listing;
    if (path != "\\") listing.Rows.push_back({0, kIconParent, true, std::string(kDirSizeText)});
    // Folder sizes walk the subtrees; the index is built only when they are asked for.
    std::unique_ptr<TDirIndex> dirs;
    if (options.FolderSizes) dirs = std::make_unique<TDirIndex>(arch);
    listing.DirIndex = dirs ? dirs->Find(path) : arch.FindDir(path);
    TEntryRange range = EntriesOf(arch, listing.DirIndex);
    listing.Rows.reserve(listing.Rows.size() +
                         static_cast<std::size_t>(std::max(range.Last - range.First + 1, 0)));
    for (std::int32_t i = range.First; i <= range.Last; ++i) {
        const TRec& rec = RecAt(arch, i);
        if (!rec.Present) continue;
        const char kind = EntryKind(rec);
        if (!options.ShowAll && kind != 'd' && rec.Note.empty() && rec.Description.empty())
            continue;
        TFolderRow row{i, 0, kind == 'd', SizeColumnText(arch, path, i, options, dirs.get())};
        if (kind == 'A') {
            row.Picture = kIconMerged;
        } else if (kind == 'd') {
            row.Picture = kIconFolder;
        } else {
            row.Picture = static_cast<std::int8_t>(FileClassIcon(rec.Name));
            ++listing.FileCount;
            listing.ByteTotal += SizeValue(rec.Size);
        }
        listing.Rows.push_back(std::move(row));
    }
    return listing;
}

std::string TotalsText(std::int64_t byteTotal, std::int64_t fileCount,
                       std::string_view filesLabel) {
    std::string text = " " + FormatSize(std::to_string(byteTotal / 1024));
    text.append(CoreText(TCoreText::KilobytesIn)).append(std::to_string(fileCount));
    text.append(filesLabel);
    return text;
}

std::vector<std::size_t> FolderRowOrder(const std::vector<TFolderRow>& rows, int column,
                                        int direction, const TRowTextOrder& textOrder) {
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    // A size that is no number counts as 0, so the order stays a strict weak
    // order (treating it as equal to every size would not be transitive).
    std::vector<std::int64_t> sizes;
    if (column == kColSize) {
        sizes.reserve(rows.size());
        for (const TFolderRow& row : rows)
            sizes.push_back(SizeValue(row.SizeText));
    }
    const int sign = direction < 0 ? -1 : 1;
    auto group = [&](std::size_t i) { return rows[i].Rec == 0 ? 0 : rows[i].Folder ? 1 : 2; };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        int ga = group(a), gb = group(b);
        if (ga != gb) return ga < gb;
        if (ga == 0) return false;
        int c = 0;
        if (column == kColSize)
            c = sizes[a] < sizes[b] ? -1 : sizes[a] > sizes[b] ? 1 : 0;
        else
            c = textOrder(a, b);
        return c * sign < 0;
    });
    return order;
}

} // namespace orbisk
