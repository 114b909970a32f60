// libFuzzer target: the search index reader. Whatever the bytes, opening them
// and reading every part of every archive stays within them; a part that
// reads back is internally consistent.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "core/search/SearchIndex.h"

using namespace orbisk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TSearchIndex index;
    if (!index.OpenBytes(std::string_view(reinterpret_cast<const char*>(data), size))) return 0;
    std::vector<THostMessage> messages;
    std::vector<std::uint32_t> postings, trigrams;
    for (const TIndexSection& section : index.Sections()) {
        section.Messages(messages);
        for (std::uint32_t d = 0; d < section.DirCount(); ++d) {
            std::string_view path;
            std::uint32_t first = 0, count = 0;
            if (section.Dir(d, path, first, count) && first + count > section.EntryCount())
                std::abort();
        }
        for (std::uint32_t e = 0; e < section.EntryCount() && e < 4096; ++e) {
            TRec rec;
            if (!section.Fields(e, rec)) continue;
            trigrams.clear();
            AppendTrigrams(rec.Name.View(), trigrams);
            for (const std::uint32_t t : trigrams) {
                if (!section.Postings(t, postings)) continue;
                for (const std::uint32_t entry : postings)
                    if (entry >= section.EntryCount()) std::abort();
            }
        }
    }
    return 0;
}
