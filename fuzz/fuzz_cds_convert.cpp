// Converts arbitrary bytes as a Windows Commander catalogue, then checks that
// the archive text reads back with one directory for the root and one for
// every directory line after the first line (a TAB in a directory's path makes
// its line read back as an entry: catalogues from Windows never hold one).
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/catalog/ArchiveFile.h"
#include "core/export/CdsConvert.h"

using namespace orbisk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::atomic<bool> running{true};
    NullHost host;
    std::string out;
    if (!ConvertCdsText(text, "fuzz", running, host, out)) std::abort();
    // Directory lines: those after the first line that hold a "\".
    std::int32_t dirs = 1;
    std::size_t pos = text.find_first_of("\r\n");
    while (pos != std::string_view::npos && pos < text.size()) {
        std::size_t start = pos + 1;
        if (text[pos] == '\r' && start < text.size() && text[start] == '\n') ++start;
        if (start >= text.size()) break;
        const std::size_t end = text.find_first_of("\r\n", start);
        const std::string_view line =
            text.substr(start, end == std::string_view::npos ? end : end - start);
        const std::size_t slash = line.rfind('\\');
        if (slash != std::string_view::npos &&
            line.substr(0, slash).find('\t') == std::string_view::npos)
            ++dirs;
        pos = end;
    }
    TArch arch;
    ParseArchive(out, arch);
    // A catalogue line holding 0x1A ends the archive text when it is read.
    if (text.find('\x1A') == std::string_view::npos && arch.DirCount != dirs) std::abort();
    return 0;
}
