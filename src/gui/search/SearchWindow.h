#pragma once
// What both search windows share: the criteria controls, the two result
// views, the start and end of a search run by TVlakno, "Storno", the
// description pane and the jump to a result. TForm_Find3 searches the open
// archive, TForm_Find4 the archives of the working folder.
#include <QDialog>
#include <QPointer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/search/SearchCriteria.h"
#include "gui/search/TVlakno.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QVBoxLayout;

namespace orbisk {

class ListView;
class MarkedLineDelegate;
class SearchListModel;
class SearchTextModel;
class TForm_Main;
struct TResultPlace;

class TSearchWindow : public QDialog {
    Q_OBJECT
public:
    ~TSearchWindow() override;

    // Loads the search history into the query box, shows the window modally
    // and, once it is closed, scrolls the content list to its selected row.
    void Execute();

    // Starts a search from the controls ("Hledej").
    void Start();
    // "Storno": stops a running search, otherwise closes the window.
    void Cancel();
    // Double click or Enter on a result: stops a running search, otherwise
    // jumps to the selected result and closes the window.
    void ActivateResult();
    // Empties both views.
    void ClearResults();

    bool Searching() const { return searching_; }
    SearchTextModel& TextModel() const { return *textModel_; }
    SearchListModel& ListModel() const { return *listModel_; }
    MarkedLineDelegate& LineDelegate() const { return *delegate_; }
    // The count panel: the number of results, or "Max".
    QString CountText() const;
    QString FolderText() const;

    // Runs on the interface thread after each batch of results is shown,
    // while the worker waits (tests use it to act during a search).
    std::function<void()> BatchHook;

    QComboBox* Edit1;
    QCheckBox* CheckBox_Star;
    QCheckBox* CheckBox;
    QCheckBox* CheckBoxZob;
    QCheckBox* CheckBox_Size;
    QComboBox* ComboBox_Zn;
    QLineEdit* Edit_Size;
    QComboBox* ComboBox_Unit;
    QCheckBox* CheckBox_Pozn;
    QLineEdit* Edit_Pozn;
    QComboBox* ComboBox_Pozn;
    QCheckBox* CheckBox_Popis;
    QLineEdit* Edit_Popis;
    QComboBox* ComboBox_Popis;
    QCheckBox* CheckBox_Clear;
    QCheckBox* CheckBox_C;
    QCheckBox* CheckBox_Wrap;
    QPlainTextEdit* Memo;
    QPushButton* Button_Hledej;
    QPushButton* Button_Storno;
    QStatusBar* StatusBar;
    QLabel* LabelT1;
    QWidget* Panel1;
    QListView* RichEdit;        // the text view
    orbisk::ListView* ListView; // the list view

protected:
    TSearchWindow(TForm_Main* main, const char* objectName, const QString& caption,
                  const QString& markCaption, const QString& labelT1);

    TForm_Main& Main() const { return main_; }
    // The layout under the criteria, where a window adds controls of its own.
    QVBoxLayout* ExtraCriteria() const { return extra_; }

    // The search of the window's scope with the prepared criteria.
    virtual TVlakno::Job MakeJob(const TSearchCriteria& criteria) = 0;
    // Enables or disables the controls that set the criteria.
    virtual void SetCriteriaEnabled(bool enabled);
    // Each activation, after the shared steps.
    virtual void Activated() {}
    virtual void ArchiveReached(std::int32_t /*slot*/, const std::string& /*name*/) {}
    // Results are about to be shown in the text view (true) or the list view.
    virtual void ResultsAdded(const std::vector<TSearchResult>& /*batch*/, bool /*textView*/) {}
    virtual void SearchEnded() {}
    // Shows the result in the main window; row is the row of the view used.
    virtual void JumpTo(const TResultPlace& place, int row, bool textView) = 0;
    // Shows path in the content browser and selects the entry called name.
    void ShowEntry(const std::string& path, const std::string& name);

    // Whether the running or last search was stopped by the user ("Storno",
    // a result activated, the window closed) rather than ending by itself
    // or at the result cap.
    bool StoppedByUser() const { return stoppedByUser_; }
    // Stops a running search and waits, serving its hand-offs, for its end.
    // A window's destructor calls it while the window is whole.
    void StopAndWait();

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Escape does what "Storno" does: it stops a running search and closes
    // the window only when none runs.
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void BuildControls(const QString& markCaption);
    QWidget* BuildCriteria();
    QWidget* BuildResults();
    void ConnectControls();
    void KeepItems(QComboBox* box, const QString& initial);
    void ApplyView();
    void ApplyWrap();
    void ShowDescription();
    void TakeBatch(std::vector<TSearchResult>& batch, const std::string& folder);
    void Finish();
    void StopByUser();
    TSearchInput ReadInput() const;

    TForm_Main& main_;
    SearchTextModel* textModel_;
    SearchListModel* listModel_;
    MarkedLineDelegate* delegate_;
    QLabel* countPanel_ = nullptr;
    QLabel* folderPanel_ = nullptr;
    QVBoxLayout* extra_ = nullptr;
    std::atomic<bool> stop_{false};
    bool searching_ = false;
    bool stoppedByUser_ = false;
    bool listView_ = false; // the view of the running or last search
    std::int64_t cap_ = 0;
    TStarFlags star_;
    QPointer<TVlakno> worker_;
};

} // namespace orbisk
