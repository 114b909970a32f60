#include "gui/db/TForm_DB_Kat.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/catalog/Common.h"
#include "gui/common/Named.h"
#include "gui/common/Text.h"

namespace orbisk {

TForm_DB_Kat::TForm_DB_Kat(QWidget* parent)
    : QDialog(parent), Label_Path(Named(new QLabel, "Label_Path")),
      Edit_Name(Named(new QLineEdit, "Edit_Name")),
      CheckBox(Named(new QCheckBox(QStringLiteral("kořenová kategorie")), "CheckBox")),
      Edit_Result(Named(new QLineEdit, "Edit_Result")),
      Button_OK(Named(new QPushButton(QStringLiteral("OK")), "Button_OK")),
      Button_Storno(Named(new QPushButton(QStringLiteral("Storno")), "Button_Storno")) {
    setObjectName(QStringLiteral("Form_DB_Kat"));
    setWindowTitle(QString::fromUtf8(kCategoryNameTitle));
    setModal(true);
    QFont bold = Label_Path->font();
    bold.setBold(true);
    Label_Path->setFont(bold);
    Label_Path->setTextFormat(Qt::PlainText);
    Edit_Name->setMinimumWidth(260);
    Edit_Result->hide();
    Button_OK->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(CheckBox);
    buttons->addStretch(1);
    buttons->addWidget(Button_OK);
    buttons->addWidget(Button_Storno);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label_Path);
    layout->addWidget(Edit_Name);
    layout->addWidget(Edit_Result);
    layout->addLayout(buttons);
    connect(CheckBox, &QCheckBox::toggled, this, &TForm_DB_Kat::ShowPath);
    connect(Button_OK, &QPushButton::clicked, this, &TForm_DB_Kat::Confirm);
    connect(Button_Storno, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm_DB_Kat::ShowPath() {
    Label_Path->setText(CheckBox->isChecked() ? QStringLiteral("\\") : DecodeText(parentPath_));
}

void TForm_DB_Kat::Confirm() {
    const QString name = Edit_Name->text();
    if (!name.isEmpty()) Edit_Result->setText(Label_Path->text() + name + QLatin1Char('\\'));
    accept();
}

std::optional<std::string> TForm_DB_Kat::Ask(const std::string& parentPath, QWidget* over) {
    parentPath_ = parentPath;
    Edit_Name->clear();
    Edit_Result->clear();
    CheckBox->setChecked(false);
    ShowPath();
    Edit_Name->setFocus();
    if (over) {
        adjustSize();
        QRect area(over->mapToGlobal(QPoint(0, 0)), over->size());
        move(area.center() - rect().center());
    }
    if (exec() != QDialog::Accepted || Edit_Result->text().isEmpty()) return std::nullopt;
    // The parent's bytes stay as they are; the typed name joins them,
    // cleaned like a header value: a "\" in it would make two nested
    // categories of it.
    const QString result = Edit_Result->text();
    const QString shownParent = Label_Path->text();
    const std::string parent = CheckBox->isChecked() ? std::string("\\") : parentPath_;
    const QString name = result.mid(shownParent.size(), result.size() - shownParent.size() - 1);
    return parent + BlankOut(EncodeText(name, CodePageOf(parent)), kHeaderForbidden) + "\\";
}

} // namespace orbisk
