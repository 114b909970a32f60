// orbisk-cli volumes: the mounted volumes as the scan window sees them.
#include <string_view>

#include "Cli.h"
#include "core/platform/Volumes.h"

namespace orbisk::cli {

namespace {

std::string_view TypeName(const TMountedVolume& v) {
    if (v.Floppy) return "floppy";
    switch (v.Type) {
    case TDriveType::Removable:
        return "removable";
    case TDriveType::Fixed:
        return "fixed";
    case TDriveType::Remote:
        return "remote";
    case TDriveType::CdRom:
        return "CD-ROM";
    case TDriveType::RamDisk:
        return "RAM disk";
    case TDriveType::Unknown:
    case TDriveType::NoRoot:
        break;
    }
    return "unknown";
}

// TAB, line ends and the backslash written as mountinfo writes them, so one
// volume stays one line of TAB-separated fields.
std::string Escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\t':
            out += "\\011";
            break;
        case '\n':
            out += "\\012";
            break;
        case '\r':
            out += "\\015";
            break;
        case '\\':
            out += "\\134";
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

} // namespace

int RunVolumes(const std::vector<std::string>& args, Streams io) {
    if (!args.empty()) {
        return UsageError(io, "volumes", "unexpected argument '" + args[0] + "'");
    }
    const std::vector<TMountedVolume> volumes = ReadMountedVolumes();
    if (volumes.empty()) {
        io.err << "orbisk-cli volumes: cannot read the mounted volumes\n";
        return kExitFailure;
    }
    for (const TMountedVolume& v : volumes) {
        const TVolumeInfo info = VolumeInfoOf(v);
        io.out << Escaped(v.MountPoint) << '\t' << TypeName(v) << '\t' << Escaped(v.FsType) << '\t'
               << Escaped(v.Device) << '\t' << info.Label << '\t' << info.Serial << '\n';
    }
    return kExitOk;
}

} // namespace orbisk::cli
