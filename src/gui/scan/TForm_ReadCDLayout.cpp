// The controls of the scan window and how they are laid out.
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/scan/Metadata.h"
#include "gui/common/Named.h"
#include "gui/scan/ScanMedium.h"
#include "gui/scan/TForm_ReadCD.h"

namespace orbisk {

namespace {

// Every control is a child of the window from the start, so the window's
// children come in creation order (the settings file walks them so).
QComboBox* ValueBox(QWidget* window, const char* name) {
    auto* box = Named(new QComboBox(window), name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumWidth(110);
    return box;
}

QCheckBox* Check(QWidget* window, const char* name, const QString& caption, bool checked) {
    auto* box = Named(new QCheckBox(caption, window), name);
    box->setChecked(checked);
    return box;
}

QLabel* Hidden(QWidget* window, const char* name, const QString& text) {
    auto* label = Named(new QLabel(text, window), name);
    label->hide();
    return label;
}

// The caption of a field, named after it ("Label_Name" for Edit_Name), so a
// language file reaches it.
QLabel* Caption(const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, buddy->parentWidget());
    label->setObjectName(QStringLiteral("Label_") +
                         buddy->objectName().section(QLatin1Char('_'), 1));
    label->setBuddy(buddy);
    return label;
}

} // namespace

void TForm_ReadCD::BuildControls() {
    Edit_Name = Named(new QLineEdit(this), "Edit_Name");
    Edit_Name->setMaxLength(static_cast<int>(kArchiveBaseLength));
    ComboBox_Medium = ValueBox(this, "ComboBox_Medium");
    ComboBox_Medium->addItems({QStringLiteral("CD"), QStringLiteral("HDD")});
    ComboBox_Medium->setCurrentIndex(0);
    ComboBox_Typ = ValueBox(this, "ComboBox_Typ");
    ComboBox_SubTyp = ValueBox(this, "ComboBox_SubTyp");
    ComboBox_Owner = ValueBox(this, "ComboBox_Owner");
    Edit_Popis = Named(new QLineEdit(this), "Edit_Popis");
    Edit_Zdroj = Named(new QLineEdit(this), "Edit_Zdroj");
    Button_CD = Named(new QPushButton(QStringLiteral("CD/HDD"), this), "Button_CD");
    Button_Eject = Named(new QToolButton(this), "Button_Eject");
    Button_Eject->setIcon(
        QIcon::fromTheme(QStringLiteral("media-eject"), style()->standardIcon(QStyle::SP_ArrowUp)));
    Button_Eject->setToolTip(QStringLiteral("Vysunout / zasunout dvířka mechaniky"));
    Button_FTP = Named(new QPushButton(QStringLiteral("FTP"), this), "Button_FTP");
    Button_FTP->setEnabled(false);
    // The settings file lists the check boxes in this order.
    CheckBox_TXT =
        Check(this, "CheckBox_TXT", QStringLiteral("vkládat do Popisu ze souborů"), false);
    CheckBox1 = Check(this, "CheckBox1", QStringLiteral("Zobrazovat načítání"), true);
    CheckBoxRAR = Check(this, "CheckBoxRAR", QStringLiteral("včetně archivů RAR"), false);
    CheckBoxZIP = Check(this, "CheckBoxZIP", QStringLiteral("včetně archivů ZIP"), false);
    CheckBox_AutoEject =
        Check(this, "CheckBox_AutoEject", QStringLiteral("po načtení vysunout dvířka"), false);
    CheckBox_AutoScan =
        Check(this, "CheckBox_AutoScan", QStringLiteral("načítat po vložení média"), false);
    SpinEdit_Byte = Named(new QSpinBox(this), "SpinEdit_Byte");
    SpinEdit_Byte->setRange(kDescriptionLimitMin, kDescriptionLimitMax);
    SpinEdit_Byte->setValue(walkOptions_.DescriptionLimit);
    Button_Soubory = Named(new QPushButton(QStringLiteral("Soubory"), this), "Button_Soubory");
    Button_Soubory->setAutoDefault(false);
    Button_Nacti = Named(new QPushButton(QStringLiteral("Načti"), this), "Button_Nacti");
    Button_Nacti->setDefault(true);
    Button_Storno = Named(new QPushButton(QStringLiteral("Storno"), this), "Button_Storno");
    Button_Storno->setAutoDefault(false);
    for (QPushButton* button : {Button_CD, Button_FTP})
        button->setAutoDefault(false);
    Memo = Named(new QPlainTextEdit(this), "Memo");
    Memo->setReadOnly(true);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    StatusBar = Named(new QStatusBar(this), "StatusBar");
    StatusBar->setSizeGripEnabled(false);
    const QString panelTexts[6] = {QStringLiteral("Medium"),   QString(),
                                   QStringLiteral("SN"),       QString(),
                                   QStringLiteral("Jmenovka"), QString()};
    const int stretches[6] = {0, 1, 0, 1, 0, 2};
    for (int i = 0; i < 6; ++i) {
        StatusPanels[i] = new QLabel(panelTexts[i]);
        StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusPanels[i]->setMinimumWidth(60);
        StatusBar->addWidget(StatusPanels[i], stretches[i]);
    }
    Timer_Medium = Named(new QTimer(this), "Timer_Medium");
    Timer_Medium->setInterval(kPollInterval);
    Timer_Blink = Named(new QTimer(this), "Timer_Blink");
    Timer_Blink->setInterval(kBlinkInterval);

    LabelT1 = Hidden(this, "LabelT1", QStringLiteral("Vyber Disk (adresář) ..."));
    LabelT2 = Hidden(this, "LabelT2", QStringLiteral("Uspořádávám ..."));
    LabelT3 = Hidden(this, "LabelT3", QStringLiteral("Načítám..."));
    LabelT4 = Hidden(this, "LabelT4", QStringLiteral("Cílový soubor ["));
    LabelT5 = Hidden(this, "LabelT5", QStringLiteral(".cd] již existuje ! "));
    LabelT6 = Hidden(this, "LabelT6", QStringLiteral("Nový soubor může mít název ["));
    LabelT7 = Hidden(
        this, "LabelT7",
        QStringLiteral("Přepsat soubor -> [ANO], jiný název -> [NE], zpět-zrušit -> [Storno]"));
    LabelT8 = Hidden(this, "LabelT8", QStringLiteral("Celkem "));
    LabelT9 = Hidden(this, "LabelT9", QStringLiteral(" adresářů a souborů."));
    LabelT10 = Hidden(this, "LabelT10", QStringLiteral("Ukládám Archiv na disk..."));
    LabelT11 = Hidden(this, "LabelT11", QStringLiteral("Archiv uložen na disk."));
    LabelT12 = Hidden(this, "LabelT12", QStringLiteral("Archiv nebyl uložen na disk !!!"));
    LabelT13 = Hidden(this, "LabelT13", QStringLiteral("Načítání zrušeno."));
    LabelT14 = Hidden(this, "LabelT14", QStringLiteral("přítomno"));
    LabelT15 = Hidden(this, "LabelT15", QStringLiteral("nepřítomno"));
    LabelT16 = Hidden(this, "LabelT16", QStringLiteral("Přesto pokračovat ?"));
    LabelT17 = Hidden(this, "LabelT17", QStringLiteral("Adresářů, které nešlo přečíst: "));
    LabelT18 = Hidden(this, "LabelT18",
                      QStringLiteral("Chybí zdroj: vyber disk nebo adresář (CD/HDD) "
                                     "nebo napiš jeho cestu do pole Zdroj."));
    LabelT19 = Hidden(this, "LabelT19", QStringLiteral("Médium nelze odpojit: "));
    LabelT20 = Hidden(this, "LabelT20", QStringLiteral("Dvířka nelze otevřít: "));
    LabelT21 = Hidden(this, "LabelT21", QStringLiteral("Dvířka nelze zavřít: "));
    // Made after the controls of old, so their order stays the one the
    // settings and language files know.
    StatusMessage = Named(new QLabel, "StatusMessage");
    StatusBar->addWidget(StatusMessage, 3);
}

void TForm_ReadCD::BuildLayout() {
    auto* header = new QGridLayout;
    header->addWidget(Caption(QStringLiteral("Název"), Edit_Name), 0, 0);
    header->addWidget(Edit_Name, 0, 1, 1, 7);
    const std::pair<const char*, QComboBox*> boxes[] = {
        {"Medium", ComboBox_Medium},
        {"Typ", ComboBox_Typ},
        {"Subtyp", ComboBox_SubTyp},
        {"Vlastník", ComboBox_Owner},
    };
    int column = 0;
    for (const auto& [caption, box] : boxes) {
        header->addWidget(Caption(QString::fromUtf8(caption), box), 1, column++);
        header->addWidget(box, 1, column++);
    }
    header->addWidget(Caption(QStringLiteral("Popis"), Edit_Popis), 2, 0);
    header->addWidget(Edit_Popis, 2, 1, 1, 7);
    auto* source = new QHBoxLayout;
    source->addWidget(Edit_Zdroj, 1);
    source->addWidget(Button_CD);
    source->addWidget(Button_Eject);
    source->addWidget(Button_FTP);
    header->addWidget(Caption(QStringLiteral("Zdroj"), Edit_Zdroj), 3, 0);
    header->addLayout(source, 3, 1, 1, 7);

    auto* limit = new QHBoxLayout;
    limit->addWidget(CheckBox_TXT);
    limit->addWidget(SpinEdit_Byte);
    limit->addWidget(Named(new QLabel(QStringLiteral("B"), this), "Label_Byte"));
    limit->addStretch(1);
    limit->addWidget(Button_Soubory);
    auto* switches = new QGridLayout;
    switches->addWidget(CheckBoxRAR, 0, 0);
    switches->addWidget(CheckBoxZIP, 1, 0);
    switches->addLayout(limit, 2, 0);
    switches->addWidget(CheckBox_AutoScan, 0, 1);
    switches->addWidget(CheckBox_AutoEject, 1, 1);
    switches->addWidget(CheckBox1, 2, 1);
    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button_Nacti);
    buttons->addWidget(Button_Storno);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addWidget(rule);
    layout->addLayout(switches);
    layout->addLayout(buttons);
    layout->addWidget(Memo, 1);
    layout->addWidget(StatusBar);
}

} // namespace orbisk
