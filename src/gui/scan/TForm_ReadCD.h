#pragma once
// The scan window "Načtení CD/HDD": the header values of a new archive, the
// source folder, the scan switches and the progress box. "Načti" runs the
// scan driver of core; the window watches the source's volume (presence,
// serial, label), can scan each newly inserted medium by itself and can open
// the drive door. A source on an optical or removable drive makes the window
// watch that drive: the source follows wherever the medium now in it is
// mounted, and an audio CD in it is recorded from its table of contents. Created once, shown
// modally by "Nový ..." in the main window.
#include <QDialog>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/catalog/Archive.h"
#include "core/platform/Volumes.h"
#include "core/scan/ScanDriver.h"
#include "core/scan/Walk.h"
#include "gui/scan/ScanMedium.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QStatusBar;
class QTimer;
class QToolButton;

namespace orbisk {

class DiskService;
class GuiHost;
class TForm_Main;
class TForm_TXT_Files;
class TNumericDateFormatter;
class TScanProgress;

inline constexpr int kBlinkInterval = 250;

// The setup's options of the scan window.
struct TScanWindowOptions {
    // "přednastavit první nebo poslední jednotku CD-ROM": the last optical
    // drive is preset as the source instead of the first.
    bool LastCdDrive = false;
};

// What the program believes about the drive door: set by each door command
// the drive carried out (the eject button, the automatic eject after a scan);
// a command that failed leaves it as it was.
bool& DoorOpen();

class TForm_ReadCD : public QDialog {
    Q_OBJECT
public:
    explicit TForm_ReadCD(TForm_Main* main);
    ~TForm_ReadCD() override;

    // "Nový ..." in the main window: offers the value lists in the four
    // category boxes and shows the window modally.
    void Execute();

    // Replaces the probe the window asks about volumes (the live system by
    // default).
    void SetVolumeProbe(std::unique_ptr<VolumeProbe> probe);
    VolumeProbe& Probe() const { return *probe_; }
    // Replaces the disk service that unmounts and ejects (UDisks2 by default).
    void SetDiskService(std::unique_ptr<DiskService> disks);
    // The device of the drive the window watches; empty when the source lies
    // on no optical or removable drive.
    std::string WatchedDevice() const { return watched_ ? watched_->Device : std::string(); }

    const TScanWindowOptions& Options() const { return options_; }
    void SetOptions(const TScanWindowOptions& options) { options_ = options; }

    // The folder to scan (the source field; a typed path is taken when the
    // field is left or Enter is pressed).
    QString Source() const;
    void SetSource(const QString& source);

    // The scan as the driver walks it: the switches of this window, read at
    // the moment of use.
    const TWalkOptions& WalkOptions() const { return walkOptions_; }
    // True while the walk may go on; clearing it cancels the scan.
    bool ScanRunning() const { return scanRunning_.load(); }
    // True from the start of a scan until its last step.
    bool Scanning() const { return inScan_; }
    // Set once a scan has been started for the medium in the drive.
    bool MediumScanned() const { return mediumScanned_; }
    // The outcome of the last scan that got as far as the driver.
    const TScanResult& LastResult() const { return lastResult_; }
    // The lines of the progress box.
    QString ProgressText() const;
    // True while the presence panel is drawn lowered.
    bool PresenceLowered() const;

    // Runs after every progress line while a scan runs (tests act here).
    std::function<void()> ProgressHook;

    QLineEdit* Edit_Name;
    QComboBox* ComboBox_Medium;
    QComboBox* ComboBox_Typ;
    QComboBox* ComboBox_SubTyp;
    QComboBox* ComboBox_Owner;
    QLineEdit* Edit_Popis;
    QLineEdit* Edit_Zdroj;
    QPushButton* Button_CD;        // "CD/HDD"
    QToolButton* Button_Eject;     // the door
    QPushButton* Button_FTP;       // "FTP"
    QCheckBox* CheckBox_TXT;       // "vkládat do Popisu ze souborů"
    QCheckBox* CheckBox1;          // "Zobrazovat načítání"
    QCheckBox* CheckBoxRAR;        // "včetně archivů RAR"
    QCheckBox* CheckBoxZIP;        // "včetně archivů ZIP"
    QCheckBox* CheckBox_AutoEject; // "po načtení vysunout dvířka"
    QCheckBox* CheckBox_AutoScan;  // "načítat po vložení média"
    QSpinBox* SpinEdit_Byte;       // bytes read per text file
    QPushButton* Button_Soubory;   // "Soubory"
    QPushButton* Button_Nacti;     // "Načti"
    QPushButton* Button_Storno;    // "Storno"
    QPlainTextEdit* Memo;          // the progress box
    QStatusBar* StatusBar;
    QLabel* StatusPanels[6]; // "Medium", presence, "SN", serial, "Jmenovka", label
    QLabel* StatusMessage;   // what went wrong with the last command
    QTimer* Timer_Medium;    // polling of the source, 1000 ms (10000 for floppies)
    QTimer* Timer_Blink;     // blinking of the presence panel, 250 ms

    // Hidden texts, so that they follow the language file.
    QLabel* LabelT1;  // "Vyber Disk (adresář) ..."
    QLabel* LabelT2;  // "Uspořádávám ..."
    QLabel* LabelT3;  // "Načítám..."
    QLabel* LabelT4;  // "Cílový soubor ["
    QLabel* LabelT5;  // ".cd] již existuje ! "
    QLabel* LabelT6;  // "Nový soubor může mít název ["
    QLabel* LabelT7;  // "Přepsat soubor -> [ANO], jiný název -> [NE], ..."
    QLabel* LabelT8;  // "Celkem "
    QLabel* LabelT9;  // " adresářů a souborů."
    QLabel* LabelT10; // "Ukládám Archiv na disk..."
    QLabel* LabelT11; // "Archiv uložen na disk."
    QLabel* LabelT12; // "Archiv nebyl uložen na disk !!!"
    QLabel* LabelT13; // "Načítání zrušeno."
    QLabel* LabelT14; // "přítomno"
    QLabel* LabelT15; // "nepřítomno"
    QLabel* LabelT16; // "Přesto pokračovat ?"
    QLabel* LabelT17; // "Adresářů, které nešlo přečíst: "
    QLabel* LabelT18; // "Chybí zdroj: ..."
    QLabel* LabelT19; // "Médium nelze odpojit: "
    QLabel* LabelT20; // "Dvířka nelze otevřít: "
    QLabel* LabelT21; // "Dvířka nelze zavřít: "

    // "Nový ..." of the main window's "Soubor" menu and tool bar.
    QAction* Action_New;

public Q_SLOTS:
    // "Načti", and the polling timer for automatic scans.
    void StartScan();
    // "Storno": cancels a running scan, otherwise closes the window.
    void CancelCommand();
    // "CD/HDD": the folder dialog for the source.
    void ChooseSourceCommand();
    // The eject button: toggles the door.
    void EjectCommand();
    // "FTP": starts the upload tool beside the program.
    void FtpCommand();
    // "Soubory": the extension lists window.
    void FilesCommand();
    // Presets the source to the first (or last) optical drive with a medium.
    void PickCdDrive(bool last);
    // One tick of the polling timer.
    void PollTick();
    // One tick of the blink timer.
    void BlinkTick();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void BuildControls();
    void BuildLayout();
    void ConnectControls();
    void Activated();
    void SetScanControlsEnabled(bool enabled);
    void ShowPresence(const TVolumeInfo* volume);
    bool ConfirmMissingMedium(const std::string& source);
    TScanFields ReadFields() const;
    void ShowFields(const TScanFields& fields);
    void OfferValueLists();
    TScanTexts Texts();
    void TakeExtensionSwitches();
    void ScanFinished(const TScanResult& result, bool selectedTypesOff);
    void ShowWrittenArchive(const TScanResult& result, const std::vector<bool>& wasListed);
    void AutoEject(const std::string& source);
    // Opens (unmounting the medium first) or closes the door; a failed step
    // is shown in the status line and leaves DoorOpen as it was.
    bool MoveDoor(bool open);
    void ShowStatus(const QString& text);
    std::string SourceBytes() const;
    // Asks the watched drive what is in it and lets the source follow it.
    std::optional<TDriveMedium> FollowDrive();
    // What closing leaves behind: an empty progress box, the scan archive's
    // entry array at one slot, both timers off.
    void ReleaseClosed();
    TForm_TXT_Files* ExtensionWindow(bool create);
    std::string FtpTool() const;

    TForm_Main& main_;
    std::unique_ptr<VolumeProbe> probe_;
    std::unique_ptr<DiskService> disks_;
    std::optional<TMountedVolume> watched_; // the drive the source lies on
    std::unique_ptr<TScanProgress> progress_;
    std::unique_ptr<GuiHost> host_;
    std::unique_ptr<TNumericDateFormatter> dates_; // the user's date order, taken once
    TScanWindowOptions options_;
    TArch scanArchive_; // the archive every scan fills
    TWalkOptions walkOptions_;
    TAudioCdOptions audioCd_;
    TScanResult lastResult_;
    std::atomic<bool> scanRunning_{false};
    bool inScan_ = false;
    bool mediumScanned_ = false;
    bool closePending_ = false; // closed or hidden during a scan: close once it has ended
    bool shownOnce_ = false;
};

} // namespace orbisk
