#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include "RecordingProgress.h"
#include "TestSupport.h"
#include "TreeBuilder.h"
#include "WithoutDacOverride.h"
#include "core/catalog/ArchiveFile.h"
#include "core/scan/ScanDriver.h"

using namespace orbisk;
using namespace orbisk::test;

namespace {

using Lines = std::vector<std::string>;

// Each directory as its path, each entry as "Attr Name Note".
Lines Dump(const TArch& arch) {
    Lines out;
    for (int d = 1; d <= arch.DirCount; ++d) {
        const TDir& dir = arch.Dirs[d];
        out.push_back(dir.Path);
        for (int i = dir.First; i < dir.First + dir.Count; ++i)
            out.push_back(arch.Recs[i].Attr + " " + arch.Recs[i].Name + " " + arch.Recs[i].Note);
    }
    return out;
}

class ScanDriver : public ::testing::Test {
protected:
    TempDir source, target;
    TWalkOptions options;
    TAudioCdOptions audioCd;
    TArch scanArchive;
    TArchiveList list;
    TValueLists values;
    RecordingProgress progress;
    RecordingHost host;
    std::atomic<bool> running{false};
    TFixedDateFormatter dates;
    std::vector<TCollisionQuestion> asked;
    TCollisionAnswer answer = TCollisionAnswer::Ne;
    TScanRequest request;

    void SetUp() override {
        MakeTree(source.Path(), {{"DATA/readme.txt", "Hello"}, {"Track01.cda", "cd"}});
        options.Progress = false;
        request.Source = source.Path();
        request.Fields.Name = "Hry 2003";
        BuildArchiveList(target.Path(), list, host);
    }

    TScanResult Scan() {
        TScanContext context{.ScanArchive = scanArchive,
                             .Options = options,
                             .AudioCd = audioCd,
                             .ArchiveList = list,
                             .ValueLists = &values,
                             .Progress = progress,
                             .ScanRunning = running,
                             .UserHost = host,
                             .Dates = dates,
                             .AskCollision = [this](const TCollisionQuestion& q) {
                                 asked.push_back(q);
                                 return answer;
                             }};
        return ScanToArchive(request, context);
    }

    // The archive a scan wrote, read back from its file.
    TArch ReadBack(const std::string& fileName) {
        TArch arch;
        arch.Head.FileName = target.File(fileName);
        EXPECT_TRUE(ReadArchive(arch, host)) << fileName;
        return arch;
    }

    Lines ArchiveFiles() {
        Lines names;
        for (const std::string& name : ListDir(target.Path()))
            if (name.ends_with(".cd")) names.push_back(name);
        return names;
    }
};

TEST_F(ScanDriver, FileNameFromTheNameOrFromLabelAndSerial) {
    struct Case {
        const char* what;
        std::string name, label, serial;
        std::string headerName, fileName, fieldAfter;
    };
    const std::string sixty(60, 'x');
    const std::vector<Case> cases = {
        {"blank name", "   ", "GAMES", "1A2B-0C3D", "GAMES" + std::string(8, ' ') + "- 1A2B-0C3D",
         "GAMES" + std::string(10, '_') + "1A2B_0C3D.cd", ""},
        {"empty name, no medium", "", "", "0000-0000", std::string(13, ' ') + "- 0000-0000",
         std::string(15, '_') + "0000_0000.cd", ""},
        {"long label stays whole", "", "VERYLONGLABEL01", "00AB-CDEF",
         "VERYLONGLABEL01 - 00AB-CDEF", "VERYLONGLABEL01___00AB_CDEF.cd", ""},
        {"label padded by characters", " ", "ŽÁBA", "0000-0001",
         "ŽÁBA" + std::string(9, ' ') + "- 0000-0001",
         "__BA" + std::string(11, '_') + "0000_0001.cd", ""},
        {"typed name", "Hry 2003", "GAMES", "1A2B-0C3D", "Hry 2003", "Hry_2003.cd", "Hry 2003"},
        {"60 characters give 56", sixty, "", "0000-0000", sixty, std::string(56, 'x') + ".cd",
         sixty},
        {"one character per UTF-8 sequence", "kůň-2", "", "0000-0000", "kůň-2", "k___2.cd",
         "kůň-2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        request.Fields.Name = c.name;
        request.Volume = {c.label, c.serial};
        TScanResult r = Scan();
        ASSERT_TRUE(r.Written());
        EXPECT_EQ(r.FileName, c.fileName);
        EXPECT_EQ(r.Path, target.File(c.fileName));
        EXPECT_EQ(request.Fields.Name, c.fieldAfter);
        const TArch arch = ReadBack(c.fileName);
        EXPECT_EQ(arch.Head.Name, c.headerName);
        EXPECT_EQ(arch.Head.SN, c.serial);
        EXPECT_EQ(arch.Head.Volume, c.label);
        EXPECT_TRUE(asked.empty());
    }
}

TEST_F(ScanDriver, HeaderValuesAreCleanedAndFiledUnderTheirTreePath) {
    struct Case {
        TScanFields fields;
        TScanFields stored; // Name, Medium, Typ, SubTyp, Owner, Description
        std::string treePath;
    };
    const std::vector<Case> cases = {
        {{"A\\B\tC", "CD", "Hry", "Akce", "Petr", "x\x07y"},
         {"A B C", "CD", "Hry", "Akce", "Petr", "x y"},
         "\\CD\\Hry\\Akce\\"},
        {{"N1", "", "", "", "", ""}, {"N1", "other", "", "", "", ""}, "\\other\\"},
        {{"N2", "DVD", "", "Sub", "", ""}, {"N2", "DVD", "", "Sub", "", ""}, "\\DVD\\"},
        {{"N3", "\\", "a\\b", "", "", ""}, {"N3", " ", "a b", "", "", ""}, "\\ \\a b\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fields.Name);
        request.Fields = c.fields;
        TScanResult r = Scan();
        ASSERT_TRUE(r.Written());
        const THead& head = ReadBack(r.FileName).Head;
        const TScanFields& s = c.stored;
        EXPECT_EQ(
            (Lines{head.Name, head.Medium, head.Typ, head.SubTyp, head.Owner, head.Description}),
            (Lines{s.Name, s.Medium, s.Typ, s.SubTyp, s.Owner, s.Description}));
        ASSERT_EQ(r.Slot, list.ArchiveCount());
        const THead& row = list[r.Slot];
        EXPECT_EQ(row.FileName, r.FileName);
        EXPECT_EQ(row.TreePath, c.treePath);
        EXPECT_EQ(row.Listed, 1);
        EXPECT_EQ(request.Fields.Medium, s.Medium); // the cleaned texts go back to the fields
    }
    EXPECT_EQ(values.MediumList, (Lines{"CD", "other", "DVD", " "}));
    EXPECT_EQ(values.TypList, (Lines{"Hry", "a b"}));
    EXPECT_EQ(values.OwnerList, (Lines{"Petr"}));
    // _cd_.lst holds every archive the scans filed.
    BuildArchiveList(target.Path(), list, host);
    EXPECT_EQ(list.ArchiveCount(), 4);
}

TEST_F(ScanDriver, CollisionOffersTheFirstFreeNumberAndHonoursTheAnswer) {
    struct Case {
        TCollisionAnswer answer;
        std::string name;
        TScanOutcome outcome;
        std::string written; // empty when nothing is written
        std::string fieldAfter;
    };
    const std::vector<Case> cases = {
        {TCollisionAnswer::Ne, "Hry 2003", TScanOutcome::Written, "Hry_2003_1.cd", "Hry 2003"},
        {TCollisionAnswer::Ano, "Hry 2003", TScanOutcome::Written, "Hry_2003.cd", "Hry 2003"},
        {TCollisionAnswer::Storno, "Hry 2003", TScanOutcome::Declined, "", "Hry 2003"},
        {TCollisionAnswer::Storno, "", TScanOutcome::Declined, "", ""},
    };
    for (const Case& c : cases) {
        TempDir folder;
        WriteFile(folder.File("Hry_2003.cd"), "<head>\r\nName=old\r\n<tree>\r\n");
        WriteFile(folder.File("Hry_2003_0.cd"), "<head>\r\nName=old 0\r\n<tree>\r\n");
        WriteFile(folder.File("_______________0000_0000.cd"), "<head>\r\nName=g\r\n<tree>\r\n");
        BuildArchiveList(folder.Path(), list, host);
        const std::int32_t rowsBefore = list.ArchiveCount();
        const std::string cacheBefore = ReadFile(folder.File("_cd_.lst"));
        asked.clear();
        progress.log.clear();
        answer = c.answer;
        request.Fields.Name = c.name;
        request.Volume = {};
        TScanResult r = Scan();
        SCOPED_TRACE(c.name + " " + std::to_string(static_cast<int>(c.answer)));
        ASSERT_EQ(asked.size(), 1u);
        if (c.name.empty()) {
            EXPECT_EQ(asked[0].NumberedBase, "_______________0000_0000_0");
        } else {
            EXPECT_EQ(asked[0].Title, "Cílový soubor [Hry_2003.cd] již existuje ! ");
            EXPECT_EQ(asked[0].Text, "Nový soubor může mít název [Hry_2003_1.cd].\r\n\r\n"
                                     "Přepsat soubor -> [ANO], jiný název -> [NE], "
                                     "zpět-zrušit -> [Storno]");
        }
        EXPECT_EQ(r.Outcome, c.outcome);
        EXPECT_EQ(request.Fields.Name, c.fieldAfter);
        if (c.written.empty()) {
            EXPECT_TRUE(progress.log.empty()); // nothing was scanned
            EXPECT_EQ(list.ArchiveCount(), rowsBefore);
            EXPECT_EQ(ReadFile(folder.File("_cd_.lst")), cacheBefore);
            continue;
        }
        EXPECT_EQ(r.Path, folder.File(c.written));
        EXPECT_EQ(list[r.Slot].FileName, c.written);
        if (c.answer == TCollisionAnswer::Ano) {
            EXPECT_EQ(ReadFile(folder.File("Hry_2003.bak")),
                      "<head>\r\nName=old\r\n<tree>\r\n"); // the replaced file stays as .bak
            // The old row of the same file gives way to the new one.
            EXPECT_EQ(r.ListedCount, rowsBefore);
        } else {
            EXPECT_EQ(r.ListedCount, rowsBefore + 1);
        }
    }
}

// The name a "NE" gives: base_i.cd for the smallest i from 0 that no file of
// the folder has, names compared exactly as the file system does.
TEST(NumberedBase, SmallestFreeNumberFromZero) {
    const struct {
        Lines existing;
        std::string want;
    } cases[] = {
        {{}, "Hry_0"},
        {{"Hry.cd"}, "Hry_0"},
        {{"Hry.cd", "Hry_0.cd"}, "Hry_1"},
        {{"Hry_0.cd", "Hry_1.cd", "Hry_2.cd"}, "Hry_3"},
        {{"Hry_1.cd"}, "Hry_0"},
        {{"Hry_0.bak", "Hry_0.txt", "Hry_00.cd"}, "Hry_0"},
        {{"hry_0.cd", "HRY_0.cd"}, "Hry_0"},
    };
    for (const auto& c : cases) {
        TempDir folder;
        for (const std::string& name : c.existing)
            WriteFile(folder.File(name), "x");
        EXPECT_EQ(NumberedBase(folder.Path(), "Hry"), c.want) << testing::PrintToString(c.existing);
    }
}

TEST_F(ScanDriver, CancelledScanWritesNothingAndLeavesTheListAlone) {
    const std::string cacheBefore = ReadFile(target.File("_cd_.lst"));
    options.Progress = true;
    progress.onAdd = [&](std::string_view line) {
        if (line.starts_with("\\ ")) running = false;
    };
    TScanResult r = Scan();
    EXPECT_EQ(r.Outcome, TScanOutcome::Cancelled);
    EXPECT_EQ(progress.lines, (Lines{"Načítání zrušeno."}));
    EXPECT_EQ(r.ResultLines, (Lines{"Načítání zrušeno."}));
    EXPECT_TRUE(ArchiveFiles().empty());
    EXPECT_EQ(list.ArchiveCount(), 0);
    EXPECT_EQ(ReadFile(target.File("_cd_.lst")), cacheBefore);
    EXPECT_FALSE(running);
    // The scan's arrays are given back whatever the outcome.
    EXPECT_EQ(scanArchive.Recs.size(), 1u);
    EXPECT_EQ(scanArchive.Dirs.size(), 1u);
}

TEST_F(ScanDriver, EmptySourceScansNothing) {
    request.Source.clear();
    request.Fields.Name = "";
    TScanResult r = Scan();
    EXPECT_EQ(r.Outcome, TScanOutcome::Declined);
    EXPECT_TRUE(progress.log.empty());
    EXPECT_TRUE(ArchiveFiles().empty());
    EXPECT_EQ(request.Fields.Name, "");
}

TEST_F(ScanDriver, ResultLinesNameTheCountTheFiltersAndTheSave) {
    MakeTree(source.Path(), {{"DATA/locked/secret.txt", "s"}, {"song.mp3", "m"}});
    struct Case {
        const char* what;
        bool onlyFolders, selectedTypes, lockFolder;
        Lines lines;
        bool selectedTypesAfter;
    };
    const std::string saved = "Archiv uložen na disk.   \"Hry 2003\"";
    const std::vector<Case> cases = {
        {"all entries",
         false,
         false,
         false,
         {"Celkem 6 adresářů a souborů.", "", "Ukládám Archiv na disk...", saved},
         false},
        {"only folders wins over selected types",
         true,
         true,
         false,
         {"Celkem 2 adresářů a souborů.", "(Načítat pouze adresáře)", "",
          "Ukládám Archiv na disk...", saved},
         false},
        {"selected types",
         false,
         true,
         false,
         {"Celkem 3 adresářů a souborů.", "(Načítat jen vybrané typy souborů)", "",
          "Ukládám Archiv na disk...", saved},
         true},
        {"unreadable folder",
         false,
         false,
         true,
         {"Celkem 5 adresářů a souborů.", "Adresářů, které nešlo přečíst: 1", "",
          "Ukládám Archiv na disk...", saved},
         false},
    };
    options.ScanExtensions = {".mp3"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        options.OnlyFolders = c.onlyFolders;
        options.SelectedTypes = c.selectedTypes;
        ::chmod(source.File("DATA/locked").c_str(), c.lockFolder ? 0 : 0755);
        WithoutDacOverride noOverride;
        if (c.lockFolder) {
            if (DIR* probe = ::opendir(source.File("DATA/locked").c_str())) {
                ::closedir(probe);
                ::chmod(source.File("DATA/locked").c_str(), 0755);
                GTEST_SKIP() << "a folder of mode 000 stays readable here";
            }
        }
        TScanResult r = Scan();
        ::chmod(source.File("DATA/locked").c_str(), 0755);
        ASSERT_TRUE(r.Written());
        EXPECT_EQ(r.ResultLines, c.lines);
        EXPECT_EQ(
            Lines(progress.lines.end() - static_cast<long>(c.lines.size()), progress.lines.end()),
            c.lines);
        EXPECT_EQ(progress.lines.front(), "Načítám...");
        EXPECT_EQ(options.SelectedTypes, c.selectedTypesAfter);
    }
}

TEST_F(ScanDriver, FailedWriteIsReportedAndNotListed) {
    // A folder where the archive should go cannot be replaced by a file.
    ASSERT_EQ(::mkdir(target.File("Hry_2003.cd").c_str(), 0755), 0);
    answer = TCollisionAnswer::Ano;
    TScanResult r = Scan();
    EXPECT_EQ(r.Outcome, TScanOutcome::NotWritten);
    EXPECT_EQ(r.ResultLines.back(), "Archiv nebyl uložen na disk !!!");
    EXPECT_EQ(host.warns, (Lines{"Nelze vytvořit soubor."}));
    EXPECT_EQ(list.ArchiveCount(), 0);
    EXPECT_EQ(r.Slot, 0);
}

TEST_F(ScanDriver, TextDescriptionsNeedTheExtensionList) {
    options.Text = true;
    TScanResult r = Scan();
    ASSERT_TRUE(r.Written());
    EXPECT_FALSE(options.Text); // switched off: no extension is ticked
    TArch arch = ReadBack(r.FileName);
    EXPECT_EQ(arch.Recs[arch.Dirs[2].First].Description, "");

    options.Text = true;
    options.DescriptionExtensions = {".TXT"};
    request.Fields.Name = "with text";
    r = Scan();
    ASSERT_TRUE(r.Written());
    EXPECT_TRUE(options.Text);
    arch = ReadBack(r.FileName);
    EXPECT_EQ(arch.Recs[arch.Dirs[2].First].Description, "Hello");
}

TEST_F(ScanDriver, AudioCdTitlesOnlyForAnAudioCdLabel) {
    TempDir programDir;
    WriteFile(programDir.File("CDPLAYER.INI"),
              "[12AB34]\r\nartist=Band\r\ntitle=Album\r\n0=Intro\r\n");
    request.ProgramDir = programDir.Path();
    struct Case {
        std::string label;
        bool use, rename;
        Lines root;
        std::string description;
    };
    const std::vector<Case> cases = {
        {"Audio CD", true, false, {"\\", "d---- DATA ", " ---- Track01.cda Intro"}, "Album - Band"},
        {"AUDIO CD", true, true, {"\\", "d---- DATA ", " ---- Intro Track01.cda"}, "Album - Band"},
        {"AUDIO CD", false, false, {"\\", "d---- DATA ", " ---- Track01.cda "}, "typed"},
        {"AUDIO", true, false, {"\\", "d---- DATA ", " ---- Track01.cda "}, "typed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label + (c.use ? " on" : " off"));
        audioCd.UseCdPlayer = c.use;
        audioCd.Titles.ReplaceTrackName = c.rename;
        request.Volume = {c.label, "0012-AB34"};
        request.Fields.Description = "typed";
        answer = TCollisionAnswer::Ano;
        TScanResult r = Scan();
        ASSERT_TRUE(r.Written());
        const TArch arch = ReadBack(r.FileName);
        Lines root = Dump(arch);
        root.resize(3);
        EXPECT_EQ(root, c.root);
        EXPECT_EQ(arch.Head.Description, c.description);
    }
}

TEST_F(ScanDriver, AudioCdIsRecordedFromItsTableOfContents) {
    // Two audio tracks and a data track; the serial 003C-200F keys the
    // CD player's titles.
    TCdToc toc{
        1, 3, {{1, {0, 2, 0}, false}, {2, {20, 0, 0}, false}, {3, {40, 30, 15}, true}}, {60, 0, 0}};
    TempDir programDir;
    WriteFile(programDir.File("CDPLAYER.INI"),
              "[3C200F]\r\nartist=Band\r\ntitle=Album\r\n0=Intro\r\n1=Outro\r\n");
    request.ProgramDir = programDir.Path();
    request.Source = "/dev/sr0"; // a drive, not a folder: nothing is walked
    request.Volume = AudioCdVolume(toc);
    request.AudioToc = toc;
    audioCd.UseCdPlayer = true;
    const TScanResult r = Scan();
    ASSERT_TRUE(r.Written());
    const TArch arch = ReadBack(r.FileName);
    EXPECT_EQ(Dump(arch), (Lines{"\\", " r--- Track01.cda Intro", " r--- Track02.cda Outro"}));
    for (int i = 1; i <= arch.RecCount; ++i)
        EXPECT_EQ(arch.Recs[i].Size, "44");
    EXPECT_EQ(arch.Head.Volume, "AUDIO CD");
    EXPECT_EQ(arch.Head.SN, "003C-200F");
    EXPECT_EQ(arch.Head.Description, "Album - Band");
}

} // namespace
