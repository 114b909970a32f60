// libFuzzer target: the search index reader. Whatever the bytes, opening them
// and reading every part of every archive stays within them; a part that
// reads back is internally consistent. The checksums are set to match the
// bytes first, so that mutations reach the tables and segments behind them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/ArchiveFile.h"
#include "core/search/SearchIndex.h"

using namespace orbisk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    SealIndexFile(bytes);
    TIndexFile file;
    if (!file.OpenBytes(bytes)) return 0;
    std::vector<THostMessage> messages;
    std::vector<std::uint32_t> blocks, trigrams, archives;
    for (std::uint32_t a = 0; a < file.ArchiveCount(); ++a) {
        TArchiveIdentity id;
        TIndexSegment segment;
        if (!file.Archive(a, id) || file.Find(id.FileName) != a) std::abort();
        if (!file.Segment(a, segment)) std::abort(); // checked whole when opened
        segment.Messages(messages);
        for (std::uint32_t d = 0; d < segment.DirCount(); ++d) {
            std::string_view path;
            std::uint32_t first = 0, count = 0;
            if (segment.Dir(d, path, first, count) && first + count > segment.EntryCount())
                std::abort();
        }
        for (std::uint32_t e = 0, d = 0; e < segment.EntryCount() && e < 4096; ++e) {
            TRec rec;
            std::string_view line;
            if (segment.DirOf(e, d) && d >= segment.DirCount()) std::abort();
            if (!segment.Line(e, line) || !SplitEntryLine(line, rec)) continue;
            trigrams.clear();
            AppendTrigrams(rec.Name.View(), trigrams);
            for (const std::uint32_t t : trigrams) {
                if (file.Archives(t, archives))
                    for (const std::uint32_t archive : archives)
                        if (archive >= file.ArchiveCount()) std::abort();
                const std::int64_t k = segment.FindTrigram(t);
                bool every = false;
                if (k < 0 || !segment.Postings(static_cast<std::uint32_t>(k), blocks, every))
                    continue;
                for (const std::uint32_t block : blocks)
                    if (std::uint64_t{block} * kIndexBlockEntries >= segment.EntryCount())
                        std::abort();
            }
        }
    }
    return 0;
}
