#include "gui/viewer/TForm_DB.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTreeView>

#include "gui/common/Dialogs.h"
#include "gui/common/Menus.h"
#include "gui/common/Named.h"
#include "gui/common/Text.h"
#include "gui/db/DbItemModel.h"
#include "gui/db/DbPanes.h"

namespace orbisk::viewer {

namespace {

const char* const kColumns[] = {"Full name", "Size", "Archive", "Path"};

} // namespace

TForm_DB::TForm_DB(std::string programDir)
    : StatusPanel1(new QLabel(QStringLiteral("Kategory"))), StatusPanel2(new QLabel),
      programDir_(std::move(programDir)), panes_(new DbPanes(db_, true)) {
    setObjectName(QStringLiteral("Form_DB"));
    setWindowTitle(QString::fromUtf8(kViewerCaption));
    resize(900, 540);
    setCentralWidget(panes_);
    for (int column = 0; column < 4; ++column)
        panes_->Items().setHeaderData(column, Qt::Horizontal,
                                      QString::fromLatin1(kColumns[column]));

    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    StatusPanel2->setObjectName(QStringLiteral("StatusPanel2"));
    StatusPanel2->setTextFormat(Qt::PlainText);
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(StatusPanel1);
    statusBar()->addWidget(StatusPanel2, 1);
    connect(panes_, &DbPanes::PathShown, StatusPanel2, &QLabel::setText);
    BuildMenus();
}

TForm_DB::~TForm_DB() = default;

void TForm_DB::BuildMenus() {
    menuBar()->setObjectName(QStringLiteral("MainMenu"));
    Menu_File = menuBar()->addMenu(QStringLiteral("&File"));
    Menu_File->setObjectName(QStringLiteral("Menu_File"));
    Action_Open = MenuEntry(*Menu_File, "Action_Open", QStringLiteral("Open ..."));
    Menu_File->addSeparator();
    Action_Exit = MenuEntry(*Menu_File, "Action_Exit", QStringLiteral("Exit"));
    Menu_View = menuBar()->addMenu(QStringLiteral("&View"));
    Menu_View->setObjectName(QStringLiteral("Menu_View"));
    Action_Grid = MenuEntry(*Menu_View, "Action_Grid", QStringLiteral("Gridlines"));
    Action_Grid->setCheckable(true);
    connect(Action_Open, &QAction::triggered, this, &TForm_DB::OpenCommand);
    connect(Action_Exit, &QAction::triggered, this, &QWidget::close);
    connect(Action_Grid, &QAction::toggled, panes_, &DbPanes::SetGridLines);

    PopupMenu_Tree = Named(new QMenu(this), "PopupMenu_Tree");
    Action_Expand = MenuEntry(*PopupMenu_Tree, "Action_Expand", QStringLiteral("Expand"));
    Action_Colaps = MenuEntry(*PopupMenu_Tree, "Action_Colaps", QStringLiteral("Colaps"));
    QTreeView* tree = panes_->TreeView;
    connect(Action_Expand, &QAction::triggered, tree, &QTreeView::expandAll);
    connect(Action_Colaps, &QAction::triggered, tree, &QTreeView::collapseAll);
    connect(tree, &QWidget::customContextMenuRequested, this, [this, tree](const QPoint& at) {
        PopupMenu_Tree->popup(tree->viewport()->mapToGlobal(at));
    });
}

void TForm_DB::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (activated_) return;
    activated_ = true;
    // Runs once the window is up, as its activation.
    QMetaObject::invokeMethod(this, &TForm_DB::Activate, Qt::QueuedConnection);
}

void TForm_DB::Activate() {
    LoadViewerSettings(ViewerSettingsLocation(programDir_).Read, settings_, *this);
    ShowDatabaseFile();
    startedUp_ = true;
}

void TForm_DB::ShowDatabaseFile() {
    // A path that names no file gives no message: the database in memory
    // (empty at start, the previous one after "Open ...") stays on show.
    if (PathExists(settings_.DatabasePath)) {
        reading_ = true;
        db_.OpenForViewing(settings_.DatabasePath, host_);
        reading_ = false;
    }
    panes_->ShowDatabase();
    panes_->TreeView->setFocus();
}

void TForm_DB::OpenCommand() {
    if (reading_) return;
    FileRequest request;
    request.title = QStringLiteral("Open");
    request.folder = DecodeText(programDir_);
    request.filter = QStringLiteral("Zpětný seznam (databáze)  (*.db)");
    request.defaultSuffix = QStringLiteral("db");
    const QString chosen = Dialogs::OpenFile(this, request);
    if (chosen.isEmpty()) return;
    settings_.DatabasePath = QFile::encodeName(chosen).toStdString();
    ShowDatabaseFile();
}

void TForm_DB::closeEvent(QCloseEvent* event) {
    // The reader lets events in; the window closes once the database is read.
    if (reading_) {
        event->ignore();
        return;
    }
    panes_->TreeView->setFocus();
    QCoreApplication::processEvents();
    SaveViewerSettings(ViewerSettingsLocation(programDir_).Write, settings_, *this);
    QMainWindow::closeEvent(event);
}

} // namespace orbisk::viewer
