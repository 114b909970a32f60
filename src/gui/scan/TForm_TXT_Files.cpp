#include "gui/scan/TForm_TXT_Files.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QShowEvent>
#include <QVBoxLayout>
#include <string>
#include <utility>
#include <vector>

#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ProgramValues.h"
#include "core/catalog/TextFile.h"
#include "gui/common/Named.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"
#include "gui/scan/ExtensionListGroup.h"

namespace orbisk {

namespace {

// What the two list views offer while both lists of their group are empty.
const std::vector<std::string> kBuiltInDescription = {
    ".ASM", ".BAT", ".C",   ".CPP", ".DIZ", ".H",    ".HTM",  ".HTML", ".INF", ".INI",
    ".M3U", ".ME",  ".NFO", ".PAS", ".PHP", ".PHP3", ".PHP4", ".PLS",  ".TXT"};
const std::vector<std::string> kBuiltInScan = {
    ".ASF", ".AVI",  ".DAT", ".DOC", ".EXE", ".GIF", ".JPEG", ".JPG", ".M3U", ".MP2",
    ".MP3", ".MPEG", ".MPG", ".PLS", ".PNG", ".RAR", ".RTF",  ".TXT", ".WAV", ".ZIP"};

QCheckBox* Switch(const char* caption, const char* name) {
    return Named(new QCheckBox(QString::fromUtf8(caption)), name);
}

// When box becomes `when`, every one of others becomes `set`. A change made
// by the program couples like a click, so no pair of switches can end up in
// a state that clicks could not make.
void Couple(QCheckBox* box, bool when, std::initializer_list<QCheckBox*> others, bool set) {
    const std::vector<QCheckBox*> targets(others);
    QObject::connect(box, &QCheckBox::toggled, box, [when, targets, set](bool checked) {
        if (checked != when) return;
        for (QCheckBox* target : targets)
            target->setChecked(set);
    });
}

} // namespace

TForm_TXT_Files::TForm_TXT_Files(QWidget* parent)
    : QDialog(parent), GroupBox_TXT(new TExtensionListGroup(
                           QStringLiteral(" Přípony souborů načítaných do Popisu "),
                           {"GroupBox_TXT", "Label_TXT", "Edit_TXT", "Button_AddTXT",
                            "Button_RemoveTXT", "Button_SaveTXT", "ListView1"},
                           kBuiltInDescription)),
      GroupBox_Scan(
          new TExtensionListGroup(QStringLiteral(" Načítané soubory "),
                                  {"GroupBox_Scan", "Label_Scan", "Edit_Scan", "Button_AddScan",
                                   "Button_RemoveScan", "Button_SaveScan", "ListView2"},
                                  kBuiltInScan)),
      GroupBox_CD(Named(new QGroupBox(QStringLiteral(" Audio CD ")), "GroupBox_CD")),
      GroupBox_MP3(Named(new QGroupBox(QStringLiteral(" MP3  ")), "GroupBox_MP3")),
      CheckBox_SelectedFiles(Switch("Načítat jen vybrané typy souborů", "CheckBox_SelectedFiles")),
      CheckBox_OnlyDir(Switch("Načítat pouze adresáře", "CheckBox_OnlyDir")),
      CheckBox_CDPlayer(Switch("použít informace z CDPlayer.INI", "CheckBox_CDPlayer")),
      CheckBox_toName(Switch("nahradit TrackXX.cda názvem", "CheckBox_toName")),
      CheckBox_toDescription(Switch("vložit název do Popisu", "CheckBox_toDescription")),
      CheckBox_ID3v1(Switch("vlož obsah ID3v1 tagu do Popisu", "CheckBox_ID3v1")),
      CheckBox_ID3v2(Switch("vlož obsah ID3v2 tagu do Popisu", "CheckBox_ID3v2")),
      CheckBox_RepName(Switch("nahradit xxxx.MP3 názvem  (nedoporučuje se)", "CheckBox_RepName")),
      CheckBox_NameToNotice(Switch("vlož Název do Poznámky", "CheckBox_NameToNotice")) {
    setObjectName(QStringLiteral("Form_TXT_Files"));
    setWindowTitle(QString::fromUtf8(kTxtFilesTitle));
    setModal(true);

    GroupBox_Scan->Extras()->addWidget(CheckBox_SelectedFiles);
    GroupBox_Scan->Extras()->addWidget(CheckBox_OnlyDir);
    auto* cd = new QVBoxLayout(GroupBox_CD);
    for (QCheckBox* box : {CheckBox_CDPlayer, CheckBox_toName, CheckBox_toDescription})
        cd->addWidget(box);
    cd->addStretch(1);
    auto* mp3 = new QVBoxLayout(GroupBox_MP3);
    for (QCheckBox* box : {CheckBox_ID3v1, CheckBox_ID3v2, CheckBox_RepName, CheckBox_NameToNotice})
        mp3->addWidget(box);
    mp3->addStretch(1);

    auto* layout = new QGridLayout(this);
    layout->addWidget(GroupBox_TXT, 0, 0);
    layout->addWidget(GroupBox_Scan, 0, 1);
    layout->addWidget(GroupBox_CD, 1, 0);
    layout->addWidget(GroupBox_MP3, 1, 1);
    layout->setRowStretch(0, 1);
    resize(560, 520);

    ConnectCouplings();
    connect(GroupBox_TXT, &TExtensionListGroup::SaveRequested, this, [this] { SaveGroup(true); });
    connect(GroupBox_Scan, &TExtensionListGroup::SaveRequested, this, [this] { SaveGroup(false); });
}

void TForm_TXT_Files::ConnectCouplings() {
    Couple(CheckBox_SelectedFiles, true, {CheckBox_OnlyDir}, false);
    Couple(CheckBox_OnlyDir, true, {CheckBox_SelectedFiles}, false);
    Couple(CheckBox_CDPlayer, false, {CheckBox_toName, CheckBox_toDescription}, false);
    Couple(CheckBox_toName, true, {CheckBox_CDPlayer}, true);
    Couple(CheckBox_toDescription, true, {CheckBox_CDPlayer}, true);
    Couple(CheckBox_ID3v1, false, {CheckBox_RepName, CheckBox_NameToNotice}, false);
    Couple(CheckBox_RepName, true, {CheckBox_ID3v1}, true);
    Couple(CheckBox_NameToNotice, true, {CheckBox_ID3v1}, true);
}

void TForm_TXT_Files::Execute() {
    exec();
}

TExtensionSwitches TForm_TXT_Files::Switches() const {
    TExtensionSwitches switches;
    switches.SelectedTypes = CheckBox_SelectedFiles->isChecked();
    switches.OnlyFolders = CheckBox_OnlyDir->isChecked();
    switches.UseCdPlayer = CheckBox_CDPlayer->isChecked();
    switches.ReplaceTrackName = CheckBox_toName->isChecked();
    switches.TitleToDescription = CheckBox_toDescription->isChecked();
    switches.Id3v1 = CheckBox_ID3v1->isChecked();
    switches.Id3v2 = CheckBox_ID3v2->isChecked();
    switches.ReplaceName = CheckBox_RepName->isChecked();
    switches.NameToNote = CheckBox_NameToNotice->isChecked();
    return switches;
}

void TForm_TXT_Files::SetSelectedTypes(bool on) {
    CheckBox_SelectedFiles->setChecked(on);
}

void TForm_TXT_Files::ApplyExtensionLists() {
    ProgramValues& values = Program();
    GroupBox_TXT->Collect(values.DescriptionExtensionsAll, values.DescriptionExtensions);
    GroupBox_Scan->Collect(values.ScanExtensionsAll, values.ScanExtensions);
}

void TForm_TXT_Files::showEvent(QShowEvent* event) {
    // A window restored from the task bar keeps the rows being edited.
    if (event->spontaneous()) {
        QDialog::showEvent(event);
        return;
    }
    if (CheckBox_OnlyDir->isChecked()) CheckBox_SelectedFiles->setChecked(false);
    const ProgramValues& values = Program();
    GroupBox_TXT->Fill(values.DescriptionExtensionsAll, values.DescriptionExtensions);
    GroupBox_Scan->Fill(values.ScanExtensionsAll, values.ScanExtensions);
    QDialog::showEvent(event);
}

void TForm_TXT_Files::done(int result) {
    ApplyExtensionLists();
    QDialog::done(result);
}

void TForm_TXT_Files::SaveGroup(bool description) {
    ApplyExtensionLists();
    const ProgramValues& values = Program();
    const auto& all = description ? values.DescriptionExtensionsAll : values.ScanExtensionsAll;
    const auto& selected = description ? values.DescriptionExtensions : values.ScanExtensions;
    const std::string allPath = JoinPath(
        values.ProgramDir, description ? kDescriptionExtensionsAllFile : kScanExtensionsAllFile);
    const std::string selectedPath =
        JoinPath(values.ProgramDir, description ? kDescriptionExtensionsFile : kScanExtensionsFile);
    // The lists stay in memory for this run either way; a file that could not
    // be saved is named, so the user does not take it for saved.
    for (const auto& [path, list] :
         {std::pair{&allPath, &all}, std::pair{&selectedPath, &selected}})
        if (const TFileStatus saved = SaveExtensionList(*path, *list); !saved)
            Prompt::Warning(DecodeText(UserText(saved)) + QStringLiteral("\n") +
                            QString::fromStdString(*path));
}

} // namespace orbisk
