#include "ArchiveBuilder.h"

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"

namespace orbisk::test {

TArch MakeArchive(const std::vector<DirSpec>& dirs, const std::string& name) {
    TArch arch;
    arch.Head.Name = name;
    arch.Head.Medium = "CD";
    for (const DirSpec& d : dirs) {
        arch.AddDir(d.path);
        for (const EntrySpec& e : d.entries)
            arch.AddRec(TRec{e.name, e.size, e.date, e.attr, e.note, e.description, 1});
    }
    return arch;
}

TArch MakeArchive(const std::string& path, const std::string& name,
                  const std::vector<DirSpec>& dirs) {
    TArch arch = MakeArchive(dirs, name);
    arch.Head.FileName = path;
    return arch;
}

TArch MakeLargeArchive(int entries) {
    TArch arch;
    arch.Head.Name = "Large";
    arch.Head.Medium = "DVD";
    arch.Head.SN = "1A2B-0C3D";
    const int perDir = 100;
    int folders = (entries + perDir - 1) / perDir;
    arch.AddDir("\\");
    for (int f = 0; f < folders; ++f)
        arch.AddRec(
            TRec{"folder" + std::to_string(f), "0", "8.12.2026 4:50:22", "d----", "", "", 1});
    int made = 0;
    for (int f = 0; f < folders && made < entries; ++f) {
        arch.AddDir("\\folder" + std::to_string(f) + "\\");
        for (int i = 0; i < perDir && made < entries; ++i, ++made) {
            std::string desc = (i % 10 == 0) ? std::string("line one\x07line two\x07") : "";
            arch.AddRec(TRec{"file_" + std::to_string(made) + ".txt", std::to_string(made * 37),
                             "8.12.2026 4:50:22", " -a--", i % 7 == 0 ? "a note" : "", desc, 1});
        }
    }
    return arch;
}

void WriteArchiveFile(const TArch& arch) {
    RecordingHost host;
    ASSERT_TRUE(WriteArchive(arch, host)) << arch.Head.FileName;
}

TArch ReadArchiveFile(const std::string& path) {
    TArch arch;
    arch.Head.FileName = path;
    RecordingHost host;
    ReadArchive(arch, host);
    return arch;
}

std::vector<TRec> RootEntries(const std::string& path) {
    TArch arch = ReadArchiveFile(path);
    std::vector<TRec> recs;
    std::int32_t root = arch.FindDir("\\");
    if (root == 0) return recs;
    const TDir& dir = arch.Dirs[static_cast<std::size_t>(root)];
    for (std::int32_t i = dir.First; i < dir.First + dir.Count; ++i)
        recs.push_back(arch.Recs[static_cast<std::size_t>(i)]);
    return recs;
}

} // namespace orbisk::test
