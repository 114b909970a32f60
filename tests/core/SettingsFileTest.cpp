// The line format of the settings and language files, the global lines of
// the settings file, reading old Windows files, saving and where the files
// live.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "TestSupport.h"
#include "WithoutDacOverride.h"
#include "core/catalog/TextFile.h"
#include "core/settings/CoreTexts.h"
#include "core/settings/SettingsFiles.h"
#include "core/settings/SettingsLine.h"

namespace orbisk {
namespace {

using test::TempDir;
using Lines = std::vector<std::string>;

TEST(SettingsLine, SplitsSectionsNamesPropertiesAndQuotedValues) {
    struct Row {
        const char* line;
        bool section;
        const char* window;
        const char* component;
        const char* property;
        const char* value;
    };
    const Row rows[] = {
        {"[Form_DB]------------------------------------------------", true, "Form_DB", "", "", ""},
        {"Form_DB.Left = \"282\"", false, "", "Form_DB", "Left", "282"},
        // Blanks in the name part go; the value is what stands between the quotes.
        {"  Panel 1 . Width   =   \"120\"  ", false, "", "Panel1", "Width", "120"},
        {"Panel1.Width=\"120\"", false, "", "Panel1", "Width", "120"},
        // Without a point the property is empty; the second point stays in it.
        {"Label = \"x\"", false, "", "Label", "", "x"},
        {"A.B.C = \"x\"", false, "", "A", "B.C", "x"},
        // A caption with a double quote ends at it.
        {"Button.Caption = \"say \"hi\" now\"", false, "", "Button", "Caption", "say "},
        {"Edit1.Color = \"a=b\"", false, "", "Edit1", "Color", "a=b"},
        {"Edit1.Color = 5", false, "", "Edit1", "Color", ""},
        {"Edit1.Color = \"open", false, "", "Edit1", "Color", "open"},
        // No "=", or nothing before it: a section, named between "[" and "]".
        {"no equals sign", true, "", "", "", ""},
        {" = \"x\"", true, "", "", "", ""},
        {"x[Form_Setup]y", true, "Form_Setup", "", "", ""},
        {"", true, "", "", "", ""},
    };
    for (const Row& r : rows) {
        const TSettingsLine line = SplitSettingsLine(r.line);
        EXPECT_EQ(line.Section, r.section) << r.line;
        EXPECT_EQ(line.Window, r.window) << r.line;
        EXPECT_EQ(line.Component, r.component) << r.line;
        EXPECT_EQ(line.Property, r.property) << r.line;
        EXPECT_EQ(line.Value, r.value) << r.line;
    }
    EXPECT_EQ(SectionLine("Form_DB"), "[Form_DB]" + std::string(48, '-'));
    EXPECT_EQ(PropertyLine("Form_DB", "Left", "282"), "Form_DB.Left = \"282\"");
}

TEST(SettingsLine, NumbersAndListValues) {
    const std::pair<const char*, std::optional<int>> numbers[] = {
        {"282", 282},         {"-40", -40},          {"+7", 7},
        {"  12", 12},         {"", std::nullopt},    {"12 ", std::nullopt},
        {"1x", std::nullopt}, {"abc", std::nullopt}, {"99999999999", std::nullopt},
        {"-", std::nullopt},
    };
    for (const auto& [text, value] : numbers)
        EXPECT_EQ(ParseDecimal(text), value) << text;
    const std::pair<const char*, Lines> lists[] = {
        {"", {}},         {"a;", {"a"}},        {"a;b;", {"a", "b"}}, {"a;b;c", {"a", "b"}},
        {";;", {"", ""}}, {"no separator", {}},
    };
    for (const auto& [value, pieces] : lists)
        EXPECT_EQ(SplitListValue(value), pieces) << value;
    EXPECT_EQ(JoinListValue({"Název", "", "Datum"}), "Název;;Datum;");
}

// Records what reaches it and fails on the line whose value is "bad".
struct RecordingSink : TLineSink {
    Lines seen;
    void Section(const std::string& window) override { seen.push_back("[" + window + "]"); }
    bool Property(const TSettingsLine& line) override {
        if (line.Value == "bad") return false;
        seen.push_back(line.Component + "." + line.Property + "=" + line.Value);
        return true;
    }
};

TEST(SettingsLine, ApplyingStopsAtTheFirstFailureAcrossLaterWindows) {
    const Lines lines = {"title",
                         "dir",
                         "lang",
                         SectionLine("A"),
                         "P.Width = \"1\"",
                         "P.Width = \"bad\"",
                         SectionLine("B"),
                         "Q.Height = \"2\""};
    RecordingSink sink;
    EXPECT_EQ(ApplyLines(lines, kFirstBlockLine, sink), 2u);
    EXPECT_EQ(sink.seen, (Lines{"[A]", "P.Width=1"}));
}

TEST(SettingsGlobals, TitleDecidesWhetherTheFileCountsAsLoaded) {
    const std::string title = "Orbisk   v1.18    ";
    struct Row {
        const char* what;
        Lines lines;
        bool loaded;
        const char* dir;
        const char* lang;
    };
    const Row rows[] = {
        {"first start", {}, false, "VEviz", "default.lng"},
        {"two lines", {title, "/data"}, false, "VEviz", "default.lng"},
        {"this version", {title, "/data", "ENGLISH.LNG"}, true, "/data", "ENGLISH.LNG"},
        {"another version",
         {"Orbisk v1.17", "/old", "x.lng", "[Form_Main]"},
         false,
         "/old",
         "x.lng"},
        {"title with other blanks", {"Orbisk v1.18", "/d", "l"}, false, "/d", "l"},
    };
    for (const Row& r : rows) {
        TSettingsGlobals g{"VEviz", "default.lng"};
        EXPECT_EQ(ReadSettingsGlobals(r.lines, title, g), r.loaded) << r.what;
        EXPECT_EQ(g.WorkingDirectory, r.dir) << r.what;
        EXPECT_EQ(g.LanguageFile, r.lang) << r.what;
    }
    // The viewer compares no title.
    TSettingsGlobals viewer;
    EXPECT_TRUE(ReadSettingsGlobals({"anything", "VEviz/cd.db", "default.lng"}, "", viewer));
}

TEST(SettingsFiles, ReadsUtf8AndWindows1250Files) {
    TempDir dir;
    const std::pair<const char*, const char*> rows[] = {
        {"Label1.Caption = \"Nov\xC3\xBD\"\r\nx\r\n", "Label1.Caption = \"Nov\xC3\xBD\""},
        // Windows-1250: 0xFD is ý, 0xE8 is č.
        {"Label1.Caption = \"Nov\xFD \xE8\"\r\nx\r\n", "Label1.Caption = \"Nov\xC3\xBD \xC4\x8D\""},
    };
    for (const auto& [bytes, first] : rows) {
        test::WriteFile(dir.File("a.lng"), bytes);
        Lines lines;
        ASSERT_TRUE(ReadSettingsLines(dir.File("a.lng"), lines));
        EXPECT_EQ(lines, (Lines{first, "x"}));
    }
    Lines untouched{"kept"};
    EXPECT_TRUE(ReadSettingsLines(dir.File("none.lng"), untouched).Missing());
    EXPECT_EQ(untouched, Lines{"kept"});
}

TEST(SettingsFiles, SavesWithCrLfIntoNewFoldersAndRewritesAReadOnlyFile) {
    TempDir dir;
    const std::string nested = dir.File("a/b/Orbisk.INI");
    ASSERT_TRUE(SaveSettingsLines(nested, {"one", "dvě"}));
    EXPECT_EQ(test::ReadFile(nested), "one\r\ndvě\r\n");

    // A read-only file in a folder that takes no new files: the safe save
    // cannot work, the retry makes the file writable and writes it.
    test::WithoutDacOverride noRoot;
    if (!noRoot.Active()) GTEST_SKIP() << "cannot drop root's file rights";
    const std::string locked = dir.File("locked/Orbisk.INI");
    ASSERT_TRUE(SaveSettingsLines(locked, {"old"}));
    ::chmod(locked.c_str(), 0444);
    ::chmod(dir.File("locked").c_str(), 0555);
    const TFileStatus saved = SaveSettingsLines(locked, {"new"});
    ::chmod(dir.File("locked").c_str(), 0755);
    EXPECT_TRUE(saved);
    EXPECT_EQ(test::ReadFile(locked), "new\r\n");
}

TEST(SettingsFiles, WrittenFilesLiveInTheUserFolderUnlessTheProgramFolderIsPortable) {
    TempDir program, config;
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", config.Path().c_str(), 1);
    const std::string user = config.File("orbisk/Orbisk.INI");
    const std::string beside = program.File("Orbisk.INI");

    EXPECT_EQ(UserConfigDir(), config.File("orbisk"));
    // Nothing anywhere: read the shipped copy (absent), write the user's.
    TFileLocation where = LocateWrittenFile(program.Path(), "Orbisk.INI");
    EXPECT_EQ(where.Read, beside);
    EXPECT_EQ(where.Write, user);
    // The user's copy exists: both go there.
    ASSERT_TRUE(SaveSettingsLines(user, {"x"}));
    where = LocateWrittenFile(program.Path(), "Orbisk.INI");
    EXPECT_EQ(where.Read, user);
    EXPECT_EQ(where.Write, user);
    // A writable file beside the program: a portable install keeps it there.
    test::WriteFile(beside, "x\r\n");
    where = LocateWrittenFile(program.Path(), "Orbisk.INI");
    EXPECT_EQ(where.Read, beside);
    EXPECT_EQ(where.Write, beside);

    // Language files: the user's copy first, else the one beside the program.
    test::WriteFile(program.File("CZECH.LNG"), "");
    test::WriteFile(config.File("orbisk/MINE.LNG"), "");
    test::WriteFile(program.File("MINE.LNG"), "");
    EXPECT_EQ(LanguageFilePath(program.Path(), "CZECH.LNG"), program.File("CZECH.LNG"));
    EXPECT_EQ(LanguageFilePath(program.Path(), "MINE.LNG"), config.File("orbisk/MINE.LNG"));
    EXPECT_EQ(LanguageFilePath(program.Path(), "NONE.LNG"), program.File("NONE.LNG"));

    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "/";
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    ::setenv("HOME", config.Path().c_str(), 1);
    EXPECT_EQ(UserConfigDir(), config.File(".config/orbisk"));
    ::setenv("HOME", home.c_str(), 1);
    if (old)
        ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

TEST(CoreTexts, FileMessagesFollowTheTextTable) {
    const TFileStatus missing = TFileStatus::Failed("x", ENOENT);
    EXPECT_EQ(UserText(missing), kMsgFileMissing);
    SetCoreText(TCoreText::FileMissing, "File not available.");
    SetCoreText(TCoreText::CannotCreate, "Cannot create file.");
    EXPECT_EQ(UserText(missing), "File not available.");
    EXPECT_EQ(Describe(TFileStatus::Failed("x", ENOSPC, FileOp::Write)),
              "Cannot create file. x: " + std::string(std::strerror(ENOSPC)));
    ResetCoreTexts();
    EXPECT_EQ(UserText(missing), kMsgFileMissing);
}

} // namespace
} // namespace orbisk
