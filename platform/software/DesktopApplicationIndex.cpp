#include "DesktopApplicationIndex.h"

#include "DesktopEntryFile.h"
#include "DesktopEntryLog.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

namespace {

const QLatin1String Suffix(".desktop");

// "vendor/app.desktop" gives "vendor-app".
QString idForRelativePath(QString relative)
{
    if (relative.endsWith(Suffix)) {
        relative.chop(Suffix.size());
    }
    return relative.replace(QLatin1Char('/'), QLatin1Char('-'));
}

QString relativePathBelow(const QString& path, const QStringList& folders)
{
    for (const QString& folder : folders) {
        const QString prefix = QDir::cleanPath(folder) + QLatin1Char('/');
        if (path.startsWith(prefix)) {
            return path.mid(prefix.size());
        }
    }
    const QLatin1String applications("/applications/");
    if (const qsizetype found = path.lastIndexOf(applications); found >= 0) {
        return path.mid(found + applications.size());
    }
    return QFileInfo(path).fileName();
}

DesktopApplication applicationOfEntry(const DesktopEntryFile& entry, const QString& id, const QString& path,
                                      const QString& locale)
{
    DesktopApplication application;
    application.id = id;
    application.path = path;
    application.untranslatedName = entry.string(QStringLiteral("Name"));
    application.name = entry.localeString(QStringLiteral("Name"), locale);
    application.comment = entry.localeString(QStringLiteral("Comment"), locale);
    application.icon = entry.localeString(QStringLiteral("Icon"), locale);
    application.exec = entry.string(QStringLiteral("Exec"));
    application.tryExec = entry.string(QStringLiteral("TryExec"));
    application.workingFolder = entry.string(QStringLiteral("Path"));
    application.noDisplay = entry.boolean(QStringLiteral("NoDisplay"));
    application.hidden = entry.boolean(QStringLiteral("Hidden"));
    application.flatpakId = entry.string(QStringLiteral("X-Flatpak"));
    application.snapInstance = entry.string(QStringLiteral("X-SnapInstanceName"));
    application.appImageVersion = entry.string(QStringLiteral("X-AppImage-Version"));
    return application;
}

bool isApplication(const DesktopEntryFile& entry)
{
    return entry.string(QStringLiteral("Type")) == QLatin1String("Application")
        && !entry.string(QStringLiteral("Name")).isEmpty();
}

// The desktop files below a folder, relative to it, sorted so that the IDs come out the same on
// every run.
QStringList desktopFilesBelow(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, {QStringLiteral("*.desktop")}, QDir::Files, QDirIterator::Subdirectories);
    const qsizetype prefix = folder.size() + 1;
    while (it.hasNext()) {
        files.append(it.next().mid(prefix));
    }
    files.sort();
    return files;
}

} // namespace

QStringList DesktopApplicationIndex::standardFolders()
{
    QStringList folders;
    const auto add = [&folders](const QString& folder) {
        const QString clean = QDir::cleanPath(folder);
        if (!folders.contains(clean)) {
            folders.append(clean);
        }
    };
    for (const QString& data : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        add(data + QStringLiteral("/applications"));
    }
    add(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
        + QStringLiteral("/flatpak/exports/share/applications"));
    add(QStringLiteral("/var/lib/flatpak/exports/share/applications"));
    add(QStringLiteral("/var/lib/snapd/desktop/applications"));
    return folders;
}

DesktopApplicationIndex::DesktopApplicationIndex(const QStringList& applicationFolders)
    : m_folders(applicationFolders)
{ }

QList<DesktopApplication> DesktopApplicationIndex::applications()
{
    scanOnce();
    return m_applications.values();
}

std::optional<DesktopApplication> DesktopApplicationIndex::applicationForId(const QString& id)
{
    scanOnce();
    const auto found = m_applications.constFind(id.endsWith(Suffix) ? id.chopped(Suffix.size()) : id);
    if (found == m_applications.cend()) {
        return std::nullopt;
    }
    return *found;
}

std::optional<DesktopApplication> DesktopApplicationIndex::applicationForName(const QString& name)
{
    scanOnce();
    for (const DesktopApplication& application : std::as_const(m_applications)) {
        if (application.name.compare(name, Qt::CaseInsensitive) == 0
            || application.untranslatedName.compare(name, Qt::CaseInsensitive) == 0) {
            return application;
        }
    }
    return std::nullopt;
}

std::optional<DesktopApplication> DesktopApplicationIndex::readFile(const QString& path,
                                                                    const QStringList& applicationFolders)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString error;
    const std::optional<DesktopEntryFile> entry = DesktopEntryFile::read(absolute, &error);
    if (!entry) {
        qCInfo(desktopEntryLog).noquote() << "Skipped a desktop entry:" << error;
        return std::nullopt;
    }
    if (!isApplication(*entry)) {
        return std::nullopt;
    }
    const QString id = idForRelativePath(relativePathBelow(absolute, applicationFolders));
    return applicationOfEntry(*entry, id, absolute, DesktopEntryFile::processLocale());
}

void DesktopApplicationIndex::scanOnce()
{
    if (m_scanned) {
        return;
    }
    m_scanned = true;
    const QString locale = DesktopEntryFile::processLocale();
    // Every ID a readable entry of an earlier folder took, whatever it said: later folders do not
    // give it again. A Hidden entry takes its ID and gives no application.
    QSet<QString> taken;
    for (const QString& folder : m_folders) {
        const QString root = QDir::cleanPath(folder);
        for (const QString& relative : desktopFilesBelow(root)) {
            const QString id = idForRelativePath(relative);
            if (taken.contains(id)) {
                continue;
            }
            const QString path = root + QLatin1Char('/') + relative;
            QString error;
            const std::optional<DesktopEntryFile> entry = DesktopEntryFile::read(path, &error);
            if (!entry) {
                qCInfo(desktopEntryLog).noquote() << "Skipped a desktop entry:" << error;
                continue;
            }
            taken.insert(id);
            if (!entry->boolean(QStringLiteral("Hidden")) && isApplication(*entry)) {
                m_applications.insert(id, applicationOfEntry(*entry, id, path, locale));
            }
        }
    }
}
