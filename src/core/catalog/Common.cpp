#include "core/catalog/Common.h"

#include <algorithm>
#include <cstdio>

#include "core/catalog/CodePage.h"

namespace orbisk {

std::string AttrString(std::uint32_t bits) {
    std::string s(5, '-');
    s[0] = (bits & kAttrDirectory) ? 'd' : ' ';
    if (bits & kAttrReadOnly) s[1] = 'r';
    if (bits & kAttrArchive) s[2] = 'a';
    if (bits & kAttrHidden) s[3] = 'h';
    if (bits & kAttrSystem) s[4] = 's';
    return s;
}

std::string_view ExtensionOf(std::string_view name) {
    auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
}

std::string UpperAscii(std::string_view text) {
    std::string out;
    UpperAsciiInto(text, out);
    return out;
}

void UpperAsciiInto(std::string_view text, std::string& out) {
    out.assign(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
}

int FileClassIcon(std::string_view name) {
    struct IconClass {
        std::string_view extensions;
        int icon;
    };
    static constexpr IconClass kClasses[] = {
        {".EXE .BAT .COM", 4},
        {".TXT .RTF .DOC .PDF .PS .WRI .INI .INF .NFO .DIZ", 5},
        {".WAV .MP2 .MP3 .MID .MOD .M3U", 6},
        {".MOV .AVI .MPG .MPEG .ASF", 7},
        {".BMP .GIF .JPG .JPEG .PNG .IFF .JPE .PCD .PCX .PIC .PSD .TIF .WMF", 8},
        {".HTM .HTML .MHT", 9},
        {".HLP .CHM", 10},
        {".ZIP .RAR", kIconPacked},
    };
    std::string ext = UpperAscii(ExtensionOf(name).substr(0, 6));
    if (ext.empty()) return kIconFile;
    for (const IconClass& c : kClasses)
        if (c.extensions.find(ext) != std::string_view::npos) return c.icon;
    return kIconFile;
}

std::string RemoveBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ') out.push_back(c);
    return out;
}

std::string FormatSize(std::string_view digits) {
    std::string s = RemoveBlanks(digits);
    const std::size_t n = s.size();
    if (n < 4 || n > 12) return s;
    std::string out;
    out.reserve(n + 3);
    // The first group takes what is left over after whole groups of three.
    std::size_t lead = n % 3 == 0 ? 3 : n % 3;
    out.append(s, 0, lead);
    for (std::size_t i = lead; i < n; i += 3) {
        out.push_back(' ');
        out.append(s, i, 3);
    }
    return out;
}

std::string BlankOut(std::string_view text, std::string_view set) {
    std::string out(text);
    for (char& c : out)
        if (set.find(c) != std::string_view::npos) c = ' ';
    return out;
}

std::size_t CountChar(std::string_view text, char c) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

std::string IsValidName(std::string_view text, bool& valid) {
    auto allowed = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '_';
    };
    CharStepper step(text);
    std::string out;
    out.reserve(text.size());
    valid = true;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t len = step.LengthAt(i);
        if (len == 1 && allowed(text[i])) {
            out.push_back(text[i]);
        } else {
            out.push_back('_');
            valid = false;
        }
        i += len;
    }
    return out;
}

void AddToHistory(std::vector<std::string>& list, const std::string& text) {
    if (text.empty()) return;
    if (std::find(list.begin(), list.end(), text) != list.end()) return;
    list.push_back(text);
}

std::string FormatSerial(std::uint32_t serial) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04X-%04X", (serial >> 16) & 0xFFFFu, serial & 0xFFFFu);
    return buf;
}

int TIconCache::SystemIconIndex(std::string_view name) {
    std::string ext(ExtensionOf(name).substr(0, 6));
    if (ext.empty()) return 0;
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    auto it = cache_.find(ext);
    if (it != cache_.end()) return it->second;
    int index = query_ ? query_(ext) : 0;
    cache_.emplace(std::move(ext), index);
    return index;
}

} // namespace orbisk
