#include "gui/export/TForm_Tohtml.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/catalog/ArchiveListEdit.h"
#include "core/catalog/HomePage.h"
#include "core/catalog/ProgramValues.h"
#include "gui/common/Dialogs.h"
#include "gui/common/GuiHost.h"
#include "gui/common/IconSet.h"
#include "gui/common/ListView.h"
#include "gui/common/Named.h"
#include "gui/common/Shell.h"
#include "gui/common/Text.h"
#include "gui/mainwin/ArchiveListHandler.h"
#include "gui/mainwin/ArchiveTreeHandler.h"
#include "gui/mainwin/MainHelpHandler.h"
#include "gui/mainwin/TForm_Main.h"

namespace orbisk {

namespace {

std::string Bytes(const QString& text) {
    return text.toStdString();
}

std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString PathText(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QLabel* HiddenText(QWidget* parent, const char* name, const char* text) {
    auto* label = Named(new QLabel(QString::fromUtf8(text), parent), name);
    label->hide();
    return label;
}

} // namespace

TForm_Tohtml::TForm_Tohtml(TForm_Main* main)
    : TRunningDialog(main), main_(*main), host_(std::make_unique<GuiHost>()) {
    setObjectName(QStringLiteral("Form_Tohtml"));
    setWindowTitle(QStringLiteral("Export do html"));
    setModal(true);
    BuildControls();
    BuildLayout();
    connect(Button1, &QPushButton::clicked, this, &TForm_Tohtml::ExportCommand);
    connect(Button2, &QPushButton::clicked, this, &TForm_Tohtml::CancelCommand);
    connect(Button3, &QPushButton::clicked, this, &TForm_Tohtml::ShowCommand);
    connect(Button4, &QPushButton::clicked, this, &TForm_Tohtml::ArchiveCommand);

    Action_Export = new QAction(CommandIcon(CommandPicture::ExportHtml),
                                QStringLiteral("Export do html..."), main);
    Action_Export->setObjectName(QStringLiteral("Action_Export"));
    Action_Export->setToolTip(QStringLiteral("Export do HTML - Exportovat do HTML"));
    Action_Export->setStatusTip(Action_Export->toolTip());
    connect(Action_Export, &QAction::triggered, this, [this] { Execute(); });
    main->AddFunctionCommand(Action_Export);

    // First in the archive list's pop-up menu; its state follows the
    // selection each time the menu opens.
    QMenu* popup = main->Archives().ListCommands().Menu();
    Action_ExportRow = new QAction(QStringLiteral("Export do html..."), popup);
    Action_ExportRow->setObjectName(QStringLiteral("Action_CDExport"));
    popup->insertAction(popup->actions().value(0), Action_ExportRow);
    connect(Action_ExportRow, &QAction::triggered, this, &TForm_Tohtml::ExportRowCommand);
    connect(popup, &QMenu::aboutToShow, this, &TForm_Tohtml::UpdateRowCommand);
    UpdateRowCommand();
}

TForm_Tohtml::~TForm_Tohtml() {
    running_ = false;
}

void TForm_Tohtml::BuildControls() {
    Edit1 = Named(new QLineEdit, "Edit1");
    Edit1->setReadOnly(true);
    GroupBox1 = Named(new QGroupBox(QStringLiteral("Exportované položky")), "GroupBox1");
    const std::pair<QCheckBox**, const char*> boxes[] = {
        {&CheckBox1, "Název"},   {&CheckBox2, "Velikost"}, {&CheckBox3, "Datum"},
        {&CheckBox4, "Atribut"}, {&CheckBox5, "Poznámka"}, {&CheckBox6, "Popis"},
        {&CheckBox7, "Mříž"},
    };
    int number = 1;
    for (const auto& [box, caption] : boxes) {
        const std::string name = "CheckBox" + std::to_string(number++);
        *box = Named(new QCheckBox(QString::fromUtf8(caption)), name.c_str());
    }
    const TExportColumns initial;
    CheckBox1->setChecked(true);
    CheckBox1->setEnabled(false); // the name column is always there
    CheckBox2->setChecked(initial.Size);
    CheckBox3->setChecked(initial.Date);
    CheckBox4->setChecked(initial.Attr);
    CheckBox5->setChecked(initial.Note);
    CheckBox6->setChecked(initial.Description);
    CheckBox7->setChecked(initial.Grid);
    RichEdit = Named(new QPlainTextEdit, "RichEdit");
    RichEdit->setReadOnly(true);
    Button1 = Named(new QPushButton(QStringLiteral("OK")), "Button1");
    Button1->setDefault(true);
    Button2 = Named(new QPushButton(QStringLiteral("Storno")), "Button2");
    Button3 = Named(new QPushButton(QStringLiteral("Zobraz")), "Button3");
    Button4 = Named(new QPushButton(QStringLiteral("Archiv")), "Button4");

    LabelT1 = HiddenText(this, "LabelT1", "Exportuji...");
    LabelT2 = HiddenText(this, "LabelT2", "Vlastník");
    LabelT3 = HiddenText(this, "LabelT3", "Výpis byl vytvořen pomocí programu ");
    LabelT4 =
        HiddenText(this, "LabelT4",
                   "Nepodařil se export, nastala chyba čtení/zápisu na/z disku, asi je plný.");
    LabelT5 = HiddenText(this, "LabelT5", "Export dokončen.");
    LabelT6 = HiddenText(this, "LabelT6", "Export zrušen.");
    LabelT7 = HiddenText(this, "LabelT7", "Zobrazení vyexportovaného souboru  ");
    LabelT8 = HiddenText(this, "LabelT8", "pomocí výchozího Webového prohlížeče.");
    LabelT9 = HiddenText(this, "LabelT9", "Soubor uložen.");
}

void TForm_Tohtml::BuildLayout() {
    auto* archive = new QHBoxLayout;
    archive->addWidget(Edit1, 1);
    archive->addWidget(Button4);
    auto* columns = new QVBoxLayout(GroupBox1);
    for (QCheckBox* box :
         {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6, CheckBox7})
        columns->addWidget(box);
    columns->addStretch(1);
    auto* middle = new QHBoxLayout;
    middle->addWidget(GroupBox1);
    middle->addWidget(RichEdit, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button3);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(archive);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);
    resize(620, 400);
}

void TForm_Tohtml::Execute(const QString& archivePath) {
    Prepare(archivePath);
    exec();
}

void TForm_Tohtml::Prepare(const QString& archivePath) {
    archiveGiven_ = !archivePath.isEmpty();
    Edit1->setText(archivePath);
    Button1->setEnabled(archiveGiven_);
    running_ = false;
    // The read-only path box would only show its text selected: the focus
    // goes to the button that comes next.
    (archiveGiven_ ? Button1 : Button4)->setFocus();
    Edit1->setCursorPosition(0);
    Button3->setEnabled(false);
    Button4->setEnabled(true);
    lastSaved_.clear();
}

QString TForm_Tohtml::ArchivePath() const {
    return Edit1->text();
}

QString TForm_Tohtml::LogText() const {
    return RichEdit->toPlainText();
}

void TForm_Tohtml::Log(const QString& line) {
    RichEdit->appendPlainText(line);
}

TExportColumns TForm_Tohtml::Columns() const {
    TExportColumns columns;
    columns.Size = CheckBox2->isChecked();
    columns.Date = CheckBox3->isChecked();
    columns.Attr = CheckBox4->isChecked();
    columns.Note = CheckBox5->isChecked();
    columns.Description = CheckBox6->isChecked();
    columns.Grid = CheckBox7->isChecked();
    return columns;
}

TExportTexts TForm_Tohtml::Texts() const {
    TExportTexts texts;
    texts.NameCaption = Bytes(CheckBox1->text());
    texts.DescriptionCaption = Bytes(CheckBox6->text());
    texts.Owner = Bytes(LabelT2->text());
    texts.Footer = Bytes(LabelT3->text());
    texts.HomePage = ExportHomePage(Program().ProgramDir);
    return texts;
}

void TForm_Tohtml::ExportCommand() {
    if (running_ || ArchivePath().isEmpty()) return;
    const std::string path = PathBytes(ArchivePath());
    RichEdit->clear();
    Log(LabelT1->text());
    running_ = true;
    for (QPushButton* button : {Button1, Button3, Button4})
        button->setEnabled(false);
    const TExportResult result =
        ExportArchive(path, TExportFormat::Page, Columns(), Texts(), running_, *host_);
    if (result.Outcome == TExportOutcome::Unreadable) {
        // The archive is gone or unreadable: the user picks another one.
        Edit1->clear();
        archiveGiven_ = false;
        Log(DecodeText(Describe(result.Status)));
    } else if (result.Outcome == TExportOutcome::Done && running_) {
        Log(LabelT5->text());
        SavePage(result.Output);
    } else {
        Log(LabelT6->text());
    }
    Log(QString());
    Button1->setEnabled(!ArchivePath().isEmpty());
    Button4->setEnabled(true);
    RunEnded();
}

void TForm_Tohtml::SavePage(const std::string& page) {
    FileRequest request;
    request.folder = PathText(ProposedExportName(PathBytes(ArchivePath()), ".html"));
    request.filter = QStringLiteral("(*.html *.htm)");
    request.defaultSuffix = QStringLiteral("html");
    const QString chosen = Dialogs::SaveFile(this, request);
    if (chosen.isEmpty()) return;
    const TFileStatus status = SaveExport(PathBytes(chosen), page);
    if (!status) {
        Log(LabelT4->text());
        Log(DecodeText(Describe(status)));
        return;
    }
    lastSaved_ = chosen;
    Button3->setEnabled(true);
    Log(LabelT9->text());
}

void TForm_Tohtml::CancelCommand() {
    if (running_) {
        running_ = false;
        return;
    }
    close();
}

void TForm_Tohtml::ShowCommand() {
    if (lastSaved_.isEmpty()) return;
    Log(QString());
    Log(LabelT7->text() + lastSaved_);
    Log(LabelT8->text());
    Log(QString());
    if (!Shell::OpenFile(lastSaved_)) Log(QString::fromUtf8(kMsgCannotOpen) + lastSaved_);
}

void TForm_Tohtml::ArchiveCommand() {
    if (running_) return;
    FileRequest request;
    request.folder = main_.WorkingFolder();
    request.filter = QStringLiteral("CD seznamy (*.cd)");
    const QString chosen = Dialogs::OpenFile(this, request);
    if (chosen.isEmpty()) return;
    Edit1->setText(chosen);
    Button1->setEnabled(true);
    Button3->setEnabled(false);
}

std::int32_t TForm_Tohtml::ExportableSlot() const {
    const std::vector<std::int32_t> slots = main_.Archives().List().SelectedSlots();
    if (slots.size() != 1 || slots.front() == 0) return 0;
    return ArchiveFileExists(main_.Archives().Rows(), slots.front()) ? slots.front() : 0;
}

void TForm_Tohtml::UpdateRowCommand() {
    Action_ExportRow->setEnabled(ExportableSlot() != 0);
}

void TForm_Tohtml::ExportRowCommand() {
    if (main_.Busy()) return;
    const std::int32_t slot = ExportableSlot();
    if (slot == 0) return;
    Execute(PathText(main_.Archives().Rows().PathOf(slot)));
}

void TForm_Tohtml::Dismissed() {
    RichEdit->clear();
}

} // namespace orbisk
