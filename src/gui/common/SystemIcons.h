#pragma once
// The pictures of entries by file type: the program's own (OwnIcon), or, while
// the system's icons are switched on, the desktop icon theme's picture of the
// type the name's extension stands for. The type comes from the name alone
// (the medium is not there to be read), and each extension is looked up once.
// The "[ .. ]" row, ZIP and RAR files and the sources of a merged archive keep
// the program's own pictures either way. Used from the GUI thread only.
#include <QIcon>
#include <QObject>
#include <string_view>

namespace orbisk {

// Switches the pictures of the content list, the search results and the
// extension lists for the whole program. The models showing them redraw their
// pictures by themselves (ListModel::FollowSystemIcons).
void SetSystemIcons(bool on);
bool SystemIconsOn();

// The picture of an entry named name (stored bytes, UTF-8 or Windows-1250),
// a folder or not, whose own picture is ownIcon (an index of OwnIcon).
QIcon EntryIcon(std::string_view name, bool folder, int ownIcon);

// Tells the models that the switch changed.
class SystemIconsSwitch : public QObject {
    Q_OBJECT
public:
    static SystemIconsSwitch& Instance();

Q_SIGNALS:
    void Switched(bool on);
};

} // namespace orbisk
