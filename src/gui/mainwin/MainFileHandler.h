#pragma once
// The file menu of the main window and the working folder: open, save, the
// two changes of the working folder, the language entries and exit.
#include <QObject>
#include <QString>
#include <string>

class QAction;

namespace orbisk {

class TForm_Main;

inline constexpr const char* kArchiveFilter = "CD list (*.cd)";
inline constexpr const char* kChooseFolderTitle = "Vyber pracovní adresář ...";
inline constexpr const char* kMsgNoFolder = "Nelze nalézt adresář.";
inline constexpr const char* kLanguageFilter = "Language (jazyk)  (*.lng)";

class MainFileHandler : public QObject {
    Q_OBJECT
public:
    explicit MainFileHandler(TForm_Main& form);

    // "Otevřít ...": the dialog starts in the working folder; the chosen .cd
    // file becomes the open archive.
    void OpenCommand();
    // "Uložit": stores a note being typed and saves the open archive.
    void SaveCommand();
    // "Změna adresáře...": inside the folder that holds the default working
    // folder, the folder the program was started in (local), or anywhere.
    // The chosen folder becomes the working folder.
    void ChangeFolderCommand(bool local);

    // One entry per language file in the user's folder or beside the
    // program; choosing one makes it the language file and applies it.
    void FillLanguageMenu();
    void ChooseLanguage(QAction* entry);
    // Applies the language file of that name (the user's copy first); a file
    // that cannot be read changes nothing.
    void LoadLanguage(const std::string& name);
    // "Importuj ...": applies a chosen file, whose name becomes the language
    // file name. "Exportuj ...": writes the current texts to a chosen file.
    void ImportLanguageCommand();
    void ExportLanguageCommand();

    // At start: a working folder that cannot be entered gives way to the
    // folder the program was started in.
    void CheckWorkingFolder();

private:
    TForm_Main& form_;
};

} // namespace orbisk
