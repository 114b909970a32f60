#pragma once
// The item window of the database ("Editace záznamu"): name, size, archive,
// path and description of one item, with a hidden note. "Vlož" inserts a new
// item, "Změn" changes the item being edited; exactly one of them is enabled,
// and the description shows only while "Vlož" is. Created once, shown
// modally; the fields keep their contents between showings.
#include <QDialog>
#include <cstdint>
#include <string>

#include "core/db/Database.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace orbisk {

inline constexpr const char* kDbEditCaption = "Editace záznamu";

class TForm_DBedit : public QDialog {
    Q_OBJECT
public:
    // How the window was closed.
    enum Result { Storno = QDialog::Rejected, Insert = 1, Change = 2 };

    explicit TForm_DBedit(QWidget* parent = nullptr);

    // Puts the six values of item into the fields.
    void Fill(const TDbItem& item);
    // Puts name, size, archive and path into the fields; note and
    // description stay as they are.
    void FillFields(const TDbItem& item);
    // The fields as an item. A field that still shows the value it was given
    // keeps that value's bytes; typed text takes that value's code page.
    TDbItem Item() const;
    // "Vlož" enabled and "Změn" disabled (insert), or the other way round.
    void SetInsertMode(bool insert);
    // The item "Změn" changes.
    std::int32_t ItemIndex = 0;

    QLineEdit* Edit_Name;
    QLineEdit* Edit_Size;
    QLineEdit* Edit_Archiv;
    QLineEdit* Edit_Path;
    QPlainTextEdit* Memo_Popis;
    QLineEdit* Edit_Pozn; // hidden
    QLabel* Label_Popis;
    QLabel* Label_Hint1;
    QLabel* Label_Hint2;
    QPushButton* Button_Vloz;
    QPushButton* Button_Zmen;
    QPushButton* Button_Storno;

private:
    TDbItem given_; // the values last put into the fields, as bytes
};

} // namespace orbisk
