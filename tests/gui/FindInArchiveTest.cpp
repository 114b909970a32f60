// The window "Hledání": searching the open archive from the folder shown,
// stopping, caps, the jump to a result and the clearing of results.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <functional>

#include "SearchTestSupport.h"
#include "core/catalog/ProgramValues.h"
#include "gui/mainwin/ArchiveTreeHandler.h"
#include "gui/search/MarkedLineDelegate.h"
#include "gui/search/ResultModels.h"

namespace orbisk::test {

namespace {

TArch Disk7() {
    return MakeArchive(
        {
            {"\\",
             {DirEntry("DOC"), DirEntry("DOCS"),
              FileEntry("Readme.txt", "2048", "foo bar", "first\x07second\x07")}},
            {"\\DOC\\", {DirEntry("OLD"), FileEntry("readme.txt", "3000")}},
            {"\\DOC\\OLD\\", {FileEntry("Read.me", "10", "bar")}},
            {"\\DOCS\\", {FileEntry("readme.txt", "5000")}},
        },
        "Disk 7");
}

} // namespace

TEST_F(SearchTest, FindSearchesTheShownFolderAndTheFoldersBelowIt) {
    struct Case {
        std::string path, query;
        bool star, caseSensitive;
        std::vector<std::string> lines;
        std::string queryAfter;
    };
    const std::vector<Case> cases = {
        {"\\DOC\\",
         "READ*",
         false,
         false,
         {"Disk 7:\\DOC\\  readme.txt", "Disk 7:\\DOC\\OLD\\  Read.me"},
         "READ*"},
        {"\\",
         "*.*",
         false,
         false,
         {"Disk 7:\\  Readme.txt", "Disk 7:\\DOC\\  readme.txt", "Disk 7:\\DOC\\OLD\\  Read.me",
          "Disk 7:\\DOCS\\  readme.txt"},
         "*.*"},
        {"\\",
         "  readme.txt ",
         false,
         true,
         {"Disk 7:\\DOC\\  readme.txt", "Disk 7:\\DOCS\\  readme.txt"},
         "readme.txt"},
        {"\\DOC\\OLD\\", "ead", true, false, {"Disk 7:\\DOC\\OLD\\  Read.me"}, "ead"},
        {"\\", "DOC", false, false, {"Disk 7:\\  DOC"}, "DOC"},
        {"\\DOC", "zzz", false, false, {}, "zzz"},
    };
    OpenArchiveOf(Disk7());
    TForm_Find3& find = Find3();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path + " " + c.query);
        window_->Content().ShowFolder(c.path);
        find.show();
        EXPECT_EQ(find.windowTitle(), Q("Hledání v  Disk 7:" + c.path));
        find.CheckBox_Star->setChecked(c.star);
        find.CheckBox->setChecked(c.caseSensitive);
        Run(find, Q(c.query));
        EXPECT_EQ(Unmarked(Lines(find)), c.lines);
        EXPECT_EQ(find.CountText(), QString::number(c.lines.size()));
        EXPECT_EQ(find.Edit1->currentText(), Q(c.queryAfter));
        EXPECT_TRUE(find.Edit1->isEnabled());
        EXPECT_TRUE(find.Button_Hledej->isEnabled());
        EXPECT_EQ(find.FolderText(), QString());
        find.close();
    }
    const std::vector<std::string>& history = Program().SearchHistory;
    EXPECT_NE(std::find(history.begin(), history.end(), "*ead*"), history.end());
    EXPECT_EQ(std::find(history.begin(), history.end(), "  readme.txt "), history.end());
}

TEST_F(SearchTest, FindMarksTheMatchedCharactersAndDrawsThemBoldOrOnYellow) {
    OpenArchiveOf(Disk7());
    window_->Content().ShowFolder("\\DOC\\");
    TForm_Find3& find = Find3();
    Run(find, QStringLiteral("READ*"));
    ASSERT_EQ(Lines(find).size(), 2u);
    EXPECT_EQ(Lines(find)[0], "Disk 7:\\DOC\\  <B>r</B><B>e</B><B>a</B><B>d</B>me.txt");
    EXPECT_EQ(find.TextModel().index(0, 0).data().toString(),
              QStringLiteral("Disk 7:\\DOC\\  <B>r</B><B>e</B><B>a</B><B>d</B>me.txt"));
    // Every row is as wide as the longest line, the first one included.
    const QFontMetrics metrics(find.RichEdit->font());
    EXPECT_GE(find.RichEdit->visualRect(find.TextModel().index(0, 0)).width(),
              metrics.horizontalAdvance(QStringLiteral("Disk 7:\\DOC\\OLD\\  Read.me")));
    find.RichEdit->clearSelection();
    const auto yellowPixels = [&find] {
        const QImage image = find.RichEdit->viewport()->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                count += image.pixelColor(x, y) == QColor(255, 255, 0);
        return count;
    };
    for (bool bold : {true, false, true}) {
        find.CheckBox_C->setChecked(bold);
        EXPECT_EQ(find.LineDelegate().Bold(), bold);
        EXPECT_EQ(yellowPixels() > 0, !bold);
    }
}

TEST_F(SearchTest, FindCriteriaThatCannotBeUsedAreSwitchedOff) {
    struct Case {
        std::function<void(TSearchWindow&)> set;
        std::vector<std::string> names;
        bool sizeOn, noteOn;
    };
    const std::vector<Case> cases = {
        {[](TSearchWindow& f) {
             f.CheckBox_Size->setChecked(true);
             f.ComboBox_Zn->setCurrentText(QStringLiteral(">"));
             f.Edit_Size->setText(QStringLiteral(" 2 "));
             f.ComboBox_Unit->setCurrentText(QStringLiteral("kB"));
         },
         {"readme.txt", "readme.txt"},
         true,
         false},
        {[](TSearchWindow& f) {
             f.CheckBox_Size->setChecked(true);
             f.Edit_Size->setText(QStringLiteral("abc"));
         },
         {"Readme.txt", "readme.txt", "Read.me", "readme.txt"},
         false,
         false},
        {[](TSearchWindow& f) {
             f.CheckBox_Pozn->setChecked(true);
             f.Edit_Pozn->setText(QStringLiteral("FOO  bar"));
             f.ComboBox_Pozn->setCurrentText(QStringLiteral("AND"));
         },
         {"Readme.txt"},
         false,
         true},
        {[](TSearchWindow& f) {
             f.CheckBox_Pozn->setChecked(true);
             f.Edit_Pozn->setText(QStringLiteral("foo bar"));
         },
         {"Readme.txt", "Read.me"},
         false,
         true},
        {[](TSearchWindow& f) {
             f.CheckBox_Pozn->setChecked(true);
             f.Edit_Pozn->setText(QStringLiteral("   "));
         },
         {"Readme.txt", "readme.txt", "Read.me", "readme.txt"},
         false,
         false},
    };
    OpenArchiveOf(Disk7());
    TForm_Find3& find = Find3();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        find.CheckBox_Size->setChecked(false);
        find.CheckBox_Pozn->setChecked(false);
        find.ComboBox_Pozn->setCurrentText(QStringLiteral("OR"));
        cases[i].set(find);
        find.CheckBoxZob->setChecked(true);
        Run(find, QStringLiteral("read*"));
        std::vector<std::string> names;
        for (int row = 0; row < find.ListModel().rowCount(); ++row)
            names.push_back(find.ListModel().Cell(row, SearchListModel::ColName));
        EXPECT_EQ(names, cases[i].names);
        EXPECT_EQ(find.CheckBox_Size->isChecked(), cases[i].sizeOn);
        EXPECT_EQ(find.CheckBox_Pozn->isChecked(), cases[i].noteOn);
    }
}

TEST_F(SearchTest, FindChoiceBoxesTakeOnlyTheirOwnItems) {
    OpenArchiveOf(Disk7());
    TForm_Find3& find = Find3();
    const std::vector<std::pair<QComboBox*, QString>> boxes = {
        {find.ComboBox_Zn, QStringLiteral("=")},
        {find.ComboBox_Unit, QStringLiteral("kB")},
        {find.ComboBox_Pozn, QStringLiteral("OR")},
        {find.ComboBox_Popis, QStringLiteral("OR")},
    };
    for (const auto& [box, initial] : boxes) {
        SCOPED_TRACE(box->objectName().toStdString());
        EXPECT_EQ(box->currentText(), initial);
        box->setCurrentIndex(box->count() - 1);
        const QString last = box->currentText();
        box->setEditText(QStringLiteral("x"));
        EXPECT_EQ(box->currentText(), initial);
        box->setEditText(last);
        EXPECT_EQ(box->currentText(), last);
    }
}

TEST_F(SearchTest, FindListViewShowsColumnsIconsAndTheDescription) {
    OpenArchiveOf(Disk7());
    TForm_Find3& find = Find3();
    find.CheckBoxZob->setChecked(true);
    find.show();
    EXPECT_TRUE(find.ListView->isVisible());
    EXPECT_FALSE(find.RichEdit->isVisible());
    EXPECT_TRUE(find.Memo->isVisible());
    EXPECT_FALSE(find.CheckBox_C->isVisible());
    Run(find, QStringLiteral("*"));
    EXPECT_EQ(Rows(find), (std::vector<std::string>{"\\DOC", "\\DOCS", "\\Readme.txt", "\\DOC\\OLD",
                                                    "\\DOC\\readme.txt", "\\DOC\\OLD\\Read.me",
                                                    "\\DOCS\\readme.txt"}));
    const SearchListModel& model = find.ListModel();
    EXPECT_EQ(model.Cell(2, SearchListModel::ColCD), "Disk 7");
    EXPECT_EQ(model.Cell(2, SearchListModel::ColSize), "2 048");
    EXPECT_EQ(model.Cell(2, SearchListModel::ColNote), "foo bar");
    ExpectNameColumnGetsTheRoom(*find.ListView, SearchListModel::ColName);
    EXPECT_FALSE(model.index(0, 0).data(Qt::DecorationRole).isNull());
    find.ListView->SelectRow(2);
    EXPECT_EQ(find.Memo->toPlainText(), QStringLiteral("first\nsecond"));
    find.ListView->SelectRow(3);
    EXPECT_EQ(find.Memo->toPlainText(), QString());
    // A click on "Velikost" orders the rows by size as numbers; the selected
    // row goes along.
    find.ListView->ColumnClicked(SearchListModel::ColSize);
    std::vector<std::string> sizes;
    for (int row = 0; row < model.rowCount(); ++row)
        sizes.push_back(model.Cell(row, SearchListModel::ColSize));
    EXPECT_EQ(sizes.back(), "5 000");
    EXPECT_EQ(sizes[sizes.size() - 2], "3 000");
    EXPECT_EQ(sizes[sizes.size() - 3], "2 048");
    ASSERT_EQ(find.ListView->SelectedRows().size(), 1u);
    EXPECT_EQ(model.Cell(find.ListView->SelectedRows().front(), SearchListModel::ColName), "OLD");
}

TEST_F(SearchTest, FindJumpsToTheEntryFromEitherView) {
    for (bool listView : {false, true}) {
        SCOPED_TRACE(listView);
        if (!window_) OpenArchiveOf(Disk7());
        window_->Content().ShowFolder("\\");
        TForm_Find3& find = Find3();
        find.CheckBoxZob->setChecked(listView);
        Run(find, QStringLiteral("read*"));
        ASSERT_EQ(Lines(find).size() + find.ListModel().rowCount(), 4u);
        if (listView) {
            find.ListView->SelectRow(2);
            QTest::keyClick(find.ListView->CurrentView(), Qt::Key_Return);
        } else {
            DoubleClickLine(find, 2);
        }
        EXPECT_FALSE(find.isVisible());
        EXPECT_EQ(window_->CurrentPath, "\\DOC\\OLD\\");
        EXPECT_EQ(window_->Controls().DirTitle->text(), QStringLiteral("\\DOC\\OLD\\"));
        EXPECT_EQ(SelectedNames(), std::vector<QString>{QStringLiteral("Read.me")});
        EXPECT_EQ(find.TextModel().rowCount() + find.ListModel().rowCount(), 0);
    }
}

TEST_F(SearchTest, FindStornoStopsTheSearchAndASecondStornoCloses) {
    OpenArchiveOf(MakeLargeArchive(20000));
    TForm_Find3& find = Find3();
    // Storno once the first results are shown; the worker waits meanwhile,
    // so none may come after them.
    std::size_t shownAtStop = 0;
    find.BatchHook = [&] {
        if (shownAtStop != 0 || find.TextModel().rowCount() == 0) return;
        shownAtStop = Lines(find).size();
        EXPECT_FALSE(find.Edit1->isEnabled());
        EXPECT_FALSE(find.CheckBoxZob->isEnabled());
        QTest::mouseClick(find.Button_Storno, Qt::LeftButton);
    };
    Run(find, QStringLiteral("file*"));
    EXPECT_TRUE(find.isVisible());
    EXPECT_GT(shownAtStop, 0u);
    EXPECT_EQ(Lines(find).size(), shownAtStop);
    EXPECT_EQ(find.CountText(), QString::number(Lines(find).size()));
    EXPECT_TRUE(find.Edit1->isEnabled());
    QTest::mouseClick(find.Button_Storno, Qt::LeftButton);
    EXPECT_FALSE(find.isVisible());
}

TEST_F(SearchTest, EscapeStopsARunningSearchAndClosesOnlyAnIdleWindow) {
    OpenArchiveOf(MakeLargeArchive(20000));
    for (TSearchWindow* find : std::initializer_list<TSearchWindow*>{&Find3(), &Find4()}) {
        SCOPED_TRACE(find->objectName().toStdString());
        // Escape reaches the window as it does from the focused result view:
        // through the event loop, while the search goes on.
        bool pressed = false;
        find->BatchHook = [&] {
            if (pressed || find->TextModel().rowCount() == 0) return;
            pressed = true;
            QCoreApplication::postEvent(
                find->RichEdit, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        };
        Run(*find, QStringLiteral("file*"));
        find->BatchHook = nullptr;
        EXPECT_TRUE(pressed);
        EXPECT_TRUE(find->isVisible());
        EXPECT_GT(Lines(*find).size(), 0u);
        EXPECT_LT(Lines(*find).size(), 20000u);
        EXPECT_TRUE(find->Edit1->isEnabled());
        QTest::keyClick(find->RichEdit, Qt::Key_Escape);
        EXPECT_FALSE(find->isVisible());
    }
}

TEST_F(SearchTest, FindSearchesThePatternAsTypedNotAsTheHistoryCompletesIt) {
    OpenArchiveOf(
        MakeArchive({{"\\",
                      {FileEntry("main.h"), FileEntry("index.html"), FileEntry("README.TXT"),
                       FileEntry("readme.txt"), FileEntry("Makefile")}}},
                    "Src"));
    TForm_Find3& find = Find3();
    find.CheckBox->setChecked(true); // case-sensitive
    for (const char* earlier : {"*.html", "*.txt"})
        Run(find, QString::fromUtf8(earlier)); // into the history and the drop-down
    const struct {
        const char* typed;
        std::vector<std::string> lines;
    } cases[] = {
        {"*.h", {"Src:\\  main.h"}},
        {"*.TXT", {"Src:\\  README.TXT"}},
        {"*",
         {"Src:\\  main.h", "Src:\\  index.html", "Src:\\  README.TXT", "Src:\\  readme.txt",
          "Src:\\  Makefile"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        QLineEdit* edit = find.Edit1->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, QString::fromUtf8(c.typed));
        EXPECT_EQ(find.Edit1->currentText(), QString::fromUtf8(c.typed));
        StartAndWait(find);
        EXPECT_EQ(Unmarked(Lines(find)), c.lines);
        EXPECT_EQ(find.Edit1->currentText(), QString::fromUtf8(c.typed));
        const std::vector<std::string>& history = Program().SearchHistory;
        EXPECT_NE(std::find(history.begin(), history.end(), c.typed), history.end());
    }
}

TEST_F(SearchTest, FindDoubleClickDuringTheSearchOnlyStopsIt) {
    OpenArchiveOf(MakeLargeArchive(20000));
    TForm_Find3& find = Find3();
    std::size_t shownAtStop = 0;
    find.BatchHook = [&] {
        if (shownAtStop != 0 || find.TextModel().rowCount() == 0) return;
        shownAtStop = Lines(find).size();
        DoubleClickLine(find, 0);
    };
    Run(find, QStringLiteral("file*"));
    EXPECT_TRUE(find.isVisible());
    EXPECT_GT(shownAtStop, 0u);
    EXPECT_EQ(Lines(find).size(), shownAtStop);
    EXPECT_EQ(window_->CurrentPath, "\\");
    // Once stopped, the same double click jumps.
    DoubleClickLine(find, 0);
    EXPECT_FALSE(find.isVisible());
    EXPECT_EQ(window_->CurrentPath, "\\folder0\\");
    EXPECT_EQ(SelectedNames(), std::vector<QString>{QStringLiteral("file_0.txt")});
}

TEST_F(SearchTest, FindResultCapsShowMax) {
    struct Case {
        bool listView;
        int entries;
        int shown;
        QString count;
    };
    const std::vector<Case> cases = {
        {true, 300, 300, QStringLiteral("300")},
        {true, 4000, 4000, QStringLiteral("Max")},
        {true, 4100, 4000, QStringLiteral("Max")},
        {false, 30100, 30000, QStringLiteral("Max")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entries);
        TArch arch = MakeLargeArchive(c.entries);
        if (!window_) {
            OpenArchiveOf(arch);
        } else {
            arch.Head.FileName = work_.File("L" + std::to_string(c.entries) + ".cd");
            WriteArchiveFile(arch);
            OpenThroughDialog(arch.Head.FileName);
        }
        TForm_Find3& find = Find3();
        find.CheckBoxZob->setChecked(c.listView);
        Run(find, QStringLiteral("file_*"));
        const int rows = c.listView ? find.ListModel().rowCount() : find.TextModel().rowCount();
        EXPECT_EQ(rows, c.shown);
        EXPECT_EQ(find.CountText(), c.count);
        if (c.listView) {
            EXPECT_EQ(find.ListModel().Cell(rows - 1, SearchListModel::ColName),
                      "file_" + std::to_string(c.shown - 1) + ".txt");
        }
        find.close();
    }
}

TEST_F(SearchTest, FindResultsAreClearedOnCloseANewArchiveARebuiltListAndDeletions) {
    struct Case {
        const char* what;
        bool clearOnClose;
        std::function<void(SearchTest&)> act;
        bool cleared;
    };
    const std::vector<Case> cases = {
        {"close", true, [](SearchTest& t) { t.Find3().close(); }, true},
        {"close kept", false, [](SearchTest& t) { t.Find3().close(); }, false},
        {"archive read", false, [](SearchTest& t) { t.OpenThroughDialog(t.archivePath_); }, true},
        {"list rebuilt", false, [](SearchTest& t) { t.window_->Archives().BuildArchiveList(); },
         true},
        {"entries deleted", false, [](SearchTest& t) { t.window_->Content().ClearSearchResults(); },
         true},
        {"folder shown", false, [](SearchTest& t) { t.window_->Content().ShowFolder("\\DOC\\"); },
         false},
    };
    OpenArchiveOf(Disk7());
    TForm_Find3& find = Find3();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        find.CheckBox_Clear->setChecked(c.clearOnClose);
        Run(find, QStringLiteral("*"));
        ASSERT_GT(find.TextModel().rowCount(), 0);
        find.hide();
        c.act(*this);
        EXPECT_EQ(find.TextModel().rowCount() == 0, c.cleared);
        window_->Content().ShowFolder("\\");
    }
}

TEST_F(SearchTest, FindRunsFromTheMenuAndLeavesTheEntrySelected) {
    OpenArchiveOf(Disk7());
    TForm_Find3& find = Find3();
    const QList<QAction*> menu = window_->Actions().Funkce->actions();
    ASSERT_EQ(menu.size(), 1);
    EXPECT_EQ(menu.front()->text(), QStringLiteral("Hledat..."));
    EXPECT_EQ(menu.front()->toolTip(), QStringLiteral("Hledat - Hledat v otevřeném archivu"));
    const QList<QAction*> tools = window_->Controls().ToolBar->actions();
    EXPECT_EQ(tools.indexOf(find.Action_Find), tools.indexOf(window_->Actions().Save) + 1);
    EXPECT_TRUE(window_->Actions().Funkce->menuAction()->isEnabled());
    Program().SearchHistory = {"*.*", "*", "abc"};
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(QApplication::activeModalWidget(), &find);
        EXPECT_EQ(find.Edit1->count(), 3);
        EXPECT_EQ(find.Edit1->currentText(), QStringLiteral("*.*"));
        Run(find, QStringLiteral("Read.me"));
        DoubleClickLine(find, 0);
        if (find.isVisible()) find.close();
    });
    Trigger("Action_Find");
    EXPECT_FALSE(find.isVisible());
    EXPECT_EQ(window_->CurrentPath, "\\DOC\\OLD\\");
    EXPECT_EQ(SelectedNames(), std::vector<QString>{QStringLiteral("Read.me")});
}

} // namespace orbisk::test
