// libFuzzer target: the RAR listing on the fuzzer's bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/scan/RarListing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orbisk::TPackedListing listing;
    std::size_t members = 0;
    orbisk::ListRarBytes({reinterpret_cast<const char*>(data), size}, listing,
                         orbisk::TFixedDateFormatter{}, [&](const std::string&) { ++members; });
    // Every member has a row (a folder member may share the row of its path).
    const std::size_t rows = listing.Names.size();
    if (rows != listing.Sizes.size() || rows != listing.Dates.size() ||
        rows != listing.Attrs.size() || (members > 0 && rows == 0))
        std::abort();
    return 0;
}
