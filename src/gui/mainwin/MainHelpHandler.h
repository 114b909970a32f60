#pragma once
// The help menu of the main window: the help file and the home page.
#include <QObject>
#include <QString>

namespace orbisk {

class TForm_Main;

inline constexpr const char* kHelpFile = "orbisk.chm";
inline constexpr const char* kHelpGuide = "help/index.html"; // shipped beside the program
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
    void HomePageCommand();

    // The file HelpCommand opens, or an empty text when there is none.
    static QString HelpPath();
};

} // namespace orbisk
