#pragma once
// The category name window ("Název nové kategorie ..."): shows the parent
// category's path in bold, takes the name of the new category and, with
// "kořenová kategorie" ticked, puts it at the root "\" instead. Created once,
// shown modally; the tick stays between showings.
#include <QDialog>
#include <QString>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace orbisk {

inline constexpr const char* kCategoryNameTitle = "Název nové kategorie ...";

class TForm_DB_Kat : public QDialog {
    Q_OBJECT
public:
    explicit TForm_DB_Kat(QWidget* parent = nullptr);

    // Shows the window for a category below parentPath (a tree path such as
    // \CD\ or "\"). On "OK" with a name: the shown path + name + "\";
    // otherwise nothing.
    std::optional<std::string> Ask(const std::string& parentPath, QWidget* over);

    QLabel* Label_Path;
    QLineEdit* Edit_Name;
    QCheckBox* CheckBox;    // "kořenová kategorie"
    QLineEdit* Edit_Result; // hidden: the resulting path
    QPushButton* Button_OK;
    QPushButton* Button_Storno;

private:
    void ShowPath();
    void Confirm();

    std::string parentPath_;
};

} // namespace orbisk
