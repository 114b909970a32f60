// The archive tree: building it from the working folder, F5, leaves,
// renaming categories, moving archives by drag and drop, "Vytvořit" and the
// tree's menu.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "ArchiveTestSupport.h"
#include "gui/common/ListView.h"
#include "gui/db/TForm_DB_Kat.h"

namespace orbisk::test {
namespace {

const std::vector<ArchiveHeaderRow> kFolder = {
    {"akce.cd", "Quake", "CD", "Hry", "Akce"},
    {"hry.cd", "Doom", "CD", "Hry", ""},
    {"hry2.cd", "Abuse", "CD", "Hry", ""},
    {"dvd.cd", "Filmy", "DVD", "", "ignored without Typ"},
    {"zbytek.cd", "Rest", "", "", ""},
};

std::vector<QString> L(std::initializer_list<const char*> texts) {
    std::vector<QString> lines;
    for (const char* text : texts)
        lines.push_back(QString::fromUtf8(text));
    return lines;
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST_F(ArchiveTest, TheWorkingFolderShowsItsCategoriesAndF5ShowsANewArchive) {
    TForm_Main& w = StartWith(kFolder);
    EXPECT_EQ(TreeLines(), L({"CD", "  Hry", "    Akce", "DVD", "Zbytek"}));
    // The first node is selected; no archive is filed at \CD\ itself.
    EXPECT_EQ(SelectedPath(), "\\CD\\");
    EXPECT_TRUE(ListNames().empty());
    EXPECT_EQ(w.Controls().StatusArchives->text(), QStringLiteral("5"));
    const struct {
        const char* path;
        std::vector<QString> names;
    } nodes[] = {
        {"\\CD\\Hry\\", L({"Abuse", "Doom"})},
        {"\\CD\\Hry\\Akce\\", L({"Quake"})},
        {"\\DVD\\", L({"Filmy"})},
        {"\\Zbytek\\", L({"Rest"})},
    };
    for (const auto& node : nodes) {
        SCOPED_TRACE(node.path);
        SelectPath(node.path);
        EXPECT_EQ(ListNames(), node.names);
        EXPECT_EQ(w.Controls().ListView_CD->SelectedRows(), std::vector<int>{0});
    }

    WriteHeader({"new.cd", "Blood", "CD", "Hry", ""});
    WriteHeader({"mp3.cd", "Songs", "MP3", "Rock", ""});
    QTest::keyClick(w.Controls().TreeView_Arch, Qt::Key_F5);
    EXPECT_EQ(TreeLines(), L({"CD", "  Hry", "    Akce", "DVD", "MP3", "  Rock", "Zbytek"}));
    EXPECT_EQ(w.Controls().StatusArchives->text(), QStringLiteral("7"));
    SelectPath("\\CD\\Hry\\");
    EXPECT_EQ(ListNames(), L({"Abuse", "Blood", "Doom"}));
    // The value lists follow the build.
    EXPECT_EQ(Program().ValueLists.MediumList,
              (std::vector<std::string>{"CD", "DVD", "Zbytek", "MP3"}));
}

TEST_F(ArchiveTest, ArchiveLeavesComeFirstAndOpenTheirArchive) {
    TForm_Main& w = StartWith(kFolder, {.ArchivesInTree = true});
    EXPECT_EQ(TreeLines(), L({"CD", "  Hry", "    Abuse*", "    Doom*", "    Akce", "      Quake*",
                              "DVD", "  Filmy*", "Zbytek", "  Rest*"}));
    // Slots follow the file names: akce, dvd, hry, hry2, zbytek.
    const QModelIndex leaf = Tree().FindArchive(4);
    ASSERT_TRUE(leaf.isValid());
    EXPECT_EQ(leaf.data(ArchiveTreeModel::PictureRole).toInt(), kPictureArchive);
    EXPECT_EQ(leaf.parent().data(ArchiveTreeModel::PictureRole).toInt(), kPictureFolder);
    // A selected leaf lists the archives of its folder; Enter opens it.
    w.Controls().TreeView_Arch->setCurrentIndex(leaf);
    EXPECT_EQ(ListNames(), L({"Abuse", "Doom"}));
    QTest::keyClick(w.Controls().TreeView_Arch, Qt::Key_Return);
    EXPECT_EQ(w.CurrentArchive.Head.Name, leaf.data().toString().toStdString());
    EXPECT_EQ(w.Controls().TreeTitle->text(), leaf.data().toString());
}

TEST_F(ArchiveTest, RenamingACategoryMovesItsSubcategoriesAlong) {
    struct Row {
        const char* what;
        const char* node;
        const char* typed;
        std::vector<QString> tree;
        std::vector<std::string> cache;
        const char* typ; // of Quake, in the list
    } rows[] = {
        {"Hry becomes Games, Akce moves along",
         "\\CD\\Hry\\",
         "Games",
         L({"CD", "  Games", "    Akce", "DVD", "Zbytek"}),
         {"\\CD\\Games\\Akce\\ akce.cd", "\\CD\\Games\\ hry.cd", "\\CD\\Games\\ hry2.cd",
          "\\DVD\\ dvd.cd", "\\Zbytek\\ zbytek.cd"},
         "Games"},
        {"a backslash becomes a blank and the node sorts anew",
         "\\DVD\\",
         "A\\V",
         L({"A V", "CD", "  Hry", "    Akce", "Zbytek"}),
         {"\\CD\\Hry\\Akce\\ akce.cd", "\\CD\\Hry\\ hry.cd", "\\CD\\Hry\\ hry2.cd",
          "\\A V\\ dvd.cd", "\\Zbytek\\ zbytek.cd"},
         "Hry"},
        {"the name of a sibling joins both",
         "\\Zbytek\\",
         "DVD",
         L({"CD", "  Hry", "    Akce", "DVD"}),
         {"\\CD\\Hry\\Akce\\ akce.cd", "\\CD\\Hry\\ hry.cd", "\\CD\\Hry\\ hry2.cd",
          "\\DVD\\ dvd.cd", "\\DVD\\ zbytek.cd"},
         "Hry"},
        {"an empty name changes nothing",
         "\\CD\\",
         "",
         L({"CD", "  Hry", "    Akce", "DVD", "Zbytek"}),
         {"\\CD\\Hry\\Akce\\ akce.cd", "\\CD\\Hry\\ hry.cd", "\\CD\\Hry\\ hry2.cd",
          "\\DVD\\ dvd.cd", "\\Zbytek\\ zbytek.cd"},
         "Hry"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove(work_.File(std::string(kArchiveListFile)));
        StartWith(kFolder);
        SelectPath("\\CD\\Hry\\Akce\\");
        Tree().setData(Tree().FindPath(row.node), QString::fromUtf8(row.typed), Qt::EditRole);
        QCoreApplication::processEvents();
        EXPECT_EQ(TreeLines(), row.tree);
        EXPECT_EQ(CacheLines(), Sorted(row.cache));
        // The headers inside the files keep their categories.
        EXPECT_EQ(ReadArchiveFile(work_.File("akce.cd")).Head.Typ, "Hry");
        // The list still shows the archives of the selected node.
        EXPECT_EQ(ListNames(), L({"Quake"}));
        EXPECT_EQ(ListModel().Text(0, 2), QString::fromUtf8(row.typ));
        window_.reset();
    }
}

TEST_F(ArchiveTest, TheTreeEditorRenamesAFolderNodeButNotALeaf) {
    TForm_Main& w = StartWith(kFolder, {.ArchivesInTree = true});
    QTreeView& view = *w.Controls().TreeView_Arch;
    EXPECT_FALSE(Tree().flags(Tree().FindArchive(1)).testFlag(Qt::ItemIsEditable));
    // Renamed onto its sibling's name while its editor is open: the nodes join.
    const QModelIndex node = Tree().FindPath("\\Zbytek\\");
    view.setCurrentIndex(node);
    view.edit(node);
    auto* editor = view.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText(QStringLiteral("DVD"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(TreeLines(), L({"CD", "  Hry", "    Abuse*", "    Doom*", "    Akce", "      Quake*",
                              "DVD", "  Filmy*", "  Rest*"}));
    SelectPath("\\DVD\\");
    EXPECT_EQ(ListNames(), L({"Filmy", "Rest"}));
}

TEST_F(ArchiveTest, ArchivesDroppedOnAFolderNodeMoveThere) {
    struct Row {
        const char* what;
        bool leaves;
        const char* target; // a tree path, or "leaf" for an archive leaf
        int dropRow;        // -1: on the node itself
        std::vector<std::string> cache;
    } rows[] = {
        {"two rows onto DVD",
         false,
         "\\DVD\\",
         -1,
         {"\\CD\\Hry\\Akce\\ akce.cd", "\\DVD\\ hry.cd", "\\DVD\\ hry2.cd", "\\DVD\\ dvd.cd",
          "\\Zbytek\\ zbytek.cd"}},
        {"with leaves, the leaves move too",
         true,
         "\\CD\\Hry\\Akce\\",
         -1,
         {"\\CD\\Hry\\Akce\\ akce.cd", "\\CD\\Hry\\Akce\\ hry.cd", "\\CD\\Hry\\Akce\\ hry2.cd",
          "\\DVD\\ dvd.cd", "\\Zbytek\\ zbytek.cd"}},
        {"between two nodes nothing happens",
         false,
         "\\DVD\\",
         0,
         {"\\CD\\Hry\\Akce\\ akce.cd", "\\CD\\Hry\\ hry.cd", "\\CD\\Hry\\ hry2.cd",
          "\\DVD\\ dvd.cd", "\\Zbytek\\ zbytek.cd"}},
        {"on an archive leaf nothing happens",
         true,
         "leaf",
         -1,
         {"\\CD\\Hry\\Akce\\ akce.cd", "\\CD\\Hry\\ hry.cd", "\\CD\\Hry\\ hry2.cd",
          "\\DVD\\ dvd.cd", "\\Zbytek\\ zbytek.cd"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove(work_.File(std::string(kArchiveListFile)));
        StartWith(kFolder, {.ArchivesInTree = row.leaves});
        SelectPath("\\CD\\Hry\\");
        SelectNames(L({"Abuse", "Doom"}));
        QModelIndexList dragged;
        for (int r : window_->Controls().ListView_CD->SelectedRows())
            dragged.append(ListModel().index(r, 0));
        std::unique_ptr<QMimeData> data(ListModel().mimeData(dragged));
        ASSERT_NE(data, nullptr);
        const QModelIndex target = std::string(row.target) == "leaf"
                                       ? Tree().FindArchive(ListModel().SlotAt(0))
                                       : Tree().FindPath(row.target);
        ASSERT_TRUE(target.isValid());
        Tree().dropMimeData(data.get(), Qt::CopyAction, row.dropRow, -1, target);
        EXPECT_EQ(CacheLines(), Sorted(row.cache));
        const bool moved = row.cache[1] != "\\CD\\Hry\\ hry.cd";
        EXPECT_EQ(SelectedPath(), moved ? std::string(row.target) : "\\CD\\Hry\\");
        if (moved) {
            EXPECT_EQ(ListNames().size(), 3u);
        }
        if (row.leaves && moved) {
            const QModelIndex leaf = Tree().FindArchive(ListModel().SlotAt(0));
            EXPECT_EQ(Tree().PathOf(leaf), row.target);
        }
        window_.reset();
    }
}

TEST_F(ArchiveTest, OnlyWithTheOptionCanLeavesBeDraggedInsideTheTree) {
    for (bool allowed : {false, true}) {
        SCOPED_TRACE(allowed);
        StartWith(kFolder, {.ArchivesInTree = true, .TreeDragDrop = allowed});
        const QModelIndex leaf = Tree().FindArchive(1);
        EXPECT_EQ(Tree().flags(leaf).testFlag(Qt::ItemIsDragEnabled), allowed);
        EXPECT_FALSE(Tree().flags(leaf.parent()).testFlag(Qt::ItemIsDragEnabled));
        EXPECT_EQ(window_->Controls().TreeView_Arch->dragEnabled(), allowed);
        std::unique_ptr<QMimeData> data(Tree().mimeData({leaf}));
        ASSERT_NE(data, nullptr);
        EXPECT_TRUE(
            Tree().dropMimeData(data.get(), Qt::CopyAction, -1, -1, Tree().FindPath("\\Zbytek\\")));
        EXPECT_EQ(Tree().PathOf(Tree().FindArchive(1)), "\\Zbytek\\");
        window_.reset();
    }
}

TEST_F(ArchiveTest, VytvoritAddsACategoryUntilTheNextBuild) {
    struct Row {
        const char* what;
        const char* typed;
        bool root, ok;
        const char* made; // nullptr: nothing made
    } rows[] = {
        {"below the selected node", "Nová", false, true, "\\CD\\Hry\\Nová\\"},
        {"at the root", "Nová", true, true, "\\Nová\\"},
        {"a name with a backslash is one category", "A\\B", false, true, "\\CD\\Hry\\A B\\"},
        {"no name", "", false, true, nullptr},
        {"Storno", "Nová", false, false, nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TForm_Main& w = StartWith(kFolder);
        SelectPath("\\CD\\Hry\\");
        const std::vector<QString> before = TreeLines();
        QString shownPath;
        WhenModal([&](QWidget* modal) {
            auto* window = qobject_cast<TForm_DB_Kat*>(modal);
            ASSERT_NE(window, nullptr);
            window->Edit_Name->setText(QString::fromUtf8(row.typed));
            window->CheckBox->setChecked(row.root);
            shownPath = window->Label_Path->text();
            (row.ok ? window->Button_OK : window->Button_Storno)->click();
        });
        Archives().Action_Create->trigger();
        EXPECT_EQ(shownPath, row.root ? QStringLiteral("\\") : QStringLiteral("\\CD\\Hry\\"));
        if (row.made) {
            EXPECT_EQ(SelectedPath(), row.made);
            EXPECT_EQ(TreeLines().size(), before.size() + 1);
            Archives().Action_Refresh->trigger();
            EXPECT_FALSE(Tree().FindPath(row.made).isValid());
        } else {
            EXPECT_EQ(TreeLines(), before);
            EXPECT_EQ(SelectedPath(), "\\CD\\Hry\\");
        }
        EXPECT_EQ(w.Controls().StatusArchives->text(), QStringLiteral("5"));
        window_.reset();
    }
}

TEST_F(ArchiveTest, TheTreeMenuFollowsTheNodes) {
    struct Row {
        const char* what;
        std::vector<ArchiveHeaderRow> archives;
        bool selectLeaf;
        bool expand, create;
    } rows[] = {
        {"an empty folder", {}, false, false, true},
        {"one node", {{"a.cd", "A", "CD", "", ""}}, false, false, true},
        {"two nodes", {{"a.cd", "A", "CD", "Hry", ""}}, false, true, true},
        {"on an archive leaf", {{"a.cd", "A", "CD", "", ""}}, true, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (const std::string& name : {std::string("a.cd"), std::string(kArchiveListFile)})
            std::filesystem::remove(work_.File(name));
        StartWith(row.archives, {.ArchivesInTree = row.selectLeaf});
        if (row.selectLeaf)
            window_->Controls().TreeView_Arch->setCurrentIndex(Tree().FindArchive(1));
        Archives().UpdateMenuState();
        EXPECT_EQ(Archives().Action_Expand->isEnabled(), row.expand);
        EXPECT_EQ(Archives().Action_Collapse->isEnabled(), row.expand);
        EXPECT_EQ(Archives().Action_Create->isEnabled(), row.create);
        EXPECT_TRUE(Archives().Action_Refresh->isEnabled());
        window_.reset();
    }
}

} // namespace
} // namespace orbisk::test
