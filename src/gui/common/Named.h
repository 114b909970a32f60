#pragma once
// Every control carries its name as its Qt object name: the settings and
// language files address controls by it.
#include <QObject>
#include <QString>

namespace orbisk {

template <typename T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace orbisk
