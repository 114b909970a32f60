#pragma once
// The archive model: one catalogued medium in memory. Arrays are indexed from
// 1; slot 0 is never a real record (an entry read before any directory line
// lands in directory slot 0 and is dropped at the next save).
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/Str.h"

namespace orbisk {

struct THead {
    std::string FileName;
    std::string Name;
    std::string Typ;
    std::string SubTyp;
    std::string Medium;
    std::string Owner;
    std::string Description;
    std::string TreePath; // built by the archive list, never stored in the .cd file
    std::string SN;
    std::string Volume;
    std::uint8_t Listed = 0; // not stored in the .cd file
};

// Copies the six values a user types for an archive (name, categories, owner,
// description) from any record that has them under these names.
template <typename Values>
void AssignHeaderValues(THead& head, const Values& v) {
    head.Name = v.Name;
    head.Typ = v.Typ;
    head.SubTyp = v.SubTyp;
    head.Medium = v.Medium;
    head.Owner = v.Owner;
    head.Description = v.Description;
}

struct TDir {
    std::string Path;
    std::int32_t First = 0;
    std::int32_t Count = 0;
};

struct TRec {
    TStr Name;
    TStr Size;
    TStr Date;
    TStr Attr;
    TStr Note;
    TStr Description; // each line followed by the byte 0x07
    std::uint8_t Present = 1;
};

// Arrays start with 1000 slots. When a count, just after being increased,
// leaves the remainder 999 when divided by 1000, the array is extended to
// count + 1000 slots, so the lengths run 1000, 1999, 2999, ...
inline constexpr std::int32_t kArchiveGrowth = 1000;

template <typename T>
void GrowAfterIncrement(std::vector<T>& slots, std::int32_t count) {
    if (count % kArchiveGrowth == kArchiveGrowth - 1 &&
        slots.size() < static_cast<std::size_t>(count) + kArchiveGrowth)
        slots.resize(static_cast<std::size_t>(count) + kArchiveGrowth);
}

// The number of slots the growth rule has given an array once its count has
// reached count: a reader that knows its final count allocates this at once.
constexpr std::size_t SlotsForCount(std::int32_t count) {
    if (count < kArchiveGrowth - 1) return kArchiveGrowth;
    std::int32_t steps = (count - (kArchiveGrowth - 1)) / kArchiveGrowth;
    return static_cast<std::size_t>(2 * kArchiveGrowth - 1 + kArchiveGrowth * steps);
}

struct TArch {
    THead Head;
    std::vector<TDir> Dirs = std::vector<TDir>(kArchiveGrowth);
    std::int32_t DirCount = 0;
    std::vector<TRec> Recs = std::vector<TRec>(kArchiveGrowth);
    std::int32_t RecCount = 0;
    // The text of the file the archive was read from; entry fields read from
    // it point into it instead of holding copies.
    std::shared_ptr<const std::string> Text;

    // Empties both arrays back to their initial 1000 slots; the header stays.
    void Clear();
    // Prepares the entry array for a reader that will fill slots 1 to at most
    // maxCount, each completely: the slots keep their storage, so reading
    // archive after archive into one TArch does not rebuild every slot.
    // FinishRefill then trims the array to what the growth rule gives.
    void BeginRefill(std::int32_t maxCount);
    void FinishRefill();
    // Starts a new directory after the last one: First = RecCount + 1, Count = 0.
    TDir& AddDir(std::string path);
    // Appends an entry to the last directory (slot 0 when there is none yet).
    TRec& AddRec(TRec rec);
    // Index of the first directory whose Path equals path exactly, or 0.
    std::int32_t FindDir(std::string_view path) const;
};

// A multi-line text stored in one field: every line followed by 0x07.
inline constexpr char kLineMark = '\x07';

} // namespace orbisk
