#pragma once
// The program's own icon set, drawn at whatever size a view asks for, so the
// small and the large set are one: 0 the "[ .. ]" row, 1 a ZIP or RAR file,
// 2 any other file, 3 a folder, 4 a program, 5 a document, 6 sound, 7 video,
// 8 a picture, 9 a web page, 10 help, 11 a merged archive (see FileClassIcon
// and the kIcon constants of core).
#include <QIcon>

namespace orbisk {

inline constexpr int kOwnIconCount = 12;

// The icon of index; an index outside the set gives the plain file.
const QIcon& OwnIcon(int index);

// A folder of a folder tree: closed, open while selected.
const QIcon& FolderTreeIcon();

// The pictures of the tool bar's commands, one for each, so that no two
// buttons look alike. The view styles of the archive list carry a disc in
// their corner, those of the content list a folder.
enum class CommandPicture {
    New,
    Open,
    Save,
    Find,
    FindAll,
    ExportHtml,
    Database,
    Grid,
    ArchiveList,
    ArchiveReport,
    LargeIcons,
    SmallIcons,
    List,
    Report,
    HomePage,
    Help,
};
inline constexpr int kCommandPictureCount = static_cast<int>(CommandPicture::Help) + 1;

const QIcon& CommandIcon(CommandPicture picture);

} // namespace orbisk
