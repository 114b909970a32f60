#include "core/catalog/Merge.h"

#include "core/catalog/ArchiveFile.h"
#include "core/catalog/Browse.h"
#include "core/catalog/ProgramValues.h"

namespace orbisk {

namespace {

// The texts of the sources' files, which the moved entries point into. The
// merged archive's Text shares ownership of all of them (an aliasing
// pointer to an empty text, since the entries do not lie in one text).
struct TSourceTexts {
    const std::string none;
    std::vector<std::shared_ptr<const std::string>> texts;
};

TRec RootEntry(const THead& source) {
    TRec rec;
    rec.Name = source.Name;
    rec.Size = "0";
    rec.Date = kMergedDate;
    rec.Attr = "Archiv";
    rec.Note = source.Description;
    rec.Description = source.Description;
    rec.Present = 1;
    return rec;
}

} // namespace

void MergeArchives(std::vector<TArch>& sources, TArch& merged) {
    if (sources.empty()) return;
    const THead& first = sources.front().Head;
    THead head = first;
    head.FileName = "m_" + first.FileName;
    head.Name = "Multi " + first.Name;
    head.Medium = kMultiMedium;
    head.TreePath = kMultiTreePath;
    merged.Head = std::move(head);

    std::int32_t dirCount = 1;
    std::int32_t recCount = static_cast<std::int32_t>(sources.size());
    for (const TArch& source : sources) {
        dirCount += source.DirCount;
        recCount += source.RecCount;
    }
    // The arrays are filled by moving the entries straight into place (a
    // million entries are common), then padded to the slots the growth rule
    // gives for the final counts. They keep the storage merged had, as a
    // read into the open archive does.
    std::vector<TDir>& dirs = merged.Dirs;
    dirs.clear();
    dirs.reserve(SlotsForCount(dirCount));
    dirs.emplace_back();
    std::vector<TRec>& recs = merged.Recs;
    recs.clear();
    recs.reserve(SlotsForCount(recCount));
    recs.emplace_back();
    dirs.push_back({"\\", 1, static_cast<std::int32_t>(sources.size())});
    for (const TArch& source : sources)
        recs.push_back(RootEntry(source.Head));
    auto keeper = std::make_shared<TSourceTexts>();
    for (TArch& source : sources) {
        const std::string prefix = "\\" + source.Head.Name;
        for (std::int32_t d = 1; d <= source.DirCount; ++d) {
            const TEntryRange range = EntriesOf(source, d);
            const std::int32_t first = static_cast<std::int32_t>(recs.size());
            for (std::int32_t r = range.First; r <= range.Last; ++r)
                recs.push_back(std::move(source.Recs[static_cast<std::size_t>(r)]));
            dirs.push_back({prefix + source.Dirs[static_cast<std::size_t>(d)].Path, first,
                            static_cast<std::int32_t>(recs.size()) - first});
        }
        if (source.Text) keeper->texts.push_back(source.Text);
    }
    merged.DirCount = static_cast<std::int32_t>(dirs.size()) - 1;
    merged.RecCount = static_cast<std::int32_t>(recs.size()) - 1;
    dirs.resize(SlotsForCount(merged.DirCount));
    recs.resize(SlotsForCount(merged.RecCount));
    merged.Text = std::shared_ptr<const std::string>(keeper, &keeper->none);
}

TMergeResult MergeListedArchives(TArchiveList& list, const std::vector<std::int32_t>& slots,
                                 TArch& merged, Host& host) {
    TMergeResult result;
    std::vector<TArch> sources;
    sources.reserve(slots.size());
    for (std::int32_t slot : slots) {
        if (!list.ValidSlot(slot)) continue;
        TArch& source = sources.emplace_back();
        source.Head = list[slot];
        source.Head.FileName = list.PathOf(slot);
        ReadArchive(source, host);
        source.Head.FileName = list[slot].FileName;
    }
    if (sources.size() < 2) return result;
    MergeArchives(sources, merged);
    result.FileName = merged.Head.FileName;
    merged.Head.FileName = JoinPath(list.Folder, result.FileName);
    result.Written = static_cast<bool>(WriteArchive(merged, host));
    if (!result.Written) return result;
    THead row = ListRowOf(merged.Head, result.FileName);
    row.TreePath = kMultiTreePath;
    result.Slot = list.Append(std::move(row));
    RewriteArchiveList(list);
    return result;
}

} // namespace orbisk
