// libFuzzer target: the ZIP entry reader and the listing built from it, on
// the fuzzer's bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/scan/ZipReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    orbisk::NullHost host;
    orbisk::TZipDir zip(host);
    zip.SetZipBytes("fuzz.zip", {reinterpret_cast<const char*>(data), size});
    orbisk::TPackedListing listing;
    orbisk::BuildZipListing(zip, orbisk::TFixedDateFormatter{}, listing);
    // Every entry has a row (a folder member may share the row of its path).
    const std::size_t rows = listing.Names.size();
    if (rows != listing.Sizes.size() || rows != listing.Dates.size() || !listing.Attrs.empty() ||
        (zip.Count() > 0 && rows == 0))
        std::abort();
    return 0;
}
