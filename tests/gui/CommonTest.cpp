// The pieces every window stands on: the event pump's throttle and the host
// that carries core's messages to Prompt.
#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "core/catalog/ArchiveFile.h"
#include "core/catalog/Common.h"
#include "gui/common/Dialogs.h"
#include "gui/common/GuiHost.h"
#include "gui/common/IconSet.h"
#include "gui/common/Prompt.h"
#include "gui/common/QtTranslation.h"

namespace orbisk {
namespace {

using namespace std::chrono_literals;

TEST(EventPump, RunsPendingEventsAtMostOncePerInterval) {
    struct Row {
        const char* what;
        std::vector<int> callsAtMs;
        int expectedRuns;
    } rows[] = {
        {"first call always runs", {0}, 1},
        {"calls within the interval are skipped", {0, 1, 5, 14}, 1},
        {"a call once the interval passed runs", {0, 15}, 2},
        {"the interval counts from the last run", {0, 10, 16, 20, 31}, 3},
        {"a hundred thousand calls within 150 ms run ten times", {}, 10},
    };
    for (const Row& row : rows) {
        std::chrono::steady_clock::time_point now{};
        int runs = 0;
        EventPump pump(
            15ms, [&] { return now; }, [&] { ++runs; });
        std::vector<int> calls = row.callsAtMs;
        if (calls.empty())
            for (int i = 0; i < 100000; ++i)
                calls.push_back(i * 150 / 100000);
        for (int ms : calls) {
            now = std::chrono::steady_clock::time_point{} + std::chrono::milliseconds(ms);
            pump.Pump();
        }
        EXPECT_EQ(runs, row.expectedRuns) << row.what;
    }
}

TEST(EventPump, RealPumpDeliversPostedEvents) {
    bool delivered = false;
    QObject receiver;
    QMetaObject::invokeMethod(
        &receiver, [&] { delivered = true; }, Qt::QueuedConnection);
    EventPump pump;
    EXPECT_TRUE(pump.Pump());
    EXPECT_TRUE(delivered);
    EXPECT_FALSE(pump.Pump()); // right after a run: throttled
    pump.PumpNow();
}

TEST(GuiHost, ShowsCoreMessagesThroughPromptInTheirKind) {
    ScriptedPrompt prompt;
    GuiHost host;
    host.Inform(kMsgFileMissing);
    host.Warn(kMsgCannotCreate);
    ASSERT_EQ(prompt.shown.size(), 2u);
    EXPECT_EQ(prompt.shown[0].kind, PromptKind::Information);
    EXPECT_EQ(prompt.shown[0].text, QString::fromUtf8("Soubor není k dispozici."));
    EXPECT_EQ(prompt.shown[1].kind, PromptKind::Warning);
    EXPECT_EQ(prompt.shown[1].text, QString::fromUtf8("Nelze vytvořit soubor."));
}

TEST(Prompt, ScriptedQuestionsTakeQueuedAnswersThenTheHarmlessOne) {
    ScriptedPrompt prompt;
    prompt.answers = {PromptAnswer::Ok, PromptAnswer::Yes};
    struct Row {
        PromptButtons buttons;
        PromptAnswer expected;
    } rows[] = {
        {PromptButtons::OkCancel, PromptAnswer::Ok},
        {PromptButtons::YesNoCancel, PromptAnswer::Yes},
        {PromptButtons::OkCancel, PromptAnswer::Cancel},
        {PromptButtons::YesNoCancel, PromptAnswer::Cancel},
        {PromptButtons::YesNo, PromptAnswer::No},
    };
    for (const Row& row : rows)
        EXPECT_EQ(
            Prompt::Question(QStringLiteral("Potvrzení..."), QStringLiteral("?"), row.buttons),
            row.expected);
    EXPECT_EQ(prompt.Texts(PromptKind::Question).size(), std::size(rows));
}

TEST(Prompt, MessageBoxButtonsCarryTheProgramsOwnCaptions) {
    struct Row {
        PromptKind kind;
        PromptButtons buttons;
        QStringList captions; // sorted
    } rows[] = {
        {PromptKind::Information, PromptButtons::Ok, {"OK"}},
        {PromptKind::Warning, PromptButtons::YesNo, {"OK"}},
        {PromptKind::Question, PromptButtons::OkCancel, {"OK", "Storno"}},
        {PromptKind::Question, PromptButtons::YesNo, {"Ano", "Ne"}},
        {PromptKind::Question, PromptButtons::YesNoCancel, {"Ano", "Ne", "Storno"}},
    };
    auto captions = [](PromptKind kind, PromptButtons buttons) {
        const auto box =
            MakeMessageBox(nullptr, kind, QStringLiteral("T"), QStringLiteral("?"), buttons);
        QStringList texts;
        for (QAbstractButton* button : box->buttons())
            texts.append(button->text());
        texts.sort();
        return texts;
    };
    for (const Row& row : rows)
        EXPECT_EQ(captions(row.kind, row.buttons), row.captions);
    // A language file replaces the captions in their one place.
    const TPromptTexts czech = PromptTexts();
    PromptTexts().Yes = QStringLiteral("Yes");
    EXPECT_EQ(captions(PromptKind::Question, PromptButtons::YesNo),
              (QStringList{QStringLiteral("Ne"), QStringLiteral("Yes")}));
    PromptTexts() = czech;
}

TEST(Prompt, NestedScriptedPromptsRestoreTheOuterOne) {
    ScriptedPrompt outer;
    {
        ScriptedPrompt inner;
        Prompt::Warning(QStringLiteral("inner"));
        EXPECT_EQ(inner.shown.size(), 1u);
    }
    Prompt::Warning(QStringLiteral("outer"));
    ASSERT_EQ(outer.shown.size(), 1u);
    EXPECT_EQ(outer.shown[0].text, QStringLiteral("outer"));
}

TEST(Dialogs, AFolderRootAdmitsItselfAndWhatLiesBelowOnly) {
    test::TempDir dir;
    const QString root = QString::fromStdString(dir.File("prog"));
    std::filesystem::create_directories(dir.File("prog/lang/cz"));
    std::filesystem::create_directories(dir.File("program"));
    std::filesystem::create_directory_symlink(dir.File("program"), dir.File("prog/link"));
    struct Row {
        QString path;
        bool inside;
    } rows[] = {
        {root, true},
        {root + "/", true},
        {root + "/lang/cz", true},
        {root + "/lang/../lang", true},
        {root + "/missing", true},
        {QString::fromStdString(dir.Path()), false},
        {QString::fromStdString(dir.File("program")), false}, // same beginning, other folder
        {root + "/lang/../..", false},
        {root + "/link", false}, // leads out of the root
    };
    for (const Row& row : rows)
        EXPECT_EQ(IsInsideFolder(row.path, root), row.inside) << row.path.toStdString();
}

TEST(QtTranslation, PicksTheFileOfTheLanguageOrOfItsBase) {
    struct Row {
        const char* language;
        QStringList files;
        const char* picked; // empty: none
    } rows[] = {
        {"cs", {"qtbase_cs.qm", "qt_cs.qm"}, "qtbase_cs.qm"},
        {"cs_CZ", {"qtbase_cs.qm"}, "qtbase_cs.qm"},
        {"cs_CZ", {"qtbase_cs.qm", "qtbase_cs_CZ.qm"}, "qtbase_cs_CZ.qm"},
        {"de", {"qtbase_cs.qm", "qt_de.qm"}, ""},
        {"", {"qtbase_.qm"}, ""},
    };
    for (const Row& row : rows) {
        test::TempDir dir;
        for (const QString& file : row.files)
            test::WriteFile(dir.File(file.toStdString()), "x");
        const QString folder = QString::fromStdString(dir.Path());
        const QString picked = QtTranslationFile(QString::fromLatin1(row.language), folder);
        EXPECT_EQ(picked,
                  *row.picked ? folder + QLatin1Char('/') + QLatin1String(row.picked) : QString())
            << row.language;
    }
}

TEST(QtTranslation, InstallsCzechAndLeavesEnglishWhenTheFileIsMissing) {
    auto lookIn = [] { return QCoreApplication::translate("QFileDialog", "Look in:"); };
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    ASSERT_FALSE(QtTranslationFile(QStringLiteral("cs"), qtFolder).isEmpty())
        << "qt6-translations-l10n is not installed";
    EXPECT_NE(InstallQtTranslation(QStringLiteral("cs")), nullptr);
    const QString czech = lookIn();
    EXPECT_NE(czech, QStringLiteral("Look in:"));
    // Installing again replaces the translation rather than stacking it.
    EXPECT_NE(InstallQtTranslation(QStringLiteral("cs_CZ")), nullptr);
    EXPECT_EQ(lookIn(), czech);

    test::TempDir dir;
    test::WriteFile(dir.File("qtbase_cs.qm"), "not a translation");
    const QString broken = QString::fromStdString(dir.Path());
    for (const QString& language : {QStringLiteral("xx"), QStringLiteral("cs")}) {
        EXPECT_EQ(InstallQtTranslation(language, broken), nullptr) << language.toStdString();
        EXPECT_EQ(lookIn(), QStringLiteral("Look in:"));
    }
}

TEST(SystemIcons, FilesTakeTheThemesPictureOfTheirTypeWhileSwitchedOn) {
    auto fileIcon = [](const char* name) {
        return EntryIcon(name, false, FileClassIcon(name)).cacheKey();
    };
    const qint64 ownMp3 = OwnIcon(FileClassIcon("a.mp3")).cacheKey();
    const qint64 ownPdf = OwnIcon(FileClassIcon("a.pdf")).cacheKey();
    EXPECT_EQ(fileIcon("a.mp3"), ownMp3);
    EXPECT_EQ(fileIcon("a.pdf"), ownPdf);
    {
        test::SystemIconsOnScope on;
        const QIcon mp3 = EntryIcon("a.mp3", false, FileClassIcon("a.mp3"));
        const QIcon pdf = EntryIcon("a.pdf", false, FileClassIcon("a.pdf"));
        ASSERT_FALSE(mp3.isNull() || pdf.isNull()) << "no icon theme is installed";
        EXPECT_NE(mp3.cacheKey(), ownMp3) << "the theme has no picture of sound";
        EXPECT_NE(pdf.cacheKey(), ownPdf) << "the theme has no picture of documents";
        EXPECT_NE(mp3.cacheKey(), pdf.cacheKey());
        // One extension in any case, and names without one, share a picture.
        EXPECT_EQ(fileIcon("b.MP3"), mp3.cacheKey());
        EXPECT_EQ(fileIcon("README"), fileIcon("Makefile"));
        EXPECT_NE(EntryIcon("Music", true, kIconFolder).cacheKey(),
                  OwnIcon(kIconFolder).cacheKey());
        // The program's own rows keep their pictures.
        for (int own : {kIconParent, kIconPacked, kIconMerged})
            EXPECT_EQ(EntryIcon("x.zip", own == kIconParent, own).cacheKey(),
                      OwnIcon(own).cacheKey())
                << own;
    }
    EXPECT_EQ(fileIcon("a.mp3"), ownMp3);
}

} // namespace
} // namespace orbisk
