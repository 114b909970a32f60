#include "Cli.h"
#include "core/catalog/ArchiveFile.h"

namespace orbisk::cli {

int RunInfo(const std::vector<std::string>& args, Streams io) {
    if (args.size() != 1) {
        io.err << "orbisk-cli info: expected one archive file\n" << UsageOf("info");
        return kExitUsage;
    }
    TArch arch;
    arch.Head.FileName = args[0];
    StderrHost host(io.err);
    if (!ReadArchive(arch, host)) return kExitFailure;
    const THead& h = arch.Head;
    io.out << "Name=" << h.Name << '\n'
           << "Typ=" << h.Typ << '\n'
           << "SubTyp=" << h.SubTyp << '\n'
           << "Medium=" << h.Medium << '\n'
           << "Owner=" << h.Owner << '\n'
           << "Description=" << h.Description << '\n'
           << "SN=" << h.SN << '\n'
           << "Volume=" << h.Volume << '\n'
           << "Directories=" << arch.DirCount << '\n'
           << "Entries=" << arch.RecCount << '\n';
    return kExitOk;
}

} // namespace orbisk::cli
