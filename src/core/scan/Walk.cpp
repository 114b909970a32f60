#include "core/scan/Walk.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include "core/catalog/Common.h"
#include "core/scan/EntryName.h"

namespace orbisk {

namespace {

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// File systems that keep the DOS attribute bits and hand them out through the
// FAT ioctl.
bool KeepsDosAttributes(int dirFd) {
    struct statfs fs {};
    if (::fstatfs(dirFd, &fs) != 0) return false;
    return fs.f_type == MSDOS_SUPER_MAGIC || fs.f_type == static_cast<long>(EXFAT_SUPER_MAGIC);
}

// The read-only, hidden, system and archive bits of an item on such a file
// system; 0 when they cannot be read.
std::uint32_t DosAttributes(int dirFd, const char* name) {
    const int fd = ::openat(dirFd, name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return 0;
    __u32 bits = 0;
    const bool ok = ::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &bits) == 0;
    ::close(fd);
    if (!ok) return 0;
    return bits & (kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive);
}

// The attribute texts of recorded items, made once. A recorded Attr borrows
// its bytes from here instead of owning a copy of five bytes; marking it "p"
// makes it an owned copy first.
std::string_view AttrText(std::uint32_t bits) {
    static const std::array<std::string, 64> table = [] {
        std::array<std::string, 64> texts;
        for (std::uint32_t b = 0; b < texts.size(); ++b)
            texts[b] = AttrString(b);
        return texts;
    }();
    return table[bits & 63u];
}

std::string FsPathOf(std::string_view path) {
    std::string out(path);
    for (char& c : out)
        if (c == '\\') c = '/';
    return out;
}

} // namespace

std::string SourceRootFor(std::string_view source) {
    while (!source.empty() && source.back() == '/')
        source.remove_suffix(1);
    return std::string(source);
}

TWalker::TWalker(TArch& scanArchive, std::string sourceRoot, const TWalkOptions& options,
                 ProgressSink& progress, const std::atomic<bool>& scanRunning, Host& host,
                 const TDateFormatter& dates)
    : arch_(scanArchive), sourceRoot_(std::move(sourceRoot)), options_(options),
      progress_(progress), scanRunning_(scanRunning), host_(host), ticker_(host), dates_(dates),
      zip_(host) {}

void TWalker::WalkDirectory(std::string_view path) {
    const std::string fsDir = sourceRoot_ + FsPathOf(path);
    struct stat st {};
    haveRootDevice_ = ::stat(fsDir.empty() ? "/" : fsDir.c_str(), &st) == 0;
    dosAttributes_ = -1;
    rootDevice_ = st.st_dev;
    WalkInto(std::string(path), fsDir, false);
}

void TWalker::WalkInto(const std::string& path, const std::string& fsDir, bool skipContents) {
    const std::int32_t start = arch_.RecCount;
    arch_.AddDir(path + "\\");
    std::vector<TSlot> slots;
    if (!skipContents) Enumerate(path, fsDir, slots);
    const std::int32_t end = arch_.RecCount;
    progress_.AddLine(options_.SortingLine);
    if (!Running()) return;
    SortSlots(start + 1, end, slots);
    progress_.DeleteLastLine();
    DescribeEntries(fsDir, start, slots);
    Descend(path, fsDir, start, end, slots);
}

void TWalker::Enumerate(const std::string& path, const std::string& fsDir,
                        std::vector<TSlot>& slots) {
    DIR* dir = ::opendir(fsDir.empty() ? "/" : fsDir.c_str());
    if (!dir) {
        ++unreadableFolders_;
        return;
    }
    const int dirFd = ::dirfd(dir);
    // Every folder the walk enumerates lies on the source's file system (it
    // never descends into another one), so the question is asked once.
    if (dosAttributes_ < 0 || !haveRootDevice_) dosAttributes_ = KeepsDosAttributes(dirFd) ? 1 : 0;
    const bool dosAttributes = dosAttributes_ == 1;
    while (Running()) {
        errno = 0;
        const dirent* item = ::readdir(dir);
        if (!item) {
            if (errno != 0) ++unreadableFolders_;
            break;
        }
        if (IsDotOrDotDot(item->d_name)) continue;
        RecordItem(dirFd, *item, dosAttributes, path, slots);
        ticker_.Tick();
    }
    ::closedir(dir);
}

void TWalker::RecordItem(int dirFd, const dirent& item, bool dosAttributes, const std::string& path,
                         std::vector<TSlot>& slots) {
    const std::string_view name(item.d_name);
    struct stat st {};
    bool haveStat = false;
    int statError = 0;
    auto statItem = [&] {
        haveStat = ::fstatat(dirFd, item.d_name, &st, AT_SYMLINK_NOFOLLOW) == 0;
        if (!haveStat) statError = errno;
    };
    // The enumeration usually tells the kind, so items that are skipped cost
    // no status call.
    bool isDir = item.d_type == DT_DIR;
    if (item.d_type == DT_UNKNOWN) {
        statItem();
        isDir = haveStat && S_ISDIR(st.st_mode);
    }
    if (options_.OnlyFolders && !isDir) return;
    if (options_.SelectedTypes && !isDir &&
        !HasExtension(options_.ScanExtensions, ExtensionOf(name)))
        return;
    if (!haveStat && statError == 0) statItem();
    if (haveStat) {
        isDir = S_ISDIR(st.st_mode);
    } else {
        ++unreadableEntries_;
        if (statError == ENOENT) return; // gone since the enumeration named it
    }

    std::uint32_t bits = isDir ? std::uint32_t{kAttrDirectory} : 0u;
    if (name.front() == '.') bits |= kAttrHidden;
    if (haveStat && (st.st_mode & S_IWUSR) == 0) bits |= kAttrReadOnly;
    if (haveStat && dosAttributes && (S_ISREG(st.st_mode) || isDir))
        bits |= DosAttributes(dirFd, item.d_name);

    TSlot slot;
    TRec rec;
    if (NeedsLineSafeName(name)) {
        rec.Name = LineSafeName(name);
        slot.fsName = name;
    } else {
        rec.Name = name;
    }
    rec.Size = isDir || !haveStat ? "0" : std::to_string(st.st_size);
    rec.Date = haveStat ? DateText(st.st_mtim.tv_sec) : std::string_view("?");
    rec.Attr = TStr::Borrow(AttrText(bits));
    slot.regular = haveStat && S_ISREG(st.st_mode);
    slot.otherDevice = isDir && haveStat && haveRootDevice_ && st.st_dev != rootDevice_;
    slots.push_back(std::move(slot));
    const TRec& added = arch_.AddRec(std::move(rec));
    if (options_.Progress) {
        std::string line;
        line.reserve(path.size() + 2 + added.Name.size());
        line.append(path).append("\\ ").append(added.Name);
        AddProgressLine(line);
    }
}

void TWalker::AddProgressLine(std::string_view line) {
    progress_.AddLine(line);
    if (progress_.LineCount() > kProgressLineLimit) progress_.Clear();
}

std::string_view TWalker::DateText(time_t seconds) {
    // Items copied together share their time; one remembered text saves the
    // conversion for runs of them. The text is handed out as a view of the
    // remembered one, so a recorded date costs one copy, not two.
    if (!lastDate_.empty() && seconds == lastDateSeconds_) return lastDate_;
    std::tm local{};
    if (!::localtime_r(&seconds, &local)) return "?";
    lastDate_ = dates_.DateTime(local);
    lastDateSeconds_ = seconds;
    return lastDate_;
}

} // namespace orbisk
