#pragma once

#include <QObject>
#include <QString>

#include <gtest/gtest.h>

// Finds a widget, action or other object under `parent` by its object name, the way the tests reach
// into windows and sheets. A missing one fails the test with its type and name (and then answers
// null), so a renamed object shows up as such instead of as a crash somewhere later.
template<typename T>
T* child(const QObject& parent, const QString& name)
{
    T* found = parent.findChild<T*>(name);
    if (!found) {
        ADD_FAILURE() << "no " << T::staticMetaObject.className() << " named \"" << name.toStdString() << "\" under "
                      << parent.metaObject()->className() << " \"" << parent.objectName().toStdString() << "\"";
    }
    return found;
}

template<typename T>
T* child(const QObject& parent, const char* name)
{
    return child<T>(parent, QString::fromUtf8(name));
}
