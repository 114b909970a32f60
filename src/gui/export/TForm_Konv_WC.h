#pragma once
// The conversion window: catalogues of other programs become archives.
// "*.cds (Windows Commander)" converts Windows Commander catalogues (core
// CdsConvert); "ncdu / gdu (*.json)" imports the JSON exports of ncdu and
// gdu (core NcduImport) in the same window, whose caption, source title and
// source files follow the mode. The user picks the source folder, selects
// files in its list, picks the target folder and starts the run with
// "--->"; two gauges show the progress within the file and over the files,
// "Storno" stops between lines. A file that cannot be read, is no export,
// or whose archive cannot be written is reported in the window's message
// box and the run goes on with the next file. Created once; afterwards the
// main window builds its archive list anew.
#include "gui/export/RunningDialog.h"
#include <QString>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "core/catalog/Archive.h"
#include "gui/settings/LanguageApplier.h"

class QAction;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace orbisk {

class DirectoryEdit;
class FolderFilesModel;
class GuiHost;
class ListView;
class TForm_Main;
class TNumericDateFormatter;
struct TConvertResult;
struct TImportResult;

enum class TConvertSource { Cds, Ncdu };

class TForm_Konv_WC : public TRunningDialog, public TCaptionOwner {
    Q_OBJECT
public:
    explicit TForm_Konv_WC(TForm_Main* main);

    // The caption of the *.cds conversion, which a language file sets; the
    // ncdu / gdu import takes its caption from LabelT3.
    QString BaseCaption() const override { return cdsCaption_; }
    void SetBaseCaption(const QString& caption) override;
    ~TForm_Konv_WC() override;

    // Shows the window modally in mode; when it closes, the main window
    // builds its archive list anew and focuses its archive tree.
    void Execute(TConvertSource mode);
    // Switches the mode and fills both lists, as a showing does.
    void Prepare(TConvertSource mode);
    TConvertSource Mode() const { return mode_; }

    // The lines of the message box.
    QString Messages() const;
    FolderFilesModel& SourceFiles() const { return *sourceFiles_; }
    FolderFilesModel& TargetFiles() const { return *targetFiles_; }

    QLabel* Label1;                // "Zdroj   (Windows Commander  *.cds)"
    DirectoryEdit* DirectoryEdit1; // the source folder
    ListView* ListView1;           // its catalogues
    QLabel* Label2;                // "Cíl   (Orbisk  *.cd)"
    DirectoryEdit* DirectoryEdit2; // the target folder
    ListView* ListView2;           // its archives
    QPushButton* Button1;          // "--->"
    QPushButton* Button2;          // "Storno", shown during a run
    QPushButton* Button3;          // "X", hidden during a run
    QProgressBar* Gauge2;          // within the current file
    QProgressBar* Gauge1;          // over the selected files
    QPlainTextEdit* Memo;          // what went wrong in the last run

    // Hidden texts, so that they follow the language file.
    QLabel* Label3;  // "Přepsat existující soubor ?"
    QLabel* LabelT1; // "Nelze přečíst soubor "
    QLabel* LabelT2; // "Soubor není export ncdu / gdu: "
    QLabel* LabelT3; // the caption of the ncdu / gdu mode
    QLabel* LabelT4; // the source title of the ncdu / gdu mode

    // "Konverze" in the main window's "Soubor" menu.
    QAction* Action_KonvCds;  // "*.cds (Windows Commander)"
    QAction* Action_KonvNcdu; // "ncdu / gdu (*.json)"

public Q_SLOTS:
    void RunCommand();    // "--->"
    void CancelCommand(); // "Storno"

protected:
private:
    void BuildControls();
    void BuildLayout();
    void SetRunning(bool running);
    void FillSource();
    void FillTarget();
    std::string TargetBytes() const;
    void RunCds(const std::vector<std::string>& sources, std::vector<THead>& written);
    void RunNcdu(const std::vector<std::string>& sources, std::vector<THead>& written);
    void ReportCds(const TConvertResult& result);
    void ReportNcdu(const std::string& source, const TImportResult& result);
    bool AskOverwrite(const std::string& fileName);
    void ShowProgress(std::size_t number, std::size_t count);

    TForm_Main& main_;
    std::unique_ptr<GuiHost> host_;
    std::unique_ptr<TNumericDateFormatter> dates_;
    FolderFilesModel* sourceFiles_;
    FolderFilesModel* targetFiles_;
    TConvertSource mode_ = TConvertSource::Cds;
    QString cdsCaption_, cdsSourceTitle_;
    bool targetSet_ = false;
};

} // namespace orbisk
