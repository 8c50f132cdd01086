#include "FolderCopy.h"
#include "StoreVersionReader.h"
#include "ZRDataMigrator.h"
#include "ZRPathTools.h"
#include "base/ByteCountFormatter.h"
#include "base/FileUtilities.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/ObjectContext.h"
#include "persistence/StoreCoordinator.h"

#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace Persistence;

namespace {

const QString VersionKey = QStringLiteral("ZRModelVersion");

QString fileNameOf(const QString& path)
{
    return QFileInfo(QDir::cleanPath(path)).fileName();
}

} // namespace

int ZRDataMigrator::currentModelVersion()
{
    return StoreVersionReader::currentModelVersion();
}

int ZRDataMigrator::versionForStoreURL(const QString& path)
{
    return StoreVersionReader::versionForStoreURL(path);
}

QString ZRDataMigrator::pathForObjectModelForVersion(int version)
{
    return StoreVersionReader::pathForObjectModelForVersion(version);
}

std::shared_ptr<const ObjectModel> ZRDataMigrator::managedObjectModelForVersion(int version)
{
    return StoreVersionReader::managedObjectModelForVersion(version);
}

QString ZRDataMigrator::backupFolderPath()
{
    const QString support = LibraryPaths::applicationSupportFolder();
    if (support.isEmpty()) {
        Log::write(QStringLiteral("Failed to synthesize path to backup folder!"));
        return {};
    }
    return QDir(support).filePath(QStringLiteral("Backup"));
}

QString ZRDataMigrator::fileNameForMigrationBackup()
{
    const QString folder = backupFolderPath();
    if (!QFileInfo::exists(folder) && !QDir().mkpath(folder)) {
        Log::write(QStringLiteral("Error creating path for migration backup: %1 error: %2")
                       .arg(folder, QStringLiteral("cannot create the folder")));
    }
    return ZR_safeFilePath(QDir(folder).filePath(QStringLiteral("MigrationBackup.xml")));
}

QString ZRDataMigrator::backupPersistentStoreForURL(const QString& path)
{
    if (path.isEmpty()) {
        Log::write(QStringLiteral("Missing persistent sore URL"));
        return {};
    }
    const QString name = fileNameOf(path);
    if (name.isEmpty()) {
        Log::write(QStringLiteral("Unable to determine file name for URL: %1").arg(path));
        return {};
    }
    const QString folder = backupFolderPath();
    if (folder.isEmpty()) {
        return {};
    }
    if (!QFileInfo::exists(folder)) {
        Log::write(QStringLiteral("Creating backup folder."));
        if (!QDir().mkpath(folder)) {
            Log::write(QStringLiteral("Error creating backup folder:%1 error:%2")
                           .arg(folder, QStringLiteral("cannot create the folder")));
            return {};
        }
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    const QString target = ZR_safeFilePath(QDir(folder).filePath(name));
    if (target.isEmpty()) {
        Log::write(QStringLiteral("Unable to synthesize backup file path!"));
        return {};
    }
    QString error;
    if (!FolderCopy::copyItem(path, target, &error)) {
        Log::write(QStringLiteral("File Copy failed to URL:%1 error:%2").arg(target, error));
        // Half a backup is no backup: it must not be mistaken for one later.
        FolderCopy::removeItem(target);
        return {};
    }
    return target;
}

QString ZRDataMigrator::backupLibraryBeforeImport()
{
    setProgressMessageString(localizedString(QStringLiteral("BackingUpDataProgressMessage")));
    Log::write(QStringLiteral("Backing up current library..."));
    const QString backup = backupPersistentStoreForURL(LibraryPaths::libraryBundlePath());
    if (backup.isEmpty()) {
        Log::write(QStringLiteral("Backup failed! Cancel Upgrade."));
        alert(QStringLiteral("LibraryBackupFailed"),
              localizedString(QStringLiteral("LibraryBackupForUpgradeFailedMessage")));
        return {};
    }
    Log::write(QStringLiteral("Backup complete."));
    return backup;
}

bool ZRDataMigrator::upgradePersistentStoreForURL(const QString& storePath)
{
    const int stored = versionForStoreURL(storePath);
    const int current = currentModelVersion();
    if (stored == current) {
        return true;
    }
    if (stored > current) {
        alert(QStringLiteral("NewerLibraryDetected"),
              localizedFormat(QStringLiteral("NewerLibraryDetectedMessageFormat"),
                              {QString::number(current), QString::number(stored)}),
              true);
        return false;
    }
    const quint64 size = fileSizeAtPath(storePath);
    const quint64 free = m_freeSpace ? m_freeSpace(storePath) : freeDiskSpaceAtPath(storePath);
    if (!(size < free)) {
        const ByteCountFormatter formatter;
        alert(
            QStringLiteral("LowDiskSpace"),
            localizedFormat(QStringLiteral("LowDiskSpaceMessageFormat"),
                            {formatter.stringFromByteCount(double(free)), formatter.stringFromByteCount(double(size))}),
            true);
        return false;
    }
    showProgressPanel(localizedString(QStringLiteral("BackingUpDataProgressMessage")));
    QString backup;
    if (stored > StoreVersionReader::LastLegacyVersion) {
        Log::write(QStringLiteral("Backing up current library..."));
        backup = backupPersistentStoreForURL(QFileInfo(storePath).absolutePath());
    } else {
        Log::write(QStringLiteral("Backing up legacy library..."));
        backup = backupPersistentStoreForURL(storePath);
        // A legacy library merged into an existing one changes that library too.
        const QString library = LibraryPaths::persistentStoreURL();
        if (!backup.isEmpty() && QFileInfo::exists(library)) {
            if (backupPersistentStoreForURL(QFileInfo(library).absolutePath()).isEmpty()) {
                backup.clear();
            }
        }
    }
    if (backup.isEmpty()) {
        Log::write(QStringLiteral("Backup failed! Cancel Upgrade."));
        endProgressSheet();
        alert(QStringLiteral("LibraryBackupFailed"),
              localizedString(QStringLiteral("LibraryBackupForUpgradeFailedMessage")));
        return false;
    }
    Log::write(QStringLiteral("Backup complete."));
    Log::write(QStringLiteral("Upgrading Library..."));
    const bool upgraded = performUpgradeStoreURL(storePath);
    Log::write(upgraded ? QStringLiteral("Upgrade Completed.") : QStringLiteral("Upgrade Failed!"));
    endProgressSheet();
    return true;
}

bool ZRDataMigrator::performUpgradeStoreURL(const QString& oldPath)
{
    const QString operation = QStringLiteral("ZRDataMigrator::performUpgradeStoreURL");
    const int stored = versionForStoreURL(oldPath);
    const int current = currentModelVersion();
    Log::write(QStringLiteral("Upgrading:%1 with version:%2 to version:%3").arg(oldPath).arg(stored).arg(current));
    const QString libraryStore = LibraryPaths::persistentStoreURL();
    const bool isLibraryStore = oldPath.contains(QStringLiteral("kmlib"));
    // A legacy library is merged into the library's store when there is one already (it was made
    // by a later start); otherwise it becomes the library's store. An older library store is
    // copied into a new file beside it that then takes its place.
    const bool mergeIntoLibrary
        = !isLibraryStore && QFileInfo::exists(libraryStore) && versionForStoreURL(libraryStore) == current;
    const QString newPath = mergeIntoLibrary ? libraryStore : ZR_safeFilePath(libraryStore);

    bool copied = false;
    {
        const auto oldModel = managedObjectModelForVersion(stored);
        const auto newModel = managedObjectModelForVersion(current);
        PersistentStore::Options readOnly;
        readOnly.readOnly = true;
        auto oldCoordinator = oldModel ? std::make_shared<StoreCoordinator>(oldModel) : nullptr;
        if (!oldCoordinator
            || !oldCoordinator->addStore(StoreVersionReader::storeTypeForURL(oldPath), oldPath, nullptr, readOnly)) {
            Log::write(QStringLiteral("Error initializing persistent store for URL:%1").arg(oldPath));
            return false;
        }
        auto newCoordinator = newModel ? std::make_shared<StoreCoordinator>(newModel) : nullptr;
        PersistentStore* newStore = newCoordinator ? newCoordinator->addStore(StoreType::SQLite, newPath) : nullptr;
        if (!newStore) {
            Log::write(QStringLiteral("Error initializing persistent store for URL:%1").arg(newPath));
            return false;
        }
        newCoordinator->setMetadata(newStore, {{VersionKey, current}});
        ObjectContext oldContext(oldCoordinator);
        ObjectContext newContext(newCoordinator);
        setProgressMessageString(localizedString(QStringLiteral("UpgradingLibraryProgressMessage")));
        copied = copyManagedObjectContext(&oldContext, &newContext);
    }
    if (!copied) {
        Log::write(QStringLiteral("%1: Failed to upgrade to version %2!").arg(operation).arg(current));
        if (!mergeIntoLibrary) {
            FolderCopy::removeItem(newPath); // the unfinished copy; the old store stays in place
        }
        return false;
    }
    setProgressMessageString(localizedString(QStringLiteral("ReplacingOldLibraryProgressMessage")));
    if (isLibraryStore) {
        // One rename replaces the old store by the new one: the library path never holds nothing.
        if (std::rename(QFile::encodeName(newPath).constData(), QFile::encodeName(oldPath).constData()) != 0) {
            Log::write(QStringLiteral("%1: Failed to move upgraded store to url:%2 error:%3")
                           .arg(operation, oldPath, QString::fromLocal8Bit(std::strerror(errno))));
            FolderCopy::removeItem(newPath);
            return false;
        }
    } else {
        QString error;
        if (!FolderCopy::removeItem(oldPath, &error)) {
            Log::write(
                QStringLiteral("%1: Failed to remove old store at url:%2 error:%3").arg(operation, oldPath, error));
            return false;
        }
    }
    FolderCopy::syncFileSystem(libraryStore);
    setProgressMessageString(localizedString(QStringLiteral("LibraryUpgradeComplete")));
    return true;
}
