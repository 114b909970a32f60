#include "core/catalog/Str.h"

namespace orbisk {

void TStr::Assign(std::string_view s) {
    if (s.empty()) {
        Release();
        return;
    }
    // s may point into our own bytes (a.Name = a.Name.substr(1)), so copy
    // before releasing.
    char* fresh = new char[s.size()];
    std::memcpy(fresh, s.data(), s.size());
    Release();
    p_ = fresh;
    n_ = s.size() | kOwned;
}

TStr& TStr::operator+=(std::string_view s) {
    if (s.empty()) return *this;
    std::size_t n = size();
    char* fresh = new char[n + s.size()];
    if (n) std::memcpy(fresh, p_, n);
    std::memcpy(fresh + n, s.data(), s.size());
    Release();
    p_ = fresh;
    n_ = (n + s.size()) | kOwned;
    return *this;
}

} // namespace orbisk
