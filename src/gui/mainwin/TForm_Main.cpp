#include "gui/mainwin/TForm_Main.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <filesystem>
#include <optional>
#include <system_error>

#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ArchiveList.h"
#include "core/catalog/ProgramValues.h"
#include "gui/common/BusyCursor.h"
#include "gui/common/Text.h"
#include "gui/mainwin/ArchiveListHandler.h"
#include "gui/mainwin/ArchiveTreeHandler.h"
#include "gui/mainwin/ContentBrowser.h"
#include "gui/mainwin/MainFileHandler.h"
#include "gui/mainwin/MainHelpHandler.h"
#include "gui/settings/ProgramSettings.h"

namespace orbisk {

TForm_Main::TForm_Main(QWidget* parent)
    : QMainWindow(parent), caption_(QString::fromLatin1(kMainCaption)), windows_{this} {
    setObjectName(QStringLiteral("Form_Main"));
    setWindowTitle(QString::fromLatin1(kMainCaption));
    setMinimumSize(600, 400);
    resize(980, 640);
    controls_ = BuildMainLayout(*this);
    actions_ = BuildMainActions(*this, *controls_.ToolBar);
    CurrentPath = kRootPath;
    // A relative working folder ("VEviz") lies in the folder the program was
    // started in; it is resolved here, once.
    workingFolder_ = QFile::decodeName(
        QByteArray::fromStdString(AbsolutePath(Program().WorkingDirectory, Program().StartDir)));
    content_ = std::make_unique<ContentBrowser>(*this);
    archives_ = std::make_unique<ArchiveTreeHandler>(*this);
    file_ = std::make_unique<MainFileHandler>(*this);
    help_ = std::make_unique<MainHelpHandler>(*this);
    ConnectCommands();
    SetModified(false);
    SetWorkingFolder(workingFolder_);
}

// The handlers are children of the window as well; the unique pointers
// release them first, while the controls they watch still exist.
TForm_Main::~TForm_Main() = default;

void TForm_Main::ConnectCommands() {
    const TMainActions& a = actions_;
    const TMainControls& c = controls_;
    MainFileHandler* file = file_.get();
    MainHelpHandler* help = help_.get();
    ContentBrowser* content = content_.get();
    ArchiveListHandler* archiveList = &archives_->ListCommands();
    connect(a.Open, &QAction::triggered, file, &MainFileHandler::OpenCommand);
    connect(a.Save, &QAction::triggered, file, &MainFileHandler::SaveCommand);
    connect(a.ChangeDirLocal, &QAction::triggered, file,
            [file] { file->ChangeFolderCommand(true); });
    connect(c.WorkDirButton, &QToolButton::clicked, file,
            [file] { file->ChangeFolderCommand(true); });
    connect(a.ChangeDirGlobal, &QAction::triggered, file,
            [file] { file->ChangeFolderCommand(false); });
    connect(a.Languages, &QActionGroup::triggered, file, &MainFileHandler::ChooseLanguage);
    connect(a.LanguageImport, &QAction::triggered, file, &MainFileHandler::ImportLanguageCommand);
    connect(a.LanguageExport, &QAction::triggered, file, &MainFileHandler::ExportLanguageCommand);
    connect(a.Exit, &QAction::triggered, this, &QWidget::close);
    connect(a.Help, &QAction::triggered, help, &MainHelpHandler::HelpCommand);
    connect(a.HomePage, &QAction::triggered, help, &MainHelpHandler::HomePageCommand);
    connect(a.About, &QAction::triggered, help, &MainHelpHandler::AboutCommand);
    connect(a.Grid, &QAction::toggled, content, &ContentBrowser::SetGridLines);
    connect(a.Grid, &QAction::toggled, archiveList, &ArchiveListHandler::SetGridLines);
    const std::pair<QAction*, ListView::Style> archiveStyles[] = {
        {a.CDList, ListView::Style::List},
        {a.CDReport, ListView::Style::Report},
    };
    for (const auto& [action, style] : archiveStyles)
        connect(action, &QAction::triggered, archiveList,
                [archiveList, style = style] { archiveList->SetViewStyle(style); });
    connect(c.CheckBox_Wrap, &QCheckBox::toggled, content, &ContentBrowser::SetWrap);
    const std::pair<QAction*, ListView::Style> styles[] = {
        {a.DirLargeIcons, ListView::Style::LargeIcons},
        {a.DirSmallIcons, ListView::Style::SmallIcons},
        {a.DirList, ListView::Style::List},
        {a.DirReport, ListView::Style::Report},
    };
    for (const auto& [action, style] : styles) {
        connect(action, &QAction::triggered, content,
                [content, style = style] { content->SetViewStyle(style); });
        // Menu and tool bar follow a style set in any other way too.
        connect(c.ListView_Dir, &ListView::StyleChanged, action,
                [action = action, style = style](ListView::Style now) {
                    if (now == style) action->setChecked(true);
                });
    }
}

void TForm_Main::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (startUpQueued_) return;
    startUpQueued_ = true;
    // Runs once, after the window has come up.
    QMetaObject::invokeMethod(this, &TForm_Main::StartUp, Qt::QueuedConnection);
}

void TForm_Main::StartUp() {
    // The first start (no settings of this version) opens the help.
    const bool loaded = LoadProgramSettings(windows_);
    SetWorkingFolder(QFile::decodeName(
        QByteArray::fromStdString(AbsolutePath(Program().WorkingDirectory, Program().StartDir))));
    SyncViewCommands();
    if (!loaded) help_->HelpCommand();
    file_->LoadLanguage(Program().LanguageFile);
    QCoreApplication::processEvents();
    file_->FillLanguageMenu();
    file_->CheckWorkingFolder();
    busy_ = false;
    Q_EMIT DisplayOptionsDue();
    archives_->BuildArchiveList();
    startedUp_ = true;
}

void TForm_Main::closeEvent(QCloseEvent* event) {
    // An archive is being read or written; its loop lets events in.
    if (busy_ && startedUp_) {
        event->ignore();
        return;
    }
    controls_.ListView_Dir->setFocus();
    QCoreApplication::processEvents();
    // The focus change stores a note being typed when the window is active;
    // when it is not, no focus event comes, so store it here.
    StorePendingNote();
    // A failed save has said so; the window closes all the same.
    if (modified_) SaveCurrentArchive();
    // A settings file that cannot be written is passed over silently here.
    if (startedUp_ && SaveSettingsAtExit(windows_)) SaveProgramSettings(windows_);
    event->accept();
}

void TForm_Main::SetModified(bool modified) {
    modified_ = modified;
    actions_.Save->setEnabled(modified);
}

void TForm_Main::StorePendingNote() {
    content_->StorePendingNote();
}

std::string TForm_Main::WorkingFolderBytes() const {
    return QFile::encodeName(workingFolder_).toStdString();
}

void TForm_Main::SetWorkingFolder(const QString& folder) {
    workingFolder_ = folder;
    Program().WorkingDirectory = QFile::encodeName(folder).toStdString();
    const std::string caption =
        WorkingFolderCaption(Program().WorkingDirectory, Program().ProgramDir);
    setWindowTitle(caption_ + DecodeText(caption));
    controls_.StatusArchives->setToolTip(folder);
}

void TForm_Main::SetBaseCaption(const QString& caption) {
    caption_ = caption;
    SetWorkingFolder(workingFolder_);
}

void TForm_Main::SyncViewCommands() {
    const TMainActions& a = actions_;
    {
        const QSignalBlocker quiet(a.Grid);
        a.Grid->setChecked(controls_.ListView_Dir->GridLines());
    }
    const ListView::Style dir = controls_.ListView_Dir->GetStyle();
    const std::pair<QAction*, ListView::Style> dirStyles[] = {
        {a.DirLargeIcons, ListView::Style::LargeIcons},
        {a.DirSmallIcons, ListView::Style::SmallIcons},
        {a.DirList, ListView::Style::List},
        {a.DirReport, ListView::Style::Report},
    };
    for (const auto& [action, style] : dirStyles)
        if (style == dir) action->setChecked(true);
    const ListView::Style list = controls_.ListView_CD->GetStyle();
    if (list == ListView::Style::List) a.CDList->setChecked(true);
    if (list == ListView::Style::Report) a.CDReport->setChecked(true);
}

void TForm_Main::AddFunctionCommand(QAction* command) {
    actions_.Funkce->addAction(command);
    QToolBar* bar = controls_.ToolBar;
    const QList<QAction*> tools = bar->actions();
    const qsizetype after = tools.indexOf(lastFunction_ ? lastFunction_ : actions_.Save);
    bar->insertAction(after + 1 < tools.size() ? tools[after + 1] : nullptr, command);
    lastFunction_ = command;
    EnableMenusWithEntries(actions_);
}

void TForm_Main::AddNewCommand(QAction* command) {
    actions_.Soubor->insertAction(actions_.Open, command);
    const QList<QAction*> tools = controls_.ToolBar->actions();
    controls_.ToolBar->insertAction(tools.isEmpty() ? nullptr : tools.front(), command);
    EnableMenusWithEntries(actions_);
}

void TForm_Main::AddConversionCommand(QAction* command) {
    if (!conversions_) {
        conversions_ = new QMenu(QStringLiteral("Konverze"), this);
        conversions_->setObjectName(QStringLiteral("Menu_Konverze"));
        actions_.Soubor->insertMenu(actions_.ChangeDirLocal, conversions_);
        actions_.Soubor->insertSeparator(actions_.ChangeDirLocal);
    }
    conversions_->addAction(command);
}

bool TForm_Main::IsOpenArchive(const std::string& path) const {
    const std::string& open = CurrentArchive.Head.FileName;
    if (open.empty()) return false;
    std::error_code error;
    if (std::filesystem::equivalent(open, path, error)) return true;
    return error && open == path;
}

void TForm_Main::ResetTitles() {
    controls_.TreeTitle->setText(QString::fromLatin1(kEmptyTreeTitle));
    controls_.DirTitle->setText(QString::fromLatin1(kRootPath));
}

bool TForm_Main::SaveCurrentArchive() {
    return WriteArchive(CurrentArchive, host_).ok;
}

void TForm_Main::OpenArchive(const std::string& path) {
    if (opening_) return;
    opening_ = true;
    std::optional<BusyGuard> busy(std::in_place, *this);
    BusyCursor cursor;
    StorePendingNote();
    if (modified_) {
        // Opening another archive must not drop the edits of this one.
        if (!SaveCurrentArchive()) {
            opening_ = false;
            return;
        }
        SetModified(false);
        noteEdited_ = false;
    }
    content_->Clear();
    PendingArchive = THead{};
    PendingArchive.FileName = AbsolutePath(path, WorkingFolderBytes());
    CurrentArchive.Head = PendingArchive;
    ReadArchive(CurrentArchive, host_);
    Q_EMIT ArchiveRead();
    content_->ArchiveOpened();
    CurrentPath = kRootPath;
    controls_.DirTitle->setText(QString::fromLatin1(kRootPath));
    controls_.TreeTitle->setText(DecodeText(CurrentArchive.Head.Name));
    busy.reset(); // the folder is listed as a user's step, not during the open
    content_->ListFolder(CurrentPath);
    controls_.ListView_Dir->setFocus();
    opening_ = false;
}

void TForm_Main::CloseArchive() {
    content_->Clear();
    CurrentArchive = TArch{};
    SetModified(false);
    noteEdited_ = false;
    content_->ArchiveOpened();
    CurrentPath = kRootPath;
    ResetTitles();
    Q_EMIT ArchiveRead();
}

} // namespace orbisk
