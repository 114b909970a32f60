// orbisk-cli export: the HTML page of the export window, or a CSV table, of
// one archive.
#include <atomic>
#include <optional>

#include "Cli.h"
#include "core/catalog/HomePage.h"
#include "core/catalog/ProgramValues.h"
#include "core/export/ArchiveExport.h"

namespace orbisk::cli {

namespace {

struct ExportArgs {
    std::string archive;
    std::string out;
    bool csv = false;
    bool columnsNamed = false; // a column switch was given: only the named columns
    TExportColumns columns;
};

std::optional<std::string> ParseExportArgs(const std::vector<std::string>& args, ExportArgs& a) {
    TExportColumns named{.Size = false, .Date = false, .Attr = false};
    bool haveArchive = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        bool* column = arg == "--size"          ? &named.Size
                       : arg == "--date"        ? &named.Date
                       : arg == "--attr"        ? &named.Attr
                       : arg == "--note"        ? &named.Note
                       : arg == "--description" ? &named.Description
                                                : nullptr;
        if (column) {
            *column = a.columnsNamed = true;
        } else if (arg == "--all-columns") {
            named.Size = named.Date = named.Attr = named.Note = named.Description = a.columnsNamed =
                true;
        } else if (arg == "--grid") {
            named.Grid = true;
        } else if (arg == "--csv") {
            a.csv = true;
        } else if (arg.starts_with("--out=")) {
            a.out = arg.substr(6);
        } else if (arg == "--out") {
            if (i + 1 >= args.size()) return std::string("--out needs a file");
            a.out = args[++i];
        } else if (arg.starts_with("-") && arg != "-") {
            return "unknown option '" + arg + "'";
        } else if (haveArchive) {
            return "more than one ARCHIVE ('" + a.archive + "', '" + arg + "')";
        } else {
            a.archive = arg;
            haveArchive = true;
        }
    }
    if (!haveArchive) return std::string("ARCHIVE is missing");
    if (a.columnsNamed) {
        a.columns = named;
    } else {
        a.columns.Grid = named.Grid;
    }
    return std::nullopt;
}

} // namespace

int RunExport(const std::vector<std::string>& args, Streams io) {
    ExportArgs a;
    if (auto error = ParseExportArgs(args, a)) {
        return UsageError(io, "export", *error);
    }
    if (a.out.empty()) a.out = ProposedExportName(a.archive, a.csv ? ".csv" : ".html");
    StderrHost host(io.err);
    const std::atomic<bool> running{true};
    TExportTexts texts;
    texts.HomePage = ExportHomePage(DetectProgramDir());
    const TExportResult result =
        ExportArchive(a.archive, a.csv ? TExportFormat::Csv : TExportFormat::Page, a.columns, texts,
                      running, host);
    if (result.Outcome != TExportOutcome::Done) {
        io.err << "orbisk-cli export: " << Describe(result.Status) << '\n';
        return kExitFailure;
    }
    const TFileStatus saved = SaveExport(a.out, result.Output);
    if (!saved.ok) {
        io.err << "orbisk-cli export: " << Describe(saved) << '\n';
        return kExitFailure;
    }
    io.out << a.out << '\n';
    return kExitOk;
}

} // namespace orbisk::cli
