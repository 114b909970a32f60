#include "core/catalog/Archive.h"

#include <utility>

namespace orbisk {

void TArch::Clear() {
    Dirs.assign(kArchiveGrowth, TDir{});
    Recs.assign(kArchiveGrowth, TRec{});
    DirCount = 0;
    RecCount = 0;
    Text.reset();
}

void TArch::BeginRefill(std::int32_t maxCount) {
    Dirs.assign(kArchiveGrowth, TDir{});
    DirCount = 0;
    RecCount = 0;
    Text.reset();
    Recs.resize(SlotsForCount(maxCount));
    Recs[0] = TRec{};
}

void TArch::FinishRefill() {
    std::size_t keep = SlotsForCount(RecCount);
    Recs.resize(keep);
    for (std::size_t i = static_cast<std::size_t>(RecCount) + 1; i < keep; ++i)
        Recs[i] = TRec{};
}

TDir& TArch::AddDir(std::string path) {
    ++DirCount;
    GrowAfterIncrement(Dirs, DirCount);
    TDir& dir = Dirs[static_cast<std::size_t>(DirCount)];
    dir.Path = std::move(path);
    dir.First = RecCount + 1;
    dir.Count = 0;
    return dir;
}

TRec& TArch::AddRec(TRec rec) {
    ++RecCount;
    GrowAfterIncrement(Recs, RecCount);
    ++Dirs[static_cast<std::size_t>(DirCount)].Count;
    TRec& slot = Recs[static_cast<std::size_t>(RecCount)];
    slot = std::move(rec);
    return slot;
}

std::int32_t TArch::FindDir(std::string_view path) const {
    for (std::int32_t i = 1; i <= DirCount; ++i)
        if (Dirs[static_cast<std::size_t>(i)].Path == path) return i;
    return 0;
}

} // namespace orbisk
