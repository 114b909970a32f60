#include "gui/common/QtTranslation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace orbisk {

namespace {

QTranslator*& Installed() {
    static QTranslator* translator = nullptr;
    return translator;
}

} // namespace

QString QtTranslationFile(const QString& language, const QString& folder) {
    QString name = language;
    // cs_CZ, then cs.
    while (!name.isEmpty()) {
        const QString path = folder + QStringLiteral("/qtbase_") + name + QStringLiteral(".qm");
        if (QFileInfo(path).isFile()) return path;
        const qsizetype cut = name.lastIndexOf(QLatin1Char('_'));
        name = cut > 0 ? name.left(cut) : QString();
    }
    return {};
}

QTranslator* InstallQtTranslation(const QString& language, const QString& folder) {
    QTranslator*& installed = Installed();
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
        installed = nullptr;
    }
    const QString path = QtTranslationFile(
        language, folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder);
    if (path.isEmpty()) return nullptr;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(path) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    installed = translator;
    return translator;
}

} // namespace orbisk
