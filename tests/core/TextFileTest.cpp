#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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

TEST(TextFile, ReadWholeFileTellsMissingFromUnreadable) {
    test::TempDir dir;
    std::string out;
    EXPECT_EQ(ReadWholeFile(dir.File("none"), out), ReadStatus::Missing);
    EXPECT_EQ(ReadWholeFile(dir.File("none/deeper"), out), ReadStatus::Missing);
    EXPECT_EQ(ReadWholeFile(dir.Path(), out), ReadStatus::Unreadable);
    std::string fifo = dir.File("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadWholeFile(fifo, out), ReadStatus::Unreadable); // must not block
    std::string big(200000, 'x');
    test::WriteFile(dir.File("big"), big);
    EXPECT_EQ(ReadWholeFile(dir.File("big"), out), ReadStatus::Ok);
    EXPECT_EQ(out, big);
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
