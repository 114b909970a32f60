#include "GuiTestSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <filesystem>

#include "core/catalog/ArchiveFile.h"
#include "gui/common/ListView.h"

namespace orbisk::test {

TArch MakeArchive(const std::string& fileName, const std::string& name,
                  const std::vector<EntryRow>& entries) {
    TArch arch;
    arch.Head.FileName = fileName;
    arch.Head.Name = name;
    arch.Head.Medium = "CD";
    arch.Head.SN = "1A2B-0C3D";
    arch.AddDir("\\");
    for (const EntryRow& e : entries)
        arch.AddRec({e.name, e.size, "1.1.2001 10:00", e.attr, e.note, e.description, 1});
    for (const EntryRow& e : entries)
        if (!e.attr.empty() && e.attr[0] == 'd') arch.AddDir("\\" + e.name + "\\");
    return arch;
}

void WriteArchiveFile(const TArch& arch) {
    RecordingHost host;
    ASSERT_TRUE(WriteArchive(arch, host)) << arch.Head.FileName;
}

TArch ReadArchiveFile(const std::string& path) {
    TArch arch;
    arch.Head.FileName = path;
    RecordingHost host;
    ReadArchive(arch, host);
    return arch;
}

std::vector<TRec> RootEntries(const std::string& path) {
    TArch arch = ReadArchiveFile(path);
    std::vector<TRec> recs;
    std::int32_t root = arch.FindDir("\\");
    if (root == 0) return recs;
    const TDir& dir = arch.Dirs[static_cast<std::size_t>(root)];
    for (std::int32_t i = dir.First; i < dir.First + dir.Count; ++i)
        recs.push_back(arch.Recs[static_cast<std::size_t>(i)]);
    return recs;
}

QString Q(const std::string& bytes) {
    return QString::fromStdString(bytes);
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
}

void MainWindowTest::TearDown() {
    window_.reset();
    std::filesystem::current_path(savedCwd_);
    Program() = savedValues_;
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
