#include <gtest/gtest.h>

#include "core/catalog/CodePage.h"
#include "gui/common/Text.h"

namespace orbisk {
namespace {

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

TEST(Text, StoredBytesDecodeAsUtf8WhenValidElseWindows1250) {
    struct Row {
        std::string bytes;
        QString shown;
    } rows[] = {
        {"", {}},
        {"readme.txt", U("readme.txt")},
        {"k\xc5\xaf\xc5\x88", U("kůň")},       // UTF-8
        {"k\xf9\xf2", U("kůň")},               // Windows-1250
        {"\x8a\x9e\xe8", U("Šžč")},            // Windows-1250 upper half
        {"\xc5\xba", U("ź")},                  // valid UTF-8 wins
        {"Hry \xe8\xe1st 2", U("Hry část 2")}, // mixed ASCII and Windows-1250
    };
    for (const Row& row : rows)
        EXPECT_EQ(DecodeText(row.bytes), row.shown) << row.bytes;
}

TEST(Text, TypedTextKeepsTheArchivesCodePageOnlyWhereItReadsBackUnchanged) {
    struct Row {
        QString typed;
        TCodePage page;
        std::string stored;
    } rows[] = {
        {U("kůň"), TCodePage::Utf8, "k\xc5\xaf\xc5\x88"},
        {U("kůň"), TCodePage::Cp1250, "k\xf9\xf2"},
        {U("plain"), TCodePage::Cp1250, "plain"},
        {U("€ 5"), TCodePage::Cp1250, "\x80 5"},
        // No Windows-1250 byte for these: UTF-8 instead.
        {U("日本"), TCodePage::Cp1250, "\xe6\x97\xa5\xe6\x9c\xac"},
        // Windows-1250 bytes C5 BA would read back as UTF-8 "ź": UTF-8 instead.
        {U("Ĺş"), TCodePage::Cp1250, "\xc4\xb9\xc5\x9f"},
        {{}, TCodePage::Cp1250, ""},
    };
    for (const Row& row : rows) {
        std::string stored = EncodeText(row.typed, row.page);
        EXPECT_EQ(stored, row.stored) << row.typed.toStdString();
        EXPECT_EQ(DecodeText(stored), row.typed) << row.typed.toStdString();
    }
}

TEST(Text, ArchiveUsesWindows1250WhenAnyStringIsNotUtf8) {
    struct Row {
        const char* what;
        std::string headName, recName, recNote, recDescription;
        TCodePage page;
    } rows[] = {
        {"all ASCII", "Hry", "doom.exe", "", "", TCodePage::Utf8},
        {"UTF-8 names", "Hry", "k\xc5\xaf\xc5\x88.txt", "", "", TCodePage::Utf8},
        {"Windows-1250 header", "Hry \xe8", "doom.exe", "", "", TCodePage::Cp1250},
        {"Windows-1250 note", "Hry", "doom.exe", "hra \xe8", "", TCodePage::Cp1250},
        {"Windows-1250 description", "Hry", "a", "", "\xe8\x07", TCodePage::Cp1250},
    };
    for (const Row& row : rows) {
        TArch arch;
        arch.Head.Name = row.headName;
        arch.AddDir("\\");
        arch.AddRec({row.recName, "1", "", " ----", row.recNote, row.recDescription, 1});
        EXPECT_EQ(ArchiveCodePage(arch), row.page) << row.what;
    }
}

TEST(Text, DescriptionsShowAsLinesAndStoreEveryLineWithItsMark) {
    struct Row {
        std::string stored;
        QString shown;
        std::string storedAgain;
    } rows[] = {
        {"", {}, ""},
        {"Installation notes\x07", U("Installation notes"), "Installation notes\x07"},
        {"a\x07"
         "b\x07",
         U("a\nb"),
         "a\x07"
         "b\x07"},
        {"a\x07\x07", U("a\n"), "a\x07\x07"},
        // A last line without its mark is shown too, and stored with it.
        {"a\x07"
         "b",
         U("a\nb"),
         "a\x07"
         "b\x07"},
        {"\xe8\x07", U("č"), "\xe8\x07"},
    };
    for (const Row& row : rows) {
        QString shown = DescriptionToText(row.stored);
        EXPECT_EQ(shown, row.shown) << row.stored;
        TCodePage page = IsValidUtf8(row.stored) ? TCodePage::Utf8 : TCodePage::Cp1250;
        EXPECT_EQ(TextToDescription(shown, page), row.storedAgain) << row.stored;
    }
}

TEST(Text, TypedBytesThatWouldSplitAnArchiveLineBecomeBlanks) {
    struct Row {
        QString typed;
        std::string note, description;
    } rows[] = {
        {U("a\tb"), "a b", "a b\x07"},
        {U("a\rb"), "a b", "a b\x07"},
        {U("a\nb"), "a b",
         "a\x07"
         "b\x07"},
        {U("a\x07") + U("b\x1a"), "a b ", "a b \x07"},
        {U("line") + QChar(QChar::LineSeparator) + U("next"), "line\xe2\x80\xa8next",
         "line\x07next\x07"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(TextToNote(row.typed, TCodePage::Utf8), row.note);
        EXPECT_EQ(TextToDescription(row.typed, TCodePage::Utf8), row.description);
    }
}

} // namespace
} // namespace orbisk
