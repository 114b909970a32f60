#include <gtest/gtest.h>

#include <cerrno>

#include "TestSupport.h"
#include "core/export/ArchiveExport.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

const std::atomic<bool> kRunning{true};

std::string Head(std::string_view name = "") {
    return "<head>\r\nName=" + std::string(name) + "\r\n<tree>\r\n";
}

std::string Page(std::string_view archive, TExportColumns columns = {},
                 std::string_view title = "a.cd", const TExportTexts& texts = {}) {
    RecordingHost host;
    std::string out;
    EXPECT_TRUE(FormatArchivePage(archive, title, columns, texts, kRunning, host, out));
    return out;
}

// The lines of the page after the six header rows and before the foot.
std::string Body(const std::string& page) {
    const std::size_t start = page.find("</table><hr>");
    const std::size_t end = page.rfind("</table><hr>");
    return page.substr(start, end - start);
}

bool Has(const std::string& text, std::string_view part) {
    return text.find(part) != std::string::npos;
}

constexpr TExportColumns kNameOnly{.Size = false, .Date = false, .Attr = false};

} // namespace

TEST(ArchiveExportPage, WritesSectionsRowsAndLinksOfTheTree) {
    const struct {
        const char* what;
        std::string archive;
        TExportColumns columns;
        std::string body; // from the first section to the foot
    } cases[] = {
        {"the example folder: a folder links to its section, a file has its cells",
         Head() + "\\DOOM\\\r\nDATA\t0\tD1\td----\t\t\r\ndoom.exe\t2048\tD2\t -a--\t\t\r\n",
         {},
         "</table><hr>\r\n"
         "<p><a name=\"\\DOOM\\\">[ \\DOOM\\ ]&nbsp;&nbsp;<a href=\"#\\\">[ \\ ]</a>&nbsp;&nbsp;"
         "<a href=\"#\\\">[ .. ]</a></p>\r\n"
         "<table border=\"0\">\r\n<tr><td width=\"120\"></td>\r\n"
         "<td align=\"right\" width=\"60\"> </td>\r\n<td width=\"80\"> </td>\r\n"
         "<td width=\"40\"> </td>\r\n</tr>\r\n"
         "<tr><td><a href=\"#\\DOOM\\DATA\\\">DATA</a></td>\r\n<td>&lt;DIR&gt;</td>\r\n"
         "<td>D1</td>\r\n<td>d----</td>\r\n</tr>\r\n"
         "<tr><td>doom.exe</td>\r\n<td align=\"right\">2048</td>\r\n<td>D2</td>\r\n"
         "<td> -a--</td>\r\n</tr>\r\n"},
        {"only the root: anchor, root and parent links all name \\", Head() + "\\\r\n", kNameOnly,
         "</table><hr>\r\n<p><a name=\"\\\">[ \\ ]&nbsp;&nbsp;<a href=\"#\\\">[ \\ ]</a>"
         "&nbsp;&nbsp;<a href=\"#\\\">[ .. ]</a></p>\r\n<table border=\"0\">\r\n"
         "<tr><td width=\"120\"></td>\r\n</tr>\r\n"},
        {"all optional columns off: the name cell and </tr> per entry; grid on",
         Head() + "\\\r\nf\t1\tD\t ----\tn\td\x07\r\n",
         {.Size = false, .Date = false, .Attr = false, .Grid = true},
         "</table><hr>\r\n<p><a name=\"\\\">[ \\ ]&nbsp;&nbsp;<a href=\"#\\\">[ \\ ]</a>"
         "&nbsp;&nbsp;<a href=\"#\\\">[ .. ]</a></p>\r\n<table border=\"1\">\r\n"
         "<tr><td width=\"120\"></td>\r\n</tr>\r\n<tr><td>f</td>\r\n</tr>\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Body(Page(c.archive, c.columns)), c.body);
    }
}

TEST(ArchiveExportPage, CellsFollowTheKindAndTheColumns) {
    const TExportColumns all{.Note = true, .Description = true};
    const struct {
        const char* what;
        std::string tree; // after the directory line "\GAMES\DOOM\"
        TExportColumns columns;
        std::vector<std::string> has, hasNot;
    } cases[] = {
        {"the parent link drops the last component",
         "",
         kNameOnly,
         {"<a href=\"#\\GAMES\\\">[ .. ]</a>"},
         {}},
        {"a description's line marks become blanks, a trailing one too",
         "f\t1\tD\t ----\tnote\ta\x07"
         "b\x07\r\n",
         all,
         {"<td>a b </td>\r\n", "<td>note</td>\r\n"},
         {"\x07"}},
        {"a listed ZIP file links and shows its size",
         "x.zip\t77\tD\tp----\t\t\r\n",
         {},
         {"<a href=\"#\\GAMES\\DOOM\\x.zip\\\">x.zip</a>", "<td align=\"right\">77</td>"},
         {}},
        {"a source archive of a multi-archive links and shows Archiv",
         "disk\t0\tD\tA----\t\t\r\n",
         {},
         {"<a href=\"#\\GAMES\\DOOM\\disk\\\">disk</a>", "<td align=\"right\">Archiv</td>"},
         {}},
        {"a line with fewer fields keeps its text as the description",
         "solo\tlast\r\n",
         all,
         {"<tr><td>solo</td>\r\n<td align=\"right\"></td>\r\n<td></td>\r\n<td></td>\r\n"
          "<td></td>\r\n<td>last</td>\r\n</tr>"},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string page = Page(Head() + "\\GAMES\\DOOM\\\r\n" + c.tree, c.columns);
        for (const std::string& part : c.has)
            EXPECT_TRUE(Has(page, part)) << part << "\n" << page;
        for (const std::string& part : c.hasNot)
            EXPECT_FALSE(Has(page, part)) << part;
    }
}

TEST(ArchiveExportPage, HeadHeaderAndFootAndAnEntryBeforeTheFirstFolder) {
    const std::string archive = "<head>\r\nName=Hry\r\nTyp=CD\r\nSubTyp=Akce\r\nMedium=CD-R\r\n"
                                "Owner=Petr\r\nDescription=Popis\r\nName=Later\r\n<tree>\r\n"
                                "early\t5\tD\t ----\t\t\r\n\\\r\n";
    TExportTexts texts;
    texts.HomePage = "file:///opt/a&b/help/index.html";
    const std::string page = Page(archive, {}, "/arch/hry.cd", texts);
    const std::string expectedStart =
        "<html><head><meta charset=\"utf-8\"><title>/arch/hry.cd</title></head>\r\n"
        "<body bgcolor=\"#D8D0C8\" text=\"#000000\">\r\n<tt><hr><table border=\"0\">\r\n"
        "<tr><td>Název: </td><td>Later</td></tr>\r\n<tr><td>Typ: </td><td>CD</td></tr>\r\n"
        "<tr><td>Subtyp: </td><td>Akce</td></tr>\r\n<tr><td>Medium: </td><td>CD-R</td></tr>\r\n"
        "<tr><td>Vlastník: </td><td>Petr</td></tr>\r\n"
        "<tr><td>Popis: </td><td>Popis</td></tr>\r\n"
        // An entry before the first directory lands in the header table.
        "<tr><td>early</td>\r\n";
    EXPECT_EQ(page.substr(0, expectedStart.size()), expectedStart);
    EXPECT_TRUE(page.ends_with("</table><hr>\r\n<p>Výpis byl vytvořen pomocí programu "
                               "<a href=\"file:///opt/a&amp;b/help/index.html\">Orbisk</a>."
                               "</p>\r\n"
                               "</tt></body>\r\n</html>\r\n"))
        << page;
    // Without a home page the foot names the program without a link.
    EXPECT_TRUE(Page(archive).ends_with("programu Orbisk.</p>\r\n</tt></body>\r\n</html>\r\n"));
}

// A file named <script> must not run in the browser; quotes must not end an
// attribute. Every inserted text is escaped, fixed markup is not.
TEST(ArchiveExportPage, EscapesEveryInsertedText) {
    const std::string archive = "<head>\r\nName=A&B <i>\r\nOwner=\"x\"\r\n<tree>\r\n"
                                "\\a\"<b>&\\\r\n"
                                "<script>alert(1)</script>\t1\tD&\t ----\tn<\td>\x07\r\n"
                                "q\"d\t0\tD\td----\t\t\r\n";
    const std::string page = Page(archive, {.Note = true, .Description = true}, "t<&>.cd");
    for (std::string_view part :
         {"<title>t&lt;&amp;&gt;.cd</title>", "<td>A&amp;B &lt;i&gt;</td>",
          "<td>&quot;x&quot;</td>", "<a name=\"\\a&quot;&lt;b&gt;&amp;\\\">",
          "[ \\a&quot;&lt;b&gt;&amp;\\ ]", "<tr><td>&lt;script&gt;alert(1)&lt;/script&gt;</td>",
          "<td>D&amp;</td>", "<td>n&lt;</td>", "<td>d&gt; </td>",
          "<a href=\"#\\a&quot;&lt;b&gt;&amp;\\q&quot;d\\\">q&quot;d</a>"})
        EXPECT_TRUE(Has(page, part)) << part << "\n" << page;
    EXPECT_FALSE(Has(page, "<script>"));
    EXPECT_FALSE(Has(page, "<i>"));
}

// The page declares UTF-8: UTF-8 texts stay as they are, Windows-1250 texts
// (catalogues from Windows) are converted field by field.
TEST(ArchiveExportPage, WritesEveryTextAsUtf8) {
    const struct {
        const char* what;
        std::string archive;
        std::string has;
    } cases[] = {
        {"UTF-8 archive", Head("Kůň") + "\\Žluť\\\r\nčaj.txt\t1\tD\t ----\t\t\r\n",
         "<tr><td>čaj.txt</td>"},
        {"Windows-1250 archive",
         Head("K\xf9\xf2") + "\\\x8elu\x9d\\\r\n\xe8"
                             "aj.txt\t1\tD\t ----\t\t\r\n",
         "<tr><td>čaj.txt</td>"},
        {"Windows-1250 header", Head("K\xf9\xf2") + "\\\r\n", "<td>Kůň</td>"},
        {"Windows-1250 folder", Head() + "\\\x8elu\x9d\\\r\n", "[ \\Žluť\\ ]"},
        {"a UTF-8 field in a Windows-1250 file stays",
         Head("\xe8") + "\\\r\nkůň\t1\tD\t ----\t\t\r\n", "<tr><td>kůň</td>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string page = Page(c.archive);
        EXPECT_TRUE(Has(page, "<meta charset=\"utf-8\">"));
        EXPECT_TRUE(Has(page, c.has)) << page;
    }
}

TEST(ArchiveExportPage, StopsWhenTheRunningFlagIsCleared) {
    // Storno in the window clears the flag while the host pumps.
    struct StornoHost : RecordingHost {
        std::atomic<bool>* running = nullptr;
        void Pump() override { running->store(false); }
    };
    std::string archive = Head() + "\\\r\n";
    for (int i = 0; i < 3000; ++i)
        archive += "f" + std::to_string(i) + "\t1\tD\t ----\t\t\r\n";
    std::atomic<bool> running{true};
    StornoHost host;
    host.running = &running;
    std::string out;
    EXPECT_FALSE(FormatArchivePage(archive, "a.cd", {}, {}, running, host, out));
    EXPECT_FALSE(Has(out, "f2999"));
}

TEST(ArchiveExportCsv, OneRowPerEntryWithQuotingAndJoinedDescriptionLines) {
    const std::string archive = Head() + "\\\r\nplain\t1\tD T\t ----\t\t\r\n"
                                         "\\a,b\\\r\n"
                                         "say \"hi\"\t2\tD\t -a--\tnote, more\tl1\x07l2\x07\r\n"
                                         "\xe8"
                                         "aj\t3\tD\t ----\t\t\r\n";
    RecordingHost host;
    std::string out;
    ASSERT_TRUE(FormatArchiveCsv(archive, kRunning, host, out));
    EXPECT_EQ(out, "Cesta,Název,Velikost,Datum,Atribut,Poznámka,Popis\r\n"
                   "\\plain,plain,1,D T, ----,,\r\n"
                   "\"\\a,b\\say \"\"hi\"\"\",\"say \"\"hi\"\"\",2,D, -a--,\"note, more\","
                   "\"l1\nl2\"\r\n"
                   "\"\\a,b\\čaj\",čaj,3,D, ----,,\r\n");
}

TEST(ArchiveExportFiles, ReportsTheFileAndReasonAndNeverLeavesHalfAPage) {
    TempDir dir;
    const std::atomic<bool> running{true};
    RecordingHost host;
    const TExportResult missing =
        ExportArchive(dir.File("none.cd"), TExportFormat::Page, {}, {}, running, host);
    EXPECT_EQ(missing.Outcome, TExportOutcome::Unreadable);
    EXPECT_EQ(missing.Status.file, dir.File("none.cd"));
    EXPECT_EQ(missing.Status.error, ENOENT);

    const TExportResult folder =
        ExportArchive(dir.Path(), TExportFormat::Page, {}, {}, running, host);
    EXPECT_EQ(folder.Outcome, TExportOutcome::Unreadable);
    EXPECT_EQ(folder.Status.error, EISDIR);

    const TFileStatus saved = SaveExport(dir.File("no/such/page.html"), "x");
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.file, dir.File("no/such/page.html"));
    EXPECT_EQ(saved.error, ENOENT);

    WriteFile(dir.File("page.html"), "old");
    EXPECT_TRUE(SaveExport(dir.File("page.html"), "new").ok);
    EXPECT_EQ(ReadFile(dir.File("page.html")), "new");
    EXPECT_EQ(ListDir(dir.Path()), std::vector<std::string>{"page.html"});
}

TEST(ArchiveExportFiles, ProposesTheArchivePathWithoutItsLastThreeCharacters) {
    EXPECT_EQ(ProposedExportName("/d/disk7.cd", ".html"), "/d/disk7.html");
    EXPECT_EQ(ProposedExportName("/d/disk7.xyz", ".html"), "/d/disk7..html");
    EXPECT_EQ(ProposedExportName("ab", ".csv"), ".csv");
}
