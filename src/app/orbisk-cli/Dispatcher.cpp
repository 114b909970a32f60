#include "Cli.h"

#include <algorithm>

namespace orbisk::cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"info", "show the header of an archive",
         "usage: orbisk-cli info ARCHIVE.cd\n"
         "Prints the header fields of ARCHIVE.cd, one Key=value line each (Name, Typ,\n"
         "SubTyp, Medium, Owner, Description, SN, Volume), then Directories=N and\n"
         "Entries=N.\n",
         RunInfo},
        {"ls", "list the entries of one folder of an archive",
         "usage: orbisk-cli ls ARCHIVE.cd [PATH]\n"
         "Lists the entries of the first folder of ARCHIVE.cd whose path equals PATH\n"
         "exactly (default \"\\\"), in stored order, one line each: Name, Size, Date,\n"
         "Attr and Note separated by TAB, bytes as stored.\n",
         RunLs},
    };
    return commands;
}

bool WantsHelp(const std::vector<std::string>& args) {
    return std::any_of(args.begin(), args.end(),
                       [](const std::string& a) { return a == "--help" || a == "-h"; });
}

namespace {

void PrintToolHelp(std::ostream& out) {
    out << "usage: orbisk-cli COMMAND [ARGUMENTS]\n"
           "Reads and writes Orbisk media catalogues from scripts and terminals.\n\n"
           "Commands:\n";
    for (const Command& c : Commands())
        out << "  " << c.name << "\t" << c.summary << '\n';
    out << "\nRun 'orbisk-cli COMMAND --help' for the arguments of a command.\n";
}

} // namespace

int RunCli(const std::vector<std::string>& args, Streams io) {
    if (args.empty()) {
        PrintToolHelp(io.err);
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        PrintToolHelp(io.out);
        return kExitOk;
    }
    for (const Command& c : Commands()) {
        if (args[0] != c.name) continue;
        std::vector<std::string> rest(args.begin() + 1, args.end());
        if (WantsHelp(rest)) {
            io.out << c.usage;
            return kExitOk;
        }
        return c.run(rest, io);
    }
    io.err << "orbisk-cli: unknown command '" << args[0] << "'\n";
    PrintToolHelp(io.err);
    return kExitUsage;
}

} // namespace orbisk::cli
