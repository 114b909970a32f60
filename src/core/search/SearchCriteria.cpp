#include "core/search/SearchCriteria.h"

#include <limits>

#include "core/catalog/Common.h"

namespace orbisk {

namespace {

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

std::string CompleteStars(std::string_view query, TStarFlags& flags) {
    std::string text(query);
    if (text.front() != '*') {
        text.insert(text.begin(), '*');
        flags.Front = true;
    }
    if (text.back() != '*') {
        text.push_back('*');
        flags.End = true;
    }
    return text;
}

// value times factor; a limit beyond the 64-bit range stays at its end of
// the range, where it still compares as far beyond every real size.
std::int64_t ScaleSize(std::int64_t value, std::int64_t factor) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    if (value > kMax / factor) return kMax;
    if (value < kMin / factor) return kMin;
    return value * factor;
}

// The size criterion; false when its inputs are unusable.
bool PrepareSize(const TSearchInput& input, TSearchCriteria& criteria) {
    std::int32_t value = 0;
    if (!ParseInt32(input.SizeValue, value)) return false;
    criteria.SizeLimit = ScaleSize(value, SizeUnitFactor(input.SizeUnit));
    const char op = input.SizeOp.empty() ? '\0' : input.SizeOp.front();
    if (op != '<' && op != '=' && op != '>') return false;
    criteria.SizeOp = op;
    return true;
}

// A word criterion; false when its word list is empty.
bool PrepareWords(std::string_view text, std::string_view mode, TWordCriterion& criterion) {
    SplitWords(UpperAscii(text), criterion.Words);
    PrepareWordForms(criterion);
    criterion.AllWords = mode == "AND";
    return !criterion.Words.empty();
}

} // namespace

std::int64_t SizeUnitFactor(std::string_view unit) {
    constexpr std::int64_t kKilo = 1024;
    switch (unit.empty() ? '\0' : unit.front()) {
    case 'k':
        return kKilo;
    case 'M':
        return kKilo * kKilo;
    case 'G':
        return kKilo * kKilo * kKilo;
    case 'T':
        return kKilo * kKilo * kKilo * kKilo;
    default:
        return 1;
    }
}

TSearchStart PrepareSearch(const TSearchInput& input, std::vector<std::string>& history) {
    TSearchStart start;
    const std::string_view query = TrimBlanks(input.Query);
    start.QueryText = std::string(query);
    if (query.empty()) return start;
    start.Started = true;
    if (input.Star) start.QueryText = CompleteStars(query, start.Star);
    AddToHistory(history, start.QueryText);

    TSearchCriteria& criteria = start.Criteria;
    criteria.CaseSensitive = input.CaseSensitive;
    criteria.Pattern =
        MakePatternForms(input.CaseSensitive ? start.QueryText : UpperAscii(start.QueryText));
    criteria.ListView = input.ListView;

    if (input.SizeOn) {
        criteria.SizeOn = PrepareSize(input, criteria);
        start.SizeSwitchedOff = !criteria.SizeOn;
    }
    const bool noteWords = PrepareWords(input.NoteText, input.NoteMode, criteria.Note);
    criteria.NoteOn = input.NoteOn && noteWords;
    start.NoteSwitchedOff = input.NoteOn && !noteWords;
    const bool descriptionWords =
        PrepareWords(input.DescriptionText, input.DescriptionMode, criteria.Description);
    criteria.DescriptionOn = input.DescriptionOn && descriptionWords;
    start.DescriptionSwitchedOff = input.DescriptionOn && !descriptionWords;
    return start;
}

std::string UndoStarCompletion(std::string_view text, TStarFlags flags) {
    if (flags.Front && !text.empty()) text.remove_prefix(1);
    if (flags.End && !text.empty()) text.remove_suffix(1);
    return std::string(text);
}

} // namespace orbisk
