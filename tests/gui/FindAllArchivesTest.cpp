// The window "Hledání ...": searching the archives of the working folder by
// scope, and the jump into the result's own archive.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QTreeView>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "SearchTestSupport.h"
#include "core/catalog/ArchiveList.h"
#include "core/search/IndexedSearch.h"
#include "core/search/SearchIndex.h"
#include "gui/common/ListView.h"
#include "gui/mainwin/ArchiveListModel.h"
#include "gui/mainwin/ArchiveTreeHandler.h"
#include "gui/mainwin/ArchiveTreeModel.h"
#include "gui/search/IndexBuilder.h"
#include "gui/search/ResultModels.h"

namespace orbisk::test {

namespace {

// Three archives with a "song.mp3" each: filed under \CD\, \CD\Hudba\ and \CDR\.
class FindAllTest : public SearchTest {
public:
    void StartWithArchives() {
        WriteFiled("a1.cd", "Alfa", "CD", "", {{"\\", {FileEntry("song.mp3", "1")}}});
        WriteFiled("a2.cd", "Beta", "CD", "Hudba",
                   {{"\\", {DirEntry("Music"), FileEntry("other.txt")}},
                    {"\\Music\\", {FileEntry("a.txt"), FileEntry("song.mp3", "2")}}});
        WriteFiled("a3.cd", "Gama", "CDR", "", {{"\\", {FileEntry("song.mp3", "3")}}});
        StartWindow();
    }
    void SelectNode(const std::string& path) {
        const QModelIndex node = window_->Archives().Tree().FindPath(path);
        ASSERT_TRUE(node.isValid()) << path;
        window_->Controls().TreeView_Arch->setCurrentIndex(node);
    }
    void SelectArchive(const QString& name) {
        ArchiveListModel& model = window_->Archives().ListModel();
        for (int row = 0; row < model.rowCount(); ++row)
            if (model.Text(row, 0) == name) window_->Controls().ListView_CD->SelectRow(row);
    }
};

} // namespace

TEST_F(FindAllTest, SearchAllScopesCoverTheirArchives) {
    struct Case {
        const char* what;
        TSearchScope scope;
        std::string node;
        QString selected;
        std::vector<std::string> lines;
    };
    const std::string alfa = "Alfa:\\  song.mp3", beta = "Beta:\\Music\\  song.mp3",
                      gama = "Gama:\\  song.mp3";
    const std::vector<Case> cases = {
        {"all", TSearchScope::AllArchives, "\\CD\\", {}, {alfa, beta, gama}},
        {"category", TSearchScope::Subcategories, "\\CD\\", {}, {alfa, beta}},
        {"subcategory", TSearchScope::Subcategories, "\\CD\\Hudba\\", {}, {beta}},
        {"other category", TSearchScope::Subcategories, "\\CDR\\", {}, {gama}},
        {"no node", TSearchScope::Subcategories, "", {}, {}},
        {"selected", TSearchScope::SelectedArchives, "\\CDR\\", QStringLiteral("Gama"), {gama}},
        {"none selected", TSearchScope::SelectedArchives, "\\CDR\\", {}, {}},
    };
    StartWithArchives();
    TForm_Find4& find = Find4();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.node.empty())
            window_->Controls().TreeView_Arch->selectionModel()->clearSelection();
        else
            SelectNode(c.node);
        window_->Controls().ListView_CD->ClearSelection();
        if (!c.selected.isEmpty()) SelectArchive(c.selected);
        find.SetScope(c.scope);
        find.show();
        EXPECT_EQ(find.CategoryPath(), c.node);
        Run(find, QStringLiteral("song*"));
        EXPECT_EQ(Unmarked(Lines(find)), c.lines);
        EXPECT_EQ(find.ResultFiles().size(), c.lines.size());
        EXPECT_EQ(find.windowTitle(), QStringLiteral("Hledání dokončeno ..."));
        EXPECT_TRUE(find.RadioGroup->isEnabled());
        find.close();
    }
}

TEST_F(FindAllTest, SearchAllGoesThroughTheFoldersIndexWhenItHasOne) {
    StartWithArchives();
    TArchiveList list;
    NullHost host;
    ASSERT_TRUE(BuildArchiveList(work_.Path(), list, host, TListCache::Leave).FolderRead);
    TSearchIndex index;
    ASSERT_TRUE(RefreshSearchIndex(list, index).Usable);
    // Written again since: the search's refresh puts it into the changes file.
    WriteFiled("a1.cd", "Alfa", "CD", "", {{"\\", {FileEntry("song.mp3", "1")}}});
    TForm_Find4& find = Find4();
    find.SetScope(TSearchScope::AllArchives);
    Run(find, QStringLiteral("song*"));
    EXPECT_EQ(Unmarked(Lines(find)).size(), 3u);
    EXPECT_TRUE(FileExists(work_.File("_cd_.idc")));
    find.close();
}

TEST_F(FindAllTest, SearchAllJumpsIntoTheArchiveOfEachResult) {
    StartWithArchives();
    window_->Archives().OpenSlot(1);
    TForm_Find4& find = Find4();
    EXPECT_EQ(window_->Actions().Funkce->actions().back(), find.Action_FindAll);
    const QList<QAction*> tools = window_->Controls().ToolBar->actions();
    EXPECT_EQ(tools.indexOf(find.Action_FindAll), tools.indexOf(window_->Actions().Save) + 1);
    struct Case {
        bool listView;
        int row;
        std::string archive, path, file;
    };
    const std::vector<Case> cases = {
        {false, 1, "Beta", "\\Music\\", "a2.cd"},
        {false, 2, "Gama", "\\", "a3.cd"},
        {false, 0, "Alfa", "\\", "a1.cd"},
        {true, 1, "Beta", "\\Music\\", "a2.cd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.archive);
        find.CheckBoxZob->setChecked(c.listView);
        find.SetScope(TSearchScope::AllArchives);
        const std::string openBefore = window_->CurrentArchive.Head.Name;
        Run(find, QStringLiteral("song.mp3"));
        // The search reads each archive on its own: the open one stays.
        EXPECT_EQ(window_->CurrentArchive.Head.Name, openBefore);
        if (c.listView) {
            ASSERT_EQ(find.ListModel().rowCount(), 3);
            EXPECT_EQ(find.ListModel().SlotAt(c.row), c.row + 1);
            find.ListView->SelectRow(c.row);
            QTest::keyClick(find.ListView->CurrentView(), Qt::Key_Return);
        } else {
            ASSERT_EQ(find.ResultFiles().size(), 3u);
            EXPECT_EQ(find.ResultFiles()[static_cast<std::size_t>(c.row)], c.file);
            DoubleClickLine(find, c.row);
        }
        EXPECT_FALSE(find.isVisible());
        EXPECT_EQ(window_->CurrentArchive.Head.Name, c.archive);
        EXPECT_EQ(window_->CurrentPath, c.path);
        EXPECT_EQ(SelectedNames(), std::vector<QString>{QStringLiteral("song.mp3")});
        // The tree and the archive list show the archive jumped into.
        ArchiveTreeHandler& archives = window_->Archives();
        const std::int32_t slot = c.row + 1;
        EXPECT_EQ(archives.Tree().PathOf(archives.View().currentIndex()),
                  archives.Rows()[slot].TreePath);
        EXPECT_EQ(archives.List().SelectedSlots(), std::vector<std::int32_t>{slot});
    }
}

TEST_F(FindAllTest, SearchAllResultsStayWhenAnArchiveIsRead) {
    StartWithArchives();
    TForm_Find4& find = Find4();
    find.CheckBox_Clear->setChecked(false);
    Run(find, QStringLiteral("*"));
    const int shown = find.TextModel().rowCount();
    ASSERT_GT(shown, 0);
    find.close();
    window_->Archives().OpenSlot(2);
    EXPECT_EQ(find.TextModel().rowCount(), shown);
    window_->Content().ClearSearchResults();
    EXPECT_EQ(find.TextModel().rowCount(), 0);
}

TEST_F(FindAllTest, SearchAllReportsAMissingArchiveAndGoesOn) {
    StartWithArchives();
    std::filesystem::remove(work_.File("a2.cd"));
    TForm_Find4& find = Find4();
    Run(find, QStringLiteral("song*"));
    EXPECT_EQ(Unmarked(Lines(find)),
              (std::vector<std::string>{"Alfa:\\  song.mp3", "Gama:\\  song.mp3"}));
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown.front().text, QStringLiteral("Soubor není k dispozici."));
}

TEST_F(FindAllTest, SearchAllBuildsAMissingIndexInTheBackgroundAndGoesThroughItNext) {
    StartWithArchives();
    const std::string indexFile = work_.File(std::string(kSearchIndexFile));
    TForm_Find4& find = Find4();
    QSignalSpy ended(&find.IndexBuilder(), &TIndexBuilder::Ended);
    // A search the user stops ("Storno") was not wanted whole: no build.
    find.BatchHook = [&find] { find.Cancel(); };
    Run(find, QStringLiteral("song*"));
    find.BatchHook = nullptr;
    EXPECT_FALSE(find.IndexBuilder().Running());

    Run(find, QStringLiteral("song*"));
    const std::vector<std::string> overFiles = Lines(find);
    ASSERT_EQ(overFiles.size(), 3u);
    // The window closed, the build goes on.
    find.close();
    ASSERT_TRUE(QTest::qWaitFor([&ended] { return ended.count() > 0; }, 120000));
    EXPECT_EQ(ended.takeFirst(), QVariantList{true});
    ASSERT_TRUE(FileExists(indexFile));
    const auto built = std::filesystem::last_write_time(indexFile);

    // The next search goes through the index: the same answer, and the
    // index is neither made again nor built once more.
    Run(find, QStringLiteral("song*"));
    EXPECT_EQ(Lines(find), overFiles);
    EXPECT_FALSE(find.IndexBuilder().Running());
    EXPECT_EQ(std::filesystem::last_write_time(indexFile), built);
    EXPECT_EQ(ended.count(), 0);
    find.close();
}

TEST_F(FindAllTest, SearchAllEndsABackgroundBuildWhenItsFolderOrTheProgramGoes) {
    enum class Ends { OtherFolder, Quitting };
    const struct Row {
        const char* what;
        Ends how;
    } rows[] = {
        {"another working folder is entered", Ends::OtherFolder},
        {"the program quits", Ends::Quitting}, // last: the windows are gone
    };
    StartWithArchives();
    TempDir other;
    const std::string indexFile = work_.File(std::string(kSearchIndexFile));
    TForm_Find4& find = Find4();
    // The build waits until it is told to stop, as a long one would.
    std::atomic<int> builds{0};
    find.IndexBuilder().BeforeBuild = [&builds](const std::atomic<bool>& stop) {
        ++builds;
        for (int waited = 0; !stop && waited < 60000; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        builds = 0;
        QSignalSpy ended(&find.IndexBuilder(), &TIndexBuilder::Ended);
        Run(find, QStringLiteral("song*"));
        ASSERT_TRUE(QTest::qWaitFor([&builds] { return builds == 1; }, 60000));
        // A search meanwhile reads the files and starts no second build.
        Run(find, QStringLiteral("song*"));
        EXPECT_EQ(Lines(find).size(), 3u);
        EXPECT_TRUE(find.IndexBuilder().Running());
        switch (row.how) {
        case Ends::OtherFolder:
            window_->SetWorkingFolder(Q(other.Path()));
            window_->Archives().BuildArchiveList();
            EXPECT_FALSE(find.IndexBuilder().Running());
            window_->SetWorkingFolder(Q(work_.Path()));
            window_->Archives().BuildArchiveList();
            break;
        case Ends::Quitting:
            window_.reset();
            break;
        }
        EXPECT_EQ(builds, 1);
        EXPECT_FALSE(FileExists(indexFile));
        if (row.how != Ends::Quitting) {
            EXPECT_EQ(ended.count(), 0);
        }
    }
}

} // namespace orbisk::test
