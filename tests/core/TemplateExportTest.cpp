#include <gtest/gtest.h>

#include <strings.h>

#include "ArchiveBuilder.h"
#include "TestSupport.h"
#include "core/db/TemplateExport.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

using Lines = std::vector<std::string>;

int ByteCompare(std::string_view a, std::string_view b) {
    return a.compare(b);
}

// CR LF after every line.
std::string Page(const Lines& lines) {
    std::string page;
    for (const std::string& line : lines)
        page.append(line).append("\r\n");
    return page;
}

} // namespace

TEST(DbTemplate, MarkersCutTheTemplateIntoSections) {
    const struct {
        const char* what;
        std::string text;
        std::array<Lines, kTemplateSections> sections;
    } cases[] = {
        {"lines before the first marker are dropped",
         "intro\r\n[ItemsHeader]\r\n<html>\r\n[Item]\r\n$Name\r\n",
         {Lines{"<html>"}, {}, Lines{"$Name"}, {}, {}}},
        {"a repeated marker appends to its section",
         "[ItemsEnd]\r\na\r\n[Item]\r\nx\r\n[ItemsEnd]\r\nb\r\n",
         {Lines{}, {}, Lines{"x"}, {}, Lines{"a", "b"}}},
        {"only a marker alone on its line counts",
         "[KategoryHead]\r\n [Item]\r\n[Other]\r\n[Item] \r\n",
         {Lines{}, Lines{" [Item]", "[Other]", "[Item] "}, {}, {}, {}}},
        {"lines end at LF and CR too; empty lines are lines",
         "[KategoryEnd]\na\n\nb\rc\r\n\r\n",
         {Lines{}, {}, {}, Lines{"a", "", "b", "c", ""}, {}}},
        {"0x1A ends the text",
         "[ItemsEnd]\r\na\r\n\x1a[Item]\r\nb\r\n",
         {Lines{}, {}, {}, {}, Lines{"a"}}},
        {"no markers, no sections", "<html>\r\n$Name\r\n", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ParseTemplate(c.text).Sections, c.sections);
    }
}

TEST(DbTemplate, PageHasContentsAnchorsAndWholeLinePlaceholders) {
    TArch db = MakeArchive({{"\\B\\", {{"b1", "5", "Disk", "\\b1", "nb", "one\x07two\x07"}}},
                            {"\\Empty\\", {}},
                            {"\\", {{"r1", "1 024", "Disk", "\\r1"}}},
                            {"\\B\\C\\D\\", {{"d1", "7", "Disk2", "\\x\\d1"}}}});
    TDbTemplate tpl;
    tpl.Sections[kItemsHeader] = {"<html>", "$Name"};
    tpl.Sections[kKategoryHead] = {"<h2>", "$Kategory", "</h2>"};
    tpl.Sections[kItem] = {"$Name", "  $Name", "$Size",        "$Archive",
                           "$Path", "$Notice", "$Description", "$Kategory"};
    tpl.Sections[kKategoryEnd] = {"<hr>"};
    tpl.Sections[kItemsEnd] = {"</html>"};
    const Lines expected = {"<html>", "$Name", "<p><tt>",
                            // contents: categories with items, in the database's order
                            "<a href=\"#\\B\\\">B</a><br>", "<a href=\"#\\\"></a><br>",
                            "&nbsp;&nbsp;&nbsp;", "&nbsp;&nbsp;&nbsp;",
                            "+-&nbsp;<a href=\"#\\B\\C\\D\\\">D</a><br>", "<br>", "</tt></p><hr>",
                            // \B\ with its item
                            "<a name=\"\\B\\\">", "<h2>", " B ", "</h2>", "b1", "  $Name", "5",
                            "Disk", "\\b1", "nb", "one two ", "$Kategory", "<hr>",
                            // the root category
                            "<a name=\"\\\">", "<h2>", " ", "</h2>", "r1", "  $Name", "1 024",
                            "Disk", "\\r1", "", "", "$Kategory", "<hr>",
                            // three levels deep
                            "<a name=\"\\B\\C\\D\\\">", "<h2>", " B C D ", "</h2>", "d1", "  $Name",
                            "7", "Disk2", "\\x\\d1", "", "", "$Kategory", "<hr>", "</html>"};
    EXPECT_EQ(BuildDatabasePage(db, tpl), Page(expected));
}

// Names, paths, notes and descriptions come from scanned media: what the
// export inserts reaches the page as text, the template's own text as it is.
TEST(DbTemplate, InsertedValuesAreEscaped) {
    TArch db = MakeArchive(
        {{"\\<i>&\"x\"\\",
          {{"<script>alert(1)</script>", "1", "A&B", "\\\"q\"", "<n>", "<b>d</b>\x07&amp;\x07"}}}});
    TDbTemplate tpl;
    tpl.Sections[kItemsHeader] = {"<style>a > b { x: \"&\" }</style>"};
    tpl.Sections[kKategoryHead] = {"$Kategory"};
    tpl.Sections[kItem] = {"$Name", "$Archive", "$Path", "$Notice", "$Description"};
    const Lines expected = {
        "<style>a > b { x: \"&\" }</style>",
        "<p><tt>",
        "<a href=\"#\\&lt;i&gt;&amp;&quot;x&quot;\\\">&lt;i&gt;&amp;&quot;x&quot;"
        "</a><br>",
        "<br>",
        "</tt></p><hr>",
        "<a name=\"\\&lt;i&gt;&amp;&quot;x&quot;\\\">",
        " &lt;i&gt;&amp;&quot;x&quot; ",
        "&lt;script&gt;alert(1)&lt;/script&gt;",
        "A&amp;B",
        "\\&quot;q&quot;",
        "&lt;n&gt;",
        "&lt;b&gt;d&lt;/b&gt; &amp;amp; "};
    EXPECT_EQ(BuildDatabasePage(db, tpl), Page(expected));
    EXPECT_EQ(HtmlEscape("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c'");
}

// Both sorts are stable on the comparison they are given: texts it calls
// equal keep their order, and categories keep their own items.
TEST(DbTemplate, SortsAreStableOnTheGivenComparison) {
    TArch db = MakeArchive({{"\\b\\", {{"x1"}, {"X2"}, {"a"}}},
                            {"\\A\\", {{"k"}}},
                            {"\\a\\", {{"m"}}},
                            {"\\", {{"b"}, {"B"}, {"a"}}}});
    auto caseless = [](std::string_view a, std::string_view b) {
        int order = ::strncasecmp(a.data(), b.data(), std::min(a.size(), b.size()));
        return order != 0 ? order : static_cast<int>(a.size()) - static_cast<int>(b.size());
    };
    SortDatabase(db, caseless);
    std::vector<std::string> order;
    for (std::int32_t d = 1; d <= db.DirCount; ++d) {
        const TDir& dir = db.Dirs[static_cast<std::size_t>(d)];
        std::string line = dir.Path + ":";
        for (std::int32_t r = dir.First; r < dir.First + dir.Count; ++r)
            line += " " + db.Recs[static_cast<std::size_t>(r)].Name.str();
        order.push_back(line);
    }
    EXPECT_EQ(order,
              (std::vector<std::string>{"\\: a b B", "\\A\\: k", "\\a\\: m", "\\b\\: a x1 X2"}));
}

TEST(DbTemplate, ExportReadsSortsAndWrites) {
    TempDir dir;
    TArch db = MakeArchive({{"\\Z\\", {{"z"}}}, {"\\A\\", {{"b"}, {"a"}}}});
    WriteFile(dir.File("plain.tpl"), "[ItemsHeader]\n<html>\n[Item]\n$Name\n[ItemsEnd]\n</html>\n");
    const std::string out = dir.File("page.html");
    EXPECT_EQ(ExportDatabase(db, dir.File("none.tpl"), out, ByteCompare).Result,
              TExportResult::TemplateMissing);
    EXPECT_FALSE(FileExists(out));
    const TExportStatus failed =
        ExportDatabase(db, dir.File("plain.tpl"), dir.File("no/such/page.html"), ByteCompare);
    EXPECT_EQ(failed.Result, TExportResult::NotWritten);
    EXPECT_EQ(failed.File.file, dir.File("no/such/page.html"));
    ASSERT_EQ(ExportDatabase(db, dir.File("plain.tpl"), out, ByteCompare).Result,
              TExportResult::Exported);
    EXPECT_EQ(ReadFile(out),
              Page({"<html>", "<p><tt>", "<a href=\"#\\A\\\">A</a><br>",
                    "<a href=\"#\\Z\\\">Z</a><br>", "<br>", "</tt></p><hr>", "<a name=\"\\A\\\">",
                    "a", "b", "<a name=\"\\Z\\\">", "z", "</html>"}));
}

// The templates shipped beside the program fill every section and put each
// value on a line of its own, so an export works on a fresh install.
TEST(DbTemplate, ShippedTemplatesHaveEverySection) {
    for (const char* name : {"plain.tpl", "utf8-style.tpl"}) {
        SCOPED_TRACE(name);
        const TDbTemplate tpl =
            ParseTemplate(ReadFile(std::string(ORBISK_RESOURCES_DIR) + "/" + name));
        for (const auto& section : tpl.Sections)
            EXPECT_FALSE(section.empty());
        const auto& item = tpl.Sections[kItem];
        for (const char* value : {"$Name", "$Size", "$Archive", "$Path", "$Description"})
            EXPECT_NE(std::find(item.begin(), item.end(), value), item.end()) << value;
        EXPECT_EQ(tpl.Sections[kKategoryHead][1], "$Kategory");
    }
}
