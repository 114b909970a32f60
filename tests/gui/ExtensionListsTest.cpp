// The extension lists window: rows of the two list views, adding, removing
// and ticking, applying the lists to memory, saving one group to its files,
// and the couplings of the switches.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "WithoutDacOverride.h"
#include "core/catalog/ProgramValues.h"
#include "gui/common/ListView.h"
#include "gui/common/Prompt.h"
#include "gui/scan/ExtensionListGroup.h"
#include "gui/scan/TForm_TXT_Files.h"

namespace orbisk::test {
namespace {

using Lines = std::vector<std::string>;
// A row as shown: caption and tick.
using Rows = std::vector<std::pair<std::string, bool>>;

const Lines kDescriptionRows = {".ASM",  ".BAT",  ".C",    ".CPP", ".DIZ", ".H",   ".HTM",
                                ".HTML", ".INF",  ".INI",  ".M3U", ".ME",  ".NFO", ".PAS",
                                ".PHP",  ".PHP3", ".PHP4", ".PLS", ".TXT"};
const Lines kScanRows = {".ASF", ".AVI", ".DAT", ".DOC", ".EXE",  ".GIF", ".JPEG",
                         ".JPG", ".M3U", ".MP2", ".MP3", ".MPEG", ".MPG", ".PLS",
                         ".PNG", ".RAR", ".RTF", ".TXT", ".WAV",  ".ZIP"};

class ExtensionListsTest : public ::testing::Test {
public:
    void SetUp() override {
        saved_ = Program();
        Program().ProgramDir = program_.Path();
        Program().DescriptionExtensionsAll.clear();
        Program().DescriptionExtensions.clear();
        Program().ScanExtensionsAll.clear();
        Program().ScanExtensions.clear();
        window_ = std::make_unique<TForm_TXT_Files>();
    }
    void TearDown() override {
        window_.reset();
        Program() = saved_;
    }

    TExtensionListGroup& Group(bool description) const {
        return description ? *window_->GroupBox_TXT : *window_->GroupBox_Scan;
    }
    static Rows RowsOf(const TExtensionListGroup& group) {
        Rows rows;
        for (const TExtensionListModel::Row& row : group.Model()->Rows())
            rows.emplace_back(row.Caption, row.Ticked);
        return rows;
    }
    static Rows Unticked(const Lines& captions) {
        Rows rows;
        for (const std::string& caption : captions)
            rows.emplace_back(caption, false);
        return rows;
    }
    static int RowOf(const TExtensionListGroup& group, const std::string& caption) {
        const auto& rows = group.Model()->Rows();
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].Caption == caption) return static_cast<int>(i);
        return -1;
    }
    static void ClickRow(TExtensionListGroup& group, int row) {
        QTreeView* view = group.List->Report();
        const QRect at = view->visualRect(group.Model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at.center());
    }
    void Add(bool description, const QString& typed) {
        TExtensionListGroup& group = Group(description);
        group.Edit->setText(typed);
        QTest::mouseClick(group.Button_Add, Qt::LeftButton);
    }
    std::string ListFile(const char* name) const { return program_.File(name); }

    TempDir program_;
    ProgramValues saved_;
    ScriptedPrompt prompt_;
    std::unique_ptr<TForm_TXT_Files> window_;
};

TEST_F(ExtensionListsTest, AddPutsTheDotInTheFieldAndAddsATickedUpperCaseRowOnce) {
    Program().DescriptionExtensionsAll = {".NFO"};
    window_->show();
    struct Step {
        const char* typed;
        const char* field; // the field after "Přidej"
        Rows rows;
    };
    const Step steps[] = {
        {"txt", ".txt", {{".NFO", false}, {".TXT", true}}},
        {".Txt", ".Txt", {{".NFO", false}, {".TXT", true}}},
        {"", "", {{".NFO", false}, {".TXT", true}}},
        {".diz", ".diz", {{".DIZ", true}, {".NFO", false}, {".TXT", true}}},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.typed);
        Add(true, QString::fromUtf8(step.typed));
        EXPECT_EQ(window_->GroupBox_TXT->Edit->text(), QString::fromUtf8(step.field));
        EXPECT_EQ(RowsOf(*window_->GroupBox_TXT), step.rows);
    }
    EXPECT_EQ(RowsOf(*window_->GroupBox_Scan), Unticked(kScanRows));
}

TEST_F(ExtensionListsTest, FirstStartOffersTheBuiltInRowsAndClosingMakesThemTheAllLists) {
    Rows description, scan;
    QTimer::singleShot(0, [&] {
        description = RowsOf(*window_->GroupBox_TXT);
        scan = RowsOf(*window_->GroupBox_Scan);
        window_->close();
    });
    window_->Execute();
    EXPECT_EQ(description, Unticked(kDescriptionRows));
    EXPECT_EQ(scan, Unticked(kScanRows));
    EXPECT_EQ(Program().DescriptionExtensionsAll, kDescriptionRows);
    EXPECT_EQ(Program().ScanExtensionsAll, kScanRows);
    EXPECT_TRUE(Program().DescriptionExtensions.empty());
    EXPECT_TRUE(Program().ScanExtensions.empty());
    // Closing changes memory only.
    EXPECT_TRUE(ListDir(program_.Path()).empty());
}

TEST_F(ExtensionListsTest, ShowingBuildsTheRowsFromTheListsInMemory) {
    struct Case {
        const char* what;
        Lines all, selected;
        Rows rows;
    };
    const Case cases[] = {
        {"selected entries ticked, the rest unticked, upper case, once each",
         {".txt", ".NFO", ".diz", ".TXT"},
         {".nfo"},
         {{".DIZ", false}, {".NFO", true}, {".TXT", false}}},
        {"a selected entry missing from the all list still gets its row",
         {".TXT"},
         {".ME"},
         {{".ME", true}, {".TXT", false}}},
        {"an empty all list with a selected entry", {}, {".C"}, {{".C", true}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Program().DescriptionExtensionsAll = c.all;
        Program().DescriptionExtensions = c.selected;
        window_->show();
        EXPECT_EQ(RowsOf(*window_->GroupBox_TXT), c.rows);
        // The scan group, its lists empty, keeps the rows it had.
        EXPECT_EQ(RowsOf(*window_->GroupBox_Scan), Unticked(kScanRows));
        window_->hide();
    }
}

TEST_F(ExtensionListsTest, UntickingEveryDescriptionRowEmptiesTheSelectedList) {
    Program().DescriptionExtensionsAll = {".TXT", ".NFO"};
    Program().DescriptionExtensions = {".TXT", ".NFO"};
    window_->show();
    TExtensionListGroup& group = *window_->GroupBox_TXT;
    for (int row = 0; row < group.Model()->rowCount(); ++row)
        ClickRow(group, row);
    EXPECT_EQ(RowsOf(group), Unticked({".NFO", ".TXT"}));
    window_->close();
    EXPECT_TRUE(Program().DescriptionExtensions.empty());
    EXPECT_EQ(Program().DescriptionExtensionsAll, (Lines{".NFO", ".TXT"}));
}

TEST_F(ExtensionListsTest, SaveWritesOnlyItsGroupsFilesButAppliesBothGroups) {
    for (bool description : {true, false}) {
        SCOPED_TRACE(description ? "description group" : "scanned files group");
        for (const char* name : {kDescriptionExtensionsAllFile, kDescriptionExtensionsFile,
                                 kScanExtensionsAllFile, kScanExtensionsFile})
            std::remove(ListFile(name).c_str());
        Program().DescriptionExtensionsAll = {".NFO"};
        Program().DescriptionExtensions = {};
        Program().ScanExtensionsAll = {".ZIP"};
        Program().ScanExtensions = {".ZIP"};
        window_->show();
        Add(true, QStringLiteral("txt"));
        Add(false, QStringLiteral("avi"));
        QTest::mouseClick(Group(description).Button_Save, Qt::LeftButton);

        EXPECT_EQ(Program().DescriptionExtensionsAll, (Lines{".NFO", ".TXT"}));
        EXPECT_EQ(Program().DescriptionExtensions, (Lines{".TXT"}));
        EXPECT_EQ(Program().ScanExtensionsAll, (Lines{".AVI", ".ZIP"}));
        EXPECT_EQ(Program().ScanExtensions, (Lines{".AVI", ".ZIP"}));
        const char* written[2] = {kDescriptionExtensionsAllFile, kDescriptionExtensionsFile};
        const char* untouched[2] = {kScanExtensionsAllFile, kScanExtensionsFile};
        if (!description) std::swap(written, untouched);
        EXPECT_EQ(ReadFile(ListFile(written[0])),
                  description ? ".NFO\r\n.TXT\r\n" : ".AVI\r\n.ZIP\r\n");
        EXPECT_EQ(ReadFile(ListFile(written[1])), description ? ".TXT\r\n" : ".AVI\r\n.ZIP\r\n");
        EXPECT_FALSE(FileExists(ListFile(untouched[0])));
        EXPECT_FALSE(FileExists(ListFile(untouched[1])));
        // What is written reads back as the lists.
        EXPECT_EQ(LoadExtensionList(ListFile(written[0])),
                  description ? Program().DescriptionExtensionsAll : Program().ScanExtensionsAll);
        window_->close();
    }
}

TEST_F(ExtensionListsTest, SaveMakesAReadOnlyListWritableAndReportsAFileItCannotWrite) {
    struct Case {
        const char* what;
        mode_t fileMode, folderMode;
        bool fileIsFolder;   // scan_ext.txt is a folder: nothing can write it
        const char* content; // of scan_ext.txt afterwards (a file only)
        Lines unsaved;       // the list files reported as not saved, in order
    };
    const Case cases[] = {
        {"read-only file", 0444, 0755, false, ".AVI\r\n", {}},
        // A folder that takes no new files: the existing list file is written
        // over itself; the missing one cannot be created.
        {"writable file, folder closed to new files",
         0644,
         0555,
         false,
         ".AVI\r\n",
         {kScanExtensionsAllFile}},
        {"read-only file, folder closed to new files",
         0444,
         0555,
         false,
         ".AVI\r\n",
         {kScanExtensionsAllFile}},
        {"list file name taken by a folder",
         0755,
         0555,
         true,
         nullptr,
         {kScanExtensionsAllFile, kScanExtensionsFile}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        Program().ProgramDir = dir.Path();
        const std::string file = dir.File(kScanExtensionsFile);
        if (c.fileIsFolder)
            ::mkdir(file.c_str(), c.fileMode);
        else
            WriteFile(file, ".OLD\r\n");
        ::chmod(file.c_str(), c.fileMode);
        ::chmod(dir.Path().c_str(), c.folderMode);
        Program().ScanExtensionsAll = {".OLD"};
        Program().ScanExtensions = {};
        window_->show();
        Add(false, QStringLiteral("avi"));
        {
            WithoutDacOverride noOverride;
            QTest::mouseClick(window_->GroupBox_Scan->Button_Save, Qt::LeftButton);
        }
        if (c.content) {
            EXPECT_EQ(ReadFile(file), c.content);
            struct stat st {};
            ASSERT_EQ(::stat(file.c_str(), &st), 0);
            EXPECT_NE(st.st_mode & S_IWUSR, 0u);
        }
        // A file that could not be saved is reported by name; memory has the
        // lists all the same.
        const std::vector<QString> warnings = prompt_.Texts(PromptKind::Warning);
        ASSERT_EQ(warnings.size(), c.unsaved.size());
        for (std::size_t i = 0; i < warnings.size(); ++i) {
            EXPECT_TRUE(warnings[i].startsWith(QStringLiteral("Nelze vytvořit soubor.")));
            EXPECT_TRUE(
                warnings[i].endsWith(QString::fromStdString(dir.File(c.unsaved[i].c_str()))));
        }
        prompt_.shown.clear();
        EXPECT_EQ(Program().ScanExtensions, (Lines{".AVI"}));
        ::chmod(dir.Path().c_str(), 0755);
        window_->close();
    }
}

TEST_F(ExtensionListsTest, SwitchesCoupleWhenClicked) {
    // States in this order: SelectedFiles, OnlyDir, CDPlayer, toName,
    // toDescription, ID3v1, ID3v2, RepName, NameToNotice.
    auto boxes = [this] {
        return std::vector<QCheckBox*>{window_->CheckBox_SelectedFiles, window_->CheckBox_OnlyDir,
                                       window_->CheckBox_CDPlayer,      window_->CheckBox_toName,
                                       window_->CheckBox_toDescription, window_->CheckBox_ID3v1,
                                       window_->CheckBox_ID3v2,         window_->CheckBox_RepName,
                                       window_->CheckBox_NameToNotice};
    };
    auto state = [this] {
        const TExtensionSwitches s = window_->Switches();
        std::string text;
        for (bool on : {s.SelectedTypes, s.OnlyFolders, s.UseCdPlayer, s.ReplaceTrackName,
                        s.TitleToDescription, s.Id3v1, s.Id3v2, s.ReplaceName, s.NameToNote})
            text += on ? '1' : '0';
        return text;
    };
    struct Case {
        int clicked;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {0, "010000000", "100000000"}, // selected types on: folders only off
        {1, "100000000", "010000000"}, // folders only on: selected types off
        {0, "100000000", "000000000"}, // selected types off: no coupling
        {2, "001110000", "000000000"}, // CD player off: both CD switches off
        {2, "000000000", "001000000"}, // CD player on: no coupling
        {3, "000000000", "001100000"}, // track names on: CD player on
        {4, "000000000", "001010000"}, // title to description on: CD player on
        {3, "001110000", "001010000"}, // track names off: no coupling
        {5, "000001111", "000000100"}, // ID3v1 off: replace name and name to note off
        {7, "000000000", "000001010"}, // replace name on: ID3v1 on
        {8, "000000000", "000001001"}, // name to note on: ID3v1 on
        {6, "000000000", "000000100"}, // ID3v2 couples with nothing
        {6, "000001111", "000001011"},
        {8, "000001001", "000001000"}, // name to note off: no coupling
    };
    window_->show();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " click " + std::to_string(c.clicked));
        const std::vector<QCheckBox*> all = boxes();
        for (std::size_t i = 0; i < all.size(); ++i) {
            const QSignalBlocker quiet(all[i]);
            all[i]->setChecked(c.before[i] == '1');
        }
        ASSERT_EQ(state(), c.before);
        QTest::mouseClick(all[static_cast<std::size_t>(c.clicked)], Qt::LeftButton);
        EXPECT_EQ(state(), c.after);
    }
}

TEST_F(ExtensionListsTest, ShowingWithFoldersOnlySwitchesSelectedTypesOff) {
    {
        const QSignalBlocker quiet(window_->CheckBox_OnlyDir);
        window_->CheckBox_OnlyDir->setChecked(true);
    }
    window_->SetSelectedTypes(true);
    EXPECT_TRUE(window_->Switches().SelectedTypes);
    // Switching selected types on from outside couples like a click.
    EXPECT_FALSE(window_->Switches().OnlyFolders);
    {
        const QSignalBlocker quiet(window_->CheckBox_OnlyDir);
        window_->CheckBox_OnlyDir->setChecked(true);
    }
    window_->show();
    EXPECT_FALSE(window_->Switches().SelectedTypes);
    EXPECT_TRUE(window_->Switches().OnlyFolders);
    window_->SetSelectedTypes(false);
    EXPECT_FALSE(window_->CheckBox_SelectedFiles->isChecked());
}

TEST_F(ExtensionListsTest, RemoveIsEnabledOnlyWhileARowIsSelected) {
    window_->show();
    for (bool description : {true, false}) {
        TExtensionListGroup& group = Group(description);
        EXPECT_FALSE(group.Button_Remove->isEnabled());
        group.List->SelectRow(RowOf(group, ".TXT"));
        EXPECT_TRUE(group.Button_Remove->isEnabled());
        group.List->ClearSelection();
        EXPECT_FALSE(group.Button_Remove->isEnabled());
        group.List->SelectRow(RowOf(group, ".TXT"));
        const int before = group.Model()->rowCount();
        QTest::mouseClick(group.Button_Remove, Qt::LeftButton);
        EXPECT_EQ(group.Model()->rowCount(), before - 1);
        EXPECT_EQ(RowOf(group, ".TXT"), -1);
        EXPECT_FALSE(group.Button_Remove->isEnabled());
    }
}

TEST_F(ExtensionListsTest, KeysInTheListRemoveAndToggleTheSelectedRow) {
    struct Case {
        Qt::Key key;
        Rows rows; // after the key, pressed on ".C" of the rows ".C" ticked, ".H"
    };
    const Case cases[] = {
        {Qt::Key_Delete, {{".H", false}}},
        {Qt::Key_Space, {{".C", false}, {".H", false}}},
        {Qt::Key_A, {{".C", true}, {".H", false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.key));
        Program().DescriptionExtensionsAll = {".H"};
        Program().DescriptionExtensions = {".C"};
        window_->show();
        TExtensionListGroup& group = *window_->GroupBox_TXT;
        group.List->SelectRow(RowOf(group, ".C"));
        QTest::keyClick(group.List->CurrentView(), c.key);
        EXPECT_EQ(RowsOf(group), c.rows);
        window_->hide();
    }
}

TEST_F(ExtensionListsTest, ControlsCarryTheNamesTheSettingsFileUses) {
    EXPECT_EQ(window_->objectName(), QStringLiteral("Form_TXT_Files"));
    EXPECT_EQ(window_->windowTitle(), QStringLiteral("Nastavení načítaných souborů"));
    for (const char* name :
         {"ListView1", "ListView2", "CheckBox_SelectedFiles", "CheckBox_OnlyDir",
          "CheckBox_CDPlayer", "CheckBox_toName", "CheckBox_toDescription", "CheckBox_ID3v1",
          "CheckBox_ID3v2", "CheckBox_RepName", "CheckBox_NameToNotice"})
        EXPECT_NE(window_->findChild<QWidget*>(QString::fromLatin1(name)), nullptr) << name;
    EXPECT_EQ(window_->GroupBox_TXT->List->objectName(), QStringLiteral("ListView1"));
    EXPECT_EQ(window_->GroupBox_Scan->List->objectName(), QStringLiteral("ListView2"));
}

} // namespace
} // namespace orbisk::test
