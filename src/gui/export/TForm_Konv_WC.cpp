#include "gui/export/TForm_Konv_WC.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "core/catalog/ArchiveList.h"
#include "core/catalog/ProgramValues.h"
#include "core/export/CdsConvert.h"
#include "core/export/NcduImport.h"
#include "core/scan/DateFormat.h"
#include "gui/common/GuiHost.h"
#include "gui/common/ListView.h"
#include "gui/common/Named.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"
#include "gui/export/DirectoryEdit.h"
#include "gui/export/FolderFilesModel.h"
#include "gui/mainwin/ArchiveTreeHandler.h"
#include "gui/mainwin/TForm_Main.h"

namespace orbisk {

namespace {

QString PathText(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return PathText(slash == std::string::npos ? path : path.substr(slash + 1));
}

QLabel* HiddenText(QWidget* parent, const char* name, const char* text) {
    auto* label = Named(new QLabel(QString::fromUtf8(text), parent), name);
    label->hide();
    return label;
}

ListView* FileList(const char* name, FolderFilesModel* model, bool multi) {
    auto* list = Named(new ListView, name);
    list->SetModel(model);
    list->SetMultiSelection(multi);
    list->SetColumnWidths({140, 70, 125});
    return list;
}

} // namespace

TForm_Konv_WC::TForm_Konv_WC(TForm_Main* main)
    : TRunningDialog(main, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      main_(*main), host_(std::make_unique<GuiHost>()),
      dates_(std::make_unique<TNumericDateFormatter>(UserDatePattern())) {
    setObjectName(QStringLiteral("Form_Konv_WC"));
    cdsCaption_ = QStringLiteral("Konverze z Windows Commander *.cds");
    setWindowTitle(cdsCaption_);
    setModal(true);
    sourceFiles_ = new FolderFilesModel(QStringLiteral(".cds"), *dates_, this);
    targetFiles_ = new FolderFilesModel(QStringLiteral(".cd"), *dates_, this);
    BuildControls();
    BuildLayout();
    cdsSourceTitle_ = Label1->text();
    connect(Button1, &QPushButton::clicked, this, &TForm_Konv_WC::RunCommand);
    connect(Button2, &QPushButton::clicked, this, &TForm_Konv_WC::CancelCommand);
    connect(Button3, &QPushButton::clicked, this, &QDialog::close);
    connect(DirectoryEdit1, &DirectoryEdit::FolderChanged, this, &TForm_Konv_WC::FillSource);
    connect(DirectoryEdit2, &DirectoryEdit::FolderChanged, this, &TForm_Konv_WC::FillTarget);
    // The program's folder, as the source has been from the start.
    const QString programDir = PathText(Program().ProgramDir);
    DirectoryEdit1->SetFolder(programDir);

    Action_KonvCds = new QAction(QStringLiteral("*.cds (Windows Commander)"), main);
    Action_KonvCds->setObjectName(QStringLiteral("Action_KonvCds"));
    connect(Action_KonvCds, &QAction::triggered, this, [this] { Execute(TConvertSource::Cds); });
    Action_KonvNcdu = new QAction(QStringLiteral("ncdu / gdu (*.json)"), main);
    Action_KonvNcdu->setObjectName(QStringLiteral("Action_KonvNcdu"));
    connect(Action_KonvNcdu, &QAction::triggered, this, [this] { Execute(TConvertSource::Ncdu); });
    main->AddConversionCommand(Action_KonvCds);
    main->AddConversionCommand(Action_KonvNcdu);
}

TForm_Konv_WC::~TForm_Konv_WC() {
    running_ = false;
}

void TForm_Konv_WC::BuildControls() {
    Label1 = Named(new QLabel(QStringLiteral("Zdroj   (Windows Commander  *.cds)")), "Label1");
    Label2 = Named(new QLabel(QStringLiteral("Cíl   (Orbisk  *.cd)")), "Label2");
    const QString chooseTitle = QStringLiteral("Vyber adresář ...");
    DirectoryEdit1 = Named(new DirectoryEdit(chooseTitle), "DirectoryEdit1");
    DirectoryEdit2 = Named(new DirectoryEdit(chooseTitle), "DirectoryEdit2");
    ListView1 = FileList("ListView1", sourceFiles_, true);
    ListView2 = FileList("ListView2", targetFiles_, false);
    Button1 = Named(new QPushButton(QStringLiteral("--->")), "Button1");
    Button2 = Named(new QPushButton(QStringLiteral("Storno")), "Button2");
    Button2->hide();
    Button3 = Named(new QPushButton(QStringLiteral("X")), "Button3");
    Gauge2 = Named(new QProgressBar, "Gauge2");
    Gauge1 = Named(new QProgressBar, "Gauge1");
    for (QProgressBar* gauge : {Gauge1, Gauge2}) {
        gauge->setRange(0, 100);
        gauge->setValue(0);
    }
    Memo = Named(new QPlainTextEdit, "Memo");
    Memo->setReadOnly(true);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setFixedHeight(Memo->fontMetrics().lineSpacing() * 4 + 12);
    Memo->setPlaceholderText(QString());

    Label3 = HiddenText(this, "Label3", "Přepsat existující soubor ?");
    LabelT1 = HiddenText(this, "LabelT1", "Nelze přečíst soubor ");
    LabelT2 = HiddenText(this, "LabelT2", "Soubor není export ncdu / gdu: ");
    LabelT3 = HiddenText(this, "LabelT3", "Import z ncdu / gdu *.json");
    LabelT4 = HiddenText(this, "LabelT4", "Zdroj   (ncdu / gdu  *.json)");
}

void TForm_Konv_WC::BuildLayout() {
    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    middle->addWidget(Button1);
    middle->addWidget(Button2);
    middle->addStretch(1);
    auto* sides = new QGridLayout;
    sides->addWidget(Label1, 0, 0);
    sides->addWidget(Label2, 0, 2);
    sides->addWidget(DirectoryEdit1, 1, 0);
    sides->addWidget(DirectoryEdit2, 1, 2);
    sides->addWidget(ListView1, 2, 0);
    sides->addLayout(middle, 2, 1);
    sides->addWidget(ListView2, 2, 2);
    sides->setColumnStretch(0, 1);
    sides->setColumnStretch(2, 1);
    sides->setRowStretch(2, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Memo, 1);
    bottom->addWidget(Button3, 0, Qt::AlignBottom);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sides, 1);
    layout->addWidget(Gauge2);
    layout->addWidget(Gauge1);
    layout->addLayout(bottom);
    setFixedSize(840, 500);
}

void TForm_Konv_WC::Execute(TConvertSource mode) {
    Prepare(mode);
    exec();
    // Archives converted into the working folder appear in the main window.
    main_.Archives().BuildArchiveList();
    main_.Archives().View().setFocus();
}

void TForm_Konv_WC::SetBaseCaption(const QString& caption) {
    cdsCaption_ = caption;
    if (mode_ == TConvertSource::Cds) setWindowTitle(caption);
}

void TForm_Konv_WC::Prepare(TConvertSource mode) {
    // The source title of *.cds may have come from a language file since.
    if (mode_ == TConvertSource::Cds) cdsSourceTitle_ = Label1->text();
    mode_ = mode;
    const bool ncdu = mode == TConvertSource::Ncdu;
    setWindowTitle(ncdu ? LabelT3->text() : cdsCaption_);
    Label1->setText(ncdu ? LabelT4->text() : cdsSourceTitle_);
    sourceFiles_->SetExtension(ncdu ? QStringLiteral(".json") : QStringLiteral(".cds"));
    // The target starts as the working folder, whose archives the main
    // window shows (the program's folder is not written to).
    if (!targetSet_) {
        targetSet_ = true;
        DirectoryEdit2->SetFolder(main_.WorkingFolder());
    }
    FillSource();
    FillTarget();
    Memo->clear();
    running_ = false;
}

QString TForm_Konv_WC::Messages() const {
    return Memo->toPlainText();
}

void TForm_Konv_WC::FillSource() {
    sourceFiles_->Fill(DirectoryEdit1->Folder(), ListView1->SortColumn(),
                       ListView1->SortDirection());
}

void TForm_Konv_WC::FillTarget() {
    targetFiles_->Fill(DirectoryEdit2->Folder(), ListView2->SortColumn(),
                       ListView2->SortDirection());
}

std::string TForm_Konv_WC::TargetBytes() const {
    return QFile::encodeName(DirectoryEdit2->Folder()).toStdString();
}

void TForm_Konv_WC::SetRunning(bool running) {
    for (QWidget* control : std::initializer_list<QWidget*>{DirectoryEdit1, DirectoryEdit2,
                                                            ListView1, ListView2, Button1})
        control->setEnabled(!running);
    Button2->setVisible(running);
    Button3->setVisible(!running);
}

void TForm_Konv_WC::RunCommand() {
    ListView1->CurrentView()->setFocus();
    const std::vector<int> rows = ListView1->SelectedRows();
    if (rows.empty() || running_) return;
    std::vector<std::string> sources;
    for (int row : rows)
        sources.push_back(sourceFiles_->PathBytes(row));
    SetRunning(true);
    Memo->clear();
    // Set before the events run, so that a "Storno" among them counts.
    running_ = true;
    QCoreApplication::processEvents();
    std::vector<THead> written;
    if (mode_ == TConvertSource::Cds)
        RunCds(sources, written);
    else
        RunNcdu(sources, written);
    // Each archive gets its row in the target's archive list, as a scan's
    // does; an archive replaced keeps no row of its old header.
    if (!written.empty() && !FileArchivesInList(TargetBytes(), written, *host_))
        Memo->appendPlainText(DecodeText(kMsgCannotCreate) + QStringLiteral(" ") +
                              QString::fromLatin1(kArchiveListFile));
    SetRunning(false);
    Gauge1->setValue(0);
    Gauge2->setValue(0);
    RunEnded();
}

void TForm_Konv_WC::ShowProgress(std::size_t number, std::size_t count) {
    Gauge1->setValue(static_cast<int>(number * 100 / count));
    Gauge2->setValue(0);
}

bool TForm_Konv_WC::AskOverwrite(const std::string& fileName) {
    const QString question = Label3->text() + QStringLiteral(" ") + DecodeText(fileName);
    return Prompt::Question(windowTitle(), question, PromptButtons::OkCancel) == PromptAnswer::Ok;
}

void TForm_Konv_WC::RunCds(const std::vector<std::string>& sources, std::vector<THead>& written) {
    TConvertRunHooks hooks;
    hooks.Starting = [this](std::size_t number, std::size_t count) { ShowProgress(number, count); };
    hooks.Progress = [this](int percent) { Gauge2->setValue(percent); };
    hooks.Finished = [this, &written](const TConvertResult& result) {
        if (result.Outcome == TConvertOutcome::Written) {
            written.push_back(result.Head);
            // The open archive's file was replaced: a later save of the
            // open copy would write the old archive over the new one.
            if (main_.IsOpenArchive(result.Target)) main_.CloseArchive();
        }
        ReportCds(result);
        FillTarget();
    };
    ConvertCdsFiles(
        sources, TargetBytes(), [this](const std::string& name) { return AskOverwrite(name); },
        running_, *host_, hooks);
}

void TForm_Konv_WC::RunNcdu(const std::vector<std::string>& sources, std::vector<THead>& written) {
    for (std::size_t k = 0; k < sources.size() && running_; ++k) {
        ShowProgress(k + 1, sources.size());
        const TImportResult result =
            ImportNcduFile(sources[k], TargetBytes(), std::string(), *dates_, running_, *host_);
        if (result.Outcome == TImportOutcome::Cancelled) break;
        Gauge2->setValue(100);
        if (result.Outcome == TImportOutcome::Written) written.push_back(result.Head);
        ReportNcdu(sources[k], result);
        FillTarget();
    }
}

void TForm_Konv_WC::ReportCds(const TConvertResult& result) {
    if (result.Outcome == TConvertOutcome::Unreadable)
        Memo->appendPlainText(LabelT1->text() + FileNameOf(result.Source) + QStringLiteral(": ") +
                              QString::fromStdString(Reason(result.Status)));
    else if (result.Outcome == TConvertOutcome::NotWritten)
        Memo->appendPlainText(DecodeText(Describe(result.Status)));
}

void TForm_Konv_WC::ReportNcdu(const std::string& source, const TImportResult& result) {
    switch (result.Outcome) {
    case TImportOutcome::Unreadable:
        Memo->appendPlainText(LabelT1->text() + FileNameOf(source) + QStringLiteral(": ") +
                              QString::fromStdString(Reason(result.Status)));
        break;
    case TImportOutcome::Malformed:
        Memo->appendPlainText(LabelT2->text() + FileNameOf(source) + QStringLiteral(": ") +
                              QString::fromStdString(result.Error));
        break;
    case TImportOutcome::NotWritten:
        Memo->appendPlainText(DecodeText(Describe(result.Status)));
        break;
    case TImportOutcome::Written:
    case TImportOutcome::Cancelled:
        break;
    }
}

void TForm_Konv_WC::CancelCommand() {
    running_ = false;
}

} // namespace orbisk
