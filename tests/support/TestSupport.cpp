#include "TestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace orbisk::test {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/orbisk-test-XXXXXX";
    if (!::mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Tests may leave read-only files and folders behind; make them removable.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

std::vector<std::string> ListDir(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> AllStrings(const std::vector<std::string>& alphabet,
                                    std::size_t maxLength) {
    std::vector<std::string> out{""};
    std::size_t from = 0;
    for (std::size_t length = 1; length <= maxLength; ++length) {
        const std::size_t to = out.size();
        for (std::size_t k = from; k < to; ++k)
            for (const std::string& c : alphabet)
                out.push_back(out[k] + c);
        from = to;
    }
    return out;
}

namespace {
constexpr const char* kLocaleVariables[] = {"LC_ALL", "LC_TIME", "LANG"};
} // namespace

LocaleVariables::LocaleVariables() {
    for (const char* name : kLocaleVariables) {
        const char* value = std::getenv(name);
        saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
        ::unsetenv(name);
    }
}

LocaleVariables::~LocaleVariables() {
    for (std::size_t i = 0; i < saved_.size(); ++i)
        if (saved_[i])
            ::setenv(kLocaleVariables[i], saved_[i]->c_str(), 1);
        else
            ::unsetenv(kLocaleVariables[i]);
}

} // namespace orbisk::test
