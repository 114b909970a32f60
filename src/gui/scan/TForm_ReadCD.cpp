#include "gui/scan/TForm_ReadCD.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "core/catalog/ProgramValues.h"
#include "core/scan/DateFormat.h"
#include "gui/common/Dialogs.h"
#include "gui/common/GuiHost.h"
#include "gui/common/IconSet.h"
#include "gui/common/Prompt.h"
#include "gui/common/Shell.h"
#include "gui/common/Text.h"
#include "gui/common/ValueCombo.h"
#include "gui/mainwin/ArchiveTreeHandler.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/platform/DiskService.h"
#include "gui/scan/ScanDoor.h"
#include "gui/scan/ScanMedium.h"
#include "gui/scan/ScanProgress.h"
#include "gui/scan/TForm_TXT_Files.h"

namespace orbisk {

namespace {

// The upload tool beside the program, under its Linux or its Windows name.
constexpr const char* kFtpTools[] = {"orbisk_ftp", "orbisk_ftp.exe"};

std::string Bytes(const QString& text) {
    return text.toStdString();
}

// The stored form of a category typed or chosen: the value of the list it
// came from when one shows as that text (a value from a catalogue written on
// Windows keeps its Windows-1250 bytes), else the text as UTF-8.
std::string ValueBytes(const QString& text, const std::vector<std::string>& known) {
    for (const std::string& value : known)
        if (DecodeText(value) == text) return value;
    return Bytes(text);
}

} // namespace

bool& DoorOpen() {
    static bool open = false;
    return open;
}

TForm_ReadCD::TForm_ReadCD(TForm_Main* main)
    : QDialog(main), main_(*main), probe_(std::make_unique<SystemVolumeProbe>()),
      disks_(std::make_unique<UDisksService>()),
      dates_(std::make_unique<TNumericDateFormatter>(UserDatePattern())) {
    setObjectName(QStringLiteral("Form_ReadCD"));
    setWindowTitle(QStringLiteral("Načtení CD/HDD"));
    setModal(true);
    BuildControls();
    BuildLayout();
    progress_ = std::make_unique<TScanProgress>(*Memo);
    host_ = std::make_unique<GuiHost>(
        EventPump(EventPump::kDefaultInterval, std::chrono::steady_clock::now, [this] {
            progress_->Flush();
            QCoreApplication::processEvents();
        }));
    progress_->LineAdded = [this] {
        // A close asked for before the walk set its running flag cancels
        // the walk at its first line.
        if (closePending_) scanRunning_ = false;
        host_->Pump();
        if (ProgressHook) ProgressHook();
    };
    ConnectControls();
    resize(640, 520);

    Action_New = new QAction(CommandIcon(CommandPicture::New), QStringLiteral("Nový ..."), main);
    Action_New->setObjectName(QStringLiteral("Action_New"));
    Action_New->setIconText(QStringLiteral("Nový"));
    Action_New->setToolTip(QStringLiteral("Nový - Načíst nový Archiv z CD/HDD"));
    Action_New->setShortcut(QKeySequence::New);
    connect(Action_New, &QAction::triggered, this, &TForm_ReadCD::Execute);
    main->AddNewCommand(Action_New);
}

TForm_ReadCD::~TForm_ReadCD() {
    scanRunning_ = false;
}

void TForm_ReadCD::ConnectControls() {
    // The walk reads these switches at the moment of use: a change during a
    // scan affects the entries recorded afterwards.
    const std::pair<QCheckBox*, bool TWalkOptions::*> live[] = {
        {CheckBoxZIP, &TWalkOptions::Zip},
        {CheckBoxRAR, &TWalkOptions::Rar},
        {CheckBox_TXT, &TWalkOptions::Text},
        {CheckBox1, &TWalkOptions::Progress},
    };
    for (const auto& [box, field] : live) {
        walkOptions_.*field = box->isChecked();
        connect(box, &QCheckBox::toggled, this,
                [this, field = field](bool on) { walkOptions_.*field = on; });
    }
    walkOptions_.DescriptionLimit = SpinEdit_Byte->value();
    connect(SpinEdit_Byte, &QSpinBox::valueChanged, this,
            [this](int bytes) { walkOptions_.DescriptionLimit = bytes; });
    connect(CheckBox1, &QCheckBox::clicked, this, [this] {
        progress_->Clear();
        progress_->Flush();
    });
    connect(CheckBox_TXT, &QCheckBox::clicked, this, [this](bool on) {
        // Without extensions there is nothing to read descriptions from.
        if (on && !inScan_ && Program().DescriptionExtensions.empty())
            CheckBox_TXT->setChecked(false);
    });
    connect(CheckBox_AutoScan, &QCheckBox::toggled, this, [this](bool on) {
        if (on) CheckBox_AutoEject->setChecked(true);
    });
    connect(Edit_Zdroj, &QLineEdit::editingFinished, this, [this] {
        if (Edit_Zdroj->isModified()) SetSource(Edit_Zdroj->text());
    });
    connect(Button_Nacti, &QPushButton::clicked, this, &TForm_ReadCD::StartScan);
    connect(Button_Storno, &QPushButton::clicked, this, &TForm_ReadCD::CancelCommand);
    connect(Button_CD, &QPushButton::clicked, this, &TForm_ReadCD::ChooseSourceCommand);
    connect(Button_Eject, &QToolButton::clicked, this, &TForm_ReadCD::EjectCommand);
    connect(Button_FTP, &QPushButton::clicked, this, &TForm_ReadCD::FtpCommand);
    connect(Button_Soubory, &QPushButton::clicked, this, &TForm_ReadCD::FilesCommand);
    connect(Timer_Medium, &QTimer::timeout, this, &TForm_ReadCD::PollTick);
    connect(Timer_Blink, &QTimer::timeout, this, &TForm_ReadCD::BlinkTick);
}

void TForm_ReadCD::SetVolumeProbe(std::unique_ptr<VolumeProbe> probe) {
    probe_ = std::move(probe);
}

void TForm_ReadCD::SetDiskService(std::unique_ptr<DiskService> disks) {
    disks_ = std::move(disks);
}

QString TForm_ReadCD::Source() const {
    return Edit_Zdroj->text();
}

std::string TForm_ReadCD::SourceBytes() const {
    return QFile::encodeName(Source()).toStdString();
}

void TForm_ReadCD::SetSource(const QString& source) {
    Edit_Zdroj->setText(source);
    Edit_Zdroj->setModified(false);
    const std::string bytes = SourceBytes();
    watched_ = WatchedDrive(*probe_, bytes);
    Timer_Medium->setInterval(PollInterval(*probe_, bytes));
}

std::optional<TDriveMedium> TForm_ReadCD::FollowDrive() {
    if (!watched_) return std::nullopt;
    TDriveMedium medium = MediumInDrive(*probe_, *watched_);
    if (std::optional<std::string> follow = FollowedSource(medium, *watched_, SourceBytes())) {
        Edit_Zdroj->setText(QFile::decodeName(QByteArray::fromStdString(*follow)));
        Edit_Zdroj->setModified(false);
    }
    return medium;
}

void TForm_ReadCD::ShowStatus(const QString& text) {
    StatusMessage->setText(text);
    StatusMessage->setToolTip(text);
}

QString TForm_ReadCD::ProgressText() const {
    progress_->Flush();
    return Memo->toPlainText();
}

bool TForm_ReadCD::PresenceLowered() const {
    const QLabel* presence = StatusPanels[1];
    return presence->frameShape() != QFrame::NoFrame && presence->frameShadow() == QFrame::Sunken;
}

void TForm_ReadCD::Execute() {
    OfferValueLists();
    exec();
}

void TForm_ReadCD::OfferValueLists() {
    const ProgramValues& program = Program();
    OfferValues(*ComboBox_Typ, program.ValueLists.TypList, ComboBox_Typ->currentText());
    OfferValues(*ComboBox_SubTyp, program.ValueLists.SubTypList, ComboBox_SubTyp->currentText());
    OfferValues(*ComboBox_Medium, program.ValueLists.MediumList, ComboBox_Medium->currentText());
    OfferValues(*ComboBox_Owner, program.ValueLists.OwnerList, ComboBox_Owner->currentText());
}

void TForm_ReadCD::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        PickCdDrive(options_.LastCdDrive);
    }
    Activated();
}

void TForm_ReadCD::Activated() {
    mediumScanned_ = false;
    CheckBox_AutoScan->setChecked(false);
    Button_FTP->setEnabled(!FtpTool().empty());
    if (!inScan_) scanRunning_ = false;
    Edit_Name->setFocus();
    Timer_Medium->start();
    Timer_Blink->start();
}

void TForm_ReadCD::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (event->spontaneous()) return; // minimised, not closed
    if (inScan_) {
        // Hidden under a running walk other than through close: the walk
        // still fills the entry array, so the scan is cancelled and the
        // array released once the walk has returned.
        scanRunning_ = false;
        closePending_ = true;
        Timer_Medium->stop();
        Timer_Blink->stop();
        return;
    }
    ReleaseClosed();
}

void TForm_ReadCD::ReleaseClosed() {
    progress_->Clear();
    progress_->Flush();
    scanArchive_.Recs.assign(1, TRec{});
    scanArchive_.Recs.shrink_to_fit();
    scanArchive_.RecCount = 0;
    Timer_Medium->stop();
    Timer_Blink->stop();
}

void TForm_ReadCD::closeEvent(QCloseEvent* event) {
    // The walk fills the scan archive while it runs: the window closes once
    // the cancelled scan has returned (StartScan closes it then).
    if (inScan_) {
        scanRunning_ = false;
        closePending_ = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TForm_ReadCD::reject() {
    // Escape acts as "Storno"; the window's close button comes here through
    // closeEvent only when no scan runs.
    if (inScan_) {
        CancelCommand();
        return;
    }
    QDialog::reject();
}

void TForm_ReadCD::CancelCommand() {
    if (scanRunning_) {
        scanRunning_ = false;
        return;
    }
    close();
}

TScanTexts TForm_ReadCD::Texts() {
    TScanTexts t;
    t.Loading = Bytes(LabelT3->text());
    t.CollisionTitle = Bytes(LabelT4->text());
    t.CollisionTitleEnd = Bytes(LabelT5->text());
    t.CollisionOffer = Bytes(LabelT6->text());
    t.CollisionChoice = Bytes(LabelT7->text());
    t.Total = Bytes(LabelT8->text());
    t.TotalEnd = Bytes(LabelT9->text());
    t.Saving = Bytes(LabelT10->text());
    t.Saved = Bytes(LabelT11->text());
    t.NotSaved = Bytes(LabelT12->text());
    t.Cancelled = Bytes(LabelT13->text());
    t.UnreadableFolders = Bytes(LabelT17->text());
    // The result lines name the filters by the captions of their switches.
    if (const TForm_TXT_Files* lists = ExtensionWindow(false)) {
        t.OnlyFoldersCaption = Bytes(lists->CheckBox_OnlyDir->text());
        t.SelectedTypesCaption = Bytes(lists->CheckBox_SelectedFiles->text());
    }
    return t;
}

TScanFields TForm_ReadCD::ReadFields() const {
    const ProgramValues& program = Program();
    TScanFields f;
    f.Name = Bytes(Edit_Name->text());
    f.Medium = ValueBytes(ComboBox_Medium->currentText(), program.ValueLists.MediumList);
    f.Typ = ValueBytes(ComboBox_Typ->currentText(), program.ValueLists.TypList);
    f.SubTyp = ValueBytes(ComboBox_SubTyp->currentText(), program.ValueLists.SubTypList);
    f.Owner = ValueBytes(ComboBox_Owner->currentText(), program.ValueLists.OwnerList);
    f.Description = Bytes(Edit_Popis->text());
    return f;
}

void TForm_ReadCD::ShowFields(const TScanFields& f) {
    Edit_Name->setText(DecodeText(f.Name));
    ComboBox_Medium->setEditText(DecodeText(f.Medium));
    ComboBox_Typ->setEditText(DecodeText(f.Typ));
    ComboBox_SubTyp->setEditText(DecodeText(f.SubTyp));
    ComboBox_Owner->setEditText(DecodeText(f.Owner));
    Edit_Popis->setText(DecodeText(f.Description));
}

bool TForm_ReadCD::ConfirmMissingMedium(const std::string& source) {
    TVolumeInfo volume;
    if (watched_ ? MediumInDrive(*probe_, *watched_).Present
                 : MediumPresent(*probe_, source, volume))
        return true;
    const QString title =
        StatusPanels[0]->text() + QLatin1Char(' ') + LabelT15->text() + QStringLiteral(" ?");
    return Prompt::Question(title, LabelT16->text(), PromptButtons::YesNo) == PromptAnswer::Yes;
}

TForm_TXT_Files* TForm_ReadCD::ExtensionWindow(bool create) {
    // The window list creates it as a child of the main window; a main
    // window made on its own (as in a test) gets one on first use.
    auto* window = main_.findChild<TForm_TXT_Files*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window && create) window = new TForm_TXT_Files(&main_);
    return window;
}

void TForm_ReadCD::TakeExtensionSwitches() {
    TForm_TXT_Files* window = ExtensionWindow(false);
    // The window's couplings never leave folders-only and selected types on
    // together; the scan driver guards the walk against it all the same.
    const TExtensionSwitches s = window ? window->Switches() : TExtensionSwitches{};
    walkOptions_.OnlyFolders = s.OnlyFolders;
    walkOptions_.SelectedTypes = s.SelectedTypes;
    walkOptions_.Id3v1 = s.Id3v1;
    walkOptions_.Id3v2 = s.Id3v2;
    walkOptions_.ReplaceName = s.ReplaceName;
    walkOptions_.NameToNote = s.NameToNote;
    audioCd_.UseCdPlayer = s.UseCdPlayer;
    audioCd_.Titles.ReplaceTrackName = s.ReplaceTrackName;
    audioCd_.Titles.TitleToDescription = s.TitleToDescription;
    const ProgramValues& program = Program();
    walkOptions_.DescriptionExtensions = program.DescriptionExtensions;
    walkOptions_.ScanExtensions = program.ScanExtensions;
    walkOptions_.SortingLine = Bytes(LabelT2->text());
}

void TForm_ReadCD::SetScanControlsEnabled(bool enabled) {
    for (QWidget* control : {static_cast<QWidget*>(Button_CD), static_cast<QWidget*>(Button_Nacti),
                             static_cast<QWidget*>(Button_Soubory)})
        control->setEnabled(enabled);
}

void TForm_ReadCD::StartScan() {
    if (inScan_) return;
    const std::optional<TDriveMedium> inDrive = FollowDrive();
    const std::string source = SourceBytes();
    if (source.empty()) {
        ShowStatus(LabelT18->text());
        Edit_Zdroj->setFocus();
        return;
    }
    ShowStatus(QString());
    mediumScanned_ = true;
    Timer_Medium->stop();
    TScanFields fields = ReadFields();
    CleanScanFields(fields);
    ShowFields(fields);
    if (!ConfirmMissingMedium(source)) {
        Timer_Medium->start();
        return;
    }

    inScan_ = true;
    SetScanControlsEnabled(false);
    TakeExtensionSwitches();
    TScanRequest request{.Source = source,
                         .Fields = std::move(fields),
                         .Volume = probe_->Serial(source),
                         .ProgramDir = Program().ProgramDir,
                         .Texts = Texts(),
                         .AudioToc = std::nullopt};
    if (inDrive && inDrive->AudioToc) {
        request.Volume = inDrive->Info;
        request.AudioToc = inDrive->AudioToc;
    }
    ProgramValues& program = Program();
    TValueLists lists = program.ValueLists;
    TArchiveList& rows = main_.Archives().Rows();
    // The fields stay editable while the walk runs: the driver's first call
    // shows the cleaned fields and a generated name; its later call only
    // takes a generated name back, and only while the field still shows it.
    bool fieldsShown = false;
    QString shownName;
    auto showFields = [this, &fieldsShown, &shownName](const TScanFields& f) {
        if (!fieldsShown) {
            fieldsShown = true;
            ShowFields(f);
            shownName = Edit_Name->text();
        } else if (f.Name.empty() && !shownName.isEmpty() && Edit_Name->text() == shownName) {
            Edit_Name->clear();
        }
    };
    if (rows.Folder.empty()) rows.Folder = main_.WorkingFolderBytes();
    std::vector<bool> wasListed(rows.Rows.size());
    for (std::size_t slot = 1; slot < rows.Rows.size(); ++slot)
        wasListed[slot] = rows.Rows[slot].Listed != 0;
    TScanContext context{
        .ScanArchive = scanArchive_,
        .Options = walkOptions_,
        .AudioCd = audioCd_,
        .ArchiveList = rows,
        .ValueLists = &lists,
        .Progress = *progress_,
        .ScanRunning = scanRunning_,
        .UserHost = *host_,
        .Dates = *dates_,
        .AskCollision =
            [](const TCollisionQuestion& q) {
                QString text = DecodeText(q.Text);
                text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
                switch (Prompt::Question(DecodeText(q.Title), text, PromptButtons::YesNoCancel)) {
                case PromptAnswer::Yes:
                    return TCollisionAnswer::Ano;
                case PromptAnswer::No:
                    return TCollisionAnswer::Ne;
                default:
                    return TCollisionAnswer::Storno;
                }
            },
        .ShowFields = showFields};
    lastResult_ = ScanToArchive(request, context);
    program.ValueLists = std::move(lists);
    OfferValueLists();
    if (lastResult_.Written()) {
        ShowWrittenArchive(lastResult_, wasListed);
        AutoEject(source);
    }
    // The driver switches the text option off when there are no extensions.
    if (!walkOptions_.Text) CheckBox_TXT->setChecked(false);
    progress_->Flush();
    SetScanControlsEnabled(true);
    inScan_ = false;
    Timer_Medium->start();
    if (closePending_) {
        closePending_ = false;
        if (isVisible())
            close();
        else
            ReleaseClosed();
    }
}

void TForm_ReadCD::ShowWrittenArchive(const TScanResult& result,
                                      const std::vector<bool>& wasListed) {
    ArchiveTreeHandler& archives = main_.Archives();
    TArchiveList& rows = archives.Rows();
    // A replaced archive's old row is no longer listed; its leaf goes.
    for (std::size_t slot = 1; slot < wasListed.size() && slot < rows.Rows.size(); ++slot)
        if (wasListed[slot] && rows.Rows[slot].Listed == 0)
            archives.RemoveLeaf(static_cast<std::int32_t>(slot));
    archives.ForgetShownPath();
    archives.AddArchiveToTree(result.Slot, true, archives.Options().ArchivesInTree);
    // The driver has written the cache already.
    archives.ShowCount(result.ListedCount);
}

void TForm_ReadCD::AutoEject(const std::string& source) {
    if (!CheckBox_AutoEject->isChecked()) return;
    const TDriveType type = watched_ ? watched_->Type : probe_->DriveType(source);
    if (type == TDriveType::CdRom) MoveDoor(true);
}

bool TForm_ReadCD::MoveDoor(bool open) {
    const std::string device = DoorDevice(*probe_, watched_, SourceBytes());
    const TDoorResult result = orbisk::MoveDoor(*probe_, *disks_, device, open);
    const QLabel* failed[] = {nullptr, LabelT19, LabelT20, LabelT21};
    if (const QLabel* text = failed[static_cast<int>(result.Failure)]) {
        ShowStatus(text->text() + result.Error);
        return false;
    }
    ShowStatus(QString());
    DoorOpen() = open;
    return true;
}

void TForm_ReadCD::ChooseSourceCommand() {
    FolderRequest request;
    request.title = LabelT1->text();
    request.start = Source();
    const QString chosen = Dialogs::ChooseFolder(this, request);
    SetSource(chosen.isEmpty() ? Source() : chosen);
}

void TForm_ReadCD::EjectCommand() {
    MoveDoor(!DoorOpen());
}

std::string TForm_ReadCD::FtpTool() const {
    for (const char* name : kFtpTools) {
        const std::string path = JoinPath(Program().ProgramDir, name);
        if (QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).isFile()) return path;
    }
    return {};
}

void TForm_ReadCD::FtpCommand() {
    const std::string tool = FtpTool();
    if (!tool.empty()) Shell::OpenFile(QFile::decodeName(QByteArray::fromStdString(tool)));
}

void TForm_ReadCD::FilesCommand() {
    ExtensionWindow(true)->Execute();
}

void TForm_ReadCD::PickCdDrive(bool last) {
    if (const std::optional<std::string> source = CdDriveSource(*probe_, last))
        SetSource(QFile::decodeName(QByteArray::fromStdString(*source)));
}

void TForm_ReadCD::ShowPresence(const TVolumeInfo* volume) {
    QLabel* presence = StatusPanels[1];
    if (!volume) {
        presence->setText(LabelT15->text());
        StatusPanels[3]->clear();
        StatusPanels[5]->clear();
        return;
    }
    presence->setText(LabelT14->text());
    presence->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StatusPanels[3]->setText(DecodeText(volume->Serial));
    StatusPanels[5]->setText(DecodeText(volume->Label));
}

void TForm_ReadCD::PollTick() {
    if (inScan_) return;
    const std::optional<TDriveMedium> inDrive = FollowDrive();
    const std::string source = SourceBytes();
    // Automatic scanning is offered for optical drives only. A watched drive
    // stays one while it is empty and the path of its last medium is gone.
    const TDriveType type = watched_         ? watched_->Type
                            : source.empty() ? TDriveType::NoRoot
                                             : probe_->DriveType(source);
    if (type != TDriveType::CdRom) CheckBox_AutoEject->setChecked(false);
    if (!CheckBox_AutoEject->isChecked()) CheckBox_AutoScan->setChecked(false);
    TVolumeInfo volume;
    bool present = false;
    if (inDrive) {
        volume = inDrive->Info;
        present = inDrive->Present;
    } else {
        present = MediumPresent(*probe_, source, volume);
    }
    if (!present) {
        ShowPresence(nullptr);
        Timer_Blink->start();
        mediumScanned_ = false;
        return;
    }
    ShowPresence(&volume);
    Timer_Blink->stop();
    // No scan starts under another modal window of the program (the
    // extension lists window, the folder dialog): the medium is scanned on
    // the first tick after it has closed.
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != this) return;
    if (CheckBox_AutoScan->isChecked() && !mediumScanned_) {
        mediumScanned_ = true;
        Timer_Medium->stop();
        Timer_Blink->stop();
        StartScan();
    }
}

void TForm_ReadCD::BlinkTick() {
    QLabel* presence = StatusPanels[1];
    if (presence->text() != LabelT15->text()) return;
    presence->setFrameStyle(PresenceLowered() ? QFrame::NoFrame : QFrame::Panel | QFrame::Sunken);
}

} // namespace orbisk
