#pragma once
// The components of a window as the settings and language files see them:
// every named object the window owns, depth first in the order the window
// creates them, each under the first name it carries, with its kind. The
// files reach each control by its object name, so a window needs nothing
// beyond named controls to take part.
#include <QHash>
#include <QString>
#include <string>
#include <vector>

#include "core/settings/SettingsLine.h"

class QObject;
class QWidget;

namespace orbisk {

enum class TComponentKind {
    Other, // writes nothing
    Panel, // a pane of a splitter named "Panel..."
    CheckBox,
    ListView, // the program's ListView
    Edit,     // single-line edit (colour samples of the setup window)
    Label,
    Button,   // push button
    MenuItem, // menu entry or command (QAction) and menus
    ToolButton,
    GroupBox,
    StatusBar,
    RadioGroup, // a group box named "RadioGroup..." holding radio buttons
    TabSheet,   // a page of a tab widget
};

struct TComponent {
    QObject* Object = nullptr;
    QString Name;
    TComponentKind Kind = TComponentKind::Other;
};

// The components of window, not entering the other windows of the program
// (windows), the inside of a ListView or a status bar, nor Qt's own objects.
std::vector<TComponent> ComponentsOf(QWidget& window, const std::vector<QWidget*>& windows);

// The window of that object name, or nullptr.
QWidget* WindowNamed(const std::vector<QWidget*>& windows, const QString& name);

// What the settings and language appliers share: a section line makes the
// window of its name current (none when the program has no such window) and
// gathers that window's components once, so each component line finds its
// control by name.
class TWindowLineSink : public TLineSink {
public:
    explicit TWindowLineSink(const std::vector<QWidget*>& windows) : windows_(windows) {}

    void Section(const std::string& window) override;

protected:
    QWidget* Current() const { return current_; }
    // The current window's component of that name, or nullptr.
    const TComponent* Component(const QString& name) const;
    // A window of the program named by a component line (its caption line).
    QWidget* Window(const QString& name) const { return WindowNamed(windows_, name); }

private:
    const std::vector<QWidget*>& windows_;
    QWidget* current_ = nullptr;
    QHash<QString, TComponent> components_;
};

} // namespace orbisk
