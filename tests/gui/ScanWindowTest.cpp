// The scan window's scans: a chosen folder becomes an archive shown in the
// main window, the name-collision question, cancelling, closing during a
// scan, the missing-medium question, switches read during the walk and the
// "Nový ..." command.
#include "ScanWindowTest.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

#include "ZipWriter.h"
#include "core/catalog/ProgramValues.h"
#include "gui/scan/TForm_TXT_Files.h"

namespace orbisk::test {

namespace {

bool Contains(const std::vector<QString>& lines, const QString& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

TEST_F(ScanWindowTest, ScanOfChosenFolderIsWrittenAndShownInTheMainWindow) {
    TForm_ReadCD& scan = StartScanWindow({{"old.cd", "Staré", "CD", "Hudba", ""}});
    MakeTree(source_.Path(), {{"DOOM/doom.exe", "exe"}, {"readme.txt", "text"}});
    dialogs_.paths.push_back(Q(source_.Path()));
    scan.Button_CD->click();
    ASSERT_EQ(dialogs_.requests.size(), 1u);
    EXPECT_EQ(dialogs_.requests[0].folder.title, QStringLiteral("Vyber Disk (adresář) ..."));
    EXPECT_EQ(scan.Source(), Q(source_.Path()));

    scan.Edit_Name->setText(QStringLiteral("Hry 2003"));
    scan.ComboBox_Typ->setEditText(QStringLiteral("Hry"));
    scan.ComboBox_Owner->setEditText(QStringLiteral("Já"));
    scan.Button_Nacti->click();

    ASSERT_TRUE(scan.LastResult().Written());
    EXPECT_EQ(ArchiveFiles(), (std::vector<std::string>{"Hry_2003.cd", "old.cd"}));
    const TArch written = ReadArchiveFile(work_.File("Hry_2003.cd"));
    EXPECT_EQ(written.Head.Name, "Hry 2003");
    EXPECT_EQ(written.Head.Typ, "Hry");
    EXPECT_EQ(written.Head.SN, "1A2B-0C3D");
    EXPECT_EQ(written.Head.Volume, "DATA");
    std::vector<std::string> names;
    for (const TRec& rec : RootEntries(work_.File("Hry_2003.cd")))
        names.push_back(rec.Name.str());
    EXPECT_EQ(names, (std::vector<std::string>{"DOOM", "readme.txt"}));

    // The new row: its category in the tree, selected, the list showing it.
    EXPECT_TRUE(Contains(TreeLines(), QStringLiteral("  Hry")));
    EXPECT_EQ(SelectedPath(), "\\CD\\Hry\\");
    EXPECT_EQ(ListNames(), (std::vector<QString>{QStringLiteral("Hry 2003")}));
    EXPECT_EQ(window_->Controls().StatusArchives->text(), QStringLiteral("2"));
    EXPECT_EQ(CacheLines(),
              (std::vector<std::string>{"\\CD\\Hry\\ Hry_2003.cd", "\\CD\\Hudba\\ old.cd"}));
    const QString progress = scan.ProgressText();
    EXPECT_TRUE(progress.contains(QStringLiteral("Celkem 3 adresářů a souborů.")));
    EXPECT_TRUE(progress.endsWith(QStringLiteral("Archiv uložen na disk.   \"Hry 2003\"")));
    // The new values join the lists and the boxes.
    EXPECT_NE(scan.ComboBox_Owner->findText(QStringLiteral("Já")), -1);
    EXPECT_NE(std::find(Program().ValueLists.OwnerList.begin(),
                        Program().ValueLists.OwnerList.end(), "Já"),
              Program().ValueLists.OwnerList.end());
    EXPECT_TRUE(scan.Button_Nacti->isEnabled());
    EXPECT_TRUE(scan.Timer_Medium->isActive());
}

TEST_F(ScanWindowTest, ArchiveLeafAppearsWhenArchivesAreShownInTheTree) {
    TArchiveOptions options;
    options.ArchivesInTree = true;
    TForm_ReadCD& scan = StartScanWindow({}, options);
    MakeSource({{"a.txt", "a"}});
    scan.Edit_Name->setText(QStringLiteral("Disk"));
    scan.StartScan();
    EXPECT_EQ(TreeLines(), (std::vector<QString>{QStringLiteral("CD"), QStringLiteral("  Disk*")}));
}

TEST_F(ScanWindowTest, ReplacedArchiveKeepsOneLeafInTheTree) {
    TArchiveOptions options;
    options.ArchivesInTree = true;
    TForm_ReadCD& scan = StartScanWindow({{"Hry.cd", "Hry", "CD", "", ""}}, options);
    ASSERT_EQ(TreeLines(), (std::vector<QString>{QStringLiteral("CD"), QStringLiteral("  Hry*")}));
    MakeSource({{"a.txt", "a"}});
    scan.Edit_Name->setText(QStringLiteral("Hry"));
    prompt_.answers.push_back(PromptAnswer::Yes);
    scan.StartScan();
    ASSERT_TRUE(scan.LastResult().Written());
    EXPECT_EQ(TreeLines(), (std::vector<QString>{QStringLiteral("CD"), QStringLiteral("  Hry*")}));
    EXPECT_EQ(ListNames(), (std::vector<QString>{QStringLiteral("Hry")}));
    // The leaf that is left opens the new archive.
    const QModelIndex leaf = Tree().index(0, 0, Tree().index(0, 0));
    EXPECT_EQ(Tree().SlotOf(leaf), scan.LastResult().Slot);
}

// A blank name takes label and serial; the file of that name exists already.
// The numbering is the scan driver's: here only the question and its answers
// ("ANO" is the replaced archive's test above).
struct CollisionCase {
    const char* name;
    PromptAnswer answer;
    std::vector<std::string> files;
    TScanOutcome outcome;
    std::int32_t listed;
};

class CollisionTest : public ScanWindowTest, public ::testing::WithParamInterface<CollisionCase> {};

TEST_P(CollisionTest, AnswerDecidesTheFile) {
    const CollisionCase& c = GetParam();
    const std::string base = "GAMES__________1A2B_0C3D";
    TForm_ReadCD& scan = StartScanWindow({{base + ".cd", "Předtím", "CD", "", ""}});
    probe_->serial = {"GAMES", "1A2B-0C3D"};
    MakeSource({{"game.exe", "x"}});
    // The text option goes off for want of extensions only when a scan starts.
    Program().DescriptionExtensions.clear();
    scan.CheckBox_TXT->setChecked(true);
    prompt_.answers.push_back(c.answer);
    scan.StartScan();
    EXPECT_EQ(scan.CheckBox_TXT->isChecked(), c.outcome == TScanOutcome::Declined);

    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0].title, Q("Cílový soubor [" + base + ".cd] již existuje ! "));
    EXPECT_EQ(
        prompt_.shown[0].text,
        Q("Nový soubor může mít název [" + base + "_0.cd].\n\n") +
            QStringLiteral("Přepsat soubor -> [ANO], jiný název -> [NE], zpět-zrušit -> [Storno]"));
    EXPECT_EQ(scan.LastResult().Outcome, c.outcome);
    EXPECT_EQ(ArchiveFiles(), c.files);
    EXPECT_EQ(ListedCount(), c.listed);
    // The generated name is never left in the field.
    EXPECT_TRUE(scan.Edit_Name->text().isEmpty());
    if (c.outcome == TScanOutcome::Declined) {
        EXPECT_TRUE(scan.ProgressText().isEmpty());
        return;
    }
    const TArch replaced = ReadArchiveFile(work_.File(c.files.back()));
    EXPECT_EQ(replaced.Head.Name, "GAMES        - 1A2B-0C3D");
    EXPECT_EQ(ListNames().size(), static_cast<std::size_t>(c.listed));
}

INSTANTIATE_TEST_SUITE_P(Answers, CollisionTest,
                         ::testing::Values(CollisionCase{"NeNumbers",
                                                         PromptAnswer::No,
                                                         {"GAMES__________1A2B_0C3D.cd",
                                                          "GAMES__________1A2B_0C3D_0.cd"},
                                                         TScanOutcome::Written,
                                                         2},
                                           CollisionCase{"StornoScansNothing",
                                                         PromptAnswer::Cancel,
                                                         {"GAMES__________1A2B_0C3D.cd"},
                                                         TScanOutcome::Declined,
                                                         1}),
                         [](const auto& info) { return std::string(info.param.name); });

// How the user cancels: the "Storno" button or the Escape key.
class CancelTest : public ScanWindowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(CancelTest, CancelDuringScanWritesNothing) {
    const bool escape = GetParam();
    TForm_ReadCD& scan = StartScanWindow({{"old.cd", "Staré", "CD", "", ""}});
    std::vector<TTreeItem> items;
    for (int i = 0; i < 60; ++i)
        items.push_back({"f" + std::to_string(i) + ".txt", "x"});
    MakeSource(items);
    scan.LabelT13->setText(QStringLiteral("Zrušeno!"));
    scan.Edit_Name->setText(QStringLiteral("Zrušit"));
    int lines = 0;
    bool runningWhenCancelled = false;
    scan.ProgressHook = [&] {
        if (++lines != 10) return;
        runningWhenCancelled = scan.ScanRunning();
        if (escape)
            QTest::keyClick(&scan, Qt::Key_Escape);
        else
            scan.Button_Storno->click();
    };
    scan.StartScan();

    EXPECT_TRUE(runningWhenCancelled);
    EXPECT_EQ(scan.LastResult().Outcome, TScanOutcome::Cancelled);
    EXPECT_EQ(ArchiveFiles(), (std::vector<std::string>{"old.cd"}));
    EXPECT_EQ(ListedCount(), 1);
    EXPECT_EQ(CacheLines(), (std::vector<std::string>{"\\CD\\ old.cd"}));
    // The cancel line comes from the hidden text of the window.
    EXPECT_EQ(scan.ProgressText(), QStringLiteral("Zrušeno!"));
    EXPECT_FALSE(scan.Scanning());
    EXPECT_TRUE(scan.Button_Nacti->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(Ways, CancelTest, ::testing::Values(false, true), [](const auto& info) {
    return std::string(info.param ? "Escape" : "Storno");
});

TEST_F(ScanWindowTest, ClosingDuringScanCancelsAndClosesOnceTheWalkHasReturned) {
    TForm_ReadCD& scan = StartScanWindow();
    std::vector<TTreeItem> items;
    for (int i = 0; i < 40; ++i)
        items.push_back({"d" + std::to_string(i % 4) + "/f" + std::to_string(i), "x"});
    MakeSource(items);
    scan.Edit_Name->setText(QStringLiteral("Zavřít"));
    scan.show();
    int lines = 0;
    bool closeRefused = false, hiddenDuringWalk = false;
    scan.ProgressHook = [&] {
        if (++lines == 5) closeRefused = !scan.close();
        // Nothing is released while the walk is still on the stack.
        if (!scan.isVisible()) hiddenDuringWalk = true;
    };
    scan.StartScan();

    EXPECT_TRUE(closeRefused);
    EXPECT_FALSE(hiddenDuringWalk);
    EXPECT_EQ(scan.LastResult().Outcome, TScanOutcome::Cancelled);
    EXPECT_FALSE(scan.isVisible());
    EXPECT_TRUE(ArchiveFiles().empty());
    EXPECT_FALSE(scan.Timer_Medium->isActive());
    EXPECT_TRUE(scan.ProgressText().isEmpty());
}

TEST_F(ScanWindowTest, HidingDuringScanCancelsAndReleasesOnceTheWalkHasReturned) {
    TForm_ReadCD& scan = StartScanWindow();
    std::vector<TTreeItem> items;
    for (int i = 0; i < 40; ++i)
        items.push_back({"d" + std::to_string(i % 4) + "/f" + std::to_string(i), "x"});
    MakeSource(items);
    scan.Edit_Name->setText(QStringLiteral("Skrýt"));
    scan.show();
    int lines = 0;
    scan.ProgressHook = [&] {
        if (++lines == 5) scan.hide();
    };
    scan.StartScan();

    EXPECT_EQ(scan.LastResult().Outcome, TScanOutcome::Cancelled);
    EXPECT_FALSE(scan.Scanning());
    EXPECT_TRUE(ArchiveFiles().empty());
    EXPECT_FALSE(scan.Timer_Medium->isActive());
    EXPECT_FALSE(scan.Timer_Blink->isActive());
    EXPECT_TRUE(scan.ProgressText().isEmpty());
    EXPECT_TRUE(scan.Button_Nacti->isEnabled());
}

// The fields stay editable while the walk runs; what the user types there
// is kept, and only a generated name still shown is taken back.
struct EditDuringScanCase {
    const char* name;
    const char* typedName;   // before the scan; "" for a generated name
    const char* editedName;  // typed into the name field during the walk, or nullptr
    const char* editedPopis; // typed into the description during the walk, or nullptr
    const char* editedTyp;   // typed into the type box during the walk, or nullptr
    const char *nameAfter, *popisAfter, *typAfter;
    const char* written; // the archive's Name
};

class EditDuringScanTest : public ScanWindowTest,
                           public ::testing::WithParamInterface<EditDuringScanCase> {};

TEST_P(EditDuringScanTest, EditsMadeDuringTheWalkAreKept) {
    const EditDuringScanCase& c = GetParam();
    TForm_ReadCD& scan = StartScanWindow();
    probe_->serial = {"GAMES", "1A2B-0C3D"};
    MakeSource({{"a.txt", "a"}, {"b.txt", "b"}});
    scan.Edit_Name->setText(QString::fromUtf8(c.typedName));
    scan.Edit_Popis->setText(QStringLiteral("první"));
    scan.ComboBox_Typ->setEditText(QStringLiteral("Hry"));
    bool edited = false;
    scan.ProgressHook = [&] {
        if (edited) return;
        edited = true;
        if (c.editedName) scan.Edit_Name->setText(QString::fromUtf8(c.editedName));
        if (c.editedPopis) scan.Edit_Popis->setText(QString::fromUtf8(c.editedPopis));
        if (c.editedTyp) scan.ComboBox_Typ->setEditText(QString::fromUtf8(c.editedTyp));
    };
    scan.StartScan();

    ASSERT_TRUE(scan.LastResult().Written());
    EXPECT_EQ(scan.Edit_Name->text(), QString::fromUtf8(c.nameAfter));
    EXPECT_EQ(scan.Edit_Popis->text(), QString::fromUtf8(c.popisAfter));
    EXPECT_EQ(scan.ComboBox_Typ->currentText(), QString::fromUtf8(c.typAfter));
    // The archive has the values of the moment the scan started.
    const TArch arch = ReadArchiveFile(work_.File(scan.LastResult().FileName));
    EXPECT_EQ(arch.Head.Name, c.written);
    EXPECT_EQ(arch.Head.Description, "první");
    EXPECT_EQ(arch.Head.Typ, "Hry");
}

INSTANTIATE_TEST_SUITE_P(
    Edits, EditDuringScanTest,
    ::testing::Values(EditDuringScanCase{"GeneratedNameIsTakenBack", "", nullptr, nullptr, nullptr,
                                         "", "první", "Hry", "GAMES        - 1A2B-0C3D"},
                      EditDuringScanCase{"NameTypedOverTheGeneratedOneStays", "", "Další", nullptr,
                                         nullptr, "Další", "první", "Hry",
                                         "GAMES        - 1A2B-0C3D"},
                      EditDuringScanCase{"TypedNameStays", "Hry 2003", nullptr, nullptr, nullptr,
                                         "Hry 2003", "první", "Hry", "Hry 2003"},
                      EditDuringScanCase{"EditedDescriptionStays", "Hry 2003", nullptr, "druhý",
                                         nullptr, "Hry 2003", "druhý", "Hry", "Hry 2003"},
                      EditDuringScanCase{"EditedTypeStays", "Hry 2003", nullptr, nullptr, "Utility",
                                         "Hry 2003", "první", "Utility", "Hry 2003"}),
    [](const auto& info) { return std::string(info.param.name); });

struct MissingMediumCase {
    const char* name;
    PromptAnswer answer;
    bool written;
};

class MissingMediumTest : public ScanWindowTest,
                          public ::testing::WithParamInterface<MissingMediumCase> {};

TEST_P(MissingMediumTest, QuestionDecidesWhetherToScan) {
    TForm_ReadCD& scan = StartScanWindow();
    MakeSource({{"a.txt", "a"}});
    probe_->serial = {"", "0000-0000"};
    probe_->type = TDriveType::CdRom;
    scan.Edit_Name->setText(QStringLiteral("Prázdná"));
    prompt_.answers.push_back(GetParam().answer);
    scan.StartScan();

    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0].title, QStringLiteral("Medium nepřítomno ?"));
    EXPECT_EQ(prompt_.shown[0].text, QStringLiteral("Přesto pokračovat ?"));
    EXPECT_EQ(FileExists(work_.File("Pr_zdn_.cd")), GetParam().written);
    EXPECT_TRUE(scan.Timer_Medium->isActive());
}

INSTANTIATE_TEST_SUITE_P(Answers, MissingMediumTest,
                         ::testing::Values(MissingMediumCase{"NoStops", PromptAnswer::No, false},
                                           MissingMediumCase{"YesScans", PromptAnswer::Yes, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanWindowTest, FixedVolumeWithoutSerialIsNotAskedAbout) {
    TForm_ReadCD& scan = StartScanWindow();
    MakeSource({{"a.txt", "a"}});
    probe_->serial = {"", "0000-0000"};
    probe_->type = TDriveType::RamDisk;
    scan.Edit_Name->setText(QStringLiteral("Tmp"));
    scan.StartScan();
    EXPECT_TRUE(prompt_.shown.empty());
    EXPECT_TRUE(FileExists(work_.File("Tmp.cd")));
}

TEST_F(ScanWindowTest, EmptySourceScansNothingAndSaysWhatIsMissing) {
    TForm_ReadCD& scan = StartScanWindow();
    scan.SetSource(QString());
    scan.Edit_Name->setText(QStringLiteral("Nic"));
    scan.Button_Nacti->click();
    EXPECT_FALSE(scan.MediumScanned());
    EXPECT_TRUE(ArchiveFiles().empty());
    EXPECT_TRUE(prompt_.shown.empty());
    EXPECT_EQ(scan.StatusMessage->text(), scan.LabelT18->text());
    EXPECT_TRUE(scan.StatusMessage->text().startsWith(QStringLiteral("Chybí zdroj")));
}

TEST_F(ScanWindowTest, ZipSwitchTurnedOnDuringScanListsTheZipFile) {
    TForm_ReadCD& scan = StartScanWindow();
    MakeSource({{"pack.zip", MakeZip({ZipMember("inner.txt", "abc")})}});
    ASSERT_FALSE(scan.CheckBoxZIP->isChecked());
    scan.Edit_Name->setText(QStringLiteral("Zip"));
    scan.ProgressHook = [&] { scan.CheckBoxZIP->setChecked(true); };
    scan.StartScan();

    ASSERT_TRUE(scan.LastResult().Written());
    const TArch arch = ReadArchiveFile(work_.File("Zip.cd"));
    EXPECT_NE(arch.FindDir("\\pack.zip\\"), 0);
    const std::vector<TRec> root = RootEntries(work_.File("Zip.cd"));
    ASSERT_EQ(root.size(), 1u);
    EXPECT_EQ(root[0].Attr.substr(0, 1), "p");
}

struct FilterCase {
    const char* name;
    const char* checkBox; // switched on in the extension lists window, or nullptr
    std::vector<std::string> root;
    const char* resultLine;        // a line the scan reports, or nullptr
    const char* caption = nullptr; // the switch's caption from a language file, or nullptr
};

class ExtensionSwitchTest : public ScanWindowTest,
                            public ::testing::WithParamInterface<FilterCase> {};

TEST_P(ExtensionSwitchTest, ScanTakesTheSwitchesOfTheExtensionListsWindow) {
    const FilterCase& c = GetParam();
    TForm_ReadCD& scan = StartScanWindow();
    Program().ScanExtensions = {".TXT"};
    auto* lists = new TForm_TXT_Files(window_.get());
    if (c.checkBox) {
        auto* box = lists->findChild<QCheckBox*>(QString::fromLatin1(c.checkBox));
        box->setChecked(true);
        if (c.caption) box->setText(QString::fromUtf8(c.caption));
    }
    MakeSource({{"sub/x.bin", "x"}, {"a.txt", "a"}, {"b.bin", "b"}});
    scan.Edit_Name->setText(QStringLiteral("Filtr"));
    scan.StartScan();

    std::vector<std::string> names;
    for (const TRec& rec : RootEntries(work_.File("Filtr.cd")))
        names.push_back(rec.Name.str());
    EXPECT_EQ(names, c.root);
    if (c.resultLine) {
        EXPECT_TRUE(scan.ProgressText().contains(QString::fromUtf8(c.resultLine)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Switches, ExtensionSwitchTest,
    ::testing::Values(
        FilterCase{"None", nullptr, {"sub", "a.txt", "b.bin"}, nullptr},
        FilterCase{"OnlyFolders", "CheckBox_OnlyDir", {"sub"}, "(Načítat pouze adresáře)"},
        FilterCase{"SelectedTypes",
                   "CheckBox_SelectedFiles",
                   {"sub", "a.txt"},
                   "(Načítat jen vybrané typy souborů)"},
        // The result line names the filter by its switch's caption.
        FilterCase{
            "OnlyFoldersRenamed", "CheckBox_OnlyDir", {"sub"}, "(Folders only)", "Folders only"},
        FilterCase{"SelectedTypesRenamed",
                   "CheckBox_SelectedFiles",
                   {"sub", "a.txt"},
                   "(Selected types only)",
                   "Selected types only"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ScanWindowTest, FilesButtonShowsTheExtensionListsWindow) {
    TForm_ReadCD& scan = StartScanWindow();
    QWidget* shown = nullptr;
    WhenModal([&](QWidget* modal) {
        shown = modal;
        modal->close();
    });
    scan.Button_Soubory->click();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->objectName(), QStringLiteral("Form_TXT_Files"));
    EXPECT_EQ(shown->parent(), window_.get());
}

TEST_F(ScanWindowTest, NewCommandComesFirstAndOffersTheValueLists) {
    StartScanWindow();
    const TMainActions& actions = window_->Actions();
    ASSERT_FALSE(actions.Soubor->actions().isEmpty());
    EXPECT_EQ(actions.Soubor->actions().front(), scan_->Action_New);
    EXPECT_EQ(scan_->Action_New->text(), QStringLiteral("Nový ..."));
    EXPECT_EQ(window_->Controls().ToolBar->actions().front(), scan_->Action_New);
    EXPECT_EQ(scan_->Action_New->iconText(), QStringLiteral("Nový"));

    Program().ValueLists.TypList = {"Hry", "Aplikace", "Utility"};
    Program().ValueLists.MediumList = {"DVD", "CD"};
    QStringList typItems, mediumItems;
    QWidget* shown = nullptr;
    WhenModal([&](QWidget* modal) {
        shown = modal;
        for (int i = 0; i < scan_->ComboBox_Typ->count(); ++i)
            typItems.append(scan_->ComboBox_Typ->itemText(i));
        for (int i = 0; i < scan_->ComboBox_Medium->count(); ++i)
            mediumItems.append(scan_->ComboBox_Medium->itemText(i));
        modal->close();
    });
    Trigger("Action_New");
    EXPECT_EQ(shown, scan_);
    EXPECT_EQ(typItems, (QStringList{QStringLiteral("Aplikace"), QStringLiteral("Hry"),
                                     QStringLiteral("Utility")}));
    EXPECT_EQ(mediumItems, (QStringList{QStringLiteral("CD"), QStringLiteral("DVD")}));
    EXPECT_EQ(scan_->ComboBox_Medium->currentText(), QStringLiteral("CD"));
    EXPECT_FALSE(scan_->isVisible());
}

TEST_F(ScanWindowTest, EntryDatesTakeTheOneFormOfCore) {
    // The window once wrote "8 Dec 2026 15:33:03" under C.UTF-8, where the
    // command-line tool wrote the numeric form.
    LocaleVariables locale;
    ::setenv("LC_ALL", "C.UTF-8", 1);
    TForm_ReadCD& scan = StartScanWindow();
    MakeSource({{"a.txt", "a"}});
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 11;
    when.tm_mday = 8;
    when.tm_hour = 15;
    when.tm_min = 33;
    when.tm_sec = 3;
    when.tm_isdst = -1;
    const timespec times[2] = {{std::mktime(&when), 0}, {std::mktime(&when), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (source_.Path() + "/a.txt").c_str(), times, 0), 0);
    scan.Edit_Name->setText(QStringLiteral("Dates"));
    scan.StartScan();
    ASSERT_TRUE(scan.LastResult().Written());
    const std::vector<TRec> entries = RootEntries(work_.File("Dates.cd"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Date.str(), "8.12.2026 15:33:03");
}

} // namespace

} // namespace orbisk::test
