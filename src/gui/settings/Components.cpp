#include "gui/settings/Components.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>

#include "gui/common/ListView.h"

namespace orbisk {

namespace {

TComponentKind KindOf(QObject& object) {
    const QString& name = object.objectName();
    if (qobject_cast<ListView*>(&object)) return TComponentKind::ListView;
    if (qobject_cast<QStatusBar*>(&object)) return TComponentKind::StatusBar;
    if (qobject_cast<QCheckBox*>(&object)) return TComponentKind::CheckBox;
    if (qobject_cast<QRadioButton*>(&object)) return TComponentKind::Other;
    if (qobject_cast<QToolButton*>(&object)) return TComponentKind::ToolButton;
    if (qobject_cast<QPushButton*>(&object)) return TComponentKind::Button;
    if (qobject_cast<QGroupBox*>(&object))
        return name.startsWith(QLatin1String("RadioGroup")) ? TComponentKind::RadioGroup
                                                            : TComponentKind::GroupBox;
    if (qobject_cast<QLabel*>(&object)) return TComponentKind::Label;
    if (auto* action = qobject_cast<QAction*>(&object))
        return action->isSeparator() ? TComponentKind::Other : TComponentKind::MenuItem;
    if (qobject_cast<QMenu*>(&object)) return TComponentKind::MenuItem;
    if (qobject_cast<QLineEdit*>(&object)) return TComponentKind::Edit;
    auto* widget = qobject_cast<QWidget*>(&object);
    if (!widget) return TComponentKind::Other;
    QWidget* parent = widget->parentWidget();
    if (qobject_cast<QSplitter*>(parent) && name.startsWith(QLatin1String("Panel")))
        return TComponentKind::Panel;
    if (qobject_cast<QStackedWidget*>(parent) && parent->parentWidget() &&
        qobject_cast<QTabWidget*>(parent->parentWidget()))
        return TComponentKind::TabSheet;
    return TComponentKind::Other;
}

// Objects whose inside belongs to them: their texts come with their own lines.
bool KeepsItsInside(TComponentKind kind) {
    return kind == TComponentKind::ListView || kind == TComponentKind::StatusBar ||
           kind == TComponentKind::RadioGroup;
}

// The children of parent in the order the window made them; the pages of a
// tab widget in the order of their tabs (showing a page reorders the
// children of the stack that holds them).
QObjectList ChildrenOf(QObject& parent) {
    auto* stack = qobject_cast<QStackedWidget*>(&parent);
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    if (!tabs) return parent.children();
    QObjectList pages;
    for (int i = 0; i < tabs->count(); ++i)
        pages.push_back(tabs->widget(i));
    return pages;
}

void Collect(QObject& parent, const std::vector<QWidget*>& windows, QSet<QString>& seen,
             std::vector<TComponent>& out) {
    for (QObject* child : ChildrenOf(parent)) {
        // Another window (a listed one, or a dialog made when needed) has
        // its own block; menus are pop-up windows that belong to this one.
        if (auto* widget = qobject_cast<QWidget*>(child);
            widget && (std::find(windows.begin(), windows.end(), widget) != windows.end() ||
                       (widget->isWindow() && !qobject_cast<QMenu*>(widget))))
            continue;
        const QString name = child->objectName();
        // Qt names its own helpers "qt_..."; they are no part of the window,
        // except the stack that holds the pages of a tab widget.
        if (name.startsWith(QLatin1String("qt_"))) {
            if (qobject_cast<QStackedWidget*>(child) && qobject_cast<QTabWidget*>(&parent))
                Collect(*child, windows, seen, out);
            continue;
        }
        TComponentKind kind = TComponentKind::Other;
        if (!name.isEmpty() && !seen.contains(name)) {
            seen.insert(name);
            kind = KindOf(*child);
            if (kind != TComponentKind::Other) out.push_back({child, name, kind});
        }
        if (!KeepsItsInside(kind)) Collect(*child, windows, seen, out);
    }
}

} // namespace

std::vector<TComponent> ComponentsOf(QWidget& window, const std::vector<QWidget*>& windows) {
    std::vector<TComponent> out;
    QSet<QString> seen{window.objectName()};
    Collect(window, windows, seen, out);
    return out;
}

QWidget* WindowNamed(const std::vector<QWidget*>& windows, const QString& name) {
    for (QWidget* window : windows)
        if (window->objectName() == name) return window;
    return nullptr;
}

void TWindowLineSink::Section(const std::string& window) {
    current_ = WindowNamed(windows_, QString::fromStdString(window));
    components_.clear();
    if (current_)
        for (const TComponent& c : ComponentsOf(*current_, windows_))
            components_.insert(c.Name, c);
}

const TComponent* TWindowLineSink::Component(const QString& name) const {
    const auto found = components_.constFind(name);
    return found == components_.cend() ? nullptr : &*found;
}

} // namespace orbisk
