// libFuzzer target: the RAR listing on a file holding the fuzzer's bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/scan/RarListing.h"

namespace {

// One scratch file per process, rewritten for every input.
const std::string& ScratchPath() {
    static const std::string path = [] {
        const char* base = std::getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/fuzz-rar-XXXXXX";
        int fd = ::mkstemp(tmpl.data());
        if (fd < 0) std::abort();
        ::close(fd);
        std::atexit([] { std::remove(ScratchPath().c_str()); });
        return tmpl;
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = ScratchPath();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);

    orbisk::TPackedListing listing;
    std::size_t members = 0;
    orbisk::ListRarArchive(path, listing, orbisk::TFixedDateFormatter{},
                           [&](const std::string&) { ++members; });
    // Every member has a row (a folder member may share the row of its path).
    const std::size_t rows = listing.Names.size();
    if (rows != listing.Sizes.size() || rows != listing.Dates.size() ||
        rows != listing.Attrs.size() || (members > 0 && rows == 0))
        std::abort();
    return 0;
}
