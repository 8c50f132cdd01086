#include "maintenance/StoreUpgrader.h"

#include "ZRPathTools.h"
#include "base/ByteCountFormatter.h"
#include "base/FileUtilities.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "maintenance/FolderCopy.h"
#include "maintenance/LibraryBackups.h"
#include "maintenance/MigrationReporter.h"
#include "maintenance/ObjectGraphCopier.h"
#include "maintenance/StoreVersionReader.h"
#include "persistence/ObjectContext.h"
#include "persistence/StoreCoordinator.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace Persistence;

namespace {

const QString VersionKey = QStringLiteral("ZRModelVersion");

} // namespace

StoreUpgrader::StoreUpgrader(MigrationReporter& reporter, ObjectGraphCopier& copier, LibraryBackups& backups)
    : m_reporter(reporter)
    , m_copier(copier)
    , m_backups(backups)
{ }

bool StoreUpgrader::upgradePersistentStoreForURL(const QString& storePath)
{
    const int stored = StoreVersionReader::versionForStoreURL(storePath);
    const int current = StoreVersionReader::currentModelVersion();
    if (stored == current) {
        return true;
    }
    if (stored > current) {
        m_reporter.alert(QStringLiteral("NewerLibraryDetected"),
                         localizedFormat(QStringLiteral("NewerLibraryDetectedMessageFormat"),
                                         {QString::number(current), QString::number(stored)}),
                         true);
        return false;
    }
    const quint64 size = fileSizeAtPath(storePath);
    const quint64 free = m_freeSpace ? m_freeSpace(storePath) : freeDiskSpaceAtPath(storePath);
    if (!(size < free)) {
        const ByteCountFormatter formatter;
        m_reporter.alert(
            QStringLiteral("LowDiskSpace"),
            localizedFormat(QStringLiteral("LowDiskSpaceMessageFormat"),
                            {formatter.stringFromByteCount(double(free)), formatter.stringFromByteCount(double(size))}),
            true);
        return false;
    }
    m_reporter.showProgressPanel(localizedString(QStringLiteral("BackingUpDataProgressMessage")));
    const QString backup = backupBeforeUpgrade(storePath, stored);
    if (backup.isEmpty()) {
        Log::write(QStringLiteral("Backup failed! Cancel Upgrade."));
        m_reporter.endProgressSheet();
        m_reporter.alert(QStringLiteral("LibraryBackupFailed"),
                         localizedString(QStringLiteral("LibraryBackupForUpgradeFailedMessage")));
        return false;
    }
    Log::write(QStringLiteral("Backup complete."));
    Log::write(QStringLiteral("Upgrading Library..."));
    const bool upgraded = performUpgradeStoreURL(storePath);
    Log::write(upgraded ? QStringLiteral("Upgrade Completed.") : QStringLiteral("Upgrade Failed!"));
    m_reporter.endProgressSheet();
    return true;
}

QString StoreUpgrader::backupBeforeUpgrade(const QString& storePath, int stored)
{
    QString backup;
    if (stored > StoreVersionReader::LastLegacyVersion) {
        Log::write(QStringLiteral("Backing up current library..."));
        backup = m_backups.backupPersistentStoreForURL(QFileInfo(storePath).absolutePath());
    } else {
        Log::write(QStringLiteral("Backing up legacy library..."));
        backup = m_backups.backupPersistentStoreForURL(storePath);
        // A legacy library merged into an existing one changes that library too.
        const QString library = LibraryPaths::persistentStoreURL();
        if (!backup.isEmpty() && QFileInfo::exists(library)) {
            if (m_backups.backupPersistentStoreForURL(QFileInfo(library).absolutePath()).isEmpty()) {
                backup.clear();
            }
        }
    }
    return backup;
}

bool StoreUpgrader::performUpgradeStoreURL(const QString& oldPath)
{
    const QString operation = QStringLiteral("ZRDataMigrator::performUpgradeStoreURL");
    const int stored = StoreVersionReader::versionForStoreURL(oldPath);
    const int current = StoreVersionReader::currentModelVersion();
    Log::write(QStringLiteral("Upgrading:%1 with version:%2 to version:%3").arg(oldPath).arg(stored).arg(current));
    const QString libraryStore = LibraryPaths::persistentStoreURL();
    const bool isLibraryStore = oldPath.contains(QStringLiteral("kmlib"));
    // A legacy library is merged into the library's store when there is one already (it was made
    // by a later start); otherwise it becomes the library's store. An older library store is
    // copied into a new file beside it that then takes its place.
    const bool mergeIntoLibrary = !isLibraryStore && QFileInfo::exists(libraryStore)
        && StoreVersionReader::versionForStoreURL(libraryStore) == current;
    const QString newPath = mergeIntoLibrary ? libraryStore : ZR_safeFilePath(libraryStore);

    bool copied = false;
    {
        const auto oldModel = StoreVersionReader::managedObjectModelForVersion(stored);
        const auto newModel = StoreVersionReader::managedObjectModelForVersion(current);
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
        m_reporter.setProgressMessageString(localizedString(QStringLiteral("UpgradingLibraryProgressMessage")));
        copied = m_copier.copyManagedObjectContext(&oldContext, &newContext);
    }
    if (!copied) {
        Log::write(QStringLiteral("%1: Failed to upgrade to version %2!").arg(operation).arg(current));
        if (!mergeIntoLibrary) {
            FolderCopy::removeItem(newPath); // the unfinished copy; the old store stays in place
        }
        return false;
    }
    m_reporter.setProgressMessageString(localizedString(QStringLiteral("ReplacingOldLibraryProgressMessage")));
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
    m_reporter.setProgressMessageString(localizedString(QStringLiteral("LibraryUpgradeComplete")));
    return true;
}
