#pragma once
// The trigram regions of an index segment, made from its entries' names.
#include <string_view>
#include <vector>

namespace orbisk {

// The sorted trigrams (four bytes each), where each one's posting list
// begins (four bytes each, one more at the end) and the lists (LEB128 gaps
// between the blocks holding it; empty for a trigram most blocks hold).
struct TTrigramRegions {
    std::string_view Keys, Offsets, Postings;
};

// The regions for names, the entries' names in order: views into buffers of
// the calling thread, valid until its next call.
TTrigramRegions TrigramRegions(const std::vector<std::string_view>& names);

} // namespace orbisk
