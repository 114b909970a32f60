// The setup window's wiring: the colour dialog and the panes a colour
// reaches, the option boxes reaching the windows that read them, the options
// kept by the settings file and applied at start-up, "Ulož INI nyní", the
// hidden refresh of the language files and the samples in another language.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <filesystem>
#include <functional>
#include <sys/stat.h>

#include "GuiTestSupport.h"
#include "core/settings/SettingsFiles.h"
#include "gui/Windows.h"
#include "gui/common/SystemIcons.h"
#include "gui/db/DbPanes.h"
#include "gui/db/TForm_DB.h"
#include "gui/mainwin/ArchiveTreeHandler.h"
#include "gui/scan/TForm_EXE.h"
#include "gui/search/SearchOptions.h"
#include "gui/settings/LanguageApplier.h"
#include "gui/settings/SettingsApplier.h"
#include "gui/settings/TForm_Setup.h"

namespace orbisk::test {
namespace {

class SetupWindowTest : public MainWindowTest {
protected:
    TForm_Setup& Start() {
        windows_ = std::make_unique<TWindows>();
        windows_->Main().show();
        EXPECT_TRUE(QTest::qWaitFor([this] { return windows_->Main().StartedUp(); }, 5000));
        return *windows_->Find<TForm_Setup>();
    }
    void TearDown() override {
        windows_.reset();
        SearchOptions() = TSearchOptions{};
        MainWindowTest::TearDown();
    }
    QColor DbTreeColour() const {
        return windows_->Find<TForm_DB>()->Panes().TreeView->palette().color(QPalette::Base);
    }
    std::string Settings() const { return program_.File("config/orbisk/Orbisk.INI"); }

    std::unique_ptr<TWindows> windows_;
};

TEST_F(SetupWindowTest, ColourDialogAndTheDatabaseTreeColour) {
    TForm_Setup& setup = Start();
    QTreeView* tree = windows_->Find<TForm_DB>()->Panes().TreeView;
    const QColor system = QApplication::palette(tree).color(QPalette::Base);
    EXPECT_EQ(DbTreeColour(), system);
    setup.ColourBoxes[5]->click(); // "Levé okno DB"
    const QColor preset = setup.Samples[5]->palette().color(QPalette::Base);
    EXPECT_EQ(DbTreeColour(), preset);

    struct Row {
        std::optional<QColor> answer;
        QColor expected;
    };
    const QColor red(Qt::red);
    for (const Row& row : {Row{std::nullopt, preset}, Row{red, red}}) {
        const QColor before = setup.Samples[5]->palette().color(QPalette::Base);
        dialogs_.colours.push_back(row.answer);
        setup.ColourButtons[5]->click();
        ASSERT_EQ(dialogs_.requests.back().kind, DialogKind::ChooseColour);
        EXPECT_EQ(dialogs_.requests.back().colour, before);
        EXPECT_EQ(setup.Samples[5]->palette().color(QPalette::Base), row.expected);
        EXPECT_EQ(DbTreeColour(), row.expected);
    }
    // The eight custom colours, given blue first: "D8D0C8" is a grey-blue.
    ASSERT_EQ(dialogs_.requests.back().custom.size(), 8u);
    EXPECT_EQ(dialogs_.requests.back().custom[0], QColor(0xC8, 0xD0, 0xD8));

    setup.ColourBoxes[5]->click();
    EXPECT_EQ(DbTreeColour(), system);
}

TEST_F(SetupWindowTest, OptionBoxesReachTheWindowsThatReadThem) {
    TForm_Setup& setup = Start();
    TForm_Main& main = windows_->Main();
    struct Row {
        QCheckBox* box;
        std::function<bool()> reached; // true once the click has taken effect
    };
    const Row rows[] = {
        {setup.CheckBox_ShowUpper, [&] { return main.Controls().PanelCD->isHidden(); }},
        {setup.CheckBox_HideStar, [] { return SearchOptions().HideStarOption; }},
        {setup.CheckBox_SN,
         [&] { return windows_->Find<TForm_EXE>()->Options().AlwaysIgnoreSerial; }},
        {setup.CheckBox_ViewCD, [&] { return main.Archives().Options().ArchivesInTree; }},
        {setup.CheckBox_TreeDir, [&] { return !main.Controls().PanelTreeDir->isHidden(); }},
        {setup.CheckBox_Description_Wrap,
         [&] { return !main.Controls().CheckBox_Wrap->isChecked(); }},
        {setup.CheckBox_ViewWrap, [&] { return !main.Controls().CheckBox_Wrap->isHidden(); }},
        {setup.CheckBox_ICO, [] { return SystemIconsOn(); }},
    };
    for (const Row& row : rows) {
        EXPECT_FALSE(row.reached()) << row.box->objectName().toStdString();
        row.box->click();
        EXPECT_TRUE(row.reached()) << row.box->objectName().toStdString();
    }
    SetSystemIcons(false); // the switch is the whole program's
    // The folder tree's "X" clears its box too.
    main.Controls().CloseTreeDirButton->click();
    EXPECT_FALSE(setup.CheckBox_TreeDir->isChecked());

    // Cleared, the settings are not written at the end.
    setup.CheckBox_INI->click();
    std::filesystem::remove(Settings());
    main.close();
    EXPECT_FALSE(FileExists(Settings()));
}

TEST_F(SetupWindowTest, OptionsAndColoursSurviveARestartAndApplyAtStartUp) {
    {
        TForm_Setup& setup = Start();
        setup.ColourBoxes[5]->click();
        SetColourValue(*setup.Samples[5], 0x123456);
        setup.CheckBox_ShowUpper->click();
        windows_->Main().close();
    }
    TForm_Setup& setup = Start();
    EXPECT_TRUE(setup.ColourBoxes[5]->isChecked());
    EXPECT_FALSE(setup.CheckBox_ShowUpper->isChecked());
    EXPECT_EQ(ColourValue(*setup.Samples[5]), 0x123456);
    EXPECT_EQ(DbTreeColour(), QColor(0x56, 0x34, 0x12));
    EXPECT_TRUE(windows_->Main().Controls().PanelCD->isHidden());
}

TEST_F(SetupWindowTest, SaveNowRewritesAReadOnlyFileAndSaysWhenItCannot) {
    TForm_Setup& setup = Start();
    ASSERT_EQ(::chmod(Settings().c_str(), 0444), 0);
    setup.Button_SaveIni->click();
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadSettingsLines(Settings(), lines));
    EXPECT_NE(std::find(lines.begin(), lines.end(), "CheckBox_ShowUpper.Checked = \"1\""),
              lines.end());
    struct stat st {};
    ASSERT_EQ(::stat(Settings().c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IWUSR);
    EXPECT_TRUE(prompt_.shown.empty());

    // No folder can be made where the file should go.
    std::filesystem::remove_all(program_.File("config/orbisk"));
    WriteFile(program_.File("config/orbisk"), "a file, not a folder");
    setup.Button_SaveIni->click();
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0].title, QStringLiteral("File not Rewriten"));
    EXPECT_EQ(prompt_.shown[0].text, QStringLiteral("I/O error ?"));
}

TEST_F(SetupWindowTest, OnlyTheKeySequenceOnItsOwnRefreshesTheLanguageFiles) {
    WriteFile(program_.File("ENGLISH.LNG"),
              "[Form_Main]\r\nAction_Open.Caption = \"Open ...\"\r\n");
    WriteFile(program_.File("CZECH.LNG"), "[Form_Main]\r\n");
    const std::string german = "[Form_Main]\r\nAction_Save.Caption = \"Speichern\"\r\n";
    WriteFile(program_.File("DE.lng"), german);
    // A file that cannot be read is not replaced by the English texts.
    std::filesystem::create_symlink(program_.File("gone"), program_.File("GONE.lng"));
    TForm_Setup& setup = Start();
    const QString open = windows_->Main().Actions().Open->text();
    struct Row {
        const char* keys;
        bool refreshed;
    };
    for (const Row& row : {Row{"abcqzxwkjvh", false}, Row{"qzxwkjvh", true}}) {
        setup.show(); // each showing starts an empty buffer
        QTest::keyClicks(setup.Button_SaveIni, QString::fromLatin1(row.keys));
        setup.hide();
        EXPECT_EQ(ReadFile(program_.File("DE.lng")) != german, row.refreshed) << row.keys;
    }
    std::vector<std::string> lines;
    ASSERT_TRUE(ReadSettingsLines(program_.File("DE.lng"), lines));
    EXPECT_EQ(lines.size(), LanguageLines(windows_->Main().Windows()).size());
    for (const char* expected :
         {"Action_Save.Caption = \"Speichern\"", "Action_Open.Caption = \"Open ...\""})
        EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end()) << expected;
    EXPECT_EQ(ReadFile(program_.File("CZECH.LNG")), "[Form_Main]\r\n");
    EXPECT_FALSE(FileExists(program_.File("config/orbisk/GONE.lng")));
    // The program shows the texts it showed before.
    EXPECT_EQ(windows_->Main().Actions().Open->text(), open);
    EXPECT_EQ(windows_->Main().Actions().Save->text(), QString::fromUtf8("Uložit"));
}

TEST_F(SetupWindowTest, SamplesShowTheCaptionsOfTheLanguageLoaded) {
    TForm_Setup& setup = Start();
    std::vector<QString> czech;
    for (QCheckBox* box : setup.ColourBoxes)
        czech.push_back(box->text());
    ASSERT_TRUE(ImportLanguage(windows_->Main().Windows(),
                               std::string(ORBISK_RESOURCES_DIR) + "/ENGLISH.LNG"));
    setup.show();
    for (std::size_t i = 0; i < setup.Samples.size(); ++i) {
        EXPECT_NE(setup.Samples[i]->text(), czech[i]);
        EXPECT_EQ(setup.Samples[i]->text(), setup.ColourBoxes[i]->text());
    }
    setup.hide();
}

} // namespace
} // namespace orbisk::test
