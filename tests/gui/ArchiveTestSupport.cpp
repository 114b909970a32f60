#include "ArchiveTestSupport.h"

#include <QApplication>
#include <QTimer>
#include <QTreeView>

#include "core/catalog/ArchiveFile.h"
#include "gui/common/ListView.h"

namespace orbisk::test {

void ArchiveTest::WriteHeader(const ArchiveHeaderRow& header) {
    TArch arch = MakeArchive(work_.File(header.file), header.name, {{"\\", {{"a.txt", "1"}}}});
    arch.Head.Medium = header.medium;
    arch.Head.Typ = header.typ;
    arch.Head.SubTyp = header.subTyp;
    WriteArchiveFile(arch);
}

TForm_Main& ArchiveTest::StartWith(const std::vector<ArchiveHeaderRow>& headers,
                                   const TArchiveOptions& options) {
    for (const ArchiveHeaderRow& header : headers)
        WriteHeader(header);
    TForm_Main& w = StartWindow();
    Archives().SetOptions(options);
    if (options.ArchivesInTree) Archives().BuildArchiveList();
    using Mode = QAbstractItemModelTester::FailureReportingMode;
    testers_.push_back(std::make_unique<QAbstractItemModelTester>(&Tree(), Mode::Fatal));
    testers_.push_back(std::make_unique<QAbstractItemModelTester>(&ListModel(), Mode::Fatal));
    return w;
}

namespace {

void Walk(const ArchiveTreeModel& tree, const QModelIndex& parent, int depth,
          std::vector<QString>& lines) {
    for (int row = 0; row < tree.rowCount(parent); ++row) {
        const QModelIndex node = tree.index(row, 0, parent);
        lines.push_back(QString(depth * 2, QLatin1Char(' ')) + node.data().toString() +
                        (tree.IsArchive(node) ? QStringLiteral("*") : QString()));
        Walk(tree, node, depth + 1, lines);
    }
}

} // namespace

std::vector<QString> ArchiveTest::TreeLines() const {
    std::vector<QString> lines;
    Walk(Tree(), {}, 0, lines);
    return lines;
}

void ArchiveTest::SelectPath(const std::string& treePath) const {
    const QModelIndex node = Tree().FindPath(treePath);
    ASSERT_TRUE(node.isValid()) << treePath;
    window_->Controls().TreeView_Arch->setCurrentIndex(node);
}

std::string ArchiveTest::SelectedPath() const {
    const QModelIndex node = window_->Controls().TreeView_Arch->currentIndex();
    return node.isValid() ? Tree().PathOf(node) : std::string();
}

std::vector<QString> ArchiveTest::ListNames() const {
    std::vector<QString> names;
    for (int row = 0; row < ListModel().rowCount(); ++row)
        names.push_back(ListModel().Text(row, 0));
    return names;
}

void ArchiveTest::SelectNames(const std::vector<QString>& names) const {
    ListView& list = *window_->Controls().ListView_CD;
    list.ClearSelection();
    std::vector<int> rows;
    for (int row = 0; row < ListModel().rowCount(); ++row)
        if (std::find(names.begin(), names.end(), ListModel().Text(row, 0)) != names.end())
            rows.push_back(row);
    list.SetRowsSelected(rows, true);
}

std::vector<std::string> ArchiveTest::CacheLines() const {
    std::vector<std::string> lines;
    for (const TCacheLine& line :
         ParseArchiveListCache(ReadFile(work_.File(std::string(kArchiveListFile)))))
        lines.push_back(line.TreePath + " " + line.FileName);
    std::sort(lines.begin(), lines.end());
    return lines;
}

void ArchiveTest::WhenModal(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer = std::move(answer)] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        answer(modal);
    });
}

} // namespace orbisk::test
