#include "core/search/Match.h"

#include "core/catalog/CodePage.h"
#include "core/catalog/Common.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstddef>
#include <optional>
#include <system_error>

namespace orbisk {

namespace {

// The characters of one text: whole UTF-8 sequences, or single bytes.
class TUnits {
public:
    TUnits(std::string_view text, const CharStepper* utf8) : text_(text) {
        bool ascii = std::all_of(text.begin(), text.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (utf8 == nullptr || ascii) return;
        for (std::size_t pos = 0; pos < text.size(); pos += utf8->LengthAt(pos))
            starts_.push_back(pos);
        starts_.push_back(text.size());
    }
    // Whether every character is one byte.
    bool Bytewise() const { return starts_.empty(); }
    std::size_t Count() const { return starts_.empty() ? text_.size() : starts_.size() - 1; }
    std::size_t Start(std::size_t k) const { return starts_.empty() ? k : starts_[k]; }
    std::size_t Length(std::size_t k) const { return Start(k + 1) - Start(k); }
    std::string_view At(std::size_t k) const { return text_.substr(Start(k), Length(k)); }
    char Byte(std::size_t k) const { return text_[k]; }

private:
    std::string_view text_;
    std::vector<std::size_t> starts_; // empty when every character is one byte
};

// Character comparisons of a walk. With Bytes every character of both the
// name and the pattern is one byte, and bytes are compared directly; the
// answers are those of comparing the characters as texts.
template <bool Bytes>
struct TCompare {
    static bool Same(const TUnits& name, std::size_t i, const TUnits& pattern, std::size_t j) {
        if constexpr (Bytes)
            return name.Byte(i) == pattern.Byte(j);
        else
            return name.At(i) == pattern.At(j);
    }
    static bool Is(const TUnits& text, std::size_t k, char c) {
        if constexpr (Bytes)
            return text.Byte(k) == c;
        else
            return text.At(k) == std::string_view(&c, 1);
    }
};

// Whether the walk from name character i and pattern character j succeeds,
// for every i and j. Each cell is filled once, from the ends backwards, which
// gives the answers of the plain recursive trials in n * m steps instead of
// time exponential in the number of stars. The cells are kept per thread:
// a search builds a table for every name it marks.
template <bool Bytes>
class TTrialTable {
public:
    using C = TCompare<Bytes>;
    TTrialTable(const TUnits& name, const TUnits& pattern)
        : n_(name.Count()), m_(pattern.Count()), cells_(Cells()) {
        cells_.assign((n_ + 1) * (m_ + 1), 0);
        for (std::size_t j = m_ + 1; j-- > 0;) {
            // Whether some trial from name character k, i <= k < n, against
            // the pattern after j succeeds, for the "*" case.
            bool anyTrial = false;
            for (std::size_t i = n_ + 1; i-- > 0;) {
                if (i < n_ && j < m_) anyTrial = anyTrial || Matches(i, j + 1);
                Set(i, j, Cell(name, pattern, i, j, anyTrial));
            }
        }
    }
    bool Matches(std::size_t i, std::size_t j) const { return cells_[j * (n_ + 1) + i] != 0; }

private:
    static std::vector<unsigned char>& Cells() {
        thread_local std::vector<unsigned char> cells;
        return cells;
    }
    bool Cell(const TUnits& name, const TUnits& pattern, std::size_t i, std::size_t j,
              bool anyTrial) const {
        if (i >= n_ || j >= m_) return Finished(pattern, i, j);
        if (C::Is(pattern, j, '?')) return Matches(i + 1, j + 1);
        // A failed "*" leaves the name used up and the pattern after it.
        if (C::Is(pattern, j, '*')) return anyTrial || Finished(pattern, n_, j + 1);
        return C::Same(name, i, pattern, j) && Matches(i + 1, j + 1);
    }
    // The outcome once the name or the pattern is used up.
    bool Finished(const TUnits& pattern, std::size_t i, std::size_t j) const {
        return (i >= n_ && j >= m_) || (j + 1 == m_ && C::Is(pattern, j, '*'));
    }
    void Set(std::size_t i, std::size_t j, bool value) { cells_[j * (n_ + 1) + i] = value ? 1 : 0; }

    std::size_t n_;
    std::size_t m_;
    std::vector<unsigned char>& cells_;
};

// The trial table of a name of at most kMostBitNameBytes one-byte characters
// against a pattern of one-byte characters, with the answers of
// TTrialTable: column j is a word whose bit i tells whether the walk from
// name character i and pattern character j succeeds, made from column j + 1
// in a few word operations.
constexpr std::size_t kMostBitNameBytes = 63;

class TBitTrials {
public:
    TBitTrials(const TUnits& name, const TUnits& pattern)
        : n_(name.Count()), m_(pattern.Count()), columns_(Columns()) {
        columns_.resize(m_ + 1);
        const std::uint64_t inside = (std::uint64_t{1} << n_) - 1; // i < n
        const std::uint64_t atEnd = std::uint64_t{1} << n_;        // i == n
        columns_[m_] = atEnd;
        for (std::size_t j = m_; j-- > 0;) {
            const char p = pattern.Byte(j);
            const std::uint64_t after = columns_[j + 1];
            std::uint64_t column = 0;
            if (p == '?') {
                column = (after >> 1) & inside;
            } else if (p == '*') {
                // Some trial from i on succeeds: every i up to the last that does.
                if ((after & inside) != 0)
                    column = ~std::uint64_t{0} >> std::countl_zero(after & inside);
                // A failed "*" leaves the name used up and the pattern after it.
                const bool finished = j + 1 == m_ || (j + 2 == m_ && pattern.Byte(j + 1) == '*');
                if (finished) column |= inside;
                if (j + 1 == m_) column |= atEnd;
            } else {
                std::uint64_t same = 0;
                for (std::size_t i = 0; i < n_; ++i)
                    same |= std::uint64_t{name.Byte(i) == p} << i;
                column = same & (after >> 1) & inside;
            }
            columns_[j] = column;
        }
    }
    bool Matches(std::size_t i, std::size_t j) const { return (columns_[j] >> i & 1) != 0; }

private:
    static std::vector<std::uint64_t>& Columns() {
        thread_local std::vector<std::uint64_t> columns;
        return columns;
    }
    std::size_t n_, m_;
    std::vector<std::uint64_t>& columns_;
};

// The walk over the characters of name and pattern with the trial table
// Trials. When marked is given it receives the characters of stored (the
// name as stored, of the same layout as the name compared) with the literal
// matches wrapped in marks.
template <bool Bytes, typename Trials>
bool WalkUnits(const TUnits& name, const TUnits& pat, std::string_view stored,
               std::string* marked) {
    using C = TCompare<Bytes>;
    const std::size_t n = name.Count();
    const std::size_t m = pat.Count();
    std::optional<Trials> trials; // built at the first "*"

    auto append = [&](std::size_t i, bool mark) {
        if (marked == nullptr) return;
        if (mark) marked->append(kMarkOn);
        marked->append(stored.substr(name.Start(i), name.Length(i)));
        if (mark) marked->append(kMarkOff);
    };

    std::size_t i = 0;
    std::size_t j = 0;
    while (i < n && j < m) {
        if (C::Is(pat, j, '?')) {
            append(i++, false);
            ++j;
        } else if (C::Is(pat, j, '*')) {
            ++j;
            if (!trials) trials.emplace(name, pat);
            while (i < n && !trials->Matches(i, j))
                append(i++, false);
        } else {
            if (!C::Same(name, i, pat, j)) return false;
            append(i++, true);
            ++j;
        }
    }
    return (i >= n && j >= m) || (j + 1 == m && C::Is(pat, j, '*'));
}

// The walk over compared (the name as compared) and pattern; see WalkUnits.
bool Walk(std::string_view compared, std::string_view stored, std::string_view pattern,
          std::string* marked) {
    CharStepper nameSteps(compared);
    CharStepper patternSteps(pattern);
    const bool utf8 = nameSteps.IsUtf8() && patternSteps.IsUtf8();
    const TUnits name(compared, utf8 ? &nameSteps : nullptr);
    const TUnits pat(pattern, utf8 ? &patternSteps : nullptr);
    if (!name.Bytewise() || !pat.Bytewise())
        return WalkUnits<false, TTrialTable<false>>(name, pat, stored, marked);
    return name.Count() <= kMostBitNameBytes
               ? WalkUnits<true, TBitTrials>(name, pat, stored, marked)
               : WalkUnits<true, TTrialTable<true>>(name, pat, stored, marked);
}

template <typename Int>
bool ParseInteger(std::string_view text, Int& out) {
    const std::string compact = RemoveBlanks(text);
    std::string_view number = compact;
    // from_chars reads a "-" but not a "+".
    const bool plus = !number.empty() && number.front() == '+';
    if (plus) number.remove_prefix(1);
    std::string_view digits = number;
    if (!plus && !digits.empty() && digits.front() == '-') digits.remove_prefix(1);
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    Int value{};
    const char* end = number.data() + number.size();
    auto [ptr, ec] = std::from_chars(number.data(), end, value);
    if (ec != std::errc{} || ptr != end) return false;
    out = value;
    return true;
}

} // namespace

TPatternForms MakePatternForms(std::string_view typed) {
    TPatternForms forms{std::string(typed), std::string(typed), true};
    if (IsValidUtf8(typed)) forms.Cp1250Fits = Utf8ToCp1250(typed, forms.Cp1250);
    return forms;
}

const std::string* PatternFor(const TPatternForms& pattern, std::string_view stored) {
    if (IsValidUtf8(stored)) return &pattern.Utf8;
    return pattern.Cp1250Fits ? &pattern.Cp1250 : nullptr;
}

bool MatchMask(std::string_view name, std::string_view pattern) {
    return MatchMask(name, MakePatternForms(pattern));
}

bool MatchMask(std::string_view name, const TPatternForms& pattern) {
    const std::string* form = PatternFor(pattern, name);
    return form != nullptr && Walk(name, name, *form, nullptr);
}

bool MatchMaskMarked(bool caseSensitive, std::string_view name, std::string_view pattern,
                     std::string& marked) {
    return MatchMaskMarked(caseSensitive, name, MakePatternForms(pattern), marked);
}

bool MatchMaskMarked(bool caseSensitive, std::string_view name, const TPatternForms& pattern,
                     std::string& marked) {
    marked.clear();
    const std::string* form = PatternFor(pattern, name);
    if (form == nullptr) return false;
    // Room for the name with every pattern character marked, taken at once.
    marked.reserve(name.size() + form->size() * (kMarkOn.size() + kMarkOff.size()));
    bool matched = true;
    if (caseSensitive) {
        matched = Walk(name, name, *form, &marked);
    } else {
        // The upper-cased copy is kept per thread: a search marks every name
        // it shows.
        thread_local std::string upper;
        UpperAsciiInto(name, upper);
        matched = Walk(upper, name, *form, &marked);
    }
    if (!matched) marked.clear();
    return matched;
}

std::string UnmarkName(std::string_view marked) {
    std::string out;
    out.reserve(marked.size());
    std::size_t pos = 0;
    while (pos < marked.size()) {
        std::string_view rest = marked.substr(pos);
        if (rest.starts_with(kMarkOn)) {
            pos += kMarkOn.size();
        } else if (rest.starts_with(kMarkOff)) {
            pos += kMarkOff.size();
        } else {
            out.push_back(marked[pos++]);
        }
    }
    return out;
}

bool ParseSizeNumber(std::string_view text, std::int64_t& out) {
    return ParseInteger(text, out);
}

bool ParseInt32(std::string_view text, std::int32_t& out) {
    return ParseInteger(text, out);
}

bool CompareSize(char op, std::string_view sizeText, std::int64_t limit) {
    std::int64_t size = 0;
    if (!ParseSizeNumber(sizeText, size)) return false;
    switch (op) {
    case '<':
        return size < limit;
    case '=':
        return size == limit;
    case '>':
        return size > limit;
    default:
        return false;
    }
}

void SplitWords(std::string_view text, std::vector<std::string>& words) {
    words.clear();
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t blank = text.find(' ', start);
        if (blank == std::string_view::npos) blank = text.size();
        if (blank > start) words.emplace_back(text.substr(start, blank - start));
        start = blank + 1;
    }
}

void PrepareWordForms(TWordCriterion& criterion) {
    criterion.Cp1250Words.clear();
    criterion.Cp1250Differs = false;
    for (const std::string& word : criterion.Words) {
        const TPatternForms forms = MakePatternForms(word);
        if (forms.Cp1250 != forms.Utf8 || !forms.Cp1250Fits) criterion.Cp1250Differs = true;
        if (forms.Cp1250Fits) criterion.Cp1250Words.push_back(forms.Cp1250);
    }
    if (!criterion.Cp1250Differs) criterion.Cp1250Words.clear();
}

bool WordsMatch(std::string_view upperText, const TWordCriterion& criterion) {
    const std::vector<std::string>& words = criterion.Cp1250Differs && !IsValidUtf8(upperText)
                                                ? criterion.Cp1250Words
                                                : criterion.Words;
    std::size_t found = 0;
    for (const std::string& word : words) {
        if (upperText.find(word) == std::string_view::npos) continue;
        if (!criterion.AllWords) return true;
        ++found;
    }
    return criterion.AllWords && found == criterion.Words.size();
}

bool NoteWordsMatch(std::string_view upperNote, const TWordCriterion& note) {
    return WordsMatch(upperNote, note);
}

bool DescriptionWordsMatch(std::string_view upperDescription, const TWordCriterion& description) {
    return WordsMatch(upperDescription, description);
}

} // namespace orbisk
