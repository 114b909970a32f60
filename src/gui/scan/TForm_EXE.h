#pragma once
// The run window "Otevírám ... z ...": waits for the medium of a catalogued
// entry and hands the entry to the desktop once it has been found on two
// ticks in a row and the medium's serial is the archive's (or the "Ignore
// SN" box is ticked). The drive list offers the optical drives, sticks,
// fixed, network and RAM volumes and, when the archive has a serial, "any
// drive". Created once; the content browser shows it modally for an entry.
#include <QDialog>
#include <memory>
#include <optional>

#include "core/platform/Volumes.h"
#include "core/scan/RunMedium.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
class QToolButton;

namespace orbisk {

class DiskService;
class TForm_Main;

// The setup's options of the run window.
struct TRunWindowOptions {
    // "přednastavit první nebo poslední jednotku CD-ROM": the last optical
    // drive is preset instead of the first.
    bool LastCdDrive = false;
    // "vždy ignorovat sériové číslo média při otevíraní souborů": the "Ignore
    // SN" box starts ticked for every request.
    bool AlwaysIgnoreSerial = false;
};

class TForm_EXE : public QDialog {
    Q_OBJECT
public:
    explicit TForm_EXE(TForm_Main* main);
    ~TForm_EXE() override;

    // "Otevři (spust)": the request for entry rec of the main window's shown
    // folder, shown modally; nothing for a member of a listed packed file.
    void RunEntry(std::int32_t rec);
    // Shows the window modally for request.
    void Execute(const TRunRequest& request);
    // The request the next showing looks for.
    void SetRequest(const TRunRequest& request);

    // Replaces the probe the window asks about volumes (the live system by
    // default) and the disk service that moves the door (UDisks2).
    void SetVolumeProbe(std::unique_ptr<VolumeProbe> probe);
    void SetDiskService(std::unique_ptr<DiskService> disks);

    const TRunWindowOptions& Options() const { return options_; }
    // Takes the setup's options and fills the drive list again with the
    // optical drive they preset.
    void SetOptions(const TRunWindowOptions& options);

    // Fills the drive list and presets the first (or last) optical drive.
    void FillDriveList();
    // The drive watched now; nothing while "any drive" is chosen.
    const std::optional<TRunDrive>& Drive() const { return drive_; }
    bool AnyDrive() const { return anyDrive_; }
    const TRunWatch& Watch() const { return watch_; }

    QComboBox* ComboBox_Drive; // "Jednotka"
    QToolButton* Button_Eject; // the door
    QLabel* Label_Path;        // entry path + name
    QLabel* Label_Insert;      // which medium to insert
    QLabel* Label_Search;      // "Hledám  "
    QLabel* Label_Seconds;     // "0 s"
    QCheckBox* CheckBox_SN;    // "Ignore SN"
    QPushButton* Button_Esc;   // "Esc"
    QLabel* Label_Status;      // what went wrong with the door
    QTimer* Timer_Run;         // the look for the entry, 1000 ms

    // Hidden texts, so that they follow the language file.
    QLabel* LabelT1; // "Otevírám"
    QLabel* LabelT2; // "z"
    QLabel* LabelT3; // "kterákoli jednotka"
    QLabel* LabelT4; // "Vložte médium: "
    QLabel* LabelT5; // "jmenovka "
    QLabel* LabelT6; // "Nelze otevřít "
    QLabel* LabelT7; // "Médium nelze odpojit: "
    QLabel* LabelT8; // "Dvířka nelze otevřít: "
    QLabel* LabelT9; // "Dvířka nelze zavřít: "

public Q_SLOTS:
    // One tick of the timer.
    void Tick();
    // The eject button: toggles the door.
    void EjectCommand();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BuildControls();
    void BuildLayout();
    void Activated();
    // Puts the drive list into the combo: "any drive" first when the
    // request's archive has a serial, then the drives; selects the chosen.
    void ShowDriveList();
    void SelectChosenDrive();
    // The combo's text was picked or typed: a drive takes it, any other text
    // is refused and the chosen drive shown again.
    void DriveTextChosen(const QString& text);
    QString InsertText() const;
    // The door's failure under the controls; nothing shown while empty.
    void ShowStatus(const QString& text);

    TForm_Main& main_;
    std::unique_ptr<VolumeProbe> probe_;
    std::unique_ptr<DiskService> disks_;
    TRunWatch watch_;
    TRunWindowOptions options_;
    TRunDrives drives_;
    std::optional<TRunDrive> drive_; // the drive chosen
    bool anyDrive_ = false;          // "any drive" chosen
    bool filled_ = false;            // the drive list was filled once
};

} // namespace orbisk
