#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

#include "RarWriter.h"
#include "TestSupport.h"
#include "core/catalog/Common.h"
#include "core/scan/RarListing.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

struct TRow {
    std::string name, size, date, attr;
    bool operator==(const TRow&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TRow& r) {
    return os << "{" << r.name << ", " << r.size << ", " << r.date << ", " << r.attr << "}";
}

std::vector<TRow> Rows(const TPackedListing& l) {
    std::vector<TRow> rows;
    for (std::size_t i = 0; i < l.Names.size(); ++i)
        rows.push_back({l.Names[i], l.Sizes[i], l.Dates[i], l.Attrs[i]});
    return rows;
}

std::vector<TRow> ListFile(const std::string& path) {
    TPackedListing listing;
    ListRarArchive(path, listing, TFixedDateFormatter{});
    EXPECT_EQ(listing.Sizes.size(), listing.Names.size());
    EXPECT_EQ(listing.Dates.size(), listing.Names.size());
    EXPECT_EQ(listing.Attrs.size(), listing.Names.size());
    return Rows(listing);
}

std::vector<TRow> ListBytes(const std::string& bytes) {
    static TempDir dir; // one folder for the whole run: some tests list hundreds of files
    WriteFile(dir.File("t.rar"), bytes);
    return ListFile(dir.File("t.rar"));
}

TRarMember Member(std::string name, std::string data = "data") {
    TRarMember m;
    m.Name = std::move(name);
    m.Data = std::move(data);
    return m;
}

TRarMember Folder(std::string name) {
    TRarMember m = Member(std::move(name), "");
    m.Folder = true;
    return m;
}

// The real archives made by the RAR program.
std::string SharedRar(const std::string& name) {
    const char* env = std::getenv("ORBISK_SHARED_TESTDATA");
    std::filesystem::path dir =
        env && *env ? std::filesystem::path(env)
                    : std::filesystem::path(__FILE__).parent_path() / "../../../shared/testdata";
    return (dir / "rar" / name).string();
}

const char* const kDate = "3.2.2001 5:03:12";

} // namespace

class RarListingRows : public ::testing::TestWithParam<TRarVersion> {};

TEST_P(RarListingRows, ImpliedFoldersSizesDatesAndAttributes) {
    struct Case {
        const char* what;
        std::vector<TRarMember> members;
        std::vector<TRow> rows;
    };
    TRarMember late = Folder("A");
    late.DosDateTime = 0x3D2A4000; // 10.9.2010 8:00:00
    TRarMember midnight = Member("m.txt");
    midnight.DosDateTime = 0x2A430000;
    TRarMember big = Member("big.iso", "tiny"), huge = Member("huge.iso", "tiny");
    big.UnpackedSize = 3'000'000'000ull;
    huge.UnpackedSize = 5'000'000'000ull;
    TRarMember damaged = Member("second");
    damaged.BadHeaderCrc = true;
    const std::vector<Case> cases = {
        {"file two folders deep",
         {Member("A\\B\\c.txt")},
         {{"A", "0", kDate, "d----"},
          {"A\\B", "0", kDate, "d----"},
          {"A\\B\\c.txt", "4", kDate, " ----"}}},
        {"folder header after its member",
         {Member("A\\x.txt"), late},
         {{"A", "0", "10.9.2010 8:00:00", "d----"}, {"A\\x.txt", "4", kDate, " ----"}}},
        {"folder header first, folders that differ in case are two",
         {Folder("Dir"), Member("DIR\\a"), Member("dir\\b"), Folder("DIR")},
         {{"Dir", "0", kDate, "d----"},
          {"DIR", "0", kDate, "d----"},
          {"DIR\\a", "4", kDate, " ----"},
          {"dir", "0", kDate, "d----"},
          {"dir\\b", "4", kDate, " ----"}}},
        {"nested folder header alone",
         {Folder("P\\Q")},
         {{"P", "0", kDate, "d----"}, {"P\\Q", "0", kDate, "d----"}}},
        {"sizes beyond 2 and 4 GiB",
         {big, huge},
         {{"big.iso", "3000000000", kDate, " ----"}, {"huge.iso", "5000000000", kDate, " ----"}}},
        {"midnight", {midnight}, {{"m.txt", "4", "3.2.2001", " ----"}}},
        {"dot name is hidden",
         {Member("x\\.profile")},
         {{"x", "0", kDate, "d----"}, {"x\\.profile", "4", kDate, " --h-"}}},
        {"damaged second header",
         {Member("first"), damaged, Member("third")},
         {{"first", "4", kDate, " ----"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ListBytes(MakeRar(c.members, GetParam())), c.rows);
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, RarListingRows,
                         ::testing::Values(TRarVersion::Rar4, TRarVersion::Rar5),
                         [](const auto& info) {
                             return info.param == TRarVersion::Rar4 ? "Rar4" : "Rar5";
                         });

// Windows attributes come through for RAR 5; libarchive does not report them
// for RAR 4 members.
TEST(RarListing, Rar5WindowsAttributes) {
    const std::vector<std::pair<std::uint32_t, std::string>> cases = {
        {kAttrReadOnly, " r---"},
        {kAttrHidden | kAttrSystem, " --hs"},
        {kAttrReadOnly | kAttrHidden | kAttrSystem, " r-hs"},
    };
    for (const auto& [bits, want] : cases) {
        TRarMember file = Member("f"), folder = Folder("d");
        file.Attr = folder.Attr = bits;
        std::vector<TRow> rows = ListBytes(MakeRar({file, folder}, TRarVersion::Rar5));
        ASSERT_EQ(rows.size(), 2u) << want;
        EXPECT_EQ(rows[0].attr, want);
        EXPECT_EQ(rows[1].attr, "d" + want.substr(1));
    }
}

TEST(RarListing, RealArchives) {
    struct Case {
        const char* file;
        std::vector<std::pair<std::string, std::string>> rows; // name and attributes
        std::vector<std::string> sizes;
    };
    const std::vector<Case> cases = {
        {"test_read_format_rar.rar",
         {{"test.txt", " ----"},
          {"testlink", " ----"},
          {"testdir", "d----"},
          {"testdir\\test.txt", " ----"},
          {"testemptydir", "d----"}},
         {"20", "0", "0", "20", "0"}},
        {"test_read_format_rar_unicode.rar",
         {{"表だよ", "d----"},
          {"表だよ\\新しいフォルダ", "d----"},
          {"表だよ\\新しいフォルダ\\新規テキスト ドキュメント.txt", " ----"},
          {"表だよ\\漢字長いファイル名long-filename-in-漢字.txt", " ----"},
          {"表だよ\\ファイル", " ----"},
          {"abcdefghijklmnopqrsテスト.txt", " ----"}},
         {"0", "0", "0", "5", "0", "16"}},
        {"test_read_format_rar5_fileattr.rar",
         {{"readonly.txt", " r---"},
          {"hidden.txt", " --h-"},
          {"system.txt", " ---s"},
          {"ro_hidden.txt", " r-h-"},
          {"dir_readonly", "dr---"},
          {"dir_hidden", "d--h-"},
          {"dir_system", "d---s"},
          {"dir_rohidden", "dr-h-"}},
         {"11", "11", "11", "11", "0", "0", "0", "0"}},
        {"test_read_format_rar_multivolume.part0001.rar",
         {{"ppmd_lzss_conversion_test.txt", " ----"}},
         {"241647978"}},
        {"test_read_format_rar5_sfx.exe", {{"test.txt.txt", " ----"}}, {"3"}},
        {"test_read_format_rar_sfx.exe",
         {{"test.txt", " ----"},
          {"testshortcut.lnk", " ----"},
          {"testdir", "d----"},
          {"testdir\\test.txt", " ----"},
          {"testemptydir", "d----"}},
         {"16", "441", "0", "16", "0"}},
        {"test_read_format_rar_invalid1.rar", {{"test", " ----"}}, {"3"}},
        {"test_read_format_rar4_encrypted_filenames.rar", {}, {}},
        {"test_read_format_rar5_encrypted_filenames.rar", {}, {}},
        {"test_read_format_rar5_truncated_huff.rar", {}, {}},
        {"README.md", {}, {}},
    };
    if (!std::filesystem::exists(SharedRar("")))
        GTEST_SKIP() << "no shared RAR test files at " << SharedRar("");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::vector<std::pair<std::string, std::string>> rows;
        std::vector<std::string> sizes;
        for (const TRow& r : ListFile(SharedRar(c.file))) {
            rows.emplace_back(r.name, r.attr);
            sizes.push_back(r.size);
            EXPECT_NE(r.date, "?") << r.name;
        }
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(sizes, c.sizes);
    }
}

TEST(RarListing, CallsReportTheirResults) {
    TempDir dir;
    WriteFile(dir.File("x.rar"), MakeRar({Member("a"), Member("b")}, TRarVersion::Rar5));
    WriteFile(dir.File("not.rar"), std::string(100, 'x'));
    // A pipe without a writer would block an open for reading for ever.
    ASSERT_EQ(::mkfifo(dir.File("pipe.rar").c_str(), 0644), 0);
    struct OpenCase {
        std::string path;
        unsigned mode;
        unsigned result;
    };
    const std::vector<OpenCase> opens = {
        {dir.File("none.rar"), kRarOpenList, kRarOpenError},
        {dir.File("not.rar"), kRarOpenList, kRarBadArchive},
        {dir.File("pipe.rar"), kRarOpenList, kRarOpenError},
        {dir.Path(), kRarOpenList, kRarOpenError},
        {dir.File("x.rar"), 1, kRarNotSupported},
    };
    for (const OpenCase& c : opens) {
        RAROpenArchiveData data;
        data.ArcName = c.path.c_str();
        data.OpenMode = c.mode;
        EXPECT_EQ(RAROpenArchive(&data), nullptr) << c.path;
        EXPECT_EQ(data.OpenResult, c.result) << c.path;
    }
    TPackedListing fromPipe;
    ListRarArchive(dir.File("pipe.rar"), fromPipe, TFixedDateFormatter{});
    EXPECT_TRUE(fromPipe.Names.empty());

    const std::string path = dir.File("x.rar");
    RAROpenArchiveData data;
    data.ArcName = path.c_str();
    RARHandle h = RAROpenArchive(&data);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(data.OpenResult, kRarSuccess);
    RARHeaderData header;
    ASSERT_EQ(RARReadHeader(h, &header), kRarSuccess);
    EXPECT_STREQ(header.FileName, "a");
    char dest[8] = "";
    EXPECT_EQ(RARProcessFile(h, 1, nullptr, nullptr), kRarNotSupported);
    EXPECT_EQ(RARProcessFile(h, kRarSkip, dest, nullptr), kRarNotSupported);
    EXPECT_EQ(RARProcessFile(h, kRarSkip, nullptr, nullptr), kRarSuccess);
    ASSERT_EQ(RARReadHeader(h, &header), kRarSuccess);
    EXPECT_STREQ(header.FileName, "b");
    EXPECT_EQ(RARReadHeader(h, &header), kRarEndArchive);
    EXPECT_EQ(RARCloseArchive(h), kRarSuccess);
}

TEST(RarListing, LongNameCutAtWholeCharacter) {
    // 600 two-byte characters: 1200 bytes, more than the name field holds.
    std::string name;
    for (int i = 0; i < 600; ++i)
        name += "\xC3\xA9";
    std::vector<TRow> rows = ListBytes(MakeRar({Member(name)}, TRarVersion::Rar5));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, name.substr(0, kRarNameSize - 2));
}

TEST(RarListing, MemberCallbackAndAppending) {
    TempDir dir;
    WriteFile(dir.File("x.rar"), MakeRar({Member("d\\a"), Member("b")}));
    TPackedListing listing;
    listing.Names = {"old"};
    listing.Sizes = {"1"};
    listing.Dates = {"?"};
    listing.Attrs = {" ----"};
    std::vector<std::string> seen;
    ListRarArchive(dir.File("x.rar"), listing, TFixedDateFormatter{},
                   [&](const std::string& name) { seen.push_back(name); });
    EXPECT_EQ(seen, (std::vector<std::string>{"d\\a", "b"}));
    EXPECT_EQ(listing.Names, (std::vector<std::string>{"old", "d", "d\\a", "b"}));
}

// Every prefix of a small archive and a run of damaged bytes: no crash, no
// hang, never more rows than the whole archive gives.
TEST(RarListing, DamagedArchivesAreBounded) {
    for (TRarVersion version : {TRarVersion::Rar4, TRarVersion::Rar5}) {
        const std::string rar = MakeRar({Member("a\\b", "xyz"), Folder("a"), Member("c")}, version);
        for (std::size_t len = 0; len <= rar.size(); ++len)
            ASSERT_LE(ListBytes(rar.substr(0, len)).size(), 3u) << len;
        for (std::size_t at = 0; at < rar.size(); ++at) {
            std::string bad = rar;
            bad[at] = static_cast<char>(bad[at] ^ 0xFF);
            ASSERT_LE(ListBytes(bad).size(), 3u) << at;
        }
    }
}
