#pragma once
// The database export window ("Export DB do HTML"): a template chosen from
// the *.tpl files beside the program, "OK" writes the whole database as one
// page through it (the save dialog proposes "orbidex.html" in the working
// folder), "Zobraz" opens the written page in the browser. What happens is
// told in the log pane, never in message boxes. The export orders the
// database in place; the database window saves that order when it closes.
#include <QDialog>
#include <QString>

class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace orbisk {

class TDatabase;

inline constexpr const char* kDbHtmlCaption = "Export DB do HTML";
inline constexpr const char* kDbPageName = "orbidex.html";

class TForm_DB_HTML : public QDialog {
    Q_OBJECT
public:
    explicit TForm_DB_HTML(QWidget* parent = nullptr);

    // Shows the window modally for db; the save dialog starts in folder.
    void Execute(TDatabase& db, const QString& folder);

    // What the window does when it is shown: an empty log, "Zobraz"
    // disabled, the template names listed and the first one chosen.
    void Activate();
    void ExportCommand(); // "OK"
    void ShowCommand();   // "Zobraz"
    // The written page, empty before an export succeeded.
    const QString& Page() const { return page_; }

    QLabel* Label_Vzor;
    QComboBox* ComboBox; // the template names, sorted; editable
    QPushButton* Button_OK;
    QPushButton* Button_Zobraz;
    QPlainTextEdit* Memo; // the log
    // Hidden; their captions are the log texts a language file translates.
    QLabel* LabelT1; // "Šablona pro export nebyla nalezena."
    QLabel* LabelT2; // "Exportuji ..."
    QLabel* LabelT3; // "Export dokončen."
    QLabel* LabelT4; // "Zobrazení pomocí výchozího webového prohlížeče"
    QLabel* LabelT5; // "Soubor nebyl zapsán."

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Log(const QLabel* label);

    TDatabase* db_ = nullptr;
    QString folder_;
    QString page_;
};

} // namespace orbisk
