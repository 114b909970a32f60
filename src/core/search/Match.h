#pragma once
// Name matching with the wildcards "*" and "?", marking of the matched
// characters, and the size and word tests of a search.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbisk {

// Marks around each character that a literal pattern character matched.
inline constexpr std::string_view kMarkOn = "<B>";
inline constexpr std::string_view kMarkOff = "</B>";

// A pattern as typed (UTF-8) and as it reads in Windows-1250. Stored texts
// are matched as the display decodes them: one that is valid UTF-8 against
// the typed form, any other (a catalogue written on Windows) against the
// Windows-1250 form, which a text cannot match when some character of the
// pattern has no Windows-1250 byte. A pattern that is not valid UTF-8 is
// taken byte for byte in both.
struct TPatternForms {
    std::string Utf8;
    std::string Cp1250;     // equal to Utf8 when that is plain ASCII
    bool Cp1250Fits = true; // every character has a Windows-1250 byte
};

TPatternForms MakePatternForms(std::string_view typed);

// The form of pattern that stored is matched against; nullptr when stored
// cannot match (it is Windows-1250 and the pattern does not fit).
const std::string* PatternFor(const TPatternForms& pattern, std::string_view stored);

// Wildcard match, characters compared by exact byte value. "?" takes one
// character of the name. "*" takes the fewest characters after which the rest
// of the pattern matches the rest of the name (the rest of the name is never
// tried empty); when no such split exists it takes the whole rest of the name.
// The match succeeds when name and pattern are both used up, or when only the
// last pattern character is left and it is "*". So "*" matches an empty name,
// "*.*" needs a ".", and "a**" does not match "a".
//
// The name is matched against the form of the pattern that PatternFor picks.
// Where name and pattern are both valid UTF-8 a character is a whole UTF-8
// sequence ("k?ň*" matches "kůň"); otherwise (Windows-1250 catalogues) it is
// one byte, so "k?ň*" also matches the Windows-1250 "k\xF9\xF2". Time and
// memory are bounded by length(name) * length(pattern), however many stars
// the pattern has.
bool MatchMask(std::string_view name, std::string_view pattern);
bool MatchMask(std::string_view name, const TPatternForms& pattern);

// The same walk as MatchMask, with the name upper-cased (ASCII letters only)
// unless caseSensitive. The pattern is used as given: the caller prepares it
// (upper-cased the same way when the match is not case-sensitive). On
// success, marked receives the name as stored, every character that a
// literal pattern character matched wrapped in kMarkOn / kMarkOff, all others
// plain; a marked UTF-8 name stays valid UTF-8. On failure marked is empty.
bool MatchMaskMarked(bool caseSensitive, std::string_view name, std::string_view pattern,
                     std::string& marked);
bool MatchMaskMarked(bool caseSensitive, std::string_view name, const TPatternForms& pattern,
                     std::string& marked);

// The name of a marked name: every kMarkOn and kMarkOff removed.
std::string UnmarkName(std::string_view marked);

// A whole number typed or stored with blanks between digit groups: blanks
// removed, then an optional sign and decimal digits that fit in a signed
// 64-bit integer. False (out unchanged) for anything else, an empty text
// included.
bool ParseSizeNumber(std::string_view text, std::int64_t& out);

// The same for a signed 32-bit integer.
bool ParseInt32(std::string_view text, std::int32_t& out);

// The size test of a search: sizeText read by ParseSizeNumber and compared
// with limit by op, one of "<", "=", ">". A size that does not parse, or
// another operator, fails the test.
bool CompareSize(char op, std::string_view sizeText, std::int64_t limit);

// Splits text at blanks into its non-empty words; words is cleared first.
void SplitWords(std::string_view text, std::vector<std::string>& words);

// One word criterion of a search (note or description), fixed when the
// search starts; the words are upper-cased (ASCII only).
struct TWordCriterion {
    std::vector<std::string> Words;
    bool AllWords = false; // true: every word must occur; false: any one
    // Set by PrepareWordForms when some word is not plain ASCII: the words
    // that have a Windows-1250 form, in that form, tested on stored texts
    // that are not valid UTF-8 (a word without one never occurs there).
    bool Cp1250Differs = false;
    std::vector<std::string> Cp1250Words;
};

// Fills the Windows-1250 forms of criterion's words.
void PrepareWordForms(TWordCriterion& criterion);

// Counts the words occurring in upperText as substrings (the Windows-1250
// words when criterion has them and upperText is not valid UTF-8, as for
// names). Any-word mode passes
// at the first word that occurs; all-words mode passes when every word
// occurs, so an empty word list passes in all-words mode and fails in
// any-word mode.
bool WordsMatch(std::string_view upperText, const TWordCriterion& criterion);

// The note and description tests of a search, each with its own criterion
// from the search's snapshot.
bool NoteWordsMatch(std::string_view upperNote, const TWordCriterion& note);
bool DescriptionWordsMatch(std::string_view upperDescription, const TWordCriterion& description);

} // namespace orbisk
