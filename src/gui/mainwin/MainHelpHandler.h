#pragma once
// The help menu of the main window: the help file, the home page and the
// about window.
#include <QObject>
#include <QString>

namespace orbisk {

class TForm_Main;

inline constexpr const char* kHelpFile = "orbisk.chm";
// Said when the desktop cannot open the help or the home page; the file or
// address follows.
inline constexpr const char* kMsgCannotOpen = "Nelze otevřít ";

class MainHelpHandler : public QObject {
    Q_OBJECT
public:
    explicit MainHelpHandler(TForm_Main& form);

    // Opens orbisk.chm beside the program when it is there, otherwise the
    // HTML guide shipped with the program. A file or page the desktop cannot
    // open is reported, not passed over.
    void HelpCommand();
    // Opens the home page (for now the guide the program ships); a guide
    // that is not there is said to be missing. The about window's button
    // opens it too.
    static void HomePageCommand();
    // "O programu": the about window.
    void AboutCommand();

    // The file HelpCommand opens, or an empty text when there is none.
    static QString HelpPath();

private:
    TForm_Main& form_;
};

} // namespace orbisk
