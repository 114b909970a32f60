#pragma once
// The window blocks of the settings file: position and size of every window,
// the sizes of its panels, the state of its check boxes, the column widths,
// grid lines and view style of its list views and, in the setup window, the
// colours of its samples. They are taken from the live windows when saving
// and pushed into them when loading; nothing of them is kept in memory.
#include <QString>
#include <string>
#include <vector>

class QWidget;

namespace orbisk {

// The window whose single-line edits carry colours ("Color" lines).
inline constexpr const char* kSetupWindow = "Form_Setup";

// The lines of every window's block, windows in the order given.
std::vector<std::string> SettingsBlocks(const std::vector<QWidget*>& windows);

// Applies the block lines from index first on; the first failure (a value
// that is not a number) ends the application silently, what was applied
// stays. A window put off every present screen is moved onto the nearest.
void ApplySettingsBlocks(const std::vector<QWidget*>& windows,
                         const std::vector<std::string>& lines, std::size_t first);

// Moves window onto the screen nearest to it when no screen shows any of it.
void KeepOnScreen(QWidget& window);

// Background colour of an edit as the settings file stores it: red in the
// low byte, then green, then blue.
int ColourValue(const QWidget& edit);
void SetColourValue(QWidget& edit, int value);

} // namespace orbisk
