#include "gui/search/TForm_Find4.h"

#include <QAction>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QRadioButton>
#include <QThread>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "core/catalog/ProgramValues.h"
#include "core/catalog/TextFile.h"
#include "core/search/IndexedSearch.h"
#include "core/search/SearchIndex.h"
#include "gui/common/BusyCursor.h"
#include "gui/common/IconSet.h"
#include "gui/common/ListView.h"
#include "gui/common/Text.h"
#include "gui/mainwin/ArchiveTreeHandler.h"
#include "gui/mainwin/ArchiveTreeModel.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/search/ResultModels.h"

namespace orbisk {

namespace {

// Reader threads beside the matching one: the next archives are read while
// the current one is searched.
int SearchThreads() {
    return std::clamp(QThread::idealThreadCount(), 1, 4);
}

bool HasSearchIndex(const std::string& folder) {
    return PathExists(JoinPath(folder, std::string(kSearchIndexFile)));
}

} // namespace

TForm_Find4::TForm_Find4(TForm_Main* main)
    : TSearchWindow(main, "Form_Find4", QStringLiteral("Hledání ..."),
                    QStringLiteral("Podbarveně, tučně"), QStringLiteral("Prohledávám ")),
      Action_FindAll(new QAction(CommandIcon(CommandPicture::FindAll),
                                 QStringLiteral("Hledat... (všude nebo vybrané)"), main)),
      RadioGroup(new QGroupBox(QStringLiteral(" Prohledávat "))),
      LabelT2(new QLabel(QStringLiteral("Hledání dokončeno ..."))),
      indexBuilder_(new TIndexBuilder(this)) {
    Action_FindAll->setObjectName(QStringLiteral("Action_FindAll"));
    Action_FindAll->setToolTip(
        QStringLiteral("Hledat všude - Hledat ve všech nebo ve vybraných archívech"));
    Action_FindAll->setStatusTip(Action_FindAll->toolTip());
    Action_FindAll->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    connect(Action_FindAll, &QAction::triggered, this, &TForm_Find4::Execute);
    main->AddFunctionCommand(Action_FindAll);

    RadioGroup->setObjectName(QStringLiteral("RadioGroup"));
    LabelT2->setObjectName(QStringLiteral("LabelT2"));
    LabelT2->hide();
    auto* items = new QVBoxLayout(RadioGroup);
    for (const char* item : {"všechny archívy", "označené archívy", "všechny podkategorie"}) {
        auto* button = new QRadioButton(QString::fromUtf8(item));
        items->addWidget(button);
        scopes_.push_back(button);
    }
    scopes_.front()->setChecked(true);
    ExtraCriteria()->addWidget(RadioGroup);
    ExtraCriteria()->addWidget(LabelT2);
    // The build belongs to the folder it reads: another working folder ends it.
    connect(main, &TForm_Main::ArchiveListBuilt, this, [this] {
        if (indexBuilder_->Folder() != Main().Archives().Rows().Folder) indexBuilder_->Stop();
    });
}

TForm_Find4::~TForm_Find4() {
    StopAndWait();
    indexBuilder_->Stop();
}

TSearchScope TForm_Find4::Scope() const {
    for (std::size_t i = 0; i < scopes_.size(); ++i)
        if (scopes_[i]->isChecked()) return static_cast<TSearchScope>(i);
    return TSearchScope::AllArchives;
}

void TForm_Find4::SetScope(TSearchScope scope) {
    scopes_[static_cast<std::size_t>(scope)]->setChecked(true);
}

void TForm_Find4::SetCriteriaEnabled(bool enabled) {
    TSearchWindow::SetCriteriaEnabled(enabled);
    RadioGroup->setEnabled(enabled);
}

std::string TForm_Find4::SelectedCategory() const {
    QTreeView& tree = Main().Archives().View();
    const QModelIndexList selected = tree.selectionModel()->selectedIndexes();
    if (selected.isEmpty()) return {};
    // An archive node stands for the category it is filed in.
    return Main().Archives().Tree().PathOf(selected.front());
}

void TForm_Find4::Activated() {
    categoryPath_ = SelectedCategory();
}

TVlakno::Job TForm_Find4::MakeJob(const TSearchCriteria& criteria) {
    resultFiles_.clear();
    ArchiveTreeHandler& archives = Main().Archives();
    const std::vector<std::int32_t> slots =
        ArchivesToSearch(archives.Rows(), Scope(), archives.List().SelectedSlots(), categoryPath_);
    readFiles_ = !HasSearchIndex(archives.Rows().Folder);
    // The run works on a copy of the rows: it reads every archive into its
    // own model and leaves the main window's list and open archive alone.
    return [rows = archives.Rows(), slots, criteria](TSearchSink& sink, Host& host,
                                                     const std::atomic<bool>& stop) {
        return RunFolderSearch(rows, slots, criteria, sink, host, stop, TIndexUse::IfPresent,
                               SearchThreads());
    };
}

void TForm_Find4::ArchiveReached(std::int32_t, const std::string& name) {
    setWindowTitle(LabelT1->text() + DecodeText(name));
}

void TForm_Find4::ResultsAdded(const std::vector<TSearchResult>& batch, bool textView) {
    if (!textView) return;
    const TArchiveList& rows = Main().Archives().Rows();
    for (const TSearchResult& result : batch)
        resultFiles_.push_back(rows.ValidSlot(result.ArchiveSlot)
                                   ? rows[result.ArchiveSlot].FileName
                                   : result.ArchiveFile);
}

void TForm_Find4::SearchEnded() {
    setWindowTitle(LabelT2->text());
    // Building the index costs more than a search over the files, so a
    // folder gets it only once a search has had to read them, and then
    // without keeping the user waiting; a search stopped by the user was not
    // wanted whole.
    const TArchiveList& rows = Main().Archives().Rows();
    if (readFiles_ && !StoppedByUser() && !rows.Folder.empty() && !HasSearchIndex(rows.Folder))
        indexBuilder_->Start(rows);
}

void TForm_Find4::JumpTo(const TResultPlace& place, int row, bool textView) {
    std::string file;
    if (textView) {
        if (row < 0 || static_cast<std::size_t>(row) >= resultFiles_.size()) return;
        file = resultFiles_[static_cast<std::size_t>(row)];
    } else {
        const TArchiveList& rows = Main().Archives().Rows();
        file = rows.ValidSlot(place.ArchiveSlot) ? rows[place.ArchiveSlot].FileName
                                                 : place.ArchiveFile;
    }
    {
        BusyCursor cursor;
        Main().OpenArchive(file); // a bare file name lies in the working folder
        Main().Archives().SelectArchive(place.ArchiveSlot);
    }
    ShowEntry(place.Path, place.Name);
    close();
}

} // namespace orbisk
