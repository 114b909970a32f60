// Walking a generated tree of 100 000 files in 10 000 folders with the scan's
// walk against a plain readdir + fstatat walk of the same tree in the same
// run. The tree is made once per process under /tmp and removed at exit.
//
// The tree is in the page cache after it is made, so both walks measure the
// work of walking, not the disk. On a machine shared with other builds the
// CPU column (time of the walking thread) is the steadier of the two.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "core/scan/Walk.h"

using namespace orbisk;

namespace {

constexpr int kTopFolders = 100;
constexpr int kSubFolders = 100; // per top folder: 10 000 folders that hold files
constexpr int kFilesPerFolder = 10;

struct NullProgress : ProgressSink {
    std::size_t lines = 0;
    void AddLine(std::string_view) override { ++lines; }
    void DeleteLastLine() override {
        if (lines > 0) --lines;
    }
    void Clear() override { lines = 0; }
    std::size_t LineCount() const override { return lines; }
};

int RemoveItem(const char* path, const struct stat*, int, struct FTW*) {
    return ::remove(path);
}

// The tree: top folders t00..t99, each with folders s00..s99 of ten files of
// different sizes and modification times (a medium's files rarely share
// their time, so the walk's date texts are made for each of them).
class Tree {
public:
    Tree() {
        char tmpl[] = "/tmp/orbisk-bench-walk-XXXXXX";
        if (!::mkdtemp(tmpl)) std::abort();
        root_ = tmpl;
        const time_t base = 1000000000; // 9.9.2001
        long serial = 0;
        char name[64];
        for (int t = 0; t < kTopFolders; ++t) {
            std::snprintf(name, sizeof name, "/t%02d", t);
            const std::string top = root_ + name;
            ::mkdir(top.c_str(), 0755);
            for (int s = 0; s < kSubFolders; ++s) {
                std::snprintf(name, sizeof name, "/s%02d", s);
                const std::string sub = top + name;
                ::mkdir(sub.c_str(), 0755);
                for (int f = 0; f < kFilesPerFolder; ++f, ++serial) {
                    std::snprintf(name, sizeof name, "/File_%06ld.dat", serial);
                    const int fd =
                        ::open((sub + name).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
                    if (fd < 0) std::abort();
                    if (::ftruncate(fd, serial * 37 % 100000) != 0) std::abort();
                    const timespec times[2] = {{base + serial * 61, 0}, {base + serial * 61, 0}};
                    ::futimens(fd, times);
                    ::close(fd);
                }
            }
        }
    }
    ~Tree() { ::nftw(root_.c_str(), RemoveItem, 16, FTW_DEPTH | FTW_PHYS); }
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;
    const std::string& Root() const { return root_; }

private:
    std::string root_;
};

Tree& TheTree() {
    static Tree tree;
    return tree;
}

// Every item below the folder dirFd: its status read, folders descended.
std::size_t PlainWalk(int dirFd) {
    DIR* dir = ::fdopendir(dirFd);
    if (!dir) {
        ::close(dirFd);
        return 0;
    }
    std::size_t count = 0;
    while (const dirent* e = ::readdir(dir)) {
        const char* n = e->d_name;
        if (n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))) continue;
        struct stat st {};
        if (::fstatat(::dirfd(dir), n, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        ++count;
        if (S_ISDIR(st.st_mode)) {
            const int sub = ::openat(::dirfd(dir), n, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (sub >= 0) count += PlainWalk(sub);
        }
    }
    ::closedir(dir);
    return count;
}

void BM_Walk_Baseline(benchmark::State& state) {
    const Tree& tree = TheTree();
    std::size_t count = 0;
    for (auto _ : state) {
        count = PlainWalk(::open(tree.Root().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        benchmark::DoNotOptimize(count);
    }
    state.counters["entries"] = static_cast<double>(count);
}

// The walk as a scan runs it: into the one scan archive, emptied before each
// scan, with the progress switch as given.
void RunWalk(benchmark::State& state, bool progressLines) {
    const Tree& tree = TheTree();
    TArch arch;
    TWalkOptions options;
    options.Progress = progressLines;
    NullProgress progress;
    NullHost host;
    std::atomic<bool> running{true};
    TFixedDateFormatter dates;
    for (auto _ : state) {
        arch.Clear();
        TWalker walker(arch, SourceRootFor(tree.Root()), options, progress, running, host, dates);
        walker.WalkDirectory("");
        benchmark::DoNotOptimize(arch.RecCount);
    }
    state.counters["entries"] = static_cast<double>(arch.RecCount);
}

void BM_Walk(benchmark::State& state) {
    RunWalk(state, false);
}

// With a progress line per entry; reported for reference, no target.
void BM_Walk_Progress(benchmark::State& state) {
    RunWalk(state, true);
}

} // namespace

BENCHMARK(BM_Walk_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Walk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Walk_Progress)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
