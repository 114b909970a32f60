#include "Cli.h"

#include <algorithm>

#include "core/catalog/CodePage.h"
#include "core/catalog/ProgramValues.h"
#include "core/settings/SettingsFiles.h"

namespace orbisk::cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"db", "list and edit the reverse-list database, export it through a template",
         "usage: orbisk-cli db [--db FILE | --dir DIR] ls [CATEGORY]\n"
         "       orbisk-cli db [--db FILE | --dir DIR] add ARCHIVE.cd PATH... [--category P]\n"
         "       orbisk-cli db [--db FILE | --dir DIR] mkcat P\n"
         "       orbisk-cli db [--db FILE | --dir DIR] rmcat P\n"
         "       orbisk-cli db [--db FILE | --dir DIR] mv --from P --to Q NAME\n"
         "       orbisk-cli db [--db FILE | --dir DIR] rm P NAME\n"
         "       orbisk-cli db [--db FILE | --dir DIR] export --template FILE.tpl --out PAGE.html\n"
         "Works on the database FILE, by default cd.db in DIR (default: the current\n"
         "directory). Categories are paths such as \\Programs\\Games\\ (the backslashes\n"
         "at their ends may be left out; \\ is the root category).\n"
         "  ls             the categories in stored order: path and item count, TAB\n"
         "                 between; with CATEGORY its items, one line each: name, size,\n"
         "                 archive, path, note and description (its lines joined by\n"
         "                 \" | \"), TAB between. A path without a category of its own\n"
         "                 (\\A\\ when only \\A\\B\\ exists) is no category.\n"
         "  add            one item for the entries at the PATHs of ARCHIVE.cd (paths\n"
         "                 such as \\DOOM\\doom.exe): for one entry its name, path, size,\n"
         "                 note and description; for several entries of one folder the\n"
         "                 folder, with their sizes summed. It becomes the first item of\n"
         "                 the root category, or of P (created when missing).\n"
         "  mkcat, rmcat   create a category; remove one, refused while it holds items\n"
         "                 or has categories below it\n"
         "  mv, rm         move the first item called NAME from P to the front of Q\n"
         "                 (created when missing); remove the first item called NAME\n"
         "  export         write the whole database as one HTML page through the\n"
         "                 template, categories sorted by path and items by name in the\n"
         "                 order of the user's language (the database file is not\n"
         "                 changed)\n"
         "The database is read whole and written whole; a missing FILE is created\n"
         "empty by add and mkcat. A write goes to a temporary file renamed over FILE\n"
         "(the first old FILE is kept as cd.bak); when it fails FILE is as it was.\n"
         "Exit status: 0 done, 1 the database, archive, category or item is not there\n"
         "or nothing was written (also a refused rmcat), 2 usage error.\n",
         RunDb},
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
        {"list", "list the archives of a folder through its _cd_.lst cache",
         "usage: orbisk-cli list [--dir DIR]\n"
         "Builds the archive list of DIR (default: the current directory) as the\n"
         "program does, brings DIR/_cd_.lst up to date and prints one line per listed\n"
         "archive in list order: TreePath, Name, FileName, Description and Owner\n"
         "separated by TAB, bytes as stored.\n",
         RunList},
        {"merge", "merge archives into one multi-archive",
         "usage: orbisk-cli merge A.cd B.cd... [--dir DIR]\n"
         "Merges the archives A.cd, B.cd, ... of the archive list of DIR (default: the\n"
         "current directory), in that order, into the multi-archive m_A.cd: its root\n"
         "holds one entry per archive (\"Archiv\") and each archive's folders lie under\n"
         "\\ + its name + \\. The new archive is filed under \\Multi\\ in the list and\n"
         "_cd_.lst, and its file name is printed (DIR/m_A.cd with --dir). An archive\n"
         "that cannot be read adds its root entry only. An existing m_A.cd is replaced\n"
         "(the old one kept as m_A.bak). Exit status: 0 written, 1 an archive is not\n"
         "in the list or nothing was written, 2 usage error.\n",
         RunMerge},
        {"scan", "scan a folder into a new archive",
         "usage: orbisk-cli scan SOURCE [--dir DIR] [--name NAME] [--medium M] [--typ T]\n"
         "         [--subtyp S] [--owner O] [--description D] [--zip] [--rar]\n"
         "         [--text[=BYTES]] [--id3v1] [--id3v2] [--mp3-name-to-note]\n"
         "         [--mp3-replace-name] [--only-folders] [--only-types] [--cdplayer]\n"
         "         [--cdplayer-rename] [--cdplayer-description] [--overwrite] [--verbose]\n"
         "Scans the folder SOURCE into a new archive in DIR (default: the current\n"
         "directory) as the scan window does, adds it to DIR's archive list and\n"
         "_cd_.lst, and prints the file it wrote (NAME.cd; DIR/NAME.cd with --dir).\n"
         "A SOURCE such as /dev/sr0 scans the audio CD in that drive: label AUDIO CD,\n"
         "its serial from the table of contents, one TrackNN.cda per audio track.\n"
         "The file name is NAME with every character other than A-Z, a-z, 0-9 and _\n"
         "turned into _, cut to 56 characters. When that file exists, --overwrite\n"
         "replaces it (the old one is kept as .bak); otherwise the first free name\n"
         "NAME_0.cd, NAME_1.cd, ... is taken. An empty --medium is saved as \"other\".\n"
         "  --zip, --rar       list the contents of ZIP and RAR files as folders\n"
         "  --text[=BYTES]     descriptions from the first BYTES (80 to 8096, default\n"
         "                     500) of files whose extension is ticked in files_ext.txt\n"
         "                     beside the program\n"
         "  --id3v1, --id3v2   MP3 tag texts into the descriptions\n"
         "  --mp3-name-to-note the ID3v1 title into the note (implies --id3v1)\n"
         "  --mp3-replace-name the ID3v1 title as the name, the file name into the note\n"
         "                     (implies --id3v1)\n"
         "  --only-folders     record folders only\n"
         "  --only-types       record only files whose extension is in scan_ext.txt\n"
         "                     beside the program (--only-folders wins)\n"
         "  --cdplayer, --cdplayer-rename, --cdplayer-description\n"
         "                     track titles of an audio CD from CDPLAYER.INI beside the\n"
         "                     program (used only for a volume labelled AUDIO CD)\n"
         "  --verbose          progress lines on stderr\n"
         "The archive records the label and serial number of the volume that holds\n"
         "SOURCE (see 'orbisk-cli volumes'); a blank --name gives the label padded to\n"
         "12 characters, \" - \" and the serial.\n"
         "Ctrl-C cancels the scan and writes nothing. Exit status: 0 written, 1 nothing\n"
         "written, 2 usage error.\n",
         RunScan},
        {"search", "search archives for entries by name, size, note and description",
         "usage: orbisk-cli search PATTERN [--dir DIR] [--archive FILE [--path P] | --all |\n"
         "         --selected FILE... | --category PATH] [--case] [--star]\n"
         "         [--size OP VALUE UNIT] [--note WORDS] [--note-all] [--desc WORDS]\n"
         "         [--desc-all] [--marked] [--list] [--limit N] [--index | --no-index]\n"
         "Searches as the search windows do and prints one line per entry found:\n"
         "the archive name, \":\", the folder path, two blanks and the name. PATTERN\n"
         "takes the wildcards * and ?; blanks around it are dropped.\n"
         "  --archive FILE     search the archive FILE from its folder P (default \"\\\")\n"
         "                     down; the backslashes at the ends of P may be left out\n"
         "  --all              every archive of the archive list of DIR (default: the\n"
         "                     current directory); this is the default scope\n"
         "  --selected FILE... the archives of the list with these file names, in this\n"
         "                     order (the FILEs run up to the next option)\n"
         "  --category PATH    the archives filed at the category PATH (\\CD\\Hudba\\, the\n"
         "                     backslashes at its ends may be left out) or below it\n"
         "  --case             letters A-Z and a-z differ\n"
         "  --star             search PATTERN as *PATTERN*\n"
         "  --size OP VALUE UNIT  sizes <, = or > VALUE in B, kB, MB, GB or TB; a VALUE\n"
         "                     that is no whole number turns the size test off\n"
         "  --note WORDS, --desc WORDS  any of the blank-separated WORDS in the note or\n"
         "                     description, letters A-Z in either case; --note-all and\n"
         "                     --desc-all need every word\n"
         "  --marked           mark the matched characters of the name with <B> </B>\n"
         "  --list             print the list view's columns separated by TAB: CD,\n"
         "                     Adresář, Název, Velikost, Datum, Atribut, Poznámka, Popis\n"
         "  --limit N          stop after N entries (no limit otherwise)\n"
         "  --index            search through the search index DIR/_cd_.idx (the\n"
         "                     default; see 'orbisk-cli index')\n"
         "  --no-index         read the archive files even when DIR has an index\n"
         "A folder is searched through its search index, built when missing and\n"
         "brought up to date first; the answer is the same as without it. The first\n"
         "search of a folder without one takes about three times as long; later ones\n"
         "take a small part of the time. A folder that cannot be written\n"
         "is searched without the index. The archive list is built as the program\n"
         "builds it, but DIR/_cd_.lst is not written. An archive of the list\n"
         "that cannot be read is reported and passed over. Exit status: 0 searched\n"
         "(also when nothing is found), 1 the archive, the folder or a FILE of\n"
         "--selected is not there, 2 usage error.\n",
         RunSearch},
        {"index", "build or refresh the search index of a working folder",
         "usage: orbisk-cli index [--dir DIR]\n"
         "Brings the search index DIR/_cd_.idx (default: the current directory) up to\n"
         "date with the archives of DIR's archive list: archives that are new or whose\n"
         "file changed are read again into DIR/_cd_.idc, which is folded into\n"
         "_cd_.idx once it grows; a missing or damaged index is built anew. The index\n"
         "is only a speed-up and both files may be deleted at any time. Prints the\n"
         "archives and entries it holds, the size of its files in bytes and the\n"
         "time taken, TAB between. Exit status: 0 up to date, 1 the folder cannot be\n"
         "read or the index cannot be written, 2 usage error.\n",
         RunIndex},
        {"export", "write the HTML page or a CSV table of an archive",
         "usage: orbisk-cli export ARCHIVE.cd [--out PAGE.html] [--size] [--date] [--attr]\n"
         "         [--note] [--description] [--grid] [--all-columns]\n"
         "       orbisk-cli export ARCHIVE.cd --csv [--out FILE.csv]\n"
         "Writes the page the export window makes: the header of the archive, then one\n"
         "section per folder with an anchor and links to the root and the parent, a\n"
         "row per entry; folders and listed ZIP/RAR files link to their sections. The\n"
         "columns are name, size, date and attributes unless column switches are\n"
         "given, then name and the columns named:\n"
         "  --size, --date, --attr, --note, --description   the columns\n"
         "  --all-columns      every column\n"
         "  --grid             tables with borders\n"
         "  --csv              a CSV table instead (RFC 4180, UTF-8): a heading row, then\n"
         "                     one row per entry: full path, name, size, date,\n"
         "                     attributes, note, description (lines joined by LF)\n"
         "  --out FILE         the file to write; default: ARCHIVE.cd without its last\n"
         "                     three characters, then .html (.csv)\n"
         "Texts are written as UTF-8 (Windows-1250 texts converted), escaped for HTML.\n"
         "Prints the file written. Exit status: 0 written, 1 the archive cannot be\n"
         "read or the file cannot be written, 2 usage error.\n",
         RunExport},
        {"convert", "convert Windows Commander catalogues (*.cds) into archives",
         "usage: orbisk-cli convert FILE.cds... [--dir DIR] [--overwrite]\n"
         "Converts each catalogue into the archive of the same base name (FILE.cds\n"
         "without its last four characters, then .cd) in DIR (default: the current\n"
         "directory), adds the archives to DIR's archive list and _cd_.lst, and prints\n"
         "each file written. An existing archive is replaced only with --overwrite (the\n"
         "old one is kept as .bak). A catalogue that cannot be read, or an archive that\n"
         "cannot be written, is reported and the next one follows. Exit status: 0 at\n"
         "least one archive written, 1 none, 2 usage error.\n",
         RunConvert},
        {"import-ncdu", "import an ncdu or gdu JSON export (-o FILE) as an archive",
         "usage: orbisk-cli import-ncdu FILE.json [--dir DIR] [--name NAME]\n"
         "Reads the JSON export written by 'ncdu -o FILE' or 'gdu -o FILE' and writes\n"
         "it as a new archive in DIR (default: the current directory), added to DIR's\n"
         "archive list and _cd_.lst; prints the file written. Folders and files keep\n"
         "their apparent sizes; dates come from the extended mode (ncdu -e), else \"?\";\n"
         "names beginning with . are hidden, items the owner cannot write (extended\n"
         "mode) read-only. The archive is named NAME, or after the last component of\n"
         "the scanned folder; its file name is derived as a scan derives it, taking\n"
         "the first free NAME_0.cd, NAME_1.cd, ... when the file exists. Exit status:\n"
         "0 written, 1 nothing written, 2 usage error.\n",
         RunImportNcdu},
        {"volumes", "list the mounted volumes with their drive types, labels and serials",
         "usage: orbisk-cli volumes\n"
         "Prints one line per mounted volume, in mount order: mount point, drive type\n"
         "(fixed, removable, floppy, CD-ROM, remote, RAM disk), file system, source,\n"
         "label and serial number, separated by TAB. TAB, CR, LF and backslash in the\n"
         "mount point, file system and source are written as \\011, \\015, \\012 and\n"
         "\\134. Exit status: 0 listed, 1 the mounted volumes cannot be read, 2 usage\n"
         "error.\n",
         RunVolumes},
    };
    return commands;
}

bool WantsHelp(const std::vector<std::string>& args) {
    return std::any_of(args.begin(), args.end(),
                       [](const std::string& a) { return a == "--help" || a == "-h"; });
}

const char* UsageOf(std::string_view name) {
    for (const Command& c : Commands())
        if (name == c.name) return c.usage;
    return "";
}

int UsageError(Streams io, std::string_view command, std::string_view message) {
    io.err << "orbisk-cli " << command << ": " << message << '\n' << UsageOf(command);
    return kExitUsage;
}

void AppendRow(std::string& out, std::initializer_list<std::string_view> fields) {
    for (std::string_view field : fields) {
        AppendAsUtf8(out, field);
        out.push_back('\t');
    }
    if (fields.size() != 0) out.back() = '\n';
}

std::string WithBackslashes(std::string text) {
    if (!text.starts_with('\\')) text.insert(text.begin(), '\\');
    if (!text.ends_with('\\')) text.push_back('\\');
    return text;
}

std::optional<std::vector<std::int32_t>> SelectedSlots(const TArchiveList& list,
                                                       const std::vector<std::string>& files,
                                                       std::string_view command,
                                                       std::ostream& err) {
    std::vector<std::int32_t> slots;
    for (const std::string& file : files) {
        const std::string base = file.substr(file.rfind('/') + 1);
        std::int32_t found = 0;
        for (const std::string& name : {file, base})
            for (std::int32_t slot = 1; found == 0 && slot <= list.ArchiveCount(); ++slot)
                if (list[slot].Listed != 0 && list[slot].FileName == name) found = slot;
        if (found == 0) {
            err << "orbisk-cli " << command << ": '" << file << "' is not an archive of the list\n";
            return std::nullopt;
        }
        if (std::find(slots.begin(), slots.end(), found) == slots.end()) slots.push_back(found);
    }
    return slots;
}

namespace {

void PrintToolHelp(std::ostream& out) {
    out << "usage: orbisk-cli COMMAND [ARGUMENTS]\n"
           "Reads and writes Orbisk media catalogues from scripts and terminals.\n\n"
           "Commands:\n";
    for (const Command& c : Commands())
        out << "  " << c.name << "\t" << c.summary << '\n';
    out << "\nTexts of catalogues are printed in UTF-8; those of catalogues written on Windows\n"
           "(Windows-1250) are converted.\n"
           "\nRun 'orbisk-cli COMMAND --help' for the arguments of a command;\n"
           "'orbisk-cli --version' names the version and the folders the program uses.\n";
}

// The version, the folder of the shipped files (language files, templates,
// extension lists, the guide) and the user's folder the written files go to.
void PrintVersion(std::ostream& out) {
    out << "orbisk-cli " << ORBISK_VERSION << '\n'
        << "program folder: " << DetectProgramDir() << '\n'
        << "settings folder: " << UserConfigDir() << '\n';
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
    if (args[0] == "--version") {
        PrintVersion(io.out);
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
