#include "SearchTestSupport.h"

#include <QComboBox>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include "core/search/Match.h"
#include "gui/search/ResultModels.h"

namespace orbisk::test {

void SearchTest::TearDown() {
    testers_.clear();
    ContentTest::TearDown();
}

void SearchTest::Watch(TSearchWindow& find) {
    using Mode = QAbstractItemModelTester::FailureReportingMode;
    testers_.push_back(std::make_unique<QAbstractItemModelTester>(&find.TextModel(), Mode::Fatal));
    testers_.push_back(std::make_unique<QAbstractItemModelTester>(&find.ListModel(), Mode::Fatal));
}

TForm_Find3& SearchTest::Find3() {
    if (!find3_) {
        find3_ = new TForm_Find3(window_.get());
        Watch(*find3_);
    }
    return *find3_;
}

TForm_Find4& SearchTest::Find4() {
    if (!find4_) {
        find4_ = new TForm_Find4(window_.get());
        Watch(*find4_);
    }
    return *find4_;
}

void SearchTest::StartAndWait(TSearchWindow& find) {
    QTest::mouseClick(find.Button_Hledej, Qt::LeftButton);
    // A bound on a hang, not a speed check: the 30 000-result search runs for
    // many seconds under the sanitizers on a loaded machine.
    EXPECT_TRUE(QTest::qWaitFor([&find] { return !find.Searching(); }, 180000));
}

void SearchTest::Run(TSearchWindow& find, const QString& query) {
    if (!find.isVisible()) find.show();
    find.Edit1->setEditText(query);
    StartAndWait(find);
}

std::vector<std::string> SearchTest::Lines(const TSearchWindow& find) const {
    std::vector<std::string> lines;
    for (int row = 0; row < find.TextModel().rowCount(); ++row)
        lines.push_back(find.TextModel().LineAt(row));
    return lines;
}

std::vector<std::string> SearchTest::Rows(const TSearchWindow& find) const {
    std::vector<std::string> rows;
    const SearchListModel& model = find.ListModel();
    for (int row = 0; row < model.rowCount(); ++row)
        rows.push_back(model.Cell(row, SearchListModel::ColDir) +
                       model.Cell(row, SearchListModel::ColName));
    return rows;
}

void SearchTest::DoubleClickLine(TSearchWindow& find, int row) {
    QListView* view = find.RichEdit;
    const QModelIndex index = find.TextModel().index(row, 0);
    view->scrollTo(index);
    const QPoint at = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void SearchTest::WriteFiled(const std::string& file, const std::string& name,
                            const std::string& medium, const std::string& typ,
                            const std::vector<DirSpec>& dirs) {
    TArch arch = MakeArchive(dirs, name);
    arch.Head.FileName = work_.File(file);
    arch.Head.Medium = medium;
    arch.Head.Typ = typ;
    WriteArchiveFile(arch);
}

std::vector<std::string> Unmarked(const std::vector<std::string>& lines) {
    std::vector<std::string> plain;
    for (const std::string& line : lines)
        plain.push_back(UnmarkName(line));
    return plain;
}

} // namespace orbisk::test
