#pragma once
// The extension lists window: which extensions have their text read into the
// description of their entry, which file types a scan limited to selected
// types records, and the switches for folders only, audio CD titles and MP3
// tags. Created once, shown modally by the scan window. The four lists live
// in Program() and change when the window closes; only "Ulož" writes them to
// their files beside the program. The switches last for the program run.
#include <QDialog>

#include "gui/scan/ExtensionSwitches.h"

class QCheckBox;
class QGroupBox;
class QShowEvent;

namespace orbisk {

class TExtensionListGroup;

inline constexpr const char* kTxtFilesTitle = "Nastavení načítaných souborů";

class TForm_TXT_Files : public QDialog {
    Q_OBJECT
public:
    explicit TForm_TXT_Files(QWidget* parent = nullptr);

    // Shows the window modally (exec) and applies the lists when it closes.
    void Execute();
    // The switches as they are now.
    TExtensionSwitches Switches() const;
    // Sets the check box "Načítat jen vybrané typy souborů" (the scan driver
    // switches it off when only folders are scanned).
    void SetSelectedTypes(bool on);
    // Rebuilds Program().DescriptionExtensionsAll/DescriptionExtensions and
    // Program().ScanExtensionsAll/ScanExtensions from the two list views.
    void ApplyExtensionLists();
    // However the window closes, the lists in memory follow the rows.
    void done(int result) override;

    // " Přípony souborů načítaných do Popisu " (list view ListView1) and
    // " Načítané soubory " (list view ListView2).
    TExtensionListGroup* GroupBox_TXT;
    TExtensionListGroup* GroupBox_Scan;
    QGroupBox* GroupBox_CD;
    QGroupBox* GroupBox_MP3;
    QCheckBox* CheckBox_SelectedFiles; // "Načítat jen vybrané typy souborů"
    QCheckBox* CheckBox_OnlyDir;       // "Načítat pouze adresáře"
    QCheckBox* CheckBox_CDPlayer;      // "použít informace z CDPlayer.INI"
    QCheckBox* CheckBox_toName;        // "nahradit TrackXX.cda názvem"
    QCheckBox* CheckBox_toDescription; // "vložit název do Popisu"
    QCheckBox* CheckBox_ID3v1;         // "vlož obsah ID3v1 tagu do Popisu"
    QCheckBox* CheckBox_ID3v2;         // "vlož obsah ID3v2 tagu do Popisu"
    QCheckBox* CheckBox_RepName;       // "nahradit xxxx.MP3 názvem  (nedoporučuje se)"
    QCheckBox* CheckBox_NameToNotice;  // "vlož Název do Poznámky"

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ConnectCouplings();
    // Writes one group's two lists beside the program after applying both.
    void SaveGroup(bool description);
};

} // namespace orbisk
