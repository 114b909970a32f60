#include "gui/settings/TForm_Setup.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>
#include <sys/stat.h>

#include "gui/common/Dialogs.h"
#include "gui/common/Named.h"
#include "gui/common/Prompt.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/settings/LanguageRefresh.h"
#include "gui/settings/ProgramSettings.h"
#include "gui/settings/SettingsApplier.h"

namespace orbisk {

namespace {

// The areas the colour samples colour, in the order of their boxes.
constexpr const char* kAreaCaptions[kColourAreas] = {
    "Levé okno",    "Horní okno",         "Prostřední okno", "Popis",          "Hledání",
    "Levé okno DB", "Prostřední okno DB", "Popis DB",        "Strom adresářů",
};

// The custom colours of the colour dialog, blue first.
constexpr unsigned kCustomColours[] = {0xD8D0C8, 0xECD3BF, 0xC5C4D2, 0xFFF0C8,
                                       0xA0E0FF, 0xC8D0D8, 0xE0E0E0, 0xBFD3EC};

QColor FromBgr(unsigned bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

// A caption as it reads, without its accelerator marks.
QString PlainCaption(QString caption) {
    caption.replace(QLatin1String("&&"), QString(QChar(0x1)));
    caption.remove(QLatin1Char('&'));
    caption.replace(QChar(0x1), QLatin1Char('&'));
    return caption;
}

QString NumberedName(const char* stem, int index) {
    return QString::fromLatin1(stem) + QString::number(index + 1);
}

} // namespace

std::vector<QColor> SetupCustomColours() {
    std::vector<QColor> colours;
    for (unsigned bgr : kCustomColours)
        colours.push_back(FromBgr(bgr));
    return colours;
}

TForm_Setup::TForm_Setup(TForm_Main* main)
    : QDialog(main), Action_Setup(new QAction(QStringLiteral("Nastavení ..."), this)),
      PageControl(Named(new QTabWidget, "PageControl")),
      CheckBox_INI(
          OptionBox("CheckBox_INI", "ukládat nastavení programu při ukončení programu", true)),
      CheckBox_BAK(OptionBox("CheckBox_BAK", "vytvářet záložní soubory *.BAK", true)),
      CheckBox_Size(OptionBox("CheckBox_Size", "zobrazovat velikost adresářů místo <DIR>", false)),
      CheckBox_TreeSelect(OptionBox(
          "CheckBox_TreeSelect", "zvýraznění položky v neaktivním okně stromu (levé okno)", false)),
      CheckBox_ListSelect(
          OptionBox("CheckBox_ListSelect",
                    "zvýraznění položky v neaktivním okně listu (horní a prostřední okno)", false)),
      CheckBox_Description_Wrap(
          OptionBox("CheckBox_Description_Wrap", "Zalamovat řádky v popisu", true)),
      CheckBox_WhichCDROM(OptionBox("CheckBox_WhichCDROM",
                                    "přednastavit první nebo poslední jednotku CD-ROM", false)),
      CheckBox_SN(OptionBox("CheckBox_SN",
                            "vždy ignorovat sériové číslo média při otevíraní souborů", false)),
      CheckBox_ICO(OptionBox("CheckBox_ICO", "používat systémově asociované ikony", false)),
      CheckBox_HideStar(
          OptionBox("CheckBox_HideStar", "skryj v hledání volbu  doplňuj na *maska*", false)),
      CheckBox_SelNoticed(OptionBox("CheckBox_SelNoticed",
                                    "Zvýraznit tučně soubory s poznámkou nebo popisem", false)),
      CheckBox_ViewCD(OptionBox("CheckBox_ViewCD",
                                "Zobrazovat Archivy ve stromové struktuře levého okna  (pomalé)",
                                false)),
      CheckBox_LeftDaD(OptionBox("CheckBox_LeftDaD",
                                 "Povol Drag&&Drop z levého okna do levého okna  (samo na sebe)",
                                 false)),
      CheckBox_TreeDir(OptionBox("CheckBox_TreeDir",
                                 "Zobrazuj stromovou strukturu adresářů  (velmi pomalé)", false)),
      CheckBox_ShowUpper(OptionBox("CheckBox_ShowUpper", "Zobrazuj horní okno s Archívy", true)),
      CheckBox_ViewWrap(OptionBox("CheckBox_ViewWrap", "Zobrazuj zalamovani Popisu", false)),
      Button_SaveIni(Named(new QPushButton(QString::fromUtf8("Ulož INI nyní")), "Button_SaveIni")),
      Button_OK(Named(new QPushButton(QStringLiteral("OK")), "Button_OK")),
      LabelT1(Named(new QLabel(QStringLiteral("I/O error ?")), "LabelT1")),
      LabelT2(Named(new QLabel(QStringLiteral("File not Rewriten")), "LabelT2")), main_(*main) {
    setObjectName(QStringLiteral("Form_Setup"));
    setWindowTitle(QString::fromUtf8(kSetupTitle));
    setModal(true);
    Action_Setup->setObjectName(QStringLiteral("Action_Setup"));
    // Backups are always made; the box only says so.
    CheckBox_BAK->setEnabled(false);

    PageControl->addTab(Named(BuildColourPage(), "TabSheet_Barvy"), QStringLiteral("Barvy"));
    PageControl->addTab(
        Named(BuildOptionPage({CheckBox_INI, CheckBox_BAK, CheckBox_Size, CheckBox_TreeSelect,
                               CheckBox_ListSelect, CheckBox_Description_Wrap, CheckBox_WhichCDROM,
                               CheckBox_SN, CheckBox_ICO}),
              "TabSheet_Dalsi"),
        QString::fromUtf8("Další"));
    PageControl->addTab(Named(BuildOptionPage({CheckBox_HideStar, CheckBox_SelNoticed,
                                               CheckBox_ViewCD, CheckBox_LeftDaD, CheckBox_TreeDir,
                                               CheckBox_ShowUpper, CheckBox_ViewWrap}),
                              "TabSheet_Dalsi2"),
                        QString::fromUtf8("Další 2"));
    PageControl->setCurrentIndex(0);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Button_SaveIni);
    buttons->addStretch(1);
    buttons->addWidget(Button_OK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->addLayout(buttons);
    for (QLabel* hidden : {LabelT1, LabelT2}) {
        hidden->hide();
        layout->addWidget(hidden);
    }
    setFixedSize(sizeHint());

    Button_OK->setDefault(true);
    Button_SaveIni->installEventFilter(this);
    connect(Button_SaveIni, &QPushButton::clicked, this, &TForm_Setup::SaveNowCommand);
    connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Action_Setup, &QAction::triggered, this, &QDialog::exec);
    connect(main, &TForm_Main::DisplayOptionsDue, this, &TForm_Setup::ApplyOptions);
    // The "X" of the folder tree pane closes it as the box would.
    connect(main->Controls().CloseTreeDirButton, &QAbstractButton::clicked, CheckBox_TreeDir,
            [this] { CheckBox_TreeDir->setChecked(false); });
    main->Actions().Moznosti->addAction(Action_Setup);
    EnableMenusWithEntries(main->Actions());
}

TForm_Setup::~TForm_Setup() = default;

QCheckBox* TForm_Setup::OptionBox(const char* name, const char* caption, bool ticked) {
    auto* box = Named(new QCheckBox(QString::fromUtf8(caption)), name);
    box->setChecked(ticked);
    // Every option takes effect at once; options the other windows read when
    // they act reach them through their options, passed on by the same step.
    connect(box, &QCheckBox::clicked, this, &TForm_Setup::ApplyOptions);
    return box;
}

QWidget* TForm_Setup::BuildColourPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    const std::vector<QColor> presets = SetupCustomColours();
    for (int i = 0; i < kColourAreas; ++i) {
        auto* box = new QCheckBox(QString::fromUtf8(kAreaCaptions[i]));
        box->setObjectName(NumberedName("CheckBox", i));
        auto* sample = new QLineEdit;
        sample->setObjectName(NumberedName("Edit", i));
        sample->setReadOnly(true);
        sample->setFocusPolicy(Qt::NoFocus);
        QPalette palette = sample->palette();
        palette.setColor(QPalette::Base, presets[static_cast<std::size_t>(i) % presets.size()]);
        sample->setPalette(palette);
        auto* button = new QPushButton(QStringLiteral("Barva"));
        button->setObjectName(NumberedName("Button_Barva", i));
        grid->addWidget(box, i, 0);
        grid->addWidget(sample, i, 1);
        grid->addWidget(button, i, 2);
        connect(box, &QCheckBox::clicked, this, &TForm_Setup::ApplyOptions);
        connect(button, &QPushButton::clicked, this, [this, i] { ChooseColour(i); });
        ColourBoxes[static_cast<std::size_t>(i)] = box;
        Samples[static_cast<std::size_t>(i)] = sample;
        ColourButtons[static_cast<std::size_t>(i)] = button;
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(kColourAreas, 1);
    return page;
}

QWidget* TForm_Setup::BuildOptionPage(const std::vector<QCheckBox*>& boxes) {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    for (QCheckBox* box : boxes)
        column->addWidget(box);
    column->addStretch(1);
    return page;
}

void TForm_Setup::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Activated();
}

void TForm_Setup::Activated() {
    keys_.clear();
    // Fixed, but as large as the captions of the language shown now need.
    setFixedSize(sizeHint());
    // Each sample names its area in the language shown now.
    for (int i = 0; i < kColourAreas; ++i)
        Samples[static_cast<std::size_t>(i)]->setText(
            PlainCaption(ColourBoxes[static_cast<std::size_t>(i)]->text()));
    ApplyOptions();
}

void TForm_Setup::ChooseColour(int index) {
    QLineEdit* sample = Samples.at(static_cast<std::size_t>(index));
    const std::optional<QColor> chosen =
        Dialogs::ChooseColour(this, sample->palette().color(QPalette::Base), SetupCustomColours());
    if (!chosen) return;
    QPalette palette = sample->palette();
    palette.setColor(QPalette::Base, *chosen);
    sample->setPalette(palette);
    ApplyOptions();
}

void TForm_Setup::SaveNowCommand() {
    const std::vector<QWidget*>& windows = main_.Windows();
    if (SaveProgramSettings(windows)) return;
    // A file that refuses to be replaced is made writable, removed and
    // written anew.
    const std::string path = ProgramSettingsPath();
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
        std::error_code ignored;
        std::filesystem::remove(path, ignored);
    }
    if (SaveProgramSettings(windows)) return;
    Prompt::Current().Show(PromptKind::Warning, LabelT2->text(), LabelT1->text());
}

bool TForm_Setup::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Button_SaveIni && event->type() == QEvent::KeyPress)
        KeyOnSaveButton(static_cast<QKeyEvent*>(event)->key());
    return QDialog::eventFilter(watched, event);
}

void TForm_Setup::KeyOnSaveButton(int key) {
    char c = static_cast<char>(key & 0xFF);
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    keys_.push_back(c);
    if (keys_ == kRefreshKeys) RefreshLanguageFiles(main_.Windows());
    if (keys_.size() >= 8) keys_.clear();
}

} // namespace orbisk
