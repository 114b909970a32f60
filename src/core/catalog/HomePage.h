#pragma once
// The program's home page: opened by the home-page command, linked from
// the foot of an exported page.
namespace orbisk {

inline constexpr const char* kHomePage = "https://orbisk.example.org/";

} // namespace orbisk
