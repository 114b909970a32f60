#pragma once
// Data and start-up shared by the benchmark programs.
#include <string>

#include "core/catalog/Archive.h"
#include "core/catalog/ArchiveFile.h"
#include "core/catalog/Common.h"
#include "core/catalog/Host.h"

namespace orbisk::bench {

// A reverse-list database at path: categories under 40 top-level groups,
// written newest first as the database model inserts them (so sorting has
// real work to do), each with itemsPerCategory items of assorted sizes,
// notes and descriptions. With rootItems the root category "\" comes first
// and holds items too.
inline void WriteSampleDatabase(const std::string& path, int categories, int itemsPerCategory,
                                bool rootItems) {
    TArch arch;
    arch.Head.FileName = path;
    for (int c = rootItems ? categories : categories - 1; c >= 0; --c) {
        arch.AddDir(c == categories ? std::string("\\")
                                    : "\\Group " + std::to_string(c % 40) + "\\Category " +
                                          std::to_string(c) + "\\");
        for (int i = itemsPerCategory - 1; i >= 0; --i)
            arch.AddRec(TRec{"Program " + std::to_string(c) + "-" + std::to_string(i),
                             std::to_string(1000 + i * 7919), "Archive " + std::to_string(c),
                             "\\Folder\\program" + std::to_string(i) + ".exe",
                             i % 5 == 0 ? "a note" : "",
                             i % 3 == 0 ? "first line\x07second line\x07" : "", 1});
    }
    NullHost host;
    WriteArchive(arch, host);
}

} // namespace orbisk::bench
