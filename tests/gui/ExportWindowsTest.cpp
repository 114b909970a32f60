// The export window and the conversion window: the archive list's pop-up
// and the main menu reach them, the page is saved through the save dialog
// and shown through the shell, "Storno" stops an export, and converted or
// imported archives appear in the archive list. The page and the
// conversions themselves are core's.
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <filesystem>

#include "ArchiveTestSupport.h"
#include "gui/export/DirectoryEdit.h"
#include "gui/export/FolderFilesModel.h"
#include "gui/export/TForm_Konv_WC.h"
#include "gui/export/TForm_Tohtml.h"
#include "gui/mainwin/ArchiveListHandler.h"

namespace orbisk::test {
namespace {

const std::vector<ArchiveHeaderRow> kGames = {
    {"doom.cd", "Doom", "CD", "Hry", ""},
    {"abuse.cd", "Abuse", "CD", "Hry", ""},
};

// A catalogue of one folder with one file.
std::string Catalogue(const std::string& folder, const std::string& file) {
    return "title\r\n" + folder + "\\\r\n" + file + "\t10\t1.2.2003\t10:00\t\r\n";
}

class ExportWindowsTest : public ArchiveTest {
public:
    TForm_Tohtml& StartExport(const std::vector<ArchiveHeaderRow>& headers = kGames) {
        StartWith(headers);
        SelectPath("\\CD\\Hry\\");
        return *new TForm_Tohtml(window_.get());
    }
    TForm_Konv_WC& StartConversion() {
        StartWith({});
        return *new TForm_Konv_WC(window_.get());
    }
    // Whether the pop-up offers "Export do html..." for the rows of names.
    bool PopupOffersExport(TForm_Tohtml& tohtml, const std::vector<QString>& names) {
        SelectNames(names);
        QMenu* popup = window_->Archives().ListCommands().Menu();
        popup->popup(QPoint(0, 0));
        const bool enabled = tohtml.Action_ExportRow->isEnabled();
        popup->hide();
        return enabled;
    }
    // Shows the conversion window in mode through its "Konverze" entry,
    // picks the source folder with its chooser, selects the files named
    // and clicks "--->"; then closes with "X".
    void ConvertThroughMenu(TForm_Konv_WC& konv, const char* action,
                            const std::vector<QString>& selected) {
        WhenModal([&](QWidget* modal) {
            EXPECT_EQ(modal, &konv);
            EXPECT_EQ(konv.DirectoryEdit2->Folder(), Q(work_.Path()));
            dialogs_.paths.push_back(Q(source_.Path()));
            konv.DirectoryEdit1->Button->click();
            SelectFiles(konv, selected);
            konv.Button1->click();
            konv.Button3->click();
        });
        Trigger(action);
    }
    void SelectFiles(TForm_Konv_WC& konv, const std::vector<QString>& names) {
        std::vector<int> rows;
        for (int row = 0; row < konv.SourceFiles().rowCount(); ++row)
            if (std::find(names.begin(), names.end(), konv.SourceFiles().FileName(row)) !=
                names.end())
                rows.push_back(row);
        konv.ListView1->SetRowsSelected(rows, true);
    }
    std::vector<QString> TargetNames(const TForm_Konv_WC& konv) const {
        std::vector<QString> names;
        for (int row = 0; row < konv.TargetFiles().rowCount(); ++row)
            names.push_back(konv.TargetFiles().FileName(row));
        return names;
    }

    TempDir source_;
};

TEST_F(ExportWindowsTest, ThePopupOffersTheExportForOneRowWhoseFileExists) {
    TForm_Tohtml& tohtml = StartExport();
    const struct {
        std::vector<QString> rows;
        bool offered;
    } cases[] = {
        {{}, false},
        {{QStringLiteral("Doom")}, true},
        {{QStringLiteral("Doom"), QStringLiteral("Abuse")}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rows.size());
        EXPECT_EQ(PopupOffersExport(tohtml, c.rows), c.offered);
    }
    std::filesystem::remove(work_.File("abuse.cd"));
    EXPECT_FALSE(PopupOffersExport(tohtml, {QStringLiteral("Abuse")}));
}

TEST_F(ExportWindowsTest, ExportFromThePopupSavesThePageAndZobrazOpensIt) {
    TForm_Tohtml& tohtml = StartExport();
    SelectNames({QStringLiteral("Doom")});
    const std::string page = work_.File("stranka.html");
    dialogs_.paths.push_back(Q(page));
    WhenModal([&](QWidget* modal) {
        EXPECT_EQ(modal, &tohtml);
        EXPECT_EQ(tohtml.ArchivePath(), Q(work_.File("doom.cd")));
        EXPECT_FALSE(tohtml.Button3->isEnabled());
        tohtml.CheckBox5->setChecked(true); // the note column
        tohtml.Button1->click();
        EXPECT_TRUE(tohtml.Button3->isEnabled());
        tohtml.Button3->click();
        EXPECT_EQ(tohtml.LogText(),
                  QStringLiteral("Exportuji...\nExport dokončen.\nSoubor uložen.\n\n\n"
                                 "Zobrazení vyexportovaného souboru  ") +
                      Q(page) + QStringLiteral("\npomocí výchozího Webového prohlížeče.\n"));
        tohtml.Button2->click(); // idle: closes
    });
    tohtml.Action_ExportRow->trigger();

    ASSERT_EQ(dialogs_.requests.size(), 1u);
    EXPECT_EQ(dialogs_.requests[0].kind, DialogKind::SaveFile);
    EXPECT_EQ(dialogs_.requests[0].file.folder, Q(work_.File("doom.html")));
    const std::string html = ReadFile(page);
    EXPECT_NE(html.find("<title>" + work_.File("doom.cd") + "</title>"), std::string::npos);
    EXPECT_NE(html.find("<tr><td>Název: </td><td>Doom</td></tr>"), std::string::npos);
    EXPECT_NE(html.find("<tr><td>a.txt</td>"), std::string::npos);
    EXPECT_NE(html.find("<td></td>\r\n</tr>"), std::string::npos); // the empty note
    EXPECT_EQ(shell_.opened, (std::vector<QUrl>{QUrl::fromLocalFile(Q(page))}));
    EXPECT_TRUE(tohtml.LogText().isEmpty()); // cleared on closing
}

TEST_F(ExportWindowsTest, StornoDuringAnExportFromTheMenuLeavesNoPage) {
    TForm_Tohtml& tohtml = StartExport();
    dialogs_.paths.push_back(Q(work_.File("doom.cd")));
    WhenModal([&](QWidget*) {
        EXPECT_TRUE(tohtml.ArchivePath().isEmpty());
        EXPECT_FALSE(tohtml.Button1->isEnabled());
        tohtml.Button4->click(); // "Archiv"
        EXPECT_TRUE(tohtml.Button1->isEnabled());
        // Clicked while the export lets pending events run.
        QTimer::singleShot(0, tohtml.Button2, &QPushButton::click);
        tohtml.Button1->click();
        EXPECT_FALSE(tohtml.Running());
        EXPECT_EQ(tohtml.LogText(), QStringLiteral("Exportuji...\nExport zrušen.\n"));
        EXPECT_TRUE(tohtml.Button1->isEnabled());
        EXPECT_TRUE(tohtml.Button4->isEnabled());
        EXPECT_FALSE(tohtml.Button3->isEnabled());
        tohtml.close();
    });
    Trigger("Action_Export");
    ASSERT_EQ(dialogs_.requests.size(), 1u);
    EXPECT_EQ(dialogs_.requests[0].kind, DialogKind::OpenFile);
    EXPECT_EQ(dialogs_.requests[0].file.folder, window_->WorkingFolder());
    EXPECT_EQ(ListDir(work_.Path()), (std::vector<std::string>{"_cd_.lst", "abuse.cd", "doom.cd"}));
}

TEST_F(ExportWindowsTest, TheConversionWindowConvertsTheSelectedCataloguesIntoTheArchiveList) {
    TForm_Konv_WC& konv = StartConversion();
    WriteFile(source_.File("hry.cds"), Catalogue("DOOM", "doom.exe"));
    WriteFile(source_.File("texty.CDS"), Catalogue("DOC", "a.txt"));
    WriteFile(source_.File("jine.cds"), Catalogue("X", "x.txt"));
    ConvertThroughMenu(konv, "Action_KonvCds",
                       {QStringLiteral("hry.cds"), QStringLiteral("texty.CDS")});

    EXPECT_EQ(TargetNames(konv),
              (std::vector<QString>{QStringLiteral("hry.cd"), QStringLiteral("texty.cd")}));
    EXPECT_TRUE(konv.Messages().isEmpty());
    EXPECT_EQ(ListNames(), (std::vector<QString>{QStringLiteral("hry"), QStringLiteral("texty")}));
    EXPECT_EQ(CacheLines(), (std::vector<std::string>{"\\Zbytek\\ hry.cd", "\\Zbytek\\ texty.cd"}));
    EXPECT_FALSE(konv.Button2->isVisibleTo(&konv));
    EXPECT_TRUE(konv.Button3->isVisibleTo(&konv));
}

TEST_F(ExportWindowsTest, AnUnreadableCatalogueIsReportedAndTheNextOneConverted) {
    TForm_Konv_WC& konv = StartConversion();
    WriteFile(source_.File("a.cds"), Catalogue("A", "a.txt"));
    WriteFile(source_.File("b.cds"), Catalogue("B", "b.txt"));
    WriteFile(work_.File("b.cd"), "<head>\r\nName=old\r\n\r\n<tree>\r\n\\\r\n");
    konv.DirectoryEdit1->SetFolder(Q(source_.Path()));
    konv.Prepare(TConvertSource::Cds);
    SelectFiles(konv, {QStringLiteral("a.cds"), QStringLiteral("b.cds")});
    std::filesystem::remove(source_.File("a.cds")); // gone after it was listed
    prompt_.answers.push_back(PromptAnswer::Ok);
    konv.Button1->click();

    EXPECT_EQ(konv.Messages(),
              QStringLiteral("Nelze přečíst soubor a.cds: No such file or directory"));
    EXPECT_EQ(prompt_.Texts(PromptKind::Question),
              (std::vector<QString>{QStringLiteral("Přepsat existující soubor ? b.cd")}));
    EXPECT_EQ(ReadArchiveFile(work_.File("b.cd")).Head.Name, "b");
    EXPECT_FALSE(FileExists(work_.File("a.cd")));
}

TEST_F(ExportWindowsTest, StornoStopsTheConversionRun) {
    TForm_Konv_WC& konv = StartConversion();
    WriteFile(source_.File("a.cds"), Catalogue("A", "a.txt"));
    WriteFile(source_.File("b.cds"), Catalogue("B", "b.txt"));
    konv.DirectoryEdit1->SetFolder(Q(source_.Path()));
    konv.Prepare(TConvertSource::Cds);
    SelectFiles(konv, {QStringLiteral("a.cds"), QStringLiteral("b.cds")});
    QTimer::singleShot(0, konv.Button2, &QPushButton::click);
    konv.Button1->click();

    EXPECT_FALSE(konv.Running());
    EXPECT_EQ(ListDir(work_.Path()), (std::vector<std::string>{"_cd_.lst"}));
    EXPECT_FALSE(konv.Button2->isVisibleTo(&konv));
    EXPECT_TRUE(konv.Button1->isEnabled());
}

TEST_F(ExportWindowsTest, ReplacingTheOpenArchiveClosesItUnsaved) {
    TForm_Konv_WC& konv = StartConversion();
    WriteFile(source_.File("b.cds"), Catalogue("B", "b.txt"));
    WriteArchiveFile(MakeArchive(work_.File("b.cd"), "old", {{"\\", {{"old.txt", "1"}}}}));
    OpenThroughDialog(work_.File("b.cd"));
    window_->SetModified(true);
    konv.DirectoryEdit1->SetFolder(Q(source_.Path()));
    konv.Prepare(TConvertSource::Cds);
    SelectFiles(konv, {QStringLiteral("b.cds")});
    prompt_.answers.push_back(PromptAnswer::Ok);
    konv.Button1->click();

    EXPECT_TRUE(window_->CurrentArchive.Head.FileName.empty());
    EXPECT_FALSE(window_->Modified());
    window_->close();
    EXPECT_EQ(ReadArchiveFile(work_.File("b.cd")).Head.Name, "b");
}

TEST_F(ExportWindowsTest, TheNcduEntryImportsAJsonExport) {
    TForm_Konv_WC& konv = StartConversion();
    WriteFile(source_.File("disk.json"),
              R"([1,2,{"progname":"ncdu","progver":"1.19","timestamp":1700000000},)"
              R"([{"name":"/media/eva/ZALOHA"},{"name":"a.txt","asize":10},)"
              R"([{"name":"Fotky"},{"name":"b.jpg","asize":2048}]]])");
    WriteFile(source_.File("other.cds"), Catalogue("X", "x.txt"));
    ConvertThroughMenu(konv, "Action_KonvNcdu", {QStringLiteral("disk.json")});

    EXPECT_EQ(konv.windowTitle(), QStringLiteral("Import z ncdu / gdu *.json"));
    EXPECT_EQ(konv.SourceFiles().rowCount(), 1);
    EXPECT_TRUE(konv.Messages().isEmpty());
    EXPECT_EQ(ListNames(), (std::vector<QString>{QStringLiteral("ZALOHA")}));
    const TArch imported = ReadArchiveFile(work_.File("ZALOHA.cd"));
    EXPECT_EQ(imported.DirCount, 2);
}

} // namespace
} // namespace orbisk::test
