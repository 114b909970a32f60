#include "core/search/SearchRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "ArchiveBuilder.h"
#include "TestSupport.h"
#include "core/catalog/ArchiveFile.h"
#include "core/search/ArchivePrefetch.h"

namespace orbisk {
namespace {

using test::DirSpec;
using test::EntrySpec;
using Lines = std::vector<std::string>;

TSearchCriteria Criteria(TSearchInput input) {
    std::vector<std::string> history;
    TSearchStart start = PrepareSearch(input, history);
    EXPECT_TRUE(start.Started);
    return start.Criteria;
}

TSearchCriteria Pattern(const char* query, bool caseSensitive = false) {
    TSearchInput input;
    input.Query = query;
    input.CaseSensitive = caseSensitive;
    return Criteria(input);
}

// Records every call of a run as one line, in order. onResult may stop the
// run (through the stop flag or by refusing more).
struct LogSink : TSearchSink {
    Lines log;
    std::vector<TSearchResult> results;
    bool logFolders = false;
    std::function<bool(std::size_t count)> onResult = [](std::size_t) { return true; };

    void OnArchive(std::int32_t slot, std::string_view name) override {
        log.push_back("archive " + std::to_string(slot) + " " + std::string(name));
    }
    void OnFolder(std::string_view path) override {
        if (logFolders) log.push_back("folder " + std::string(path));
    }
    bool OnResult(TSearchResult&& result) override {
        log.push_back(TextLine(result));
        results.push_back(std::move(result));
        return onResult(results.size());
    }
    Lines ResultLines() const {
        Lines lines;
        for (const TSearchResult& r : results)
            lines.push_back(TextLine(r));
        return lines;
    }
};

// A sink for RunArchivesSearch that also records the host's messages in the
// same log, so their place among the results shows.
struct LogHost : Host {
    Lines& log;
    explicit LogHost(Lines& l) : log(l) {}
    void Inform(std::string_view text) override { log.push_back("inform " + std::string(text)); }
    void Warn(std::string_view text) override { log.push_back("warn " + std::string(text)); }
    void Pump() override {}
};

TArch FolderArchive() {
    return test::MakeArchive({{"\\", {{"Readme.txt"}, {"DOC", "0", "", "d----"}}},
                              {"\\DOC\\", {{"Readme.txt"}}},
                              {"\\DOC\\OLD\\", {{"readme.old"}}},
                              {"\\DOCS\\", {{"README"}}},
                              {"\\X\\DOC\\", {{"readme"}}}},
                             "Disk 7");
}

TEST(SearchRun, CurrentPathTakesTheFoldersThatBeginWithItExactly) {
    const TArch arch = FolderArchive();
    const std::string root = "Disk 7:\\  <B>R</B><B>e</B><B>a</B><B>d</B>me.txt";
    const std::string doc = "Disk 7:\\DOC\\  <B>R</B><B>e</B><B>a</B><B>d</B>me.txt";
    const std::string old = "Disk 7:\\DOC\\OLD\\  <B>r</B><B>e</B><B>a</B><B>d</B>me.old";
    const std::string docs = "Disk 7:\\DOCS\\  <B>R</B><B>E</B><B>A</B><B>D</B>ME";
    const std::string xdoc = "Disk 7:\\X\\DOC\\  <B>r</B><B>e</B><B>a</B><B>d</B>me";
    const struct {
        const char* currentPath;
        Lines lines;
    } cases[] = {
        {"\\", {root, doc, old, docs, xdoc}},
        {"\\DOC\\", {doc, old}},
        {"\\DOC\\OLD\\", {old}},
        {"\\DOCS\\", {docs}},
        {"\\doc\\", {}}, // exact bytes
        {"\\NONE\\", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.currentPath);
        LogSink sink;
        sink.logFolders = true;
        const std::atomic<bool> stop{false};
        const TSearchOutcome outcome =
            RunArchiveSearch(arch, c.currentPath, Pattern("READ*"), sink, stop);
        EXPECT_EQ(sink.ResultLines(), c.lines);
        EXPECT_EQ(outcome.Results, static_cast<std::int64_t>(c.lines.size()));
        EXPECT_FALSE(outcome.Stopped);
        // Every folder is come to, in stored order, searched or not.
        Lines folders;
        for (const std::string& line : sink.log)
            if (line.starts_with("folder ")) folders.push_back(line.substr(7));
        EXPECT_EQ(folders, (Lines{"\\", "\\DOC\\", "\\DOC\\OLD\\", "\\DOCS\\", "\\X\\DOC\\"}));
    }
}

TEST(SearchRun, EntryPassesTheNameSizeNoteAndDescriptionTestsThatAreOn) {
    TArch arch =
        test::MakeArchive({{"\\",
                            {{"big.iso", "3221225472", "", " -a--", "Foo bar", "line FOO\x07"},
                             {"small.txt", "1 024", "", " -a--", "foo", ""},
                             {"odd.bin", "abc", "", " -a--", "bar", "Bar baz\x07"},
                             {"gone.txt", "5", "", " -a--", "foo", "baz\x07"},
                             {"Readme.TXT", "0", "", " -a--", "", ""}}}});
    arch.Recs[4].Present = 0; // deleted in memory, not saved yet
    using Names = std::vector<std::string>;
    auto input = [](const char* query) {
        TSearchInput in;
        in.Query = query;
        return in;
    };
    auto size = [&](const char* op, const char* value, const char* unit) {
        TSearchInput in = input("*");
        in.SizeOn = true;
        in.SizeOp = op;
        in.SizeValue = value;
        in.SizeUnit = unit;
        return in;
    };
    auto words = [&](bool note, const char* text, const char* mode) {
        TSearchInput in = input("*");
        (note ? in.NoteOn : in.DescriptionOn) = true;
        (note ? in.NoteText : in.DescriptionText) = text;
        (note ? in.NoteMode : in.DescriptionMode) = mode;
        return in;
    };
    TSearchInput caseSensitive = input("*.TXT");
    caseSensitive.CaseSensitive = true;
    TSearchInput sizeAndNote = size(">", "0", " B");
    sizeAndNote.NoteOn = true;
    sizeAndNote.NoteText = "foo";
    const struct {
        const char* what;
        TSearchInput input;
        Names names;
    } cases[] = {
        {"every present entry", input("*"), {"big.iso", "small.txt", "odd.bin", "Readme.TXT"}},
        {"3 GB passes > 1 GB", size(">", "1", "GB"), {"big.iso"}},
        {"sizes with blanks", size("=", "1", "kB"), {"small.txt"}},
        {"a size that is no number fails", size("<", "1", "kB"), {"Readme.TXT"}},
        {"note AND", words(true, "foo  bar", "AND"), {"big.iso"}},
        {"note OR", words(true, "foo bar", "OR"), {"big.iso", "small.txt", "odd.bin"}},
        {"description", words(false, "baz", "OR"), {"odd.bin"}},
        {"description OR", words(false, "foo baz", "OR"), {"big.iso", "odd.bin"}},
        {"size and note", sizeAndNote, {"big.iso", "small.txt"}},
        {"case-sensitive", caseSensitive, {"Readme.TXT"}},
        {"not case-sensitive", input("*.txt"), {"small.txt", "Readme.TXT"}},
        {"star completion",
         [&] {
             TSearchInput in = input("i");
             in.Star = true;
             return in;
         }(),
         {"big.iso", "odd.bin"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LogSink sink;
        const std::atomic<bool> stop{false};
        RunArchiveSearch(arch, "\\", Criteria(c.input), sink, stop);
        Names names;
        for (const TSearchResult& r : sink.results)
            names.push_back(r.Rec.Name.str());
        EXPECT_EQ(names, c.names);
    }
}

TEST(SearchRun, TypedCzechFindsNamesNotesAndDescriptionsOfEitherCodePage) {
    // The same entry as scanned here (UTF-8) and in a catalogue written on
    // Windows (Windows-1250).
    const TArch arch = test::MakeArchive(
        {{"\\",
          {{"kůň.txt", "1", "", " -a--", "bílý kůň", "žluťoučký\x07"},
           {"k\xF9\xF2.txt", "1", "", " -a--", "b\xEDl\xFD k\xF9\xF2", "\x9Elu\x9Dou\xE8k\xFD\x07"},
           {"kun.txt", "1", "", " -a--", "kun", "zlutoucky\x07"}}}},
        "Disk");
    auto input = [](const char* query, const char* note, const char* description) {
        TSearchInput in;
        in.Query = query;
        in.NoteOn = *note != '\0';
        in.NoteText = note;
        in.DescriptionOn = *description != '\0';
        in.DescriptionText = description;
        return in;
    };
    const std::string utf8 = "Disk:\\  <B>k</B><B>ů</B><B>ň</B>.txt";
    const std::string cp1250 = "Disk:\\  <B>k</B><B>\xF9</B><B>\xF2</B>.txt";
    const struct {
        TSearchInput input;
        Lines lines;
    } cases[] = {
        {input("kůň*", "", ""), {utf8, cp1250}},
        {input("k?ň*", "", ""),
         {"Disk:\\  <B>k</B>ů<B>ň</B>.txt", "Disk:\\  <B>k</B>\xF9<B>\xF2</B>.txt"}},
        {input("kůň日*", "", ""), {}},
        {input("k*", "kůň", ""), {"Disk:\\  <B>k</B>ůň.txt", "Disk:\\  <B>k</B>\xF9\xF2.txt"}},
        {input("k*", "", "žluťoučký"),
         {"Disk:\\  <B>k</B>ůň.txt", "Disk:\\  <B>k</B>\xF9\xF2.txt"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input.Query + " " + c.input.NoteText + " " + c.input.DescriptionText);
        LogSink sink;
        const std::atomic<bool> stop{false};
        RunArchiveSearch(arch, "\\", Criteria(c.input), sink, stop);
        EXPECT_EQ(sink.ResultLines(), c.lines);
    }
}

TEST(SearchRun, ResultsOwnTheirEntryAndNameTheOpenArchive) {
    TArch arch;
    arch.Head.FileName = "/media/disk7.cd";
    ParseArchive("Name=Disk 7\r\n<tree>\r\n\\\r\n"
                 "Readme.txt\t1 024\t1.2.2003 4:05:06\t -a--\tnote\tline\x07\r\n",
                 arch);
    LogSink sink;
    const std::atomic<bool> stop{false};
    RunArchiveSearch(arch, "\\", Pattern("*.txt"), sink, stop);
    arch = TArch{}; // the file's text is gone
    ASSERT_EQ(sink.results.size(), 1u);
    // A copy and a moved result keep their entry when the result made by
    // the search is gone too.
    const TSearchResult copy = sink.results[0];
    const TSearchResult r = std::move(sink.results[0]);
    sink.results.clear();
    EXPECT_EQ(ListColumns(copy), ListColumns(r));
    EXPECT_EQ(r.ArchiveSlot, 0);
    EXPECT_EQ(r.ArchiveName, "Disk 7");
    EXPECT_EQ(r.ArchiveFile, "/media/disk7.cd");
    EXPECT_EQ(r.MarkedName, "Readme<B>.</B><B>t</B><B>x</B><B>t</B>");
    EXPECT_EQ(ListColumns(r),
              (std::array<std::string, 8>{"Disk 7", "\\", "Readme.txt", "1 024", "1.2.2003 4:05:06",
                                          " -a--", "note", "line\x07"}));
}

TEST(SearchRun, StopsBeforeTheNextEntryWhenAskedOrAtTheCap) {
    const TArch arch = test::MakeLargeArchive(30010); // 30010 files, 301 folders
    const struct {
        const char* what;
        bool stopFirst;    // the flag is set before the run
        std::size_t after; // the flag is set at this result (0: never)
        std::int64_t cap;  // the sink refuses more at this count (0: never)
        std::size_t expected;
    } cases[] = {
        {"stopped before the start", true, 0, 0, 0},
        {"stopped at the first result", false, 1, 0, 1},
        {"stopped at the 150th", false, 150, 0, 150},
        {"text view cap", false, 0, ResultCap(false), 30000},
        {"list view cap", false, 0, ResultCap(true), 4000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::atomic<bool> stop{c.stopFirst};
        LogSink sink;
        sink.logFolders = true;
        sink.onResult = [&](std::size_t count) {
            if (count == c.after) stop = true;
            return c.cap == 0 || static_cast<std::int64_t>(count) < c.cap;
        };
        const TSearchOutcome outcome = RunArchiveSearch(arch, "\\", Pattern("*"), sink, stop);
        EXPECT_EQ(sink.results.size(), c.expected);
        EXPECT_TRUE(outcome.Stopped);
        // Nothing is reported after the last result.
        if (c.expected > 0) {
            EXPECT_EQ(sink.log.back(), TextLine(sink.results.back()));
        }
    }
}

// A working folder of archives; the list is built without touching it.
struct Folder {
    test::TempDir dir;
    TArchiveList list;
    test::RecordingHost host;

    void Save(const std::string& file, const std::string& name, const std::string& medium,
              const std::string& typ, const std::vector<DirSpec>& dirs) {
        TArch a = test::MakeArchive(dirs, name);
        a.Head.Medium = medium;
        a.Head.Typ = typ;
        a.Head.FileName = dir.File(file);
        ASSERT_TRUE(WriteArchive(a, host));
    }
    void Build() {
        ASSERT_TRUE(BuildArchiveList(dir.Path(), list, host, TListCache::Leave).FolderRead);
    }
    std::int32_t SlotOf(const std::string& file) const {
        for (std::int32_t slot = 1; slot <= list.ArchiveCount(); ++slot)
            if (list[slot].FileName == file) return slot;
        return 0;
    }
};

// The same search with one, two and three threads gives the same calls in
// the same order.
Lines RunWithEachThreadCount(const TArchiveList& list, const std::vector<std::int32_t>& slots,
                             const TSearchCriteria& criteria,
                             std::function<bool(std::size_t, std::atomic<bool>&)> onResult = {}) {
    Lines first;
    for (int threads : {1, 2, 3}) {
        SCOPED_TRACE("threads " + std::to_string(threads));
        LogSink sink;
        std::atomic<bool> stop{false};
        if (onResult) sink.onResult = [&](std::size_t count) { return onResult(count, stop); };
        LogHost host(sink.log);
        const TSearchOutcome outcome =
            RunArchivesSearch(list, slots, criteria, sink, host, stop, threads);
        EXPECT_EQ(outcome.Results, static_cast<std::int64_t>(sink.results.size()));
        for (const TSearchResult& r : sink.results) {
            EXPECT_EQ(r.ArchiveName, list[r.ArchiveSlot].Name);
            EXPECT_EQ(r.ArchiveFile, list.PathOf(r.ArchiveSlot));
        }
        if (threads == 1)
            first = sink.log;
        else
            EXPECT_EQ(sink.log, first);
    }
    return first;
}

TEST(SearchRun, ScopesPickTheirArchivesAndEachResultNamesItsOwn) {
    Folder f;
    f.Save("a.cd", "Alfa", "CD", "", {{"\\", {{"song.mp3"}, {"readme.txt"}}}});
    f.Save("b.cd", "Beta", "CD", "Hudba", {{"\\", {{"song.mp3"}}}, {"\\Sub\\", {{"song.mp3"}}}});
    f.Save("c.cd", "Gama", "CDR", "", {{"\\", {{"song.mp3"}}}});
    f.Save("d.cd", "Delta", "DVD", "", {{"\\", {{"song.mp3"}}}});
    f.Build();
    const std::int32_t a = f.SlotOf("a.cd"), b = f.SlotOf("b.cd"), d = f.SlotOf("d.cd");
    f.list[a].Name = "Alfa z listu"; // results name the list's row, not the file's header
    const std::string song = "  <B>s</B><B>o</B><B>n</B><B>g</B>.mp3";
    const std::string alfa = "Alfa z listu:\\" + song, beta = "Beta:\\" + song,
                      betaSub = "Beta:\\Sub\\" + song, gama = "Gama:\\" + song,
                      delta = "Delta:\\" + song;
    auto archive = [&](const char* file) {
        return "archive " + std::to_string(f.SlotOf(file)) + " " + f.list[f.SlotOf(file)].Name;
    };
    const struct {
        const char* what;
        TSearchScope scope;
        std::vector<std::int32_t> selected;
        const char* category;
        Lines log;
    } cases[] = {
        {"all archives",
         TSearchScope::AllArchives,
         {},
         "",
         {archive("a.cd"), alfa, archive("b.cd"), beta, betaSub, archive("c.cd"), gama,
          archive("d.cd"), delta}},
        {"nothing selected", TSearchScope::SelectedArchives, {}, "", {}},
        {"selected, in view order",
         TSearchScope::SelectedArchives,
         {d, 0, 99, a},
         "",
         {archive("d.cd"), delta, archive("a.cd"), alfa}},
        {"a category and below",
         TSearchScope::Subcategories,
         {b},
         "\\CD\\",
         {archive("a.cd"), alfa, archive("b.cd"), beta, betaSub}},
        {"a subcategory",
         TSearchScope::Subcategories,
         {},
         "\\CD\\Hudba\\",
         {archive("b.cd"), beta, betaSub}},
        {"no category selected", TSearchScope::Subcategories, {}, "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<std::int32_t> slots =
            ArchivesToSearch(f.list, c.scope, c.selected, c.category);
        EXPECT_EQ(RunWithEachThreadCount(f.list, slots, Pattern("song*")), c.log);
    }
}

TEST(SearchRun, UnlistedRowsAreSkippedAndUnreadableArchivesReportedThenPassedOver) {
    Folder f;
    for (const char* file : {"a.cd", "b.cd", "c.cd", "d.cd", "e.cd"})
        f.Save(file, std::string("Archiv ") + file, "CD", "", {{"\\", {{"x.txt"}}}});
    f.Build();
    std::filesystem::remove(f.dir.File("b.cd"));
    std::filesystem::remove(f.dir.File("d.cd"));
    std::filesystem::create_directory(f.dir.File("d.cd")); // cannot be read
    f.list[f.SlotOf("c.cd")].Listed = 0;
    const Lines expected = {
        "archive 1 Archiv a.cd",
        "Archiv a.cd:\\  x<B>.</B><B>t</B><B>x</B><B>t</B>",
        "inform " + std::string(kMsgFileMissing),
        "archive 2 Archiv b.cd",
        "warn " + std::string(kMsgCannotRead),
        "archive 4 Archiv d.cd",
        "archive 5 Archiv e.cd",
        "Archiv e.cd:\\  x<B>.</B><B>t</B><B>x</B><B>t</B>",
    };
    const std::vector<std::int32_t> all =
        ArchivesToSearch(f.list, TSearchScope::AllArchives, {}, "");
    EXPECT_EQ(RunWithEachThreadCount(f.list, all, Pattern("*.txt")), expected);
}

bool IsResult(const std::string& line) {
    return !line.starts_with("archive ") && !line.starts_with("inform ") &&
           !line.starts_with("warn ");
}

TEST(SearchRun, PrefetchKeepsOrderAndStopsWhereOneThreadStops) {
    Folder f;
    for (int k = 0; k < 40; ++k) {
        // Sizes from empty to 1500 entries, so readers and the
        // matcher overtake each other.
        std::vector<EntrySpec> entries;
        for (int e = 0; e < (k * 977) % 1500; ++e)
            entries.push_back({"f" + std::to_string(k) + "_" + std::to_string(e) + ".dat"});
        char file[16];
        std::snprintf(file, sizeof file, "a%02d.cd", k);
        f.Save(file, "Archiv " + std::to_string(k), "CD", "", {{"\\", entries}});
    }
    f.Build();
    std::filesystem::remove(f.dir.File("a07.cd"));
    const std::vector<std::int32_t> all =
        ArchivesToSearch(f.list, TSearchScope::AllArchives, {}, "");
    const TSearchCriteria criteria = Pattern("*1?.dat");
    const Lines whole = RunWithEachThreadCount(f.list, all, criteria);
    EXPECT_GT(whole.size(), 2000u);
    const struct {
        const char* what;
        std::size_t at;
        bool byFlag; // the stop flag, or the sink refusing more
    } cases[] = {{"flag", 1, true}, {"flag", 1200, true}, {"cap", 2000, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " at " + std::to_string(c.at));
        const Lines cut = RunWithEachThreadCount(f.list, all, criteria,
                                                 [&](std::size_t count, std::atomic<bool>& stop) {
                                                     if (count == c.at && c.byFlag) stop = true;
                                                     return c.byFlag || count < c.at;
                                                 });
        // The log up to the c.at-th result, and nothing after it.
        std::size_t results = 0, end = 0;
        while (end < whole.size() && results < c.at)
            if (IsResult(whole[end++])) ++results;
        EXPECT_EQ(cut, Lines(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(end)));
    }
}

TEST(SearchPrefetch, ArchivesComeInOrderAlsoWhenAReaderIsHeldUp) {
    Folder f;
    std::vector<std::string> files;
    for (int k = 0; k < 12; ++k) {
        const std::string file = "a" + std::to_string(k + 10) + ".cd";
        f.Save(file, "Archiv " + std::to_string(k), "CD", "", {{"\\", {{"x.txt"}}}});
        files.push_back(f.dir.File(file));
    }
    std::filesystem::remove(files[5]);
    for (int readers : {0, 1, 2}) {
        for (bool heldUp : {false, true}) {
            SCOPED_TRACE(std::to_string(readers) + (heldUp ? " readers, held up" : " readers"));
            std::atomic<int> reads{0}, prepared{0};
            // A held-up reader sleeps before every archive it reads, so the
            // consumer reads those archives again itself. The consumer's
            // first archive gives the readers time to claim one.
            {
                TArchivePrefetch prefetch(
                    files, readers, [&](TPrefetched&) { ++prepared; },
                    [&](std::size_t seq, bool onReader) {
                        ++reads;
                        if (heldUp)
                            std::this_thread::sleep_for(std::chrono::milliseconds(onReader   ? 30
                                                                                  : seq == 0 ? 20
                                                                                             : 0));
                    });
                for (std::size_t k = 0; k < files.size(); ++k) {
                    const TPrefetched* item = prefetch.Next();
                    ASSERT_NE(item, nullptr);
                    EXPECT_EQ(item->Read, k != 5);
                    EXPECT_EQ(item->Messages.size(), k == 5 ? 1u : 0u);
                    if (k != 5) {
                        EXPECT_EQ(item->Arch.Head.Name, "Archiv " + std::to_string(k));
                    }
                }
                EXPECT_EQ(prefetch.Next(), nullptr);
                EXPECT_EQ(prefetch.ReaderCount(), static_cast<std::size_t>(readers));
            } // readers finish the archive in hand
            EXPECT_EQ(prepared.load(), reads.load());
            if (readers == 0) {
                EXPECT_EQ(reads.load(), 12);
            }
            if (readers > 0 && heldUp) {
                EXPECT_GT(reads.load(), 12); // some archives were read twice
            }
        }
    }
}

TEST(SearchScope, CategoryPathOfTheSelectedFolderNode) {
    const struct {
        std::vector<std::string> nodes;
        const char* path;
    } cases[] = {
        {{"CD", "Hudba"}, "\\CD\\Hudba\\"},
        {{"CD"}, "\\CD\\"},
        {{}, ""},
        {{""}, "\\"}, // exactly "\" gets no second "\"
        {{"", "x"}, "\\\\x\\"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CategoryPathOf(c.nodes), c.path);
}

TEST(SearchScope, ArchiveListBuiltForASearchWritesNothing) {
    Folder f;
    f.Save("a.cd", "Alfa", "CD", "", {{"\\", {{"x"}}}});
    f.Save("b.cd", "Beta", "DVD", "", {{"\\", {{"x"}}}});
    const std::string cache = "\\Old\\\tAlfa cached\ta.cd\t\t\r\n\\X\\\tGone\tgone.cd\t\t\r\n";
    test::WriteFile(f.dir.File("_cd_.lst"), cache);
    const std::vector<std::string> files = test::ListDir(f.dir.Path());
    for (TListCache mode : {TListCache::Leave, TListCache::Update}) {
        TArchiveList list;
        const TBuildResult built = BuildArchiveList(f.dir.Path(), list, f.host, mode);
        Lines rows;
        for (std::int32_t slot = 1; slot <= list.ArchiveCount(); ++slot)
            rows.push_back(list[slot].TreePath + " " + list[slot].Name + " " + list[slot].FileName);
        EXPECT_EQ(rows, (Lines{"\\Old\\ Alfa cached a.cd", "\\DVD\\ Beta b.cd"}));
        EXPECT_EQ(built.CacheSaved, mode == TListCache::Update);
        EXPECT_EQ(test::ReadFile(f.dir.File("_cd_.lst")) == cache, mode == TListCache::Leave);
        EXPECT_EQ(test::ListDir(f.dir.Path()), files);
    }
}

} // namespace
} // namespace orbisk
