#include "gui/mainwin/MainFileHandler.h"

#include <QAction>
#include <QActionGroup>
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QTreeView>
#include <algorithm>

#include "core/catalog/ProgramValues.h"
#include "core/settings/SettingsFiles.h"
#include "gui/common/Dialogs.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"
#include "gui/mainwin/ArchiveTreeHandler.h"
#include "gui/mainwin/ContentBrowser.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/settings/LanguageApplier.h"

namespace orbisk {

namespace {

QString ProgramDir() {
    return QFile::decodeName(QByteArray::fromStdString(Program().ProgramDir));
}

// The folder that holds the default working folder "VEviz": the folder the
// program was started in.
QString StartDir() {
    return QFile::decodeName(QByteArray::fromStdString(Program().StartDir));
}

// True when folder is a folder whose archives can be reached.
bool CanEnter(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isExecutable();
}

} // namespace

MainFileHandler::MainFileHandler(TForm_Main& form) : QObject(&form), form_(form) {}

void MainFileHandler::OpenCommand() {
    if (form_.Busy()) return;
    FileRequest request{form_.Controls().LabelT_OpenTitle->text(), form_.WorkingFolder(),
                        QString::fromLatin1(kArchiveFilter), QStringLiteral("cd")};
    const QString chosen = Dialogs::OpenFile(&form_, request);
    if (!chosen.isEmpty()) form_.OpenArchive(QFile::encodeName(chosen).toStdString());
}

void MainFileHandler::SaveCommand() {
    if (form_.Busy()) return;
    form_.Controls().TreeView_Arch->setFocus();
    form_.StorePendingNote();
    // A failed save has said so and keeps the flag, so the edits are saved
    // again at the next chance instead of being dropped.
    if (form_.SaveCurrentArchive()) {
        form_.SetModified(false);
        form_.SetNoteEdited(false);
    }
}

void MainFileHandler::ChangeFolderCommand(bool local) {
    if (form_.Busy()) return;
    FolderRequest request{form_.Controls().LabelT_ChooseFolder->text(), form_.WorkingFolder(),
                          local ? StartDir() : QString()};
    const QString chosen = Dialogs::ChooseFolder(&form_, request);
    if (!chosen.isEmpty()) {
        form_.StorePendingNote();
        // The flag stays: the archive is saved once more when it is left.
        if (form_.Modified()) form_.SaveCurrentArchive();
        form_.Content().Clear();
        form_.ResetTitles();
        if (!CanEnter(chosen)) {
            Prompt::Warning(form_.Controls().LabelT_NoFolder->text());
        } else {
            form_.SetWorkingFolder(QDir(chosen).absolutePath());
            form_.Archives().BuildArchiveList();
        }
    }
    form_.Controls().TreeView_Arch->setFocus();
}

void MainFileHandler::FillLanguageMenu() {
    const TMainActions& a = form_.Actions();
    for (QAction* old : a.Languages->actions()) {
        a.Languages->removeAction(old);
        delete old;
    }
    QStringList names;
    for (const std::string& folder : LanguageFolders(Program().ProgramDir))
        for (const QString& name :
             QDir(QFile::decodeName(QByteArray::fromStdString(folder)))
                 .entryList({QStringLiteral("*.lng")}, QDir::Files | QDir::System))
            if (!names.contains(name)) names.push_back(name);
    QCollator collator;
    std::sort(names.begin(), names.end(), collator);
    const QString current = QFile::decodeName(QByteArray::fromStdString(Program().LanguageFile));
    for (const QString& name : names) {
        // "&" would mark a shortcut letter in a menu caption. The entries
        // carry no object name: a file name is no text to translate.
        auto* entry =
            new QAction(QString(name).replace(QLatin1Char('&'), QStringLiteral("&&")), a.Languages);
        entry->setData(name);
        entry->setCheckable(true);
        entry->setChecked(name == current);
        a.Jazyk->addAction(entry);
    }
    EnableMenusWithEntries(a);
}

void MainFileHandler::ChooseLanguage(QAction* entry) {
    const std::string name = QFile::encodeName(entry->data().toString()).toStdString();
    Program().LanguageFile = name;
    LoadLanguage(name);
}

void MainFileHandler::LoadLanguage(const std::string& name) {
    ImportLanguage(form_.Windows(), LanguageFilePath(Program().ProgramDir, name));
}

void MainFileHandler::ImportLanguageCommand() {
    FileRequest request{form_.Actions().LanguageImport->text().remove(QLatin1Char('&')),
                        ProgramDir(), QString::fromLatin1(kLanguageFilter), QStringLiteral("lng")};
    const QString chosen = Dialogs::OpenFile(&form_, request);
    if (chosen.isEmpty()) return;
    ImportLanguage(form_.Windows(), QFile::encodeName(chosen).toStdString());
    // The next start looks for a file of this name.
    Program().LanguageFile = QFile::encodeName(QFileInfo(chosen).fileName()).toStdString();
    for (QAction* entry : form_.Actions().Languages->actions())
        entry->setChecked(entry->data().toString() == QFileInfo(chosen).fileName());
}

void MainFileHandler::ExportLanguageCommand() {
    // Exported files go where the program may write, and are listed from there.
    const QString folder = QFile::decodeName(QByteArray::fromStdString(UserConfigDir()));
    QDir().mkpath(folder);
    FileRequest request{form_.Actions().LanguageExport->text().remove(QLatin1Char('&')), folder,
                        QString::fromLatin1(kLanguageFilter), QStringLiteral("lng")};
    const QString chosen = Dialogs::SaveFile(&form_, request);
    if (chosen.isEmpty()) return;
    const std::string path = QFile::encodeName(chosen).toStdString();
    if (const TFileStatus saved = SaveSettingsLines(path, LanguageLines(form_.Windows())); !saved)
        Prompt::Warning(DecodeText(UserText(saved)));
    FillLanguageMenu();
}

void MainFileHandler::CheckWorkingFolder() {
    if (!CanEnter(form_.WorkingFolder())) form_.SetWorkingFolder(StartDir());
}

} // namespace orbisk
