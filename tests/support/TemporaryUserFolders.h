#pragma once

#include "base/Log.h"

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>

// Points the XDG data, cache, config and state folders at a fresh temporary folder for one test, and back
// when it ends, so every test starts as on a machine where Keymoor never ran. The log follows: a
// log file resolved in an earlier test's folder would bring that folder back after its removal.
class TemporaryUserFolders
{
public:
    TemporaryUserFolders()
    {
        for (const char* name : Names) {
            m_saved.append(qgetenv(name));
            const QString folder = m_root.filePath(QString::fromLatin1(name).toLower());
            QDir().mkpath(folder);
            qputenv(name, QFile::encodeName(folder));
        }
        Log::useDefaultLogFile();
    }
    ~TemporaryUserFolders()
    {
        for (int i = 0; i < int(std::size(Names)); ++i) {
            qputenv(Names[i], m_saved.at(i));
        }
        Log::useDefaultLogFile();
    }
    TemporaryUserFolders(const TemporaryUserFolders&) = delete;
    TemporaryUserFolders& operator=(const TemporaryUserFolders&) = delete;

    QString path() const { return m_root.path(); }
    QString dataHome() const { return m_root.filePath(QStringLiteral("xdg_data_home")); }
    QString cacheHome() const { return m_root.filePath(QStringLiteral("xdg_cache_home")); }
    QString configHome() const { return m_root.filePath(QStringLiteral("xdg_config_home")); }
    QString stateHome() const { return m_root.filePath(QStringLiteral("xdg_state_home")); }

private:
    static constexpr const char* Names[] = {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_STATE_HOME"};
    QTemporaryDir m_root;
    QList<QByteArray> m_saved;
};
