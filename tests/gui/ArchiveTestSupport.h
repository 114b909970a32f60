#pragma once
// A main window over a working folder of generated archives, and short ways
// to read the archive tree and the archive list.
#include <QAbstractItemModelTester>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "core/catalog/ArchiveList.h"
#include "gui/mainwin/ArchiveListModel.h"
#include "gui/mainwin/ArchiveTreeHandler.h"
#include "gui/mainwin/ArchiveTreeModel.h"

namespace orbisk::test {

struct ArchiveHeaderRow {
    std::string file, name, medium, typ, subTyp;
};

class ArchiveTest : public MainWindowTest {
public:
    // Writes an archive with that header and one file into the working folder.
    void WriteHeader(const ArchiveHeaderRow& header);
    // Writes the archives, starts the window and watches both models.
    TForm_Main& StartWith(const std::vector<ArchiveHeaderRow>& headers,
                          const TArchiveOptions& options = {});

    ArchiveTreeHandler& Archives() const { return window_->Archives(); }
    ArchiveTreeModel& Tree() const { return Archives().Tree(); }
    ArchiveListModel& ListModel() const { return Archives().ListModel(); }
    // The tree, depth first: one text per node, two blanks per level of
    // depth, leaves marked with "*".
    std::vector<QString> TreeLines() const;
    // Selects the node of a tree path.
    void SelectPath(const std::string& treePath) const;
    std::string SelectedPath() const;
    // The names of the archive list, top to bottom.
    std::vector<QString> ListNames() const;
    // Selects the rows whose names are given.
    void SelectNames(const std::vector<QString>& names) const;
    // The lines of the working folder's cache, sorted: tree path and file name.
    std::vector<std::string> CacheLines() const;
    // Runs answer when the next modal window is up.
    void WhenModal(std::function<void(QWidget*)> answer);

private:
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers_;
};

} // namespace orbisk::test
