// orbisk-cli volumes against the live machine: only what holds on any
// machine is checked.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "CliTestSupport.h"
#include "core/platform/Volumes.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, '\t'))
        fields.push_back(field);
    if (!line.empty() && line.back() == '\t') fields.emplace_back();
    return fields;
}

TEST(CliVolumes, OneLinePerMountedVolume) {
    CliRun r = Cli({"volumes"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    std::stringstream lines(r.out);
    std::string line;
    std::size_t count = 0;
    bool rootSeen = false;
    const std::regex serial("[0-9A-F]{4}-[0-9A-F]{4}");
    const std::regex type("fixed|removable|floppy|CD-ROM|remote|RAM disk");
    while (std::getline(lines, line)) {
        SCOPED_TRACE(line);
        const std::vector<std::string> f = SplitTabs(line);
        ASSERT_EQ(f.size(), 6u);
        EXPECT_TRUE(f[0].starts_with('/'));
        EXPECT_TRUE(std::regex_match(f[1], type));
        EXPECT_TRUE(std::regex_match(f[5], serial));
        EXPECT_NE(f[5], kNoSerial); // every listed volume is present
        if (f[0] == "/" && f[5] == VolumeSerial("/").Serial) rootSeen = true;
        ++count;
    }
    EXPECT_EQ(count, ReadMountedVolumes().size());
    EXPECT_TRUE(rootSeen) << r.out;
}

TEST(CliVolumes, TakesNoArguments) {
    CliRun r = Cli({"volumes", "extra"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("usage: orbisk-cli volumes"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
}

} // namespace
