#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

// Points HOME at an empty temporary folder while it lives, for code that expands "~".
class TemporaryHome
{
public:
    TemporaryHome()
        : m_saved(qgetenv("HOME"))
    {
        qputenv("HOME", QFile::encodeName(m_home.path()));
    }
    ~TemporaryHome() { qputenv("HOME", m_saved); }
    TemporaryHome(const TemporaryHome&) = delete;
    TemporaryHome& operator=(const TemporaryHome&) = delete;

    QString path() const { return m_home.path(); }

private:
    QTemporaryDir m_home;
    QByteArray m_saved;
};
