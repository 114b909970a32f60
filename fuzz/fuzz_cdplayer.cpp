// libFuzzer target: the audio-CD step with the fuzzer's bytes as the text of
// CDPLAYER.INI, over an archive with a few track entries.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/scan/Metadata.h"
#include "core/scan/ProgressSink.h"

using namespace orbisk;

namespace {

struct NullProgress : ProgressSink {
    std::size_t lines = 0;
    void AddLine(std::string_view) override { ++lines; }
    void DeleteLastLine() override {}
    void Clear() override { lines = 0; }
    std::size_t LineCount() const override { return lines; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {

    TArch arch;
    arch.Head.SN = "1A2B-0C3D";
    arch.Head.Volume = "AUDIO CD";
    arch.AddDir("\\");
    for (const char* track : {"Track01.cda", "Track02.cda", "Track10.cda"})
        arch.AddRec(TRec{track, "44", "?", " ----", "", "", 1});
    NullHost host;
    NullProgress progress;
    std::atomic<bool> running{true};
    for (bool replace : {false, true})
        ApplyCdPlayerText(arch, {reinterpret_cast<const char*>(data), size},
                          TCdPlayerOptions{replace, !replace}, progress, running, host);
    if (arch.RecCount != 3 || arch.DirCount != 1) std::abort();
    return 0;
}
