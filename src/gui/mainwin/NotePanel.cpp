#include "gui/mainwin/NotePanel.h"

#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "gui/mainwin/ContentModel.h"
#include "gui/mainwin/TForm_Main.h"

namespace orbisk {

NotePanel::NotePanel(TForm_Main& form, ContentModel& model)
    : QObject(&form), form_(form), model_(model) {
    const TMainControls& c = form_.Controls();
    connect(c.Edit_Pozn, &QLineEdit::textEdited, this, &NotePanel::NoteTyped);
    connect(c.Memo_Popis, &QPlainTextEdit::textChanged, this, &NotePanel::DescriptionTyped);
    c.Edit_Pozn->installEventFilter(this);
    c.Memo_Popis->installEventFilter(this);
}

void NotePanel::ArchiveOpened() {
    codePage_ = ArchiveCodePage(form_.CurrentArchive);
}

void NotePanel::ShowRecord(std::int32_t rec) {
    StorePending();
    const TMainControls& c = form_.Controls();
    const TArch& arch = form_.CurrentArchive;
    if (rec < 1 || rec > arch.RecCount) rec = 0;
    loading_ = true;
    if (rec != 0) {
        const TRec& r = arch.Recs[static_cast<std::size_t>(rec)];
        c.Edit_Pozn->setText(DecodeText(r.Note));
        c.Edit_Pozn->setCursorPosition(0);
        c.Memo_Popis->setPlainText(DescriptionToText(r.Description));
        c.Memo_Popis->verticalScrollBar()->setValue(0);
    } else {
        c.Edit_Pozn->clear();
        c.Memo_Popis->clear();
    }
    // Typing is possible only where it can be stored: into one shown entry.
    c.Edit_Pozn->setEnabled(rec != 0);
    c.Memo_Popis->setEnabled(rec != 0);
    form_.SetNoteEdited(false);
    loading_ = false;
    shownRec_ = rec;
}

void NotePanel::NoteTyped(const QString& text) {
    if (loading_ || shownRec_ == 0) return;
    form_.SetNoteEdited(true);
    form_.SetModified(true);
    model_.SetLiveNote(shownRec_, text);
}

void NotePanel::DescriptionTyped() {
    if (loading_ || shownRec_ == 0) return;
    form_.SetNoteEdited(true);
    form_.SetModified(true);
}

void NotePanel::StorePending() {
    if (!form_.NoteEdited()) return;
    form_.SetNoteEdited(false);
    TArch& arch = form_.CurrentArchive;
    if (shownRec_ < 1 || shownRec_ > arch.RecCount) return;
    const TMainControls& c = form_.Controls();
    TRec& rec = arch.Recs[static_cast<std::size_t>(shownRec_)];
    rec.Note = TextToNote(c.Edit_Pozn->text(), codePage_);
    rec.Description = TextToDescription(c.Memo_Popis->toPlainText(), codePage_);
    form_.SetModified(true);
    model_.ClearLiveNote();
    model_.RecChanged(shownRec_);
}

bool NotePanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) StorePending();
    return QObject::eventFilter(watched, event);
}

void NotePanel::SetWrap(bool on) {
    QPlainTextEdit* memo = form_.Controls().Memo_Popis;
    memo->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(on ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

} // namespace orbisk
