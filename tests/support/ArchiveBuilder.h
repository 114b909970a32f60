#pragma once
// Builds archives in memory for tests: a compact way to say which folders hold
// which entries; writes and reads them back with the core reader and writer.
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
// The same archive with path as its file name, ready for WriteArchiveFile.
TArch MakeArchive(const std::string& path, const std::string& name,
                  const std::vector<DirSpec>& dirs);

// A generated archive of about n entries spread over folders of 100 entries.
TArch MakeLargeArchive(int entries);

// Writes arch with the core writer; fails the test when that fails.
void WriteArchiveFile(const TArch& arch);
// Reads path with the core reader.
TArch ReadArchiveFile(const std::string& path);
// The root entries of an archive file, in order.
std::vector<TRec> RootEntries(const std::string& path);

} // namespace orbisk::test
