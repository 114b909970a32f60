#pragma once
// The criteria of a search, prepared once when the search starts from what
// the search window's controls hold, and fixed while the search runs.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/search/Match.h"

namespace orbisk {

// The controls of a search window as the start reads them: texts exactly as
// typed or chosen, check boxes as checked.
struct TSearchInput {
    std::string Query;                  // Edit1
    bool Star = false;                  // CheckBox_Star: complete the query to *query*
    bool CaseSensitive = false;         // CheckBox
    bool SizeOn = false;                // CheckBox_Size
    std::string SizeOp = "=";           // ComboBox_Zn: "=", ">" or "<"
    std::string SizeValue;              // Edit_Size
    std::string SizeUnit = "kB";        // ComboBox_Unit: " B", "kB", "MB", "GB" or "TB"
    bool NoteOn = false;                // CheckBox_Pozn
    std::string NoteText;               // Edit_Pozn
    std::string NoteMode = "OR";        // ComboBox_Pozn: "OR" or "AND"
    bool DescriptionOn = false;         // CheckBox_Popis
    std::string DescriptionText;        // Edit_Popis
    std::string DescriptionMode = "OR"; // ComboBox_Popis
    bool ListView = false;              // CheckBoxZob: list view instead of text view
};

// What the star completion added to the query, so that the end of the search
// can take it away again.
struct TStarFlags {
    bool Front = false; // "*" put in front
    bool End = false;   // "*" appended
};

struct TSearchCriteria {
    // The name pattern: trimmed, star-completed, and upper-cased (ASCII
    // letters only) unless the search is case-sensitive; with its
    // Windows-1250 form for the names of catalogues written on Windows.
    TPatternForms Pattern;
    bool CaseSensitive = false;
    bool SizeOn = false;
    char SizeOp = '=';
    std::int64_t SizeLimit = 0; // bytes
    bool NoteOn = false;
    TWordCriterion Note;
    bool DescriptionOn = false;
    TWordCriterion Description;
    bool ListView = false;
};

struct TSearchStart {
    // False when the query is empty after trimming: nothing starts, and only
    // QueryText (the trimmed query) is to be shown.
    bool Started = false;
    // The query as the query box shows it during the search (trimmed and
    // star-completed); after the search UndoStarCompletion gives it back.
    std::string QueryText;
    TStarFlags Star;
    TSearchCriteria Criteria;
    // Criteria that were asked for but switched off because their input is
    // unusable: the window unchecks their boxes, nothing else is said.
    bool SizeSwitchedOff = false;
    bool NoteSwitchedOff = false;
    bool DescriptionSwitchedOff = false;
};

// Prepares a search from the window's controls: blanks trimmed off both ends
// of the query (an empty query starts nothing), the star completion, the
// completed query added to history, the size limit (a whole number that fits
// in 32 bits, times the unit) and the upper-cased word lists. The pattern and
// the words get their Windows-1250 forms here, once per search. A size that is
// not such a number, an operator other than "<", "=", ">", or an empty word
// list switches that criterion off.
TSearchStart PrepareSearch(const TSearchInput& input, std::vector<std::string>& history);

// The query text back as it was typed: the characters the star completion
// added are taken off again (the front one first).
std::string UndoStarCompletion(std::string_view text, TStarFlags flags);

// The bytes of one unit of the size box by its first character: "k" 1024,
// "M" 1024^2, "G" 1024^3, "T" 1024^4, anything else 1.
std::int64_t SizeUnitFactor(std::string_view unit);

} // namespace orbisk
