#pragma once
// Helpers shared by the tests: temporary folders, file access and a host that
// records what core would have shown the user.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/Host.h"

namespace orbisk::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
// Names in a folder (without "." and ".."), sorted.
std::vector<std::string> ListDir(const std::string& dir);

// Every string of at most maxLength pieces of alphabet, shortest first.
std::vector<std::string> AllStrings(const std::vector<std::string>& alphabet,
                                    std::size_t maxLength);

// Clears LC_ALL, LC_TIME and LANG for its lifetime (a test sets the one it
// wants) and puts the old values back after.
class LocaleVariables {
public:
    LocaleVariables();
    ~LocaleVariables();
    LocaleVariables(const LocaleVariables&) = delete;
    LocaleVariables& operator=(const LocaleVariables&) = delete;

private:
    std::vector<std::optional<std::string>> saved_;
};

struct RecordingHost : Host {
    std::vector<std::string> informs, warns;
    int pumps = 0;
    void Inform(std::string_view text) override { informs.emplace_back(text); }
    void Warn(std::string_view text) override { warns.emplace_back(text); }
    void Pump() override { ++pumps; }
};

} // namespace orbisk::test
