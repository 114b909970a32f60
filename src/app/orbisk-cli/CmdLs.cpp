#include "Cli.h"
#include "core/catalog/ArchiveFile.h"

namespace orbisk::cli {

int RunLs(const std::vector<std::string>& args, Streams io) {
    if (args.empty() || args.size() > 2) {
        return UsageError(io, "ls", "expected an archive file and at most one folder path");
    }
    TArch arch;
    arch.Head.FileName = args[0];
    StderrHost host(io.err);
    if (!ReadArchive(arch, host)) return kExitFailure;
    const std::string path = args.size() == 2 ? args[1] : std::string("\\");
    std::int32_t index = arch.FindDir(path);
    if (index == 0) {
        io.err << "orbisk-cli ls: no folder '" << path << "' in " << args[0] << '\n';
        return kExitFailure;
    }
    const TDir& dir = arch.Dirs[static_cast<std::size_t>(index)];
    std::string out;
    for (std::int32_t r = dir.First; r < dir.First + dir.Count; ++r) {
        const TRec& rec = arch.Recs[static_cast<std::size_t>(r)];
        AppendRow(out, {rec.Name.View(), rec.Size.View(), rec.Date.View(), rec.Attr.View(),
                        rec.Note.View()});
    }
    io.out << out;
    return kExitOk;
}

} // namespace orbisk::cli
