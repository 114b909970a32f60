#include "core/search/MaskMatcher.h"

#include "core/search/Match.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

#include <random>
#include <string>
#include <vector>

namespace orbisk {
namespace {

// Compares the matcher with MatchMaskMarked for one pattern over many names;
// false at the first difference (reported).
bool SameAsMatchMaskMarked(const std::string& pattern, const std::vector<std::string>& names) {
    for (bool caseSensitive : {true, false}) {
        const TMaskMatcher matcher(pattern, caseSensitive);
        std::string expected, marked;
        for (const std::string& name : names) {
            const bool matches = MatchMaskMarked(caseSensitive, name, pattern, expected);
            marked = "left over";
            if (matcher.Matches(name) == matches && matcher.Match(name, marked) == matches &&
                marked == expected)
                continue;
            ADD_FAILURE() << "name '" << name << "' pattern '" << pattern << "' case "
                          << (caseSensitive ? "sensitive" : "insensitive") << ": expected "
                          << matches << " '" << expected << "', got '" << marked << "'";
            return false;
        }
    }
    return true;
}

TEST(SearchMatcher, AgreesWithMatchMaskMarkedOnEveryShortNameAndPattern) {
    // "ů" is a two-byte character, so "?" must take it whole; "a" and "A"
    // differ only without case sensitivity.
    const struct {
        std::vector<std::string> nameChars, patternChars;
        std::size_t nameLength, patternLength;
    } sets[] = {
        {{"a", "A", ".", "ů"}, {"A", ".", "*", "?", "ů"}, 4, 3},
        {{"a", "A", "ů"}, {"A", "*", "?"}, 4, 5}, // runs of stars and "?"
        // "\xF9" is "ů" in Windows-1250: a name holding it is matched against
        // the pattern's Windows-1250 form, "日" has none.
        {{"a", "\xF9", "ů"}, {"A", "*", "?", "ů", "日"}, 4, 3},
    };
    for (const auto& set : sets) {
        const std::vector<std::string> names = test::AllStrings(set.nameChars, set.nameLength);
        for (const std::string& pattern : test::AllStrings(set.patternChars, set.patternLength))
            if (!SameAsMatchMaskMarked(pattern, names)) return;
    }
}

TEST(SearchMatcher, AgreesWithMatchMaskMarkedOnRandomNamesOfEitherCodePage) {
    // "\xE8" is a Windows-1250 letter ("č"): a name holding it is not UTF-8,
    // every byte is one character, and it is matched against the pattern's
    // Windows-1250 form ("日" has none). A pattern holding "\xE8" itself is
    // not UTF-8 and is taken byte for byte.
    const std::vector<std::string> nameChars{"a", "b", "B", ".", "ů", "\xE8", "\x9A"};
    const std::vector<std::string> patternChars{"A", "B", "b", ".",    "*", "*",
                                                "?", "ů", "č", "\xE8", "日"};
    std::mt19937 random(7);
    auto make = [&](const std::vector<std::string>& alphabet, std::size_t maxLength) {
        std::string text;
        const std::size_t length = random() % (maxLength + 1);
        for (std::size_t k = 0; k < length; ++k)
            text += alphabet[random() % alphabet.size()];
        return text;
    };
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::string> names;
        for (int k = 0; k < 10; ++k)
            names.push_back(make(nameChars, 14));
        if (!SameAsMatchMaskMarked(make(patternChars, 9), names)) return;
    }
}

TEST(SearchMatcher, AgreesAtEveryPlaceOfLongNamesAndAroundTheLetterRange) {
    // Bytes next to a-z and A-Z, and bytes above 0x7F whose low seven bits
    // are letters, must not be taken for letters of another case.
    const std::vector<std::string> fillers{"`", "{", "@", "[", "z", "Z", "\xC1", "\xE1", "ab"};
    const std::vector<std::string> patterns{"*ABC*",  "*abc*", "*{*", "*`*",
                                            "*\xE1*", "*A?C*", "*c",  "ab*"};
    std::vector<std::string> names;
    for (const std::string& filler : fillers)
        for (std::size_t before = 0; before < 20; ++before)
            for (const char* middle : {"abc", "ABC", "aBc", "a{c", ""}) {
                std::string name;
                for (std::size_t k = 0; k < before; ++k)
                    name += filler;
                name += middle;
                for (std::size_t k = 0; k < 20 - before; ++k)
                    name += filler;
                names.push_back(name);
            }
    for (const std::string& pattern : patterns)
        if (!SameAsMatchMaskMarked(pattern, names)) return;
}

TEST(SearchMatcher, KnownQuirksOfTheWalk) {
    const struct {
        const char* name;
        const char* pattern;
        bool matches;
    } cases[] = {
        {"a", "a**", false},   {"ab", "a**", true},     {"", "**", false},
        {"", "*", true},       {"DOC", "*.*", false},   {"xbcde.rar", "*bc?*.r??", true},
        {"abab", "*ab", true}, {"ababa", "*ab", false}, {"ab.txt", "ab?.*", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " / " + c.pattern);
        EXPECT_EQ(TMaskMatcher(c.pattern, true).Matches(c.name), c.matches);
    }
}

} // namespace
} // namespace orbisk
