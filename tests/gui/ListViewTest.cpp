// The list widget and the models of the content browser, each model under
// QAbstractItemModelTester.
#include <QAbstractItemModelTester>
#include <QAction>
#include <QListView>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

#include "ArchiveBuilder.h"
#include "ContentTestSupport.h"
#include "core/catalog/Common.h"
#include "gui/common/ListView.h"
#include "gui/mainwin/ContentModel.h"
#include "gui/mainwin/FolderTreeModel.h"

namespace orbisk::test {
namespace {

constexpr auto kFatal = QAbstractItemModelTester::FailureReportingMode::Fatal;

TArch Sample() {
    return MakeArchive({
        {"\\", {DirEntry("TOP")}},
        {"\\TOP\\",
         {FileEntry("readme.txt", "1520", "read first", "Notes\x07"),
          DirEntry("DOOM", "games"),
          {"DATA.ZIP", "2048000", "3.1.2001", "p-a--", {}, {}},
          {"Disk 1", "0", "", "Archiv", {}, {}},
          FileEntry("odd", "12a")}},
    });
}

std::vector<std::vector<QString>> Cells(const ContentModel& model) {
    std::vector<std::vector<QString>> cells;
    for (int row = 0; row < model.rowCount(); ++row) {
        std::vector<QString> line;
        for (int column = 0; column < model.columnCount(); ++column)
            line.push_back(model.data(model.index(row, column), Qt::DisplayRole).toString());
        cells.push_back(line);
    }
    return cells;
}

TEST(ContentModel, ShowsTheRowsOfAListingSortedAndLiveEdits) {
    const TArch arch = Sample();
    ContentModel model;
    QAbstractItemModelTester tester(&model, kFatal);
    model.SetListing(&arch, ListFolderRows(arch, "\\TOP\\", {}), ContentModel::ColName, 1);
    const std::vector<std::vector<QString>> want = {
        {"[ .. ]", "<DIR>", "", "d", ""},
        {"DOOM", "<DIR>", "1.1.2001 1:00:00", "d----", "games"},
        {"DATA.ZIP", "2 048 000", "3.1.2001", "p-a--", ""},
        {"Disk 1", "Archiv", "", "Archiv", ""},
        {"odd", "12a", "2.2.2002 2:00:00", " -a--", ""},
        {"readme.txt", "1 520", "2.2.2002 2:00:00", " -a--", "read first"},
    };
    EXPECT_EQ(Cells(model), want);
    EXPECT_EQ(model.headerData(ContentModel::ColNote, Qt::Horizontal, Qt::DisplayRole),
              QString::fromUtf8("Poznámka"));
    for (int row = 0; row < model.rowCount(); ++row)
        EXPECT_FALSE(model.data(model.index(row, 0), Qt::DecorationRole).value<QIcon>().isNull());
    EXPECT_EQ(model.SlotAt(0), 0);
    EXPECT_EQ(model.SlotAt(-1), 0);
    EXPECT_EQ(model.SlotAt(model.rowCount()), 0);

    // Sorting by size, descending: "[ .. ]" and the folder stay on top.
    model.sort(ContentModel::ColSize, Qt::DescendingOrder);
    std::vector<QString> names;
    for (int row = 0; row < model.rowCount(); ++row)
        names.push_back(model.Text(row, ContentModel::ColName));
    EXPECT_EQ(names,
              (std::vector<QString>{"[ .. ]", "DOOM", "DATA.ZIP", "readme.txt", "Disk 1", "odd"}));

    const std::int32_t readme = model.SlotAt(3);
    model.SetLiveNote(readme, QStringLiteral("typing"));
    EXPECT_EQ(model.Text(3, ContentModel::ColNote), QStringLiteral("typing"));
    model.ClearLiveNote();
    EXPECT_EQ(model.Text(3, ContentModel::ColNote), QStringLiteral("read first"));
    model.SetSizeText(1, "4 096");
    EXPECT_EQ(model.Text(1, ContentModel::ColSize), QStringLiteral("4 096"));
    model.setHeaderData(0, Qt::Horizontal, QStringLiteral("Name"));
    EXPECT_EQ(model.headerData(0, Qt::Horizontal, Qt::DisplayRole), QStringLiteral("Name"));
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(FolderTreeModel, SplitsPathsAfterTheirFirstBackslashAndSortsNodes) {
    FolderTreeModel tree;
    QAbstractItemModelTester tester(&tree, kFatal);
    const char* paths[] = {"\\GAMES\\DOOM\\",      "\\", "\\APPS\\", "\\GAMES\\", "\\GAMES\\ARC\\",
                           "\\GAMES\\DOOM\\SAVE\\"};
    for (const char* path : paths) {
        const QModelIndex node = tree.AddPath(path);
        EXPECT_EQ(tree.PathOf(node), path);
        EXPECT_EQ(tree.AddPath(path), node) << "added once";
    }
    auto texts = [&tree](const QModelIndex& parent) {
        std::vector<QString> out;
        for (int row = 0; row < tree.rowCount(parent); ++row)
            out.push_back(tree.data(tree.index(row, 0, parent), Qt::DisplayRole).toString());
        return out;
    };
    EXPECT_EQ(texts({}), (std::vector<QString>{"", "APPS", "GAMES"}));
    EXPECT_EQ(texts(tree.index(2, 0)), (std::vector<QString>{"ARC", "DOOM"}));
    tree.Clear();
    EXPECT_EQ(tree.rowCount(), 0);
}

class ListViewTest : public ::testing::Test {
public:
    void SetUp() override {
        arch_ = Sample();
        view_.SetModel(&model_);
        model_.SetListing(&arch_, ListFolderRows(arch_, "\\TOP\\", {}), 0, 1);
        view_.resize(500, 300);
        view_.show();
    }
    TArch arch_;
    ContentModel model_;
    ListView view_;
};

TEST_F(ListViewTest, EveryStyleShowsTheSameRowsAndKeepsTheSelection) {
    QAbstractItemModelTester tester(&model_, kFatal);
    view_.SetColumnWidths({150, 60, 90});
    view_.SetRowsSelected({1, 3}, true);
    QSignalSpy activated(&view_, &ListView::Activated);
    struct Row {
        ListView::Style style;
        bool report;
        QListView::ViewMode mode;
        QListView::Flow flow;
    } rows[] = {
        {ListView::Style::LargeIcons, false, QListView::IconMode, QListView::LeftToRight},
        {ListView::Style::SmallIcons, false, QListView::ListMode, QListView::LeftToRight},
        {ListView::Style::List, false, QListView::ListMode, QListView::TopToBottom},
        {ListView::Style::Report, true, QListView::ListMode, QListView::TopToBottom},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.style));
        view_.SetStyle(row.style);
        EXPECT_EQ(view_.GetStyle(), row.style);
        QAbstractItemView* shown = view_.CurrentView();
        EXPECT_EQ(shown == view_.Report(), row.report);
        // Only the view on show listens to the model.
        EXPECT_EQ(view_.Report()->model() == &model_, row.report);
        EXPECT_EQ(view_.Icons()->model() == &model_, !row.report);
        EXPECT_EQ(shown->selectionModel(), view_.SelectionModel());
        if (!row.report) {
            EXPECT_EQ(view_.Icons()->viewMode(), row.mode);
            EXPECT_EQ(view_.Icons()->flow(), row.flow);
        }
        EXPECT_EQ(view_.SelectedRows(), (std::vector<int>{1, 3}));
        EXPECT_EQ(view_.SelectedSlots(),
                  (std::vector<std::int32_t>{model_.SlotAt(1), model_.SlotAt(3)}));
        QTest::keyClick(shown, Qt::Key_Return);
    }
    EXPECT_EQ(activated.count(), 4);
    EXPECT_EQ(view_.ColumnWidths()[0], 150);
    EXPECT_EQ(view_.Report()->columnWidth(1), 60);
    EXPECT_EQ(view_.Report()->columnWidth(2), 90);
}

TEST_F(ListViewTest, SelectionModesAndGridLines) {
    view_.SetMultiSelection(false);
    view_.SelectRow(2);
    QTest::mouseClick(view_.Report()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      view_.Report()->visualRect(model_.index(4, 0)).center());
    EXPECT_EQ(view_.SelectedRows(), std::vector<int>{4});
    view_.SetMultiSelection(true);
    QTest::mouseClick(view_.Report()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      view_.Report()->visualRect(model_.index(1, 0)).center());
    EXPECT_EQ(view_.SelectedRows(), (std::vector<int>{1, 4}));
    view_.SetGridLines(true);
    EXPECT_TRUE(view_.GridLines());
}

TEST_F(ContentTest, TheViewStyleCommandsSwitchTheContentList) {
    OpenArchiveOf(Sample());
    const std::pair<const char*, ListView::Style> rows[] = {
        {"Action_DirLargeIcons", ListView::Style::LargeIcons},
        {"Action_DirSmallIcons", ListView::Style::SmallIcons},
        {"Action_DirList", ListView::Style::List},
        {"Action_DirReport", ListView::Style::Report},
    };
    EXPECT_TRUE(window_->findChild<QAction*>(QStringLiteral("Action_DirReport"))->isChecked());
    for (const auto& [action, style] : rows) {
        Trigger(action);
        EXPECT_EQ(List().GetStyle(), style) << action;
        EXPECT_EQ(List().SelectedRows(), std::vector<int>{0}) << action;
    }
    // A style set in another way (the settings) checks its command as well.
    for (const auto& [action, style] : rows) {
        List().SetStyle(style);
        EXPECT_TRUE(window_->findChild<QAction*>(QString::fromLatin1(action))->isChecked())
            << action;
    }
}

} // namespace
} // namespace orbisk::test
