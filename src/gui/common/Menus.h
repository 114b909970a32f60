#pragma once
// Menu entries carry object names, so language and settings files can
// address them.
#include <QAction>
#include <QMenu>
#include <QString>

namespace orbisk {

inline QAction* MenuEntry(QMenu& menu, const char* name, const QString& text) {
    QAction* action = menu.addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace orbisk
