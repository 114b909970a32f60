// The scan window's watch over the source: the polling interval, presence
// and blinking, automatic scans once per medium, the coupling of the
// automatic switches, the preset optical drive, the door, the upload tool and
// the switches that bounce back.
#include "ScanWindowTest.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "core/catalog/ProgramValues.h"

namespace orbisk::test {

namespace {

struct IntervalCase {
    const char* name;
    std::string source;
    std::optional<TMountedVolume> drive; // what the probe says holds the source
    int interval;
};

class PollIntervalTest : public ScanWindowTest,
                         public ::testing::WithParamInterface<IntervalCase> {};

TEST_P(PollIntervalTest, FloppiesArePolledSlowly) {
    const IntervalCase& c = GetParam();
    TForm_ReadCD& scan = StartScanWindow();
    if (c.drive) probe_->drives[c.source] = *c.drive;
    dialogs_.paths.push_back(Q(c.source));
    scan.ChooseSourceCommand();
    EXPECT_EQ(scan.Source(), Q(c.source));
    EXPECT_EQ(scan.Timer_Medium->interval(), c.interval);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, PollIntervalTest,
    ::testing::Values(IntervalCase{"Floppy", "/media/floppy/games",
                                   Mounted("/media/floppy", TDriveType::Removable, true), 10000},
                      IntervalCase{"RemovableStick", "/media/stick/data",
                                   Mounted("/media/stick", TDriveType::Removable), 1000},
                      IntervalCase{"HardDisk", "/home/user", Mounted("/", TDriveType::Fixed), 1000},
                      IntervalCase{"NoDrive", "/gone", std::nullopt, 1000},
                      IntervalCase{"DriveLetterA", "A:\\", std::nullopt, 10000},
                      IntervalCase{"DriveLetterB", "b:\\", std::nullopt, 10000},
                      IntervalCase{"DriveLetterE", "E:\\", std::nullopt, 1000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanWindowTest, CancelledFolderDialogKeepsTheSource) {
    TForm_ReadCD& scan = StartScanWindow();
    scan.SetSource(QStringLiteral("/data"));
    scan.ChooseSourceCommand();
    EXPECT_EQ(scan.Source(), QStringLiteral("/data"));
}

TEST_F(ScanWindowTest, AutoScanRunsOncePerInsertedMedium) {
    TForm_ReadCD& scan = StartScanWindow();
    MakeSource({{"track.txt", "x"}});
    probe_->type = TDriveType::CdRom;
    scan.CheckBox_AutoScan->setChecked(true);
    EXPECT_TRUE(scan.CheckBox_AutoEject->isChecked());

    // Each step: what the drive holds, then the archives written so far.
    struct Step {
        TVolumeInfo medium;
        std::size_t archives;
        const char* presence;
    };
    const Step steps[] = {
        {{"DISK1", "1111-1111"}, 1, "přítomno"}, // inserted: scanned
        {{"DISK1", "1111-1111"}, 1, "přítomno"}, // still in: not again
        {{"", "0000-0000"}, 1, "nepřítomno"},    // taken out
        {{"DISK2", "2222-2222"}, 2, "přítomno"}, // the next one: scanned
        {{"DISK2", "2222-2222"}, 2, "přítomno"}, // still in
    };
    int step = 0;
    for (const Step& s : steps) {
        probe_->serial = s.medium;
        scan.PollTick();
        EXPECT_EQ(ArchiveFiles().size(), s.archives) << "step " << step;
        EXPECT_EQ(scan.StatusPanels[1]->text(), QString::fromUtf8(s.presence)) << "step " << step;
        ++step;
    }
    EXPECT_EQ(ArchiveFiles(), (std::vector<std::string>{"DISK1__________1111_1111.cd",
                                                        "DISK2__________2222_2222.cd"}));
    // Each successful scan opened the door of the optical drive (the
    // system's first one: the probe names no drive for the folder).
    EXPECT_EQ(disks_->calls, (std::vector<std::string>{"eject ", "eject "}));
    EXPECT_TRUE(DoorOpen());
    EXPECT_TRUE(scan.CheckBox_AutoScan->isChecked());
    EXPECT_EQ(scan.StatusPanels[3]->text(), QStringLiteral("2222-2222"));
    EXPECT_EQ(scan.StatusPanels[5]->text(), QStringLiteral("DISK2"));
    DoorOpen() = false;
}

TEST_F(ScanWindowTest, AutoScanWaitsWhileTheExtensionListsWindowIsOpen) {
    TForm_ReadCD& scan = StartScanWindow();
    MakeSource({{"track.txt", "x"}});
    probe_->type = TDriveType::CdRom;
    probe_->serial = {"DISK1", "1111-1111"};
    scan.CheckBox_AutoScan->setChecked(true);
    std::size_t archivesWhileOpen = 99;
    bool scannedWhileOpen = true;
    WhenModal([&](QWidget* modal) {
        // The polling timer fires under the modal window.
        scan.PollTick();
        archivesWhileOpen = ArchiveFiles().size();
        scannedWhileOpen = scan.MediumScanned();
        modal->close();
    });
    scan.Button_Soubory->click();
    EXPECT_EQ(archivesWhileOpen, 0u);
    EXPECT_FALSE(scannedWhileOpen);
    EXPECT_EQ(scan.StatusPanels[1]->text(), QStringLiteral("přítomno"));
    // The first tick after it has closed scans the medium.
    scan.PollTick();
    EXPECT_EQ(ArchiveFiles(), (std::vector<std::string>{"DISK1__________1111_1111.cd"}));
    DoorOpen() = false;
}

struct CouplingCase {
    const char* name;
    TDriveType type;
    bool staysOn;
};

class AutoScanCouplingTest : public ScanWindowTest,
                             public ::testing::WithParamInterface<CouplingCase> {};

TEST_P(AutoScanCouplingTest, AutoScanStaysOnOnlyForOpticalDrives) {
    TForm_ReadCD& scan = StartScanWindow();
    scan.SetSource(QStringLiteral("/media/x"));
    probe_->type = GetParam().type;
    probe_->serial = {"", "0000-0000"}; // no medium: the tick starts no scan
    scan.CheckBox_AutoScan->setChecked(true);
    scan.PollTick();
    EXPECT_EQ(scan.CheckBox_AutoEject->isChecked(), GetParam().staysOn);
    EXPECT_EQ(scan.CheckBox_AutoScan->isChecked(), GetParam().staysOn);
}

INSTANTIATE_TEST_SUITE_P(Types, AutoScanCouplingTest,
                         ::testing::Values(CouplingCase{"CdRom", TDriveType::CdRom, true},
                                           CouplingCase{"Fixed", TDriveType::Fixed, false},
                                           CouplingCase{"Removable", TDriveType::Removable, false},
                                           CouplingCase{"NoRoot", TDriveType::NoRoot, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanWindowTest, AutoEjectOffSwitchesAutoScanOff) {
    TForm_ReadCD& scan = StartScanWindow();
    scan.SetSource(QStringLiteral("/media/cdrom"));
    probe_->type = TDriveType::CdRom;
    probe_->serial = {"", "0000-0000"};
    scan.CheckBox_AutoScan->setChecked(true);
    scan.CheckBox_AutoEject->setChecked(false);
    scan.PollTick();
    EXPECT_FALSE(scan.CheckBox_AutoScan->isChecked());
}

TEST_F(ScanWindowTest, PresenceBlinksOnlyWhileNoMediumIsIn) {
    TForm_ReadCD& scan = StartScanWindow();
    scan.SetSource(QStringLiteral("/media/cdrom"));
    probe_->type = TDriveType::CdRom;
    probe_->serial = {"", "0000-0000"};
    scan.PollTick();
    EXPECT_TRUE(scan.Timer_Blink->isActive());
    EXPECT_TRUE(scan.StatusPanels[3]->text().isEmpty());
    std::vector<bool> lowered;
    for (int i = 0; i < 4; ++i) {
        scan.BlinkTick();
        lowered.push_back(scan.PresenceLowered());
    }
    EXPECT_NE(lowered[0], lowered[1]);
    EXPECT_EQ(lowered[0], lowered[2]);
    EXPECT_NE(lowered[2], lowered[3]);

    probe_->serial = {"HRY", "ABCD-1234"};
    scan.PollTick();
    EXPECT_FALSE(scan.Timer_Blink->isActive());
    EXPECT_TRUE(scan.PresenceLowered());
    scan.BlinkTick();
    EXPECT_TRUE(scan.PresenceLowered());
    EXPECT_EQ(scan.StatusPanels[3]->text(), QStringLiteral("ABCD-1234"));
    EXPECT_EQ(scan.StatusPanels[5]->text(), QStringLiteral("HRY"));
}

struct PickCase {
    const char* name;
    bool last;
    QString source;
};

class PickCdDriveTest : public ScanWindowTest, public ::testing::WithParamInterface<PickCase> {};

TEST_P(PickCdDriveTest, PresetsAnOpticalDriveWithAMedium) {
    TForm_ReadCD& scan = StartScanWindow();
    scan.SetSource(QStringLiteral("/data"));
    probe_->volumes = {Mounted("/", TDriveType::Fixed), Mounted("/media/cd0", TDriveType::CdRom),
                       Mounted("/media/usb", TDriveType::Removable),
                       Mounted("/media/cd1", TDriveType::CdRom),
                       Mounted("/media/cd2", TDriveType::CdRom)};
    probe_->serials["/media/cd2"] = {"", "0000-0000"}; // its drive is empty
    scan.PickCdDrive(GetParam().last);
    EXPECT_EQ(scan.Source(), GetParam().source);
}

INSTANTIATE_TEST_SUITE_P(Order, PickCdDriveTest,
                         ::testing::Values(PickCase{"First", false, QStringLiteral("/media/cd0")},
                                           PickCase{"Last", true, QStringLiteral("/media/cd1")}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanWindowTest, AnEmptyOpticalDriveIsPresetAndFollowedWhenADiscComesIn) {
    TForm_ReadCD& scan = StartScanWindow();
    probe_->optical = {"/dev/sr0", "/dev/sr1"};
    probe_->volumes = {MountedFrom("/media/user/HRY", "/dev/sr0", TDriveType::CdRom)};
    scan.PickCdDrive(false);
    EXPECT_EQ(scan.Source(), QStringLiteral("/media/user/HRY"));
    scan.PickCdDrive(true);
    EXPECT_EQ(scan.Source(), QStringLiteral("/dev/sr1"));
    EXPECT_EQ(scan.WatchedDevice(), "/dev/sr1");
    probe_->volumes.push_back(MountedFrom("/media/user/FILMY", "/dev/sr1", TDriveType::CdRom));
    scan.PollTick();
    EXPECT_EQ(scan.Source(), QStringLiteral("/media/user/FILMY"));
}

TEST_F(ScanWindowTest, WithoutOpticalDriveTheSourceStays) {
    TForm_ReadCD& scan = StartScanWindow();
    scan.SetSource(QStringLiteral("/data"));
    probe_->volumes = {Mounted("/", TDriveType::Fixed),
                       Mounted("/media/usb", TDriveType::Removable)};
    scan.PickCdDrive(false);
    EXPECT_EQ(scan.Source(), QStringLiteral("/data"));
}

TEST_F(ScanWindowTest, FirstShowPresetsTheDriveOfTheOptions) {
    TForm_ReadCD& scan = StartScanWindow();
    probe_->volumes = {Mounted("/media/cd0", TDriveType::CdRom),
                       Mounted("/media/cd1", TDriveType::CdRom)};
    scan.SetOptions({.LastCdDrive = true});
    scan.show();
    EXPECT_EQ(scan.Source(), QStringLiteral("/media/cd1"));
    scan.close();
}

struct FtpCase {
    const char* name;
    const char* file; // written beside the program, or nullptr
    bool enabled;
};

class FtpButtonTest : public ScanWindowTest, public ::testing::WithParamInterface<FtpCase> {};

TEST_P(FtpButtonTest, EnabledExactlyWhenTheToolIsBesideTheProgram) {
    const FtpCase& c = GetParam();
    if (c.file) WriteFile(program_.File(c.file), "#!/bin/sh\n");
    TForm_ReadCD& scan = StartScanWindow();
    scan.CheckBox_AutoScan->setChecked(true);
    scan.show();
    // Activation: automatic scanning off, timers on, focus on the name.
    EXPECT_FALSE(scan.CheckBox_AutoScan->isChecked());
    EXPECT_TRUE(scan.Timer_Medium->isActive());
    EXPECT_TRUE(scan.Timer_Blink->isActive());
    EXPECT_EQ(scan.Button_FTP->isEnabled(), c.enabled);
    if (c.enabled) {
        scan.Button_FTP->click();
        ASSERT_EQ(shell_.opened.size(), 1u);
        EXPECT_EQ(shell_.opened[0].toLocalFile(), Q(program_.File(c.file)));
    }
    scan.close();
    EXPECT_FALSE(scan.Timer_Medium->isActive());
    EXPECT_FALSE(scan.Timer_Blink->isActive());
}

INSTANTIATE_TEST_SUITE_P(Files, FtpButtonTest,
                         ::testing::Values(FtpCase{"Missing", nullptr, false},
                                           FtpCase{"Linux", "orbisk_ftp", true},
                                           FtpCase{"Windows", "orbisk_ftp.exe", true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct DoorCase {
    const char* name;
    bool mounted; // the disc's file system is mounted
    bool wasOpen; // DoorOpen before the click
    TDiskStep unmount, eject, close;
    std::vector<std::string> calls;
    bool open;      // DoorOpen after the click
    QString status; // the status line after the click
};

class DoorTest : public ScanWindowTest, public ::testing::WithParamInterface<DoorCase> {};

TEST_P(DoorTest, UnmountsBeforeEjectAndBelievesOnlyWhatTheDriveDid) {
    const DoorCase& c = GetParam();
    TForm_ReadCD& scan = StartScanWindow();
    const TMountedVolume disc = MountedFrom("/media/user/HRY", "/dev/sr0", TDriveType::CdRom);
    probe_->drives["/media/user/HRY"] = disc;
    if (c.mounted) probe_->volumes = {disc};
    scan.SetSource(QStringLiteral("/media/user/HRY"));
    disks_->unmount = c.unmount;
    disks_->eject = c.eject;
    disks_->close = c.close;
    DoorOpen() = c.wasOpen;
    scan.Button_Eject->click();
    EXPECT_EQ(disks_->calls, c.calls);
    EXPECT_EQ(DoorOpen(), c.open);
    EXPECT_EQ(scan.StatusMessage->text(), c.status);
    DoorOpen() = false;
}

const TDiskStep kDone{};
const TDiskStep kBusy{false, QStringLiteral("Device /dev/sr0 is busy")};

INSTANTIATE_TEST_SUITE_P(
    Steps, DoorTest,
    ::testing::Values(
        DoorCase{"MountedDisc",
                 true,
                 false,
                 kDone,
                 kDone,
                 kDone,
                 {"unmount /dev/sr0", "eject /dev/sr0"},
                 true,
                 QString()},
        DoorCase{"UnmountFails",
                 true,
                 false,
                 kBusy,
                 kDone,
                 kDone,
                 {"unmount /dev/sr0"},
                 false,
                 QStringLiteral("Médium nelze odpojit: Device /dev/sr0 is busy")},
        DoorCase{"EjectFails",
                 true,
                 false,
                 kDone,
                 kBusy,
                 kDone,
                 {"unmount /dev/sr0", "eject /dev/sr0"},
                 false,
                 QStringLiteral("Dvířka nelze otevřít: Device /dev/sr0 is busy")},
        DoorCase{"NothingMounted",
                 false,
                 false,
                 kDone,
                 kDone,
                 kDone,
                 {"eject /dev/sr0"},
                 true,
                 QString()},
        DoorCase{"Close", false, true, kDone, kDone, kDone, {"close /dev/sr0"}, false, QString()},
        DoorCase{"CloseFails",
                 false,
                 true,
                 kDone,
                 kDone,
                 kBusy,
                 {"close /dev/sr0"},
                 true,
                 QStringLiteral("Dvířka nelze zavřít: Device /dev/sr0 is busy")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanWindowTest, FailedAutoEjectLeavesTheDoorShut) {
    TForm_ReadCD& scan = StartScanWindow();
    MakeSource({{"a.txt", "a"}});
    probe_->type = TDriveType::CdRom;
    disks_->eject = kBusy;
    scan.CheckBox_AutoEject->setChecked(true);
    DoorOpen() = false;
    scan.StartScan();
    ASSERT_TRUE(scan.LastResult().Written());
    EXPECT_EQ(disks_->calls, (std::vector<std::string>{"eject "}));
    EXPECT_FALSE(DoorOpen());
    EXPECT_EQ(scan.StatusMessage->text(),
              QStringLiteral("Dvířka nelze otevřít: Device /dev/sr0 is busy"));
}

struct TextSwitchCase {
    const char* name;
    std::vector<std::string> extensions;
    bool staysOn;
};

class TextSwitchTest : public ScanWindowTest,
                       public ::testing::WithParamInterface<TextSwitchCase> {};

TEST_P(TextSwitchTest, BouncesBackWithoutExtensions) {
    TForm_ReadCD& scan = StartScanWindow();
    Program().DescriptionExtensions = GetParam().extensions;
    scan.CheckBox_TXT->click();
    EXPECT_EQ(scan.CheckBox_TXT->isChecked(), GetParam().staysOn);
    EXPECT_EQ(scan.WalkOptions().Text, GetParam().staysOn);
}

INSTANTIATE_TEST_SUITE_P(Lists, TextSwitchTest,
                         ::testing::Values(TextSwitchCase{"Empty", {}, false},
                                           TextSwitchCase{"Txt", {".txt"}, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanWindowTest, ProgressSwitchClearsTheBox) {
    TForm_ReadCD& scan = StartScanWindow();
    MakeSource({{"a.txt", "a"}});
    scan.Edit_Name->setText(QStringLiteral("Box"));
    scan.StartScan();
    ASSERT_FALSE(scan.ProgressText().isEmpty());
    scan.CheckBox1->click();
    EXPECT_TRUE(scan.ProgressText().isEmpty());
    EXPECT_FALSE(scan.WalkOptions().Progress);
}

TEST_F(ScanWindowTest, StoredCheckBoxesComeInTheSettingsOrder) {
    TForm_ReadCD& scan = StartScanWindow();
    QStringList names;
    for (QCheckBox* box : scan.findChildren<QCheckBox*>())
        names.append(box->objectName());
    EXPECT_EQ(names, (QStringList{QStringLiteral("CheckBox_TXT"), QStringLiteral("CheckBox1"),
                                  QStringLiteral("CheckBoxRAR"), QStringLiteral("CheckBoxZIP"),
                                  QStringLiteral("CheckBox_AutoEject"),
                                  QStringLiteral("CheckBox_AutoScan")}));
    EXPECT_EQ(scan.CheckBox1->text(), QStringLiteral("Zobrazovat načítání"));
    EXPECT_TRUE(scan.CheckBox1->isChecked());
}

} // namespace

} // namespace orbisk::test
