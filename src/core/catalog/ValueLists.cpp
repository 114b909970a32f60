#include "core/catalog/ValueLists.h"

#include <unordered_set>

#include "core/catalog/Common.h"

namespace orbisk {

void TValueLists::Add(const std::string& medium, const std::string& typ, const std::string& subTyp,
                      const std::string& owner) {
    AddToHistory(TypList, typ);
    AddToHistory(SubTypList, subTyp);
    AddToHistory(MediumList, medium);
    AddToHistory(OwnerList, owner);
}

void TValueLists::AddAll(const std::vector<THead>& rows, std::size_t first) {
    struct Indexed {
        std::vector<std::string>& list;
        std::unordered_set<std::string> seen{list.begin(), list.end()};
        void Add(const std::string& value) {
            if (!value.empty() && seen.insert(value).second) list.push_back(value);
        }
    };
    Indexed typ{TypList}, subTyp{SubTypList}, medium{MediumList}, owner{OwnerList};
    for (std::size_t i = first; i < rows.size(); ++i) {
        const THead& row = rows[i];
        typ.Add(row.Typ);
        subTyp.Add(row.SubTyp);
        medium.Add(row.Medium);
        owner.Add(row.Owner);
    }
}

void TValueLists::Clear() {
    MediumList.clear();
    TypList.clear();
    SubTypList.clear();
    OwnerList.clear();
}

} // namespace orbisk
