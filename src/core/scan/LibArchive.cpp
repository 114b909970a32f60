#include "core/scan/LibArchive.h"

#include <dlfcn.h>

namespace orbisk {

namespace {

// The name libarchive has carried since version 3.0.
constexpr const char* kLibArchiveName = "libarchive.so.13";

template <typename Call>
bool Bind(void* library, const char* name, Call& call) {
    call = reinterpret_cast<Call>(::dlsym(library, name));
    return call != nullptr;
}

bool Load(TLibArchive& l) {
    // Never closed: the calls stay valid for the life of the process.
    void* lib = ::dlopen(kLibArchiveName, RTLD_NOW | RTLD_LOCAL);
    return lib && Bind(lib, "archive_read_new", l.archive_read_new) &&
           Bind(lib, "archive_read_support_format_rar", l.archive_read_support_format_rar) &&
           Bind(lib, "archive_read_support_format_rar5", l.archive_read_support_format_rar5) &&
           Bind(lib, "archive_read_open_memory", l.archive_read_open_memory) &&
           Bind(lib, "archive_read_open_fd", l.archive_read_open_fd) &&
           Bind(lib, "archive_read_next_header", l.archive_read_next_header) &&
           Bind(lib, "archive_read_header_position", l.archive_read_header_position) &&
           Bind(lib, "archive_read_data_skip", l.archive_read_data_skip) &&
           Bind(lib, "archive_read_free", l.archive_read_free) &&
           Bind(lib, "archive_entry_pathname_utf8", l.archive_entry_pathname_utf8) &&
           Bind(lib, "archive_entry_pathname", l.archive_entry_pathname) &&
           Bind(lib, "archive_entry_filetype", l.archive_entry_filetype) &&
           Bind(lib, "archive_entry_mode", l.archive_entry_mode) &&
           Bind(lib, "archive_entry_fflags_text", l.archive_entry_fflags_text) &&
           Bind(lib, "archive_entry_mtime_is_set", l.archive_entry_mtime_is_set) &&
           Bind(lib, "archive_entry_mtime", l.archive_entry_mtime) &&
           Bind(lib, "archive_entry_size_is_set", l.archive_entry_size_is_set) &&
           Bind(lib, "archive_entry_size", l.archive_entry_size);
}

} // namespace

const TLibArchive* LibArchive() {
    static const TLibArchive* const loaded = [] {
        static TLibArchive l;
        return Load(l) ? &l : nullptr;
    }();
    return loaded;
}

} // namespace orbisk
