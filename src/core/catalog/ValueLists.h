#pragma once
// The four header value lists offered by the category boxes (Medium, Typ,
// SubTyp, Owner): the one place that keeps them and adds to them.
#include <cstddef>
#include <string>
#include <vector>

#include "core/catalog/Archive.h"

namespace orbisk {

// Distinct non-empty values in the order first seen.
struct TValueLists {
    std::vector<std::string> MediumList, TypList, SubTypList, OwnerList;

    // Adds the four values of anything that has them (an archive header, the
    // fields of a scan, the values of the properties window): an empty value
    // or one already listed changes nothing.
    template <class Values>
    void Add(const Values& v) {
        Add(v.Medium, v.Typ, v.SubTyp, v.Owner);
    }
    void Add(const std::string& medium, const std::string& typ, const std::string& subTyp,
             const std::string& owner);
    // Adds the headers rows[first..] as Add would one by one, with an index,
    // so a folder of many owners stays linear.
    void AddAll(const std::vector<THead>& rows, std::size_t first);
    void Clear();
};

} // namespace orbisk
