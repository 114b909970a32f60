// The archive list: opening, deleting with the question, the properties
// window, sorting, the context menu and the view settings.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <sys/stat.h>

#include "ArchiveTestSupport.h"
#include "WithoutDacOverride.h"
#include "gui/common/ListView.h"
#include "gui/mainwin/ArchiveListHandler.h"
#include "gui/mainwin/ContentBrowser.h"
#include "gui/mainwin/ContentModel.h"
#include "gui/mainwin/TForm_Vlastnosti.h"

namespace orbisk::test {
namespace {

const std::vector<ArchiveHeaderRow> kGames = {
    {"b.cd", "Doom", "CD", "Hry", ""},
    {"a.cd", "Quake", "CD", "Hry", ""},
    {"c.cd", "Abuse", "CD", "Hry", ""},
};

ArchiveListHandler& Commands(TForm_Main& w) {
    return w.Archives().ListCommands();
}

TEST_F(ArchiveTest, EnterAndDoubleClickOpenTheSelectedArchive) {
    TForm_Main& w = StartWith(kGames);
    SelectPath("\\CD\\Hry\\");
    ListView& list = *w.Controls().ListView_CD;
    list.SelectRow(1);
    QTest::keyClick(list.CurrentView(), Qt::Key_Return);
    EXPECT_EQ(w.CurrentArchive.Head.Name, "Doom");
    list.SelectRow(2);
    Q_EMIT list.Activated();
    EXPECT_EQ(w.CurrentArchive.Head.Name, "Quake");
    EXPECT_EQ(w.Content().Model().rowCount(), 1);
    QTest::keyClick(list.CurrentView(), Qt::Key_Backspace);
    EXPECT_TRUE(w.Controls().TreeView_Arch->hasFocus());
}

TEST_F(ArchiveTest, DeletingAsksForEachArchiveAndDeletesTheConfirmedOnes) {
    struct Row {
        const char* what;
        std::vector<PromptAnswer> answers; // Doom, Quake
        std::vector<QString> left;
        std::vector<std::string> files;
    } rows[] = {
        {"both confirmed", {PromptAnswer::Ok, PromptAnswer::Ok}, {"Abuse"}, {"c.cd"}},
        {"the second cancelled",
         {PromptAnswer::Ok, PromptAnswer::Cancel},
         {"Abuse", "Quake"},
         {"a.cd", "c.cd"}},
        {"both cancelled",
         {PromptAnswer::Cancel, PromptAnswer::Cancel},
         {"Abuse", "Doom", "Quake"},
         {"a.cd", "b.cd", "c.cd"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TForm_Main& w = StartWith(kGames);
        SelectPath("\\CD\\Hry\\");
        SelectNames({QStringLiteral("Doom"), QStringLiteral("Quake")});
        prompt_.shown.clear();
        prompt_.answers.assign(row.answers.begin(), row.answers.end());
        QTest::keyClick(w.Controls().ListView_CD->CurrentView(), Qt::Key_Delete);
        ASSERT_EQ(prompt_.shown.size(), 2u);
        EXPECT_EQ(prompt_.shown[0].title, QStringLiteral("Potvrzení..."));
        EXPECT_EQ(prompt_.shown[0].text,
                  QStringLiteral("Chcete skutečně smazat Doom (soubor b.cd) ?"));
        EXPECT_EQ(prompt_.shown[1].text,
                  QStringLiteral("Chcete skutečně smazat Quake (soubor a.cd) ?"));
        EXPECT_EQ(ListNames(), row.left);
        std::vector<std::string> files;
        for (const std::string& name : ListDir(work_.Path()))
            if (name.ends_with(".cd")) files.push_back(name);
        EXPECT_EQ(files, row.files);
        EXPECT_EQ(CacheLines().size(), row.files.size());
        EXPECT_EQ(w.Controls().StatusArchives->text(), QString::number(row.files.size()));
        window_.reset();
        for (const ArchiveHeaderRow& header : kGames)
            WriteHeader(header);
    }
}

TEST_F(ArchiveTest, AnArchiveThatCannotBeDeletedIsReportedAndKeepsItsRow) {
    TForm_Main& w = StartWith(kGames);
    SelectPath("\\CD\\Hry\\");
    SelectNames({QStringLiteral("Doom")});
    prompt_.shown.clear();
    prompt_.answers = {PromptAnswer::Ok};
    ::chmod(work_.Path().c_str(), 0555);
    {
        WithoutDacOverride restricted;
        if (!restricted.Active()) GTEST_SKIP() << "capabilities cannot be dropped";
        Commands(w).DeleteCommand();
    }
    ::chmod(work_.Path().c_str(), 0755);
    EXPECT_EQ(prompt_.Texts(PromptKind::Warning),
              std::vector<QString>{QStringLiteral("Nelze smazat soubor b.cd")});
    EXPECT_EQ(ListNames(), (std::vector<QString>{"Abuse", "Doom", "Quake"}));
    EXPECT_TRUE(FileExists(work_.File("b.cd")));
    EXPECT_EQ(w.Controls().StatusArchives->text(), QStringLiteral("3"));
}

TEST_F(ArchiveTest, AListThatCannotBeWrittenIsReportedOnceUntilAWriteSucceeds) {
    TForm_Main& w = StartWith(kGames);
    prompt_.shown.clear();
    const std::string cache = work_.File("_cd_.lst");
    ::chmod(work_.Path().c_str(), 0555);
    {
        WithoutDacOverride restricted;
        if (!restricted.Active()) GTEST_SKIP() << "capabilities cannot be dropped";
        w.Archives().MoveToCategory({1}, "\\CD\\Ostatni\\");
        w.Archives().MoveToCategory({2}, "\\CD\\Ostatni\\");
    }
    ::chmod(work_.Path().c_str(), 0755);
    EXPECT_EQ(prompt_.Texts(PromptKind::Warning),
              std::vector<QString>{QStringLiteral("Nelze vytvořit soubor.") + QStringLiteral(" ") +
                                   QString::fromStdString(cache) +
                                   QStringLiteral(": Permission denied")});
    // A write that succeeds clears the report, so the next failure is told.
    w.Archives().MoveToCategory({3}, "\\CD\\Ostatni\\");
    ::chmod(work_.Path().c_str(), 0555);
    {
        WithoutDacOverride restricted;
        w.Archives().MoveToCategory({1}, "\\CD\\Hry\\");
    }
    ::chmod(work_.Path().c_str(), 0755);
    EXPECT_EQ(prompt_.Texts(PromptKind::Warning).size(), 2u);
}

TEST_F(ArchiveTest, DeleteOnAnArchiveLeafAsksAndRemovesTheLeaf) {
    TForm_Main& w = StartWith(kGames, {.ArchivesInTree = true});
    // Slots follow the file names: a.cd Quake, b.cd Doom, c.cd Abuse.
    w.Controls().TreeView_Arch->setCurrentIndex(Tree().FindArchive(2));
    prompt_.shown.clear();
    prompt_.answers = {PromptAnswer::Ok};
    QTest::keyClick(w.Controls().TreeView_Arch, Qt::Key_Delete);
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_FALSE(FileExists(work_.File("b.cd")));
    EXPECT_FALSE(Tree().FindArchive(2).isValid());
    EXPECT_EQ(ListNames(), (std::vector<QString>{"Abuse", "Quake"}));
}

TEST_F(ArchiveTest, DeletingTheOpenArchiveClosesItUnsaved) {
    const struct {
        const char* open;
        bool closed;
    } rows[] = {{"Doom", true}, {"Quake", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.open);
        TForm_Main& w = StartWith(kGames);
        SelectPath("\\CD\\Hry\\");
        SelectNames({QString::fromLatin1(row.open)});
        Commands(w).OpenCommand();
        TypeNote(0, QStringLiteral("unsaved"));
        ASSERT_TRUE(w.Modified());
        SelectNames({QStringLiteral("Doom")});
        prompt_.answers = {PromptAnswer::Ok};
        Commands(w).DeleteCommand();
        ASSERT_FALSE(FileExists(work_.File("b.cd")));
        EXPECT_EQ(w.Modified(), !row.closed);
        EXPECT_EQ(w.CurrentArchive.Head.Name, row.closed ? "" : row.open);
        EXPECT_EQ(w.Content().Model().rowCount(), row.closed ? 0 : 1);
        EXPECT_EQ(w.Controls().TreeTitle->text(),
                  row.closed ? QStringLiteral(" [ ]") : QString::fromLatin1(row.open));
        // Closing the window saves only what is still open.
        w.close();
        EXPECT_FALSE(FileExists(work_.File("b.cd")));
        window_.reset();
        for (const ArchiveHeaderRow& header : kGames)
            WriteHeader(header);
    }
}

void AnswerProperties(QWidget* modal, const TArchiveProperties& typed, bool ok, QString* title) {
    auto* window = qobject_cast<TForm_Vlastnosti*>(modal);
    ASSERT_NE(window, nullptr);
    *title = window->windowTitle();
    window->Edit_Name->setText(QString::fromStdString(typed.Name));
    window->ComboBox_Typ->setEditText(QString::fromStdString(typed.Typ));
    window->ComboBox_SubTyp->setEditText(QString::fromStdString(typed.SubTyp));
    window->ComboBox_Medium->setEditText(QString::fromStdString(typed.Medium));
    window->ComboBox_Owner->setEditText(QString::fromStdString(typed.Owner));
    window->Edit_Popis->setText(QString::fromStdString(typed.Description));
    (ok ? window->Button_OK : window->Button_Storno)->click();
}

TEST_F(ArchiveTest, PropertiesRewriteTheHeaderAndMoveTheArchive) {
    struct Row {
        const char* what;
        TArchiveProperties typed;
        bool ok;
        TArchiveProperties stored;
        const char* node; // selected afterwards
    } rows[] = {
        {"new categories",
         {"Doom II", "Hry", "Akce", "DVD", "Petr", "id"},
         true,
         {"Doom II", "Hry", "Akce", "DVD", "Petr", "id"},
         "\\DVD\\Hry\\Akce\\"},
        {"same categories, new name",
         {"Doom 2", "Hry", "", "CD", "", ""},
         true,
         {"Doom 2", "Hry", "", "CD", "", ""},
         "\\CD\\Hry\\"},
        {"empty name and medium",
         {"", "Hry", "", "", "", "a\\b"},
         true,
         {" ", "Hry", "", "other", "", "a b"},
         "\\other\\Hry\\"},
        {"Storno",
         {"X", "Y", "", "Z", "", ""},
         false,
         {"Doom", "Hry", "", "CD", "", ""},
         "\\CD\\Hry\\"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove(work_.File(std::string(kArchiveListFile)));
        TForm_Main& w = StartWith(kGames);
        SelectPath("\\CD\\Hry\\");
        SelectNames({QStringLiteral("Doom")});
        QString title;
        WhenModal([&](QWidget* modal) { AnswerProperties(modal, row.typed, row.ok, &title); });
        QTest::keyClick(w.Controls().ListView_CD->CurrentView(), Qt::Key_Return, Qt::AltModifier);
        EXPECT_EQ(title, QStringLiteral("Vlastnosti  [b.cd]"));
        const THead head = ReadArchiveFile(work_.File("b.cd")).Head;
        const TArchiveProperties stored = row.stored;
        EXPECT_EQ(PropertiesOf(head).Name, stored.Name);
        EXPECT_EQ((std::vector<std::string>{head.Typ, head.SubTyp, head.Medium, head.Owner,
                                            head.Description}),
                  (std::vector<std::string>{stored.Typ, stored.SubTyp, stored.Medium, stored.Owner,
                                            stored.Description}));
        EXPECT_EQ(ReadArchiveFile(work_.File("b.cd")).RecCount, 1);
        EXPECT_EQ(SelectedPath(), row.node);
        EXPECT_NE(
            std::find(ListNames().begin(), ListNames().end(), QString::fromStdString(stored.Name)),
            ListNames().end());
        const std::string line = TreePathOf(stored.Medium, stored.Typ, stored.SubTyp) + " b.cd";
        const std::vector<std::string> cache = CacheLines();
        EXPECT_NE(std::find(cache.begin(), cache.end(), line), cache.end());
        window_.reset();
        WriteHeader(kGames[0]);
    }
}

TEST_F(ArchiveTest, PropertiesOfTheOpenArchiveReachItsOpenCopy) {
    TForm_Main& w = StartWith(kGames);
    SelectPath("\\CD\\Hry\\");
    SelectNames({QStringLiteral("Doom")});
    Commands(w).OpenCommand();
    ASSERT_EQ(w.CurrentArchive.Head.Name, "Doom");
    TypeNote(0, QStringLiteral("unsaved"));
    SelectNames({QStringLiteral("Doom")});
    QString title;
    WhenModal([&](QWidget* modal) {
        AnswerProperties(modal, {"Doom II", "Hry", "", "CD", "", ""}, true, &title);
    });
    Commands(w).PropertiesCommand();
    EXPECT_EQ(w.CurrentArchive.Head.Name, "Doom II");
    EXPECT_EQ(w.Controls().TreeTitle->text(), QStringLiteral("Doom II"));
    // Saving the open archive keeps the new name and the typed note.
    Trigger("Action_Save");
    const TArch saved = ReadArchiveFile(work_.File("b.cd"));
    EXPECT_EQ(saved.Head.Name, "Doom II");
    EXPECT_EQ(RootEntries(work_.File("b.cd")).at(0).Note, "unsaved");
}

TEST_F(ArchiveTest, TheContextMenuFollowsTheSelection) {
    TForm_Main& w = StartWith(kGames);
    SelectPath("\\CD\\Hry\\");
    const struct {
        std::vector<QString> selected;
        bool remove, properties, merge;
    } rows[] = {
        {{}, false, false, false},
        {{"Doom"}, true, true, false},
        {{"Doom", "Abuse"}, true, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.selected.size());
        SelectNames(row.selected);
        Commands(w).UpdateMenuState();
        EXPECT_EQ(Commands(w).Action_Delete->isEnabled(), row.remove);
        EXPECT_EQ(Commands(w).Action_Properties->isEnabled(), row.properties);
        EXPECT_EQ(Commands(w).Action_Merge->isEnabled(), row.merge);
    }
    // Export belongs to the export window.
    EXPECT_EQ(Commands(w).Menu()->actions().size(), 3);
}

TEST_F(ArchiveTest, ColumnClicksSortTheArchiveList) {
    TForm_Main& w = StartWith(kGames);
    SelectPath("\\CD\\Hry\\");
    ListView& list = *w.Controls().ListView_CD;
    const struct {
        int column;
        std::vector<QString> names;
    } clicks[] = {
        {0, {"Quake", "Doom", "Abuse"}}, // the sort column again: reversed
        {6, {"Abuse", "Doom", "Quake"}}, // by file name, still reversed
        {6, {"Quake", "Doom", "Abuse"}},
    };
    EXPECT_EQ(ListNames(), (std::vector<QString>{"Abuse", "Doom", "Quake"}));
    for (const auto& click : clicks) {
        list.ColumnClicked(click.column);
        EXPECT_EQ(ListNames(), click.names);
    }
    // A node shown later keeps the sort state.
    SelectPath("\\CD\\");
    SelectPath("\\CD\\Hry\\");
    EXPECT_EQ(ListNames(), (std::vector<QString>{"Quake", "Doom", "Abuse"}));
}

TEST_F(ArchiveTest, GridLinesAndViewStyleOfTheArchiveList) {
    TForm_Main& w = StartWith(kGames);
    Trigger("Action_Grid");
    EXPECT_TRUE(w.Controls().ListView_CD->GridLines());
    EXPECT_TRUE(w.Controls().ListView_Dir->GridLines());
    Trigger("Action_CDList");
    EXPECT_EQ(w.Controls().ListView_CD->GetStyle(), ListView::Style::List);
    EXPECT_EQ(w.Controls().ListView_Dir->GetStyle(), ListView::Style::Report);
    Trigger("Action_CDReport");
    EXPECT_EQ(w.Controls().ListView_CD->GetStyle(), ListView::Style::Report);
    // Hiding the pane through the options.
    Archives().SetOptions({.ShowArchiveList = false});
    EXPECT_TRUE(w.Controls().PanelCD->isHidden());
}

} // namespace
} // namespace orbisk::test
