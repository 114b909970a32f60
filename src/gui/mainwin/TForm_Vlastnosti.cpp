#include "gui/mainwin/TForm_Vlastnosti.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/catalog/Common.h"
#include "core/catalog/ProgramValues.h"
#include "gui/common/Named.h"
#include "gui/common/Text.h"
#include "gui/common/ValueCombo.h"

namespace orbisk {

namespace {

QComboBox* ValueBox(const char* name) {
    auto* box = Named(new QComboBox, name);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

// The code page of the values shown: Windows-1250 when any of them uses it.
TCodePage PageOf(const THead& row) {
    for (const std::string* s :
         {&row.Name, &row.Typ, &row.SubTyp, &row.Medium, &row.Owner, &row.Description})
        if (CodePageOf(*s) == TCodePage::Cp1250) return TCodePage::Cp1250;
    return TCodePage::Utf8;
}

} // namespace

TForm_Vlastnosti::TForm_Vlastnosti(QWidget* parent)
    : QDialog(parent), Edit_Name(Named(new QLineEdit, "Edit_Name")),
      ComboBox_Typ(ValueBox("ComboBox_Typ")), ComboBox_SubTyp(ValueBox("ComboBox_SubTyp")),
      ComboBox_Medium(ValueBox("ComboBox_Medium")), ComboBox_Owner(ValueBox("ComboBox_Owner")),
      Edit_Popis(Named(new QLineEdit, "Edit_Popis")),
      Edit_Kategorie(Named(new QLineEdit, "Edit_Kategorie")),
      Edit_SN(Named(new QLineEdit, "Edit_SN")),
      Button_OK(Named(new QPushButton(QStringLiteral("OK")), "Button_OK")),
      Button_Storno(Named(new QPushButton(QStringLiteral("Storno")), "Button_Storno")),
      LabelT4(Named(new QLabel(QStringLiteral("Vlastnosti  ["), this), "LabelT4")) {
    setObjectName(QStringLiteral("Form_Vlastnosti"));
    setWindowTitle(QStringLiteral("Vlastnosti"));
    setModal(true);
    LabelT4->hide();
    Edit_SN->hide();
    Edit_Kategorie->setReadOnly(true);
    Edit_Name->setMinimumWidth(320);
    Button_OK->setDefault(true);

    auto* form = new QFormLayout;
    // Each caption is named after its field, so a language file reaches it.
    const std::pair<const char*, QWidget*> rows[] = {
        {"Název", Edit_Name},          {"Typ", ComboBox_Typ},        {"SubTyp", ComboBox_SubTyp},
        {"Medium", ComboBox_Medium},   {"Vlastník", ComboBox_Owner}, {"Popis", Edit_Popis},
        {"Kategorie", Edit_Kategorie},
    };
    for (const auto& [caption, field] : rows) {
        auto* label = new QLabel(QString::fromUtf8(caption));
        label->setObjectName(QStringLiteral("Label_") +
                             field->objectName().section(QLatin1Char('_'), 1));
        form->addRow(label, field);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button_OK);
    buttons->addWidget(Button_Storno);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Edit_SN);
    layout->addLayout(buttons);
    connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button_Storno, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<TArchiveProperties> TForm_Vlastnosti::Ask(const THead& row, QWidget* over) {
    setWindowTitle(LabelT4->text() + DecodeText(row.FileName) + QLatin1Char(']'));
    ProgramValues& program = Program();
    Edit_Name->setText(DecodeText(row.Name));
    OfferValues(*ComboBox_Typ, program.ValueLists.TypList, DecodeText(row.Typ));
    OfferValues(*ComboBox_SubTyp, program.ValueLists.SubTypList, DecodeText(row.SubTyp));
    OfferValues(*ComboBox_Medium, program.ValueLists.MediumList, DecodeText(row.Medium));
    OfferValues(*ComboBox_Owner, program.ValueLists.OwnerList, DecodeText(row.Owner));
    Edit_Popis->setText(DecodeText(row.Description));
    Edit_Kategorie->setText(DecodeText(BlankOut(row.TreePath, "\\")));
    Edit_SN->setText(DecodeText(row.SN));
    Edit_Name->setFocus();
    Edit_Name->selectAll();
    if (over) {
        adjustSize();
        QRect area(over->mapToGlobal(QPoint(0, 0)), over->size());
        move(area.center() - rect().center());
    }
    if (exec() != QDialog::Accepted) return std::nullopt;
    const TCodePage page = PageOf(row);
    auto typed = [page](const QString& text) { return EncodeText(text, page); };
    TArchiveProperties values = NormalizeProperties(
        {typed(Edit_Name->text()), typed(ComboBox_Typ->currentText()),
         typed(ComboBox_SubTyp->currentText()), typed(ComboBox_Medium->currentText()),
         typed(ComboBox_Owner->currentText()), typed(Edit_Popis->text())});
    program.ValueLists.Add(values);
    return values;
}

} // namespace orbisk
