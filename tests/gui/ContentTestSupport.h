#pragma once
// A main window with an archive open in its content browser, and short ways
// to read and drive the content list.
#include <QString>
#include <string>
#include <vector>

#include "ArchiveBuilder.h"
#include "GuiTestSupport.h"
#include "gui/common/ListView.h"
#include "gui/mainwin/ContentBrowser.h"
#include "gui/mainwin/ContentModel.h"

namespace orbisk::test {

EntrySpec DirEntry(const std::string& name, const std::string& note = {});
EntrySpec FileEntry(const std::string& name, const std::string& size = "100",
                    const std::string& note = {}, const std::string& description = {});

class ContentTest : public MainWindowTest {
public:
    // Writes arch as path in the working folder, starts the window and opens it.
    TForm_Main& OpenArchiveOf(TArch arch, const std::string& fileName = "A.cd");

    ListView& List() const { return *window_->Controls().ListView_Dir; }
    ContentModel& Model() const { return window_->Content().Model(); }
    // The names shown, top to bottom.
    std::vector<QString> Names() const;
    std::vector<QString> SelectedNames() const;
    int RowOf(const QString& name) const;
    void Select(const QString& name) const;
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;
    void DoubleClick(int row) const;

    std::string archivePath_;
};

} // namespace orbisk::test
