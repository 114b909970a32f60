#pragma once
// A write device for the save seam that takes a number of bytes and then
// fails every write with a given errno: a disk that fills up, or a
// permission lost half way.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <unistd.h>

#include "core/catalog/TextFile.h"

namespace orbisk::test {

struct FailingDevice : TWriteDevice {
    FailingDevice(std::size_t limit, int error) : limit(limit), error(error) {}
    ssize_t Write(int fd, const char* data, std::size_t size) override {
        if (taken >= limit) {
            errno = error;
            return -1;
        }
        const ssize_t n = ::write(fd, data, std::min(size, limit - taken));
        if (n > 0) taken += static_cast<std::size_t>(n);
        return n;
    }
    std::size_t limit;
    int error;
    std::size_t taken = 0;
};

} // namespace orbisk::test
