#include "DesktopEntry.h"

#include "software/DesktopEntryFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace DesktopEntry {

QStringList standardApplicationFolders()
{
    QStringList folders;
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        folders.append(QDir(data).filePath(QStringLiteral("applications")));
    }
    folders.removeDuplicates();
    return folders;
}

bool isValidId(const QString& id)
{
    if (!id.endsWith(QLatin1String(".desktop")) || id.size() <= 8 || id.contains(QLatin1Char('/'))
        || id.contains(QLatin1String("..")) || id.startsWith(QLatin1Char('-'))) {
        return false;
    }
    return std::none_of(id.begin(), id.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
}

QString pathForId(const QString& id, const QStringList& applicationFolders)
{
    if (!isValidId(id)) {
        return {};
    }
    // Try the ID as it is, then with its first dash, first two dashes, ... standing for folders.
    QStringList candidates {id};
    QString candidate = id;
    for (qsizetype dash = candidate.indexOf(QLatin1Char('-')); dash > 0;
         dash = candidate.indexOf(QLatin1Char('-'), dash + 1)) {
        candidate[dash] = QLatin1Char('/');
        candidates.append(candidate);
    }
    for (const QString& folder : applicationFolders) {
        for (const QString& relative : candidates) {
            const QString path = QDir(folder).filePath(relative);
            if (QFileInfo(path).isFile()) {
                return path;
            }
        }
    }
    return {};
}

QString name(const QString& path)
{
    QString error;
    const std::optional<DesktopEntryFile> entry = DesktopEntryFile::read(path, &error);
    return entry ? entry->string(QStringLiteral("Name")) : QString();
}

} // namespace DesktopEntry
