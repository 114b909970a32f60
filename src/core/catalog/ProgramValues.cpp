#include "core/catalog/ProgramValues.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "core/catalog/TextFile.h"

namespace orbisk {

ProgramValues& Program() {
    static ProgramValues values;
    return values;
}

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/') return dir + name;
    return dir + "/" + name;
}

std::string AbsolutePath(const std::string& path, const std::string& base) {
    std::filesystem::path full(path);
    if (full.is_relative()) full = std::filesystem::path(base.empty() ? "/" : base) / full;
    std::string text = full.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

std::vector<std::string> LoadExtensionList(const std::string& path) {
    std::vector<std::string> list;
    std::string text;
    if (!ReadWholeFile(path, text, kMaxSmallFile)) return list;
    LineReader lines(text);
    while (!lines.AtEnd()) {
        std::string_view line = lines.Next();
        // Files edited on this platform may end lines with a lone LF.
        std::size_t start = 0;
        while (start <= line.size()) {
            std::size_t lf = line.find('\n', start);
            std::string_view part =
                line.substr(start, lf == std::string_view::npos ? line.npos : lf - start);
            if (!part.empty()) list.emplace_back(part);
            if (lf == std::string_view::npos) break;
            start = lf + 1;
        }
    }
    return list;
}

TFileStatus SaveExtensionList(const std::string& path, const std::vector<std::string>& list) {
    std::string text;
    for (const std::string& entry : list)
        text.append(entry).append("\r\n");
    return SaveSmallFile(path, text);
}

std::string DetectProgramDir() {
    if (const char* env = std::getenv("ORBISK_PROGRAM_DIR"); env && *env) {
        std::string dir = env;
        while (dir.size() > 1 && dir.back() == '/')
            dir.pop_back();
        return dir;
    }
    char buf[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return ".";
    std::string exe(buf, static_cast<std::size_t>(n));
    auto slash = exe.rfind('/');
    if (slash == std::string::npos) return ".";
    return ProgramDirOf(slash == 0 ? std::string("/") : exe.substr(0, slash));
}

std::string ProgramDirOf(const std::string& exeDir) {
    const auto slash = exeDir.rfind('/');
    if (slash == std::string::npos || exeDir.compare(slash, std::string::npos, "/bin") != 0)
        return exeDir;
    std::string share = JoinPath(exeDir.substr(0, slash), kInstalledShareDir);
    if (share.front() != '/') share.insert(share.begin(), '/');
    struct stat st {};
    return ::stat(share.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? share : exeDir;
}

namespace {

std::string CurrentDir() {
    char buf[PATH_MAX];
    return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string("/");
}

} // namespace

std::string DetectTempDir(const std::string& fallback) {
    const char* env = std::getenv("TMPDIR");
    std::string dir = env && *env ? std::string(env) : std::string("/tmp");
    if (dir.empty()) dir = fallback;
    if (dir.empty() || dir.back() != '/') dir.push_back('/');
    return dir;
}

void InitProgramValues(ProgramValues& v, const std::string& programDir) {
    v.ValueLists.Clear();
    v.SearchHistory = {"*.*", "*"};
    v.ProgramDir = programDir;
    v.WorkingDirectory = "VEviz";
    v.StartDir = CurrentDir();
    v.LanguageFile = "default.lng";
    v.ShowAll = true;
    v.MaskHistory = {"*.*", "*"};
    v.NoteWords.clear();
    v.DescriptionWords.clear();
    v.NoteAllWords = false;
    v.DescriptionAllWords = false;
    v.DescriptionExtensionsAll =
        LoadExtensionList(JoinPath(programDir, kDescriptionExtensionsAllFile));
    v.DescriptionExtensions = LoadExtensionList(JoinPath(programDir, kDescriptionExtensionsFile));
    v.ScanExtensionsAll = LoadExtensionList(JoinPath(programDir, kScanExtensionsAllFile));
    v.ScanExtensions = LoadExtensionList(JoinPath(programDir, kScanExtensionsFile));
    v.TempDir = DetectTempDir(programDir);
}

} // namespace orbisk
