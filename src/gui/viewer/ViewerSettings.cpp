#include "gui/viewer/ViewerSettings.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>
#include <vector>

#include "core/catalog/CodePage.h"
#include "core/catalog/ProgramValues.h"

namespace orbisk {

namespace {

std::string OwnFile(const std::string& programDir) {
    return JoinPath(programDir, kViewerSettingsFile);
}

bool IsWritableFile(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

} // namespace

std::string UserConfigDir() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return JoinPath(xdg, "orbisk");
    const char* home = std::getenv("HOME");
    return JoinPath(JoinPath(home && *home ? home : "/tmp", ".config"), "orbisk");
}

std::string ViewerSettingsReadPath(const std::string& programDir) {
    const std::string own = OwnFile(programDir);
    if (IsWritableFile(own)) return own;
    const std::string user = JoinPath(UserConfigDir(), kViewerSettingsFile);
    return PathExists(user) ? user : own;
}

std::string ViewerSettingsWritePath(const std::string& programDir) {
    const std::string own = OwnFile(programDir);
    if (IsWritableFile(own)) return own;
    return JoinPath(UserConfigDir(), kViewerSettingsFile);
}

void LoadViewerSettings(const std::string& path, TViewerSettings& settings) {
    std::string text;
    if (!ReadWholeFile(path, text, kMaxSmallFile)) return;
    const std::string utf8 = AsUtf8(text);
    std::vector<std::string_view> lines;
    LineReader reader(utf8);
    while (!reader.AtEnd() && lines.size() < 3)
        lines.push_back(reader.Next());
    if (lines.size() < 3) return;
    settings.DatabasePath.assign(lines[1]);
    std::replace(settings.DatabasePath.begin(), settings.DatabasePath.end(), '\\', '/');
    settings.LanguageFile.assign(lines[2]);
}

TFileStatus SaveViewerSettings(const std::string& path, const TViewerSettings& settings) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::string text;
    for (const std::string& line :
         {std::string(kViewerSettingsTitle), settings.DatabasePath, settings.LanguageFile})
        text.append(line).append("\r\n");
    return SaveFileAtomically(path, text, BackupMode::None, {});
}

} // namespace orbisk
