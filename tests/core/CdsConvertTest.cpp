#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <random>

#include "TestSupport.h"
#include "core/export/CdsConvert.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

const std::atomic<bool> kRunning{true};

std::string Convert(std::string_view source, std::string_view base = "games") {
    RecordingHost host;
    std::string out;
    EXPECT_TRUE(ConvertCdsText(source, base, kRunning, host, out));
    return out;
}

// The conversion exactly as the catalogue rules state it, scanning every
// later line for each directory line: slow, and the measure of the fast one.
namespace slow {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(line);
            line.clear();
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            line += text[i];
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::size_t Count(const std::string& s) {
    return std::count(s.begin(), s.end(), '\\');
}

// Characters removed from the end, at least one, until the last is "\".
std::string DropLast(std::string p) {
    do
        p.pop_back();
    while (!p.empty() && p.back() != '\\');
    return p;
}

std::string LastComponent(const std::string& dirWithSlash) {
    std::string p = dirWithSlash.substr(0, dirWithSlash.size() - 1);
    return p.substr(p.rfind('\\') == std::string::npos ? 0 : p.rfind('\\') + 1);
}

std::string Folder(const std::string& name) {
    return name + "\t0\t \td----\t\t\r\n";
}

std::string Convert(const std::string& text, const std::string& base) {
    const std::vector<std::string> lines = Lines(text);
    std::string out = "<head>\r\nName=" + base + "\r\n\r\n<tree>\r\n\\\r\n";
    for (std::size_t i = 1; i < lines.size(); ++i)
        if (Count(lines[i]) == 1) out += Folder(lines[i].substr(0, lines[i].find('\\')));
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (Count(line) > 0) {
            const std::string p = "\\" + line.substr(0, line.rfind('\\') + 1);
            out += p + "\r\n";
            for (std::size_t j = i + 1; j < lines.size(); ++j) {
                const std::string& l = lines[j];
                if (Count(l) == 0 || Count(l) != Count(p)) continue;
                const std::string full = "\\" + l.substr(0, l.rfind('\\') + 1);
                if (DropLast(full) == p) out += Folder(LastComponent(full));
            }
            continue;
        }
        std::vector<std::size_t> tabs;
        for (std::size_t k = 0; k < line.size(); ++k)
            if (line[k] == '\t') tabs.push_back(k);
        if (tabs.size() < 3) continue;
        const std::string time =
            tabs.size() >= 4 ? line.substr(tabs[2] + 1, tabs[3] - tabs[2] - 1) : "";
        out += line.substr(0, tabs[0]) + "\t" + line.substr(tabs[0] + 1, tabs[1] - tabs[0] - 1) +
               "\t" + line.substr(tabs[1] + 1, tabs[2] - tabs[1] - 1) + " " + time +
               "\t ----\t\t\r\n";
    }
    return out;
}

} // namespace slow

// A catalogue of random directory and file lines: repeated paths, text after
// the last "\", bare "\" lines, file lines with two to five TABs, empty lines
// and all three line ends.
std::string RandomCatalogue(std::mt19937& rng, int lines) {
    const char* names[] = {"a", "b", "Hry", "x y", ""};
    const char* ends[] = {"\r\n", "\r", "\n"};
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::vector<std::string> dirs{""};
    std::string text = "title line\r\n";
    for (int i = 0; i < lines; ++i) {
        std::string line;
        const int kind = pick(10);
        if (kind < 4) {
            std::string dir = dirs[static_cast<std::size_t>(pick(static_cast<int>(dirs.size())))] +
                              names[pick(5)] + "\\";
            dirs.push_back(dir);
            line = dir + (pick(4) == 0 ? "junk" : "");
        } else if (kind == 4) {
            line = pick(2) ? "\\" : "";
        } else {
            line = std::string("f") + names[pick(5)];
            for (int t = 0, n = 2 + pick(4); t < n; ++t)
                line += "\t" + std::to_string(t);
        }
        text += line + ends[pick(3)];
    }
    return text;
}

} // namespace

TEST(CdsConvert, WritesRootFoldersDirectoriesAndFiles) {
    const std::string head = "<head>\r\nName=games\r\n\r\n<tree>\r\n\\\r\n";
    const struct {
        const char* what;
        std::string source, tree;
    } cases[] = {
        {"file lines only: the root holds them",
         "title\r\nf1\t10\t1.2.2003\t4:05\t\r\nf2\t20\t2.2.2003\t5:06\textra\r\n",
         "f1\t10\t1.2.2003 4:05\t ----\t\t\r\nf2\t20\t2.2.2003 5:06\t ----\t\t\r\n"},
        {"a\\, a\\b\\, c\\: folders under the root and under \\a\\",
         "title\r\na\\\r\na\\b\\\r\nc\\\r\n",
         "a\t0\t \td----\t\t\r\nc\t0\t \td----\t\t\r\n\\a\\\r\nb\t0\t \td----\t\t\r\n"
         "\\a\\b\\\r\n\\c\\\r\n"},
        {"exactly three TABs: the time is empty, the date keeps its blank",
         "title\nf\t1\t3.4.2005\t6:07\n", "f\t1\t3.4.2005 \t ----\t\t\r\n"},
        {"text after the last \\ of a directory line is dropped", "title\ra\\junk\rb\\c\\more\r",
         "a\t0\t \td----\t\t\r\n\\a\\\r\n\\b\\c\\\r\n"},
        {"the first line is never a directory; other lines are skipped",
         "x\\\r\n\r\nno tabs\r\ntwo\ttabs\tonly\r\n", ""},
        {"a subdirectory before its parent's line is not listed under it", "t\r\na\\b\\\r\na\\\r\n",
         "a\t0\t \td----\t\t\r\n\\a\\b\\\r\n\\a\\\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Convert(c.source), head + c.tree);
    }
}

TEST(CdsConvert, GivesTheSameBytesAsTheLineByLineScan) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        const std::string source = RandomCatalogue(rng, 20 + static_cast<int>(seed) * 10);
        SCOPED_TRACE(seed);
        ASSERT_EQ(Convert(source, "r"), slow::Convert(source, "r"));
    }
}

TEST(CdsConvert, NamesTheArchiveAfterTheCatalogueWithoutItsLastFourCharacters) {
    EXPECT_EQ(CdsBaseName("games.cds"), "games");
    EXPECT_EQ(CdsBaseName("x.CDS"), "x");
    EXPECT_EQ(CdsBaseName("abc"), "");

    TempDir dir;
    WriteFile(dir.File("x.CDS"), "t\r\n");
    RecordingHost host;
    const TConvertResult r = ConvertCdsFile(dir.File("x.CDS"), dir.Path(), {}, kRunning, host);
    EXPECT_EQ(r.Outcome, TConvertOutcome::Written);
    EXPECT_EQ(r.Target, dir.File("x.cd"));
    EXPECT_EQ(ReadFile(dir.File("x.cd")), "<head>\r\nName=x\r\n\r\n<tree>\r\n\\\r\n");
}

TEST(CdsConvert, StornoInTheFirstPassWritesNothing) {
    struct StornoHost : RecordingHost {
        std::atomic<bool>* running = nullptr;
        void Pump() override { running->store(false); }
    };
    TempDir dir;
    std::string source = "t\r\n";
    for (int i = 0; i < 5000; ++i)
        source += "d" + std::to_string(i) + "\\\r\n";
    WriteFile(dir.File("big.cds"), source);
    std::atomic<bool> running{true};
    StornoHost host;
    host.running = &running;
    std::vector<int> percents;
    const TConvertResult r = ConvertCdsFile(dir.File("big.cds"), dir.Path(), {}, running, host,
                                            [&](int percent) { percents.push_back(percent); });
    EXPECT_EQ(r.Outcome, TConvertOutcome::Cancelled);
    EXPECT_TRUE(percents.empty()); // stopped before the second pass
    EXPECT_EQ(ListDir(dir.Path()), std::vector<std::string>{"big.cds"});
}

TEST(CdsConvert, GoesOnAfterAFileThatCannotBeReadOrWritten) {
    TempDir dir;
    WriteFile(dir.File("a.cds"), "t\r\na\\\r\n");
    WriteFile(dir.File("keep.cd"), "old");
    WriteFile(dir.File("keep.cds"), "t\r\n");
    RecordingHost host;
    std::vector<std::string> asked;
    auto decline = [&](const std::string& name) {
        asked.push_back(name);
        return false;
    };
    const auto results =
        ConvertCdsFiles({dir.File("missing.cds"), dir.File("keep.cds"), dir.File("a.cds")},
                        dir.Path(), decline, kRunning, host);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].Outcome, TConvertOutcome::Unreadable);
    EXPECT_EQ(results[0].Status.file, dir.File("missing.cds"));
    EXPECT_EQ(results[0].Status.error, ENOENT);
    EXPECT_EQ(results[1].Outcome, TConvertOutcome::Declined);
    EXPECT_EQ(asked, std::vector<std::string>{"keep.cd"});
    EXPECT_EQ(ReadFile(dir.File("keep.cd")), "old");
    EXPECT_EQ(results[2].Outcome, TConvertOutcome::Written);

    const auto unwritable = ConvertCdsFiles({dir.File("a.cds"), dir.File("keep.cds")},
                                            dir.File("no-such-folder"), decline, kRunning, host);
    ASSERT_EQ(unwritable.size(), 2u);
    for (const TConvertResult& r : unwritable) {
        EXPECT_EQ(r.Outcome, TConvertOutcome::NotWritten);
        EXPECT_EQ(r.Status.error, ENOENT);
        EXPECT_EQ(r.Status.file, r.Target);
    }

    // Replacing keeps the first backup.
    const auto replaced = ConvertCdsFiles(
        {dir.File("keep.cds")}, dir.Path(), [](const std::string&) { return true; }, kRunning,
        host);
    EXPECT_EQ(replaced[0].Outcome, TConvertOutcome::Written);
    EXPECT_EQ(ReadFile(dir.File("keep.bak")), "old");
}
