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

// The home page an exported page may link in its foot: only a web address,
// since a page is read on other machines, where a file address of this one
// leads nowhere. Empty (the foot names the program without a link) while
// the home page is the shipped guide.
std::string ExportHomePage(const std::string& programDir);

} // namespace orbisk
