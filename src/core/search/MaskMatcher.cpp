#include "core/search/MaskMatcher.h"

#include <cstdint>
#include <cstring>

#include "core/catalog/CodePage.h"
#include "core/catalog/Common.h"
#include "core/search/Match.h"

namespace orbisk {

namespace {

// Byte maps applied to the name before comparing: the identity, or upper
// case of the ASCII letters.
struct TFoldTables {
    unsigned char Same[256];
    unsigned char Upper[256];
    TFoldTables() {
        for (int c = 0; c < 256; ++c) {
            Same[c] = static_cast<unsigned char>(c);
            Upper[c] = static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - ('a' - 'A') : c);
        }
    }
};

const TFoldTables kFold;

bool PieceEquals(const unsigned char* fold, const char* at, std::string_view piece, bool hasAny) {
    for (std::size_t k = 0; k < piece.size(); ++k) {
        const char p = piece[k];
        if (fold[static_cast<unsigned char>(at[k])] != static_cast<unsigned char>(p) &&
            !(hasAny && p == '?'))
            return false;
    }
    return true;
}

// Eight bytes at a time (little-endian words): upper-casing of the ASCII
// letters and the search for one byte value, without a branch per byte.
constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;

std::uint64_t LoadWord(const char* p) {
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

std::uint64_t UpperAsciiWord(std::uint64_t word) {
    const std::uint64_t low = word & kLow7;
    const std::uint64_t atLeastA = low + kOnes * (0x80 - 'a');
    const std::uint64_t aboveZ = low + kOnes * (0x80 - 'z' - 1);
    const std::uint64_t lower = atLeastA & ~aboveZ & ~word & ~kLow7;
    return word ^ (lower >> 2); // the bit 0x20 of each lower-case letter
}

// The high bit of every byte of word that is zero, and of no other.
std::uint64_t ZeroBytes(std::uint64_t word) {
    return ~(((word & kLow7) + kLow7) | word | kLow7);
}

// The first place in [from, last] whose byte, upper-cased when upper, is
// want; npos when none is.
std::size_t FindByte(std::string_view text, std::size_t from, std::size_t last, char want,
                     bool upper) {
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__);
    const std::uint64_t wanted = kOnes * static_cast<unsigned char>(want);
    auto hitsAt = [&](std::size_t at) {
        const std::uint64_t word = LoadWord(text.data() + at);
        return ZeroBytes((upper ? UpperAsciiWord(word) : word) ^ wanted);
    };
    std::size_t at = from;
    for (; at + 8 <= last + 1; at += 8)
        if (const std::uint64_t hits = hitsAt(at))
            return at + static_cast<std::size_t>(__builtin_ctzll(hits) >> 3);
    if (at > last) return std::string_view::npos;
    if (last + 1 >= 8) {
        // The rest as the last eight bytes up to last, those before at masked.
        const std::size_t start = last + 1 - 8;
        const std::uint64_t hits = hitsAt(start) & (~std::uint64_t{0} << (8 * (at - start)));
        return hits ? start + static_cast<std::size_t>(__builtin_ctzll(hits) >> 3)
                    : std::string_view::npos;
    }
    const unsigned char* fold = upper ? kFold.Upper : kFold.Same;
    for (; at <= last; ++at)
        if (fold[static_cast<unsigned char>(text[at])] == static_cast<unsigned char>(want))
            return at;
    return std::string_view::npos;
}

// The leftmost place at or after from where piece lies wholly before end, or
// npos. Names are short: a word-wise scan for the first byte beats memmem's
// set-up.
std::size_t FindPiece(const unsigned char* fold, std::string_view text, std::size_t from,
                      std::size_t end, std::string_view piece, bool hasAny) {
    if (end < from || end - from < piece.size()) return std::string_view::npos;
    const std::size_t last = end - piece.size();
    if (hasAny && piece.front() == '?') {
        for (std::size_t at = from; at <= last; ++at)
            if (PieceEquals(fold, text.data() + at, piece, true)) return at;
        return std::string_view::npos;
    }
    const bool upper = fold == kFold.Upper;
    for (std::size_t at = from; at <= last; ++at) {
        at = FindByte(text, at, last, piece.front(), upper);
        if (at == std::string_view::npos) break;
        if (PieceEquals(fold, text.data() + at + 1, piece.substr(1), hasAny)) return at;
    }
    return std::string_view::npos;
}

} // namespace

TMaskMatcher::TCut::TCut(std::string_view pattern) {
    auto piece = [](std::string_view text) {
        return TPiece{std::string(text), text.find('?') != std::string_view::npos};
    };
    HasAny = pattern.find('?') != std::string_view::npos;
    const std::size_t firstStar = pattern.find('*');
    if (firstStar == std::string_view::npos) {
        Head = piece(pattern);
        FixedLength = pattern.size();
        return;
    }
    HasStar = true;
    NeedsOneMore = pattern.ends_with("**");
    const std::size_t lastStar = pattern.rfind('*');
    Head = piece(pattern.substr(0, firstStar));
    Tail = piece(pattern.substr(lastStar + 1));
    FixedLength = Head.Text.size() + Tail.Text.size();
    std::size_t pos = firstStar + 1;
    while (pos < lastStar) {
        std::size_t star = pattern.find('*', pos);
        if (star > pos) Middle.push_back(piece(pattern.substr(pos, star - pos)));
        pos = star + 1;
    }
}

bool TMaskMatcher::TCut::MatchesBytes(const unsigned char* fold, std::string_view name) const {
    const std::size_t n = name.size();
    if (n < FixedLength) return false;
    if (!HasStar) return n == FixedLength && PieceEquals(fold, name.data(), Head.Text, Head.HasAny);
    const std::size_t end = n - Tail.Text.size();
    if (!PieceEquals(fold, name.data(), Head.Text, Head.HasAny) ||
        !PieceEquals(fold, name.data() + end, Tail.Text, Tail.HasAny))
        return false;
    std::size_t pos = Head.Text.size();
    for (const TPiece& piece : Middle) {
        std::size_t at = FindPiece(fold, name, pos, end, piece.Text, piece.HasAny);
        if (at == std::string_view::npos) return false;
        pos = at + piece.Text.size();
    }
    return !NeedsOneMore || pos < end;
}

TMaskMatcher::TMaskMatcher(std::string_view pattern, bool caseSensitive)
    : TMaskMatcher(MakePatternForms(pattern), caseSensitive) {}

TMaskMatcher::TMaskMatcher(const TPatternForms& pattern, bool caseSensitive)
    : pattern_(pattern), caseSensitive_(caseSensitive),
      formsDiffer_(pattern.Cp1250 != pattern.Utf8 || !pattern.Cp1250Fits), utf8_(pattern.Utf8) {
    if (formsDiffer_ && pattern.Cp1250Fits) cp1250_.emplace(pattern.Cp1250);
}

bool TMaskMatcher::Matches(std::string_view name) const {
    const unsigned char* fold = caseSensitive_ ? kFold.Same : kFold.Upper;
    // Plain ASCII names are valid UTF-8 and take every "?" as one byte.
    if (!utf8_.HasAny && !formsDiffer_) return utf8_.MatchesBytes(fold, name);
    unsigned char high = 0;
    for (char c : name)
        high |= static_cast<unsigned char>(c);
    if ((high & 0x80) == 0) return utf8_.MatchesBytes(fold, name);
    if (formsDiffer_ && !IsValidUtf8(name)) {
        // One byte is one character: the cut decides exactly.
        return cp1250_ && cp1250_->MatchesBytes(fold, name);
    }
    // "?" takes a whole UTF-8 character: such names go through the full walk.
    if (utf8_.HasAny)
        return MatchMask(caseSensitive_ ? std::string(name) : UpperAscii(name), pattern_);
    return utf8_.MatchesBytes(fold, name);
}

void TMaskMatcher::TCut::MarkBytes(const unsigned char* fold, std::string_view name,
                                   std::string& marked) const {
    marked.clear();
    marked.reserve(name.size() + FixedLength * (kMarkOn.size() + kMarkOff.size()));
    auto plain = [&](std::size_t from, std::size_t to) {
        marked.append(name.substr(from, to - from));
    };
    auto literal = [&](std::size_t at, std::size_t length) {
        for (std::size_t k = at; k < at + length; ++k) {
            marked.append(kMarkOn);
            marked.push_back(name[k]);
            marked.append(kMarkOff);
        }
    };
    if (!HasStar) {
        literal(0, name.size());
        return;
    }
    const std::size_t end = name.size() - Tail.Text.size();
    literal(0, Head.Text.size());
    std::size_t pos = Head.Text.size();
    for (const TPiece& piece : Middle) {
        const std::size_t at = FindPiece(fold, name, pos, end, piece.Text, false);
        plain(pos, at);
        literal(at, piece.Text.size());
        pos = at + piece.Text.size();
    }
    plain(pos, end);
    literal(end, Tail.Text.size());
}

bool TMaskMatcher::Match(std::string_view name, std::string& marked) const {
    if (!Matches(name)) {
        marked.clear();
        return false;
    }
    // Without "?", and with a pattern whose literal characters are single
    // bytes in every name's form (plain ASCII, or bytes taken one by one),
    // the walk marks exactly the bytes where the cut places the pieces: the
    // head at the start, each middle piece at its leftmost place after the
    // one before, the tail at the end. Marking them directly spares the trial
    // table a search would build for every name it shows.
    if (!utf8_.HasAny && !formsDiffer_) {
        utf8_.MarkBytes(caseSensitive_ ? kFold.Same : kFold.Upper, name, marked);
        return true;
    }
    return MatchMaskMarked(caseSensitive_, name, pattern_, marked);
}

} // namespace orbisk
