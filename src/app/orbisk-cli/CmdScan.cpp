// orbisk-cli scan: scans a folder, or the audio CD in an optical drive, into
// a new archive with the scan driver the scan window runs.
#include <atomic>
#include <csignal>
#include <optional>
#include <sys/stat.h>

#include "Cli.h"
#include "core/catalog/ProgramValues.h"
#include "core/platform/Volumes.h"
#include "core/scan/ScanDriver.h"

namespace orbisk::cli {

namespace {

// The scan's running flag and whether SIGINT came; the handler only stores
// into lock-free atomics, which is safe in a signal handler.
std::atomic<bool> gScanRunning{false};
std::atomic<bool> gInterrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnInterrupt(int) {
    gInterrupted.store(true);
    gScanRunning.store(false);
}

// Routes SIGINT to the cancel flag while it lives.
class InterruptScope {
public:
    InterruptScope() {
        gInterrupted.store(false);
        struct sigaction action {};
        action.sa_handler = OnInterrupt;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        installed_ = ::sigaction(SIGINT, &action, &previous_) == 0;
    }
    ~InterruptScope() {
        if (installed_) ::sigaction(SIGINT, &previous_, nullptr);
    }
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

private:
    struct sigaction previous_ {};
    bool installed_ = false;
};

// The progress box as a log on stderr (with --verbose). A line is printed
// once the next one comes, so a line the scan takes back ("Uspořádávám ...")
// never shows. A Ctrl-C that came before the scan set its running flag
// cancels it at the first line the scan adds.
class StderrProgress : public ProgressSink {
public:
    StderrProgress(std::ostream& err, bool verbose) : err_(err), verbose_(verbose) {}
    ~StderrProgress() override { Flush(); }
    StderrProgress(const StderrProgress&) = delete;
    StderrProgress& operator=(const StderrProgress&) = delete;

    void AddLine(std::string_view line) override {
        if (gInterrupted.load()) gScanRunning.store(false);
        Flush();
        pending_.assign(line);
        hasPending_ = true;
        ++count_;
    }
    void DeleteLastLine() override {
        hasPending_ = false;
        if (count_ > 0) --count_;
    }
    void Clear() override {
        Flush();
        count_ = 0;
    }
    std::size_t LineCount() const override { return count_; }
    void Flush() {
        if (hasPending_ && verbose_) err_ << pending_ << '\n';
        hasPending_ = false;
    }

private:
    std::ostream& err_;
    bool verbose_;
    std::string pending_;
    bool hasPending_ = false;
    std::size_t count_ = 0;
};

struct ScanArgs {
    std::string source;
    std::string dir;
    TScanFields fields;
    TWalkOptions walk;
    TAudioCdOptions audioCd;
    bool overwrite = false;
    bool verbose = false;
};

// A byte count of --text=BYTES: decimal digits within 80 to 8096.
std::optional<int> DescriptionLimit(std::string_view text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < kDescriptionLimitMin || n > kDescriptionLimitMax) return std::nullopt;
    return n;
}

// The switches of the flag arguments. A switch that needs another one turns
// it on, as its check box does.
struct Flag {
    const char* name;
    void (*apply)(ScanArgs&);
};
constexpr Flag kFlags[] = {
    {"--zip", [](ScanArgs& a) { a.walk.Zip = true; }},
    {"--rar", [](ScanArgs& a) { a.walk.Rar = true; }},
    {"--text", [](ScanArgs& a) { a.walk.Text = true; }},
    {"--id3v1", [](ScanArgs& a) { a.walk.Id3v1 = true; }},
    {"--id3v2", [](ScanArgs& a) { a.walk.Id3v2 = true; }},
    {"--mp3-name-to-note", [](ScanArgs& a) { a.walk.NameToNote = a.walk.Id3v1 = true; }},
    {"--mp3-replace-name", [](ScanArgs& a) { a.walk.ReplaceName = a.walk.Id3v1 = true; }},
    {"--only-folders", [](ScanArgs& a) { a.walk.OnlyFolders = true; }},
    {"--only-types", [](ScanArgs& a) { a.walk.SelectedTypes = true; }},
    {"--cdplayer", [](ScanArgs& a) { a.audioCd.UseCdPlayer = true; }},
    {"--cdplayer-rename",
     [](ScanArgs& a) { a.audioCd.Titles.ReplaceTrackName = a.audioCd.UseCdPlayer = true; }},
    {"--cdplayer-description",
     [](ScanArgs& a) { a.audioCd.Titles.TitleToDescription = a.audioCd.UseCdPlayer = true; }},
    {"--overwrite", [](ScanArgs& a) { a.overwrite = true; }},
    {"--verbose", [](ScanArgs& a) { a.verbose = true; }},
};

// Applies a flag argument; false when arg is no flag.
bool ApplyFlag(const std::string& arg, ScanArgs& a) {
    for (const Flag& flag : kFlags) {
        if (arg != flag.name) continue;
        flag.apply(a);
        return true;
    }
    return false;
}

// The field an option with a value sets, or nullptr.
std::string* ValueTarget(std::string_view option, ScanArgs& a) {
    if (option == "--dir") return &a.dir;
    if (option == "--name") return &a.fields.Name;
    if (option == "--medium") return &a.fields.Medium;
    if (option == "--typ") return &a.fields.Typ;
    if (option == "--subtyp") return &a.fields.SubTyp;
    if (option == "--owner") return &a.fields.Owner;
    if (option == "--description") return &a.fields.Description;
    return nullptr;
}

// Parses the arguments; an error text on a usage error.
std::optional<std::string> ParseScanArgs(const std::vector<std::string>& args, ScanArgs& a) {
    bool haveSource = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (ApplyFlag(arg, a)) continue;
        if (arg.starts_with("--text=")) {
            auto limit = DescriptionLimit(std::string_view(arg).substr(7));
            if (!limit)
                return "--text takes a byte count from 80 to 8096, not '" + arg.substr(7) + "'";
            a.walk.Text = true;
            a.walk.DescriptionLimit = *limit;
            continue;
        }
        const std::size_t eq = arg.find('=');
        const std::string option = arg.substr(0, eq);
        if (std::string* target = arg.starts_with("--") ? ValueTarget(option, a) : nullptr) {
            if (eq != std::string::npos) {
                *target = arg.substr(eq + 1);
            } else if (i + 1 < args.size()) {
                *target = args[++i];
            } else {
                return option + " needs a value";
            }
            continue;
        }
        if (arg.starts_with("-") && arg != "-") return "unknown option '" + arg + "'";
        if (haveSource) return "more than one SOURCE ('" + a.source + "', '" + arg + "')";
        a.source = arg;
        haveSource = true;
    }
    if (!haveSource) return std::string("SOURCE is missing");
    return std::nullopt;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsBlockDevice(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISBLK(st.st_mode);
}

// The table of contents of the audio CD in the drive device; nothing when
// it holds none.
std::optional<TCdToc> AudioCdIn(const std::string& device) {
    std::optional<TCdToc> toc = ReadCdToc(device);
    if (toc && AudioTracks(*toc).empty()) toc.reset();
    return toc;
}

} // namespace

int RunScan(const std::vector<std::string>& args, Streams io) {
    ScanArgs a;
    if (auto error = ParseScanArgs(args, a)) {
        return UsageError(io, "scan", *error);
    }
    // A drive (/dev/sr0) is scanned for the audio CD in it; a data disc is
    // scanned from the folder where it is mounted.
    std::optional<TCdToc> audioToc;
    if (IsBlockDevice(a.source)) {
        audioToc = AudioCdIn(a.source);
        if (!audioToc) {
            io.err << "orbisk-cli scan: '" << a.source
                   << "' holds no audio CD (scan the folder where its medium is mounted)\n";
            return kExitFailure;
        }
    } else if (!IsFolder(a.source)) {
        io.err << "orbisk-cli scan: '" << a.source << "' is not a folder\n";
        return kExitFailure;
    }
    StderrHost host(io.err);
    TArchiveList list;
    const std::string folder = a.dir.empty() ? std::string(".") : a.dir;
    if (!BuildArchiveList(folder, list, host).FolderRead) {
        io.err << "orbisk-cli scan: cannot read the folder '" << folder << "'\n";
        return kExitFailure;
    }

    ProgramValues& program = Program();
    InitProgramValues(program, DetectProgramDir());
    a.walk.Progress = a.verbose;
    a.walk.DescriptionExtensions = program.DescriptionExtensions;
    a.walk.ScanExtensions = program.ScanExtensions;

    TScanRequest request;
    request.Source = a.source;
    request.Fields = a.fields;
    // The label and serial of the volume holding the source, read now for
    // this scan alone.
    request.Volume = audioToc ? AudioCdVolume(*audioToc) : VolumeSerial(a.source);
    request.AudioToc = audioToc;
    request.ProgramDir = program.ProgramDir;

    TArch scanArchive;
    StderrProgress progress(io.err, a.verbose);
    // The same date form as the window's, in the user's date order.
    const TNumericDateFormatter dates(UserDatePattern());
    const TCollisionAnswer answer = a.overwrite ? TCollisionAnswer::Ano : TCollisionAnswer::Ne;
    TScanContext context{.ScanArchive = scanArchive,
                         .Options = a.walk,
                         .AudioCd = a.audioCd,
                         .ArchiveList = list,
                         .ValueLists = nullptr,
                         .Progress = progress,
                         .ScanRunning = gScanRunning,
                         .UserHost = host,
                         .Dates = dates,
                         .AskCollision = [answer](const TCollisionQuestion&) { return answer; }};
    TScanResult result;
    {
        InterruptScope interrupts;
        result = ScanToArchive(request, context);
    }
    progress.Flush();
    if (!a.verbose && !result.Written())
        for (const std::string& line : result.ResultLines)
            if (!line.empty()) io.err << line << '\n';
    if (!result.Written()) return kExitFailure;
    // Without --dir the archive is named as it lies in the current folder.
    io.out << (a.dir.empty() ? result.FileName : result.Path) << '\n';
    return kExitOk;
}

} // namespace orbisk::cli
