#pragma once
// A wildcard pattern prepared once for matching many names, as a search
// matches every entry of many archives against one pattern.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/search/Match.h"

namespace orbisk {

// Gives exactly the answers of MatchMaskMarked (and, case-sensitive, of
// MatchMask) for one pattern, but decides most names without building the
// trial table: the pattern is cut at its runs of "*" into a head, middle
// pieces and a tail, and a name matches when it begins with the head, ends
// with the tail and holds the middle pieces in order between them (each at
// its leftmost place). A run of two or more stars at the very end needs at
// least one more character of the name, as MatchMask does. Only a UTF-8
// name that is not plain ASCII, matched against a pattern with "?", goes
// through MatchMask itself, because there "?" takes a whole UTF-8 character.
// Bytes of the name are upper-cased through a table as they are compared, so
// matching a name allocates nothing.
//
// A pattern that is not plain ASCII is cut twice, in its typed form and in
// its Windows-1250 form, and each name uses the form MatchMask would use: a
// name with bytes above 0x7F is checked for valid UTF-8 only then.
class TMaskMatcher {
public:
    // The first makes the forms of pattern itself; a search passes those its
    // criteria prepared.
    TMaskMatcher(std::string_view pattern, bool caseSensitive);
    TMaskMatcher(const TPatternForms& pattern, bool caseSensitive);

    // Whether name matches (upper-cased, ASCII letters only, unless the
    // matcher is case-sensitive); the pattern is compared as given.
    bool Matches(std::string_view name) const;

    // Matches, and on success marked receives the marked name as
    // MatchMaskMarked gives it; on failure marked is empty.
    bool Match(std::string_view name, std::string& marked) const;

private:
    // A piece of the pattern without stars; "?" stands for any one byte.
    struct TPiece {
        std::string Text;
        bool HasAny = false; // holds a "?"
    };

    // One form of the pattern cut at its stars.
    struct TCut {
        explicit TCut(std::string_view pattern);
        bool MatchesBytes(const unsigned char* fold, std::string_view name) const;
        // The marked name of a name that MatchesBytes takes, when the
        // pattern has no "?".
        void MarkBytes(const unsigned char* fold, std::string_view name, std::string& marked) const;

        bool HasAny = false; // some "?" in the pattern
        bool HasStar = false;
        bool NeedsOneMore = false; // the pattern ends with two or more stars
        TPiece Head;
        std::vector<TPiece> Middle;
        TPiece Tail;
        std::size_t FixedLength = 0; // head and tail together
    };

    TPatternForms pattern_;
    bool caseSensitive_;
    bool formsDiffer_; // the Windows-1250 form is not the typed one
    TCut utf8_;
    std::optional<TCut> cp1250_; // set when formsDiffer_ and the form fits
};

} // namespace orbisk
