#include "gui/common/SystemIcons.h"

#include <QCoreApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHash>
#include <QMimeDatabase>
#include <QPointer>
#include <QStandardPaths>
#include <string>
#include <unordered_map>

#include "core/catalog/Common.h"
#include "gui/common/IconSet.h"
#include "gui/common/Text.h"

namespace orbisk {

namespace {

bool systemIconsOn = false;

// Themes with pictures for most file types, tried in this order when the
// desktop names no theme of its own.
constexpr const char* kFullThemes[] = {"Adwaita", "breeze"};

// More distinct extensions than this (names such as "photo.2023-01-01 12.33")
// start the cache anew, so it never grows with the catalogue.
constexpr std::size_t kCacheLimit = 4096;

// A desktop session names its icon theme. A bare X server or the offscreen
// platform names none or only "hicolor", which has next to no pictures of
// file types: then the first full theme installed answers what hicolor lacks.
void PrepareTheme() {
    QStringList paths = QIcon::themeSearchPaths();
    const QStringList installed =
        QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                  QStandardPaths::LocateDirectory);
    bool added = false;
    for (const QString& path : installed) {
        if (paths.contains(path)) continue;
        paths.append(path);
        added = true;
    }
    if (added) QIcon::setThemeSearchPaths(paths);
    const QString base = QStringLiteral("hicolor");
    if (QIcon::themeName().isEmpty()) QIcon::setThemeName(base);
    if (QIcon::themeName() != base) return;
    if (!QIcon::fallbackThemeName().isEmpty() && QIcon::fallbackThemeName() != base) return;
    for (const char* theme : kFullThemes)
        for (const QString& path : paths)
            if (QFileInfo::exists(path + u'/' + QLatin1String(theme) +
                                  QStringLiteral("/index.theme"))) {
                QIcon::setFallbackThemeName(QLatin1String(theme));
                return;
            }
}

// The looked-up pictures. A child of the application, so its pictures are
// gone before the application is.
class IconCache : public QObject {
public:
    using QObject::QObject;

    QIcon Folder(int ownIcon) {
        if (folder_.isNull())
            folder_ = QIcon::fromTheme(QStringLiteral("folder"),
                                       provider_.icon(QFileIconProvider::Folder));
        return folder_.isNull() ? OwnIcon(ownIcon) : folder_;
    }

    QIcon File(std::string_view name, int ownIcon) {
        std::string extension(ExtensionOf(name));
        for (char& c : extension)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        const auto found = byExtension_.find(extension);
        if (found != byExtension_.end()) return found->second;
        if (byExtension_.size() >= kCacheLimit) byExtension_.clear();
        QIcon icon = OfType(extension);
        if (icon.isNull()) icon = OwnIcon(ownIcon);
        byExtension_.emplace(std::move(extension), icon);
        return icon;
    }

    void Clear() {
        byExtension_.clear();
        byType_.clear();
        folder_ = {};
    }

private:
    // The theme's picture of the type a name with extension has (a null
    // icon when the theme has none); extensions of one type share it.
    QIcon OfType(const std::string& extension) {
        const QMimeType type = mime_.mimeTypeForFile(QStringLiteral("x") + DecodeText(extension),
                                                     QMimeDatabase::MatchExtension);
        const auto found = byType_.constFind(type.name());
        if (found != byType_.constEnd()) return *found;
        QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
        if (icon.isNull() && type.isDefault()) icon = provider_.icon(QFileIconProvider::File);
        if (!icon.isNull()) byType_.insert(type.name(), icon);
        return icon;
    }

    QMimeDatabase mime_;
    QFileIconProvider provider_;
    std::unordered_map<std::string, QIcon> byExtension_;
    QHash<QString, QIcon> byType_;
    QIcon folder_;
};

IconCache& TheCache() {
    static QPointer<IconCache> cache;
    if (!cache) cache = new IconCache(QCoreApplication::instance());
    return *cache;
}

} // namespace

SystemIconsSwitch& SystemIconsSwitch::Instance() {
    static SystemIconsSwitch instance;
    return instance;
}

void SetSystemIcons(bool on) {
    if (on == systemIconsOn) return;
    systemIconsOn = on;
    if (on) {
        // A theme changed while the switch was off is taken up now.
        static const bool prepared = (PrepareTheme(), true);
        (void)prepared;
        TheCache().Clear();
    }
    Q_EMIT SystemIconsSwitch::Instance().Switched(on);
}

bool SystemIconsOn() {
    return systemIconsOn;
}

QIcon EntryIcon(std::string_view name, bool folder, int ownIcon) {
    if (!systemIconsOn || ownIcon == kIconParent || ownIcon == kIconPacked ||
        ownIcon == kIconMerged)
        return OwnIcon(ownIcon);
    return folder ? TheCache().Folder(ownIcon) : TheCache().File(name, ownIcon);
}

} // namespace orbisk
