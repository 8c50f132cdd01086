#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Puts a folder of stub tools alone on PATH (and a run log in KEYMOOR_STUB_LOG) for one test, so
// nothing calls the machine's real package managers; both come back when the test ends.
class PackageToolPath
{
public:
    PackageToolPath(const QString& folder, const QString& log = QString())
        : m_path(qgetenv("PATH"))
    {
        qputenv("PATH", folder.toLocal8Bit());
        qputenv("KEYMOOR_STUB_LOG", log.toLocal8Bit());
    }
    ~PackageToolPath()
    {
        qputenv("PATH", m_path);
        qunsetenv("KEYMOOR_STUB_LOG");
    }
    Q_DISABLE_COPY_MOVE(PackageToolPath)

private:
    QByteArray m_path;
};
