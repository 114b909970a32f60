// The main window's spine: start-up, opening and saving archives, and every
// way of leaving an archive keeping what was typed into it.
#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolBar>
#include <algorithm>
#include <filesystem>
#include <functional>

#include "GuiTestSupport.h"
#include "core/settings/SettingsFiles.h"
#include "gui/Windows.h"
#include "gui/common/ListView.h"
#include "gui/mainwin/ContentBrowser.h"
#include "gui/mainwin/ContentModel.h"
#include "gui/scan/TForm_EXE.h"

namespace orbisk::test {
namespace {

const std::vector<DirSpec> kGames = {
    {"\\",
     {{.name = "DOOM", .attr = "d----"},
      {.name = "readme.txt",
       .size = "1520",
       .note = "read first",
       .description = "Installation notes\x07"},
      {.name = "setup.exe", .size = "2048"}}},
    {"\\DOOM\\", {}},
};

TEST_F(MainWindowTest, StartsInTheWorkingFolderWithNothingToSave) {
    const QString cwd = QDir::currentPath();
    TForm_Main& w = StartWindow();
    EXPECT_FALSE(w.Busy());
    EXPECT_EQ(QDir::currentPath(), cwd);
    EXPECT_EQ(w.WorkingFolder(), QString::fromStdString(work_.Path()));
    EXPECT_EQ(w.Controls().StatusArchives->text(), QStringLiteral("0"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Orbisk   v1.18    ") + w.WorkingFolder() + "/");
    EXPECT_EQ(w.Controls().TreeTitle->text(), QStringLiteral(" [ ]"));
    EXPECT_EQ(w.Controls().DirTitle->text(), QStringLiteral("\\"));
    EXPECT_FALSE(w.Actions().Save->isEnabled());
    EXPECT_FALSE(w.Controls().Edit_Pozn->isEnabled());
    EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(MainWindowTest, TheWorkingFolderLiesInTheStartFolderOrFallsBackToIt) {
    const struct {
        const char* what;
        std::string setting;  // the working folder the settings name
        std::string expected; // below the start folder
    } rows[] = {
        {"relative, present", "VEviz", "VEviz"},
        {"relative, absent", "gone", ""},
        {"absolute, absent", "/nonexistent-folder-of-orbisk", ""},
    };
    std::filesystem::create_directory(work_.File("VEviz"));
    const QString cwd = QDir::currentPath();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        Program().StartDir = work_.Path();
        ASSERT_TRUE(SaveSettingsLines(program_.File("config/orbisk/Orbisk.INI"),
                                      {kMainCaption, row.setting, "default.lng"}));
        TForm_Main& w = StartWindow();
        EXPECT_EQ(w.WorkingFolder(),
                  Q(row.expected.empty() ? work_.Path() : work_.File(row.expected)));
        EXPECT_EQ(QDir::currentPath(), cwd);
        EXPECT_TRUE(prompt_.shown.empty());
        window_.reset();
    }
}

TEST_F(MainWindowTest, MenusWithoutCommandsYetAreDisabled) {
    TForm_Main& w = StartWindow();
    std::vector<std::pair<QString, bool>> menus;
    for (QAction* a : w.menuBar()->actions())
        menus.emplace_back(a->text(), a->isEnabled());
    const std::vector<std::pair<QString, bool>> expected = {{QStringLiteral("&Soubor"), true},
                                                            {QStringLiteral("&Funkce"), false},
                                                            {QStringLiteral("&Zobrazit"), true},
                                                            {QString::fromUtf8("&Možnosti"), false},
                                                            {QString::fromUtf8("&Nápověda"), true}};
    EXPECT_EQ(menus, expected);
}

TEST_F(MainWindowTest, OpensAnArchiveChosenInTheOpenDialogAndSavesItWithABackup) {
    const std::string path = work_.File("GAMES1.cd");
    WriteArchiveFile(MakeArchive(path, "Games 1", kGames));
    TForm_Main& w = StartWindow();
    OpenThroughDialog(path);

    ASSERT_EQ(dialogs_.requests.size(), 1u);
    const FileRequest& asked = dialogs_.requests[0].file;
    EXPECT_EQ(asked.filter, QStringLiteral("CD list (*.cd)"));
    EXPECT_EQ(asked.defaultSuffix, QStringLiteral("cd"));
    EXPECT_EQ(asked.folder, QString::fromStdString(work_.Path()));

    EXPECT_EQ(w.Controls().TreeTitle->text(), QStringLiteral("Games 1"));
    EXPECT_EQ(w.Content().Model().rowCount(), 3);
    EXPECT_EQ(w.Controls().StatusTotals->text(), QString::fromUtf8(" 3 kB v 2 souborech"));
    EXPECT_TRUE(w.Controls().Edit_Pozn->isEnabled());

    TypeNote(1, QStringLiteral("see also setup"));
    EXPECT_TRUE(w.Actions().Save->isEnabled());
    EXPECT_EQ(w.Content().Model().data(w.Content().Model().index(1, ContentModel::ColNote),
                                       Qt::DisplayRole),
              QStringLiteral("see also setup"));
    Trigger("Action_Save");
    EXPECT_FALSE(w.Actions().Save->isEnabled());
    EXPECT_FALSE(w.Modified());
    EXPECT_EQ(RootEntries(path).at(1).Note, "see also setup");
    EXPECT_EQ(RootEntries(work_.File("GAMES1.bak")).at(1).Note, "read first");
    EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(MainWindowTest, TheContentListsNameColumnGetsTheRoom) {
    TForm_Main& w = StartWindow();
    ExpectNameColumnGetsTheRoom(*w.Controls().ListView_Dir, ContentModel::ColName);
}

TEST_F(MainWindowTest, ACancelledOpenDialogKeepsTheOpenArchive) {
    const std::string path = work_.File("A.cd");
    WriteArchiveFile(MakeArchive(path, "Archive A", kGames));
    TForm_Main& w = StartWindow();
    OpenThroughDialog(path);
    Trigger("Action_Open"); // no answer queued: cancelled
    EXPECT_EQ(w.Controls().TreeTitle->text(), QStringLiteral("Archive A"));
    EXPECT_EQ(w.CurrentArchive.Head.FileName, path);
}

TEST_F(MainWindowTest, AMissingArchiveFileIsReportedAndListsNothing) {
    TForm_Main& w = StartWindow();
    OpenThroughDialog(work_.File("gone.cd"));
    EXPECT_EQ(prompt_.Texts(PromptKind::Information),
              std::vector<QString>{QString::fromUtf8("Soubor není k dispozici.")});
    EXPECT_EQ(w.Content().Model().rowCount(), 0);
    EXPECT_FALSE(w.Actions().Save->isEnabled());
}

// Every way of leaving an edited archive writes what was typed into it.
TEST_F(MainWindowTest, EditsReachTheFileWhicheverWayTheArchiveIsLeft) {
    struct Row {
        const char* what;
        std::function<void(MainWindowTest&)> edit;
        std::function<void(MainWindowTest&)> leave;
        std::string note, description;
    };
    auto typeNote = [](MainWindowTest& t) { t.TypeNote(1, QStringLiteral("typed")); };
    auto typeTwoLines = [](MainWindowTest& t) {
        t.TypeNote(2, QStringLiteral("x"));
        QPlainTextEdit* memo = t.window_->Controls().Memo_Popis;
        QTest::keyClicks(memo, QStringLiteral("line 1"));
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, QStringLiteral("line 2"));
    };
    auto close = [](MainWindowTest& t) { t.window_->close(); };
    auto storeThenClose = [](MainWindowTest& t) {
        t.window_->StorePendingNote();
        t.window_->close();
    };
    auto selectOtherRowThenClose = [](MainWindowTest& t) {
        t.window_->Controls().ListView_Dir->SelectRow(0);
        EXPECT_FALSE(t.window_->NoteEdited());
        t.window_->close();
    };
    auto openOther = [](MainWindowTest& t) {
        t.OpenThroughDialog(t.work_.File("B.cd"));
        EXPECT_EQ(t.window_->Controls().TreeTitle->text(), QStringLiteral("Archive B"));
        EXPECT_FALSE(t.window_->Actions().Save->isEnabled());
        EXPECT_FALSE(t.window_->Modified());
    };
    const std::string kNotes = kGames[0].entries[1].description;
    const Row rows[] = {
        {"closing while the note is being typed", typeNote, close, "typed", kNotes},
        {"closing with a stored note", typeNote, storeThenClose, "typed", kNotes},
        {"selecting another entry, then closing", typeNote, selectOtherRowThenClose, "typed",
         kNotes},
        {"opening another archive", typeNote, openOther, "typed", kNotes},
        {"closing while a description is being typed", typeTwoLines, close, "x",
         "line 1\x07line 2\x07"},
        {"opening another archive while a description is being typed", typeTwoLines, openOther, "x",
         "line 1\x07line 2\x07"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string a = work_.File("A.cd");
        WriteArchiveFile(MakeArchive(a, "Archive A", kGames));
        WriteArchiveFile(MakeArchive(work_.File("B.cd"), "Archive B", kGames));
        StartWindow();
        OpenThroughDialog(a);
        row.edit(*this);
        EXPECT_TRUE(window_->Actions().Save->isEnabled());
        row.leave(*this);
        std::vector<TRec> saved = RootEntries(a);
        ASSERT_EQ(saved.size(), kGames[0].entries.size());
        int row1 = row.description == kNotes ? 1 : 2;
        EXPECT_EQ(saved[static_cast<std::size_t>(row1)].Note, row.note);
        EXPECT_EQ(saved[static_cast<std::size_t>(row1)].Description, row.description);
        window_.reset();
    }
}

TEST_F(MainWindowTest, ClosingWithoutEditsWritesNothing) {
    const std::string a = work_.File("A.cd");
    WriteArchiveFile(MakeArchive(a, "Archive A", kGames));
    StartWindow();
    OpenThroughDialog(a);
    window_->close();
    EXPECT_FALSE(FileExists(work_.File("A.bak")));
}

TEST_F(MainWindowTest, AFailedSaveKeepsTheEditsAndTheOpenArchive) {
    std::filesystem::create_directory(work_.File("sub"));
    const std::string a = work_.File("sub/A.cd");
    WriteArchiveFile(MakeArchive(a, "Archive A", kGames));
    WriteArchiveFile(MakeArchive(work_.File("B.cd"), "Archive B", kGames));
    TForm_Main& w = StartWindow();
    OpenThroughDialog(a);
    TypeNote(1, QStringLiteral("typed"));
    std::filesystem::remove_all(work_.File("sub"));

    Trigger("Action_Save");
    EXPECT_TRUE(w.Modified());
    EXPECT_TRUE(w.Actions().Save->isEnabled());
    OpenThroughDialog(work_.File("B.cd"));
    EXPECT_EQ(w.Controls().TreeTitle->text(), QStringLiteral("Archive A"));
    EXPECT_EQ(w.CurrentArchive.Recs[2].Note, "typed");
    EXPECT_EQ(prompt_.Texts(PromptKind::Warning),
              (std::vector<QString>(2, QString::fromUtf8("Nelze vytvořit soubor."))));

    // Once the folder is back, the next save succeeds.
    std::filesystem::create_directory(work_.File("sub"));
    Trigger("Action_Save");
    EXPECT_FALSE(w.Modified());
    EXPECT_EQ(RootEntries(a).at(1).Note, "typed");
}

TEST_F(MainWindowTest, TypedTextIsStoredInTheCodePageOfTheArchive) {
    struct Row {
        const char* what;
        std::string existingNote;
        std::string stored;
    } rows[] = {
        {"UTF-8 archive", "k\xc5\xaf\xc5\x88", "\xc4\x8d\x61s"},
        {"Windows-1250 archive", "k\xf9\xf2", "\xe8\x61s"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string a = work_.File("A.cd");
        WriteArchiveFile(MakeArchive(
            a, "Archive A",
            {{"\\",
              {{.name = "kun.txt", .size = "1", .attr = " ----", .note = row.existingNote}}}}));
        StartWindow();
        OpenThroughDialog(a);
        EXPECT_EQ(window_->Controls().Edit_Pozn->text(), QString::fromUtf8("kůň"));
        TypeNote(0, QString::fromUtf8("čas"));
        window_->close();
        EXPECT_EQ(RootEntries(a).at(0).Note, row.stored);
        window_.reset();
    }
}

TEST(Windows, AreCreatedOnceInTheFixedOrderWithTheMainWindowFirst) {
    TWindows windows;
    ASSERT_FALSE(windows.InCreationOrder().empty());
    EXPECT_EQ(windows.InCreationOrder().front(), &windows.Main());
    EXPECT_EQ(windows.Main().objectName(), QStringLiteral("Form_Main"));
    EXPECT_EQ(windows.Find<TForm_Main>(), &windows.Main());
    for (QWidget* w : windows.InCreationOrder())
        if (w != &windows.Main()) {
            EXPECT_EQ(w->parent(), &windows.Main());
        }
    // The windows built so far come in the fixed order.
    const QStringList order = {"Form_Main",    "Form_ReadCD", "Form_Vlastnosti", "Form_Find3",
                               "Form_Find4",   "Form_Tohtml", "Form_About",      "Form_DB",
                               "Form_DB_Kat",  "Form_DBedit", "Form_DB_HTML",    "Form_EXE",
                               "Form_Konv_WC", "Form_Setup",  "Form_Mask",       "Form_TXT_Files"};
    qsizetype at = -1;
    for (QWidget* w : windows.InCreationOrder()) {
        const qsizetype place = order.indexOf(w->objectName());
        EXPECT_GT(place, at) << w->objectName().toStdString();
        at = place;
    }
    EXPECT_NE(windows.Find<TForm_EXE>(), nullptr);
}

TEST(Windows, ToolBarCommandsAreTellableApartAndMenusOpenByKey) {
    TWindows windows;
    const TForm_Main& main = windows.Main();
    std::vector<QImage> pictures;
    QStringList hints;
    for (QAction* action : main.Controls().ToolBar->actions()) {
        if (action->isSeparator()) continue;
        SCOPED_TRACE(action->objectName().toStdString());
        const QImage picture = action->icon().pixmap(QSize(16, 16)).toImage();
        EXPECT_FALSE(picture.isNull());
        EXPECT_EQ(std::count(pictures.begin(), pictures.end(), picture), 0);
        EXPECT_FALSE(hints.contains(action->toolTip())) << action->toolTip().toStdString();
        pictures.push_back(picture);
        hints.append(action->toolTip());
    }
    EXPECT_GE(pictures.size(), 13u);

    QString letters;
    for (QAction* menu : main.menuBar()->actions()) {
        const QString title = menu->text();
        const qsizetype amp = title.indexOf(QLatin1Char('&'));
        ASSERT_GE(amp, 0) << title.toStdString();
        const QChar letter = title.at(amp + 1).toLower();
        EXPECT_FALSE(letters.contains(letter)) << title.toStdString();
        letters += letter;
    }
    QList<QKeySequence> keys;
    for (const char* name : {"Action_Find", "Action_FindAll"}) {
        const QKeySequence key = main.findChild<QAction*>(QString::fromLatin1(name))->shortcut();
        EXPECT_FALSE(key.isEmpty()) << name;
        EXPECT_FALSE(keys.contains(key)) << name;
        keys.append(key);
    }
}

} // namespace
} // namespace orbisk::test
