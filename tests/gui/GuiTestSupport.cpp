#include "GuiTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTreeView>
#include <filesystem>

#include "core/settings/CoreTexts.h"
#include "core/settings/SettingsFiles.h"
#include "gui/common/ListView.h"

namespace orbisk::test {

QString Q(const std::string& bytes) {
    return QString::fromStdString(bytes);
}

void ExpectNameColumnGetsTheRoom(ListView& list, int nameColumn) {
    QTreeView& report = *list.Report();
    const int last = report.header()->count() - 1;
    const int lastWidth = report.columnWidth(last);
    list.resize(2000, list.height());
    QApplication::processEvents();
    EXPECT_EQ(report.columnWidth(last), lastWidth);
    const QString ordinary = QString::fromUtf8("Instalační příručka programu (verze 2).pdf");
    EXPECT_GE(report.columnWidth(nameColumn), report.fontMetrics().horizontalAdvance(ordinary));
}

void TypeText(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void MainWindowTest::SetUp() {
    savedValues_ = Program();
    savedCwd_ = std::filesystem::current_path().string();
    InitProgramValues(Program(), program_.Path());
    Program().WorkingDirectory = work_.Path();
    // The settings of a start that is not the first: the user's folder of
    // this test, naming the working folder of this test.
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(program_.File("config")));
    SaveSettingsLines(program_.File("config/orbisk/Orbisk.INI"),
                      {kMainCaption, work_.Path(), "default.lng"});
}

void MainWindowTest::TearDown() {
    window_.reset();
    std::filesystem::current_path(savedCwd_);
    Program() = savedValues_;
    // A language applied by a test does not reach the next one.
    ResetCoreTexts();
    PromptTexts() = TPromptTexts{};
}

TForm_Main& MainWindowTest::StartWindow() {
    window_ = std::make_unique<TForm_Main>();
    window_->show();
    EXPECT_TRUE(QTest::qWaitFor([this] { return window_->StartedUp(); }, 5000));
    return *window_;
}

void MainWindowTest::OpenThroughDialog(const std::string& path) {
    dialogs_.paths.push_back(Q(path));
    Trigger("Action_Open");
}

void MainWindowTest::TypeNote(int row, const QString& text) {
    window_->Controls().ListView_Dir->SelectRow(row);
    QLineEdit* note = window_->Controls().Edit_Pozn;
    note->selectAll();
    QTest::keyClick(note, Qt::Key_Delete);
    TypeText(note, text);
}

void MainWindowTest::Trigger(const char* actionName) {
    auto* action = window_->findChild<QAction*>(QString::fromLatin1(actionName));
    ASSERT_NE(action, nullptr) << actionName;
    action->trigger();
}

} // namespace orbisk::test
