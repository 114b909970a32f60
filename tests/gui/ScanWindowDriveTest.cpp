// The scan window watches a drive, not a path: the source follows the medium
// now in the drive, an audio CD in it is recorded from its table of
// contents, and the source field takes a typed path.
#include "ScanWindowTest.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"

namespace orbisk::test {

namespace {

TEST_F(ScanWindowTest, AStickPutInAgainIsFollowedByItsSocketNotItsDeviceName) {
    TForm_ReadCD& scan = StartScanWindow();
    auto stick = [&](const std::string& label, const std::string& device, const std::string& port) {
        TMountedVolume v = MountedFrom(source_.File(label), device, TDriveType::Removable);
        v.Port = port;
        return v;
    };
    const std::string socket = "pci-0000:00:14.0-usb-0:2:1.0-scsi-0:0:0:0-part1";
    const std::string other = "pci-0000:00:14.0-usb-0:3:1.0-scsi-0:0:0:0-part1";
    MakeTree(source_.Path(), {{"FOTO1/a.jpg", "a"}});
    probe_->drives[source_.File("FOTO1")] = stick("FOTO1", "/dev/sdb1", socket);
    probe_->volumes = {stick("FOTO1", "/dev/sdb1", socket)};
    scan.SetSource(Q(source_.File("FOTO1")));
    // Another stick in another socket gets the old device name: not followed.
    probe_->volumes = {stick("CIZI", "/dev/sdb1", other)};
    scan.PollTick();
    EXPECT_EQ(scan.Source(), Q(source_.File("FOTO1")));
    // The next stick in the watched socket, under a new device name.
    probe_->volumes.push_back(stick("FOTO2", "/dev/sdc1", socket));
    scan.PollTick();
    EXPECT_EQ(scan.Source(), Q(source_.File("FOTO2")));
}

TEST_F(ScanWindowTest, SeriesOfDiscsInOneDriveIsScannedDiscByDisc) {
    TForm_ReadCD& scan = StartScanWindow();
    // Desktop automounting puts each disc at a path named by its label; the
    // path goes when the disc is taken out.
    struct Disc {
        std::string label, serial, archive;
    };
    const Disc discs[] = {{"DISC1", "1111-1111", "DISC1__________1111_1111.cd"},
                          {"DISC2", "2222-2222", "DISC2__________2222_2222.cd"},
                          {"DISC3", "3333-3333", "DISC3__________3333_3333.cd"}};
    auto mountOf = [&](const Disc& d) {
        return MountedFrom(source_.File(d.label), "/dev/sr0", TDriveType::CdRom);
    };
    for (const Disc& d : discs)
        probe_->serials[source_.File(d.label)] = {d.label, d.serial};
    MakeTree(source_.Path(), {{"DISC1/a.txt", "a"}});
    probe_->drives[source_.File("DISC1")] = mountOf(discs[0]);
    probe_->volumes = {mountOf(discs[0])};
    scan.SetSource(Q(source_.File("DISC1")));
    EXPECT_EQ(scan.WatchedDevice(), "/dev/sr0");
    scan.CheckBox_AutoScan->setChecked(true);

    std::vector<std::string> written;
    for (const Disc& d : discs) {
        SCOPED_TRACE(d.label);
        MakeTree(source_.Path(), {{d.label + "/a.txt", "a"}});
        probe_->volumes = {mountOf(d)};
        scan.PollTick(); // inserted: scanned
        scan.PollTick(); // still in: not again
        EXPECT_EQ(scan.Source(), Q(source_.File(d.label)));
        written.push_back(d.archive);
        EXPECT_EQ(ArchiveFiles(), written);
        // Taken out: its path vanishes, the drive stays watched.
        probe_->volumes.clear();
        std::filesystem::remove_all(source_.File(d.label));
        scan.PollTick();
        EXPECT_EQ(scan.StatusPanels[1]->text(), QStringLiteral("nepřítomno"));
        EXPECT_TRUE(scan.CheckBox_AutoScan->isChecked());
    }
    // Each disc was unmounted and ejected after its scan.
    const std::vector<std::string> eject = {"unmount /dev/sr0", "eject /dev/sr0"};
    std::vector<std::string> expected;
    for (int i = 0; i < 3; ++i)
        expected.insert(expected.end(), eject.begin(), eject.end());
    EXPECT_EQ(disks_->calls, expected);
    DoorOpen() = false;
}

TEST_F(ScanWindowTest, FolderOnTheDiscStaysTheSource) {
    TForm_ReadCD& scan = StartScanWindow();
    const TMountedVolume disc = MountedFrom("/media/user/HRY", "/dev/sr0", TDriveType::CdRom);
    probe_->drives["/media/user/HRY/doom"] = disc;
    probe_->volumes = {disc};
    scan.SetSource(QStringLiteral("/media/user/HRY/doom"));
    scan.PollTick();
    EXPECT_EQ(scan.Source(), QStringLiteral("/media/user/HRY/doom"));
}

TEST_F(ScanWindowTest, AudioCdInTheDriveIsRecordedFromItsTableOfContents) {
    TForm_ReadCD& scan = StartScanWindow();
    const TMountedVolume drive = MountedFrom("/media/user/OLD", "/dev/sr0", TDriveType::CdRom);
    probe_->drives["/media/user/OLD"] = drive;
    scan.SetSource(QStringLiteral("/media/user/OLD"));
    // The old disc is out; an audio CD of two tracks is in (no file system).
    probe_->tocs["/dev/sr0"] =
        TCdToc{1, 2, {{1, {0, 2, 0}, false}, {2, {4, 10, 33}, false}}, {8, 0, 0}};
    scan.PollTick();
    EXPECT_EQ(scan.Source(), QStringLiteral("/dev/sr0"));
    EXPECT_EQ(scan.StatusPanels[1]->text(), QStringLiteral("přítomno"));
    EXPECT_EQ(scan.StatusPanels[3]->text(), QStringLiteral("0004-982B"));
    EXPECT_EQ(scan.StatusPanels[5]->text(), QStringLiteral("AUDIO CD"));

    scan.Edit_Name->setText(QStringLiteral("Album"));
    scan.StartScan();
    ASSERT_TRUE(scan.LastResult().Written());
    TArch arch;
    arch.Head.FileName = work_.File("Album.cd");
    RecordingHost host;
    ASSERT_TRUE(ReadArchive(arch, host));
    EXPECT_EQ(arch.Head.Volume, "AUDIO CD");
    EXPECT_EQ(arch.Head.SN, "0004-982B");
    ASSERT_EQ(arch.RecCount, 2);
    EXPECT_EQ(std::string(arch.Recs[1].Name), "Track01.cda");
    EXPECT_EQ(std::string(arch.Recs[2].Name), "Track02.cda");
}

struct TypedCase {
    const char* name;
    std::string typed;
    std::string watched; // the device the window then watches
};

class TypedSourceTest : public ScanWindowTest, public ::testing::WithParamInterface<TypedCase> {};

TEST_P(TypedSourceTest, TypedPathBecomesTheSource) {
    TForm_ReadCD& scan = StartScanWindow();
    probe_->drives["/media/user/STICK"] =
        MountedFrom("/media/user/STICK", "/dev/sdb1", TDriveType::Removable);
    scan.Edit_Zdroj->clear();
    QTest::keyClicks(scan.Edit_Zdroj, Q(GetParam().typed));
    QTest::keyClick(scan.Edit_Zdroj, Qt::Key_Return);
    EXPECT_EQ(scan.Source(), Q(GetParam().typed));
    EXPECT_EQ(scan.WatchedDevice(), GetParam().watched);
}

INSTANTIATE_TEST_SUITE_P(Paths, TypedSourceTest,
                         ::testing::Values(TypedCase{"Folder", "/home/user/data", ""},
                                           TypedCase{"Stick", "/media/user/STICK", "/dev/sdb1"},
                                           TypedCase{"Device", "/dev/sr0", "/dev/sr0"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

} // namespace orbisk::test
