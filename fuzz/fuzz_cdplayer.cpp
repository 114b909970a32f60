// libFuzzer target: the audio-CD step on a CDPLAYER.INI holding the fuzzer's
// bytes, over an archive with a few track entries.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

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

// A folder of our own per process, holding CDPLAYER.INI.
const std::string& ProgramDir() {
    static const std::string dir = [] {
        const char* base = std::getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/orbisk-fuzz-cd-XXXXXX";
        if (!::mkdtemp(tmpl.data())) std::abort();
        return tmpl;
    }();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string ini = ProgramDir() + "/" + kCdPlayerFile;
    std::FILE* f = std::fopen(ini.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);

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
        ApplyCdPlayerTitles(arch, ProgramDir(), TCdPlayerOptions{replace, !replace}, progress,
                            running, host);
    if (arch.RecCount != 3 || arch.DirCount != 1) std::abort();
    return 0;
}
