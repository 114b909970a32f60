#include "core/search/SearchCriteria.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace orbisk {
namespace {

TEST(SearchCriteria, QueryIsTrimmedStarCompletedAndGivenBackAfterwards) {
    const struct {
        const char* query;
        bool star;
        bool caseSensitive;
        bool started;
        const char* shown; // the query box during the search
        const char* pattern;
        bool front, end;
        const char* after; // the query box after the search
    } cases[] = {
        {"   ", false, false, false, "", "", false, false, ""},
        {"", true, false, false, "", "", false, false, ""},
        {" abc ", false, false, true, "abc", "ABC", false, false, "abc"},
        {"read", true, false, true, "*read*", "*READ*", true, true, "read"},
        {"*read", true, false, true, "*read*", "*READ*", false, true, "*read"},
        {"read*", true, false, true, "*read*", "*READ*", true, false, "read*"},
        {"*", true, false, true, "*", "*", false, false, "*"},
        {"a", true, false, true, "*a*", "*A*", true, true, "a"},
        {"  read  ", true, false, true, "*read*", "*READ*", true, true, "read"},
        {"Read.TXT", false, true, true, "Read.TXT", "Read.TXT", false, false, "Read.TXT"},
        // Only the letters a-z are upper-cased.
        {"čtení ab", false, false, true, "čtení ab", "čTENí AB", false, false, "čtení ab"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("query '") + c.query + "'");
        TSearchInput input;
        input.Query = c.query;
        input.Star = c.star;
        input.CaseSensitive = c.caseSensitive;
        std::vector<std::string> history{"*.*", "*"};
        const TSearchStart start = PrepareSearch(input, history);
        EXPECT_EQ(start.Started, c.started);
        EXPECT_EQ(start.QueryText, c.shown);
        EXPECT_EQ(start.Star.Front, c.front);
        EXPECT_EQ(start.Star.End, c.end);
        EXPECT_EQ(UndoStarCompletion(start.QueryText, start.Star), c.after);
        if (!c.started) {
            EXPECT_EQ(history, (std::vector<std::string>{"*.*", "*"}));
            continue;
        }
        EXPECT_EQ(start.Criteria.Pattern.Utf8, c.pattern);
        EXPECT_EQ(start.Criteria.CaseSensitive, c.caseSensitive);
        // The history receives the completed query, once.
        std::vector<std::string> expected{"*.*", "*"};
        if (std::string(c.shown) != "*") expected.push_back(c.shown);
        EXPECT_EQ(history, expected);
        PrepareSearch(input, history);
        EXPECT_EQ(history, expected);
    }
}

TEST(SearchCriteria, SizeLimitComesFromValueAndUnitOrSwitchesTheTestOff) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    const struct {
        bool on;
        const char* op;
        const char* value;
        const char* unit;
        bool expectOn;
        char expectOp;
        std::int64_t limit;
        bool switchedOff;
    } cases[] = {
        {true, ">", "1 024", "kB", true, '>', 1048576, false},
        {true, "=", "5", " B", true, '=', 5, false},
        {true, "<", "3", "MB", true, '<', 3 * 1048576, false},
        {true, ">", "1", "GB", true, '>', 1073741824, false},
        {true, ">", "2", "TB", true, '>', 2 * 1099511627776, false},
        {true, "=", "-3", "kB", true, '=', -3072, false},
        {true, "=", "+7", "x", true, '=', 7, false}, // an unknown unit counts bytes
        {true, "=", "7", "", true, '=', 7, false},
        {true, ">=", "1", " B", true, '>', 1, false}, // the first character decides
        {true, "=", "abc", "kB", false, '=', 0, true},
        {true, "=", "", "kB", false, '=', 0, true},
        {true, "=", "1.5", "kB", false, '=', 0, true},
        {true, "=", "2147483648", " B", false, '=', 0, true}, // beyond 32 bits
        {true, "!", "1", "kB", false, '=', 0, true},
        {true, "", "1", "kB", false, '=', 0, true},
        // A product beyond 64 bits stays at the end of the range.
        {true, ">", "2147483647", "TB", true, '>', kMax, false},
        {true, "<", "-2147483648", "TB", true, '<', kMin, false},
        {false, "!", "abc", "kB", false, '=', 0, false}, // off stays off, nothing reported
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.op) + " '" + c.value + "' '" + c.unit + "'");
        TSearchInput input;
        input.Query = "*";
        input.SizeOn = c.on;
        input.SizeOp = c.op;
        input.SizeValue = c.value;
        input.SizeUnit = c.unit;
        std::vector<std::string> history;
        const TSearchStart start = PrepareSearch(input, history);
        EXPECT_EQ(start.Criteria.SizeOn, c.expectOn);
        EXPECT_EQ(start.SizeSwitchedOff, c.switchedOff);
        if (c.expectOn) {
            EXPECT_EQ(start.Criteria.SizeOp, c.expectOp);
            EXPECT_EQ(start.Criteria.SizeLimit, c.limit);
        }
    }
}

TEST(SearchCriteria, WordListsAreUpperCasedAndAnEmptyOneSwitchesItsTestOff) {
    using Words = std::vector<std::string>;
    const struct {
        bool on;
        const char* text;
        const char* mode;
        bool expectOn;
        Words words;
        bool allWords;
        bool switchedOff;
    } cases[] = {
        {true, "foo  bar", "AND", true, {"FOO", "BAR"}, true, false},
        {true, " foo bar ", "OR", true, {"FOO", "BAR"}, false, false},
        {true, "Žluť kůň", "OR", true, {"ŽLUť", "Kůň"}, false, false},
        {true, "foo", "and", true, {"FOO"}, false, false}, // only "AND" needs every word
        {true, "   ", "AND", false, {}, true, true},
        {true, "", "OR", false, {}, false, true},
        {false, "", "OR", false, {}, false, false},
        {false, "foo", "OR", false, {"FOO"}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("'") + c.text + "' " + c.mode);
        // The same preparation for the note and for the description.
        for (bool note : {true, false}) {
            TSearchInput input;
            input.Query = "*";
            (note ? input.NoteOn : input.DescriptionOn) = c.on;
            (note ? input.NoteText : input.DescriptionText) = c.text;
            (note ? input.NoteMode : input.DescriptionMode) = c.mode;
            std::vector<std::string> history;
            const TSearchStart start = PrepareSearch(input, history);
            const TSearchCriteria& cr = start.Criteria;
            EXPECT_EQ(note ? cr.NoteOn : cr.DescriptionOn, c.expectOn);
            EXPECT_EQ(note ? start.NoteSwitchedOff : start.DescriptionSwitchedOff, c.switchedOff);
            EXPECT_EQ(note ? start.DescriptionSwitchedOff : start.NoteSwitchedOff, false);
            const TWordCriterion& words = note ? cr.Note : cr.Description;
            EXPECT_EQ(words.Words, c.words);
            EXPECT_EQ(words.AllWords, c.allWords);
        }
    }
}

} // namespace
} // namespace orbisk
