#pragma once
// One temporary file per fuzzing process that holds the current input, for
// readers that take a path.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

namespace orbisk::fuzz {

inline const std::string& WriteInput(std::string_view bytes) {
    static const std::string path = [] {
        const char* base = std::getenv("TMPDIR");
        std::string name = std::string(base && *base ? base : "/tmp") + "/orbisk-fuzz-XXXXXX";
        const int fd = ::mkstemp(name.data());
        if (fd < 0) std::abort();
        ::close(fd);
        static const std::string keep = name;
        std::atexit([] { std::remove(keep.c_str()); });
        return name;
    }();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) std::abort();
    if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size())
        std::abort();
    std::fclose(file);
    return path;
}

} // namespace orbisk::fuzz
