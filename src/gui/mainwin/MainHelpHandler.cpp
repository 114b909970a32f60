#include "gui/mainwin/MainHelpHandler.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <QLabel>

#include "core/catalog/ArchiveFile.h"
#include "core/catalog/HomePage.h"
#include "core/catalog/ProgramValues.h"
#include "core/settings/CoreTexts.h"
#include "gui/common/Prompt.h"
#include "gui/common/Shell.h"
#include "gui/common/Text.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/settings/TForm_About.h"

namespace orbisk {

MainHelpHandler::MainHelpHandler(TForm_Main& form) : QObject(&form), form_(form) {}

QString MainHelpHandler::HelpPath() {
    for (const char* name : {kHelpFile, kGuideFile}) {
        QString path =
            QFile::decodeName(QByteArray::fromStdString(JoinPath(Program().ProgramDir, name)));
        if (QFileInfo(path).isFile()) return path;
    }
    return {};
}

namespace {

// "Nelze otevřít " in the current language: the main window's hidden label.
QString CannotOpenText() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* label = window->findChild<QLabel*>(QStringLiteral("LabelT_CannotOpen")))
            return label->text();
    return QString::fromUtf8(kMsgCannotOpen);
}

} // namespace

void MainHelpHandler::HelpCommand() {
    const QString path = HelpPath();
    if (path.isEmpty())
        Prompt::Information(DecodeText(CoreText(TCoreText::FileMissing)));
    else if (!Shell::OpenFile(path))
        Prompt::Warning(CannotOpenText() + QDir::toNativeSeparators(path));
}

void MainHelpHandler::HomePageCommand() {
    const std::string& programDir = Program().ProgramDir;
    const QString guide =
        QFile::decodeName(QByteArray::fromStdString(JoinPath(programDir, kHomePage)));
    if (!QFileInfo(guide).isFile()) {
        Prompt::Information(DecodeText(CoreText(TCoreText::FileMissing)));
        return;
    }
    const QUrl address(QString::fromStdString(HomePageAddress(programDir)));
    if (!Shell::OpenUrl(address))
        Prompt::Warning(CannotOpenText() + QDir::toNativeSeparators(guide));
}

void MainHelpHandler::AboutCommand() {
    auto* about = form_.findChild<TForm_About*>(QString(), Qt::FindDirectChildrenOnly);
    if (!about) about = new TForm_About(&form_);
    about->exec();
}

} // namespace orbisk
