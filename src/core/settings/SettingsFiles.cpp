#include "core/settings/SettingsFiles.h"

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "core/catalog/CodePage.h"
#include "core/catalog/ProgramValues.h"

namespace orbisk {

TFileStatus ReadSettingsLines(const std::string& path, std::vector<std::string>& lines) {
    std::string text;
    TFileStatus status = ReadWholeFile(path, text, kMaxSmallFile);
    if (!status) return status;
    if (!IsValidUtf8(text)) text = Cp1250ToUtf8(text);
    lines.clear();
    for (LineReader reader(text); !reader.AtEnd();)
        lines.emplace_back(reader.Next());
    return status;
}

TFileStatus SaveSettingsLines(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text.append(line).append("\r\n");
    std::error_code ignored;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
    return SaveSmallFile(path, text);
}

std::string UserConfigDir() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return JoinPath(xdg, "orbisk");
    const char* home = std::getenv("HOME");
    return JoinPath(JoinPath(home && *home ? home : "/", ".config"), "orbisk");
}

TFileLocation LocateWrittenFile(const std::string& programDir, const std::string& name) {
    const std::string beside = JoinPath(programDir, name);
    struct stat st {};
    if (::stat(beside.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        ::access(beside.c_str(), W_OK) == 0)
        return {beside, beside};
    const std::string own = JoinPath(UserConfigDir(), name);
    return {PathExists(own) ? own : beside, own};
}

std::vector<std::string> LanguageFolders(const std::string& programDir) {
    std::vector<std::string> folders{UserConfigDir()};
    if (folders.front() != programDir) folders.push_back(programDir);
    return folders;
}

std::string LanguageFilePath(const std::string& programDir, const std::string& name) {
    for (const std::string& folder : LanguageFolders(programDir)) {
        std::string path = JoinPath(folder, name);
        if (PathExists(path)) return path;
    }
    return JoinPath(programDir, name);
}

} // namespace orbisk
