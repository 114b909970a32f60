#include "gui/search/SearchWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include "core/catalog/ProgramValues.h"
#include "gui/common/BusyCursor.h"
#include "gui/common/ListView.h"
#include "gui/common/Text.h"
#include "gui/mainwin/ContentBrowser.h"
#include "gui/mainwin/ContentModel.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/search/MarkedLineDelegate.h"
#include "gui/search/ResultModels.h"
#include "gui/search/SearchOptions.h"

namespace orbisk {

TSearchOptions& SearchOptions() {
    static TSearchOptions options;
    return options;
}

TSearchWindow::TSearchWindow(TForm_Main* main, const char* objectName, const QString& caption,
                             const QString& markCaption, const QString& labelT1)
    : QDialog(main), LabelT1(new QLabel(labelT1)), main_(*main),
      textModel_(new SearchTextModel(this)), listModel_(new SearchListModel(this)),
      delegate_(new MarkedLineDelegate(this)) {
    setObjectName(QString::fromLatin1(objectName));
    setWindowTitle(caption);
    setModal(true);
    LabelT1->setObjectName(QStringLiteral("LabelT1"));
    BuildControls(markCaption);
    ConnectControls();
    ApplyView();
    ApplyWrap();
    resize(760, 520);
    // Entries deleted in the content browser may be results of this window.
    ContentBrowser& content = main->Content();
    content.ClearSearchResults = [previous = content.ClearSearchResults, this] {
        if (previous) previous();
        ClearResults();
    };
    connect(main, &TForm_Main::ArchiveListBuilt, this, &TSearchWindow::ClearResults);
}

TSearchWindow::~TSearchWindow() {
    StopAndWait();
}

void TSearchWindow::KeepItems(QComboBox* box, const QString& initial) {
    connect(box, &QComboBox::editTextChanged, box, [box, initial](const QString& text) {
        if (box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
            box->setEditText(initial);
    });
}

void TSearchWindow::ConnectControls() {
    KeepItems(ComboBox_Zn, QStringLiteral("="));
    KeepItems(ComboBox_Unit, QStringLiteral("kB"));
    KeepItems(ComboBox_Pozn, QStringLiteral("OR"));
    KeepItems(ComboBox_Popis, QStringLiteral("OR"));
    connect(Button_Hledej, &QPushButton::clicked, this, &TSearchWindow::Start);
    connect(Button_Storno, &QPushButton::clicked, this, &TSearchWindow::Cancel);
    connect(CheckBoxZob, &QCheckBox::toggled, this, &TSearchWindow::ApplyView);
    connect(CheckBox_Wrap, &QCheckBox::toggled, this, &TSearchWindow::ApplyWrap);
    connect(CheckBox_C, &QCheckBox::toggled, this, [this](bool bold) {
        delegate_->SetBold(bold);
        RichEdit->viewport()->update();
    });
    // A double click or Enter on a line.
    connect(RichEdit, &QListView::activated, this, &TSearchWindow::ActivateResult);
    connect(ListView, &ListView::Activated, this, &TSearchWindow::ActivateResult);
    connect(ListView, &ListView::SelectionChanged, this, &TSearchWindow::ShowDescription);
}

void TSearchWindow::ApplyView() {
    const bool list = CheckBoxZob->isChecked();
    RichEdit->setVisible(!list);
    CheckBox_C->setVisible(!list);
    ListView->setVisible(list);
    Memo->setVisible(list);
    CheckBox_Wrap->setVisible(list);
}

void TSearchWindow::ApplyWrap() {
    const bool wrap = CheckBox_Wrap->isChecked();
    Memo->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    Memo->setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

void TSearchWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!searching_) countPanel_->setText(QStringLiteral("0"));
    ApplyWrap();
    ApplyView();
    const bool hideStar = SearchOptions().HideStarOption;
    if (hideStar) CheckBox_Star->setChecked(false);
    CheckBox_Star->setVisible(!hideStar);
    Activated();
    Edit1->setFocus();
}

void TSearchWindow::Execute() {
    const QString typed = Edit1->currentText();
    Edit1->clear();
    for (const std::string& query : Program().SearchHistory)
        Edit1->addItem(DecodeText(query));
    Edit1->setEditText(typed);
    exec();
    orbisk::ListView& list = main_.Content().List();
    list.ScrollToMiddle(list.CurrentRow());
}

TSearchInput TSearchWindow::ReadInput() const {
    TSearchInput in;
    in.Query = Edit1->currentText().toStdString();
    in.Star = CheckBox_Star->isChecked();
    in.CaseSensitive = CheckBox->isChecked();
    in.SizeOn = CheckBox_Size->isChecked();
    in.SizeOp = ComboBox_Zn->currentText().toStdString();
    in.SizeValue = Edit_Size->text().toStdString();
    in.SizeUnit = ComboBox_Unit->currentText().toStdString();
    in.NoteOn = CheckBox_Pozn->isChecked();
    in.NoteText = Edit_Pozn->text().toStdString();
    in.NoteMode = ComboBox_Pozn->currentText().toStdString();
    in.DescriptionOn = CheckBox_Popis->isChecked();
    in.DescriptionText = Edit_Popis->text().toStdString();
    in.DescriptionMode = ComboBox_Popis->currentText().toStdString();
    in.ListView = CheckBoxZob->isChecked();
    return in;
}

void TSearchWindow::SetCriteriaEnabled(bool enabled) {
    for (QWidget* control : std::initializer_list<QWidget*>{
             Button_Hledej, Edit1, CheckBox_Star, CheckBox, CheckBoxZob, CheckBox_Size, ComboBox_Zn,
             Edit_Size, ComboBox_Unit, CheckBox_Pozn, Edit_Pozn, ComboBox_Pozn, CheckBox_Popis,
             Edit_Popis, ComboBox_Popis})
        control->setEnabled(enabled);
}

void TSearchWindow::Start() {
    if (searching_) return;
    std::vector<std::string>& history = Program().SearchHistory;
    const TSearchStart start = PrepareSearch(ReadInput(), history);
    const QString query = QString::fromStdString(start.QueryText);
    Edit1->setEditText(query);
    if (!start.Started) return;
    star_ = start.Star;
    SetCriteriaEnabled(false);
    Edit1->clear();
    for (const std::string& item : history)
        Edit1->addItem(DecodeText(item));
    Edit1->setEditText(query);
    countPanel_->setText(QStringLiteral("0"));
    ClearResults();
    if (start.SizeSwitchedOff) CheckBox_Size->setChecked(false);
    if (start.NoteSwitchedOff) CheckBox_Pozn->setChecked(false);
    if (start.DescriptionSwitchedOff) CheckBox_Popis->setChecked(false);
    listView_ = start.Criteria.ListView;
    cap_ = ResultCap(listView_);
    stop_ = false;
    stoppedByUser_ = false;
    searching_ = true;
    TVlakno::Job job = MakeJob(start.Criteria);
    TVlaknoHandlers handlers;
    handlers.Batch = [this](std::vector<TSearchResult>& batch, const std::string& folder) {
        TakeBatch(batch, folder);
    };
    handlers.Archive = [this](std::int32_t slot, const std::string& name) {
        ArchiveReached(slot, name);
    };
    handlers.Finished = [this](const TSearchOutcome&) { Finish(); };
    worker_ = new TVlakno(this, std::move(job), cap_, std::move(handlers), main_.UiHost(), stop_);
    connect(worker_, &QThread::finished, worker_, &QObject::deleteLater);
    worker_->start();
}

void TSearchWindow::TakeBatch(std::vector<TSearchResult>& batch, const std::string& folder) {
    if (!batch.empty()) {
        ResultsAdded(batch, !listView_);
        if (listView_)
            listModel_->Append(batch);
        else
            textModel_->Append(batch);
        const int count = listView_ ? listModel_->rowCount() : textModel_->rowCount();
        if (count >= cap_) {
            countPanel_->setText(QStringLiteral("Max"));
            stop_ = true;
        } else {
            countPanel_->setText(QString::number(count));
        }
    }
    folderPanel_->setText(DecodeText(folder));
    if (BatchHook) BatchHook();
}

void TSearchWindow::Finish() {
    Edit1->setEditText(
        QString::fromStdString(UndoStarCompletion(Edit1->currentText().toStdString(), star_)));
    star_ = {};
    SetCriteriaEnabled(true);
    folderPanel_->clear();
    searching_ = false;
    SearchEnded();
}

void TSearchWindow::StopByUser() {
    stoppedByUser_ = true;
    stop_ = true;
}

void TSearchWindow::StopAndWait() {
    if (!searching_) return;
    StopByUser();
    // The worker's last hand-offs are served here; the end of the search
    // clears the flag.
    while (searching_)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TSearchWindow::Cancel() {
    if (searching_) {
        StopByUser();
        return;
    }
    close();
}

void TSearchWindow::closeEvent(QCloseEvent* event) {
    StopAndWait();
    if (CheckBox_Clear->isChecked()) ClearResults();
    QDialog::closeEvent(event);
}

void TSearchWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Cancel();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TSearchWindow::reject() {
    // The close button and "Storno" while idle end up here.
    StopAndWait();
    if (CheckBox_Clear->isChecked()) ClearResults();
    QDialog::reject();
}

void TSearchWindow::ClearResults() {
    textModel_->Clear();
    listModel_->Clear();
    Memo->clear();
}

QString TSearchWindow::CountText() const {
    return countPanel_->text();
}

QString TSearchWindow::FolderText() const {
    return folderPanel_->text();
}

void TSearchWindow::ShowDescription() {
    Memo->clear();
    const std::vector<int> rows = ListView->SelectedRows();
    if (rows.empty()) return;
    Memo->setPlainText(DescriptionToText(listModel_->Cell(rows.front(), SearchListModel::ColDesc)));
    Memo->verticalScrollBar()->setValue(0);
}

void TSearchWindow::ActivateResult() {
    if (searching_) {
        StopByUser();
        return;
    }
    if (CheckBoxZob->isChecked()) {
        const std::vector<int> rows = ListView->SelectedRows();
        if (rows.size() != 1) return;
        JumpTo(listModel_->PlaceAt(rows.front()), rows.front(), false);
    } else {
        const QModelIndex current = RichEdit->currentIndex();
        if (!current.isValid()) return;
        JumpTo(textModel_->PlaceAt(current.row()), current.row(), true);
    }
}

void TSearchWindow::ShowEntry(const std::string& path, const std::string& name) {
    BusyCursor cursor;
    ContentBrowser& content = main_.Content();
    content.ShowFolder(path);
    orbisk::ListView& list = content.List();
    list.ClearSelection();
    const QString wanted = DecodeText(name);
    const ContentModel& model = content.Model();
    for (int row = 0; row < model.rowCount(); ++row)
        if (model.Text(row, ContentModel::ColName) == wanted) {
            list.SelectRow(row);
            break;
        }
}

} // namespace orbisk
