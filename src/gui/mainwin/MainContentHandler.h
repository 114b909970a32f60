#pragma once
// The content pane of the main window: the entries of the open archive's root
// folder, and the note and description of the selected entry, which the user
// may edit.
#include <QObject>
#include <cstdint>
#include <string>

#include "gui/common/Text.h"

namespace orbisk {

class ArchiveDirModel;
class GridLineDelegate;
class TForm_Main;

class MainContentHandler : public QObject {
    Q_OBJECT
public:
    explicit MainContentHandler(TForm_Main& form);

    ArchiveDirModel& Model() const { return *model_; }

    // Empties the list and the note panel; call before the open archive's
    // arrays change. A note being typed is stored first.
    void Clear();
    // Takes the code page of the archive just read, for text typed into it.
    void ArchiveOpened();
    // Lists the folder path of the open archive and selects its first row.
    // Nothing happens while the window is busy.
    void ListFolder(const std::string& path);

    // Stores the note and description being typed into their entry.
    void StorePendingNote();

    // Recs index of the entry whose note and description are shown, or 0.
    std::int32_t ShownRec() const { return shownRec_; }
    TCodePage CodePage() const { return codePage_; }

    void SetGridLines(bool on);
    void SetWrap(bool on);
    void FocusList();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SelectionChanged();
    void ShowRecord(std::int32_t rec, int row);
    void NoteTyped(const QString& text);
    void DescriptionTyped();
    void ShowTotals(bool listed);

    TForm_Main& form_;
    ArchiveDirModel* model_;
    GridLineDelegate* grid_;
    TCodePage codePage_ = TCodePage::Utf8;
    std::int32_t shownRec_ = 0;
    int shownRow_ = -1;
    bool loading_ = false;
};

} // namespace orbisk
