// Reads arbitrary bytes as a .cd file, then checks that what the writer makes
// of the model reads back to the same model and the same bytes, and that each
// entry's line split on its own gives the fields the reader gave (the search
// index keeps the lines and splits them when it is searched).
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/catalog/ArchiveFile.h"

using namespace orbisk;

namespace {

bool SameModel(const TArch& a, const TArch& b) {
    if (a.DirCount != b.DirCount || a.RecCount != b.RecCount) return false;
    for (int d = 1; d <= a.DirCount; ++d)
        if (a.Dirs[d].Path != b.Dirs[d].Path || a.Dirs[d].Count != b.Dirs[d].Count) return false;
    for (int r = 1; r <= a.RecCount; ++r) {
        const TRec &x = a.Recs[r], &y = b.Recs[r];
        if (x.Name != y.Name || x.Size != y.Size || x.Date != y.Date || x.Attr != y.Attr ||
            x.Note != y.Note || x.Description != y.Description)
            return false;
    }
    const THead &h = a.Head, &g = b.Head;
    return h.Name == g.Name && h.Typ == g.Typ && h.SubTyp == g.SubTyp && h.Medium == g.Medium &&
           h.Owner == g.Owner && h.Description == g.Description && h.SN == g.SN &&
           h.Volume == g.Volume;
}

bool LinesSplitAlike(const TArch& arch) {
    for (int r = 1; r <= arch.RecCount; ++r) {
        const TRec& rec = arch.Recs[r];
        const char* begin = rec.Name.View().data();
        const char* end = rec.Description.View().data() + rec.Description.size();
        TRec split;
        if (!SplitEntryLine(std::string_view(begin, static_cast<std::size_t>(end - begin)), split))
            return false;
        if (split.Name != rec.Name || split.Size != rec.Size || split.Date != rec.Date ||
            split.Attr != rec.Attr || split.Note != rec.Note ||
            split.Description != rec.Description)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    TArch first;
    ParseArchive(text, first);
    if (!LinesSplitAlike(first)) std::abort();
    // Entries before the first directory live in slot 0 and are not written;
    // header values with CR, TAB-free lines and the like are normalised by
    // the first write, so the property holds from the second round on.
    std::string written = FormatArchive(first);
    TArch second;
    ParseArchive(written, second);
    std::string again = FormatArchive(second);
    TArch third;
    ParseArchive(again, third);
    if (!SameModel(second, third) || FormatArchive(third) != again) std::abort();
    return 0;
}
