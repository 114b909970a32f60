#pragma once
// The command-line companion: one dispatcher, one file per command. Commands
// write to the streams they are given so tests can run them in-process.
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/ArchiveList.h"
#include "core/catalog/Host.h"

namespace orbisk::cli {

// Exit codes of every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // the archive, folder or input is not there
inline constexpr int kExitUsage = 2;   // the call's words are off

struct Streams {
    std::ostream& out;
    std::ostream& err;
};

// Prints core's messages to stderr, a failed file with its name and the
// system's reason; a command-line run never pumps.
class StderrHost : public Host {
public:
    explicit StderrHost(std::ostream& err) : err_(err) {}
    void Inform(std::string_view text) override { err_ << text << '\n'; }
    void Warn(std::string_view text) override { err_ << text << '\n'; }
    void FileFailed(const TFileStatus& status) override { err_ << Describe(status) << '\n'; }
    void Pump() override {}

private:
    std::ostream& err_;
};

struct Command {
    const char* name;
    const char* summary;
    const char* usage; // full help text of the command
    int (*run)(const std::vector<std::string>& args, Streams io);
};

// Every command the tool knows, in the order --help lists them.
const std::vector<Command>& Commands();

// Runs the tool with its arguments (without the program name).
int RunCli(const std::vector<std::string>& args, Streams io);

// True when args ask for help (--help or -h anywhere).
bool WantsHelp(const std::vector<std::string>& args);

// The full help text of the command called name ("" for no such command).
const char* UsageOf(std::string_view name);

// Reports a call whose words are off: "orbisk-cli COMMAND: MESSAGE" and the
// command's help on stderr. Returns kExitUsage.
int UsageError(Streams io, std::string_view command, std::string_view message);

// Appends fields to out as one TAB-separated line ended by LF.
void AppendRow(std::string& out, std::initializer_list<std::string_view> fields);

// A folder or category path as the catalogue writes them: "\" at both ends.
std::string WithBackslashes(std::string text);

// The rows named by files, in the order given, each once: a FILE names the
// Listed row whose FileName equals it, or else its part after the last "/".
// A FILE that names no row is reported as command's error.
std::optional<std::vector<std::int32_t>> SelectedSlots(const TArchiveList& list,
                                                       const std::vector<std::string>& files,
                                                       std::string_view command, std::ostream& err);

int RunDb(const std::vector<std::string>& args, Streams io);
int RunMerge(const std::vector<std::string>& args, Streams io);
int RunConvert(const std::vector<std::string>& args, Streams io);
int RunExport(const std::vector<std::string>& args, Streams io);
int RunImportNcdu(const std::vector<std::string>& args, Streams io);
int RunInfo(const std::vector<std::string>& args, Streams io);
int RunLs(const std::vector<std::string>& args, Streams io);
int RunList(const std::vector<std::string>& args, Streams io);
int RunScan(const std::vector<std::string>& args, Streams io);
int RunSearch(const std::vector<std::string>& args, Streams io);
int RunIndex(const std::vector<std::string>& args, Streams io);
int RunVolumes(const std::vector<std::string>& args, Streams io);

} // namespace orbisk::cli
