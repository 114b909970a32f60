#include "core/scan/RarListing.h"

#include <clocale>
#include <cstring>
#include <ctime>
#include <locale.h>
#include <string_view>

#include "core/catalog/Common.h"
#include "core/catalog/TextFile.h"
#include "core/scan/DosTime.h"
#include "core/scan/ListingRows.h"

#include "core/scan/LibArchive.h"

namespace orbisk {

struct TRarArchive {
    const TLibArchive& Lib;
    archive* Reader = nullptr;
    TUniqueFd Fd; // the file being listed, closed with the handle
    la_int64_t LastHeaderPos = -1;
    bool Failed = false; // a header or skip failed: nothing further is read
};

namespace {

locale_t Utf8Locale() {
    for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"})
        if (locale_t l = ::newlocale(LC_ALL_MASK, name, locale_t{})) return l;
    return locale_t{};
}

// libarchive converts names into the character set of the thread's locale.
// Core strings are UTF-8 whatever locale the process runs in, so each call
// runs under a UTF-8 locale of its own thread and restores the previous one.
class TUtf8Scope {
public:
    TUtf8Scope() {
        static const locale_t utf8 = Utf8Locale();
        if (utf8) previous_ = ::uselocale(utf8);
    }
    ~TUtf8Scope() {
        if (previous_) ::uselocale(previous_);
    }
    TUtf8Scope(const TUtf8Scope&) = delete;
    TUtf8Scope& operator=(const TUtf8Scope&) = delete;

private:
    locale_t previous_{};
};

// Copies a member path with "\" between components and no trailing "\"; a
// path too long for the field is cut before a whole UTF-8 character.
void CopyName(std::string_view name, char (&field)[kRarNameSize]) {
    while (!name.empty() && name.back() == '/')
        name.remove_suffix(1);
    std::size_t len = std::min(name.size(), kRarNameSize - 1);
    if (len < name.size())
        while (len > 0 && (static_cast<unsigned char>(name[len]) & 0xC0) == 0x80)
            --len;
    for (std::size_t i = 0; i < len; ++i)
        field[i] = name[i] == '/' ? '\\' : name[i];
    field[len] = '\0';
}

std::uint32_t Attributes(const TLibArchive& la, archive_entry* entry, std::string_view name) {
    std::uint32_t bits = 0;
    if (la.archive_entry_filetype(entry) == AE_IFDIR) bits |= kAttrDirectory;
    if ((la.archive_entry_mode(entry) & 0200) == 0) bits |= kAttrReadOnly;
    // Windows attributes come as file-flag names ("rdonly,hidden").
    if (const char* text = la.archive_entry_fflags_text(entry)) {
        std::string_view flags(text);
        while (!flags.empty()) {
            auto comma = flags.find(',');
            std::string_view flag = flags.substr(0, comma);
            if (flag == "rdonly" || flag == "readonly") bits |= kAttrReadOnly;
            if (flag == "hidden") bits |= kAttrHidden;
            if (flag == "system") bits |= kAttrSystem;
            if (flag == "archive" || flag == "arch") bits |= kAttrArchive;
            flags = comma == std::string_view::npos ? std::string_view{} : flags.substr(comma + 1);
        }
    }
    auto slash = name.find_last_of('/');
    std::string_view last = slash == std::string_view::npos ? name : name.substr(slash + 1);
    if (!last.empty() && last[0] == '.') bits |= kAttrHidden;
    return bits;
}

std::uint32_t DosTimeOf(const TLibArchive& la, archive_entry* entry) {
    if (!la.archive_entry_mtime_is_set(entry)) return 0;
    std::time_t t = la.archive_entry_mtime(entry);
    std::tm local{};
    if (!::localtime_r(&t, &local)) return 0;
    return LocalTmToDos(local).value_or(0);
}

} // namespace

RARHandle RAROpenArchive(RAROpenArchiveData* data) {
    if (!data) return nullptr;
    if (!data->ArcName && !data->ArcBytes) {
        data->OpenResult = kRarOpenError;
        return nullptr;
    }
    if (data->OpenMode != kRarOpenList) {
        data->OpenResult = kRarNotSupported;
        return nullptr;
    }
    TUniqueFd fd;
    if (!data->ArcBytes && !OpenRegularFile(data->ArcName, fd)) {
        data->OpenResult = kRarOpenError;
        return nullptr;
    }
    const TLibArchive* lib = LibArchive();
    if (!lib) {
        data->OpenResult = kRarOpenError;
        return nullptr;
    }
    const TLibArchive& la = *lib;
    TUtf8Scope utf8;
    archive* reader = la.archive_read_new();
    if (!reader) {
        data->OpenResult = kRarNoMemory;
        return nullptr;
    }
    la.archive_read_support_format_rar(reader);
    la.archive_read_support_format_rar5(reader);
    const int opened = data->ArcBytes
                           ? la.archive_read_open_memory(reader, data->ArcBytes, data->ArcSize)
                           : la.archive_read_open_fd(reader, fd.Get(), 64 * 1024);
    if (opened != ARCHIVE_OK) {
        data->OpenResult = kRarBadArchive;
        la.archive_read_free(reader);
        return nullptr;
    }
    data->OpenResult = kRarSuccess;
    return new TRarArchive{la, reader, std::move(fd)};
}

int RARReadHeader(RARHandle handle, RARHeaderData* header) {
    if (!handle || !header || handle->Failed) return kRarBadData;
    const TLibArchive& la = handle->Lib;
    TUtf8Scope utf8;
    archive_entry* entry = nullptr;
    int r = la.archive_read_next_header(handle->Reader, &entry);
    if (r == ARCHIVE_EOF) return kRarEndArchive;
    const la_int64_t pos = la.archive_read_header_position(handle->Reader);
    const char* name = nullptr;
    if (r == ARCHIVE_OK || r == ARCHIVE_WARN) {
        name = la.archive_entry_pathname_utf8(entry);
        if (!name) name = la.archive_entry_pathname(entry);
    }
    // A header that does not move forward in the file would repeat for ever.
    if (!name || pos <= handle->LastHeaderPos) {
        handle->Failed = true;
        return kRarBadData;
    }
    handle->LastHeaderPos = pos;
    CopyName(name, header->FileName);
    la_int64_t size = la.archive_entry_size_is_set(entry) ? la.archive_entry_size(entry) : 0;
    header->UnpSize = size > 0 ? static_cast<std::uint64_t>(size) : 0;
    header->FileTime = DosTimeOf(la, entry);
    header->FileAttr = Attributes(la, entry, name);
    return kRarSuccess;
}

int RARProcessFile(RARHandle handle, int operation, char* destPath, char* destName) {
    if (!handle || handle->Failed) return kRarBadData;
    if (operation != kRarSkip || destPath || destName) return kRarNotSupported;
    const TLibArchive& la = handle->Lib;
    TUtf8Scope utf8;
    int r = la.archive_read_data_skip(handle->Reader);
    if (r != ARCHIVE_OK && r != ARCHIVE_WARN) {
        handle->Failed = true;
        return kRarBadData;
    }
    return kRarSuccess;
}

int RARCloseArchive(RARHandle handle) {
    if (!handle) return kRarBadData;
    const TLibArchive& la = handle->Lib;
    TUtf8Scope utf8;
    la.archive_read_free(handle->Reader);
    delete handle;
    return kRarSuccess;
}

namespace {

void ListOpened(RAROpenArchiveData& open, TPackedListing& listing, const TDateFormatter& formatter,
                const std::function<void(const std::string&)>& onMember) {
    RARHandle handle = RAROpenArchive(&open);
    if (!handle || open.OpenResult != kRarSuccess) return;
    TListingRows rows(listing, '\\', true);
    RARHeaderData header;
    for (int r = RARReadHeader(handle, &header); r == kRarSuccess;
         r = RARReadHeader(handle, &header)) {
        const std::string name(header.FileName);
        auto local = DosToLocalTm(header.FileTime);
        const std::string date = local ? formatter.DateTime(*local) : "?";
        const std::string attr = AttrString(header.FileAttr);
        rows.AddMember(name, attr[0] == 'd', std::to_string(header.UnpSize), date, attr);
        if (onMember) onMember(name);
        if (RARProcessFile(handle, kRarSkip, nullptr, nullptr) != kRarSuccess) break;
    }
    RARCloseArchive(handle);
}

} // namespace

void ListRarArchive(const std::string& path, TPackedListing& listing,
                    const TDateFormatter& formatter,
                    const std::function<void(const std::string&)>& onMember) {
    RAROpenArchiveData open;
    open.ArcName = path.c_str();
    ListOpened(open, listing, formatter, onMember);
}

void ListRarBytes(std::string_view bytes, TPackedListing& listing, const TDateFormatter& formatter,
                  const std::function<void(const std::string&)>& onMember) {
    RAROpenArchiveData open;
    open.ArcBytes = bytes.data();
    open.ArcSize = bytes.size();
    ListOpened(open, listing, formatter, onMember);
}

} // namespace orbisk
