#include <gtest/gtest.h>

#include <cstring>
#include <sys/stat.h>

#include "TestSupport.h"
#include "ZipWriter.h"
#include "core/scan/DosTime.h"
#include "core/scan/ZipReader.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

struct TRead {
    bool ok = false;
    std::string error, zipFileName;
    bool fromCentral = false;
    std::vector<std::string> names;
    std::vector<std::uint64_t> sizes;
    std::vector<std::uint32_t> dates;
};

TRead ReadZipBytes(const std::string& bytes, RecordingHost* hostOut = nullptr) {
    static TempDir dir; // one folder for the whole run: some tests read hundreds of files
    const std::string path = dir.File("t.zip");
    WriteFile(path, bytes);
    RecordingHost host;
    TZipDir zip(host);
    TRead r;
    r.ok = zip.SetZipFileName(path);
    r.error = zip.Error();
    r.zipFileName = zip.ZipFileName().empty() ? "" : "t.zip";
    r.fromCentral = zip.FromCentralDirectory();
    for (std::size_t i = 0; i < zip.Count(); ++i) {
        r.names.push_back(zip.Entry(i).FileName);
        r.sizes.push_back(zip.Entry(i).UncompressedSize);
        r.dates.push_back(zip.Entry(i).DosDateTime);
    }
    if (hostOut) *hostOut = host;
    return r;
}

TZipMember File(std::string name, std::string data = "data") {
    TZipMember m;
    m.Name = std::move(name);
    m.Data = std::move(data);
    return m;
}

TZipMember Descriptor(std::string name, std::string data) {
    TZipMember m = File(std::move(name), std::move(data));
    m.DataDescriptor = true;
    return m;
}

// Sets the 32-bit compressed size of the local header that starts at offset.
std::string WithLocalPackedSize(std::string zip, std::size_t offset, std::uint32_t size) {
    for (int i = 0; i < 4; ++i)
        zip[offset + 18 + i] = static_cast<char>(size >> (8 * i));
    return zip;
}

TZipOptions NoDirectory() {
    TZipOptions o;
    o.CentralDirectory = false;
    return o;
}

TZipOptions Zip64End() {
    TZipOptions o;
    o.Zip64End = true;
    return o;
}

TZipOptions Stub(std::string prefix, bool inOffsets) {
    TZipOptions o;
    o.Prefix = std::move(prefix);
    o.PrefixInOffsets = inOffsets;
    return o;
}

const std::vector<TZipMember> kTwo = {File("a.txt", "hello"), File("dir/b.txt", "xy")};

// An end record of an empty central directory: after local headers it ends
// the walk, and it gives the walk nothing to be mended from.
const std::string kEmptyEnd = std::string("PK\x05\x06") + std::string(18, '\0');

} // namespace

TEST(ZipReader, LocalWalkListsMembersInFileOrder) {
    TZipMember dated = File("b.txt", "xy");
    dated.DosDateTime = DosDateTime(1999, 12, 31, 23, 59, 58);
    TRead r = ReadZipBytes(MakeZip({File("a.txt", "hello"), dated, File("d/", "")}));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.error, "");
    EXPECT_FALSE(r.fromCentral);
    EXPECT_EQ(r.names, (std::vector<std::string>{"a.txt", "b.txt", "d/"}));
    EXPECT_EQ(r.sizes, (std::vector<std::uint64_t>{5, 2, 0}));
    EXPECT_EQ(r.dates[1], 0x279FBF7Du);
}

TEST(ZipReader, ErrorTextsAndStopPoints) {
    struct Case {
        const char* what;
        std::string bytes;
        std::string error;
        std::vector<std::string> names;
        bool nameKept;
    };
    const std::string zip = MakeZip(kTwo);
    const std::string noCentral = MakeZip(kTwo, NoDirectory());
    const std::string walkOnly = noCentral + kEmptyEnd;
    const std::string longName(250, 'n'), maxName(249, 'n');
    const std::vector<Case> cases = {
        {"only an end record", MakeZip({}), "", {}, true},
        {"long non-ZIP file", std::string(70000, 'x'), "Error reading Zip File", {}, false},
        {"short non-ZIP file", std::string(100, 'x'), "Error 1a reading Zip File", {}, true},
        {"ends after P", "xxP", "Error 1b reading Zip File", {}, true},
        {"ends after PK", "xxPK", "Error 1c reading Zip File", {}, true},
        {"ends after PK 3", "xxPK\x03", "Error 1d reading Zip File", {}, true},
        {"P P K 3 4 at the front", "P" + walkOnly, "", {"dir/b.txt"}, true},
        {"P K 5 right before a header", "xxPK\x05" + zip, "", {"a.txt", "dir/b.txt"}, true},
        {"header's P is the 60000th byte",
         std::string(59999, 0) + zip,
         "",
         {"a.txt", "dir/b.txt"},
         true},
        {"header's P is the 60001st byte",
         std::string(60000, 0) + walkOnly,
         "Error reading Zip File",
         {},
         false},
        {"249-byte name",
         MakeZip({File("a"), File(maxName)}, NoDirectory()),
         "Error reading Zip file",
         {"a", maxName},
         true}, // its data ends within 22 bytes
        {"250-byte name, no directory",
         MakeZip({File("a"), File(longName), File("c")}, NoDirectory()),
         "Error reading Zip file",
         {"a"},
         true},
        {"name cut at a zero byte", MakeZip({File(std::string("ab\0cd", 5))}), "", {"ab"}, true},
        {"no directory: last member too near the end",
         noCentral,
         "Error reading Zip file",
         {"a.txt", "dir/b.txt"},
         true},
        {"cut in the second name",
         zip.substr(0, 40 + 30 + 3),
         "Error reading Zip file",
         {"a.txt"},
         true},
        {"cut in a signature",
         noCentral + std::string(22, 0) + "PK",
         "Error 1 reading Zip File",
         {"a.txt", "dir/b.txt"},
         true},
        {"unknown signatures are stepped over",
         noCentral + std::string(24, 0) + zip.substr(noCentral.size()),
         "",
         {"a.txt", "dir/b.txt"},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TRead r = ReadZipBytes(c.bytes);
        EXPECT_EQ(r.ok, c.error.empty());
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(r.names, c.names);
        EXPECT_EQ(r.zipFileName.empty(), !c.nameKept);
        EXPECT_FALSE(r.fromCentral);
    }
}

TEST(ZipReader, MissingFileIsShownAndListsNothing) {
    RecordingHost host;
    TZipDir zip(host);
    TempDir dir;
    // A pipe without a writer would block an open for reading for ever.
    ASSERT_EQ(::mkfifo(dir.File("pipe.zip").c_str(), 0644), 0);
    const std::vector<std::string> paths = {dir.File("none.zip"), dir.Path(), dir.File("pipe.zip")};
    std::vector<std::string> expected;
    for (const std::string& path : paths) {
        EXPECT_FALSE(zip.SetZipFileName(path));
        EXPECT_EQ(zip.ZipFileName(), path);
        EXPECT_EQ(zip.Count(), 0u);
        expected.push_back("Error opening file: " + path);
    }
    EXPECT_EQ(host.informs, expected);
    // A new name clears what the previous one listed.
    WriteFile(dir.File("a.zip"), MakeZip(kTwo));
    ASSERT_TRUE(zip.SetZipFileName(dir.File("a.zip")));
    EXPECT_EQ(zip.Count(), 2u);
    EXPECT_TRUE(zip.SetZipFileName(""));
    EXPECT_EQ(zip.Count(), 0u);
}

// Files whose members the local walk cannot follow or does not find are
// listed in full from the central directory; without a usable directory the
// walk's result stays.
TEST(ZipReader, CentralDirectoryMends) {
    struct Case {
        const char* what;
        std::string bytes;
        bool fromCentral;
        std::string error;
        std::vector<std::string> names;
        std::vector<std::uint64_t> sizes;
    };
    const std::vector<TZipMember> described = {
        File("a.txt", "hello"), Descriptor("b.bin", std::string(4099, 'P')), File("c/d.txt", "xy")};
    TZipMember huge = File("big.iso", "tiny");
    huge.UncompressedSize = 5'000'000'000ull;
    TZipMember hugeDescribed = huge;
    hugeDescribed.DataDescriptor = true;
    const std::string sfx(70000, 'M');
    const std::string longName(300, 'n');
    const std::vector<Case> cases = {
        {"data descriptor",
         MakeZip(described),
         true,
         "",
         {"a.txt", "b.bin", "c/d.txt"},
         {5, 4099, 2}},
        {"data descriptor, no directory",
         MakeZip(described, NoDirectory()),
         false,
         "Error 1 reading Zip File",
         {"a.txt", "b.bin"},
         {5, 0}},
        {"data descriptor after a self-extractor stub",
         MakeZip(described, Stub(std::string(1000, 'M'), false)),
         true,
         "",
         {"a.txt", "b.bin", "c/d.txt"},
         {5, 4099, 2}},
        {"long name",
         MakeZip({File("a"), File(longName), File("c")}),
         true,
         "",
         {"a", longName, "c"},
         {4, 4, 4}},
        {"bad packed size",
         WithLocalPackedSize(MakeZip(kTwo), 0, 0x7FFFFFF0),
         true,
         "",
         {"a.txt", "dir/b.txt"},
         {5, 2}},
        {"ZIP64 sizes in the local header",
         MakeZip({huge, File("x")}, Zip64End()),
         false,
         "",
         {"big.iso", "x"},
         {5'000'000'000ull, 4}},
        {"ZIP64 sizes in a data descriptor",
         MakeZip({hugeDescribed, File("x")}, Zip64End()),
         true,
         "",
         {"big.iso", "x"},
         {5'000'000'000ull, 4}},
        {"first header beyond the search, offsets from the file's start",
         MakeZip(described, Stub(sfx, true)),
         true,
         "",
         {"a.txt", "b.bin", "c/d.txt"},
         {5, 4099, 2}},
        {"first header beyond the search, offsets from the ZIP's start",
         MakeZip(kTwo, Stub(sfx, false)),
         true,
         "",
         {"a.txt", "dir/b.txt"},
         {5, 2}},
        {"stray P before the first header",
         "P" + MakeZip(kTwo),
         true,
         "",
         {"a.txt", "dir/b.txt"},
         {5, 2}},
        {"stray P K before the first header",
         "PK" + MakeZip(kTwo),
         true,
         "",
         {"a.txt", "dir/b.txt"},
         {5, 2}},
        {"no first header, an empty directory",
         std::string(60000, 'x') + kEmptyEnd,
         false,
         "Error reading Zip File",
         {},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TRead r = ReadZipBytes(c.bytes);
        EXPECT_EQ(r.ok, c.error.empty());
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(r.fromCentral, c.fromCentral);
        EXPECT_EQ(r.names, c.names);
        EXPECT_EQ(r.sizes, c.sizes);
    }
}

// Damaged and hostile files end with an error or a short listing, never with
// a crash, a hang or memory taken on a count's word.
TEST(ZipReader, HostileInputIsBounded) {
    const std::vector<TZipMember> described = {File("a.txt", "hello"), Descriptor("b", "xyz")};
    std::string hugeCounts = MakeZip(described);
    const std::size_t end = hugeCounts.size() - 22;
    std::memset(hugeCounts.data() + end + 8, 0xFF, 8); // entry counts and directory size
    std::string hugeName = MakeZip(described);
    std::memset(hugeName.data() + hugeName.size() - 22 - 47 + 28, 0xFF, 2); // name of "b"
    TZipMember zip64 = File("z", "tiny");
    zip64.Zip64 = true;
    std::string hugeZip64 = MakeZip({zip64});
    std::memset(hugeZip64.data() + 30 + 1 + 4 + 8, 0xFF, 8); // packed size 2^64-1
    std::string shortName = MakeZip(described).substr(0, 35);
    shortName[26] = static_cast<char>(200);
    struct Case {
        const char* what;
        std::string bytes;
        std::size_t maxNames;
    };
    const std::vector<Case> cases = {
        {"counts and directory size of FFFF", hugeCounts, 2},
        {"central name length past the end", hugeName, 2},
        {"ZIP64 packed size 2^64-1", hugeZip64, 1},
        {"local name length past the end", shortName, 0},
        {"grid walk over a megabyte",
         MakeZip({Descriptor("a", std::string(1 << 20, 'P') + "x")}, NoDirectory()), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TRead r = ReadZipBytes(c.bytes);
        EXPECT_LE(r.names.size(), c.maxNames);
        EXPECT_EQ(r.ok, r.error.empty());
    }
    // Every prefix of a small file: never more than the whole file lists.
    const std::string zip = MakeZip({File("a.txt", "hello"), Descriptor("b", "xyz"), File("c/")});
    for (std::size_t len = 0; len <= zip.size(); ++len) {
        TRead r = ReadZipBytes(zip.substr(0, len));
        ASSERT_LE(r.names.size(), 3u) << len;
        if (len == zip.size()) {
            EXPECT_TRUE(r.ok && r.names.size() == 3);
        }
    }
}

TEST(ZipReader, BuildZipListingImpliesFolders) {
    struct Case {
        const char* what;
        std::vector<TZipMember> members;
        std::vector<std::string> names, sizes, dates;
    };
    TZipMember late = File("a/", "");
    late.DosDateTime = DosDateTime(2010, 10, 9, 8, 7, 6);
    TZipMember undated = File("u.txt", "1");
    undated.DosDateTime = 0;
    const std::string d = "3.2.2001  5:03";
    const std::vector<Case> cases = {
        {"deep file alone",
         {File("x/a/b/c.txt", "12345")},
         {"x/", "x/a/", "x/a/b/", "x/a/b/c.txt"},
         {"0", "0", "0", "5"},
         {d, d, d, d}},
        {"folder member first",
         {File("a/", ""), File("a/b.txt")},
         {"a/", "a/b.txt"},
         {"0", "4"},
         {d, d}},
        {"folders that differ in case are two",
         {File("a/b/c.txt"), File("x.txt"), File("A/y.txt")},
         {"a/", "a/b/", "a/b/c.txt", "x.txt", "A/", "A/y.txt"},
         {"0", "0", "4", "4", "0", "4"},
         {d, d, d, d, d, d}},
        {"folder member of another case",
         {File("Dir/", ""), File("DIR/a"), File("dir/b/", "")},
         {"Dir/", "DIR/", "DIR/a", "dir/", "dir/b/"},
         {"0", "0", "4", "0", "0"},
         {d, d, d, d, d}},
        {"folder member after its contents",
         {File("a/x"), late},
         {"a/", "a/x"},
         {"0", "4"},
         {"9.10.2010  8:07", d}},
        {"nested folder member alone", {File("p/q/", "")}, {"p/", "p/q/"}, {"0", "0"}, {d, d}},
        {"invalid date", {undated}, {"u.txt"}, {"1"}, {"?"}},
    };
    TFixedDateFormatter formatter;
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile(dir.File("l.zip"), MakeZip(c.members));
        RecordingHost host;
        TZipDir zip(host);
        ASSERT_TRUE(zip.SetZipFileName(dir.File("l.zip")));
        TPackedListing listing;
        BuildZipListing(zip, formatter, listing);
        EXPECT_EQ(listing.Names, c.names);
        EXPECT_EQ(listing.Sizes, c.sizes);
        EXPECT_EQ(listing.Dates, c.dates);
        EXPECT_TRUE(listing.Attrs.empty());
    }
}

TEST(ZipDates, DosValuesAndFixedFormats) {
    struct Case {
        std::uint32_t dos;
        std::string dateTime, zipDateTime;
    };
    const std::vector<Case> cases = {
        {DosDateTime(2001, 2, 3, 5, 3, 12), "3.2.2001 5:03:12", "3.2.2001  5:03"},
        {DosDateTime(2024, 12, 31, 0, 0, 0), "31.12.2024", "31.12.2024  0:00"},
        {DosDateTime(2024, 2, 29, 23, 59, 58), "29.2.2024 23:59:58", "29.2.2024  23:59"},
        {DosDateTime(2023, 2, 29, 12, 0, 0), "?", "?"},
        {DosDateTime(2023, 13, 1, 12, 0, 0), "?", "?"},
        {DosDateTime(2023, 1, 1, 24, 0, 0), "?", "?"},
        {0, "?", "?"},
    };
    TFixedDateFormatter f;
    for (const Case& c : cases) {
        auto tm = DosToLocalTm(c.dos);
        EXPECT_EQ(tm ? f.DateTime(*tm) : "?", c.dateTime) << c.dos;
        EXPECT_EQ(tm ? f.ZipDateTime(*tm) : "?", c.zipDateTime) << c.dos;
        if (tm) {
            EXPECT_EQ(LocalTmToDos(*tm), c.dos);
        }
    }
    std::tm early{};
    early.tm_year = 79;
    early.tm_mday = 1;
    EXPECT_FALSE(LocalTmToDos(early));
}
