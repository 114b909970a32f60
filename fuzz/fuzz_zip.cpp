// libFuzzer target: the ZIP entry reader and the listing built from it, on a
// file holding the fuzzer's bytes.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/scan/ZipReader.h"

namespace {

struct TSilentHost : orbisk::Host {
    void Inform(std::string_view) override {}
    void Warn(std::string_view) override {}
    void Pump() override {}
};

// One scratch file per process, rewritten for every input.
const std::string& ScratchPath() {
    static const std::string path = [] {
        const char* base = std::getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/fuzz-zip-XXXXXX";
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

    TSilentHost host;
    orbisk::TZipDir zip(host);
    zip.SetZipFileName(path);
    orbisk::TPackedListing listing;
    orbisk::BuildZipListing(zip, orbisk::TFixedDateFormatter{}, listing);
    // Every entry has a row (a folder member may share the row of its path).
    const std::size_t rows = listing.Names.size();
    if (rows != listing.Sizes.size() || rows != listing.Dates.size() || !listing.Attrs.empty() ||
        (zip.Count() > 0 && rows == 0))
        std::abort();
    return 0;
}
