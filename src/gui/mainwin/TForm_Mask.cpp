#include "gui/mainwin/TForm_Mask.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/common/Named.h"
#include "gui/common/Text.h"

namespace orbisk {

TForm_Mask::TForm_Mask(QWidget* parent)
    : QDialog(parent), ComboBox_Mask(new QComboBox),
      Button_OK(new QPushButton(QStringLiteral("OK"))),
      Button_Storno(new QPushButton(QStringLiteral("Storno"))),
      LabelT1(Named(new QLabel(QString::fromUtf8(kMaskExtendTitle), this), "LabelT1")),
      LabelT2(Named(new QLabel(QString::fromUtf8(kMaskNarrowTitle), this), "LabelT2")) {
    LabelT1->hide();
    LabelT2->hide();
    setObjectName(QStringLiteral("Form_Mask"));
    setWindowTitle(QString::fromUtf8(kMaskExtendTitle));
    setModal(true);
    ComboBox_Mask->setObjectName(QStringLiteral("ComboBox_Mask"));
    Button_OK->setObjectName(QStringLiteral("Button_OK"));
    Button_Storno->setObjectName(QStringLiteral("Button_Storno"));
    ComboBox_Mask->setEditable(true);
    ComboBox_Mask->setInsertPolicy(QComboBox::NoInsert);
    ComboBox_Mask->setMinimumWidth(220);
    ComboBox_Mask->setEditText(QStringLiteral("*.*"));
    Button_OK->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button_OK);
    buttons->addWidget(Button_Storno);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ComboBox_Mask);
    layout->addLayout(buttons);
    connect(Button_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button_Storno, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(sizeHint());
}

std::optional<QString> TForm_Mask::Ask(bool extend, const std::vector<std::string>& history,
                                       QWidget* over) {
    setWindowTitle((extend ? LabelT1 : LabelT2)->text());
    const QString typed = ComboBox_Mask->currentText();
    ComboBox_Mask->clear();
    for (const std::string& mask : history)
        ComboBox_Mask->addItem(DecodeText(mask));
    ComboBox_Mask->setEditText(typed);
    ComboBox_Mask->lineEdit()->selectAll();
    ComboBox_Mask->setFocus();
    if (over) {
        QRect area(over->mapToGlobal(QPoint(0, 0)), over->size());
        move(area.center() - rect().center());
    }
    if (exec() != QDialog::Accepted) return std::nullopt;
    return ComboBox_Mask->currentText();
}

} // namespace orbisk
