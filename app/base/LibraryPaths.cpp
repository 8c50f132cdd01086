#include "LibraryPaths.h"

#include "Log.h"
#include "ZRApplicationFolders.h"
#include "ZRStringTools.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr auto OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

QString joined(const QString& folder, const QString& name)
{
    return folder.isEmpty() ? QString() : QDir(folder).filePath(name);
}

// Creates `path` as a folder only the owner can enter; answers whether it is a folder now.
bool makeOwnerOnlyFolder(const QString& path, QString* error)
{
    QDir dir;
    if (!dir.mkpath(path)) {
        *error = QStringLiteral("cannot create the folder %1").arg(path);
        return false;
    }
    QFile::setPermissions(path, OwnerOnly);
    return true;
}

QString subFolder(const QString& name, const char* failureLine)
{
    const QString library = LibraryPaths::libraryBundlePath();
    const QString path = joined(library, name);
    if (path.isEmpty()) {
        return path;
    }
    if (!QFileInfo::exists(path)) {
        QString error;
        if (!makeOwnerOnlyFolder(path, &error)) {
            Log::write(QString::fromLatin1(failureLine).arg(error));
        }
    }
    return path;
}

} // namespace

namespace LibraryPaths {

QString applicationSupportFolder()
{
    ZRError error;
    const QString folder = ZR_applicationSupportFolder(&error);
    if (folder.isEmpty()) {
        Log::write(QStringLiteral("Error creating application support folder: %1").arg(error.description));
    }
    return folder;
}

QString applicationCacheFolder()
{
    return ZR_applicationCacheFolder();
}

QString stateFolderLocation()
{
    // A relative XDG_STATE_HOME is invalid and ignored, as for the other XDG folders.
    QString base = QFile::decodeName(qgetenv("XDG_STATE_HOME"));
    if (base.isEmpty() || QDir::isRelativePath(base)) {
        base = QDir::home().filePath(QStringLiteral(".local/state"));
    }
    const QString name = ZR_stringMadeSafeForPath(QCoreApplication::applicationName());
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) {
        return {};
    }
    return QDir(base).filePath(name);
}

QString libraryBundlePath()
{
    const QString path = joined(applicationSupportFolder(), QStringLiteral("Keymoor.kmlib"));
    if (!path.isEmpty() && !QFileInfo::exists(path)) {
        Log::write(QStringLiteral("Creating new Keymoor library bundle: %1").arg(path));
        QString error;
        if (!makeOwnerOnlyFolder(path, &error)) {
            Log::write(QStringLiteral("ERROR creating library bundle: %1").arg(error));
        }
    }
    return path;
}

QString libraryBundleLocation()
{
    return joined(ZR_applicationSupportFolderLocation(), QStringLiteral("Keymoor.kmlib"));
}

QString persistentStoreLocation()
{
    return joined(libraryBundleLocation(), QStringLiteral("Keymoor.data"));
}

QString legacyPersistentStoreLocation()
{
    return joined(ZR_applicationSupportFolderLocation(), QStringLiteral("Keymoor.data"));
}

QString attachmentsPath()
{
    return subFolder(QStringLiteral("Attachments"), "ERROR creating attachments path in library: %1");
}

QString iconsPath()
{
    return subFolder(QStringLiteral("Icons"), "ERROR creating icons path in library: %1");
}

QString persistentStoreURL()
{
    return joined(libraryBundlePath(), QStringLiteral("Keymoor.data"));
}

QString legacyPersistentStoreURL()
{
    return joined(applicationSupportFolder(), QStringLiteral("Keymoor.data"));
}

} // namespace LibraryPaths
