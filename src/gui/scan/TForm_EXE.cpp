#include "gui/scan/TForm_EXE.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/common/Named.h"
#include "gui/common/Prompt.h"
#include "gui/common/Shell.h"
#include "gui/common/Text.h"
#include "gui/mainwin/ContentBrowser.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/platform/DiskService.h"
#include "gui/scan/ScanDoor.h"
#include "gui/scan/TForm_ReadCD.h"

namespace orbisk {

namespace {

inline constexpr int kRunInterval = 1000;

// The item data of "any drive" in the drive list; drives carry their index.
inline constexpr int kAnyDriveItem = -1;

QString FileName(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

std::string FileBytes(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

QLabel* Hidden(QWidget* window, const char* name, const QString& text) {
    auto* label = Named(new QLabel(text, window), name);
    label->hide();
    return label;
}

// Stands for "no drive" when the machine offers none: nothing is found.
const TRunDrive kNoDrive{};

} // namespace

TForm_EXE::TForm_EXE(TForm_Main* main)
    : QDialog(main), main_(*main), probe_(std::make_unique<SystemVolumeProbe>()),
      disks_(std::make_unique<UDisksService>()) {
    setObjectName(QStringLiteral("Form_EXE"));
    setModal(true);
    BuildControls();
    BuildLayout();
    connect(Timer_Run, &QTimer::timeout, this, &TForm_EXE::Tick);
    connect(Button_Esc, &QPushButton::clicked, this, &TForm_EXE::close);
    connect(Button_Eject, &QToolButton::clicked, this, &TForm_EXE::EjectCommand);
    connect(ComboBox_Drive, &QComboBox::activated, this,
            [this](int index) { DriveTextChosen(ComboBox_Drive->itemText(index)); });
    connect(ComboBox_Drive->lineEdit(), &QLineEdit::editingFinished, this,
            [this] { DriveTextChosen(ComboBox_Drive->currentText()); });
    main->Content().RunEntry = [this](std::int32_t rec) { RunEntry(rec); };
}

TForm_EXE::~TForm_EXE() = default;

void TForm_EXE::BuildControls() {
    ComboBox_Drive = Named(new QComboBox(this), "ComboBox_Drive");
    ComboBox_Drive->setEditable(true);
    ComboBox_Drive->setInsertPolicy(QComboBox::NoInsert);
    ComboBox_Drive->setMinimumWidth(260);
    Button_Eject = Named(new QToolButton(this), "Button_Eject");
    Button_Eject->setIcon(
        QIcon::fromTheme(QStringLiteral("media-eject"), style()->standardIcon(QStyle::SP_ArrowUp)));
    Button_Eject->setToolTip(QStringLiteral("Vysunout / zasunout dvířka mechaniky"));
    Label_Path = Named(new QLabel(QStringLiteral("Cesta"), this), "Label_Path");
    Label_Path->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont bold = Label_Path->font();
    bold.setBold(true);
    Label_Path->setFont(bold);
    Label_Insert = Named(new QLabel(this), "Label_Insert");
    Label_Insert->setWordWrap(true);
    Label_Search = Named(new QLabel(QStringLiteral("Hledám  "), this), "Label_Search");
    Label_Seconds = Named(new QLabel(QStringLiteral("0 s"), this), "Label_Seconds");
    CheckBox_SN = Named(new QCheckBox(QStringLiteral("Ignore SN"), this), "CheckBox_SN");
    CheckBox_SN->hide();
    Button_Esc = Named(new QPushButton(QStringLiteral("Esc"), this), "Button_Esc");
    Button_Esc->setAutoDefault(false);
    Label_Status = Named(new QLabel(this), "Label_Status");
    Label_Status->setWordWrap(true);
    Label_Status->hide();
    Timer_Run = Named(new QTimer(this), "Timer_Run");
    Timer_Run->setInterval(kRunInterval);

    LabelT1 = Hidden(this, "LabelT1", QStringLiteral("Otevírám"));
    LabelT2 = Hidden(this, "LabelT2", QStringLiteral("z"));
    LabelT3 = Hidden(this, "LabelT3", QStringLiteral("kterákoli jednotka"));
    LabelT4 = Hidden(this, "LabelT4", QStringLiteral("Vložte médium: "));
    LabelT5 = Hidden(this, "LabelT5", QStringLiteral("jmenovka "));
    LabelT6 = Hidden(this, "LabelT6", QStringLiteral("Nelze otevřít "));
    LabelT7 = Hidden(this, "LabelT7", QStringLiteral("Médium nelze odpojit: "));
    LabelT8 = Hidden(this, "LabelT8", QStringLiteral("Dvířka nelze otevřít: "));
    LabelT9 = Hidden(this, "LabelT9", QStringLiteral("Dvířka nelze zavřít: "));
}

void TForm_EXE::BuildLayout() {
    auto* driveRow = new QHBoxLayout;
    auto* driveCaption = Named(new QLabel(QStringLiteral("Jednotka"), this), "Label_Drive");
    driveCaption->setBuddy(ComboBox_Drive);
    driveRow->addWidget(driveCaption);
    driveRow->addWidget(ComboBox_Drive, 1);
    driveRow->addWidget(Button_Eject);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(Label_Search);
    searchRow->addWidget(Label_Seconds);
    searchRow->addStretch(1);
    searchRow->addWidget(CheckBox_SN);
    searchRow->addWidget(Button_Esc);
    auto* column = new QVBoxLayout(this);
    column->addLayout(driveRow);
    column->addWidget(Label_Path);
    column->addWidget(Label_Insert);
    column->addLayout(searchRow);
    column->addWidget(Label_Status);
    resize(520, sizeHint().height());
}

void TForm_EXE::SetVolumeProbe(std::unique_ptr<VolumeProbe> probe) {
    probe_ = std::move(probe);
}

void TForm_EXE::SetDiskService(std::unique_ptr<DiskService> disks) {
    disks_ = std::move(disks);
}

void TForm_EXE::SetOptions(const TRunWindowOptions& options) {
    options_ = options;
    FillDriveList();
}

void TForm_EXE::FillDriveList() {
    drives_ = RunDriveList(*probe_, options_.LastCdDrive);
    filled_ = true;
    if (drives_.Preset)
        drive_ = drives_.Drives[*drives_.Preset];
    else if (!drive_ && !drives_.Drives.empty())
        drive_ = drives_.Drives.front();
    ShowDriveList();
}

void TForm_EXE::ShowDriveList() {
    const QSignalBlocker quiet(ComboBox_Drive);
    ComboBox_Drive->clear();
    if (HasMediumSerial(watch_.Request().ExpectedSerial))
        ComboBox_Drive->addItem(LabelT3->text(), kAnyDriveItem);
    for (std::size_t i = 0; i < drives_.Drives.size(); ++i)
        ComboBox_Drive->addItem(FileName(drives_.Drives[i].Name), static_cast<int>(i));
    SelectChosenDrive();
}

void TForm_EXE::SelectChosenDrive() {
    const QSignalBlocker quiet(ComboBox_Drive);
    const QString text = anyDrive_ ? LabelT3->text() : drive_ ? FileName(drive_->Name) : QString();
    const int index = ComboBox_Drive->findText(text, Qt::MatchExactly);
    if (index >= 0) ComboBox_Drive->setCurrentIndex(index);
    ComboBox_Drive->setEditText(text);
}

void TForm_EXE::DriveTextChosen(const QString& text) {
    if (text == LabelT3->text() && HasMediumSerial(watch_.Request().ExpectedSerial)) {
        anyDrive_ = true;
    } else if (std::optional<TRunDrive> drive = TypedRunDrive(*probe_, drives_, FileBytes(text))) {
        drive_ = std::move(drive);
        anyDrive_ = false;
    }
    SelectChosenDrive();
}

void TForm_EXE::RunEntry(std::int32_t rec) {
    if (std::optional<TRunRequest> request =
            RunRequestFor(main_.CurrentArchive, main_.CurrentPath, rec))
        Execute(*request);
}

void TForm_EXE::Execute(const TRunRequest& request) {
    SetRequest(request);
    exec();
}

void TForm_EXE::SetRequest(const TRunRequest& request) {
    watch_.Start(request, options_.AlwaysIgnoreSerial);
}

void TForm_EXE::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Activated();
}

void TForm_EXE::Activated() {
    const TRunRequest& request = watch_.Request();
    setWindowTitle(LabelT1->text() + QStringLiteral("  ") + DecodeText(request.EntryName) +
                   QLatin1Char(' ') + LabelT2->text() + QLatin1Char(' ') +
                   DecodeText(request.ArchiveName));
    Label_Path->setText(DecodeText(request.EntryPath + request.EntryName));
    Label_Insert->setText(InsertText());
    Label_Seconds->setText(QStringLiteral("0 s"));
    ShowStatus(QString());
    CheckBox_SN->setChecked(watch_.Start(request, options_.AlwaysIgnoreSerial));
    CheckBox_SN->hide();
    // Volumes come and go between requests: the list is made again, keeping
    // the drive chosen; an archive with a serial presets "any drive".
    if (filled_)
        drives_ = RunDriveList(*probe_, options_.LastCdDrive);
    else
        FillDriveList();
    anyDrive_ = HasMediumSerial(request.ExpectedSerial);
    ShowDriveList();
    Timer_Run->start();
}

QString TForm_EXE::InsertText() const {
    const TRunRequest& request = watch_.Request();
    QStringList about;
    if (!request.Medium.empty()) about << DecodeText(request.Medium);
    if (!request.Label.empty()) about << LabelT5->text() + DecodeText(request.Label);
    QString text = LabelT4->text() + DecodeText(request.ArchiveName);
    if (!about.isEmpty()) text += QStringLiteral("  (") + about.join(QStringLiteral(", ")) + ')';
    return text;
}

void TForm_EXE::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    if (!event->spontaneous()) Timer_Run->stop();
}

void TForm_EXE::Tick() {
    const TRunDrive* drive = anyDrive_ ? nullptr : drive_ ? &*drive_ : &kNoDrive;
    const TRunTick tick = watch_.Tick(*probe_, drive, CheckBox_SN->isChecked());
    Label_Seconds->setText(QString::number(watch_.Seconds()) + QStringLiteral(" s"));
    CheckBox_SN->setChecked(tick.IgnoreSerial);
    CheckBox_SN->setVisible(tick.ShowIgnoreBox);
    if (!tick.Open) return;
    Timer_Run->stop();
    const QString target = FileName(tick.Target);
    // The window closes all the same; the user learns why nothing opened.
    if (!Shell::OpenFile(target)) Prompt::Warning(LabelT6->text() + target);
    close();
}

void TForm_EXE::ShowStatus(const QString& text) {
    Label_Status->setText(text);
    Label_Status->setVisible(!text.isEmpty());
}

void TForm_EXE::EjectCommand() {
    // The chosen drive when it has a door, else the first optical drive.
    std::optional<TMountedVolume> watched;
    if (!anyDrive_ && drive_ && drive_->Follows)
        watched = drive_->Volume;
    else if (drives_.Preset)
        watched = drives_.Drives[*drives_.Preset].Volume;
    const std::string device = DoorDevice(*probe_, watched, {});
    const bool open = !DoorOpen();
    const TDoorResult result = MoveDoor(*probe_, *disks_, device, open);
    const QLabel* failed[] = {nullptr, LabelT7, LabelT8, LabelT9};
    if (const QLabel* text = failed[static_cast<int>(result.Failure)]) {
        ShowStatus(text->text() + result.Error);
        return;
    }
    ShowStatus(QString());
    DoorOpen() = open;
}

} // namespace orbisk
