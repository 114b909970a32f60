// The viewer orbidex: its window reaches the database reader and its settings
// file, and its panes are the database window's, read-only. The database
// model's rules are tested with the core.
#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTest>
#include <QTreeView>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

#include "ArchiveBuilder.h"
#include "FailingDevice.h"
#include "TestSupport.h"
#include "core/db/Database.h"
#include "gui/common/Dialogs.h"
#include "gui/common/ListView.h"
#include "gui/common/Prompt.h"
#include "gui/db/DbItemModel.h"
#include "gui/db/DbPanes.h"
#include "gui/db/DbTreeModel.h"
#include "gui/viewer/TForm_DB.h"

namespace orbisk::test {
namespace {

using viewer::TForm_DB;

std::vector<DirSpec> Games() {
    return {{"\\Hry\\",
             {{"DOOM", "1 000", "Hry 1", "\\DOOM", "", "Střílečka\x07z roku 1993\x07"},
              {"Quake", "2 000", "Hry 2", "\\QUAKE", "", ""}}},
            {"\\Hry\\Strategie\\", {{"Civilization", "3 000", "Hry 1", "\\CIV", "", ""}}}};
}

class ViewerTest : public ::testing::Test {
public:
    void SetUp() override {
        savedCwd_ = std::filesystem::current_path().string();
        std::filesystem::current_path(start_.Path());
        const char* xdg = std::getenv("XDG_CONFIG_HOME");
        savedXdg_ = xdg ? std::optional<std::string>(xdg) : std::nullopt;
        ::setenv("XDG_CONFIG_HOME", config_.Path().c_str(), 1);
    }
    void TearDown() override {
        window_.reset();
        std::filesystem::current_path(savedCwd_);
        if (savedXdg_)
            ::setenv("XDG_CONFIG_HOME", savedXdg_->c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }

    TForm_DB& Start() {
        window_ = std::make_unique<TForm_DB>(program_.Path());
        window_->show();
        EXPECT_TRUE(QTest::qWaitFor([this] { return window_->StartedUp(); }, 5000));
        return *window_;
    }
    void Close() {
        window_->close();
        window_.reset();
    }
    void Trigger(const char* name) {
        auto* action = window_->findChild<QAction*>(QString::fromLatin1(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    }
    std::vector<QString> Listed() const {
        std::vector<QString> names;
        const DbItemModel& items = window_->Panes().Items();
        for (int row = 0; row < items.rowCount(); ++row)
            names.push_back(items.Text(row, 0));
        return names;
    }
    void SelectNode(const std::string& path) {
        const QModelIndex node = window_->Panes().Tree().FindPath(path);
        ASSERT_TRUE(node.isValid()) << path;
        window_->Panes().TreeView->setCurrentIndex(node);
    }
    std::string UserSettings() const { return config_.File("orbisk/ORBIDEX.INI"); }

    TempDir program_, start_, config_, other_;
    ScriptedPrompt prompt_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<TForm_DB> window_;

private:
    std::string savedCwd_;
    std::optional<std::string> savedXdg_;
};

TEST_F(ViewerTest, AFirstStartShowsEmptyPanesAndSavesTheDefaultPath) {
    TForm_DB& window = Start();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Orbidex  (only viewer)"));
    EXPECT_EQ(window.Panes().Tree().rowCount(), 0);
    EXPECT_EQ(window.Panes().Items().rowCount(), 0);
    EXPECT_TRUE(prompt_.shown.empty());
    Trigger("Action_Exit");
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(ReadFile(UserSettings())
                    .starts_with("Orbidex, part of Orbisk\r\nVEviz/cd.db\r\ndefault.lng\r\n"));
    EXPECT_FALSE(FileExists(start_.File("VEviz/cd.db"))); // the viewer never writes a database
}

TEST_F(ViewerTest, AFileOpenedOnceOpensAgainAfterARestart) {
    const std::string path = other_.File("games.db");
    WriteArchiveFile(MakeArchive(path, "", Games()));
    const std::string before = ReadFile(path);
    Start();
    dialogs_.paths.push_back(QString::fromStdString(path));
    Trigger("Action_Open");
    ASSERT_EQ(dialogs_.requests.size(), 1u);
    EXPECT_EQ(dialogs_.requests[0].file.folder, QString::fromStdString(program_.Path()));
    EXPECT_EQ(dialogs_.requests[0].file.filter, QStringLiteral("Zpětný seznam (databáze)  (*.db)"));
    SelectNode("\\Hry\\");
    EXPECT_EQ(Listed(), (std::vector<QString>{"DOOM", "Quake"}));
    Close();

    Start();
    SelectNode("\\Hry\\Strategie\\");
    EXPECT_EQ(Listed(), (std::vector<QString>{"Civilization"}));
    Close();
    EXPECT_EQ(ReadFile(path), before);
}

TEST_F(ViewerTest, TheDescriptionPaneCannotBeTypedInto) {
    // The default path, below the folder the viewer was started in.
    std::filesystem::create_directory(start_.File("VEviz"));
    WriteArchiveFile(MakeArchive(start_.File("VEviz/cd.db"), "", Games()));
    TForm_DB& window = Start();
    SelectNode("\\Hry\\");
    window.Panes().List->SelectRow(0);
    QPlainTextEdit* memo = window.Panes().Memo;
    EXPECT_EQ(memo->toPlainText(), QString::fromUtf8("Střílečka\nz roku 1993"));
    memo->setFocus();
    QTest::keyClicks(memo, "typed");
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->toPlainText(), QString::fromUtf8("Střílečka\nz roku 1993"));
    window.Panes().List->Report()->selectAll();
    EXPECT_EQ(window.Panes().List->SelectedSlots().size(), 1u);
}

TEST_F(ViewerTest, AReadFailurePartWayKeepsWhatWasRead) {
    const std::string path = other_.File("games.db");
    WriteArchiveFile(MakeArchive(path, "", Games()));
    Start();
    FailingReadDevice device(ReadFile(path).find("Quake"));
    TScopedReadDevice seam(device);
    dialogs_.paths.push_back(QString::fromStdString(path));
    Trigger("Action_Open");
    SelectNode("\\Hry\\");
    EXPECT_EQ(Listed(), (std::vector<QString>{"DOOM"}));
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0].text,
              QString::fromUtf8("Nemohu číst zvolený soubor, asi jej používá jiný program."));
}

TEST_F(ViewerTest, SettingsOfTheProgramFolderAreUsedAsTheyAre) {
    // An old file made on Windows: a Windows-1250 path with backslashes.
    const std::string own = program_.File("ORBIDEX.INI");
    WriteFile(own, "Orbidex, part of Orbisk\r\nD\\Hry\\datab\xe1ze.db\r\nenglish.lng\r\n");
    Start();
    EXPECT_EQ(window_->Settings().DatabasePath, "D/Hry/databáze.db");
    EXPECT_EQ(window_->Settings().LanguageFile, "english.lng");
    Close();
    EXPECT_TRUE(ReadFile(own).starts_with(
        "Orbidex, part of Orbisk\r\nD/Hry/databáze.db\r\nenglish.lng\r\n"));
    EXPECT_FALSE(FileExists(UserSettings()));
}

TEST_F(ViewerTest, TheWindowsLayoutIsTheSameAfterARestart) {
    Start();
    QHeaderView* header = window_->Panes().List->Report()->header();
    header->resizeSection(2, 173);
    Close();
    Start();
    EXPECT_EQ(window_->Panes().List->Report()->header()->sectionSize(2), 173);
}

} // namespace
} // namespace orbisk::test
