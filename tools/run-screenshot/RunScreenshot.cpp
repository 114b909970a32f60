// Developer tool, not shipped: opens a catalogued archive in the main window,
// asks for one of its files with "Otevři (spust)" and saves a picture of the
// run window waiting for the archive's disc. The drives it offers are those
// of a made-up machine (two optical drives, the system disk, a share), so the
// picture does not depend on the machine it is taken on.
//
//   run-screenshot WORKING_FOLDER OUT.png
//
// Run it on an X display (tools/run-screenshot.sh starts Xvfb).
#include <QApplication>
#include <QTimer>
#include <cstdio>

#include "Screenshot.h"
#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ProgramValues.h"
#include "gui/Windows.h"
#include "gui/common/ListView.h"
#include "gui/mainwin/ArchiveTreeHandler.h"
#include "gui/mainwin/ContentBrowser.h"
#include "gui/mainwin/ContentModel.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/scan/TForm_EXE.h"

namespace {

class PictureProbe : public orbisk::VolumeProbe {
public:
    orbisk::TVolumeInfo Serial(const std::string&) override { return {"SYSTEM", "0F1E-2D3C"}; }
    orbisk::TDriveType DriveType(const std::string&) override { return orbisk::TDriveType::Fixed; }
    std::vector<orbisk::TMountedVolume> Volumes() override {
        return {Volume("/", "/dev/nvme0n1p2", orbisk::TDriveType::Fixed),
                Volume("/home", "/dev/nvme0n1p3", orbisk::TDriveType::Fixed),
                Volume("/mnt/nas", "nas:/share", orbisk::TDriveType::Remote)};
    }
    std::optional<orbisk::TMountedVolume> Drive(const std::string&) override { return {}; }
    std::optional<orbisk::TCdToc> AudioToc(const std::string&) override { return {}; }
    std::vector<std::string> OpticalDrives() override { return {"/dev/sr0", "/dev/sr1"}; }

private:
    static orbisk::TMountedVolume Volume(const char* at, const char* device,
                                         orbisk::TDriveType type) {
        orbisk::TMountedVolume v;
        v.MountPoint = at;
        v.Device = device;
        v.Type = type;
        return v;
    }
};

// The archive of a games disc, with the serial and label of its medium.
std::string WriteGamesArchive(const std::string& folder) {
    orbisk::TArch arch;
    arch.Head.FileName = folder + "/Hry 2003.cd";
    arch.Head.Name = "Hry 2003";
    arch.Head.Medium = "CD";
    arch.Head.Typ = "Hry";
    arch.Head.Volume = "HRY_2003";
    arch.Head.SN = "1A2B-0C3D";
    arch.AddDir("\\");
    arch.AddRec(orbisk::TRec{"DOOM", "0", "8.12.2003 14:05:00", "d----", "", "", 1});
    arch.AddRec(orbisk::TRec{"readme.txt", "2048", "8.12.2003 14:05:00", " -a--", "", "", 1});
    arch.AddRec(
        orbisk::TRec{"setup.exe", "123456", "8.12.2003 14:05:00", " -a--", "instalace", "", 1});
    arch.AddDir("\\DOOM\\");
    arch.AddRec(orbisk::TRec{"doom.exe", "709905", "8.12.2003 14:05:00", " -a--", "", "", 1});
    orbisk::NullHost host;
    orbisk::WriteArchive(arch, host);
    return arch.Head.FileName;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s WORKING_FOLDER OUT.png\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[2]);
    screenshot::StartOrbisk();
    orbisk::Program().WorkingDirectory = argv[1];
    const std::string archive = WriteGamesArchive(argv[1]);
    orbisk::TWindows windows;
    orbisk::TForm_Main& main = windows.Main();
    auto* run = windows.Find<orbisk::TForm_EXE>();
    run->SetVolumeProbe(std::make_unique<PictureProbe>());
    main.resize(1000, 600);
    main.move(20, 20);
    main.show();

    int status = 1;
    QTimer::singleShot(1500, &main, [&] {
        // The archive chosen in the list and open, as a user gets there.
        if (main.Archives().Rows().ArchiveCount() > 0) main.Archives().SelectArchive(1);
        main.OpenArchive(archive);
        orbisk::ListView& list = *main.Controls().ListView_Dir;
        const orbisk::ContentModel& model = main.Content().Model();
        for (int row = 0; row < model.rowCount(); ++row)
            if (model.Text(row, orbisk::ContentModel::ColName) == QStringLiteral("setup.exe"))
                list.SelectRow(row);
        // Three ticks of waiting, then the picture.
        QTimer::singleShot(3400, run, [&] {
            status = screenshot::SaveScreen(out) ? 0 : 1;
            run->close();
            QTimer::singleShot(100, &main, [&] { main.close(); });
        });
        QTimer::singleShot(200, run, [&] { run->move(300, 260); });
        main.Content().RunSelection();
    });
    QApplication::exec();
    return status;
}
