// The settings file and the language files over the live windows: every
// window's round trip, a layout kept across a restart, the appliers' rules,
// the shipped language files, and the start-up, menu and closing wiring.
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <filesystem>
#include <set>

#include "GuiTestSupport.h"
#include "core/settings/CoreTexts.h"
#include "core/settings/SettingsFiles.h"
#include "core/settings/SettingsLine.h"
#include "gui/Windows.h"
#include "gui/common/ListModel.h"
#include "gui/common/Named.h"
#include "gui/mainwin/MainLayout.h"
#include "gui/scan/TForm_ReadCD.h"
#include "gui/settings/LanguageApplier.h"
#include "gui/settings/ProgramSettings.h"
#include "gui/settings/SettingsApplier.h"
#include "gui/settings/TForm_Setup.h"

#ifndef ORBISK_RESOURCES_DIR
#error "the tests need the resources folder"
#endif

namespace orbisk::test {
namespace {

using Lines = std::vector<std::string>;

void StartAll(TWindows& windows) {
    windows.Main().show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return windows.Main().StartedUp(); }, 5000));
}

std::vector<int> Sizes(const QSplitter& splitter) {
    const QList<int> sizes = splitter.sizes();
    return {sizes.begin(), sizes.end()};
}

std::string Resource(const char* name) {
    return std::string(ORBISK_RESOURCES_DIR) + "/" + name;
}

TEST_F(MainWindowTest, SavingThenLoadingEveryWindowChangesNothing) {
    TWindows windows;
    StartAll(windows);
    const std::vector<QWidget*>& all = windows.InCreationOrder();
    const Lines settings = SettingsBlocks(all);
    ApplySettingsBlocks(all, settings, 0);
    EXPECT_EQ(SettingsBlocks(all), settings);
    const Lines texts = LanguageLines(all);
    ApplyLanguageLines(all, texts);
    EXPECT_EQ(LanguageLines(all), texts);
    // Every window has its block, and the main window's controls their lines.
    for (QWidget* w : all)
        EXPECT_NE(
            std::find(settings.begin(), settings.end(), SectionLine(w->objectName().toStdString())),
            settings.end());
    for (const char* expected : {"ListView_Dir.ViewStyle = \"0\"", "CheckBox_Wrap.Checked = \"1\"",
                                 "CheckBoxZIP.Checked = \"0\""})
        EXPECT_NE(std::find(settings.begin(), settings.end(), expected), settings.end())
            << expected;
}

TEST_F(MainWindowTest, ALayoutChangedByTheUserIsTheSameAfterARestart) {
    std::vector<int> widths, panes;
    {
        TWindows windows;
        StartAll(windows);
        const TMainControls& c = windows.Main().Controls();
        c.ListView_Dir->Report()->header()->resizeSection(0, 333);
        c.ListView_Dir->Report()->header()->resizeSection(2, 77);
        c.Splitter->setSizes({150, 0, 600, 180});
        // The description's wrapping is the setup's option; the main
        // window's box follows it.
        windows.Find<TForm_Setup>()->CheckBox_Description_Wrap->click();
        ASSERT_FALSE(c.CheckBox_Wrap->isChecked());
        windows.Find<TForm_ReadCD>()->CheckBoxZIP->setChecked(true);
        widths = c.ListView_Dir->ColumnWidths();
        panes = Sizes(*c.Splitter);
        windows.Main().close();
    }
    ASSERT_EQ(widths.at(0), 333);
    TWindows windows;
    StartAll(windows);
    const TMainControls& c = windows.Main().Controls();
    EXPECT_EQ(c.ListView_Dir->ColumnWidths(), widths);
    EXPECT_EQ(c.ListView_Dir->Report()->columnWidth(0), 333);
    EXPECT_EQ(Sizes(*c.Splitter), panes);
    EXPECT_FALSE(c.CheckBox_Wrap->isChecked());
    EXPECT_TRUE(windows.Find<TForm_ReadCD>()->CheckBoxZIP->isChecked());
}

// A list model with fixed columns and no rows.
class Columns : public ListModel {
public:
    explicit Columns(QStringList captions) : ListModel(std::move(captions)) {}
    int rowCount(const QModelIndex& = {}) const override { return 0; }
    QVariant data(const QModelIndex&, int) const override { return {}; }
    std::int32_t SlotAt(int) const override { return 0; }
};

// Two small windows: "Form_A" with a list of four columns, a check box, an
// edit, a label and two panes; "Form_Setup" with an edit.
struct TwoWindows {
    QWidget a, setup;
    Columns model{
        {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")}};
    ListView* list = Named(new ListView(&a), "ListView1");
    QCheckBox* box = Named(new QCheckBox(QStringLiteral("Zaškrtni"), &a), "CheckBox1");
    QLineEdit* editA = Named(new QLineEdit(&a), "Edit1");
    QLabel* label = Named(new QLabel(QStringLiteral("Popisek"), &a), "Label1");
    QLineEdit* editSetup = Named(new QLineEdit(&setup), "Edit1");
    std::vector<QWidget*> windows{&a, &setup};

    TwoWindows() {
        a.setObjectName(QStringLiteral("Form_A"));
        setup.setObjectName(QStringLiteral("Form_Setup"));
        list->SetModel(&model);
        list->SetColumnWidths({10, 20, 30, 40});
        SetColourValue(*editA, 0xFFFFFF);
        SetColourValue(*editSetup, 0xFFFFFF);
    }
    void Apply(const Lines& lines) { ApplySettingsBlocks(windows, lines, 0); }
};

TEST(SettingsApplier, FollowsTheRulesOfTheLines) {
    {
        TwoWindows w; // fewer Columns pieces than columns set only the first columns
        w.Apply({"[Form_A]", "ListView1.Columns = \"50;60;\"", "ListView1.Gridlines = \"1\""});
        EXPECT_EQ(w.list->ColumnWidths(), (std::vector<int>{50, 60, 30, 40}));
        EXPECT_TRUE(w.list->GridLines());
    }
    {
        TwoWindows w; // colours apply in the setup window only
        w.Apply({"[Form_A]", "Edit1.Color = \"255\"", "[Form_Setup]", "Edit1.Color = \"255\""});
        EXPECT_EQ(ColourValue(*w.editA), 0xFFFFFF);
        EXPECT_EQ(ColourValue(*w.editSetup), 255);
        EXPECT_EQ(SettingsBlocks(w.windows).back(), "Edit1.Color = \"255\"");
    }
    {
        TwoWindows w; // an unknown window makes its lines inert until the next section
        w.Apply({"[Form_Gone]", "CheckBox1.Checked = \"1\"", "Form_A.Width = \"x\"", "[Form_A]",
                 "ListView1.ViewStyle = \"2\""});
        EXPECT_FALSE(w.box->isChecked());
        EXPECT_EQ(w.list->GetStyle(), ListView::Style::SmallIcons);
    }
    {
        TwoWindows w; // a value that is no number stops every later line, later windows too
        w.Apply({"[Form_A]", "CheckBox1.Checked = \"1\"", "Form_A.Width = \"wide\"",
                 "ListView1.Gridlines = \"1\"", "[Form_Setup]", "Edit1.Color = \"255\""});
        EXPECT_TRUE(w.box->isChecked());
        EXPECT_FALSE(w.list->GridLines());
        EXPECT_EQ(ColourValue(*w.editSetup), 0xFFFFFF);
    }
    {
        TwoWindows w; // a window restored off every screen comes back onto one
        w.Apply({"[Form_A]", "Form_A.Left = \"-9000\"", "Form_A.Top = \"-9000\"",
                 "Form_A.Width = \"300\"", "Form_A.Height = \"200\""});
        EXPECT_EQ(w.a.size(), QSize(300, 200));
        EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(w.a.pos()));
    }
}

TEST(SettingsApplier, SavingAtExitFollowsTheSetupBox) {
    QWidget setup;
    EXPECT_TRUE(SaveSettingsAtExit({&setup}));
    auto* box = Named(new QCheckBox(&setup), kSaveAtExitBox);
    box->setChecked(true);
    EXPECT_TRUE(SaveSettingsAtExit({&setup}));
    box->setChecked(false);
    EXPECT_FALSE(SaveSettingsAtExit({&setup}));
}

TEST(LanguageApplier, CaptionsHintsAndColumns) {
    TwoWindows w;
    w.label->setText(QStringLiteral("say \"hi\" now"));
    const Lines lines = LanguageLines(w.windows);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Label1.Caption = \"say \"hi\" now\""),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "ListView1.Columns = \"1;2;3;4;\""),
              lines.end());
    // A caption with a double quote comes back up to that quote.
    ApplyLanguageLines(w.windows, lines);
    EXPECT_EQ(w.label->text(), QStringLiteral("say "));
    // "Hint" of a label sets its caption; three pieces rename three of four columns.
    ApplyLanguageLines(w.windows,
                       {"[Form_A]", "Label1.Hint = \"Label\"", "ListView1.Columns = \"A;B;C;\"",
                        "CheckBox1.Hint = \"tip\"", "Form_A.Caption = \"Window A\""});
    EXPECT_EQ(w.label->text(), QStringLiteral("Label"));
    QStringList titles;
    for (int c = 0; c < 4; ++c)
        titles << w.model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    EXPECT_EQ(titles, (QStringList{"A", "B", "C", "4"}));
    EXPECT_EQ(w.box->text(), QString::fromUtf8("Zaškrtni"));
    EXPECT_EQ(w.box->toolTip(), QStringLiteral("tip"));
    EXPECT_EQ(w.a.windowTitle(), QStringLiteral("Window A"));
}

// The shipped Czech file is what the program itself exports; regenerate it
// with ORBISK_WRITE_LNG=1 after changing a built-in text.
TEST(LanguageFiles, TheShippedCzechFileIsTheBuiltInTexts) {
    TWindows windows;
    const std::string path = Resource("CZECH.LNG");
    if (qEnvironmentVariableIsSet("ORBISK_WRITE_LNG")) {
        ASSERT_TRUE(ExportLanguage(windows.InCreationOrder(), path));
    }
    Lines shipped;
    ASSERT_TRUE(ReadSettingsLines(path, shipped));
    EXPECT_EQ(LanguageLines(windows.InCreationOrder()), shipped);
}

// Texts that read the same in English.
const std::set<std::string> kSameInBoth = {
    "",
    "OK",
    "Orbisk   v1.18    ",
    "CD",
    "CD/HDD",
    "FTP",
    "SN",
    "B",
    "0",
    "Medium",
    "X",
    "\\",
    "..",
    "cd \\",
    "cd ..",
    " [ ]",
    " Audio CD ",
    " MP3  ",
    "--->",
    "Esc",
    "Ignore SN",
    "0 s",
    "*.cds (Windows Commander)",
    "ncdu / gdu (*.json)",
    "Orbisk v1.18",
    "Program WWW Home Page",
};

TEST(LanguageFiles, EnglishTranslatesEveryText) {
    TWindows windows;
    const std::vector<QWidget*>& all = windows.InCreationOrder();
    const Lines czech = LanguageLines(all);
    ASSERT_TRUE(ImportLanguage(all, Resource("ENGLISH.LNG")));
    const Lines english = LanguageLines(all);
    ResetCoreTexts();
    PromptTexts() = TPromptTexts{};
    ASSERT_EQ(english.size(), czech.size());
    for (std::size_t i = 0; i < czech.size(); ++i) {
        const TSettingsLine cs = SplitSettingsLine(czech[i]), en = SplitSettingsLine(english[i]);
        if (cs.Section) continue;
        const bool list =
            cs.Property == "Columns" || cs.Property == "Panels" || cs.Property == "Items";
        const Lines csPieces = list ? SplitListValue(cs.Value) : Lines{cs.Value};
        const Lines enPieces = list ? SplitListValue(en.Value) : Lines{en.Value};
        ASSERT_EQ(csPieces.size(), enPieces.size()) << czech[i];
        for (std::size_t p = 0; p < csPieces.size(); ++p)
            if (!kSameInBoth.count(csPieces[p])) {
                EXPECT_NE(csPieces[p], enPieces[p]) << czech[i];
            }
    }
}

TEST_F(MainWindowTest, LanguageEntriesImportAndExportReachTheWindowsCoreAndMessageBoxes) {
    WriteFile(program_.File("E.lng"), "[Form_Main]\r\nAction_Open.Caption = \"Open ...\"\r\n"
                                      "LabelT_FileMissing.Caption = \"File missing.\"\r\n"
                                      "LabelT_ButtonCancel.Caption = \"Cancel\"\r\n");
    TForm_Main& w = StartWindow();
    for (QAction* entry : w.Actions().Languages->actions())
        if (entry->data().toString() == QLatin1String("E.lng")) entry->trigger();
    EXPECT_EQ(Program().LanguageFile, "E.lng");
    EXPECT_EQ(w.Actions().Open->text(), QStringLiteral("Open ..."));
    EXPECT_EQ(UserText(TFileStatus::Failed("x", ENOENT)), "File missing.");
    EXPECT_EQ(PromptTexts().Cancel, QStringLiteral("Cancel"));

    // Exported into the user's folder, then listed in the menu.
    const std::string exported = program_.File("config/orbisk/MINE.lng");
    dialogs_.paths.push_back(Q(exported));
    Trigger("Action_LanguageExport");
    Lines lines;
    ASSERT_TRUE(ReadSettingsLines(exported, lines));
    EXPECT_EQ(lines, LanguageLines(w.Windows()));
    QStringList listed;
    for (QAction* entry : w.Actions().Languages->actions())
        listed << entry->data().toString();
    EXPECT_EQ(listed, (QStringList{"E.lng", "MINE.lng"}));

    // Imported from another folder: applied now, looked for by name next time.
    TempDir elsewhere;
    WriteFile(elsewhere.File("F.lng"), "[Form_Main]\r\nAction_Open.Caption = \"Ouvrir ...\"\r\n");
    dialogs_.paths.push_back(Q(elsewhere.File("F.lng")));
    Trigger("Action_LanguageImport");
    EXPECT_EQ(w.Actions().Open->text(), QStringLiteral("Ouvrir ..."));
    EXPECT_EQ(Program().LanguageFile, "F.lng");
}

TEST_F(MainWindowTest, StartUpAppliesSettingsAndLanguageAndClosingSavesThem) {
    WriteFile(program_.File("E.lng"), "[Form_Main]\r\nAction_Save.Caption = \"Save\"\r\n");
    ASSERT_TRUE(SaveSettingsLines(
        program_.File("config/orbisk/Orbisk.INI"),
        {kMainCaption, work_.Path(), "E.lng", "[Form_Main]", "CheckBox_Wrap.Checked = \"0\""}));
    TForm_Main& w = StartWindow();
    EXPECT_TRUE(shell_.opened.empty());
    EXPECT_EQ(w.Actions().Save->text(), QStringLiteral("Save"));
    EXPECT_FALSE(w.Controls().CheckBox_Wrap->isChecked());
    w.close();
    Lines saved;
    ASSERT_TRUE(ReadSettingsLines(program_.File("config/orbisk/Orbisk.INI"), saved));
    ASSERT_GT(saved.size(), 3u);
    EXPECT_EQ(saved[0], kMainCaption);
    EXPECT_EQ(saved[2], "E.lng");
    EXPECT_NE(std::find(saved.begin(), saved.end(), "CheckBox_Wrap.Checked = \"0\""), saved.end());
}

TEST_F(MainWindowTest, TheFirstStartOpensTheHelpAndWritesTheSettingsAtClosing) {
    std::filesystem::remove(program_.File("config/orbisk/Orbisk.INI"));
    std::filesystem::create_directories(program_.File("help"));
    WriteFile(program_.File("help/index.html"), "<html></html>");
    TForm_Main& w = StartWindow();
    ASSERT_EQ(shell_.opened.size(), 1u);
    EXPECT_TRUE(shell_.opened[0].toLocalFile().endsWith(QStringLiteral("help/index.html")));
    w.close();
    EXPECT_TRUE(FileExists(program_.File("config/orbisk/Orbisk.INI")));
}

} // namespace
} // namespace orbisk::test

namespace orbisk::test {
namespace {

// A text on a control without an object name could not be translated.
// Status bar panels go with their bar, radio buttons with their group, menus
// and tool buttons with their commands.
void CollectUnnamed(QObject& parent, const std::vector<QWidget*>& windows, QStringList& out) {
    for (QObject* o : parent.children()) {
        if (std::find(windows.begin(), windows.end(), o) != windows.end()) continue;
        if (qobject_cast<QStatusBar*>(o) || qobject_cast<QRadioButton*>(o) ||
            qobject_cast<QToolButton*>(o))
            continue;
        QString text;
        if (auto* label = qobject_cast<QLabel*>(o)) text = label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(o)) text = button->text();
        if (auto* group = qobject_cast<QGroupBox*>(o)) text = group->title();
        if (auto* menu = qobject_cast<QMenu*>(o)) text = menu->title();
        if (auto* action = qobject_cast<QAction*>(o);
            action && !action->isSeparator() && !action->menu() && !action->actionGroup())
            text = action->text();
        if (o->objectName().isEmpty() && !text.isEmpty()) out << text;
        CollectUnnamed(*o, windows, out);
    }
}

TEST(LanguageFiles, EveryControlWithATextHasAName) {
    TWindows windows;
    for (QWidget* window : windows.InCreationOrder()) {
        QStringList unnamed;
        CollectUnnamed(*window, windows.InCreationOrder(), unnamed);
        EXPECT_TRUE(unnamed.isEmpty()) << window->objectName().toStdString() << ": "
                                       << unnamed.join(QLatin1Char('|')).toStdString();
    }
}

} // namespace
} // namespace orbisk::test
