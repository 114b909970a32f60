// The working folder commands, the language entries, the help commands and
// the about window.
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "GuiTestSupport.h"
#include "core/catalog/ArchiveList.h"
#include "gui/mainwin/ContentBrowser.h"
#include "gui/mainwin/ContentModel.h"
#include "gui/settings/TForm_About.h"

namespace orbisk::test {
namespace {

const std::vector<DirSpec> kOne = {{"\\", {{"readme.txt", "10"}}}};

TEST_F(MainWindowTest, ChangingTheWorkingFolderEntersTheChosenFolderOrWarns) {
    enum class How { LocalMenu, LocalButton, GlobalMenu };
    struct Row {
        const char* what;
        How how;
        std::string chosen; // relative to the test's folders; empty: cancelled
        bool rootIsStartDir;
        bool entered;
        bool warned;
    } rows[] = {
        {"local, the default folder in the start folder", How::LocalMenu, "start:VEviz", true, true,
         false},
        {"local, through the tree pane's button", How::LocalButton, "start:VEviz", true, true,
         false},
        {"anywhere, another folder", How::GlobalMenu, "work:other", false, true, false},
        {"anywhere, a folder that is gone", How::GlobalMenu, "work:gone", false, false, true},
        {"cancelled", How::GlobalMenu, "", false, false, false},
    };
    TempDir start;
    std::filesystem::create_directory(start.File("VEviz"));
    std::filesystem::create_directory(work_.File("other"));
    const QString cwd = QDir::currentPath();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        WriteArchiveFile(MakeArchive(work_.File("A.cd"), "Archive A", kOne));
        Program().StartDir = start.Path();
        TForm_Main& w = StartWindow();
        OpenThroughDialog(work_.File("A.cd"));
        dialogs_.requests.clear();
        prompt_.shown.clear();
        QString chosen;
        if (!row.chosen.empty()) {
            std::string rest = row.chosen.substr(row.chosen.find(':') + 1);
            chosen = Q(row.chosen.rfind("start", 0) == 0 ? start.File(rest) : work_.File(rest));
            dialogs_.paths.push_back(chosen);
        }
        const QString before = w.WorkingFolder();
        if (row.how == How::LocalButton)
            QTest::mouseClick(w.Controls().WorkDirButton, Qt::LeftButton);
        else
            Trigger(row.how == How::LocalMenu ? "Action_ChangeDirLocal" : "Action_ChangeDirGlobal");

        ASSERT_EQ(dialogs_.requests.size(), 1u);
        const FolderRequest& asked = dialogs_.requests[0].folder;
        EXPECT_EQ(asked.title, QString::fromUtf8("Vyber pracovní adresář ..."));
        EXPECT_EQ(asked.root, row.rootIsStartDir ? Q(start.Path()) : QString());
        const QString expected = row.entered ? chosen : before;
        EXPECT_EQ(w.WorkingFolder(), expected);
        EXPECT_EQ(QDir::currentPath(), cwd);
        EXPECT_EQ(w.windowTitle(),
                  QStringLiteral("Orbisk   v1.18    ") +
                      Q(WorkingFolderCaption(expected.toStdString(), program_.Path())));
        EXPECT_EQ(prompt_.Texts(PromptKind::Warning).size(), row.warned ? 1u : 0u);
        if (row.warned) {
            EXPECT_EQ(prompt_.Texts(PromptKind::Warning)[0],
                      QString::fromUtf8("Nelze nalézt adresář."));
        }
        // A chosen folder empties the panes even when it cannot be entered;
        // the archive stays open.
        const bool chose = !row.chosen.empty();
        EXPECT_EQ(w.Controls().TreeTitle->text(),
                  chose ? QStringLiteral(" [ ]") : QStringLiteral("Archive A"));
        EXPECT_EQ(w.Content().Model().rowCount(), chose ? 0 : 1);
        EXPECT_EQ(w.CurrentArchive.Head.Name, "Archive A");
        Program().WorkingDirectory = work_.Path();
        window_.reset();
    }
}

TEST_F(MainWindowTest, AnArchiveOpenedByItsBareNameIsSavedInItsOwnFolder) {
    WriteArchiveFile(MakeArchive(work_.File("A.cd"), "Archive A", kOne));
    std::filesystem::create_directory(work_.File("other"));
    TForm_Main& w = StartWindow();
    w.OpenArchive("A.cd");
    ASSERT_EQ(w.Content().Model().rowCount(), 1);
    EXPECT_EQ(w.CurrentArchive.Head.FileName, work_.File("A.cd"));
    TypeNote(0, QStringLiteral("typed"));
    dialogs_.paths.push_back(Q(work_.File("other")));
    Trigger("Action_ChangeDirGlobal");
    ASSERT_EQ(w.WorkingFolder(), Q(work_.File("other")));
    // The change saved the archive and kept the flag; closing saves it again.
    EXPECT_TRUE(w.Modified());
    w.close();
    EXPECT_FALSE(FileExists(work_.File("other/A.cd")));
    EXPECT_EQ(RootEntries(work_.File("A.cd")).at(0).Note, "typed");
    EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(MainWindowTest, TheLanguageMenuListsTheLanguageFilesBesideTheProgram) {
    for (const char* name : {"default.lng", "English.lng", "a&b.lng", "OLD.LNG", "notes.txt"})
        WriteFile(program_.File(name), "");
    std::filesystem::create_directory(program_.File("dir.lng"));
    TForm_Main& w = StartWindow();
    QMenu* jazyk = w.Actions().Jazyk;
    EXPECT_TRUE(jazyk->menuAction()->isEnabled());
    std::map<QString, QString> captions; // file name -> caption
    QString checked;
    for (QAction* entry : w.Actions().Languages->actions()) {
        captions[entry->data().toString()] = entry->text();
        if (entry->isChecked()) checked = entry->data().toString();
    }
    const std::map<QString, QString> expected = {
        {QStringLiteral("English.lng"), QStringLiteral("English.lng")},
        {QStringLiteral("OLD.LNG"), QStringLiteral("OLD.LNG")},
        {QStringLiteral("a&b.lng"), QStringLiteral("a&&b.lng")},
        {QStringLiteral("default.lng"), QStringLiteral("default.lng")},
    };
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(checked, QStringLiteral("default.lng"));

    for (const char* choice : {"English.lng", "a&b.lng"}) {
        for (QAction* entry : w.Actions().Languages->actions())
            if (entry->data().toString() == QLatin1String(choice)) entry->trigger();
        EXPECT_EQ(Program().LanguageFile, choice);
        EXPECT_EQ(w.Actions().Languages->checkedAction()->data().toString(), QLatin1String(choice));
    }
}

TEST_F(MainWindowTest, WithoutLanguageFilesTheLanguageMenuOffersImportAndExport) {
    TForm_Main& w = StartWindow();
    EXPECT_TRUE(w.Actions().Languages->actions().isEmpty());
    EXPECT_TRUE(w.Actions().Jazyk->menuAction()->isEnabled());
    EXPECT_EQ(w.Actions().Jazyk->actions().at(0), w.Actions().LanguageImport);
    EXPECT_EQ(w.Actions().Jazyk->actions().at(1), w.Actions().LanguageExport);
}

TEST_F(MainWindowTest, HelpOpensTheHelpFileOrTheShippedGuide) {
    struct Row {
        const char* what;
        bool chm, guide;
        const char* opened; // beside the program; nullptr: nothing to open
    } rows[] = {
        {"both present", true, true, "orbisk.chm"},
        {"only the guide", false, true, "help/index.html"},
        {"neither", false, false, nullptr},
    };
    std::filesystem::create_directory(program_.File("help"));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove(program_.File("orbisk.chm"));
        std::filesystem::remove(program_.File("help/index.html"));
        if (row.chm) WriteFile(program_.File("orbisk.chm"), "x");
        if (row.guide) WriteFile(program_.File("help/index.html"), "<html></html>");
        shell_.opened.clear();
        prompt_.shown.clear();
        StartWindow();
        Trigger("Action_Help");
        if (row.opened) {
            ASSERT_EQ(shell_.opened.size(), 1u);
            EXPECT_EQ(shell_.opened[0], QUrl::fromLocalFile(Q(program_.File(row.opened))));
            EXPECT_TRUE(prompt_.shown.empty());
        } else {
            EXPECT_TRUE(shell_.opened.empty());
            EXPECT_EQ(prompt_.Texts(PromptKind::Information),
                      std::vector<QString>{QString::fromUtf8("Soubor není k dispozici.")});
        }
        window_.reset();
    }
}

// Until the project has a site of its own, the home page is the shipped
// guide; the about window's button opens the same page.
TEST_F(MainWindowTest, HomePageOpensTheShippedGuideFromTheMenuAndTheAboutWindow) {
    struct Row {
        const char* what;
        const char* programDir; // below the test's program folder
        bool guide;
        bool fromAbout;
    } rows[] = {
        {"menu, guide present", "", true, false},
        {"menu, a folder with a blank and a Czech letter", "my k\xC5\xAF\xC5\x88", true, false},
        {"menu, guide missing", "", false, false},
        {"about window's button", "", true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string dir = *row.programDir ? program_.File(row.programDir) : program_.Path();
        std::filesystem::remove_all(dir + "/help");
        std::filesystem::create_directories(dir + "/help");
        if (row.guide) WriteFile(dir + "/help/index.html", "<html></html>");
        Program().ProgramDir = dir;
        shell_.opened.clear();
        prompt_.shown.clear();
        StartWindow();
        if (row.fromAbout) {
            bool shown = false;
            QTimer::singleShot(0, [&] {
                auto* about = qobject_cast<TForm_About*>(QApplication::activeModalWidget());
                ASSERT_NE(about, nullptr);
                shown = true;
                EXPECT_EQ(about->windowTitle(), QString::fromUtf8("O programu"));
                EXPECT_FALSE(about->Memo_CZ->toPlainText().isEmpty());
                EXPECT_FALSE(about->Memo_EN->toPlainText().isEmpty());
                QTest::mouseClick(about->Button_WWW, Qt::LeftButton);
                QTest::mouseClick(about->Button_OK, Qt::LeftButton);
            });
            Trigger("Action_About");
            EXPECT_TRUE(shown);
            EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        } else {
            Trigger("Action_HomePage");
        }
        if (row.guide) {
            ASSERT_EQ(shell_.opened.size(), 1u);
            EXPECT_EQ(shell_.opened[0], QUrl::fromLocalFile(Q(dir + "/help/index.html")));
            EXPECT_TRUE(prompt_.shown.empty());
        } else {
            EXPECT_TRUE(shell_.opened.empty());
            EXPECT_EQ(prompt_.Texts(PromptKind::Information),
                      std::vector<QString>{QString::fromUtf8("Soubor není k dispozici.")});
        }
        window_.reset();
    }
}

TEST_F(MainWindowTest, HelpAndHomePageTheDesktopCannotOpenAreReported) {
    WriteFile(program_.File("orbisk.chm"), "x");
    std::filesystem::create_directory(program_.File("help"));
    WriteFile(program_.File("help/index.html"), "<html></html>");
    shell_.result = false;
    StartWindow();
    Trigger("Action_Help");
    Trigger("Action_HomePage");
    EXPECT_EQ(shell_.opened.size(), 2u);
    const QString cannot = QString::fromUtf8("Nelze otevřít ");
    EXPECT_EQ(prompt_.Texts(PromptKind::Warning),
              (std::vector<QString>{cannot + Q(program_.File("orbisk.chm")),
                                    cannot + Q(program_.File("help/index.html"))}));
}

} // namespace
} // namespace orbisk::test
