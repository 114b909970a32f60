#pragma once
// The setup window ("Nastavení"): the user's options of the main program as
// check boxes and colour samples. It keeps nothing of its own: the settings
// file saves and restores its boxes and the colours of its samples with
// every other window, and the options reach the other windows when they are
// applied (at start-up, on every showing, after a colour is chosen and when
// a box is clicked).
#include <QColor>
#include <QDialog>
#include <array>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace orbisk {

class TForm_Main;

inline constexpr const char* kSetupTitle = "Nastavení";
// Typed on "Ulož INI nyní", it refreshes every language file.
inline constexpr const char* kRefreshKeys = "QZXWKJVH";
inline constexpr int kColourAreas = 9;

// The custom colours the colour dialog offers, as "BBGGRR" hexadecimal.
std::vector<QColor> SetupCustomColours();

class TForm_Setup : public QDialog {
    Q_OBJECT
public:
    explicit TForm_Setup(TForm_Main* main);
    ~TForm_Setup() override;

    // Brings the options to the other windows; nothing while the main window
    // is busy.
    void ApplyOptions();
    // "Barva" of area index (0 to 8): the colour dialog preset to its sample.
    void ChooseColour(int index);
    // "Ulož INI nyní": the settings file now; a message when it cannot be written.
    void SaveNowCommand();
    // One key pressed on "Ulož INI nyní" (the hidden key buffer).
    void KeyOnSaveButton(int key);

    // "Nastavení ..." in the main window's "Možnosti".
    QAction* Action_Setup;

    QTabWidget* PageControl;
    // Page "Barvy": the areas and their samples, whose background is the colour.
    std::array<QCheckBox*, kColourAreas> ColourBoxes{};
    std::array<QLineEdit*, kColourAreas> Samples{};
    std::array<QPushButton*, kColourAreas> ColourButtons{};
    // Pages "Další" and "Další 2".
    QCheckBox* CheckBox_INI;
    QCheckBox* CheckBox_BAK;
    QCheckBox* CheckBox_Size;
    QCheckBox* CheckBox_TreeSelect;
    QCheckBox* CheckBox_ListSelect;
    QCheckBox* CheckBox_Description_Wrap;
    QCheckBox* CheckBox_WhichCDROM;
    QCheckBox* CheckBox_SN;
    QCheckBox* CheckBox_ICO;
    QCheckBox* CheckBox_HideStar;
    QCheckBox* CheckBox_SelNoticed;
    QCheckBox* CheckBox_ViewCD;
    QCheckBox* CheckBox_LeftDaD;
    QCheckBox* CheckBox_TreeDir;
    QCheckBox* CheckBox_ShowUpper;
    QCheckBox* CheckBox_ViewWrap;
    QPushButton* Button_SaveIni; // "Ulož INI nyní"
    QPushButton* Button_OK;
    QLabel* LabelT1; // "I/O error ?"
    QLabel* LabelT2; // "File not Rewriten"

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildColourPage();
    QWidget* BuildOptionPage(const std::vector<QCheckBox*>& boxes);
    QCheckBox* OptionBox(const char* name, const char* caption, bool ticked);
    void Activated();

    TForm_Main& main_;
    std::string keys_; // the hidden key buffer
};

} // namespace orbisk
