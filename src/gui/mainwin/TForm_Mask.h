#pragma once
// The selection mask window: a mask typed or picked from the display mask
// history widens ("Rozšíření výběru") or narrows ("Zúžení výběru") the
// selection of the content list. Created once, shown modally; the mask typed
// last stays in the box for the next showing.
#include <QDialog>
#include <QString>
#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QPushButton;

class QLabel;

namespace orbisk {

inline constexpr const char* kMaskExtendTitle = "Rozšíření výběru";
inline constexpr const char* kMaskNarrowTitle = "Zúžení výběru";

class TForm_Mask : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Mask(QWidget* parent = nullptr);

    // Shows the window centred on over, titled for widening (extend) or
    // narrowing, its list the history. The mask on "OK", nothing on "Storno".
    std::optional<QString> Ask(bool extend, const std::vector<std::string>& history, QWidget* over);

    QComboBox* ComboBox_Mask;
    QPushButton* Button_OK;
    QPushButton* Button_Storno;
    QLabel* LabelT1; // hidden: the title for widening
    QLabel* LabelT2; // hidden: the title for narrowing
};

} // namespace orbisk
