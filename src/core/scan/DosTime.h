#pragma once
// DOS date-time values as ZIP and RAR files carry them: one 32-bit value,
// the date in the high half (day, month, years since 1980), the time in the
// low half (seconds / 2, minutes, hours). The value is local time already.
#include <cstdint>
#include <ctime>
#include <optional>

namespace orbisk {

// The broken-down local time of a DOS date-time; nullopt when a field is out
// of range (month 0, 31 February, hour 24 ...).
std::optional<std::tm> DosToLocalTm(std::uint32_t dosDateTime);

// The DOS date-time of a local time; nullopt outside the years 1980 to 2107.
std::optional<std::uint32_t> LocalTmToDos(const std::tm& local);

} // namespace orbisk
