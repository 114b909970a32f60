// orbisk-cli db: the reverse-list database of a working folder, read and
// edited through the model the database window uses.
#include <algorithm>
#include <clocale>
#include <cstring>

#include "Cli.h"
#include "core/catalog/ArchiveFile.h"
#include "core/db/Database.h"
#include "core/db/TemplateExport.h"

namespace orbisk::cli {

namespace {

struct DbArgs {
    std::string db, dir, category, from, to, tpl, out;
    std::vector<std::string> words; // the sub-command and its operands
    std::vector<std::string> options;
};

struct ValueOption {
    const char* name;
    std::string DbArgs::*field;
};
constexpr ValueOption kOptions[] = {
    {"--db", &DbArgs::db},     {"--dir", &DbArgs::dir}, {"--category", &DbArgs::category},
    {"--from", &DbArgs::from}, {"--to", &DbArgs::to},   {"--template", &DbArgs::tpl},
    {"--out", &DbArgs::out},
};

std::optional<std::string> ParseDbArgs(const std::vector<std::string>& args, DbArgs& a) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!arg.starts_with("--")) {
            a.words.push_back(arg);
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const ValueOption* option = nullptr;
        for (const ValueOption& o : kOptions)
            if (name == o.name) option = &o;
        if (!option) return "unknown option '" + arg + "'";
        if (eq != std::string::npos)
            a.*option->field = arg.substr(eq + 1);
        else if (i + 1 < args.size())
            a.*option->field = args[++i];
        else
            return name + " needs a value";
        a.options.push_back(name);
    }
    return std::nullopt;
}

// The database file and the model over it; messages go to stderr.
struct DbSession {
    DbSession(Streams streams, std::string path) : io(streams), file(std::move(path)) {}
    Streams io;
    std::string file;
    StderrHost host{io.err};
    TDatabase db;

    // Reads the database; with create a missing file is made first. The
    // host prints a failure with the file and the system's reason.
    bool Open(bool create) { return db.Open(file, host, create); }
    int Save() {
        if (db.Save(host) == TDbSave::Saved) return kExitOk;
        io.err << "orbisk-cli db: nothing written, '" << file << "' is as it was\n";
        return kExitFailure;
    }
    int NoCategory(const std::string& path) {
        io.err << "orbisk-cli db: no category '" << path << "' in '" << file << "'\n";
        return kExitFailure;
    }
    // The first item called name in the category at path, or 0.
    std::int32_t FindItem(const std::string& path, const std::string& name) {
        const TEntryRange items = db.ItemsOf(path);
        for (std::int32_t i = items.First; i <= items.Last; ++i)
            if (db.Item(i).Name == name) return i;
        io.err << "orbisk-cli db: no item '" << name << "' in '" << path << "'\n";
        return 0;
    }
};

std::string DescriptionText(std::string_view description) {
    std::string text;
    for (const std::string& line : DescriptionLines(description))
        text.append(text.empty() ? "" : " | ").append(line);
    return text;
}

int DbLs(DbSession& s, const std::vector<std::string>& operands) {
    if (!s.Open(false)) return kExitFailure;
    std::string out;
    if (operands.empty()) {
        for (std::int32_t i = 1; i <= s.db.CategoryCount(); ++i)
            AppendRow(out, {s.db.Category(i).Path, std::to_string(s.db.Category(i).Count)});
    } else {
        const std::string path = WithBackslashes(operands[0]);
        if (s.db.FindCategory(path) == 0) return s.NoCategory(path);
        const TEntryRange items = s.db.ItemsOf(path);
        for (std::int32_t i = items.First; i <= items.Last; ++i) {
            const TRec& rec = s.db.Item(i);
            AppendRow(out, {rec.Name, rec.Size, rec.Date, rec.Attr, rec.Note,
                            DescriptionText(rec.Description)});
        }
    }
    s.io.out << out;
    return kExitOk;
}

int DbMkcat(DbSession& s, const std::vector<std::string>& operands) {
    if (!s.Open(true)) return kExitFailure;
    s.db.AddCategory(WithBackslashes(operands[0]));
    return s.Save();
}

int DbRmcat(DbSession& s, const std::vector<std::string>& operands) {
    if (!s.Open(false)) return kExitFailure;
    const std::string path = WithBackslashes(operands[0]);
    const std::int32_t index = s.db.FindCategory(path);
    if (index == 0) return s.NoCategory(path);
    if (!s.db.RemoveCategory(index)) {
        s.io.err << "orbisk-cli db: Kategorie není prázdná, nelze smazat: '" << path << "'\n";
        return kExitFailure;
    }
    return s.Save();
}

int DbMv(DbSession& s, const std::vector<std::string>& operands, const DbArgs& a) {
    if (!s.Open(false)) return kExitFailure;
    const std::int32_t index = s.FindItem(WithBackslashes(a.from), operands[0]);
    if (index == 0) return kExitFailure;
    s.db.MoveItem(index, WithBackslashes(a.to));
    return s.Save();
}

int DbRm(DbSession& s, const std::vector<std::string>& operands) {
    if (!s.Open(false)) return kExitFailure;
    const std::int32_t index = s.FindItem(WithBackslashes(operands[0]), operands[1]);
    if (index == 0) return kExitFailure;
    s.db.RemoveItem(index);
    return s.Save();
}

int DbExport(DbSession& s, const DbArgs& a) {
    if (!s.Open(false)) return kExitFailure;
    // The page sorts in the order of the user's language. Only this command
    // collates, so only it loads the collation (every other run starts
    // without it).
    std::setlocale(LC_COLLATE, "");
    const TExportStatus status =
        ExportDatabase(s.db.MutableArch(), a.tpl, a.out, CollationCompare());
    if (status.Result == TExportResult::Exported) return kExitOk;
    const std::string_view text = status.Result == TExportResult::TemplateMissing
                                      ? "Šablona pro export nebyla nalezena."
                                      : "Soubor nebyl zapsán.";
    s.io.err << "orbisk-cli db: " << text << ' ' << status.File.file << ": " << Reason(status.File)
             << '\n';
    return kExitFailure;
}

// The folder and name of an entry path: \DOOM\doom.exe gives \DOOM\ and
// doom.exe; a final backslash is dropped first (\DOOM\ names the folder DOOM
// of the root).
std::pair<std::string, std::string> SplitEntryPath(std::string path) {
    if (!path.starts_with('\\')) path.insert(path.begin(), '\\');
    if (path.size() > 1 && path.ends_with('\\')) path.pop_back();
    const std::size_t slash = path.rfind('\\');
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

int DbAdd(DbSession& s, const std::vector<std::string>& operands, const DbArgs& a) {
    TArch arch;
    arch.Head.FileName = operands[0];
    if (!ReadArchive(arch, s.host)) return kExitFailure; // the host names file and reason
    std::string folder;
    std::vector<std::int32_t> recs;
    for (std::size_t k = 1; k < operands.size(); ++k) {
        auto [path, name] = SplitEntryPath(operands[k]);
        if (k == 1) folder = path;
        if (path != folder) {
            s.io.err << "orbisk-cli db: the PATHs must lie in one folder ('" << folder << "', '"
                     << path << "')\n";
            return kExitUsage;
        }
        const TEntryRange entries = EntriesOf(arch, arch.FindDir(folder));
        std::int32_t found = 0;
        for (std::int32_t r = entries.First; found == 0 && r <= entries.Last; ++r)
            if (arch.Recs[static_cast<std::size_t>(r)].Name == name) found = r;
        if (found == 0) {
            s.io.err << "orbisk-cli db: no entry '" << operands[k] << "' in '" << operands[0]
                     << "'\n";
            return kExitFailure;
        }
        if (std::find(recs.begin(), recs.end(), found) == recs.end()) recs.push_back(found);
    }
    if (!s.Open(true)) return kExitFailure;
    const std::string category =
        a.category.empty() ? std::string(kRootCategory) : WithBackslashes(a.category);
    s.db.InsertItem(category, MakeDbItem(ItemFromEntries(arch, folder, recs)));
    return s.Save();
}

struct SubCommand {
    const char* name;
    std::size_t minOperands, maxOperands;
    std::vector<std::string_view> options; // beyond --db and --dir
};
const SubCommand kSubCommands[] = {
    {"ls", 0, 1, {}},
    {"add", 2, SIZE_MAX, {"--category"}},
    {"mkcat", 1, 1, {}},
    {"rmcat", 1, 1, {}},
    {"mv", 1, 1, {"--from", "--to"}},
    {"rm", 2, 2, {}},
    {"export", 0, 0, {"--template", "--out"}},
};

// An error text when the words and options do not fit the sub-command.
std::optional<std::string> CheckCall(const SubCommand& sub, const DbArgs& a) {
    const std::size_t operands = a.words.size() - 1;
    if (operands < sub.minOperands || operands > sub.maxOperands)
        return std::string("wrong number of operands for '") + sub.name + "'";
    for (const std::string& option : a.options)
        if (option != "--db" && option != "--dir" &&
            std::find(sub.options.begin(), sub.options.end(), option) == sub.options.end())
            return option + " does not go with '" + sub.name + "'";
    for (std::string_view needed : sub.options)
        if (needed != "--category" &&
            std::find(a.options.begin(), a.options.end(), needed) == a.options.end())
            return std::string(needed) + " is missing";
    return std::nullopt;
}

} // namespace

int RunDb(const std::vector<std::string>& args, Streams io) {
    DbArgs a;
    std::optional<std::string> error = ParseDbArgs(args, a);
    const SubCommand* sub = nullptr;
    if (!error && a.words.empty()) error = "a sub-command is missing";
    if (!error) {
        for (const SubCommand& c : kSubCommands)
            if (a.words[0] == c.name) sub = &c;
        if (!sub) error = "unknown sub-command '" + a.words[0] + "'";
    }
    if (!error) error = CheckCall(*sub, a);
    if (error) {
        return UsageError(io, "db", *error);
    }
    DbSession s(io, a.db.empty() ? DatabasePath(a.dir) : a.db);
    const std::vector<std::string> operands(a.words.begin() + 1, a.words.end());
    const std::string_view name = sub->name;
    if (name == "ls") return DbLs(s, operands);
    if (name == "add") return DbAdd(s, operands, a);
    if (name == "mkcat") return DbMkcat(s, operands);
    if (name == "rmcat") return DbRmcat(s, operands);
    if (name == "mv") return DbMv(s, operands, a);
    if (name == "rm") return DbRm(s, operands);
    return DbExport(s, a);
}

} // namespace orbisk::cli
