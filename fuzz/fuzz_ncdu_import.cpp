// Reads arbitrary bytes as an ncdu export, then checks that an accepted one
// becomes an archive that the writer stores and the reader reads back whole:
// every folder and entry, no name carrying a byte that ends a field or line.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/catalog/ArchiveFile.h"
#include "core/export/NcduImport.h"

using namespace orbisk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::atomic<bool> running{true};
    NullHost host;
    TFixedDateFormatter dates;
    TArch arch;
    std::string root, error;
    if (!ParseNcduExport(text, arch, root, dates, running, host, error)) {
        if (error.empty()) std::abort(); // a refusal always says why
        return 0;
    }
    TArch back;
    ParseArchive(FormatArchive(arch), back);
    if (back.DirCount != arch.DirCount || back.RecCount != arch.RecCount) std::abort();
    for (std::int32_t r = 1; r <= back.RecCount; ++r)
        if (back.Recs[static_cast<std::size_t>(r)].Name !=
            arch.Recs[static_cast<std::size_t>(r)].Name)
            std::abort();
    return 0;
}
