#pragma once
// A wildcard pattern prepared once for matching many names, as a search
// matches every entry of many archives against one pattern.
#include <string>
#include <string_view>
#include <vector>

namespace orbisk {

// Gives exactly the answers of MatchMaskMarked (and, case-sensitive, of
// MatchMask) for one pattern, but decides most names without building the
// trial table: the pattern is cut at its runs of "*" into a head, middle
// pieces and a tail, and a name matches when it begins with the head, ends
// with the tail and holds the middle pieces in order between them (each at
// its leftmost place). A run of two or more stars at the very end needs at
// least one more character of the name, as MatchMask does. Only a name that
// is not plain ASCII, matched against a pattern with "?", goes through
// MatchMask itself, because there "?" takes a whole UTF-8 character.
// Bytes of the name are upper-cased through a table as they are compared, so
// matching a name allocates nothing.
class TMaskMatcher {
public:
    TMaskMatcher(std::string_view pattern, bool caseSensitive);

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

    bool MatchesBytes(std::string_view name) const;

    std::string pattern_;
    bool caseSensitive_;
    bool hasAny_ = false; // some "?" in the pattern
    bool hasStar_ = false;
    bool needsOneMore_ = false; // the pattern ends with two or more stars
    TPiece head_;
    std::vector<TPiece> middle_;
    TPiece tail_;
    std::size_t fixedLength_ = 0; // head and tail together
};

} // namespace orbisk
