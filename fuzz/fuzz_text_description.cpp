// Cleans arbitrary bytes as the start of a text file that becomes a
// description, cut at a byte limit taken from the input, and checks what may
// come out.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/scan/Metadata.h"

using namespace orbisk;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int limit = (data[0] << 8 | data[1]) % 9000; // in and out of the allowed range
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 2, size - 2);
    const int used = limit < kDescriptionLimitMin || limit > kDescriptionLimitMax
                         ? kDescriptionLimitDefault
                         : limit;
    const std::string_view read = bytes.substr(0, static_cast<std::size_t>(used));
    const std::string text = CleanTextDescription(read);
    if (text.size() > read.size()) std::abort();
    if (text.find_first_of(std::string_view("\0\t\r\n\x1A", 5)) != std::string::npos) std::abort();
    return 0;
}
