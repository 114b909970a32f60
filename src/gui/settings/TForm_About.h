#pragma once
// The about window ("O programu"): the product line, what the program does in
// Czech and in English, a button that opens the program's home page and
// "OK". Created once, shown modally.
#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace orbisk {

inline constexpr const char* kAboutTitle = "O programu";

class TForm_About : public QDialog {
    Q_OBJECT
public:
    explicit TForm_About(QWidget* parent = nullptr);

    QLabel* Label_Product;
    QPlainTextEdit* Memo_CZ; // the features, one a line, in Czech
    QPlainTextEdit* Memo_EN; // the same in English
    QPushButton* Button_WWW; // "Program WWW Home Page"
    QPushButton* Button_OK;
};

} // namespace orbisk
