// orbisk-cli search: the search of the search windows, over one archive or
// over the archives of a folder, printed as the windows' text or list view.
#include <algorithm>
#include <optional>
#include <thread>

#include "Cli.h"
#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ArchiveList.h"
#include "core/catalog/CodePage.h"
#include "core/search/IndexedSearch.h"

namespace orbisk::cli {

namespace {

enum class Scope { Default, Archive, All, Selected, Category };

struct SearchArgs {
    TSearchInput input;
    std::string dir;
    Scope scope = Scope::Default;
    std::string archive;
    std::optional<std::string> path;
    std::vector<std::string> selected;
    std::string category;
    bool marked = false;
    bool index = false;     // --index: as without it (the index is built when missing)
    bool noIndex = false;   // --no-index: read the archive files
    std::int64_t limit = 0; // 0: no limit
};

bool ApplyFlag(const std::string& arg, SearchArgs& a) {
    if (arg == "--case")
        a.input.CaseSensitive = true;
    else if (arg == "--star")
        a.input.Star = true;
    else if (arg == "--note-all")
        a.input.NoteMode = "AND";
    else if (arg == "--desc-all")
        a.input.DescriptionMode = "AND";
    else if (arg == "--marked")
        a.marked = true;
    else if (arg == "--list")
        a.input.ListView = true;
    else if (arg == "--index")
        a.index = true;
    else if (arg == "--no-index")
        a.noIndex = true;
    else
        return false;
    return true;
}

std::optional<std::string> SetScope(SearchArgs& a, Scope scope) {
    if (a.scope != Scope::Default)
        return std::string("give only one of --archive, --all, --selected, --category");
    a.scope = scope;
    return std::nullopt;
}

// Takes the option at args[i] and its values; an error text on a usage error.
std::optional<std::string> ApplyOption(const std::vector<std::string>& args, std::size_t& i,
                                       SearchArgs& a) {
    const std::string& option = args[i];
    auto value = [&](std::string& target) -> bool {
        if (i + 1 >= args.size()) return false;
        target = args[++i];
        return true;
    };
    const std::string needs = option + " needs a value";
    if (option == "--dir") return value(a.dir) ? std::nullopt : std::optional(needs);
    if (option == "--path") {
        a.path.emplace();
        return value(*a.path) ? std::nullopt : std::optional(needs);
    }
    if (option == "--note") {
        a.input.NoteOn = true;
        return value(a.input.NoteText) ? std::nullopt : std::optional(needs);
    }
    if (option == "--desc") {
        a.input.DescriptionOn = true;
        return value(a.input.DescriptionText) ? std::nullopt : std::optional(needs);
    }
    if (option == "--size") {
        a.input.SizeOn = true;
        if (i + 3 >= args.size()) return std::string("--size needs OP VALUE UNIT");
        a.input.SizeOp = args[++i];
        a.input.SizeValue = args[++i];
        a.input.SizeUnit = args[++i];
        return std::nullopt;
    }
    if (option == "--limit") {
        std::string text;
        std::int32_t n = 0;
        if (!value(text) || !ParseInt32(text, n) || n < 1)
            return std::string("--limit needs a whole number above 0");
        a.limit = n;
        return std::nullopt;
    }
    if (option == "--archive") {
        if (auto error = SetScope(a, Scope::Archive)) return error;
        return value(a.archive) ? std::nullopt : std::optional(needs);
    }
    if (option == "--category") {
        if (auto error = SetScope(a, Scope::Category)) return error;
        return value(a.category) ? std::nullopt : std::optional(needs);
    }
    if (option == "--all") return SetScope(a, Scope::All);
    if (option == "--selected") {
        if (auto error = SetScope(a, Scope::Selected)) return error;
        while (i + 1 < args.size() && !args[i + 1].starts_with("--"))
            a.selected.push_back(args[++i]);
        return a.selected.empty() ? std::optional(option + " needs at least one FILE")
                                  : std::nullopt;
    }
    return "unknown option '" + option + "'";
}

std::optional<std::string> ParseSearchArgs(const std::vector<std::string>& args, SearchArgs& a) {
    bool havePattern = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (ApplyFlag(arg, a)) continue;
        if (arg.starts_with("--")) {
            if (auto error = ApplyOption(args, i, a)) return error;
            continue;
        }
        if (havePattern) return "more than one PATTERN ('" + a.input.Query + "', '" + arg + "')";
        a.input.Query = arg;
        havePattern = true;
    }
    if (!havePattern) return std::string("PATTERN is missing");
    if (a.path && a.scope != Scope::Archive) return std::string("--path goes with --archive");
    if (!a.dir.empty() && a.scope == Scope::Archive)
        return std::string("--dir does not go with --archive");
    if (a.index && a.scope == Scope::Archive)
        return std::string("--index does not go with --archive");
    if (a.index && a.noIndex) return std::string("give only one of --index, --no-index");
    return std::nullopt;
}

// Prints each result as it comes, as a line of the text view or a row of the
// list view, up to the limit.
class PrintingSink : public TSearchSink {
public:
    PrintingSink(std::ostream& out, const SearchArgs& a, bool listView)
        : out_(out), marked_(a.marked), listView_(listView), limit_(a.limit) {}
    ~PrintingSink() override { Flush(); }
    PrintingSink(const PrintingSink&) = delete;
    PrintingSink& operator=(const PrintingSink&) = delete;

    bool OnResult(TSearchResult&& result) override {
        if (listView_) {
            const std::array<std::string, 8> c = ListColumns(result);
            AppendRow(buffer_, {c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]});
        } else {
            if (!marked_) result.MarkedName = result.Rec.Name.str();
            AppendAsUtf8(buffer_, TextLine(result));
            buffer_.push_back('\n');
        }
        if (buffer_.size() >= 64 * 1024) Flush();
        return limit_ == 0 || ++count_ < limit_;
    }
    void Flush() {
        out_ << buffer_;
        buffer_.clear();
    }

private:
    std::ostream& out_;
    bool marked_;
    bool listView_;
    std::int64_t limit_;
    std::int64_t count_ = 0;
    std::string buffer_;
};

int SearchOneArchive(const SearchArgs& a, const TSearchCriteria& criteria, Streams io) {
    StderrHost host(io.err);
    TArch arch;
    arch.Head.FileName = a.archive;
    if (!ReadArchive(arch, host)) return kExitFailure;
    const std::string path = WithBackslashes(a.path.value_or("\\"));
    if (path != "\\" && arch.FindDir(path) == 0) {
        io.err << "orbisk-cli search: no folder '" << path << "' in " << a.archive << '\n';
        return kExitFailure;
    }
    PrintingSink sink(io.out, a, criteria.ListView);
    const std::atomic<bool> stop{false};
    RunArchiveSearch(arch, path, criteria, sink, stop);
    return kExitOk;
}

int SearchArchives(const SearchArgs& a, const TSearchCriteria& criteria, Streams io) {
    StderrHost host(io.err);
    const std::string folder = a.dir.empty() ? std::string(".") : a.dir;
    TArchiveList list;
    if (!BuildArchiveList(folder, list, host, TListCache::Leave).FolderRead) {
        io.err << "orbisk-cli search: cannot read the folder '" << folder << "'\n";
        return kExitFailure;
    }
    std::vector<std::int32_t> selected;
    if (a.scope == Scope::Selected) {
        auto slots = SelectedSlots(list, a.selected, "search", io.err);
        if (!slots) return kExitFailure;
        selected = std::move(*slots);
    }
    const TSearchScope scope = a.scope == Scope::Selected   ? TSearchScope::SelectedArchives
                               : a.scope == Scope::Category ? TSearchScope::Subcategories
                                                            : TSearchScope::AllArchives;
    const std::string category = a.category.empty() ? a.category : WithBackslashes(a.category);
    PrintingSink sink(io.out, a, criteria.ListView);
    const std::atomic<bool> stop{false};
    const int threads = std::thread::hardware_concurrency() > 1 ? 2 : 1;
    const auto slots = ArchivesToSearch(list, scope, selected, category);
    const TIndexUse use = a.noIndex ? TIndexUse::Never : TIndexUse::Always;
    RunFolderSearch(list, slots, criteria, sink, host, stop, use, threads);
    return kExitOk;
}

} // namespace

int RunSearch(const std::vector<std::string>& args, Streams io) {
    SearchArgs a;
    if (auto error = ParseSearchArgs(args, a)) {
        return UsageError(io, "search", *error);
    }
    std::vector<std::string> history;
    const TSearchStart start = PrepareSearch(a.input, history);
    if (!start.Started) {
        io.err << "orbisk-cli search: PATTERN is blank\n";
        return kExitUsage;
    }
    if (start.SizeSwitchedOff)
        io.err << "orbisk-cli search: --size needs OP one of <, =, > and a whole VALUE; "
                  "searching without the size test\n";
    if (start.NoteSwitchedOff) io.err << "orbisk-cli search: --note has no words; ignored\n";
    if (start.DescriptionSwitchedOff) io.err << "orbisk-cli search: --desc has no words; ignored\n";
    if (a.scope == Scope::Archive) return SearchOneArchive(a, start.Criteria, io);
    return SearchArchives(a, start.Criteria, io);
}

} // namespace orbisk::cli
