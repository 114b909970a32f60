#include "gui/db/TForm_DB.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "gui/common/IconSet.h"
#include "gui/common/ListView.h"
#include "gui/common/Menus.h"
#include "gui/common/Named.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"
#include "gui/db/DbCommands.h"
#include "gui/db/DbPanes.h"
#include "gui/db/TForm_DB_HTML.h"
#include "gui/db/TForm_DB_Kat.h"
#include "gui/db/TForm_DBedit.h"
#include "gui/mainwin/ContentBrowser.h"
#include "gui/mainwin/ContentCommands.h"
#include "gui/mainwin/TForm_Main.h"

namespace orbisk {

namespace {

constexpr int kAddModeCloseMs = 200;

QLabel* HiddenLabel(const char* name, const char* text) {
    auto* label = Named(new QLabel(QString::fromUtf8(text)), name);
    label->hide();
    return label;
}

// The window of type T among the main window's own, or a new one there.
template <typename T>
T& SiblingWindow(TForm_Main& main) {
    auto* window = main.findChild<T*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) window = new T(&main);
    return *window;
}

} // namespace

TForm_DB::TForm_DB(TForm_Main* main)
    : QDialog(main), Action_DB(new QAction(CommandIcon(CommandPicture::Database),
                                           QStringLiteral("Zpětný seznam (databáze)"), main)),
      MainMenu(Named(new QMenuBar(this), "MainMenu")),
      StatusBar(Named(new QStatusBar, "StatusBar")),
      StatusPanel1(new QLabel(QStringLiteral("Kategorie"))), StatusPanel2(new QLabel),
      StatusPanel3(new QLabel), Timer(Named(new QTimer(this), "Timer")),
      LabelT1(HiddenLabel("LabelT1", "Chcete skutečně smazat ")),
      LabelT2(HiddenLabel("LabelT2", "Potvrzení...")),
      LabelT3(HiddenLabel("LabelT3", "Kategorie není prázdná, nelze smazat")),
      LabelT4(HiddenLabel("LabelT4", "No, tak to nepujde")),
      LabelT5(HiddenLabel("LabelT5", "Chcete skutečně smazat kategorii: ")),
      LabelT6(HiddenLabel("LabelT6", "Databázi nelze přečíst: změny nebudou uloženy.")),
      main_(*main), panes_(new DbPanes(db_, false)) {
    setObjectName(QStringLiteral("Form_DB"));
    setWindowTitle(QString::fromUtf8(kDbCaption));
    setModal(true);
    setSizeGripEnabled(true);
    resize(960, 560);
    Timer->setInterval(kAddModeCloseMs);
    Timer->setSingleShot(true);
    connect(Timer, &QTimer::timeout, this, [this] {
        Timer->stop();
        close();
    });

    StatusPanel1->setObjectName(QStringLiteral("StatusPanel1"));
    StatusPanel2->setObjectName(QStringLiteral("StatusPanel2"));
    StatusPanel3->setObjectName(QStringLiteral("StatusPanel3"));
    StatusPanel2->setTextFormat(Qt::PlainText);
    StatusBar->addWidget(StatusPanel1);
    StatusBar->addWidget(StatusPanel2, 1);
    StatusBar->addPermanentWidget(StatusPanel3);
    StatusBar->setSizeGripEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(MainMenu);
    layout->addWidget(panes_, 1);
    layout->addWidget(StatusBar);
    for (QLabel* hidden : {LabelT1, LabelT2, LabelT3, LabelT4, LabelT5, LabelT6})
        layout->addWidget(hidden);

    commands_ = std::make_unique<DbCommands>(*this, *panes_);
    BuildMenus();
    connect(panes_, &DbPanes::PathShown, StatusPanel2, &QLabel::setText);

    Action_DB->setObjectName(QStringLiteral("Action_DB"));
    Action_DB->setToolTip(QStringLiteral("Zpětný seznam (databáze)"));
    Action_DB->setStatusTip(Action_DB->toolTip());
    connect(Action_DB, &QAction::triggered, this, &TForm_DB::BrowseCommand);
    main->AddFunctionCommand(Action_DB);
    connect(main->Content().Commands().Action_AddToDb, &QAction::triggered, this,
            &TForm_DB::AddFromContentCommand);
}

TForm_DB::~TForm_DB() = default;

void TForm_DB::BuildMenus() {
    Menu_Zobrazeni = MainMenu->addMenu(QStringLiteral("&Zobrazení"));
    Menu_Zobrazeni->setObjectName(QStringLiteral("Menu_Zobrazeni"));
    Action_Grid = MenuEntry(*Menu_Zobrazeni, "Action_DBGrid", QStringLiteral("Mřížka"));
    Action_Grid->setCheckable(true);
    Action_Close = MenuEntry(*Menu_Zobrazeni, "Action_DBClose", QStringLiteral("Zavři okno"));
    Menu_Funkce = MainMenu->addMenu(QStringLiteral("&Funkce"));
    Menu_Funkce->setObjectName(QStringLiteral("Menu_DBFunkce"));
    Action_Add = MenuEntry(*Menu_Funkce, "Action_DBAdd", QStringLiteral("Přidej ..."));
    Action_Edit = MenuEntry(*Menu_Funkce, "Action_DBEdit", QStringLiteral("Uprav ..."));
    Menu_Funkce->addSeparator();
    Action_Export =
        MenuEntry(*Menu_Funkce, "Action_DBExport", QStringLiteral("Export do HTML ..."));
    connect(Action_Grid, &QAction::toggled, panes_, &DbPanes::SetGridLines);
    connect(Action_Close, &QAction::triggered, this, &QWidget::close);
    DbCommands* commands = commands_.get();
    connect(Action_Add, &QAction::triggered, commands, &DbCommands::AddCommand);
    connect(Action_Edit, &QAction::triggered, commands, &DbCommands::EditCommand);
    connect(Action_Export, &QAction::triggered, this, &TForm_DB::ExportCommand);
}

TForm_DBedit& TForm_DB::EditWindow() const {
    return SiblingWindow<TForm_DBedit>(main_);
}

TForm_DB_Kat& TForm_DB::CategoryWindow() const {
    return SiblingWindow<TForm_DB_Kat>(main_);
}

TForm_DB_HTML& TForm_DB::ExportWindow() const {
    return SiblingWindow<TForm_DB_HTML>(main_);
}

void TForm_DB::BrowseCommand() {
    if (main_.Busy()) return;
    const std::string path = main_.CurrentPath;
    Execute(false);
    main_.CurrentPath = path;
}

void TForm_DB::AddFromContentCommand() {
    if (main_.Busy()) return;
    std::vector<std::int32_t> recs;
    for (std::int32_t rec : main_.Content().List().SelectedSlots())
        if (rec != 0) recs.push_back(rec); // not the "[ .. ]" row
    if (recs.empty()) return;
    // A note being typed belongs to the entry that is handed over.
    main_.StorePendingNote();
    TForm_DBedit& edit = EditWindow();
    edit.Fill(ItemFromEntries(main_.CurrentArchive, main_.CurrentPath, recs));
    edit.SetInsertMode(true);
    const std::string path = main_.CurrentPath;
    Execute(true);
    main_.CurrentPath = path;
}

void TForm_DB::Execute(bool addMode) {
    addMode_ = addMode;
    exec();
}

void TForm_DB::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A window brought back from the task bar shows again; it is not a new showing.
    if (event->spontaneous()) return;
    activated_ = false;
    closing_ = false;
    // Runs once the window is up, as its activation.
    QMetaObject::invokeMethod(this, &TForm_DB::Activate, Qt::QueuedConnection);
}

void TForm_DB::Activate() {
    if (activated_ || !isVisible()) return;
    activated_ = true;
    const std::string path = DatabasePath(main_.WorkingFolderBytes());
    reading_ = true;
    const bool read = db_.Open(path, host_, true);
    reading_ = false;
    StatusPanel3->setText(read ? QString() : LabelT6->text());
    panes_->ShowDatabase();
    if (!read) Prompt::Warning(LabelT6->text());
    if (addMode_) {
        commands_->AddCommand();
        Timer->start();
    } else {
        panes_->TreeView->setFocus();
    }
}

void TForm_DB::ExportCommand() {
    panes_->StoreDescription();
    ExportWindow().Execute(db_, main_.WorkingFolder());
    panes_->FillList(db_.CurrentPath);
}

void TForm_DB::done(int result) {
    // The reader lets events in; the window closes once the database is read.
    if (closing_ || reading_) return;
    closing_ = true;
    Timer->stop();
    if (activated_) {
        // The focus leaving the description pane stores what was typed there.
        panes_->TreeView->setFocus();
        QCoreApplication::processEvents();
        panes_->StoreDescription();
        // A database that could not be read is not written: Save refuses it.
        db_.Save(host_);
    }
    activated_ = false;
    QDialog::done(result);
}

} // namespace orbisk
