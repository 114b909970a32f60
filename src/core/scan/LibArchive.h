#pragma once
// libarchive, loaded when the first RAR file is listed rather than when the
// program starts: most runs list none, and loading it with the libraries it
// links (ICU, libxml2, the compressors) costs every process a few
// milliseconds before main.
#include <archive.h>
#include <archive_entry.h>

namespace orbisk {

// The calls the RAR listing makes, named as libarchive names them.
struct TLibArchive {
    decltype(&::archive_read_new) archive_read_new = nullptr;
    decltype(&::archive_read_support_format_rar) archive_read_support_format_rar = nullptr;
    decltype(&::archive_read_support_format_rar5) archive_read_support_format_rar5 = nullptr;
    decltype(&::archive_read_open_memory) archive_read_open_memory = nullptr;
    decltype(&::archive_read_open_fd) archive_read_open_fd = nullptr;
    decltype(&::archive_read_next_header) archive_read_next_header = nullptr;
    decltype(&::archive_read_header_position) archive_read_header_position = nullptr;
    decltype(&::archive_read_data_skip) archive_read_data_skip = nullptr;
    decltype(&::archive_read_free) archive_read_free = nullptr;
    decltype(&::archive_entry_pathname_utf8) archive_entry_pathname_utf8 = nullptr;
    decltype(&::archive_entry_pathname) archive_entry_pathname = nullptr;
    decltype(&::archive_entry_filetype) archive_entry_filetype = nullptr;
    decltype(&::archive_entry_mode) archive_entry_mode = nullptr;
    decltype(&::archive_entry_fflags_text) archive_entry_fflags_text = nullptr;
    decltype(&::archive_entry_mtime_is_set) archive_entry_mtime_is_set = nullptr;
    decltype(&::archive_entry_mtime) archive_entry_mtime = nullptr;
    decltype(&::archive_entry_size_is_set) archive_entry_size_is_set = nullptr;
    decltype(&::archive_entry_size) archive_entry_size = nullptr;
};

// The library, loaded on the first call (once per process); nullptr when it
// or one of its calls cannot be found.
const TLibArchive* LibArchive();

} // namespace orbisk
