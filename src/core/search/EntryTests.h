#pragma once
// The per-entry tests of one search, shared by the search over the archive
// files and the search through the index, so both give the same answers.
#include <string>
#include <string_view>

#include "core/catalog/Archive.h"
#include "core/catalog/Common.h"
#include "core/search/MaskMatcher.h"
#include "core/search/SearchCriteria.h"

namespace orbisk {

// The tests in their order: name, size, note, description. The marked name
// is built only for an entry that passes all.
class TEntryTests {
public:
    explicit TEntryTests(const TSearchCriteria& criteria)
        : criteria_(criteria), matcher_(criteria.Pattern, criteria.CaseSensitive) {}

    bool NameMatches(std::string_view name) const { return matcher_.Matches(name); }
    // The size, note and description tests that are on.
    bool OthersPass(const TRec& rec) const {
        const TSearchCriteria& c = criteria_;
        if (c.SizeOn && !CompareSize(c.SizeOp, rec.Size, c.SizeLimit)) return false;
        if (c.NoteOn && !NoteWordsMatch(UpperAscii(rec.Note), c.Note)) return false;
        if (c.DescriptionOn && !DescriptionWordsMatch(UpperAscii(rec.Description), c.Description))
            return false;
        return true;
    }
    bool Passes(const TRec& rec) const { return NameMatches(rec.Name) && OthersPass(rec); }
    bool Mark(std::string_view name, std::string& marked) const {
        return matcher_.Match(name, marked);
    }

private:
    const TSearchCriteria& criteria_;
    TMaskMatcher matcher_;
};

} // namespace orbisk
