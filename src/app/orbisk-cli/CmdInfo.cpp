#include "Cli.h"
#include "core/catalog/ArchiveFile.h"
#include "core/catalog/CodePage.h"

namespace orbisk::cli {

int RunInfo(const std::vector<std::string>& args, Streams io) {
    if (args.size() != 1) {
        return UsageError(io, "info", "expected one archive file");
    }
    TArch arch;
    arch.Head.FileName = args[0];
    StderrHost host(io.err);
    if (!ReadArchive(arch, host)) return kExitFailure;
    const THead& h = arch.Head;
    for (const THeaderField& f : kHeaderFields)
        io.out << f.Key << '=' << AsUtf8(h.*f.Field) << '\n';
    io.out << "Directories=" << arch.DirCount << '\n' << "Entries=" << arch.RecCount << '\n';
    return kExitOk;
}

} // namespace orbisk::cli
