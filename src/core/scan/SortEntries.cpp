#include <algorithm>
#include <numeric>

#include "core/scan/Walk.h"

namespace orbisk {

namespace {

unsigned char Kind(const TRec& rec) {
    return rec.Attr.empty() ? 0 : static_cast<unsigned char>(rec.Attr.front());
}

unsigned char Fold(char c) {
    auto b = static_cast<unsigned char>(c);
    return b >= 'a' && b <= 'z' ? static_cast<unsigned char>(b - 'a' + 'A') : b;
}

// True when a's name sorts before b's with a to z folded to upper case, byte
// by byte, a shorter name before a longer one it begins.
bool NameBefore(std::string_view a, std::string_view b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = Fold(a[i]), y = Fold(b[i]);
        if (x != y) return x < y;
    }
    return a.size() < b.size();
}

} // namespace

std::vector<std::int32_t> SortOrder(const std::vector<TRec>& recs, std::int32_t first,
                                    std::int32_t last) {
    if (last < first) return {};
    std::vector<std::int32_t> order(static_cast<std::size_t>(last - first + 1));
    std::iota(order.begin(), order.end(), 0);
    auto rec = [&](std::int32_t offset) -> const TRec& {
        return recs[static_cast<std::size_t>(first + offset)];
    };
    // A stable sort on the key of a pass-wise exchange sort gives the same
    // order, in n log n.
    std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
        const TRec& x = rec(a);
        const TRec& y = rec(b);
        if (Kind(x) != Kind(y)) return Kind(x) > Kind(y);
        return NameBefore(x.Name, y.Name);
    });
    return order;
}

void SortEntries(std::vector<TRec>& recs, std::int32_t first, std::int32_t last) {
    const std::vector<std::int32_t> order = SortOrder(recs, first, last);
    std::vector<TRec> sorted;
    sorted.reserve(order.size());
    for (std::int32_t offset : order)
        sorted.push_back(std::move(recs[static_cast<std::size_t>(first + offset)]));
    std::move(sorted.begin(), sorted.end(), recs.begin() + first);
}

} // namespace orbisk
