#pragma once
// The listing of one ZIP or RAR file as the walk consumes it: row k of every
// list describes the same item. Names are full paths inside the packed file,
// "/" between components for ZIP and "\" for RAR.
#include <string>
#include <vector>

namespace orbisk {

struct TPackedListing {
    std::vector<std::string> Names;
    std::vector<std::string> Sizes;
    std::vector<std::string> Dates;
    std::vector<std::string> Attrs; // RAR only; empty for ZIP
};

} // namespace orbisk
