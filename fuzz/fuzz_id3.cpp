// Reads arbitrary bytes as an MP3 file with both tag parsers, on the parts of
// the file the readers take (the last 128 bytes, the head), and checks the
// shapes of their results.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/scan/Metadata.h"

using namespace orbisk;

namespace {

std::size_t Marks(std::string_view text) {
    std::size_t n = 0;
    for (char c : text)
        n += c == '\x07';
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TId3v1 v1 = size >= 128 ? ParseId3v1(bytes.substr(size - 128)) : TId3v1{};
    // A tag gives five fields of fixed width, each ended by 0x07, and one more.
    if (!v1.Text.empty() && (v1.Text.size() != 128 || v1.Title.size() != 30)) std::abort();
    if (v1.Text.empty() && !v1.Title.empty()) std::abort();
    const std::string v2 = ParseId3v2(bytes.substr(0, kId3v2Window));
    if (!v2.empty() && Marks(v2) < 10) std::abort();
    if (v2.find_first_of(std::string_view("\0\t\n\r\x1A", 5)) != std::string::npos) std::abort();
    // Every start offset in the head, as a frame identifier might be found there.
    const std::string_view head = bytes.substr(0, kId3v2Window);
    for (std::size_t start = 0; start < head.size(); start += 7) {
        std::size_t offset = start;
        const std::string text = ReadFrameText(head, offset);
        if (offset <= start || text.size() > head.size()) std::abort();
    }
    return 0;
}
