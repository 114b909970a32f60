#pragma once
// Reading that keeps what was read before a failure, for a viewer that shows
// as much of a file as it could get; and the read seam tests use to make a
// read fail part-way.
#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/types.h>

#include "core/catalog/Archive.h"
#include "core/catalog/Host.h"
#include "core/catalog/TextFile.h"

namespace orbisk {

// Where ReadAt's bytes come from: pread(2) in the program; tests put a
// failing device in its place (a disk that stops answering part-way).
struct TReadDevice {
    virtual ~TReadDevice() = default;
    // As pread(2): the bytes read, or -1 with errno set.
    virtual ssize_t Read(int fd, void* data, std::size_t size, std::uint64_t offset) = 0;
};

// Puts device in place of pread(2) for every read while it lives, then puts
// back what was there before.
class TScopedReadDevice {
public:
    explicit TScopedReadDevice(TReadDevice& device);
    ~TScopedReadDevice();
    TScopedReadDevice(const TScopedReadDevice&) = delete;
    TScopedReadDevice& operator=(const TScopedReadDevice&) = delete;

private:
    TReadDevice* previous_;
};

// As ReadWholeFile, except that a read failing part-way leaves in out the
// bytes read before it (the status still tells the failure).
TFileStatus ReadFileKeepingRead(const std::string& path, std::string& out);

// As ReadArchive, except that a read failing part-way keeps the directories
// and entries of the whole lines read before it; the failure is still told
// and returned.
TFileStatus ReadArchiveKeepingRead(TArch& arch, Host& host);

} // namespace orbisk
