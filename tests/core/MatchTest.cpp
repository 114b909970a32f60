#include "core/search/Match.h"

#include "core/catalog/CodePage.h"
#include "core/catalog/Common.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace orbisk {
namespace {

struct MaskCase {
    const char* name;
    const char* pattern;
    bool matches;
};

TEST(MatchMask, WildcardRulesAndTheirQuirks) {
    const MaskCase cases[] = {
        {"", "*", true}, // "*" matches an empty name
        {"anything.at.all", "*", true},
        {"DOC", "*.*", false}, // "*.*" needs a dot
        {"a.b", "*.*", true},
        {".", "*.*", true},
        {"a", "a**", false}, // only one trailing "*" is accepted on a used-up name
        {"a", "a*", true},
        {"", "**", false},
        {"abc", "**", true},
        {"abc.txt", "ab?.*", true},
        {"ab.txt", "ab?.*", false},
        {"xbcde.rar", "*bc?*.r??", true},
        {"xbcde.ra", "*bc?*.r??", false},
        {"abc.efg", "abc.efg", true},
        {"abc.efgh", "abc.efg", false},
        {"abc.ef", "abc.efg", false},
        {"", "", true},
        {"a", "", false},
        {"", "?", false},
        {"readme.txt", "README.TXT", false}, // exact bytes
        {"aXbXc", "*X*c", true},
        {"abab", "*ab", true},
        {"ababa", "*ab", false},
    };
    for (const MaskCase& c : cases) {
        SCOPED_TRACE(std::string("name '") + c.name + "' pattern '" + c.pattern + "'");
        EXPECT_EQ(MatchMask(c.name, c.pattern), c.matches);
    }
}

struct MarkedCase {
    bool caseSensitive;
    const char* name;
    const char* pattern; // prepared as the caller prepares it
    bool matches;
    const char* marked;
};

TEST(MatchMaskMarked, MarksLiteralMatchesOnTheStoredName) {
    const MarkedCase cases[] = {
        {false, "Readme.txt", "READ*", true, "<B>R</B><B>e</B><B>a</B><B>d</B>me.txt"},
        {false, "readme.txt", "README.TXT", true,
         "<B>r</B><B>e</B><B>a</B><B>d</B><B>m</B><B>e</B><B>.</B><B>t</B><B>x</B><B>t</B>"},
        {true, "readme.txt", "README.TXT", false, ""},
        {true, "Readme.txt", "Read*", true, "<B>R</B><B>e</B><B>a</B><B>d</B>me.txt"},
        {false, "xbcde.rar", "*BC?*.R??", true, "x<B>b</B><B>c</B>de<B>.</B><B>r</B>ar"},
        {false, "", "*", true, ""},
        {false, "DOC", "*.*", false, ""},
        // Letters outside A-Z are compared as stored: c with caron is not folded.
        {false, "čaj", "ČAJ", false, ""},
        {false, "čaj", "čAJ", true, "<B>č</B><B>a</B><B>j</B>"},
        // UTF-8: "?" and "*" take whole characters, marks wrap whole characters.
        {false, "kůň", "K?ň*", true, "<B>k</B>ů<B>ň</B>"},
        {true, "kůň", "k??", true, "<B>k</B>ůň"},
        {true, "kůň", "k????", false, ""},
        {true, "kůň", "*ň", true, "ků<B>ň</B>"},
        // A pattern that is not UTF-8 makes the match byte-wise.
        {true, "kůň", "k?\xAF*", true, "<B>k</B>\xC5<B>\xAF</B>\xC5\x88"},
        // Windows-1250 "kůň": one byte per character.
        {false, "k\xF9\xF2", "K?\xF2*", true, "<B>k</B>\xF9<B>\xF2</B>"},
        {true, "k\xF9\xF2", "k??", true, "<B>k</B>\xF9\xF2"},
        {true, "k\xF9\xF2", "k?", false, ""},
        // A Windows-1250 name against the typed (UTF-8) pattern: matched as it
        // is shown, the pattern turned into Windows-1250.
        {false, "k\xF9\xF2.txt", "Kůň*", true, "<B>k</B><B>\xF9</B><B>\xF2</B>.txt"},
        {true, "k\xF9\xF2.txt", "k?ň*", true, "<B>k</B>\xF9<B>\xF2</B>.txt"},
        {true, "\x8Akoda", "Š*", true, "<B>\x8A</B>koda"},
        {true, "\x80", "€", true, "<B>\x80</B>"},
        // A pattern character without a Windows-1250 byte: such names never match.
        {true, "k\xF9\xF2", "*日", false, ""},
        {true, "k\xF9\xF2", "k*日*", false, ""},
        {true, "日本", "日*", true, "<B>日</B>本"},
        // Bytes that are valid UTF-8 are shown, and matched, as UTF-8.
        {true, "\xC5\xAF", "ů", true, "<B>ů</B>"},
        {true, "\xC5\xAF", "Ĺ*", false, ""},
    };
    for (const MarkedCase& c : cases) {
        SCOPED_TRACE(std::string("name '") + c.name + "' pattern '" + c.pattern + "'" +
                     (c.caseSensitive ? " case-sensitive" : ""));
        std::string marked = "stale";
        EXPECT_EQ(MatchMaskMarked(c.caseSensitive, c.name, c.pattern, marked), c.matches);
        EXPECT_EQ(marked, c.marked);
        if (c.matches) {
            EXPECT_EQ(UnmarkName(marked), c.name);
            if (IsValidUtf8(c.name) && IsValidUtf8(c.pattern)) {
                EXPECT_TRUE(IsValidUtf8(marked));
            }
        }
    }
}

TEST(UnmarkName, RemovesEveryMark) {
    EXPECT_EQ(UnmarkName("<B>R</B><B>e</B>adme.txt"), "Readme.txt");
    EXPECT_EQ(UnmarkName("plain <b>lower</b>"), "plain <b>lower</b>");
    EXPECT_EQ(UnmarkName("a</B"), "a</B");
}

// The matching walk written down as plainly as possible, with recursive
// trials after each "*": exponential for many stars, but obviously the
// intended rule. Works on whole characters.
using Chars = std::vector<std::string>;

Chars SplitChars(std::string_view text) {
    Chars chars;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t len = Utf8SequenceLength(text, pos);
        chars.emplace_back(text.substr(pos, len));
        pos += len;
    }
    return chars;
}

// A text of up to maxLength characters drawn from alphabet.
std::string RandomText(std::mt19937& random, const Chars& alphabet, std::size_t maxLength) {
    std::string text;
    const std::size_t length = random() % (maxLength + 1);
    for (std::size_t k = 0; k < length; ++k)
        text += alphabet[random() % alphabet.size()];
    return text;
}

bool ReferenceWalk(const Chars& name, const Chars& stored, std::size_t i, const Chars& pattern,
                   std::size_t j, std::string* marked) {
    while (i < name.size() && j < pattern.size()) {
        if (pattern[j] == "?") {
            if (marked) *marked += stored[i];
            ++i, ++j;
        } else if (pattern[j] == "*") {
            ++j;
            while (i < name.size() && !ReferenceWalk(name, stored, i, pattern, j, nullptr)) {
                if (marked) *marked += stored[i];
                ++i;
            }
        } else {
            if (pattern[j] != name[i]) return false;
            if (marked) *marked += "<B>" + stored[i] + "</B>";
            ++i, ++j;
        }
    }
    return (i >= name.size() && j >= pattern.size()) ||
           (j + 1 == pattern.size() && pattern[j] == "*");
}

void CheckAgainstReference(const std::string& name, const std::string& pattern) {
    SCOPED_TRACE("name '" + name + "' pattern '" + pattern + "'");
    const Chars stored = SplitChars(name);
    const Chars upper = SplitChars(UpperAscii(name));
    const Chars chars = SplitChars(pattern);
    EXPECT_EQ(MatchMask(name, pattern), ReferenceWalk(stored, stored, 0, chars, 0, nullptr));
    for (bool caseSensitive : {true, false}) {
        std::string expected;
        bool matches =
            ReferenceWalk(caseSensitive ? stored : upper, stored, 0, chars, 0, &expected);
        std::string marked;
        ASSERT_EQ(MatchMaskMarked(caseSensitive, name, pattern, marked), matches);
        if (matches) {
            EXPECT_EQ(marked, expected);
        }
    }
}

TEST(MatchMaskReference, AgreesOnEveryShortNameAndPattern) {
    const std::vector<std::string> names = test::AllStrings({"a", ".", "ů"}, 4);
    const std::vector<std::string> patterns = test::AllStrings({"A", ".", "*", "?"}, 4);
    for (const std::string& pattern : patterns)
        for (const std::string& name : names)
            CheckAgainstReference(name, pattern);
}

TEST(MatchMaskReference, AgreesOnRandomLongerNamesAndPatterns) {
    const Chars nameChars{"a", "b", "A", ".", "ů"};
    const Chars patternChars{"A", "B", "b", ".", "*", "?", "ů"};
    std::mt19937 random(20240611);
    for (int round = 0; round < 10000; ++round)
        CheckAgainstReference(RandomText(random, nameChars, 12),
                              RandomText(random, patternChars, 8));
}

TEST(MatchMaskReference, Windows1250NamesMatchAsTheyAreShown) {
    // A name that is not valid UTF-8 is shown decoded from Windows-1250; it
    // must match exactly as that decoded name would, marks included, or not
    // at all when the pattern has a character Windows-1250 lacks. "\x81" is
    // one of the bytes the code page leaves undefined.
    const Chars nameChars{"a", "A", ".", "\xF9", "\xF2", "\x8A", "\x81"};
    const Chars patternChars{"A", ".", "*", "?", "ů", "ň", "Š", "\xC2\x81", "日"};
    std::mt19937 random(1250);
    int tried = 0;
    while (tried < 5000) {
        const std::string name = RandomText(random, nameChars, 10);
        if (IsValidUtf8(name)) continue;
        ++tried;
        const std::string pattern = RandomText(random, patternChars, 6);
        const bool fits = pattern.find("日") == std::string::npos;
        SCOPED_TRACE("name '" + name + "' pattern '" + pattern + "'");
        for (bool caseSensitive : {true, false}) {
            std::string shown, marked;
            const bool expected =
                fits && MatchMaskMarked(caseSensitive, Cp1250ToUtf8(name), pattern, shown);
            ASSERT_EQ(MatchMaskMarked(caseSensitive, name, pattern, marked), expected);
            EXPECT_EQ(Cp1250ToUtf8(marked), expected ? shown : "");
            if (caseSensitive) {
                EXPECT_EQ(MatchMask(name, pattern), expected);
            }
        }
    }
}

TEST(MatchMask, ManyStarsDoNotTakeExponentialTime) {
    const std::string name(60, 'a');
    const std::string pattern = "*a*a*a*a*a*a*a*a*a*a*a*b";
    EXPECT_FALSE(MatchMask(name, pattern));
    std::string marked;
    EXPECT_FALSE(MatchMaskMarked(false, name, pattern, marked));
    EXPECT_TRUE(MatchMask(name + "b", pattern));
    EXPECT_TRUE(MatchMaskMarked(true, name + "b", pattern, marked));
    EXPECT_EQ(UnmarkName(marked), name + "b");
}

TEST(ParseSizeNumber, AcceptsSignedDecimalsWithBlanksOnly) {
    struct Case {
        const char* text;
        bool ok;
        std::int64_t value;
    };
    const Case cases[] = {
        {"1 024", true, 1024},
        {"  12  ", true, 12},
        {"3 221 225 472", true, 3221225472},
        {"+5", true, 5},
        {"-5", true, -5},
        {"007", true, 7},
        {"9 223 372 036 854 775 807", true, std::numeric_limits<std::int64_t>::max()},
        {"-9223372036854775808", true, std::numeric_limits<std::int64_t>::min()},
        {"9223372036854775808", false, 0},
        {"", false, 0},
        {"   ", false, 0},
        {"abc", false, 0},
        {"12a", false, 0},
        {"1.5", false, 0},
        {"+", false, 0},
        {"-", false, 0},
        {"--5", false, 0},
        {"+-5", false, 0},
        {"-+5", false, 0},
        {"5-", false, 0},
        {"\t5", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text '") + c.text + "'");
        std::int64_t value = 99;
        ASSERT_EQ(ParseSizeNumber(c.text, value), c.ok);
        EXPECT_EQ(value, c.ok ? c.value : 99);
    }
}

TEST(ParseInt32, KeepsToTheSigned32BitRange) {
    std::int32_t value = 0;
    EXPECT_TRUE(ParseInt32("2 147 483 647", value));
    EXPECT_EQ(value, 2147483647);
    EXPECT_TRUE(ParseInt32("-2147483648", value));
    EXPECT_EQ(value, std::numeric_limits<std::int32_t>::min());
    EXPECT_FALSE(ParseInt32("2147483648", value));
    EXPECT_FALSE(ParseInt32("abc", value));
    EXPECT_FALSE(ParseInt32("", value));
    EXPECT_EQ(value, std::numeric_limits<std::int32_t>::min());
}

TEST(CompareSize, ComparesAs64BitNumbers) {
    constexpr std::int64_t kKB = 1024;
    constexpr std::int64_t kGB = kKB * kKB * kKB;
    struct Case {
        char op;
        const char* size;
        std::int64_t limit;
        bool passes;
    };
    const Case cases[] = {
        {'>', "3 221 225 472", 1 * kGB, true}, // a 3 GB file
        {'<', "3 221 225 472", 1 * kGB, false},
        {'=', "3 221 225 472", 3 * kGB, true},
        {'>', "1 048 577", 1024 * kKB, true},
        {'>', "1 048 576", 1024 * kKB, false},
        {'=', "1 048 576", 1024 * kKB, true},
        {'<', "1 048 575", 1024 * kKB, true},
        {'=', "-1", -1, true},
        {'>', "0", -1, true},
        {'<', "abc", 10, false},
        {'>', "abc", -10, false},
        {'>', "", -1, false},
        {'!', "5", 5, false},
        {' ', "5", 5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("op '") + c.op + "' size '" + c.size + "' limit " +
                     std::to_string(c.limit));
        EXPECT_EQ(CompareSize(c.op, c.size, c.limit), c.passes);
    }
}

TEST(SplitWords, GivesNoEmptyWords) {
    struct Case {
        const char* text;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {"foo  bar", {"foo", "bar"}},
        {"  lead and trail  ", {"lead", "and", "trail"}},
        {"one", {"one"}},
        {"", {}},
        {"    ", {}},
        {"tab\tstays", {"tab\tstays"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text '") + c.text + "'");
        std::vector<std::string> words{"left over"};
        SplitWords(c.text, words);
        EXPECT_EQ(words, c.words);
    }
}

TEST(WordsMatch, AllOrAnyWordAsSubstring) {
    struct Case {
        std::vector<std::string> words;
        bool allWords;
        const char* text;
        bool passes;
    };
    const Case cases[] = {
        {{"FOO", "BAR"}, true, "XFOOY BAR", true},
        {{"FOO", "BAR"}, true, "XFOOY", false},
        {{"FOO", "BAR"}, false, "XFOOY", true},
        {{"FOO", "BAR"}, false, "BA R", false},
        {{"FOO", "BAR"}, false, "", false},
        {{"FOO"}, false, "foo", false}, // text and words arrive upper-cased
        {{"FOO", "FOO"}, true, "FOO", true},
        // An empty list: nothing to miss in all-words mode, nothing found in any-word mode.
        {{}, true, "ANY", true},
        {{}, false, "ANY", false},
        // Texts that are not valid UTF-8 are Windows-1250 and are searched for
        // the words in that code page; a word it cannot hold never occurs.
        {{"Kůň"}, false, "BíLý Kůň", true},
        {{"Kůň"}, false, "B\xEDL\xFD K\xF9\xF2", true},
        {{"Kůň", "ŽLUťOUčKý"}, true, "\x8ELU\x9DOU\xE8K\xFD K\xF9\xF2", true},
        {{"Kůň", "日"}, true, "K\xF9\xF2", false},
        {{"Kůň", "日"}, false, "K\xF9\xF2", true},
        {{"日"}, false, "K\xF9\xF2 日", false},
        {{"FOO"},
         false,
         "\xF9"
         "FOO",
         true},
        // UTF-8 texts are searched for the words as typed only.
        {{"Ĺ"}, false, "ů", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("text '") + c.text + "'" + (c.allWords ? " AND" : " OR"));
        TWordCriterion criterion;
        criterion.Words = c.words;
        criterion.AllWords = c.allWords;
        PrepareWordForms(criterion);
        EXPECT_EQ(WordsMatch(c.text, criterion), c.passes);
        EXPECT_EQ(NoteWordsMatch(c.text, criterion), c.passes);
        EXPECT_EQ(DescriptionWordsMatch(c.text, criterion), c.passes);
    }
}

} // namespace
} // namespace orbisk
