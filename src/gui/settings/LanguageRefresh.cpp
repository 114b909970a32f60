#include "gui/settings/LanguageRefresh.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>

#include "core/catalog/ProgramValues.h"
#include "core/settings/SettingsFiles.h"
#include "gui/settings/LanguageApplier.h"

namespace orbisk {

namespace {

struct TFound {
    std::string Folder, Name;
};

// Every language file of the folders, a name found twice taken from the
// first folder (the one the program reads it from).
std::vector<TFound> LanguageFilesFound(const std::string& programDir) {
    std::vector<TFound> found;
    QStringList names;
    for (const std::string& folder : LanguageFolders(programDir)) {
        const QDir dir(QFile::decodeName(QByteArray::fromStdString(folder)));
        for (const QString& name :
             dir.entryList({QStringLiteral("*.lng")}, QDir::Files | QDir::System, QDir::Name)) {
            if (names.contains(name)) continue;
            names.push_back(name);
            found.push_back({folder, QFile::encodeName(name).toStdString()});
        }
    }
    return found;
}

QString Upper(const std::string& name) {
    return QFile::decodeName(QByteArray::fromStdString(name)).toUpper();
}

} // namespace

std::vector<std::string> RefreshLanguageFiles(const std::vector<QWidget*>& windows) {
    const std::string& programDir = Program().ProgramDir;
    const std::vector<std::string> shown = LanguageLines(windows);
    const std::vector<TFound> files = LanguageFilesFound(programDir);
    std::string english;
    for (const TFound& file : files)
        if (Upper(file.Name) == QLatin1String("ENGLISH.LNG"))
            english = JoinPath(file.Folder, file.Name);
    std::vector<std::string> written;
    for (const TFound& file : english.empty() ? std::vector<TFound>{} : files) {
        const QString upper = Upper(file.Name);
        if (upper == QLatin1String("ENGLISH.LNG") || upper == QLatin1String("CZECH.LNG")) continue;
        ImportLanguage(windows, english);
        QCoreApplication::processEvents();
        // A file that cannot be read is not replaced by the English texts.
        if (!ImportLanguage(windows, JoinPath(file.Folder, file.Name))) continue;
        QCoreApplication::processEvents();
        const std::string target = LocateWrittenFile(file.Folder, file.Name).Write;
        if (ExportLanguage(windows, target)) written.push_back(target);
        QCoreApplication::processEvents();
    }
    // The texts shown before, then the current language file as at start-up.
    ApplyLanguageLines(windows, shown);
    ImportLanguage(windows, LanguageFilePath(programDir, Program().LanguageFile));
    return written;
}

} // namespace orbisk
