// The database window and its dialogs, wired to the main window: what reaches
// the database core from the panes, the pop-ups, the item window, the export
// window and the main window's commands. The model's own rules are tested
// with the core.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <functional>
#include <sys/stat.h>

#include "ArchiveTestSupport.h"
#include "ContentTestSupport.h"
#include "WithoutDacOverride.h"
#include "core/catalog/TextFile.h"
#include "core/db/Database.h"
#include "gui/db/DbCommands.h"
#include "gui/db/DbItemModel.h"
#include "gui/db/DbPanes.h"
#include "gui/db/DbTreeModel.h"
#include "gui/db/TForm_DB.h"
#include "gui/db/TForm_DB_HTML.h"
#include "gui/db/TForm_DBedit.h"
#include "gui/mainwin/ArchiveListHandler.h"
#include "gui/mainwin/ContentCommands.h"

namespace orbisk::test {
namespace {

// Runs act on the modal window of type T once it is up; a window that does
// not come within five seconds fails the test and the modal window on top is
// closed, so the test does not hang.
template <typename T>
void WhenModal(std::function<void(T&)> act) {
    auto* timer = new QTimer;
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks, act = std::move(act)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* window = qobject_cast<T*>(modal)) {
            timer->stop();
            timer->deleteLater();
            act(*window);
        } else if (++*ticks > 500) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "the expected window did not come up";
            if (modal) modal->close();
        }
    });
    timer->start(10);
}

// An item of a database file: name, size, archive, path, note, description.
EntrySpec Item(const std::string& name, const std::string& description = {}) {
    return {name, "1 000", "Games", "\\" + name, "", description};
}

class DatabaseWindowTest : public ContentTest {
public:
    void TearDown() override {
        testers_.clear();
        ContentTest::TearDown();
    }

    // The database file of the working folder with these categories.
    void WriteDatabase(const std::vector<DirSpec>& categories) {
        WriteArchiveFile(MakeArchive(DbPath(), "", categories));
    }
    std::string DbPath() const { return DatabasePath(work_.Path()); }
    TArch ReadDatabase() const { return ReadArchiveFile(DbPath()); }

    // The window of the main window; its command is on the main window then.
    TForm_DB& Db() {
        if (!db_) {
            db_ = new TForm_DB(window_.get());
            using Mode = QAbstractItemModelTester::FailureReportingMode;
            for (QAbstractItemModel* model : std::initializer_list<QAbstractItemModel*>{
                     &db_->Panes().Tree(), &db_->Panes().Items()})
                testers_.push_back(std::make_unique<QAbstractItemModelTester>(model, Mode::Fatal));
        }
        return *db_;
    }
    // Shows the window in browse mode, without waiting for it to close.
    TForm_DB& ShowDb() {
        if (!window_) StartWindow();
        TForm_DB& db = Db();
        db.show();
        EXPECT_TRUE(QTest::qWaitFor([&db] { return db.Activated(); }, 5000));
        return db;
    }
    void SelectNode(const std::string& path) {
        const QModelIndex node = Db().Panes().Tree().FindPath(path);
        ASSERT_TRUE(node.isValid()) << path;
        Db().Panes().TreeView->setCurrentIndex(node);
    }
    std::vector<QString> ItemNames() {
        std::vector<QString> names;
        const DbItemModel& items = Db().Panes().Items();
        for (int row = 0; row < items.rowCount(); ++row)
            names.push_back(items.Text(row, 0));
        return names;
    }

    TForm_DB* db_ = nullptr;
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers_;
};

TEST_F(DatabaseWindowTest, AddModeProposesTheSelectedEntriesAndFilesTheItemAtTheRoot) {
    const struct {
        std::vector<QString> rows;
        QString name, size, path, note;
    } cases[] = {
        {{"a.txt"}, "a.txt", "1 000", "\\a.txt", "poznámka"},
        {{"a.txt", "b.txt", "DOOM"}, "\\", "3 282", "\\", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        OpenArchiveOf(MakeArchive({{"\\",
                                    {DirEntry("DOOM"), FileEntry("a.txt", "1000", "poznámka"),
                                     FileEntry("b.txt", "234")}},
                                   {"\\DOOM\\", {FileEntry("doom.exe", "2048")}}},
                                  "Games 1"));
        std::vector<int> rows;
        for (const QString& name : c.rows)
            rows.push_back(RowOf(name));
        List().ClearSelection();
        List().SetRowsSelected(rows, true);
        TForm_DB& db = Db();
        window_->Content().Commands().UpdateMenuState();
        EXPECT_TRUE(window_->Content().Commands().Action_AddToDb->isEnabled());

        TDbItem proposed;
        bool insertOnly = false;
        WhenModal<TForm_DBedit>([&](TForm_DBedit& edit) {
            proposed = {
                edit.Edit_Name->text().toStdString(),   edit.Edit_Size->text().toStdString(),
                edit.Edit_Archiv->text().toStdString(), edit.Edit_Path->text().toStdString(),
                edit.Edit_Pozn->text().toStdString(),   {}};
            insertOnly = edit.Button_Vloz->isEnabled() && !edit.Button_Zmen->isEnabled();
            QTest::mouseClick(edit.Button_Vloz, Qt::LeftButton);
        });
        Trigger("Action_DirAddToDb");
        // The timer has closed the window, which saved the database.
        EXPECT_FALSE(db.isVisible());
        EXPECT_TRUE(insertOnly);
        EXPECT_EQ(Q(proposed.Name), c.name);
        EXPECT_EQ(Q(proposed.Size), c.size);
        EXPECT_EQ(Q(proposed.Archive), QStringLiteral("Games 1"));
        EXPECT_EQ(Q(proposed.Path), c.path);
        EXPECT_EQ(Q(proposed.Note), c.note);
        const TArch stored = ReadDatabase();
        ASSERT_EQ(stored.DirCount, 1);
        EXPECT_EQ(stored.Dirs[1].Path, "\\");
        ASSERT_EQ(stored.RecCount, 1);
        EXPECT_EQ(Q(stored.Recs[1].Name), c.name);
        EXPECT_EQ(Q(stored.Recs[1].Attr), c.path);
        EXPECT_EQ(window_->CurrentPath, "\\");
        testers_.clear();
        window_.reset();
        db_ = nullptr;
        std::filesystem::remove(DbPath());
    }
}

TEST_F(DatabaseWindowTest, AnItemDroppedOnACategoryMovesThere) {
    WriteDatabase({{"\\A\\", {Item("x"), Item("y")}}, {"\\B\\", {Item("z")}}});
    TForm_DB& db = ShowDb();
    SelectNode("\\A\\");
    ASSERT_EQ(ItemNames(), (std::vector<QString>{"x", "y"}));
    DbItemModel& items = db.Panes().Items();
    std::unique_ptr<QMimeData> drag(items.mimeData({items.index(0, 0)}));
    DbTreeModel& tree = db.Panes().Tree();
    const QModelIndex b = tree.FindPath("\\B\\");
    // Between two nodes nothing is dropped; on a node the item moves.
    EXPECT_FALSE(tree.canDropMimeData(drag.get(), Qt::MoveAction, 0, 0, {}));
    tree.dropMimeData(drag.get(), Qt::MoveAction, -1, -1, b);
    EXPECT_EQ(ItemNames(), (std::vector<QString>{"y"}));
    db.close();
    const TArch stored = ReadDatabase();
    ASSERT_EQ(stored.DirCount, 2);
    EXPECT_EQ(stored.Dirs[2].Path, "\\B\\");
    ASSERT_EQ(stored.Dirs[2].Count, 2);
    EXPECT_EQ(stored.Recs[static_cast<std::size_t>(stored.Dirs[2].First)].Name, "x");
}

TEST_F(DatabaseWindowTest, ACategoryWithItemsOrChildNodesIsNotRemoved) {
    WriteDatabase({{"\\P\\Q\\", {}}, {"\\E\\", {}}, {"\\A\\", {Item("x")}}});
    // \P\ has no record of its own, only its child node.
    const struct {
        std::string path;
        bool removed, recordAfter;
    } cases[] = {{"\\A\\", false, true}, {"\\P\\", false, false}, {"\\E\\", true, false}};
    TForm_DB& db = ShowDb();
    // A node without a record of its own lists nothing (not the last category's items).
    SelectNode("\\P\\");
    EXPECT_TRUE(ItemNames().empty());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        SelectNode(c.path);
        prompt_.shown.clear();
        prompt_.answers.push_back(PromptAnswer::Ok);
        db.Commands().Action_OdstranitKategorii->trigger();
        EXPECT_EQ(db.Panes().Tree().FindPath(c.path).isValid(), !c.removed);
        EXPECT_EQ(db.Database().FindCategory(c.path) != 0, c.recordAfter);
        if (c.removed) {
            EXPECT_TRUE(prompt_.Texts(PromptKind::Warning).empty());
        } else {
            ASSERT_EQ(prompt_.Texts(PromptKind::Warning).size(), 1u);
            EXPECT_EQ(prompt_.Texts(PromptKind::Warning)[0],
                      QStringLiteral("Kategorie není prázdná, nelze smazat"));
            EXPECT_EQ(prompt_.shown.back().title, QStringLiteral("No, tak to nepujde"));
        }
    }
    db.close();
}

TEST_F(DatabaseWindowTest, ClosingRightAfterTypingADescriptionStoresIt) {
    WriteDatabase({{"\\", {Item("x", "old\x07")}}});
    TForm_DB& db = ShowDb();
    ASSERT_EQ(db.Panes().SelectedItem(), 1);
    QPlainTextEdit* memo = db.Panes().Memo;
    EXPECT_EQ(memo->toPlainText(), QStringLiteral("old"));
    EXPECT_FALSE(memo->isReadOnly());
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    TypeText(memo, QStringLiteral(" nový"));
    db.close();
    EXPECT_EQ(ReadDatabase().Recs[1].Description, "old nový\x07");
}

TEST_F(DatabaseWindowTest, ADatabaseThatCouldNotBeReadIsNotWrittenOnClose) {
    WriteDatabase({{"\\", {Item("keep")}}});
    const std::string before = ReadFile(DbPath());
    ::chmod(DbPath().c_str(), 0);
    {
        WithoutDacOverride noOverride;
        if (!noOverride.Active() && ::geteuid() == 0) GTEST_SKIP() << "cannot drop root's rights";
        TForm_DB& db = ShowDb();
        EXPECT_EQ(db.Panes().Items().rowCount(), 0);
        EXPECT_FALSE(db.StatusPanel3->text().isEmpty());
        WhenModal<TForm_DBedit>(
            [](TForm_DBedit& edit) { QTest::mouseClick(edit.Button_Vloz, Qt::LeftButton); });
        db.Action_Add->trigger();
        EXPECT_EQ(db.Panes().Items().rowCount(), 1);
        db.close();
    }
    ::chmod(DbPath().c_str(), 0644);
    const std::vector<QString> warnings = prompt_.Texts(PromptKind::Warning);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0], QString::fromUtf8(kMsgCannotRead));
    EXPECT_EQ(warnings[1], Db().LabelT6->text());
    EXPECT_EQ(ReadFile(DbPath()), before);
    EXPECT_FALSE(FileExists(work_.File("cd.bak")));
}

TEST_F(DatabaseWindowTest, TheExportWindowWritesAPageThroughAShippedTemplate) {
    WriteDatabase({{"\\Hry\\", {Item("doom.exe")}}});
    StartWindow();
    // The templates as the program ships them beside itself.
    Program().ProgramDir = ORBISK_RESOURCES_DIR;
    TForm_DB& db = ShowDb();
    const std::string page = work_.File("page.html");
    dialogs_.paths.push_back(Q(page));
    QStringList templates;
    QString log;
    WhenModal<TForm_DB_HTML>([&](TForm_DB_HTML& html) {
        for (int i = 0; i < html.ComboBox->count(); ++i)
            templates.append(html.ComboBox->itemText(i));
        html.ComboBox->setCurrentText(QStringLiteral("plain.tpl"));
        QTest::mouseClick(html.Button_OK, Qt::LeftButton);
        EXPECT_TRUE(html.Button_Zobraz->isEnabled());
        QTest::mouseClick(html.Button_Zobraz, Qt::LeftButton);
        log = html.Memo->toPlainText();
        html.close();
    });
    db.Action_Export->trigger();
    db.close();
    EXPECT_TRUE(templates.contains(QStringLiteral("plain.tpl")));
    EXPECT_TRUE(templates.contains(QStringLiteral("utf8-style.tpl")));
    ASSERT_EQ(dialogs_.requests.size(), 1u);
    EXPECT_TRUE(dialogs_.requests[0].file.folder.endsWith(QStringLiteral("/orbidex.html")));
    EXPECT_EQ(log, QStringLiteral("Exportuji ...\nExport dokončen.\n"
                                  "Zobrazení pomocí výchozího webového prohlížeče"));
    ASSERT_EQ(shell_.opened.size(), 1u);
    EXPECT_EQ(shell_.opened[0].toLocalFile(), Q(page));
    const std::string html = ReadFile(page);
    EXPECT_NE(html.find("doom.exe"), std::string::npos);
    EXPECT_NE(html.find("<a name=\"\\Hry\\\">"), std::string::npos);
}

TEST_F(ArchiveTest, MergingThreeArchivesFromTheListPopupOpensTheMultiArchive) {
    StartWith({{"a.cd", "A", "CD", "Hry", ""},
               {"b.cd", "B", "CD", "Hry", ""},
               {"c.cd", "C", "CD", "Hry", ""}});
    SelectPath("\\CD\\Hry\\");
    ArchiveListHandler& list = Archives().ListCommands();
    SelectNames({"A"});
    list.UpdateMenuState();
    EXPECT_FALSE(list.Action_Merge->isEnabled());
    SelectNames({"A", "B", "C"});
    list.UpdateMenuState();
    ASSERT_TRUE(list.Action_Merge->isEnabled());
    list.Action_Merge->trigger();
    const TArch& open = window_->CurrentArchive;
    EXPECT_EQ(open.Head.Name, "Multi A");
    EXPECT_EQ(open.Head.FileName, work_.File("m_a.cd"));
    std::vector<std::string> roots;
    for (std::int32_t rec = 1; rec <= open.Dirs[1].Count; ++rec)
        roots.push_back(open.Recs[static_cast<std::size_t>(rec)].Name.str() + " " +
                        open.Recs[static_cast<std::size_t>(rec)].Attr.str());
    EXPECT_EQ(roots, (std::vector<std::string>{"A Archiv", "B Archiv", "C Archiv"}));
    EXPECT_EQ(SelectedPath(), "\\Multi\\");
    EXPECT_EQ(ListNames(), (std::vector<QString>{"Multi A"}));
    EXPECT_EQ(window_->Controls().StatusArchives->text(), QStringLiteral("4"));
}

} // namespace
} // namespace orbisk::test
