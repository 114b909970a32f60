// libFuzzer target: the _cd_.lst reader. Whatever it reads, the writer's
// bytes read back to the same rows (the first write normalises values).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/catalog/ArchiveList.h"

using namespace orbisk;

namespace {

TArchiveList ListOf(const std::vector<TCacheLine>& lines) {
    TArchiveList list;
    for (const TCacheLine& line : lines) {
        THead row;
        row.TreePath = line.TreePath;
        row.Name = line.Name;
        row.FileName = line.FileName;
        row.Description = line.Description;
        row.Owner = line.Owner;
        row.Listed = 1;
        list.Append(row);
    }
    return list;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string first = FormatArchiveListCache(ListOf(ParseArchiveListCache(text)));
    const std::string second = FormatArchiveListCache(ListOf(ParseArchiveListCache(first)));
    if (first != second) std::abort();
    return 0;
}
