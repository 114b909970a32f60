#include "gui/db/TForm_DBedit.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/common/Named.h"
#include "gui/common/Text.h"

namespace orbisk {

namespace {

// The bytes of a one-line field: the given value while the field still
// shows it, else the typed text in the given value's code page.
std::string FieldBytes(const QString& text, const std::string& given) {
    if (text == DecodeText(given)) return given;
    return EncodeText(text, CodePageOf(given));
}

} // namespace

TForm_DBedit::TForm_DBedit(QWidget* parent)
    : QDialog(parent), Edit_Name(Named(new QLineEdit, "Edit_Name")),
      Edit_Size(Named(new QLineEdit(QStringLiteral("0")), "Edit_Size")),
      Edit_Archiv(Named(new QLineEdit(QStringLiteral("Archiv")), "Edit_Archiv")),
      Edit_Path(Named(new QLineEdit(QStringLiteral("\\")), "Edit_Path")),
      Memo_Popis(Named(new QPlainTextEdit, "Memo_Popis")),
      Edit_Pozn(Named(new QLineEdit, "Edit_Pozn")),
      Label_Popis(Named(new QLabel(QStringLiteral("Popis:")), "Label_Popis")),
      Label_Hint1(Named(
          new QLabel(QStringLiteral("Vřazení do kategorií provedte myší (drag&drop)")), "Label1")),
      Label_Hint2(Named(new QLabel(QStringLiteral("Kategorie vytvoříte pravým tlačítkem myši.")),
                        "Label2")),
      Button_Vloz(Named(new QPushButton(QStringLiteral("Vlož")), "Button_Vloz")),
      Button_Zmen(Named(new QPushButton(QStringLiteral("Změn")), "Button_Zmen")),
      Button_Storno(Named(new QPushButton(QStringLiteral("Storno")), "Button_Storno")) {
    setObjectName(QStringLiteral("Form_DBedit"));
    setWindowTitle(QString::fromUtf8(kDbEditCaption));
    setModal(true);
    given_.Size = "0";
    given_.Archive = "Archiv";
    given_.Path = "\\";
    Edit_Pozn->hide();
    for (QLabel* hint : {Label_Hint1, Label_Hint2})
        hint->setTextFormat(Qt::PlainText);
    // A description is several lines; a few show at once.
    Memo_Popis->setFixedHeight(Memo_Popis->fontMetrics().lineSpacing() * 4 + 12);
    Memo_Popis->setTabChangesFocus(true);

    auto* fields = new QFormLayout;
    // Each caption is named after its field, so a language file reaches it.
    fields->addRow(Named(new QLabel(QStringLiteral("Plný název:")), "Label_Name"), Edit_Name);
    fields->addRow(Named(new QLabel(QStringLiteral("Velikost:")), "Label_Size"), Edit_Size);
    fields->addRow(Named(new QLabel(QStringLiteral("Archiv:")), "Label_Archiv"), Edit_Archiv);
    fields->addRow(Named(new QLabel(QStringLiteral("Cesta:")), "Label_Path"), Edit_Path);
    fields->addRow(Label_Popis, Memo_Popis);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button_Vloz);
    buttons->addWidget(Button_Zmen);
    buttons->addWidget(Button_Storno);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(Edit_Pozn);
    layout->addWidget(Label_Hint1);
    layout->addWidget(Label_Hint2);
    layout->addLayout(buttons);
    Edit_Name->setMinimumWidth(380);

    connect(Button_Vloz, &QPushButton::clicked, this, [this] { done(Insert); });
    connect(Button_Zmen, &QPushButton::clicked, this, [this] { done(Change); });
    connect(Button_Storno, &QPushButton::clicked, this, &QDialog::reject);
    SetInsertMode(true);
}

void TForm_DBedit::Fill(const TDbItem& item) {
    FillFields(item);
    given_.Note = item.Note;
    given_.Description = item.Description;
    Edit_Pozn->setText(DecodeText(item.Note));
    Memo_Popis->setPlainText(DescriptionToText(item.Description));
}

void TForm_DBedit::FillFields(const TDbItem& item) {
    given_.Name = item.Name;
    given_.Size = item.Size;
    given_.Archive = item.Archive;
    given_.Path = item.Path;
    Edit_Name->setText(DecodeText(item.Name));
    Edit_Size->setText(DecodeText(item.Size));
    Edit_Archiv->setText(DecodeText(item.Archive));
    Edit_Path->setText(DecodeText(item.Path));
}

TDbItem TForm_DBedit::Item() const {
    TDbItem item;
    item.Name = FieldBytes(Edit_Name->text(), given_.Name);
    item.Size = FieldBytes(Edit_Size->text(), given_.Size);
    item.Archive = FieldBytes(Edit_Archiv->text(), given_.Archive);
    item.Path = FieldBytes(Edit_Path->text(), given_.Path);
    item.Note = FieldBytes(Edit_Pozn->text(), given_.Note);
    const QString description = Memo_Popis->toPlainText();
    item.Description = description == DescriptionToText(given_.Description)
                           ? given_.Description
                           : TextToDescription(description, CodePageOf(given_.Description));
    return item;
}

void TForm_DBedit::SetInsertMode(bool insert) {
    Button_Vloz->setEnabled(insert);
    Button_Zmen->setEnabled(!insert);
    Button_Vloz->setDefault(insert);
    Button_Zmen->setDefault(!insert);
    Label_Popis->setVisible(insert);
    Memo_Popis->setVisible(insert);
}

} // namespace orbisk
