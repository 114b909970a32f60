#pragma once
// The scan window over a main window with its own working folder, a source
// folder made by the test, a scripted volume probe and a scripted disk
// service.
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ArchiveTestSupport.h"
#include "ScriptedProbe.h"
#include "TreeBuilder.h"
#include "core/platform/Volumes.h"
#include "gui/platform/DiskService.h"
#include "gui/scan/TForm_ReadCD.h"

namespace orbisk::test {

// Answers each step as the test set it (done, by default) and records the
// steps as "unmount /dev/sr0", "eject /dev/sr0", "close /dev/sr0".
class ScriptedDisks : public DiskService {
public:
    TDiskStep Unmount(const QString& device) override { return Step("unmount", device, unmount); }
    TDiskStep Eject(const QString& device) override { return Step("eject", device, eject); }
    TDiskStep Close(const QString& device) override { return Step("close", device, close); }

    TDiskStep unmount, eject, close;
    std::vector<std::string> calls;

private:
    TDiskStep Step(const char* what, const QString& device, const TDiskStep& answer) {
        calls.push_back(std::string(what) + " " + device.toStdString());
        return answer;
    }
};

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
        auto disks = std::make_unique<ScriptedDisks>();
        disks_ = disks.get();
        scan_->SetDiskService(std::move(disks));
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
    ScriptedDisks* disks_ = nullptr;
};

} // namespace orbisk::test
