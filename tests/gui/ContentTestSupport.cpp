#include "ContentTestSupport.h"

#include <QAbstractItemView>
#include <QTest>

namespace orbisk::test {

EntrySpec DirEntry(const std::string& name, const std::string& note) {
    return {name, "0", "1.1.2001 1:00:00", "d----", note, {}};
}

EntrySpec FileEntry(const std::string& name, const std::string& size, const std::string& note,
                    const std::string& description) {
    return {name, size, "2.2.2002 2:00:00", " -a--", note, description};
}

TForm_Main& ContentTest::OpenArchiveOf(TArch arch, const std::string& fileName) {
    archivePath_ = work_.File(fileName);
    arch.Head.FileName = archivePath_;
    WriteArchiveFile(arch);
    TForm_Main& w = StartWindow();
    OpenThroughDialog(archivePath_);
    return w;
}

std::vector<QString> ContentTest::Names() const {
    std::vector<QString> names;
    for (int row = 0; row < Model().rowCount(); ++row)
        names.push_back(Model().Text(row, ContentModel::ColName));
    return names;
}

std::vector<QString> ContentTest::SelectedNames() const {
    std::vector<QString> names;
    for (int row : List().SelectedRows())
        names.push_back(Model().Text(row, ContentModel::ColName));
    return names;
}

int ContentTest::RowOf(const QString& name) const {
    for (int row = 0; row < Model().rowCount(); ++row)
        if (Model().Text(row, ContentModel::ColName) == name) return row;
    ADD_FAILURE() << "no row " << name.toStdString();
    return -1;
}

void ContentTest::Select(const QString& name) const {
    List().SelectRow(RowOf(name));
}

void ContentTest::Key(Qt::Key key, Qt::KeyboardModifiers modifiers) const {
    QTest::keyClick(List().CurrentView(), key, modifiers);
}

void ContentTest::DoubleClick(int row) const {
    QAbstractItemView* view = List().CurrentView();
    const QPoint at = view->visualRect(Model().index(row, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

} // namespace orbisk::test
