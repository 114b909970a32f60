// libFuzzer target: the search index reader. Whatever the bytes, opening them
// and reading every part of every archive stays within them; a part that
// reads back is internally consistent. The checksum in the header is set to
// match the bytes first, so that mutations reach the tables behind it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/search/IndexBytes.h"
#include "core/search/SearchIndex.h"

using namespace orbisk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace index_bytes;
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.size() >= 96) {
        const auto from = Get<std::uint64_t>(bytes, 72);
        if (from >= 96 && from <= bytes.size()) {
            TChecksum sum;
            sum.Add(std::string_view(bytes).substr(0, 80));
            sum.Add(std::string_view(bytes).substr(88, 8));
            sum.Add(std::string_view(bytes).substr(from));
            PutAt(bytes, 80, sum.Value());
        }
    }
    TIndexFile file;
    if (!file.OpenBytes(bytes)) return 0;
    std::vector<THostMessage> messages;
    std::vector<std::uint32_t> postings, trigrams, entries;
    for (std::uint32_t a = 0; a < file.ArchiveCount(); ++a) {
        TArchiveIdentity id;
        TIndexSegment segment;
        if (!file.Archive(a, id) || file.Find(id.FileName) != a) std::abort();
        if (!file.Segment(a, segment)) continue;
        segment.Messages(messages);
        for (std::uint32_t d = 0; d < segment.DirCount(); ++d) {
            std::string_view path;
            std::uint32_t first = 0, count = 0;
            if (segment.Dir(d, path, first, count) && first + count > segment.EntryCount())
                std::abort();
        }
        for (std::uint32_t e = 0, d = 0; e < segment.EntryCount() && e < 4096; ++e) {
            TRec rec;
            if (segment.DirOf(e, d) && d >= segment.DirCount()) std::abort();
            if (!segment.Fields(e, rec)) continue;
            trigrams.clear();
            AppendTrigrams(rec.Name.View(), trigrams);
            for (const std::uint32_t t : trigrams) {
                if (file.Postings(t, entries))
                    for (const std::uint32_t entry : entries)
                        if (entry >= file.EntryCount()) std::abort();
                const std::int64_t k = segment.FindTrigram(t);
                if (k < 0 || !segment.Postings(static_cast<std::uint32_t>(k), postings)) continue;
                for (const std::uint32_t entry : postings)
                    if (entry >= segment.EntryCount()) std::abort();
            }
        }
    }
    return 0;
}
