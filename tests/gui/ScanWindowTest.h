#pragma once
// The scan window over a main window with its own working folder, a source
// folder made by the test and a scripted volume probe.
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ArchiveTestSupport.h"
#include "TreeBuilder.h"
#include "core/platform/Volumes.h"
#include "gui/scan/TForm_ReadCD.h"

namespace orbisk::test {

// Answers from tables the test changes at will; paths not named get the
// defaults. Records every door command.
class ScriptedProbe : public VolumeProbe {
public:
    TVolumeInfo Serial(const std::string& path) override {
        auto found = serials.find(path);
        return found != serials.end() ? found->second : serial;
    }
    TDriveType DriveType(const std::string& path) override {
        auto found = types.find(path);
        return found != types.end() ? found->second : type;
    }
    std::vector<TMountedVolume> Volumes() override { return volumes; }
    std::optional<TMountedVolume> Drive(const std::string& path) override {
        auto found = drives.find(path);
        if (found == drives.end()) return std::nullopt;
        return found->second;
    }
    bool Door(const std::string& path, bool open) override {
        doors.emplace_back(path, open);
        return true;
    }

    TVolumeInfo serial{"DATA", "1A2B-0C3D"};
    TDriveType type = TDriveType::Fixed;
    std::map<std::string, TVolumeInfo> serials;
    std::map<std::string, TDriveType> types;
    std::vector<TMountedVolume> volumes;
    std::map<std::string, TMountedVolume> drives; // the drive holding a path
    std::vector<std::pair<std::string, bool>> doors;
};

inline TMountedVolume Mounted(std::string mountPoint, TDriveType type, bool floppy = false) {
    TMountedVolume volume;
    volume.MountPoint = std::move(mountPoint);
    volume.Type = type;
    volume.Floppy = floppy;
    return volume;
}

class ScanWindowTest : public ArchiveTest {
public:
    // Starts the main window over the archives and creates the scan window
    // as its child with a scripted probe.
    TForm_ReadCD& StartScanWindow(const std::vector<ArchiveHeaderRow>& headers = {},
                                  const TArchiveOptions& options = {}) {
        StartWith(headers, options);
        scan_ = new TForm_ReadCD(window_.get());
        auto probe = std::make_unique<ScriptedProbe>();
        probe_ = probe.get();
        scan_->SetVolumeProbe(std::move(probe));
        return *scan_;
    }
    // Fills the source folder and makes it the scan's source.
    void MakeSource(const std::vector<TTreeItem>& items) {
        MakeTree(source_.Path(), items);
        scan_->SetSource(Q(source_.Path()));
    }
    // The archive files of the working folder.
    std::vector<std::string> ArchiveFiles() const {
        std::vector<std::string> files;
        for (const std::string& name : ListDir(work_.Path()))
            if (name.size() > 3 && name.ends_with(".cd")) files.push_back(name);
        return files;
    }
    std::int32_t ListedCount() const {
        std::int32_t count = 0;
        const TArchiveList& rows = window_->Archives().Rows();
        for (std::int32_t slot = 1; slot <= rows.ArchiveCount(); ++slot)
            count += rows[slot].Listed != 0;
        return count;
    }

    TempDir source_;
    TForm_ReadCD* scan_ = nullptr; // owned by the main window
    ScriptedProbe* probe_ = nullptr;
};

} // namespace orbisk::test
