#pragma once
// Builds archives in memory for tests: a compact way to say which folders hold
// which entries.
#include <string>
#include <vector>

#include "core/catalog/Archive.h"

namespace orbisk::test {

struct EntrySpec {
    std::string name = {}, size = "0", date = "1.2.2003 4:05:06", attr = " -a--", note = {},
                description = {};
};

struct DirSpec {
    std::string path;
    std::vector<EntrySpec> entries;
};

TArch MakeArchive(const std::vector<DirSpec>& dirs, const std::string& name = "Test");

// A generated archive of about n entries spread over folders of 100 entries.
TArch MakeLargeArchive(int entries);

} // namespace orbisk::test
