#include "core/search/IndexedSearch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "ArchiveBuilder.h"
#include "TestSupport.h"
#include "WithoutDacOverride.h"
#include "core/catalog/ArchiveFile.h"

namespace orbisk {
namespace {

using Lines = std::vector<std::string>;

// Every call of a run as one line (results with all their columns, archives,
// messages), refusing more after cap results.
struct RecordSink : TSearchSink, Host {
    Lines log;
    std::int64_t cap = 0, count = 0;
    void OnArchive(std::int32_t slot, std::string_view name) override {
        log.push_back("archive " + std::to_string(slot) + " " + std::string(name));
    }
    bool OnResult(TSearchResult&& r) override {
        std::string line = TextLine(r) + "|" + std::to_string(r.ArchiveSlot) + "|" + r.ArchiveFile;
        for (const std::string& column : ListColumns(r))
            line += "|" + column;
        log.push_back(line);
        return cap == 0 || ++count < cap;
    }
    void Inform(std::string_view text) override { log.push_back("inform " + std::string(text)); }
    void Warn(std::string_view text) override { log.push_back("warn " + std::string(text)); }
    void Pump() override {}
};

struct TRun {
    Lines log;
    TSearchOutcome outcome;
};

TRun Search(const TArchiveList& list, const std::vector<std::int32_t>& slots,
            const TSearchCriteria& criteria, bool indexed, std::int64_t cap = 0) {
    RecordSink sink;
    sink.cap = cap;
    const std::atomic<bool> stop{false};
    TRun run;
    run.outcome = indexed ? RunIndexedSearch(list, slots, criteria, sink, sink, stop, 2)
                          : RunArchivesSearch(list, slots, criteria, sink, sink, stop, 1);
    run.log = std::move(sink.log);
    return run;
}

TArchiveList ListOf(const std::string& folder) {
    TArchiveList list;
    NullHost host;
    BuildArchiveList(folder, list, host);
    return list;
}

// Name parts in UTF-8 and in Windows-1250 ("kůň", "Žluťoučký" and "číslo" in
// both), ASCII in both letter cases, and separators.
const std::vector<std::string> kNameParts = {"k\xC5\xAF\xC5\x88",
                                             "k\xF9\xF2",
                                             "\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD",
                                             "\x8Elu\x9Dou\xE8k\xFD",
                                             "\xC4\x8D\xC3\xADslo",
                                             "\xE8\xEDslo",
                                             "Report",
                                             "report",
                                             "abc",
                                             "ABC",
                                             "x",
                                             ".txt",
                                             ".DOC",
                                             "_",
                                             " ",
                                             "2026",
                                             "a.b"};
const std::vector<std::string> kPatternParts = {
    "*",  "*",  "?", "a", "BC",  "abc", "k\xC5\xAF\xC5\x88", "\xC5\x88", "\xC5\xBD",
    "LU", "lu", ".", "T", "ORT", "rep", "\xC4\x8D\xC3\xAD",  "SLO",      "20",
    "x",  "26"};
const std::vector<std::string> kWords = {"Hudba",     "film", "k\xC5\xAF\xC5\x88",
                                         "k\xF9\xF2", "Abc",  "noc"};
const char* const kMedia[] = {"CD", "DVD", "CDR"};

std::string Pick(std::mt19937& rng, const std::vector<std::string>& from) {
    return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(rng)];
}

std::string Words(std::mt19937& rng, int most) {
    std::string text;
    for (int k = std::uniform_int_distribution<int>(0, most)(rng); k > 0; --k)
        text += Pick(rng, kWords) + " ";
    return text;
}

// A working folder of archives with generated names, sizes, notes and
// descriptions in both encodings, filed in several categories.
void WriteFolder(const test::TempDir& dir, std::mt19937& rng, int archives) {
    for (int a = 0; a < archives; ++a) {
        std::vector<test::DirSpec> dirs;
        for (int d = 0; d < 4; ++d) {
            test::DirSpec spec{d == 0 ? "\\" : "\\dir" + std::to_string(d) + "\\", {}};
            for (int e = std::uniform_int_distribution<int>(0, 30)(rng); e > 0; --e) {
                test::EntrySpec entry;
                for (int p = std::uniform_int_distribution<int>(1, 3)(rng); p > 0; --p)
                    entry.name += Pick(rng, kNameParts);
                entry.size = std::to_string(std::uniform_int_distribution<int>(0, 5000)(rng));
                entry.note = Words(rng, 2);
                entry.description = Words(rng, 3);
                spec.entries.push_back(entry);
            }
            dirs.push_back(spec);
        }
        TArch arch = test::MakeArchive(dir.File("a" + std::to_string(a) + ".cd"),
                                       "Disk " + std::to_string(a), dirs);
        arch.Head.Medium = kMedia[a % 3];
        arch.Head.Typ = a % 2 == 0 ? "Hudba" : "";
        test::WriteArchiveFile(arch);
    }
}

TSearchInput RandomInput(std::mt19937& rng) {
    auto coin = [&] { return std::uniform_int_distribution<int>(0, 3)(rng) == 0; };
    TSearchInput input;
    for (int k = std::uniform_int_distribution<int>(1, 4)(rng); k > 0; --k)
        input.Query += Pick(rng, kPatternParts);
    input.Star = coin();
    input.CaseSensitive = coin();
    input.SizeOn = coin();
    input.SizeOp = std::string(1, "<=>"[std::uniform_int_distribution<int>(0, 2)(rng)]);
    input.SizeValue = std::to_string(std::uniform_int_distribution<int>(0, 5)(rng));
    input.SizeUnit = coin() ? " B" : "kB";
    input.NoteOn = coin();
    input.NoteText = Words(rng, 2);
    input.NoteMode = coin() ? "AND" : "OR";
    input.DescriptionOn = coin();
    input.DescriptionText = Words(rng, 2);
    input.DescriptionMode = coin() ? "AND" : "OR";
    return input;
}

// Neighbouring names that share their start, their end or both, in either
// letter case, and names too short for a trigram: each trigram of the
// upper-cased names is posted for exactly the blocks whose names hold it, or
// stands for every block when most hold it.
TEST(SearchIndex, ASegmentPostsEachTrigramForTheBlocksWhoseNamesHoldIt) {
    const std::vector<std::string> parts = {"file_", "FILE_", "00", "01",       "1",
                                            ".txt",  ".TXT",  "ab", "\xC5\xAF", "x"};
    std::mt19937 rng(17);
    // A small archive, and one of more than 256 blocks.
    for (const std::uint32_t perDir : {150u, 1500u}) {
        SCOPED_TRACE(perDir);
        test::TempDir dir;
        std::vector<test::DirSpec> dirs(3);
        for (int d = 0; d < 3; ++d) {
            dirs[d].path = "\\d" + std::to_string(d) + "\\";
            for (std::uint32_t e = 0; e < perDir; ++e) {
                test::EntrySpec entry;
                for (int p = std::uniform_int_distribution<int>(1, 4)(rng); p > 0; --p)
                    entry.name += Pick(rng, parts);
                entry.size = "1";
                dirs[d].entries.push_back(entry);
            }
        }
        const TArch arch = test::MakeArchive(dir.File("s.cd"), "S", dirs);
        test::WriteArchiveFile(arch);
        std::string text;
        ASSERT_TRUE(ReadWholeFile(arch.Head.FileName, text));
        TSegmentBytes made;
        BuildIndexSegment(text, made);
        const std::string bytes = made.Front + std::string(made.Text);
        TIndexSegment segment;
        ASSERT_TRUE(segment.Open(bytes));
        ASSERT_TRUE(segment.Verify());
        ASSERT_EQ(segment.EntryCount(), 3 * perDir);

        std::map<std::uint32_t, std::set<std::uint32_t>> holders;
        for (std::uint32_t e = 0; e < segment.EntryCount(); ++e) {
            std::string_view name;
            ASSERT_TRUE(segment.Name(e, name));
            std::vector<std::uint32_t> trigrams;
            AppendTrigrams(name, trigrams);
            for (const std::uint32_t trigram : trigrams)
                holders[trigram].insert(e / kIndexBlockEntries);
        }
        const std::uint32_t blocks = (3 * perDir + kIndexBlockEntries - 1) / kIndexBlockEntries;
        EXPECT_EQ(segment.TrigramCount(), holders.size());
        for (const auto& [trigram, expected] : holders) {
            const std::int64_t k = segment.FindTrigram(trigram);
            ASSERT_GE(k, 0) << trigram;
            std::vector<std::uint32_t> posted;
            bool every = false;
            ASSERT_TRUE(segment.Postings(static_cast<std::uint32_t>(k), posted, every));
            if (every)
                EXPECT_GT(expected.size() * 2, blocks) << trigram;
            else
                EXPECT_EQ(std::set<std::uint32_t>(posted.begin(), posted.end()), expected)
                    << trigram;
        }
    }
}

// Lines of every length, so that their CRs, LFs and TABs fall on every place
// of the 64-byte steps the lines are split in: lines ended by CR LF or by a
// CR alone, folders between entries, entries before the first folder (not
// searched), an empty folder line and a last line without its CR. Each
// entry's name and line come back as written.
TEST(SearchIndex, ASegmentFindsEveryLineWhereverItsEndsFall) {
    for (const bool lastClosed : {true, false}) {
        std::string text = "Name=X\r\n<tree>\r\nloose\t1\r\n";
        std::vector<std::string> lines;
        std::vector<std::uint32_t> dirEntries;
        for (int k = 0; k < 300; ++k) {
            if (k % 37 == 0) {
                text += k == 74 ? std::string()
                                : "\\d" + std::string(static_cast<std::size_t>(k % 5), 'p') + "\\";
                text += k % 2 == 0 ? "\r\n" : "\r";
                dirEntries.push_back(0);
            }
            const std::string name(static_cast<std::size_t>(k % 71 + 1),
                                   static_cast<char>('a' + k % 26));
            const std::string line = name + "\t" + std::to_string(k) + "\t\t -a--\t" +
                                     std::string(static_cast<std::size_t>(k % 3), 'n') + "\t";
            lines.push_back(line);
            ++dirEntries.back();
            text += line;
            if (k + 1 < 300 || lastClosed) text += k % 3 == 0 ? "\r" : "\r\n";
        }
        TSegmentBytes made;
        BuildIndexSegment(text, made);
        const std::string bytes = made.Front + std::string(made.Text);
        TIndexSegment segment;
        ASSERT_TRUE(segment.Open(bytes));
        ASSERT_EQ(segment.EntryCount(), lines.size());
        ASSERT_EQ(segment.DirCount(), dirEntries.size());
        for (std::uint32_t d = 0; d < segment.DirCount(); ++d) {
            std::string_view path;
            std::uint32_t first = 0, count = 0;
            ASSERT_TRUE(segment.Dir(d, path, first, count));
            EXPECT_EQ(count, dirEntries[d]) << d;
        }
        for (std::uint32_t e = 0; e < segment.EntryCount(); ++e) {
            std::string_view name, line;
            TRec rec;
            ASSERT_TRUE(segment.Name(e, name));
            ASSERT_TRUE(segment.Line(e, line) && SplitEntryLine(line, rec));
            EXPECT_EQ(name, lines[e].substr(0, lines[e].find('\t'))) << e;
            EXPECT_EQ(rec.Size, std::to_string(e)) << e;
            EXPECT_EQ(rec.Note.size(), e % 3) << e;
        }
    }
}

// Enough archives that the folder-wide pairs fill several chunks: each
// trigram lists exactly the archives whose names hold it, ascending.
TEST(SearchIndex, TheFileListsEachTrigramForTheArchivesWhoseNamesHoldIt) {
    const std::vector<std::string> parts = {"ab", "cd", "abc", "x", "\xC5\xAF", "_1", "Q"};
    std::mt19937 rng(5);
    test::TempDir dir;
    const std::string path = dir.File("x.idx");
    constexpr std::uint32_t kArchives = 300;
    std::map<std::uint32_t, std::vector<std::uint32_t>> holders;
    {
        TIndexWriter writer(path, kArchives);
        for (std::uint32_t a = 0; a < kArchives; ++a) {
            std::string text = "<tree>\r\n\\\r\n";
            std::set<std::uint32_t> held;
            for (int e = std::uniform_int_distribution<int>(0, 3)(rng); e > 0; --e) {
                std::string name;
                for (int p = std::uniform_int_distribution<int>(1, 3)(rng); p > 0; --p)
                    name += Pick(rng, parts);
                text += name + "\t1\r\n";
                std::vector<std::uint32_t> trigrams;
                AppendTrigrams(name, trigrams);
                held.insert(trigrams.begin(), trigrams.end());
            }
            for (const std::uint32_t trigram : held)
                holders[trigram].push_back(a);
            TSegmentBytes made;
            BuildIndexSegment(text, made);
            TArchiveIdentity id;
            id.FileName = "a" + std::to_string(1000 + a);
            ASSERT_TRUE(writer.Add(id, made.Front, made.Text));
        }
        ASSERT_TRUE(writer.Finish());
    }
    TIndexFile file;
    ASSERT_TRUE(file.Open(path));
    for (const auto& [trigram, expected] : holders) {
        std::vector<std::uint32_t> listed;
        ASSERT_TRUE(file.Archives(trigram, listed));
        EXPECT_EQ(listed, expected) << trigram;
    }
    EXPECT_EQ(file.ArchiveListBytes(0x5A5A5A), 0u); // "ZZZ" is in no name
}

TEST(SearchIndex, GivesTheAnswersOfTheSearchOverTheFilesForEveryCriterionAndScope) {
    std::mt19937 rng(1717);
    for (int folder = 0; folder < 2; ++folder) {
        test::TempDir dir;
        WriteFolder(dir, rng, 7);
        const TArchiveList list = ListOf(dir.Path());
        for (int q = 0; q < 250; ++q) {
            std::vector<std::string> history;
            const TSearchInput input = RandomInput(rng);
            const TSearchStart start = PrepareSearch(input, history);
            if (!start.Started) continue;
            std::vector<std::int32_t> selected;
            for (std::int32_t slot = list.ArchiveCount(); slot >= 1; slot -= 2)
                selected.push_back(slot);
            const auto scope = static_cast<TSearchScope>(q % 3);
            const std::string category = q % 2 == 0 ? "\\CD\\" : "\\DVD\\Hudba\\";
            const auto slots = ArchivesToSearch(list, scope, selected, category);
            const std::int64_t cap = q % 5 == 0 ? 3 : 0;
            SCOPED_TRACE(input.Query + " scope " + std::to_string(q % 3));
            const TRun files = Search(list, slots, start.Criteria, false, cap);
            const TRun indexed = Search(list, slots, start.Criteria, true, cap);
            EXPECT_EQ(indexed.log, files.log);
            EXPECT_EQ(indexed.outcome.Results, files.outcome.Results);
            EXPECT_EQ(indexed.outcome.Stopped, files.outcome.Stopped);
        }
        EXPECT_TRUE(test::FileExists(dir.File(std::string(kSearchIndexFile))));
    }
}

TSearchCriteria Query(const char* text) {
    TSearchInput input;
    input.Query = text;
    std::vector<std::string> history;
    return PrepareSearch(input, history).Criteria;
}

void WriteOne(const std::string& path, const std::string& name, const std::string& entry) {
    test::WriteArchiveFile(test::MakeArchive(path, name, {{"\\", {{entry}}}}));
}

// The search of every archive of the folder, through the index and over the
// files; the two must agree.
Lines SearchBoth(const std::string& folder, const char* pattern) {
    const TArchiveList list = ListOf(folder);
    const auto slots = ArchivesToSearch(list, TSearchScope::AllArchives, {}, "");
    const TRun indexed = Search(list, slots, Query(pattern), true);
    EXPECT_EQ(indexed.log, Search(list, slots, Query(pattern), false).log);
    Lines names;
    for (const std::string& line : indexed.log)
        if (!line.starts_with("archive "))
            names.push_back(UnmarkName(line.substr(0, line.find('|'))));
    return names;
}

// A list may hold a file in more than one row (a second row appended for an
// archive already listed, a row whose file is unlisted): a search of all
// rows through the index answers as the search over the files, every Listed
// row in the rows' order, with the helper thread taking some of them.
TEST(SearchIndex, RowsNamingOneFileAreEachSearchedAsOverTheFiles) {
    test::TempDir dir;
    std::mt19937 rng(99);
    WriteFolder(dir, rng, 6);
    TArchiveList list = ListOf(dir.Path());
    const std::int32_t archives = list.ArchiveCount();
    for (const std::int32_t copied : {1, archives, 3}) {
        THead row = list[copied];
        list.Append(row);
    }
    list[list.Append(list[2])].Listed = 0;
    std::vector<std::int32_t> all;
    for (std::int32_t slot = 1; slot <= list.ArchiveCount(); ++slot)
        all.push_back(slot);
    for (const char* pattern : {"*a*", "*k\xC5\xAF\xC5\x88*", "*Report*"}) {
        SCOPED_TRACE(pattern);
        const TRun files = Search(list, all, Query(pattern), false);
        const TRun indexed = Search(list, all, Query(pattern), true);
        EXPECT_EQ(indexed.log, files.log);
        EXPECT_GT(std::count_if(files.log.begin(), files.log.end(),
                                [&](const std::string& line) {
                                    return line.starts_with("archive " +
                                                            std::to_string(archives + 2) + " ");
                                }),
                  0);
    }
}

TEST(SearchIndex, SeesEveryChangeOfTheArchivesBetweenTwoSearches) {
    const struct {
        const char* what;
        void (*change)(const test::TempDir& dir);
        Lines after;
    } cases[] = {
        {"changed",
         [](const test::TempDir& dir) { WriteOne(dir.File("b.cd"), "B", "zebra_new.txt"); },
         {"A:\\  zebra.txt", "B:\\  zebra_new.txt"}},
        {"added",
         [](const test::TempDir& dir) { WriteOne(dir.File("c.cd"), "C", "zebra3"); },
         {"A:\\  zebra.txt", "B:\\  zebra.doc", "C:\\  zebra3"}},
        {"deleted",
         [](const test::TempDir& dir) { std::filesystem::remove(dir.File("b.cd")); },
         {"A:\\  zebra.txt"}},
        {"replaced with the same size and time",
         [](const test::TempDir& dir) {
             struct stat before {};
             ::stat(dir.File("b.cd").c_str(), &before);
             WriteOne(dir.File("new.tmp"), "B", "zebra.pdf");
             const timespec times[2] = {before.st_atim, before.st_mtim};
             ::utimensat(AT_FDCWD, dir.File("new.tmp").c_str(), times, 0);
             std::filesystem::rename(dir.File("new.tmp"), dir.File("b.cd"));
         },
         {"A:\\  zebra.txt", "B:\\  zebra.pdf"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        WriteOne(dir.File("a.cd"), "A", "zebra.txt");
        WriteOne(dir.File("b.cd"), "B", "zebra.doc");
        EXPECT_EQ(SearchBoth(dir.Path(), "*EBR*"), (Lines{"A:\\  zebra.txt", "B:\\  zebra.doc"}));
        c.change(dir);
        EXPECT_EQ(SearchBoth(dir.Path(), "*EBR*"), c.after);
        TSearchIndex index;
        EXPECT_EQ(RefreshSearchIndex(ListOf(dir.Path()), index).Archives,
                  static_cast<std::int32_t>(c.after.size()));
    }
}

// A folder changed step by step: changes go to the changes file beside the
// main file until they outgrow it; archives vanish from between others and
// come anew. After every step both files together give the answers of the
// files, in list order and in another order.
TEST(SearchIndex, ChangesAreKeptApartUntilTheyOutgrowTheMainFile) {
    std::mt19937 rng(99);
    test::TempDir dir;
    WriteFolder(dir, rng, 5);
    auto rewrite = [&](const char* file, const char* name) {
        test::WriteArchiveFile(
            test::MakeArchive(dir.File(file), name,
                              {{"\\", {{"k\xC5\xAF\xC5\x88 nov\xC3\xBD"}, {"\xE8\xEDslo.abc"}}},
                               {"\\d\\", {{"report.txt"}}}}));
    };
    const struct {
        const char* what;
        std::function<void()> change;
        std::int64_t floor;
        bool saved, consolidated, changesFile;
        std::int32_t indexed; // archives read
    } steps[] = {
        {"built", [] {}, kIndexChangesFloor, true, true, false, 5},
        {"one changed", [&] { rewrite("a1.cd", "Disk 1b"); }, kIndexChangesFloor, true, false, true,
         1},
        {"another changed", [&] { rewrite("a3.cd", "Disk 3b"); }, kIndexChangesFloor, true, false,
         true, 1},
        {"one from the middle deleted", [&] { std::filesystem::remove(dir.File("a2.cd")); },
         kIndexChangesFloor, false, false, true, 0},
        {"one added", [&] { rewrite("a9.cd", "Disk 9"); }, kIndexChangesFloor, true, false, true,
         1},
        {"the changes outgrow the main file", [&] { rewrite("a0.cd", "Disk 0b"); }, 0, true, true,
         false, 1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.what);
        step.change();
        const TArchiveList list = ListOf(dir.Path());
        TSearchIndex index;
        const TIndexRefresh refresh = RefreshSearchIndex(list, index, 1, step.floor);
        EXPECT_TRUE(refresh.Usable);
        EXPECT_EQ(refresh.Saved, step.saved);
        EXPECT_EQ(refresh.Consolidated, step.consolidated);
        EXPECT_EQ(refresh.Indexed, step.indexed);
        EXPECT_EQ(refresh.Archives, list.ArchiveCount());
        EXPECT_EQ(test::FileExists(dir.File(std::string(kSearchIndexChangesFile))),
                  step.changesFile);
        std::vector<std::int32_t> backwards;
        for (std::int32_t slot = list.ArchiveCount(); slot >= 1; --slot)
            backwards.push_back(slot);
        for (const char* pattern :
             {"*k\xC5\xAF\xC5\x88*", "*\xC8\xCDSLO*", "*ABC*", "*r?p*", "*", "*.TXT"}) {
            SCOPED_TRACE(pattern);
            for (const auto& slots :
                 {ArchivesToSearch(list, TSearchScope::AllArchives, {}, ""),
                  ArchivesToSearch(list, TSearchScope::SelectedArchives, backwards, "")})
                EXPECT_EQ(Search(list, slots, Query(pattern), true).log,
                          Search(list, slots, Query(pattern), false).log);
        }
    }
}

// Gone between two archives that are searched through the index, and, with
// many archives, in runs that take over the places of runs handed over.
TEST(SearchIndex, ArchivesGoneSinceTheListWasBuiltGiveTheirMessagesAsWithoutTheIndex) {
    const struct {
        int archives;
        std::vector<int> gone;
    } cases[] = {{2, {0}}, {40, {7, 13, 14, 26, 39}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.archives);
        test::TempDir dir;
        for (int a = 0; a < c.archives; ++a)
            WriteOne(dir.File("a" + std::to_string(100 + a) + ".cd"), "A" + std::to_string(a),
                     "zebra" + std::to_string(a) + ".txt");
        const TArchiveList list = ListOf(dir.Path());
        for (const int a : c.gone)
            std::filesystem::remove(dir.File("a" + std::to_string(100 + a) + ".cd"));
        const auto slots = ArchivesToSearch(list, TSearchScope::AllArchives, {}, "");
        const TRun indexed = Search(list, slots, Query("*EBR*"), true);
        EXPECT_EQ(indexed.log, Search(list, slots, Query("*EBR*"), false).log);
        // A message for each archive gone; each archive, and a result for each
        // one there.
        EXPECT_EQ(indexed.log.size(), c.gone.size() + c.archives + (c.archives - c.gone.size()));
    }
}

TEST(SearchIndex, ADamagedOrForeignIndexIsBuiltAgainAndTheAnswerStaysRight) {
    const struct {
        const char* what;
        void (*damage)(const std::string& index);
    } cases[] = {
        {"truncated", [](const std::string& f) { ::truncate(f.c_str(), 100); }},
        {"cut at the end",
         [](const std::string& f) {
             ::truncate(f.c_str(), static_cast<off_t>(std::filesystem::file_size(f) - 1));
         }},
        {"random bytes",
         [](const std::string& f) {
             std::mt19937 rng(5);
             std::string bytes(std::filesystem::file_size(f), '\0');
             for (char& b : bytes)
                 b = static_cast<char>(rng());
             test::WriteFile(f, bytes);
         }},
        {"a table damaged",
         [](const std::string& f) {
             std::string bytes = test::ReadFile(f);
             bytes[bytes.size() - 3] ^= 0x55;
             test::WriteFile(f, bytes);
         }},
        {"a name changed in place",
         [](const std::string& f) {
             std::string bytes = test::ReadFile(f);
             bytes[bytes.find("zebra")] = 'Z';
             test::WriteFile(f, bytes);
         }},
        {"foreign", [](const std::string& f) { test::WriteFile(f, "not an index\r\n"); }},
        {"empty", [](const std::string& f) { test::WriteFile(f, ""); }},
    };
    // The main file, and the changes file made by a change after it.
    for (const std::string_view name : {kSearchIndexFile, kSearchIndexChangesFile})
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " " + std::string(name));
            test::TempDir dir;
            WriteOne(dir.File("a.cd"), "A", "zebra.txt");
            WriteOne(dir.File("b.cd"), "B", "zebra.doc");
            SearchBoth(dir.Path(), "*EBR*");
            if (name == kSearchIndexChangesFile) WriteOne(dir.File("b.cd"), "B", "zebra.pdf");
            const Lines right = SearchBoth(dir.Path(), "*EBR*");
            const std::string file = dir.File(std::string(name));
            c.damage(file);
            TIndexFile index;
            EXPECT_FALSE(index.Open(file));
            EXPECT_EQ(SearchBoth(dir.Path(), "*EBR*"), right);
            EXPECT_TRUE(index.Open(file));
        }
}

// A file not known whole in this boot (here: the boot it names is another,
// its time as it was given) is checked whole once, then stamped so that the
// next opening trusts it.
TEST(SearchIndex, AFileFromAnotherBootIsCheckedOnceThenTrusted) {
    test::TempDir dir;
    WriteOne(dir.File("a.cd"), "A", "zebra.txt");
    SearchBoth(dir.Path(), "*EBR*");
    const std::string file = dir.File(std::string(kSearchIndexFile));
    struct stat before {};
    ::stat(file.c_str(), &before);
    std::string bytes = test::ReadFile(file);
    bytes[96] = static_cast<char>(bytes[96] ^ 0x5A); // another boot
    test::WriteFile(file, bytes);
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ::utimensat(AT_FDCWD, file.c_str(), times, 0);
    TIndexFile index;
    ASSERT_TRUE(index.Open(file));
    EXPECT_TRUE(index.CheckedWhole());
    index.Stamp(file);
    index.Close();
    ASSERT_TRUE(index.Open(file));
    EXPECT_FALSE(index.CheckedWhole());
    EXPECT_EQ(SearchBoth(dir.Path(), "*EBR*"), (Lines{"A:\\  zebra.txt"}));
}

TEST(SearchIndex, AFolderThatCannotBeWrittenIsSearchedWithoutAnIndex) {
    test::TempDir dir;
    WriteOne(dir.File("a.cd"), "A", "zebra.txt");
    const TArchiveList list = ListOf(dir.Path());
    ::chmod(dir.Path().c_str(), 0555);
    {
        test::WithoutDacOverride unprivileged;
        if (!unprivileged.Active()) GTEST_SKIP() << "capabilities cannot be dropped";
        TSearchIndex index;
        EXPECT_FALSE(RefreshSearchIndex(list, index).Usable);
        const auto slots = ArchivesToSearch(list, TSearchScope::AllArchives, {}, "");
        const TRun indexed = Search(list, slots, Query("*EBR*"), true);
        EXPECT_EQ(indexed.log, Search(list, slots, Query("*EBR*"), false).log);
        EXPECT_EQ(indexed.outcome.Results, 1);
    }
    ::chmod(dir.Path().c_str(), 0755);
    EXPECT_EQ(test::ListDir(dir.Path()), (Lines{"_cd_.lst", "a.cd"}));
}

TEST(SearchIndex, ARefreshRereadsOnlyWhatChanged) {
    test::TempDir dir;
    for (const char* name : {"a", "b", "c"})
        WriteOne(dir.File(std::string(name) + ".cd"), name, "zebra");
    TArchiveList list = ListOf(dir.Path());
    TSearchIndex index;
    const struct {
        std::function<void()> change;
        bool saved;
        std::int32_t indexed;
    } steps[] = {
        {[] {}, true, 3},
        {[] {}, false, 0},
        {[&] { WriteOne(dir.File("b.cd"), "b", "zebra2"); }, true, 1},
    };
    for (const auto& step : steps) {
        step.change();
        const TIndexRefresh refresh = RefreshSearchIndex(list, index);
        EXPECT_TRUE(refresh.Usable);
        EXPECT_EQ(refresh.Saved, step.saved);
        EXPECT_EQ(refresh.Indexed, step.indexed);
        EXPECT_EQ(refresh.Archives, 3);
        EXPECT_EQ(refresh.Entries, 3);
    }
}

} // namespace
} // namespace orbisk

namespace orbisk {
namespace {

// Stops the run through the flag after the first result.
struct StoppingSink : TSearchSink {
    std::atomic<bool>& stop;
    int results = 0;
    explicit StoppingSink(std::atomic<bool>& s) : stop(s) {}
    bool OnResult(TSearchResult&&) override {
        ++results;
        stop = true;
        return true;
    }
};

TEST(SearchIndex, TheStopFlagEndsTheRunBeforeTheNextResultAsOverTheFiles) {
    test::TempDir dir;
    test::WriteArchiveFile(
        test::MakeArchive(dir.File("a.cd"), "A", {{"\\", {{"zebra1"}, {"zebra2"}, {"zebra3"}}}}));
    const TArchiveList list = ListOf(dir.Path());
    const auto slots = ArchivesToSearch(list, TSearchScope::AllArchives, {}, "");
    for (const bool indexed : {false, true}) {
        std::atomic<bool> stop{false};
        StoppingSink sink(stop);
        NullHost host;
        const TSearchOutcome outcome =
            indexed ? RunIndexedSearch(list, slots, Query("ZEBRA*"), sink, host, stop)
                    : RunArchivesSearch(list, slots, Query("ZEBRA*"), sink, host, stop);
        EXPECT_EQ(sink.results, 1);
        EXPECT_TRUE(outcome.Stopped);
    }
}

} // namespace
TEST(SearchIndex, AStoppedBuildWritesNothing) {
    test::TempDir dir;
    for (const char* name : {"a", "b"})
        WriteOne(dir.File(std::string(name) + ".cd"), name, "zebra");
    const TArchiveList list = ListOf(dir.Path());
    const std::atomic<bool> stop{true};
    for (const int threads : {1, 2}) {
        TSearchIndex index;
        EXPECT_FALSE(RefreshSearchIndex(list, index, threads, kIndexChangesFloor, &stop).Usable);
        EXPECT_EQ(test::ListDir(dir.Path()), (Lines{"_cd_.lst", "a.cd", "b.cd"}));
    }
}

} // namespace orbisk
