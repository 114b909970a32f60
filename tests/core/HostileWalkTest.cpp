// Trees no medium should have: the walk ends, records what it can and counts
// what it could not read.
#include <gtest/gtest.h>

#include <atomic>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "RecordingProgress.h"
#include "TestSupport.h"
#include "core/scan/DateFormat.h"
#include "core/scan/Walk.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

struct WalkRun {
    TArch arch;
    int unreadable = 0;
};

WalkRun WalkTree(const std::string& source, RecordingProgress& progress) {
    WalkRun run;
    TWalkOptions options;
    RecordingHost host;
    std::atomic<bool> running{true};
    TFixedDateFormatter dates;
    TWalker walker(run.arch, SourceRootFor(source), options, progress, running, host, dates);
    walker.WalkDirectory("");
    run.unreadable = walker.UnreadableFolders();
    return run;
}

// A chain of `levels` folders named "d" below dir, made and removed through
// folder handles, since its full path is longer than the system accepts.
class DeepChain {
public:
    DeepChain(const std::string& dir, int levels) {
        int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
        fds_.push_back(fd);
        for (int i = 0; i < levels && fd >= 0; ++i) {
            if (::mkdirat(fd, "d", 0755) != 0) break;
            fd = ::openat(fd, "d", O_RDONLY | O_DIRECTORY);
            fds_.push_back(fd);
        }
    }
    ~DeepChain() {
        for (std::size_t i = fds_.size() - 1; i > 0; --i) {
            ::close(fds_[i]);
            ::unlinkat(fds_[i - 1], "d", AT_REMOVEDIR);
        }
        ::close(fds_[0]);
    }
    int Levels() const { return static_cast<int>(fds_.size()) - 1; }

private:
    std::vector<int> fds_;
};

} // namespace

TEST(HostileWalk, AFolderChainDeeperThanAnyPathEndsTheWalkAtTheLimit) {
    TempDir dir;
    DeepChain chain(dir.Path(), 3000);
    ASSERT_EQ(chain.Levels(), 3000);
    RecordingProgress progress;
    WalkRun run = WalkTree(dir.Path(), progress);
    // Every folder the system can name is recorded; the first one it cannot
    // is an empty directory counted as unreadable.
    EXPECT_GT(run.arch.DirCount, 1000);
    EXPECT_LT(run.arch.DirCount, 3001);
    EXPECT_EQ(run.unreadable, 1);
    EXPECT_EQ(run.arch.RecCount, run.arch.DirCount - 1);
}

TEST(HostileWalk, AFolderRemovedDuringTheWalkStaysAnEmptyDirectory) {
    TempDir dir;
    for (const char* sub : {"/a", "/b", "/b/inner"})
        ::mkdir((dir.Path() + sub).c_str(), 0755);
    WriteFile(dir.File("b/inner/file.txt"), "x");
    RecordingProgress progress;
    // The root is enumerated first; "b" vanishes before the walk enters it.
    bool removed = false;
    progress.onAdd = [&](std::string_view line) {
        if (!removed && line.find("\\ a") != std::string_view::npos) {
            removed = true;
            std::remove(dir.File("b/inner/file.txt").c_str());
            ::rmdir(dir.File("b/inner").c_str());
            ::rmdir(dir.File("b").c_str());
        }
    };
    WalkRun run = WalkTree(dir.Path(), progress);
    ASSERT_TRUE(removed);
    std::int32_t b = run.arch.FindDir("\\b\\");
    ASSERT_NE(b, 0);
    EXPECT_EQ(run.arch.Dirs[static_cast<std::size_t>(b)].Count, 0);
    EXPECT_EQ(run.unreadable, 1);
}
