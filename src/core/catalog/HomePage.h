#pragma once
// The program's home page: opened by the home-page commands of the main and
// about windows, linked from the foot of an exported page.
#include <string>

namespace orbisk {

// The HTML guide shipped in ProgramDir.
inline constexpr const char* kGuideFile = "help/index.html";

// The project has no web site of its own yet: its home page is the guide the
// program ships, a file under ProgramDir.
inline constexpr const char* kHomePage = kGuideFile;

// The address of the home page of a program whose shipped files lie in
// programDir: a file URL, every byte other than an unreserved character or
// "/" percent-encoded.
std::string HomePageAddress(const std::string& programDir);

} // namespace orbisk
