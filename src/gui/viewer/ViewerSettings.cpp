#include "gui/viewer/ViewerSettings.h"

#include <algorithm>
#include <vector>

#include "core/settings/SettingsLine.h"
#include "gui/settings/SettingsApplier.h"

namespace orbisk {

TFileLocation ViewerSettingsLocation(const std::string& programDir) {
    return LocateWrittenFile(programDir, kViewerSettingsFile);
}

void LoadViewerSettings(const std::string& path, TViewerSettings& settings, QWidget& window) {
    std::vector<std::string> lines;
    if (!ReadSettingsLines(path, lines) || lines.size() < kFirstBlockLine) return;
    settings.DatabasePath = lines[1];
    std::replace(settings.DatabasePath.begin(), settings.DatabasePath.end(), '\\', '/');
    settings.LanguageFile = lines[2];
    ApplySettingsBlocks({&window}, lines, kFirstBlockLine);
}

TFileStatus SaveViewerSettings(const std::string& path, const TViewerSettings& settings,
                               QWidget& window) {
    std::vector<std::string> lines{kViewerSettingsTitle, settings.DatabasePath,
                                   settings.LanguageFile};
    for (std::string& line : SettingsBlocks({&window}))
        lines.push_back(std::move(line));
    return SaveSettingsLines(path, lines);
}

} // namespace orbisk
