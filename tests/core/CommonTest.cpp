#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "TestSupport.h"
#include "core/catalog/CodePage.h"
#include "core/catalog/Common.h"
#include "core/catalog/HomePage.h"
#include "core/catalog/ProgramValues.h"

using namespace orbisk;

TEST(Common, AttrStringSpellsEachBit) {
    const std::vector<std::pair<std::uint32_t, std::string>> cases = {
        {0, " ----"},
        {kAttrArchive, " -a--"},
        {kAttrDirectory, "d----"},
        {kAttrDirectory | kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive, "drahs"},
        {kAttrReadOnly | kAttrSystem, " r--s"},
    };
    for (const auto& [bits, want] : cases)
        EXPECT_EQ(AttrString(bits), want) << bits;
}

TEST(Common, FileClassIconByExtensionSubstring) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"README", 2},     {"a.mpeg", 7},    {"index.html", 9}, {"x.P", 5},   {"game.EXE", 4},
        {"song.Mp", 6},    {"pic.jpeg", 8},  {"help.chm", 10},  {"a.zip", 1}, {"a.xyz", 2},
        {"tar.gz.rar", 1}, {"a.TXTXTXT", 2}, {"dir.d/x", 2},    {"a.", 4}, // a lone dot occurs in
                                                                           // the first list already
    };
    for (const auto& [name, want] : cases)
        EXPECT_EQ(FileClassIcon(name), want) << name;
}

TEST(Common, FormatSizeGroupsDigitsByThree) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"123", "123"},
        {"1234", "1 234"},
        {"12 34", "1 234"},
        {"123456", "123 456"},
        {"1234567", "1 234 567"},
        {"1234567890", "1 234 567 890"},
        {"123456789012", "123 456 789 012"},
        {"1234567890123", "1234567890123"},
        {"-1234", "-1 234"},
        {"", ""},
        {" 1 2 ", "12"},
    };
    for (const auto& [in, want] : cases)
        EXPECT_EQ(FormatSize(in), want) << in;
}

TEST(Common, BlankHandling) {
    EXPECT_EQ(RemoveBlanks(" a b  c "), "abc");
    EXPECT_EQ(BlankOut("a\\b\tc\x07"
                       "d",
                       kHeaderForbidden),
              "a b c d");
    EXPECT_EQ(CountChar("\\GAMES\\DOOM\\", '\\'), 3u);
    EXPECT_EQ(UpperAscii("abc\xc3\xa8z"), "ABC\xc3\xa8Z");
}

TEST(Common, IsValidNameReplacesWholeCharacters) {
    struct Case {
        std::string in, out;
        bool valid;
    };
    const std::vector<Case> cases = {
        {"Hry 2", "Hry_2", false},
        {"Hry_2003", "Hry_2003", true},
        {"k\xc5\xaf\xc5\x88", "k__", false}, // UTF-8: one "_" per character
        {"k\xf9\xf2", "k__", false},         // Windows-1250 bytes: one per byte
        {"", "", true},
    };
    for (const auto& c : cases) {
        bool valid = !c.valid;
        EXPECT_EQ(IsValidName(c.in, valid), c.out) << c.in;
        EXPECT_EQ(valid, c.valid) << c.in;
    }
}

TEST(Common, AddToHistorySkipsEmptyAndExactDuplicates) {
    std::vector<std::string> h = {"*.*", "*"};
    for (const char* s : {"", "*", "abc", "ABC", "abc"})
        AddToHistory(h, s);
    EXPECT_EQ(h, (std::vector<std::string>{"*.*", "*", "abc", "ABC"}));
}

TEST(Common, FormatSerialPadsBothHalves) {
    EXPECT_EQ(FormatSerial(0x1A2B0C3D), "1A2B-0C3D");
    EXPECT_EQ(FormatSerial(0), kNoSerial);
    EXPECT_EQ(FormatSerial(0xFFFF0001), "FFFF-0001");
}

TEST(Common, SystemIconIndexAsksOncePerExtension) {
    std::vector<std::string> asked;
    TIconCache cache([&](const std::string& ext) {
        asked.push_back(ext);
        return static_cast<int>(asked.size()) + 10;
    });
    EXPECT_EQ(cache.SystemIconIndex("README"), 0);
    EXPECT_EQ(cache.SystemIconIndex("a.TXT"), 11);
    EXPECT_EQ(cache.SystemIconIndex("b.txt"), 11);
    EXPECT_EQ(cache.SystemIconIndex("c.abcdefgh"), 12);
    EXPECT_EQ(cache.SystemIconIndex("c.ABCDEzz"), 12);
    EXPECT_EQ(asked, (std::vector<std::string>{".txt", ".abcde"}));
}

TEST(CodePage, Cp1250RoundTripsEveryByte) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    std::string utf8 = Cp1250ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    std::string back;
    ASSERT_TRUE(Utf8ToCp1250(utf8, back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(Cp1250ToUtf8("\x8a\xe8"), "\xc5\xa0\xc4\x8d");      // Š č
    EXPECT_FALSE(Utf8ToCp1250("\xe2\x82\xac\xe6\x97\xa5", back)); // € fits, 日 does not
}

TEST(CodePage, Utf8ValidityRejectsMalformedSequences) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"plain", true},     {"k\xc5\xaf\xc5\x88", true}, {"\xf0\x9f\x98\x80", true},
        {"\xc0\xaf", false}, {"\xe0\x80\xaf", false},     {"\xed\xa0\x80", false},
        {"\xc5", false},     {"\xf4\x90\x80\x80", false}, {"\xe8\xe1st", false},
    };
    for (const auto& [text, valid] : cases)
        EXPECT_EQ(IsValidUtf8(text), valid) << text;
}

TEST(ProgramValues, RelativePathsAreResolvedBelowABaseFolder) {
    const struct {
        const char *path, *base, *resolved;
    } cases[] = {
        {"VEviz", "/home/petr", "/home/petr/VEviz"},
        {"VEviz/", "/home/petr/", "/home/petr/VEviz"},
        {"./a/../VEviz", "/home/petr", "/home/petr/VEviz"},
        {"../VEviz", "/home/petr", "/home/VEviz"},
        {"/media/cds/", "/home/petr", "/media/cds"},
        {"/", "/home/petr", "/"},
        {".", "/", "/"},
        {"games.cd", "/home/petr/VEviz", "/home/petr/VEviz/games.cd"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AbsolutePath(c.path, c.base), c.resolved) << c.path << " in " << c.base;
}

// An installed program reads what it ships from PREFIX/share/orbisk; the
// build tree and a copied folder keep their files beside the executable.
TEST(ProgramValues, ProgramDirOfAnInstalledOrAPlainExecutableFolder) {
    test::TempDir root;
    for (const char* dir : {"usr/bin", "usr/share/orbisk", "build/bin", "opt/bin", "opt/share",
                            "portable", "bin", "share/orbisk"})
        std::filesystem::create_directories(root.File(dir));
    const struct {
        const char *exeDir, *programDir;
    } cases[] = {
        {"usr/bin", "usr/share/orbisk"}, // installed under the prefix usr
        {"build/bin", "build/bin"},      // the build tree: resources beside the binaries
        {"opt/bin", "opt/bin"},          // a bin folder with no share/orbisk beside it
        {"portable", "portable"},        {"usr/sbin", "usr/sbin"}, // only a folder named bin counts
        {"bin", "share/orbisk"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgramDirOf(root.File(c.exeDir)), root.File(c.programDir)) << c.exeDir;
}

TEST(ProgramValues, HomePageIsTheShippedGuideAsAFileAddress) {
    const struct {
        const char *programDir, *address;
    } cases[] = {
        {"/usr/share/orbisk", "file:///usr/share/orbisk/help/index.html"},
        {"/home/petr/my build/bin/", "file:///home/petr/my%20build/bin/help/index.html"},
        {"/x/k\xC5\xAF\xC5\x88#?%&", "file:///x/k%C5%AF%C5%88%23%3F%25%26/help/index.html"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HomePageAddress(c.programDir), c.address) << c.programDir;
    // An exported page links no file address of this machine.
    EXPECT_EQ(ExportHomePage("/usr/share/orbisk"), "");
}

TEST(ProgramValues, StartValuesAndExtensionLists) {
    test::TempDir dir;
    test::WriteFile(dir.File("files_ext.txt"), ".TXT\r\n.NFO\r\n\r\n");
    test::WriteFile(dir.File("scan_ext_all.txt"), ".MP3\n.AVI\n");
    ProgramValues v;
    v.ValueLists.MediumList = {"stale"};
    InitProgramValues(v, dir.Path());
    EXPECT_TRUE(v.ValueLists.MediumList.empty());
    EXPECT_EQ(v.SearchHistory, (std::vector<std::string>{"*.*", "*"}));
    EXPECT_EQ(v.MaskHistory, (std::vector<std::string>{"*.*", "*"}));
    EXPECT_EQ(v.WorkingDirectory, "VEviz");
    EXPECT_EQ(v.StartDir, std::filesystem::current_path().string());
    EXPECT_EQ(v.LanguageFile, "default.lng");
    EXPECT_TRUE(v.ShowAll);
    EXPECT_EQ(v.DescriptionExtensions, (std::vector<std::string>{".TXT", ".NFO"}));
    EXPECT_EQ(v.ScanExtensionsAll, (std::vector<std::string>{".MP3", ".AVI"}));
    EXPECT_TRUE(v.DescriptionExtensionsAll.empty());
    ASSERT_FALSE(v.TempDir.empty());
    EXPECT_EQ(v.TempDir.back(), '/');
}

TEST(ValueLists, ManyHeadersAtOnceAddAsOneByOne) {
    std::vector<THead> rows(1); // slot 0 is never filled
    for (const auto& [medium, typ, subTyp, owner] :
         std::vector<std::array<std::string, 4>>{{"CD", "Hry", "", "Petr"},
                                                 {"DVD", "Hry", "Akce", ""},
                                                 {"CD", "", "Akce", "Jan"},
                                                 {"stale", "Film", "", "Petr"}}) {
        THead row;
        row.Medium = medium;
        row.Typ = typ;
        row.SubTyp = subTyp;
        row.Owner = owner;
        rows.push_back(row);
    }
    TValueLists oneByOne, atOnce;
    oneByOne.MediumList = atOnce.MediumList = {"stale"}; // what was there stays first, once
    for (std::size_t i = 1; i < rows.size(); ++i)
        oneByOne.Add(rows[i]);
    atOnce.AddAll(rows, 1);
    EXPECT_EQ(atOnce.MediumList, (std::vector<std::string>{"stale", "CD", "DVD"}));
    EXPECT_EQ(atOnce.SubTypList, std::vector<std::string>{"Akce"});
    EXPECT_EQ(atOnce.OwnerList, (std::vector<std::string>{"Petr", "Jan"}));
    for (auto list : {&TValueLists::MediumList, &TValueLists::TypList, &TValueLists::SubTypList,
                      &TValueLists::OwnerList})
        EXPECT_EQ(atOnce.*list, oneByOne.*list);
}
