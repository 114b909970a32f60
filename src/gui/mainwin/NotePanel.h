#pragma once
// The note field "Poznámka:" and the description field "Popis:" of the entry
// selected in the content list. What is typed is stored into the open archive
// when either field loses the focus and before another entry is shown; a
// note being typed shows at once in the list's note column.
#include <QObject>
#include <cstdint>

#include "gui/common/Text.h"

namespace orbisk {

class ContentModel;
class TForm_Main;

class NotePanel : public QObject {
    Q_OBJECT
public:
    NotePanel(TForm_Main& form, ContentModel& model);

    // Takes the code page of the archive just read, for text typed into it.
    void ArchiveOpened();
    // Shows the note and description of entry rec (0: empty fields that take
    // no typing). A note being typed is stored first.
    void ShowRecord(std::int32_t rec);
    // Stores the note and description being typed into their entry.
    void StorePending();

    // Recs index of the entry whose note and description are shown, or 0.
    std::int32_t ShownRec() const { return shownRec_; }
    TCodePage CodePage() const { return codePage_; }

    // Wrapped lines and a vertical scroll bar only, or both scroll bars.
    void SetWrap(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void NoteTyped(const QString& text);
    void DescriptionTyped();

    TForm_Main& form_;
    ContentModel& model_;
    TCodePage codePage_ = TCodePage::Utf8;
    std::int32_t shownRec_ = 0;
    bool loading_ = false;
};

} // namespace orbisk
