#pragma once
// The properties window of one archive: its name, the categories Typ,
// SubTyp and Medium, the owner and the description, with the category path
// shown read-only. Created once, shown modally.
#include <QDialog>
#include <optional>

#include "core/catalog/ArchiveListEdit.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orbisk {

class TForm_Vlastnosti : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Vlastnosti(QWidget* parent = nullptr);

    // Shows the values of row, the drop-down lists offering the value lists
    // of the program (sorted). On "OK" the values as stored (normalised),
    // which also join the value lists; nothing on "Storno".
    std::optional<TArchiveProperties> Ask(const THead& row, QWidget* over);

    QLineEdit* Edit_Name;
    QComboBox* ComboBox_Typ;
    QComboBox* ComboBox_SubTyp;
    QComboBox* ComboBox_Medium;
    QComboBox* ComboBox_Owner;
    QLineEdit* Edit_Popis;
    QLineEdit* Edit_Kategorie; // read-only: the tree path, "\" shown as blanks
    QLineEdit* Edit_SN;        // hidden
    QPushButton* Button_OK;
    QPushButton* Button_Storno;
    QLabel* LabelT4; // hidden: "Vlastnosti  [", the start of the title
};

} // namespace orbisk
