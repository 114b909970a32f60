// Commands on the rows of the content list: the selection mask window, the
// context menu, the size of one row, sorting by column clicks.
#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <set>

#include "ContentTestSupport.h"
#include "core/catalog/ProgramValues.h"
#include "gui/mainwin/ContentCommands.h"
#include "gui/mainwin/TForm_Mask.h"

namespace orbisk::test {
namespace {

// file00.txt, FILE01.TXT, file02.doc, ... in a folder with two folders whose
// names would match as well.
TArch Generated() {
    const char* extensions[] = {".txt", ".TXT", ".doc", ".c"};
    std::vector<EntrySpec> entries = {DirEntry("dir.txt"), DirEntry("file99.txt")};
    for (int i = 0; i < 24; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "%s%02d%s", i % 2 ? "FILE" : "file", i, extensions[i % 4]);
        entries.push_back(FileEntry(name));
    }
    return MakeArchive({{"\\", entries}});
}

std::set<QString> Expected(const std::function<bool(int)>& take) {
    const char* extensions[] = {".txt", ".TXT", ".doc", ".c"};
    std::set<QString> names;
    for (int i = 0; i < 24; ++i)
        if (take(i))
            names.insert(
                QString::asprintf("%s%02d%s", i % 2 ? "FILE" : "file", i, extensions[i % 4]));
    return names;
}

TEST_F(ContentTest, MaskWindowWidensAndNarrowsTheSelection) {
    struct Row {
        const char* what;
        bool extend; // keypad "+" or "-"
        const char* typed;
        bool ok;
        std::function<bool(int)> selected; // of the generated files, after the step
        const char* title;
    } rows[] = {
        {"a single selected row is dropped first", true, "*.txt", true,
         [](int i) { return i % 4 < 2; }, "Rozšíření výběru"},
        {"widening keeps what was selected", true, " * . c ", true,
         [](int i) { return i % 4 != 2; }, "Rozšíření výběru"},
        {"narrowing", false, "FILE1?.*", true,
         [](int i) { return i % 4 != 2 && (i < 10 || i > 19); }, "Zúžení výběru"},
        {"Storno changes nothing", true, "*", false,
         [](int i) { return i % 4 != 2 && (i < 10 || i > 19); }, "Rozšíření výběru"},
        {"no match", true, "*.xyz", true, [](int i) { return i % 4 != 2 && (i < 10 || i > 19); },
         "Rozšíření výběru"},
    };
    OpenArchiveOf(Generated());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QString title;
        QTimer::singleShot(0, [&] {
            auto* mask = qobject_cast<TForm_Mask*>(QApplication::activeModalWidget());
            ASSERT_NE(mask, nullptr);
            title = mask->windowTitle();
            mask->ComboBox_Mask->setEditText(QString::fromUtf8(row.typed));
            QTest::mouseClick(row.ok ? mask->Button_OK : mask->Button_Storno, Qt::LeftButton);
        });
        Key(row.extend ? Qt::Key_Plus : Qt::Key_Minus, Qt::KeypadModifier);
        EXPECT_EQ(title, QString::fromUtf8(row.title));
        std::vector<QString> selected = SelectedNames();
        EXPECT_EQ(std::set<QString>(selected.begin(), selected.end()), Expected(row.selected));
    }
    // Masks are kept without blanks, once each, after the start values.
    EXPECT_EQ(Program().MaskHistory,
              (std::vector<std::string>{"*.*", "*", "*.txt", "*.c", "FILE1?.*", "*.xyz"}));
    // The main-row keys "+" and "-" are not the mask keys.
    Key(Qt::Key_Plus);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ContentTest, ContextMenuEnablesItsEntriesByTheSelection) {
    OpenArchiveOf(Generated());
    ContentCommands& commands = window_->Content().Commands();
    struct Row {
        const char* what;
        std::vector<int> rows;
        bool run, remove, size;
    } rows[] = {
        {"nothing selected", {}, false, false, false},
        {"one row", {3}, true, true, true},
        {"several rows", {3, 4, 9}, false, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        List().ClearSelection();
        List().SetRowsSelected(row.rows, true);
        commands.ShowContextMenu(List().mapToGlobal(QPoint(10, 10)));
        EXPECT_TRUE(commands.Menu()->isVisible());
        EXPECT_EQ(commands.Action_Run->isEnabled(), row.run);
        EXPECT_EQ(commands.Action_Delete->isEnabled(), row.remove);
        EXPECT_EQ(commands.Action_Size->isEnabled(), row.size);
        EXPECT_EQ(commands.Action_AddToDb->isEnabled(), row.remove);
        commands.Menu()->hide();
    }
    // Only what works is offered: run, delete, add to the database, size and the filter.
    std::vector<QString> texts;
    for (QAction* a : commands.Menu()->actions())
        if (!a->isSeparator()) texts.push_back(a->text());
    EXPECT_EQ(texts, (std::vector<QString>{QString::fromUtf8("Otevři (spust)"),
                                           QStringLiteral("Odstranit"),
                                           QString::fromUtf8("Přidej do databáze ..."),
                                           QString::fromUtf8("Spočítej velikost (mezerník)"),
                                           QString::fromUtf8("Filtr zobrazení")}));
}

TEST_F(ContentTest, SpaceShowsTheSizeOfTheSelectedRow) {
    OpenArchiveOf(MakeArchive({
        {"\\", {DirEntry("SUB"), FileEntry("big.iso", "6000000000"), FileEntry("odd", "x1")}},
        {"\\SUB\\", {FileEntry("a", "3 000 000 000"), DirEntry("IN")}},
        {"\\SUB\\IN\\", {FileEntry("b", "1500000000")}},
    }));
    struct Row {
        const char* name;
        const char* before;
        const char* after;
    } rows[] = {
        {"SUB", "<DIR>", "4 500 000 000"},
        {"big.iso", "6 000 000 000", "6 000 000 000"},
        {"odd", "x1", "0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const int at = RowOf(QString::fromUtf8(row.name));
        Select(QString::fromUtf8(row.name));
        EXPECT_EQ(Model().Text(at, ContentModel::ColSize), QString::fromUtf8(row.before));
        Key(Qt::Key_Space);
        EXPECT_EQ(Model().Text(at, ContentModel::ColSize), QString::fromUtf8(row.after));
    }
    // With two rows selected space does nothing.
    List().SetRowsSelected({0, 1}, true);
    Key(Qt::Key_Space);
    EXPECT_EQ(Model().Text(RowOf(QStringLiteral("SUB")), ContentModel::ColSize),
              QStringLiteral("4 500 000 000"));
}

TEST_F(ContentTest, ColumnClicksSortKeepingParentAndFoldersFirstAndTheSelection) {
    OpenArchiveOf(MakeArchive({
        {"\\", {DirEntry("TOP")}},
        {"\\TOP\\",
         {FileEntry("b.txt", "1 500"), DirEntry("Z"), FileEntry("a.txt", "999"),
          FileEntry("c.txt", "20000"), DirEntry("M")}},
    }));
    window_->Content().ShowFolder("\\TOP\\");
    Select(QStringLiteral("a.txt"));
    QHeaderView* header = List().Report()->header();
    struct Row {
        int column;
        int sortColumn, direction;
        std::vector<const char*> order;
    } rows[] = {
        {0, 0, -1, {"[ .. ]", "Z", "M", "c.txt", "b.txt", "a.txt"}},
        {1, 1, -1, {"[ .. ]", "Z", "M", "c.txt", "b.txt", "a.txt"}},
        {1, 1, 1, {"[ .. ]", "Z", "M", "a.txt", "b.txt", "c.txt"}},
        {2, 2, 1, {"[ .. ]", "Z", "M", "a.txt", "b.txt", "c.txt"}}, // equal dates keep their order
        {0, 0, 1, {"[ .. ]", "M", "Z", "a.txt", "b.txt", "c.txt"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.column);
        const QPoint at(header->sectionViewportPosition(row.column) + 5, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        EXPECT_EQ(List().SortColumn(), row.sortColumn);
        EXPECT_EQ(List().SortDirection(), row.direction);
        EXPECT_EQ(header->sortIndicatorSection(), row.sortColumn);
        std::vector<QString> want;
        for (const char* name : row.order)
            want.push_back(QString::fromUtf8(name));
        EXPECT_EQ(Names(), want);
        EXPECT_EQ(SelectedNames(), std::vector<QString>{QStringLiteral("a.txt")});
    }
    // A listing keeps the sort state.
    window_->Content().ShowFolder("\\TOP\\");
    EXPECT_EQ(Names()[3], QStringLiteral("a.txt"));
}

} // namespace
} // namespace orbisk::test
