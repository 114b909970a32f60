// The run window over the content browser: which rows ask for it, what it
// shows while it waits, and that its ticks, drive list, "Ignore SN" box,
// shell and door reach core and the desktop. The rules of the look itself
// are the core's tests.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "ContentTestSupport.h"
#include "ScanWindowTest.h"
#include "TreeBuilder.h"
#include "gui/mainwin/ContentCommands.h"
#include "gui/scan/TForm_EXE.h"

namespace orbisk::test {

namespace {

class RunWindowTest : public ContentTest {
public:
    // The archive "Hry" (CD, label HRY_2003) with its serial, open in the
    // browser, and the run window over a machine with one empty optical
    // drive and a network share.
    TForm_EXE& Start(const std::string& serial = "1A2B-0C3D") {
        TArch arch = MakeArchive({
            {"\\",
             {DirEntry("GAMES"), FileEntry("setup.exe"), {"DATA.ZIP", "10", "", "p-a--", {}, {}}}},
            {"\\DATA.ZIP\\", {FileEntry("inside.txt")}},
            {"\\GAMES\\", {FileEntry("doom.exe")}},
        });
        arch.Head.Name = "Hry";
        arch.Head.Medium = "CD";
        arch.Head.Volume = "HRY_2003";
        arch.Head.SN = serial;
        OpenArchiveOf(arch);
        run_ = new TForm_EXE(window_.get());
        auto probe = std::make_unique<ScriptedProbe>();
        probe_ = probe.get();
        probe_->optical = {"/dev/sr0"};
        probe_->volumes = {MountedFrom("/mnt/nas", "nas:/share", TDriveType::Remote)};
        run_->SetVolumeProbe(std::move(probe));
        auto disks = std::make_unique<ScriptedDisks>();
        disks_ = disks.get();
        run_->SetDiskService(std::move(disks));
        return *run_;
    }
    // The disc, mounted where the desktop puts it, from the optical drive.
    void Insert(const std::string& serial) {
        MakeTree(media_.File("HRY_2003"), {{"setup.exe", "x"}, {"GAMES/doom.exe", "x"}});
        probe_->volumes.push_back(
            MountedFrom(media_.File("HRY_2003"), "/dev/sr0", TDriveType::CdRom));
        probe_->serials[media_.File("HRY_2003")] = {"HRY_2003", serial};
    }
    // Shows the window for the entry name of the root folder without waiting
    // on its modal loop.
    void ShowFor(const char* name) {
        const TArch& arch = window_->CurrentArchive;
        for (std::int32_t rec = 1; rec <= arch.RecCount; ++rec)
            if (std::string(arch.Recs[static_cast<std::size_t>(rec)].Name) == name)
                run_->SetRequest(*RunRequestFor(arch, "\\", rec));
        run_->show();
    }

    TempDir media_;
    TForm_EXE* run_ = nullptr; // owned by the main window
    ScriptedProbe* probe_ = nullptr;
    ScriptedDisks* disks_ = nullptr;
};

TEST_F(RunWindowTest, BrowserAsksForFilesAndFoldersOutsideListedPackedFiles) {
    Start();
    struct Row {
        const char* what;
        const char* folder;
        const char* name;
        bool menu;         // "Otevři (spust)" rather than Enter
        const char* shown; // the path the window looks for; nullptr: no window
    } rows[] = {
        {"Enter on a file", "\\", "setup.exe", false, "\\setup.exe"},
        {"the menu on a folder", "\\", "GAMES", true, "\\GAMES"},
        {"the menu on a listed ZIP file", "\\", "DATA.ZIP", true, "\\DATA.ZIP"},
        {"Enter inside a listed ZIP file", "\\DATA.ZIP\\", "inside.txt", false, nullptr},
        {"the menu inside a listed ZIP file", "\\DATA.ZIP\\", "inside.txt", true, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        window_->Content().ShowFolder(row.folder);
        Select(QString::fromUtf8(row.name));
        QString shown = QStringLiteral("none");
        QTimer::singleShot(0, [&] {
            if (auto* w = qobject_cast<TForm_EXE*>(QApplication::activeModalWidget())) {
                shown = w->Label_Path->text();
                w->close();
            }
        });
        if (row.menu) {
            ContentCommands& commands = window_->Content().Commands();
            commands.ShowContextMenu(List().mapToGlobal(QPoint(10, 10)));
            commands.Menu()->hide();
            commands.Action_Run->trigger();
        } else {
            Key(Qt::Key_Return);
        }
        QApplication::processEvents();
        EXPECT_EQ(shown, row.shown ? QString::fromUtf8(row.shown) : QStringLiteral("none"));
    }
}

TEST_F(RunWindowTest, WaitsNamingTheDiscAndOpensItFromAnyDrive) {
    TForm_EXE& run = Start();
    ShowFor("setup.exe");
    EXPECT_EQ(run.windowTitle(), QString::fromUtf8("Otevírám  setup.exe z Hry"));
    EXPECT_EQ(run.Label_Insert->text(),
              QString::fromUtf8("Vložte médium: Hry  (CD, jmenovka HRY_2003)"));
    EXPECT_EQ(run.ComboBox_Drive->currentText(), QString::fromUtf8("kterákoli jednotka"));
    EXPECT_TRUE(run.AnyDrive());
    EXPECT_FALSE(run.CheckBox_SN->isChecked());
    run.Tick();
    EXPECT_EQ(run.Label_Seconds->text(), QStringLiteral("1 s"));
    Insert("1A2B-0C3D");
    run.Tick();
    EXPECT_TRUE(run.isVisible());
    run.Tick();
    EXPECT_FALSE(run.isVisible());
    EXPECT_EQ(shell_.opened,
              std::vector<QUrl>{QUrl::fromLocalFile(Q(media_.File("HRY_2003/setup.exe")))});
}

TEST_F(RunWindowTest, IgnoreBoxTickedByTheUserOrTheSettingOpensFromADiscOfAnotherSerial) {
    TForm_EXE& run = Start();
    Insert("5555-5555");
    ShowFor("setup.exe");
    run.Tick();
    run.Tick();
    EXPECT_TRUE(run.CheckBox_SN->isVisible());
    EXPECT_FALSE(run.CheckBox_SN->isChecked());
    EXPECT_TRUE(shell_.opened.empty());
    QTest::mouseClick(run.CheckBox_SN, Qt::LeftButton);
    run.Tick();
    EXPECT_FALSE(run.isVisible());
    EXPECT_EQ(shell_.opened.size(), 1u);

    run.SetOptions({.AlwaysIgnoreSerial = true});
    ShowFor("setup.exe");
    EXPECT_TRUE(run.CheckBox_SN->isChecked());
    run.Tick();
    run.Tick();
    EXPECT_FALSE(run.isVisible());
    EXPECT_EQ(shell_.opened.size(), 2u);
}

TEST_F(RunWindowTest, WithoutSerialTheOpticalDriveIsPresetAndTypedTextMustNameADrive) {
    TForm_EXE& run = Start("");
    ShowFor("setup.exe");
    EXPECT_EQ(run.ComboBox_Drive->findText(QString::fromUtf8("kterákoli jednotka")), -1);
    EXPECT_EQ(run.ComboBox_Drive->currentText(), QStringLiteral("/dev/sr0"));
    EXPECT_TRUE(run.CheckBox_SN->isChecked());
    probe_->optical = {"/dev/sr0", "/dev/sr1"};
    run.SetOptions({.LastCdDrive = true});
    EXPECT_EQ(run.ComboBox_Drive->currentText(), QStringLiteral("/dev/sr1"));
    struct Row {
        const char* typed;
        const char* drive; // what the combo and the window hold afterwards
    } rows[] = {
        {"/home/nowhere", "/dev/sr1"},
        {"/mnt/nas", "/mnt/nas"},
        {"x", "/mnt/nas"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.typed);
        run.ComboBox_Drive->lineEdit()->selectAll();
        QTest::keyClicks(run.ComboBox_Drive->lineEdit(), QString::fromUtf8(row.typed));
        QTest::keyClick(run.ComboBox_Drive->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(run.ComboBox_Drive->currentText(), QString::fromUtf8(row.drive));
        ASSERT_TRUE(run.Drive());
        EXPECT_EQ(run.Drive()->Name, row.drive);
    }
}

TEST_F(RunWindowTest, ShellThatCannotOpenIsReportedAndTheWindowClosesAllTheSame) {
    TForm_EXE& run = Start("");
    Insert("");
    shell_.result = false;
    ShowFor("setup.exe");
    run.Tick();
    run.Tick();
    EXPECT_FALSE(run.isVisible());
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0].text,
              QString::fromUtf8("Nelze otevřít ") + Q(media_.File("HRY_2003/setup.exe")));
}

TEST_F(RunWindowTest, DoorButtonOpensAndClosesTheChosenDrive) {
    TForm_EXE& run = Start("");
    Insert("");
    ShowFor("setup.exe");
    QTest::mouseClick(run.Button_Eject, Qt::LeftButton);
    EXPECT_TRUE(DoorOpen());
    QTest::mouseClick(run.Button_Eject, Qt::LeftButton);
    EXPECT_FALSE(DoorOpen());
    EXPECT_EQ(disks_->calls,
              (std::vector<std::string>{"unmount /dev/sr0", "eject /dev/sr0", "close /dev/sr0"}));
    run.close();
}

} // namespace

} // namespace orbisk::test
