#pragma once
// The window "Hledání ...": finds entries in all archives of the working
// folder, in those selected in the main window's archive list, or in those
// filed under the category selected in the archive tree. Each archive is
// read by the search itself; the archive open in the main window stays. A
// folder with a search index is searched through it; one without gets it
// built in the background once a search has read its archive files; the
// build goes on when the window is closed and ends when the working folder
// changes or the program quits.
#include <QString>
#include <string>
#include <vector>

#include "core/search/SearchRun.h"
#include "gui/search/IndexBuilder.h"
#include "gui/search/SearchWindow.h"

class QAction;
class QGroupBox;
class QRadioButton;

namespace orbisk {

class TForm_Find4 : public TSearchWindow {
    Q_OBJECT
public:
    explicit TForm_Find4(TForm_Main* main);
    ~TForm_Find4() override;

    TSearchScope Scope() const;
    void SetScope(TSearchScope scope);
    // The category of the node selected in the archive tree when the window
    // was last activated; empty when no node was selected.
    const std::string& CategoryPath() const { return categoryPath_; }
    // The archive file of each line of the text view, in line order.
    const std::vector<std::string>& ResultFiles() const { return resultFiles_; }
    // The background build of the working folder's search index.
    TIndexBuilder& IndexBuilder() const { return *indexBuilder_; }

    // "Hledat... (všude nebo vybrané)" in the main window.
    QAction* Action_FindAll;
    QGroupBox* RadioGroup;
    QLabel* LabelT2;

protected:
    TVlakno::Job MakeJob(const TSearchCriteria& criteria) override;
    void SetCriteriaEnabled(bool enabled) override;
    void Activated() override;
    void ArchiveReached(std::int32_t slot, const std::string& name) override;
    void ResultsAdded(const std::vector<TSearchResult>& batch, bool textView) override;
    void SearchEnded() override;
    void JumpTo(const TResultPlace& place, int row, bool textView) override;

private:
    std::string SelectedCategory() const;

    std::vector<QRadioButton*> scopes_;
    std::string categoryPath_;
    std::vector<std::string> resultFiles_;
    TIndexBuilder* indexBuilder_;
    bool readFiles_ = false; // the last search read the archive files: no index
};

} // namespace orbisk
