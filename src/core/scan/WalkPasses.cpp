// The passes of the walk after a directory has been enumerated: sorting,
// marking and describing the entries, and descending into folders and packed
// files.
#include "core/catalog/Common.h"
#include "core/scan/EntryName.h"
#include "core/scan/Metadata.h"
#include "core/scan/RarListing.h"
#include "core/scan/Walk.h"

namespace orbisk {

namespace {

std::string JoinFs(const std::string& dir, std::string_view name) {
    std::string out;
    out.reserve(dir.size() + 1 + name.size());
    out.append(dir).push_back('/');
    out.append(name);
    return out;
}

bool IsMp3(std::string_view name) {
    return EqualsNoCase(ExtensionOf(name), ".MP3");
}

} // namespace

void TWalker::SortEntries(std::int32_t first, std::int32_t last) {
    if (!Running()) return;
    orbisk::SortEntries(arch_.Recs, first, last);
    ticker_.Tick();
}

void TWalker::SortSlots(std::int32_t first, std::int32_t last, std::vector<TSlot>& slots) {
    if (!Running() || last <= first) return;
    const std::vector<std::int32_t> order = SortOrder(arch_.Recs, first, last);
    std::vector<TRec> recs;
    std::vector<TSlot> sortedSlots;
    recs.reserve(order.size());
    sortedSlots.reserve(order.size());
    for (std::int32_t offset : order) {
        recs.push_back(std::move(arch_.Recs[static_cast<std::size_t>(first + offset)]));
        sortedSlots.push_back(std::move(slots[static_cast<std::size_t>(offset)]));
    }
    std::move(recs.begin(), recs.end(), arch_.Recs.begin() + first);
    slots = std::move(sortedSlots);
    ticker_.Tick();
}

void TWalker::DescribeEntries(const std::string& fsDir, std::int32_t start,
                              std::vector<TSlot>& slots) {
    for (std::size_t k = 0; k < slots.size() && Running(); ++k) {
        TRec& rec = arch_.Recs[static_cast<std::size_t>(start) + 1 + k];
        TSlot& slot = slots[k];
        ticker_.Tick();
        // Only the content of regular files is read: folders, links, devices
        // and pipes are recorded as they are.
        if (!slot.regular) continue;
        auto diskName = [&]() -> std::string_view {
            return slot.fsName.empty() ? rec.Name.View() : std::string_view(slot.fsName);
        };
        if (options_.Zip && ContainsNoCase(rec.Name, ".ZIP")) rec.Attr[0] = 'p';
        if (options_.Rar && ContainsNoCase(rec.Name, ".RAR")) rec.Attr[0] = 'p';
        if (options_.Text && HasExtension(options_.DescriptionExtensions, ExtensionOf(rec.Name))) {
            const std::string file = JoinFs(fsDir, diskName());
            if (options_.Progress) progress_.AddLine("Popis z " + file);
            rec.Description = ReadTextDescription(file, options_.DescriptionLimit);
        }
        if (options_.Id3v1 && IsMp3(diskName())) {
            TId3v1 tag = ReadId3v1(JoinFs(fsDir, diskName()));
            rec.Description = std::move(tag.Text);
            if (options_.NameToNote) rec.Note = tag.Title;
            if (options_.ReplaceName) {
                // The file keeps being read under its own name.
                if (slot.fsName.empty()) slot.fsName = rec.Name.View();
                rec.Note = rec.Name;
                rec.Name = LineSafeName(tag.Title);
            }
        }
        if (options_.Id3v2 && IsMp3(diskName()))
            rec.Description += ReadId3v2(JoinFs(fsDir, diskName()));
    }
}

void TWalker::Descend(const std::string& path, const std::string& fsDir, std::int32_t start,
                      std::int32_t end, const std::vector<TSlot>& slots) {
    // Each step may add records and so move the array: no reference into it
    // is kept across one.
    for (std::int32_t i = start + 1; i <= end && Running(); ++i) {
        const TSlot& slot = slots[static_cast<std::size_t>(i - start - 1)];
        const TRec& rec = arch_.Recs[static_cast<std::size_t>(i)];
        const char kind = rec.Attr.empty() ? ' ' : rec.Attr.front();
        if (kind != 'd' && kind != 'p') continue;
        const std::string name(rec.Name.View());
        const std::string file = JoinFs(fsDir, slot.fsName.empty() ? name : slot.fsName);
        if (kind == 'd') {
            WalkInto(path + "\\" + name, file, slot.otherDevice);
            continue;
        }
        const std::string& diskName = slot.fsName.empty() ? name : slot.fsName;
        if (options_.Zip && ContainsNoCase(diskName, ".ZIP")) {
            currentPath_ = path;
            ListZip(file, name);
        }
        if (options_.Rar && ContainsNoCase(diskName, ".RAR")) {
            currentPath_ = path;
            ListRar(file, name);
        }
    }
}

void TWalker::ListZip(const std::string& file, const std::string& container) {
    // A damaged file still lists the entries read before the damage.
    zip_.SetZipFileName(file);
    TPackedListing listing;
    BuildZipListing(zip_, dates_, listing);
    for (std::size_t i = 0; i < zip_.Count(); ++i) {
        if (options_.Progress) progress_.AddLine(zip_.Entry(i).FileName);
        ticker_.Tick();
    }
    zip_.SetZipFileName("");
    AddPackedContents(TPackedKind::Zip, container, "", listing);
}

void TWalker::ListRar(const std::string& file, const std::string& container) {
    TPackedListing listing;
    ListRarArchive(file, listing, dates_, [this](const std::string& member) {
        if (options_.Progress) progress_.AddLine(member);
        ticker_.Tick();
    });
    AddPackedContents(TPackedKind::Rar, container, "", listing);
}

} // namespace orbisk
