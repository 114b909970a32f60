#pragma once
// TStr: the text of one entry field. Read from a .cd file it points into the
// archive's copy of that file (no allocation, no copy per field); assigned by
// the program it owns its bytes. Entries are many, so the type is 16 bytes:
// a pointer and a length whose top bit says whether the bytes are owned.
//
// A TStr that points into an archive's text lives as long as the archive
// keeps that text: copying a TStr always makes an owned copy; moving one
// within its archive (sorting, growing) keeps pointing where it did.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

namespace orbisk {

class TStr {
public:
    TStr() = default;
    TStr(std::string_view s) { Assign(s); }
    TStr(const std::string& s) : TStr(std::string_view(s)) {}
    TStr(const char* s) : TStr(std::string_view(s)) {}
    TStr(const TStr& o) : TStr(o.View()) {}
    TStr(TStr&& o) noexcept : p_(o.p_), n_(o.n_) {
        o.p_ = nullptr;
        o.n_ = 0;
    }
    ~TStr() { Release(); }

    TStr& operator=(const TStr& o) {
        if (this != &o) Assign(o.View());
        return *this;
    }
    TStr& operator=(TStr&& o) noexcept {
        if (this != &o) {
            Release();
            p_ = o.p_;
            n_ = o.n_;
            o.p_ = nullptr;
            o.n_ = 0;
        }
        return *this;
    }
    TStr& operator=(std::string_view s) {
        Assign(s);
        return *this;
    }
    TStr& operator=(const std::string& s) { return *this = std::string_view(s); }
    TStr& operator=(const char* s) { return *this = std::string_view(s); }

    // Points at bytes that somebody else keeps alive (the archive's text).
    static TStr Borrow(std::string_view s) {
        TStr t;
        t.p_ = s.data();
        t.n_ = s.size();
        return t;
    }

    // Makes this point at bytes kept alive elsewhere, dropping what it held.
    void SetBorrowed(std::string_view s) {
        Release();
        p_ = s.data();
        n_ = s.size();
    }

    std::string_view View() const { return {p_, size()}; }
    operator std::string_view() const { return View(); }
    std::string str() const { return std::string(View()); }
    operator std::string() const { return str(); }

    std::size_t size() const { return static_cast<std::size_t>(n_ & ~kOwned); }
    std::size_t length() const { return size(); }
    bool empty() const { return size() == 0; }
    const char* data() const { return p_; }
    const char* begin() const { return p_; }
    const char* end() const { return p_ + size(); }
    char operator[](std::size_t i) const { return p_[i]; }
    char front() const { return p_[0]; }
    char back() const { return p_[size() - 1]; }
    // Writable access makes the bytes owned first.
    char& operator[](std::size_t i) {
        MakeOwned();
        return const_cast<char*>(p_)[i];
    }
    TStr& operator+=(std::string_view s);
    TStr& operator+=(char c) { return *this += std::string_view(&c, 1); }
    void clear() { Release(); }

    bool starts_with(std::string_view s) const { return View().starts_with(s); }
    bool ends_with(std::string_view s) const { return View().ends_with(s); }
    std::size_t find(std::string_view s, std::size_t pos = 0) const { return View().find(s, pos); }
    std::size_t find(char c, std::size_t pos = 0) const { return View().find(c, pos); }
    std::size_t rfind(char c, std::size_t pos = std::string_view::npos) const {
        return View().rfind(c, pos);
    }
    std::string_view substr(std::size_t pos, std::size_t n = std::string_view::npos) const {
        return View().substr(pos, n);
    }
    bool IsOwned() const { return (n_ & kOwned) != 0; }

    friend bool operator==(const TStr& a, const TStr& b) { return a.View() == b.View(); }
    friend bool operator==(const TStr& a, std::string_view b) { return a.View() == b; }
    friend bool operator==(const TStr& a, const std::string& b) { return a.View() == b; }
    friend bool operator==(const TStr& a, const char* b) { return a.View() == b; }
    friend auto operator<=>(const TStr& a, const TStr& b) { return a.View() <=> b.View(); }
    friend auto operator<=>(const TStr& a, std::string_view b) { return a.View() <=> b; }
    friend auto operator<=>(const TStr& a, const std::string& b) {
        return a.View() <=> std::string_view(b);
    }
    friend auto operator<=>(const TStr& a, const char* b) {
        return a.View() <=> std::string_view(b);
    }
    friend std::ostream& operator<<(std::ostream& os, const TStr& s) { return os << s.View(); }
    friend std::string operator+(const std::string& a, const TStr& b) {
        return a + std::string(b.View());
    }
    friend std::string operator+(const TStr& a, std::string_view b) {
        std::string s(a.View());
        s.append(b);
        return s;
    }

private:
    static constexpr std::uint64_t kOwned = std::uint64_t{1} << 63;
    void Assign(std::string_view s);
    void Release() {
        if (IsOwned()) delete[] p_;
        p_ = nullptr;
        n_ = 0;
    }
    void MakeOwned() {
        if (!IsOwned() && n_ != 0) Assign(View());
    }

    const char* p_ = nullptr;
    std::uint64_t n_ = 0;
};

inline std::string operator+(const char* a, const TStr& b) {
    return std::string(a) + b;
}

} // namespace orbisk
