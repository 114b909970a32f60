// A save killed at any moment leaves the archive as the old file or the new
// one, byte for byte, never a mixture and never missing.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "ArchiveBuilder.h"
#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ArchiveList.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

// Kills a child that saves two versions in turn, many times at random
// moments; after each kill the file must be one version, whole.
void KillDuringSaves(const std::string& path, const std::string& bytesA, const std::string& bytesB,
                     const std::function<void(int)>& saveVersion) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> delayUs(0, 30000);
    for (int kill = 0; kill < 40; ++kill) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0)
            for (int i = 0;; ++i)
                saveVersion(i % 2);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        std::string now = ReadFile(path);
        ASSERT_TRUE(now == bytesA || now == bytesB)
            << "after kill " << kill << ": " << now.size() << " bytes";
    }
}

} // namespace

TEST(CrashSafety, KilledListSavesLeaveTheOldOrTheNewCache) {
    TempDir dir;
    TArchiveList lists[2];
    for (int v = 0; v < 2; ++v) {
        lists[v].Folder = dir.Path();
        for (int i = 0; i < 20000; ++i) {
            THead row;
            row.FileName = "archive" + std::to_string(i) + ".cd";
            row.Name = (v ? "second " : "first ") + std::to_string(i);
            row.Medium = "CD";
            row.TreePath = "\\CD\\";
            row.Listed = 1;
            lists[v].Append(row);
        }
    }
    const std::string path = dir.File(std::string(kArchiveListFile));
    ASSERT_TRUE(RewriteArchiveList(lists[1]).Saved);
    const std::string bytesB = ReadFile(path);
    ASSERT_TRUE(RewriteArchiveList(lists[0]).Saved);
    const std::string bytesA = ReadFile(path);
    ASSERT_NE(bytesA, bytesB);
    KillDuringSaves(path, bytesA, bytesB, [&](int v) { RewriteArchiveList(lists[v]); });
}

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

    KillDuringSaves(a.Head.FileName, bytesA, bytesB, [&](int v) {
        RecordingHost child;
        WriteArchive(v ? a : b, child);
    });
    // A backup, once made, is a whole version too.
    if (FileExists(dir.File("NAME.bak"))) {
        std::string bak = ReadFile(dir.File("NAME.bak"));
        EXPECT_TRUE(bak == bytesA || bak == bytesB) << bak.size();
    }
}
