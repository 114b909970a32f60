#pragma once
// The window "Export do html": one archive file becomes one HTML page (core
// ArchiveExport). The column switches choose the page's columns, the log box
// shows the progress, "Storno" cancels a running export, the page is saved
// where the save dialog says, and "Zobraz" opens the saved page with the
// desktop. Created once; shown modally by the main window's "Export do
// html..." (no archive: the user picks one with "Archiv") and by the same
// entry of the archive list's pop-up menu (the selected archive).
#include "gui/export/RunningDialog.h"
#include <QString>
#include <atomic>
#include <memory>

#include "core/export/ArchiveExport.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace orbisk {

class GuiHost;
class TForm_Main;

class TForm_Tohtml : public TRunningDialog {
    Q_OBJECT
public:
    explicit TForm_Tohtml(TForm_Main* main);
    ~TForm_Tohtml() override;

    // Shows the window modally; with a path the window starts ready to
    // export that archive file, without one the user picks the archive.
    void Execute(const QString& archivePath = {});
    // Takes the archive (or none) and resets the window as a showing does.
    void Prepare(const QString& archivePath);

    QString ArchivePath() const;
    // True while an export runs; "Storno" clears it.
    const QString& LastSavedPage() const { return lastSaved_; }
    QString LogText() const;
    TExportColumns Columns() const;

    QLineEdit* Edit1;         // the archive path, read only
    QGroupBox* GroupBox1;     // "Exportované položky"
    QCheckBox* CheckBox1;     // "Název", always on
    QCheckBox* CheckBox2;     // "Velikost"
    QCheckBox* CheckBox3;     // "Datum"
    QCheckBox* CheckBox4;     // "Atribut"
    QCheckBox* CheckBox5;     // "Poznámka"
    QCheckBox* CheckBox6;     // "Popis"
    QCheckBox* CheckBox7;     // "Mříž"
    QPlainTextEdit* RichEdit; // the log
    QPushButton* Button1;     // "OK"
    QPushButton* Button2;     // "Storno"
    QPushButton* Button3;     // "Zobraz"
    QPushButton* Button4;     // "Archiv"

    // Hidden texts, so that they follow the language file.
    QLabel* LabelT1; // "Exportuji..."
    QLabel* LabelT2; // "Vlastník"
    QLabel* LabelT3; // "Výpis byl vytvořen pomocí programu "
    QLabel* LabelT4; // "Nepodařil se export, ..."
    QLabel* LabelT5; // "Export dokončen."
    QLabel* LabelT6; // "Export zrušen."
    QLabel* LabelT7; // "Zobrazení vyexportovaného souboru  "
    QLabel* LabelT8; // "pomocí výchozího Webového prohlížeče."
    QLabel* LabelT9; // "Soubor uložen."

    // "Export do html..." of the main window's "Funkce" menu and tool bar,
    // and of the archive list's pop-up menu.
    QAction* Action_Export;
    QAction* Action_ExportRow;

public Q_SLOTS:
    void ExportCommand();  // "OK"
    void CancelCommand();  // "Storno"
    void ShowCommand();    // "Zobraz"
    void ArchiveCommand(); // "Archiv"
    // The archive list's entry: the selected archive, when it is exactly
    // one and its file exists.
    void ExportRowCommand();

protected:
    void Dismissed() override;

private:
    void BuildControls();
    void BuildLayout();
    void Log(const QString& line);
    TExportTexts Texts() const;
    void SavePage(const std::string& page);
    void UpdateRowCommand();
    std::int32_t ExportableSlot() const;

    TForm_Main& main_;
    std::unique_ptr<GuiHost> host_;
    bool archiveGiven_ = false;
    QString lastSaved_;
};

} // namespace orbisk
