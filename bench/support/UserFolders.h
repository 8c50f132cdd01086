#pragma once

#include <QDir>
#include <QFile>
#include <QString>

// Points the user folders (data, cache, configuration) at fresh folders below `root` for one run,
// so a benchmark never touches the person's own library.
inline void useFreshUserFolders(const QString& root)
{
    for (const char* name : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"}) {
        const QString folder = QDir(root).filePath(QString::fromLatin1(name).toLower());
        QDir().mkpath(folder);
        qputenv(name, QFile::encodeName(folder));
    }
}
