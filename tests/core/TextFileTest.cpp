#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

#include "FailingDevice.h"
#include "TestSupport.h"
#include "core/catalog/TextFile.h"

using namespace orbisk;

TEST(TextFile, LineReaderRules) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\n\r\n", {"a", ""}},
        {"a\rb\r\nc", {"a", "b", "c"}},
        {"a\nb\r", {"a\nb"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\r\n\x1A"
         "b\r\n",
         {"a"}},
        {"\x1A", {}},
        {"a\x1A"
         "b",
         {"a"}},
    };
    for (const auto& [text, want] : cases) {
        LineReader r(text);
        std::vector<std::string> got;
        while (!r.AtEnd())
            got.emplace_back(r.Next());
        EXPECT_EQ(got, want) << testing::PrintToString(text);
    }
}

TEST(TextFile, ReadsTellWhyTheyFailed) {
    test::TempDir dir;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string big(200000, 'x');
    test::WriteFile(dir.File("big"), big);
    struct Case {
        std::string path;
        std::size_t limit;
        int error; // 0: read whole
        bool missing;
    };
    const std::vector<Case> cases = {
        {dir.File("none"), kMaxWholeFile, ENOENT, true},
        {dir.File("none/deeper"), kMaxWholeFile, ENOENT, true},
        {dir.File("big/deeper"), kMaxWholeFile, ENOTDIR, true},
        {dir.Path(), kMaxWholeFile, EISDIR, false},
        {fifo, kMaxWholeFile, EINVAL, false}, // must not wait for a writer
        {dir.File("big"), big.size() - 1, EFBIG, false},
        {dir.File("big"), big.size(), 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string out = "old";
        const TFileStatus status = ReadWholeFile(c.path, out, c.limit);
        EXPECT_EQ(status.ok, c.error == 0);
        EXPECT_EQ(status.file, c.path);
        EXPECT_EQ(status.error, c.error);
        EXPECT_EQ(status.Missing(), c.missing);
        EXPECT_EQ(UserText(status), c.error == 0 ? ""
                                    : c.missing  ? kMsgFileMissing
                                                 : kMsgCannotRead);
        EXPECT_EQ(out, c.error == 0 ? big : "");
    }
}

TEST(TextFile, OpenedFileReadsAtOffsetsAndClosesOnce) {
    test::TempDir dir;
    test::WriteFile(dir.File("f"), "0123456789");
    TUniqueFd fd;
    std::uint64_t size = 0;
    ASSERT_TRUE(OpenRegularFile(dir.File("f"), fd, &size));
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(::fcntl(fd.Get(), F_GETFL) & O_NONBLOCK, 0); // reads wait for the disk again
    std::string out;
    for (const auto& [offset, count, want] : std::vector<std::tuple<int, int, std::string>>{
             {0, 4, "0123"}, {7, 10, "789"}, {10, 5, ""}, {50, 5, ""}}) {
        EXPECT_TRUE(ReadAt(fd.Get(), static_cast<std::uint64_t>(offset),
                           static_cast<std::size_t>(count), out));
        EXPECT_EQ(out, want) << offset;
    }
    const int raw = fd.Get();
    TUniqueFd moved(std::move(fd));
    EXPECT_FALSE(fd.IsOpen());
    moved = TUniqueFd();
    EXPECT_EQ(::fcntl(raw, F_GETFD), -1); // closed by the move-assignment, and only once
}

TEST(TextFile, FailingDeviceLeavesTheOldFileAndSaysWhy) {
    struct Case {
        const char* what;
        std::size_t limit;
        int error;
        bool hadOld;
    };
    const std::vector<Case> cases = {
        {"disk full at once", 0, ENOSPC, false},
        {"disk full half way, over an old file", 3000, ENOSPC, true},
        {"permission lost half way", 3000, EACCES, true},
    };
    const std::string content(10000, 'n');
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const std::string path = dir.File("Hry.cd");
        if (c.hadOld) test::WriteFile(path, "old");
        test::FailingDevice device(c.limit, c.error);
        TFileStatus status;
        {
            TScopedWriteDevice seam(device);
            status = SaveFileAtomically(path, content, BackupMode::KeepFirst, dir.File("Hry.bak"));
        }
        EXPECT_FALSE(status);
        EXPECT_EQ(status.error, c.error);
        EXPECT_EQ(Describe(status),
                  std::string(kMsgCannotCreate) + " " + path + ": " + std::strerror(c.error));
        EXPECT_EQ(test::ListDir(dir.Path()),
                  c.hadOld ? std::vector<std::string>{"Hry.cd"} : std::vector<std::string>{});
        if (c.hadOld) {
            EXPECT_EQ(test::ReadFile(path), "old");
        }
        // The seam is gone with its scope: the next save reaches the disk.
        EXPECT_TRUE(SaveFileAtomically(path, content, BackupMode::None, {}));
    }
}

TEST(TextFile, AtomicSaveKeepsPermissionsAndLeavesNoTemporaryFile) {
    test::TempDir dir;
    std::string path = dir.File("f.txt");
    ASSERT_TRUE(SaveFileAtomically(path, "one", BackupMode::None, {}));
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(SaveFileAtomically(path, "two", BackupMode::None, {}));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(test::ReadFile(path), "two");
    EXPECT_EQ(test::ListDir(dir.Path()), std::vector<std::string>{"f.txt"});
}

// Room set aside beyond what is written is given back, and room smaller than
// what is written is outgrown: the file holds exactly the bytes appended
// (alone or two at once, in one call or, on a device that takes a few
// bytes at a time, in many), with a header written over its start at the end.
TEST(TextFile, WriterSettingRoomAsideKeepsExactlyWhatWasWritten) {
    struct ShortDevice : TWriteDevice {
        ssize_t Write(int fd, const char* data, std::size_t size) override {
            return ::write(fd, data, std::min<std::size_t>(size, 7));
        }
    };
    const std::string part(5000, 'x');
    for (const bool shortWrites : {false, true}) {
        for (const std::uint64_t room :
             {std::uint64_t{0}, std::uint64_t{100}, std::uint64_t{1} << 20}) {
            test::TempDir dir;
            const std::string path = dir.File("big");
            ShortDevice device;
            std::optional<TScopedWriteDevice> seam;
            if (shortWrites) seam.emplace(device);
            TAtomicFileWriter writer(path);
            writer.Reserve(room);
            ASSERT_TRUE(writer.Append("head"));
            ASSERT_TRUE(writer.Append(part, "tail"));
            ASSERT_TRUE(writer.Append("", "z"));
            ASSERT_TRUE(writer.WriteAt(0, "HEAD"));
            ASSERT_TRUE(writer.Commit(SyncMode::Quick));
            EXPECT_EQ(test::ReadFile(path), "HEAD" + part + "tailz") << room << shortWrites;
            EXPECT_EQ(test::ListDir(dir.Path()), std::vector<std::string>{"big"});
        }
    }
}
