#include "DesktopEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>

namespace {

QString unescapeValue(const QString& value)
{
    QString result;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value.at(i) != QLatin1Char('\\') || i + 1 == value.size()) {
            result.append(value.at(i));
            continue;
        }
        const QChar next = value.at(++i);
        switch (next.unicode()) {
        case 's':
            result.append(QLatin1Char(' '));
            break;
        case 'n':
            result.append(QLatin1Char('\n'));
            break;
        case 't':
            result.append(QLatin1Char('\t'));
            break;
        case 'r':
            result.append(QLatin1Char('\r'));
            break;
        default:
            result.append(next);
            break;
        }
    }
    return result;
}

} // namespace

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
    QFile file(path);
    if (file.size() > MaximumSize || !file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return {};
    }
    bool inEntry = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine(MaximumSize)).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (inEntry && equals > 0 && line.left(equals).trimmed() == QLatin1String("Name")) {
            return unescapeValue(line.mid(equals + 1).trimmed());
        }
    }
    return {};
}

} // namespace DesktopEntry
