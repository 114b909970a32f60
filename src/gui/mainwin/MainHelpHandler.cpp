#include "gui/mainwin/MainHelpHandler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "core/catalog/ArchiveFile.h"
#include "core/catalog/HomePage.h"
#include "core/catalog/ProgramValues.h"
#include "gui/common/Prompt.h"
#include "gui/common/Shell.h"
#include "gui/common/Text.h"
#include "gui/mainwin/TForm_Main.h"

namespace orbisk {

MainHelpHandler::MainHelpHandler(TForm_Main& form) : QObject(&form) {}

QString MainHelpHandler::HelpPath() {
    for (const char* name : {kHelpFile, kHelpGuide}) {
        QString path =
            QFile::decodeName(QByteArray::fromStdString(JoinPath(Program().ProgramDir, name)));
        if (QFileInfo(path).isFile()) return path;
    }
    return {};
}

void MainHelpHandler::HelpCommand() {
    const QString path = HelpPath();
    if (path.isEmpty())
        Prompt::Information(DecodeText(kMsgFileMissing));
    else if (!Shell::OpenFile(path))
        Prompt::Warning(QString::fromUtf8(kMsgCannotOpen) + QDir::toNativeSeparators(path));
}

void MainHelpHandler::HomePageCommand() {
    const QString address = QString::fromLatin1(kHomePage);
    if (!Shell::OpenUrl(QUrl(address)))
        Prompt::Warning(QString::fromUtf8(kMsgCannotOpen) + address);
}

} // namespace orbisk
