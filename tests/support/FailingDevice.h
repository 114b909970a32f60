#pragma once
// Devices for the read and write seams. The write device takes a number of
// bytes and then fails every write with a given errno: a disk that fills
// up, or a permission lost half way.
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <unistd.h>

#include "core/catalog/PartialRead.h"

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

// A read device that gives the first limit bytes of a file and then fails
// with EIO: a disk that stops answering part-way through a file.
struct FailingReadDevice : TReadDevice {
    explicit FailingReadDevice(std::size_t limit) : limit(limit) {}
    ssize_t Read(int fd, void* data, std::size_t size, std::uint64_t offset) override {
        if (offset >= limit) {
            errno = EIO;
            return -1;
        }
        return ::pread(fd, data, std::min<std::uint64_t>(size, limit - offset),
                       static_cast<off_t>(offset));
    }
    std::size_t limit;
};

} // namespace orbisk::test
