// Browsing the open archive: navigation and the remembered rows, the display
// filter, deleting entries, notes typed in subfolders, the folder tree, the
// pictures of the system icons.
#include <QAction>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <functional>

#include "ContentTestSupport.h"
#include "core/catalog/Common.h"
#include "core/catalog/ProgramValues.h"
#include "gui/mainwin/ContentCommands.h"
#include "gui/mainwin/FolderTreeModel.h"

namespace orbisk::test {
namespace {

// \A\B\ holds five folders D1 to D5 (rows 1 to 5 under "[ .. ]") and files.
TArch Tree() {
    std::vector<EntrySpec> b = {DirEntry("D1"), DirEntry("D2"), DirEntry("D3"),
                                DirEntry("D4"), DirEntry("D5"), FileEntry("f.txt")};
    std::vector<DirSpec> dirs = {
        {"\\", {DirEntry("A"), FileEntry("root.txt")}},
        {"\\A\\", {DirEntry("B"), FileEntry("a.txt")}},
        {"\\A\\B\\", b},
    };
    for (int i = 1; i <= 5; ++i)
        dirs.push_back(
            {"\\A\\B\\D" + std::to_string(i) + "\\", {FileEntry("x.txt"), FileEntry("y.txt")}});
    return MakeArchive(dirs, "Tree");
}

TEST_F(ContentTest, GoingUpReselectsTheRowRememberedForThatDepth) {
    using Act = std::function<void(ContentTest&)>;
    auto enter = [](const char* name) -> Act {
        return [name](ContentTest& t) {
            t.Select(QString::fromUtf8(name));
            t.Key(Qt::Key_Return);
        };
    };
    auto selectRow = [](int row) -> Act {
        return [row](ContentTest& t) { t.List().SelectRow(row); };
    };
    auto key = [](Qt::Key k) -> Act { return [k](ContentTest& t) { t.Key(k); }; };
    auto button = [](QToolButton* TMainControls::*which) -> Act {
        return [which](ContentTest& t) {
            QTest::mouseClick(t.window_->Controls().*which, Qt::LeftButton);
        };
    };
    auto doubleClick = [](const char* name) -> Act {
        return [name](ContentTest& t) { t.DoubleClick(t.RowOf(QString::fromUtf8(name))); };
    };
    struct Step {
        const char* what;
        Act act;
        const char* path;
        int selected;
    } steps[] = {
        {"Enter on A", enter("A"), "\\A\\", 0},
        {"Enter on B", enter("B"), "\\A\\B\\", 0},
        {"select the fifth row", selectRow(4), "\\A\\B\\", 4},
        {"Enter on it", key(Qt::Key_Return), "\\A\\B\\D4\\", 0},
        {"Backspace", key(Qt::Key_Backspace), "\\A\\B\\", 4},
        {"double click on it", doubleClick("D4"), "\\A\\B\\D4\\", 0},
        {"the \"..\" button", button(&TMainControls::UpButton), "\\A\\B\\", 4},
        {"down once more", key(Qt::Key_Return), "\\A\\B\\D4\\", 0},
        {"\"[ .. ]\"", enter("[ .. ]"), "\\A\\B\\", 4},
        {"up to A: B's row", key(Qt::Key_Backspace), "\\A\\", 1},
        {"down into B again starts at the top", key(Qt::Key_Return), "\\A\\B\\", 0},
        {"the \"\\\" button", button(&TMainControls::RootButton), "\\", 0},
        {"Backspace at the root stays", key(Qt::Key_Backspace), "\\", 0},
    };
    TForm_Main& w = OpenArchiveOf(Tree());
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act(*this);
        EXPECT_EQ(w.CurrentPath, step.path);
        EXPECT_EQ(w.Controls().DirTitle->text(), QString::fromUtf8(step.path));
        EXPECT_EQ(List().SelectedRows(), std::vector<int>{step.selected});
    }
    // Backspace at the root goes on to the archive list.
    EXPECT_TRUE(w.Controls().ListView_CD->CurrentView()->hasFocus());
}

TEST_F(ContentTest, RememberedRowsReachAsDeepAsTheFolders) {
    std::vector<DirSpec> dirs;
    std::string path = "\\";
    const int depth = 130;
    for (int level = 0; level < depth; ++level) {
        dirs.push_back({path, {FileEntry("a"), FileEntry("b"), DirEntry("d")}});
        path += "d\\";
    }
    TForm_Main& w = OpenArchiveOf(MakeArchive(dirs));
    for (int level = 0; level + 1 < depth; ++level) {
        Select(QStringLiteral("d"));
        Key(Qt::Key_Return);
    }
    EXPECT_EQ(w.Content().Depth(), depth);
    for (int level = depth - 1; level >= 1; --level) {
        Key(Qt::Key_Backspace);
        ASSERT_EQ(SelectedNames(), std::vector<QString>{QStringLiteral("d")}) << level;
    }
    EXPECT_EQ(w.CurrentPath, "\\");
}

TEST_F(ContentTest, EnterOpensFoldersPackedFilesAndMergedArchivesOnly) {
    TArch arch = MakeArchive({
        {"\\",
         {FileEntry("plain.zip"),
          FileEntry("PLAIN.RAR"),
          FileEntry("setup.exe"),
          {"DATA.ZIP", "10", "", "p-a--", {}, {}},
          {"Disk 1", "0", "", "Archiv", {}, {}}}},
        {"\\DATA.ZIP\\", {FileEntry("inside.txt")}},
        {"\\Disk 1\\", {FileEntry("a.txt")}},
    });
    struct Row {
        const char* name;
        const char* path; // after Enter
        bool run;         // handed to the run window
    } rows[] = {
        {"plain.zip", "\\", false},      {"PLAIN.RAR", "\\", false},
        {"setup.exe", "\\", true},       {"DATA.ZIP", "\\DATA.ZIP\\", false},
        {"Disk 1", "\\Disk 1\\", false},
    };
    TForm_Main& w = OpenArchiveOf(arch);
    std::vector<std::int32_t> run;
    w.Content().RunEntry = [&run](std::int32_t rec) { run.push_back(rec); };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        run.clear();
        Select(QString::fromUtf8(row.name));
        const std::int32_t rec = Model().SlotAt(List().SelectedRows().front());
        Key(Qt::Key_Return);
        EXPECT_EQ(w.CurrentPath, row.path);
        EXPECT_EQ(run, row.run ? std::vector<std::int32_t>{rec} : std::vector<std::int32_t>{});
        w.Content().GoRoot();
    }
}

TEST_F(ContentTest, CommentedListsFoldersAndCommentedEntriesOnly) {
    TArch arch = MakeArchive({{"\\",
                               {DirEntry("EMPTY"), FileEntry("plain.txt", "2048"),
                                FileEntry("noted.txt", "1024", "a note"),
                                FileEntry("described.txt", "3072", "", "line\x07")}}});
    struct Row {
        const char* filter;
        std::vector<QString> names;
        const char* totals;
    } rows[] = {
        {"Action_DirCommented",
         {QStringLiteral("EMPTY"), QStringLiteral("described.txt"), QStringLiteral("noted.txt")},
         " 4 kB v 2 souborech"},
        {"Action_DirShowAll",
         {QStringLiteral("EMPTY"), QStringLiteral("described.txt"), QStringLiteral("noted.txt"),
          QStringLiteral("plain.txt")},
         " 6 kB v 3 souborech"},
    };
    TForm_Main& w = OpenArchiveOf(arch);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.filter);
        Trigger(row.filter);
        EXPECT_EQ(Names(), row.names);
        EXPECT_EQ(w.Controls().StatusTotals->text(), QString::fromUtf8(row.totals));
        EXPECT_TRUE(window_->findChild<QAction*>(QString::fromLatin1(row.filter))->isChecked());
    }
}

TEST_F(ContentTest, DeletingAFolderMarksItsSubtreeAndTheSavedFileKeepsItsFolderLine) {
    TArch arch = MakeArchive({
        {"\\", {DirEntry("DOOM"), FileEntry("readme.txt", "10")}},
        {"\\DOOM\\", {FileEntry("doom.wad", "4000"), DirEntry("SAVE"), FileEntry("x.txt", "50")}},
        {"\\DOOM\\SAVE\\", {FileEntry("slot1.sav", "50")}},
        {"\\ONLY\\", {FileEntry("lonely.txt", "5")}},
    });
    TForm_Main& w = OpenArchiveOf(arch);
    int cleared = 0;
    w.Content().ClearSearchResults = [&cleared] { ++cleared; };

    // Cancelled: nothing changes.
    Select(QStringLiteral("DOOM"));
    Key(Qt::Key_Delete);
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0].title, QString::fromUtf8("Potvrzení..."));
    EXPECT_EQ(prompt_.shown[0].text,
              QString::fromUtf8("Chcete skutečně smazat   ( 1 záznamů 4 100 bytes )"));
    EXPECT_EQ(Names().size(), 2u);
    EXPECT_FALSE(w.Modified());

    prompt_.answers.push_back(PromptAnswer::Ok);
    Key(Qt::Key_Delete);
    EXPECT_EQ(Names(), std::vector<QString>{QStringLiteral("readme.txt")});
    EXPECT_TRUE(w.Modified());
    EXPECT_EQ(cleared, 1);

    // The only row of a folder: "[ .. ]" stays.
    w.Content().ShowFolder("\\ONLY\\");
    Select(QStringLiteral("lonely.txt"));
    prompt_.answers.push_back(PromptAnswer::Ok);
    w.Content().Commands().DeleteCommand();
    EXPECT_EQ(Names(), std::vector<QString>{QStringLiteral("[ .. ]")});

    Trigger("Action_Save");
    OpenThroughDialog(archivePath_);
    EXPECT_EQ(Names(), std::vector<QString>{QStringLiteral("readme.txt")});
    for (const char* folder : {"\\DOOM\\", "\\DOOM\\SAVE\\", "\\ONLY\\"}) {
        SCOPED_TRACE(folder);
        w.Content().ShowFolder(folder);
        EXPECT_EQ(Names(), std::vector<QString>{QStringLiteral("[ .. ]")});
        EXPECT_NE(ReadFile(archivePath_).find(std::string(folder) + "\r\n"), std::string::npos);
    }
}

TEST_F(ContentTest, ANoteTypedInASubfolderIsStoredWhenTheUserMovesOn) {
    using Leave = std::function<void(ContentTest&)>;
    struct Row {
        const char* what;
        Leave leave;
    } rows[] = {
        {"Backspace", [](ContentTest& t) { t.Key(Qt::Key_Backspace); }},
        {"the root button",
         [](ContentTest& t) {
             QTest::mouseClick(t.window_->Controls().RootButton, Qt::LeftButton);
         }},
        {"another row", [](ContentTest& t) { t.Select(QStringLiteral("b.txt")); }},
        {"the display filter", [](ContentTest& t) { t.Trigger("Action_DirCommented"); }},
        {"deleting another row",
         [](ContentTest& t) {
             t.Select(QStringLiteral("b.txt"));
             t.prompt_.answers.push_back(PromptAnswer::Ok);
             t.Key(Qt::Key_Delete);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Program().ShowAll = true;
        TForm_Main& w = OpenArchiveOf(MakeArchive(
            {{"\\", {DirEntry("SUB")}}, {"\\SUB\\", {FileEntry("a.txt"), FileEntry("b.txt")}}}));
        w.Content().ShowFolder("\\SUB\\");
        TypeNote(RowOf(QStringLiteral("a.txt")), QStringLiteral("typed"));
        EXPECT_EQ(Model().Text(RowOf(QStringLiteral("a.txt")), ContentModel::ColNote),
                  QStringLiteral("typed"));
        const std::int32_t rec = Model().SlotAt(RowOf(QStringLiteral("a.txt")));
        row.leave(*this);
        EXPECT_EQ(w.CurrentArchive.Recs[static_cast<std::size_t>(rec)].Note, "typed");
        EXPECT_FALSE(w.NoteEdited());
        EXPECT_TRUE(w.Modified());
        window_.reset();
    }
}

TEST_F(ContentTest, BoldRowsAndFolderSizesFollowTheOptions) {
    TForm_Main& w = OpenArchiveOf(MakeArchive({
        {"\\", {DirEntry("SUB"), FileEntry("noted.txt", "1", "n"), FileEntry("plain.txt", "2")}},
        {"\\SUB\\", {FileEntry("a.txt", "1500"), FileEntry("b.txt", "1 500")}},
    }));
    auto bold = [this](const char* name) {
        return Model()
            .data(Model().index(RowOf(QString::fromUtf8(name)), 0), Qt::FontRole)
            .value<QFont>()
            .bold();
    };
    EXPECT_FALSE(bold("noted.txt"));
    EXPECT_EQ(Model().Text(RowOf(QStringLiteral("SUB")), ContentModel::ColSize),
              QStringLiteral("<DIR>"));
    w.Content().SetOptions({true, true, false});
    EXPECT_TRUE(bold("noted.txt"));
    EXPECT_FALSE(bold("plain.txt"));
    EXPECT_EQ(Model().Text(RowOf(QStringLiteral("SUB")), ContentModel::ColSize),
              QStringLiteral("3 000"));
}

TEST_F(ContentTest, PicturesFollowTheSystemIconsSwitchAndAreRedrawnWhenItChanges) {
    OpenArchiveOf(MakeArchive({{"\\", {DirEntry("SUB"), FileEntry("song.mp3")}}}));
    const QModelIndex song = Model().index(RowOf(QStringLiteral("song.mp3")), 0);
    auto picture = [&] { return Model().data(song, Qt::DecorationRole).value<QIcon>().cacheKey(); };
    const qint64 own = picture();
    QSignalSpy redrawn(&Model(), &QAbstractItemModel::dataChanged);
    {
        test::SystemIconsOnScope on;
        EXPECT_EQ(picture(), EntryIcon("song.mp3", false, FileClassIcon("song.mp3")).cacheKey());
        EXPECT_NE(picture(), own);
        ASSERT_EQ(redrawn.size(), 1);
        EXPECT_EQ(redrawn[0][2].value<QList<int>>(), QList<int>{Qt::DecorationRole});
    }
    EXPECT_EQ(picture(), own);
    EXPECT_EQ(redrawn.size(), 2);
}

TEST_F(ContentTest, TheFolderTreeShowsVisitedFoldersAndListsTheChosenOne) {
    TForm_Main& w = OpenArchiveOf(Tree());
    TContentOptions options;
    options.FolderTree = true;
    w.Content().SetOptions(options);
    const TMainControls& c = w.Controls();
    EXPECT_FALSE(c.PanelTreeDir->isHidden());
    Select(QStringLiteral("A"));
    Key(Qt::Key_Return);
    Select(QStringLiteral("B"));
    Key(Qt::Key_Return);
    FolderTreeModel& tree = w.Content().FolderTree();
    // The root is a top-level node of its own, beside the first-level folder A.
    ASSERT_EQ(tree.rowCount(), 2);
    EXPECT_EQ(tree.PathOf(c.TreeView_Dir->currentIndex()), "\\A\\B\\");
    const QModelIndex b = c.TreeView_Dir->currentIndex();
    EXPECT_EQ(tree.rowCount(b), 5); // D1 to D5, added while listing B

    c.TreeView_Dir->setCurrentIndex(tree.index(0, 0)); // the root, empty text
    EXPECT_EQ(w.CurrentPath, "\\");
    EXPECT_EQ(Names(), (std::vector<QString>{QStringLiteral("A"), QStringLiteral("root.txt")}));
    c.TreeView_Dir->setCurrentIndex(tree.index(2, 0, b));
    EXPECT_EQ(w.CurrentPath, "\\A\\B\\D3\\");

    c.CloseTreeDirButton->click();
    EXPECT_TRUE(c.PanelTreeDir->isHidden());
    EXPECT_FALSE(w.Content().Options().FolderTree);
}

} // namespace
} // namespace orbisk::test
