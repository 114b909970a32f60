#include "core/catalog/HomePage.h"

#include "core/catalog/ProgramValues.h"

namespace orbisk {

std::string HomePageAddress(const std::string& programDir) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string path = JoinPath(programDir, kHomePage);
    if (path.empty() || path.front() != '/') path.insert(path.begin(), '/');
    std::string address = "file://";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' ||
                           byte == '_' || byte == '~' || byte == '/';
        if (plain) {
            address.push_back(c);
        } else {
            address.push_back('%');
            address.push_back(kHex[byte >> 4]);
            address.push_back(kHex[byte & 15]);
        }
    }
    return address;
}

std::string ExportHomePage(const std::string& programDir) {
    std::string address = HomePageAddress(programDir);
    if (!address.starts_with("https://") && !address.starts_with("http://")) address.clear();
    return address;
}

} // namespace orbisk
