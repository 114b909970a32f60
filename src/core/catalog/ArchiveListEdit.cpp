#include "core/catalog/ArchiveListEdit.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "core/catalog/ArchiveFile.h"
#include "core/catalog/Common.h"
#include "core/settings/CoreTexts.h"

namespace orbisk {

namespace {

bool IsTreePath(std::string_view path) {
    return path.size() >= 2 && path.front() == '\\' && path.back() == '\\';
}

} // namespace

TRenameResult RenameCategory(TArchiveList& list, std::string_view oldPath,
                             std::string_view newText) {
    TRenameResult result;
    if (!IsTreePath(oldPath)) return result;
    std::string text = BlankOut(newText, kHeaderForbidden);
    if (text.empty()) return result;
    // The parent's path: up to the "\" before the node's own text.
    std::size_t parentEnd = oldPath.rfind('\\', oldPath.size() - 2);
    result.NewPath.assign(oldPath.substr(0, parentEnd + 1)).append(text).push_back('\\');
    if (result.NewPath == oldPath) return result;
    result.Changed = true;
    for (std::int32_t slot = 1; slot <= list.ArchiveCount(); ++slot) {
        THead& row = list[slot];
        if (row.Listed == 0 || !row.TreePath.starts_with(oldPath)) continue;
        SetTreePath(row, result.NewPath + row.TreePath.substr(oldPath.size()));
        result.Moved.push_back(slot);
    }
    return result;
}

std::vector<std::int32_t> MoveArchivesToCategory(TArchiveList& list,
                                                 const std::vector<std::int32_t>& slots,
                                                 std::string_view targetPath) {
    std::vector<std::int32_t> moved;
    if (!IsTreePath(targetPath)) return moved;
    for (std::int32_t slot : slots) {
        if (!list.ValidSlot(slot)) continue;
        THead& row = list[slot];
        if (row.Listed == 0 || row.TreePath == targetPath) continue;
        SetTreePath(row, std::string(targetPath));
        moved.push_back(slot);
    }
    return moved;
}

TArchiveProperties NormalizeProperties(TArchiveProperties values) {
    for (std::string* field : {&values.Name, &values.Typ, &values.SubTyp, &values.Medium,
                               &values.Owner, &values.Description})
        *field = BlankOut(*field, kHeaderForbidden);
    if (values.Name.empty()) values.Name = " ";
    if (values.Medium.empty()) values.Medium = kOtherMedium;
    return values;
}

TArchiveProperties PropertiesOf(const THead& row) {
    return {row.Name, row.Typ, row.SubTyp, row.Medium, row.Owner, row.Description};
}

TPropertiesResult ApplyArchiveProperties(TArchiveList& list, std::int32_t slot,
                                         const TArchiveProperties& values, Host& host) {
    TPropertiesResult result;
    if (!list.ValidSlot(slot)) return result;
    const TArchiveProperties v = NormalizeProperties(values);
    // A failed read must not be followed by a save: that would replace the
    // archive's whole tree by an empty one.
    TArch arch;
    arch.Head.FileName = list.PathOf(slot);
    if (!ReadArchive(arch, host)) return result;
    arch.Head.Name = v.Name;
    arch.Head.Typ = v.Typ;
    arch.Head.SubTyp = v.SubTyp;
    arch.Head.Medium = v.Medium;
    arch.Head.Owner = v.Owner;
    arch.Head.Description = v.Description;
    if (!WriteArchive(arch, host)) return result;

    THead& row = list[slot];
    AssignHeaderValues(row, v);
    result.OldTreePath = row.TreePath;
    row.TreePath = TreePathOf(row.Medium, row.Typ, row.SubTyp);
    result.TreePathChanged = row.TreePath != result.OldTreePath;
    result.Saved = true;
    return result;
}

bool ArchiveFileExists(const TArchiveList& list, std::int32_t slot) {
    if (!list.ValidSlot(slot)) return false;
    struct stat st {};
    return ::stat(list.PathOf(slot).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

TDeleteResult DeleteArchive(TArchiveList& list, std::int32_t slot) {
    TDeleteResult result;
    if (!ArchiveFileExists(list, slot)) return result;
    const std::string path = list.PathOf(slot);
    bool deleted = ::unlink(path.c_str()) == 0;
    if (!deleted) {
        // Archives copied from a CD arrive read-only: make the file writable
        // by its owner and try once more.
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0) ::chmod(path.c_str(), (st.st_mode & 07777) | S_IWUSR);
        deleted = ::unlink(path.c_str()) == 0;
    }
    if (!deleted) {
        result.Status = TDeleteStatus::Failed;
        result.Message = std::string(CoreText(TCoreText::CannotDelete)) + list[slot].FileName;
        return result;
    }
    list[slot].Listed = 0;
    result.Status = TDeleteStatus::Deleted;
    return result;
}

} // namespace orbisk
