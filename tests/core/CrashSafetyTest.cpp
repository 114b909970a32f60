// A save killed at any moment leaves the archive as the old file or the new
// one, byte for byte, never a mixture and never missing.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "ArchiveBuilder.h"
#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"

using namespace orbisk;
using namespace orbisk::test;

TEST(CrashSafety, KilledSavesLeaveTheOldOrTheNewFile) {
    TempDir dir;
    TArch a = MakeLargeArchive(20000);
    a.Head.FileName = dir.File("NAME.cd");
    TArch b = a;
    b.Head.Name = "second version";
    for (int r = 1; r <= b.RecCount; r += 3)
        b.Recs[r].Note = "changed";
    const std::string bytesA = FormatArchive(a), bytesB = FormatArchive(b);
    RecordingHost host;
    ASSERT_TRUE(WriteArchive(a, host));

    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayUs(0, 30000);
    const int kKills = 40;
    for (int kill = 0; kill < kKills; ++kill) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            RecordingHost child;
            for (int i = 0;; ++i)
                WriteArchive(i % 2 ? a : b, child);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        std::string now = ReadFile(a.Head.FileName);
        ASSERT_TRUE(now == bytesA || now == bytesB)
            << "after kill " << kill << ": " << now.size() << " bytes";
    }
    // A backup, once made, is a whole version too.
    if (FileExists(dir.File("NAME.bak"))) {
        std::string bak = ReadFile(dir.File("NAME.bak"));
        EXPECT_TRUE(bak == bytesA || bak == bytesB) << bak.size();
    }
}
