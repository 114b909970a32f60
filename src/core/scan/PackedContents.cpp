// The contents of a listed ZIP or RAR file as directories of the archive.
#include <unordered_map>

#include "core/scan/EntryName.h"
#include "core/scan/Walk.h"

namespace orbisk {

namespace {

char Separator(TPackedKind kind) {
    return kind == TPackedKind::Zip ? '/' : '\\';
}

const std::string& RowValue(const std::vector<std::string>& list, std::size_t row,
                            const std::string& fallback) {
    return row < list.size() ? list[row] : fallback;
}

} // namespace

// The rows of a listing grouped by the inner folder that records them: a row
// becomes an entry of the folder whose prefix leaves a rest without separator
// (ZIP: or with a single separator at its end, a folder member). Each row
// belongs to exactly one such prefix, so handing every folder its own rows, in
// listing order, records the same entries as scanning all remaining rows for
// each folder, without the quadratic cost on large packed files.
class TWalker::TPackedGroups {
public:
    TPackedGroups(TPackedKind kind, const std::string& prefix, const TPackedListing& listing) {
        for (std::size_t row = 0; row < listing.Names.size(); ++row) {
            const std::string& name = listing.Names[row];
            if (name.starts_with(prefix)) groups_[GroupOf(kind, prefix, name)].push_back(row);
        }
    }

    // The rows of the folder with this prefix; a second call gives none, as
    // the rows have been consumed.
    std::vector<std::size_t> Take(const std::string& prefix) {
        auto it = groups_.find(prefix);
        if (it == groups_.end()) return {};
        std::vector<std::size_t> rows = std::move(it->second);
        groups_.erase(it);
        return rows;
    }

private:
    static std::string GroupOf(TPackedKind kind, const std::string& prefix,
                               const std::string& name) {
        const std::string_view rest = std::string_view(name).substr(prefix.size());
        std::string_view body = rest;
        if (kind == TPackedKind::Zip && !body.empty() && body.back() == '/') body.remove_suffix(1);
        const std::size_t cut = body.rfind(Separator(kind));
        return cut == std::string_view::npos ? prefix
                                             : prefix + std::string(rest.substr(0, cut + 1));
    }

    std::unordered_map<std::string, std::vector<std::size_t>> groups_;
};

void TWalker::AddPackedContents(TPackedKind kind, const std::string& container,
                                const std::string& prefix, const TPackedListing& listing) {
    TPackedGroups groups(kind, prefix, listing);
    AddPackedLevel(kind, container, prefix, listing, groups);
}

void TWalker::AddPackedLevel(TPackedKind kind, const std::string& container,
                             const std::string& prefix, const TPackedListing& listing,
                             TPackedGroups& groups) {
    static const std::string kPlainAttr = " ----", kFolderAttr = "d----", kNoSize = "0",
                             kNoDate = "?";
    const std::int32_t start = arch_.RecCount;
    arch_.AddDir(currentPath_ + "\\" + container + "\\");
    std::vector<TSlot> slots; // fsName: the inner name when the recorded one differs
    for (std::size_t row : groups.Take(prefix)) {
        if (!Running()) return;
        std::string_view rest = std::string_view(listing.Names[row]).substr(prefix.size());
        TRec rec;
        bool folder = false;
        if (kind == TPackedKind::Zip) {
            folder = !rest.empty() && rest.back() == '/';
            if (folder) rest.remove_suffix(1);
            rec.Attr = folder ? kFolderAttr : kPlainAttr;
        } else {
            rec.Attr = RowValue(listing.Attrs, row, kPlainAttr);
            if (rec.Attr.empty()) rec.Attr = kPlainAttr;
            folder = rec.Attr.front() == 'd';
        }
        rec.Size = RowValue(listing.Sizes, row, kNoSize);
        rec.Date = RowValue(listing.Dates, row, kNoDate);
        TSlot slot;
        if (NeedsLineSafeName(rest)) {
            rec.Name = LineSafeName(rest);
            slot.fsName = rest;
        } else {
            rec.Name = rest;
        }
        slots.push_back(std::move(slot));
        arch_.AddRec(std::move(rec));
        if (!folder) {
            if (progress_.LineCount() > kProgressLineLimit) progress_.Clear();
            if (options_.Progress) progress_.AddLine(rest);
        }
        ticker_.Tick();
    }
    const std::int32_t end = arch_.RecCount;
    SortSlots(start + 1, end, slots);
    for (std::int32_t i = start + 1; i <= end && Running(); ++i) {
        const TRec& rec = arch_.Recs[static_cast<std::size_t>(i)];
        if (rec.Attr.empty() || rec.Attr.front() != 'd') continue;
        const std::string name(rec.Name.View());
        const std::string& inner = slots[static_cast<std::size_t>(i - start - 1)].fsName;
        AddPackedLevel(kind, container + "\\" + name,
                       prefix + (inner.empty() ? name : inner) + Separator(kind), listing, groups);
    }
}

} // namespace orbisk
