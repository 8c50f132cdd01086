#include "maintenance/LibraryBackups.h"

#include "ZRPathTools.h"
#include "ZRPersistenceTools.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "maintenance/FolderCopy.h"
#include "maintenance/MigrationReporter.h"
#include "maintenance/ObjectGraphCopier.h"
#include "maintenance/StoreVersionReader.h"
#include "persistence/ObjectContext.h"
#include "persistence/ObjectModel.h"
#include "persistence/StoreCoordinator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Persistence;

namespace {

QString fileNameOf(const QString& path)
{
    return QFileInfo(QDir::cleanPath(path)).fileName();
}

// Makes a library folder what the backup's folder of that name holds (empty when it has none).
bool restoreFolder(const QString& backupFolder, const QString& libraryFolder, const char* failureLine)
{
    QString error;
    bool restored = false;
    if (QFileInfo(backupFolder).isDir()) {
        restored = FolderCopy::replaceFolderWithCopy(backupFolder, libraryFolder, &error);
    } else {
        restored = FolderCopy::removeItem(libraryFolder, &error) && QDir().mkpath(libraryFolder);
    }
    if (!restored) {
        Log::write(QString::fromLatin1(failureLine).arg(libraryFolder, error));
    }
    return restored;
}

// Deletes every object of every entity: the records of the backup take the place of all of them.
void deleteEverything(ObjectContext* context)
{
    for (const QString& entity : context->model().entityNames()) {
        if (const auto objects = ZR_fetchAllForEntityName(*context, entity)) {
            for (ManagedObject* object : *objects) {
                if (object->isValid() && !object->isDeleted()) {
                    context->deleteObject(object);
                }
            }
        }
    }
}

} // namespace

LibraryBackups::LibraryBackups(MigrationReporter& reporter, ObjectGraphCopier& copier, MainContextProvider mainContext,
                               std::function<void()> libraryReloaded, std::function<void()> requestTermination)
    : m_reporter(reporter)
    , m_copier(copier)
    , m_mainContext(std::move(mainContext))
    , m_libraryReloaded(std::move(libraryReloaded))
    , m_requestTermination(std::move(requestTermination))
{ }

QString LibraryBackups::backupFolderPath()
{
    const QString support = LibraryPaths::applicationSupportFolder();
    if (support.isEmpty()) {
        Log::write(QStringLiteral("Failed to synthesize path to backup folder!"));
        return {};
    }
    return QDir(support).filePath(QStringLiteral("Backup"));
}

QString LibraryBackups::fileNameForMigrationBackup()
{
    const QString folder = backupFolderPath();
    if (!QFileInfo::exists(folder) && !QDir().mkpath(folder)) {
        Log::write(QStringLiteral("Error creating path for migration backup: %1 error: %2")
                       .arg(folder, QStringLiteral("cannot create the folder")));
    }
    return ZR_safeFilePath(QDir(folder).filePath(QStringLiteral("MigrationBackup.xml")));
}

QString LibraryBackups::backupPersistentStoreForURL(const QString& path)
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

QString LibraryBackups::backupLibraryBeforeImport()
{
    m_reporter.setProgressMessageString(localizedString(QStringLiteral("BackingUpDataProgressMessage")));
    Log::write(QStringLiteral("Backing up current library..."));
    const QString backup = backupPersistentStoreForURL(LibraryPaths::libraryBundlePath());
    if (backup.isEmpty()) {
        Log::write(QStringLiteral("Backup failed! Cancel Upgrade."));
        m_reporter.alert(QStringLiteral("LibraryBackupFailed"),
                         localizedString(QStringLiteral("LibraryBackupForUpgradeFailedMessage")));
        return {};
    }
    Log::write(QStringLiteral("Backup complete."));
    return backup;
}

bool LibraryBackups::restoreFromBackupURL(const QString& backupPath)
{
    Log::write(QStringLiteral("%1 %2").arg(QStringLiteral("ZRDataMigrator::restoreFromBackupURL"), backupPath));
    if (backupPath.isEmpty()) {
        Log::write(QStringLiteral("Missing persistent sore URL"));
        return false;
    }
    if (!backupPath.contains(QStringLiteral("kmlib"), Qt::CaseInsensitive)) {
        Log::write(QStringLiteral("Backup file is in an old format and will not be restored."));
        Alert refusal;
        refusal.style = AlertStyle::Informational;
        refusal.title = localizedString(QStringLiteral("LegacyBackupRestoreWarningTitle"));
        refusal.message = localizedString(QStringLiteral("LegacyBackupRestoreWarningMessage"));
        refusal.buttons = {localizedString(QStringLiteral("OKButton"))};
        m_reporter.runAlert(refusal);
        return false;
    }
    const QDir backup(backupPath);
    ObjectContext* main = m_mainContext ? m_mainContext() : nullptr;
    bool restored = main
        && restoreFolder(backup.filePath(QStringLiteral("Icons")), LibraryPaths::iconsPath(),
                         "Error restoring icons at path:%1 error:%2")
        && restoreFolder(backup.filePath(QStringLiteral("Attachments")), LibraryPaths::attachmentsPath(),
                         "Error restoring attachments at path:%1 error:%2");
    if (restored) {
        const QString store = backup.filePath(QStringLiteral("Keymoor.data"));
        auto model = StoreVersionReader::managedObjectModelForVersion(StoreVersionReader::versionForStoreURL(store));
        auto coordinator = model ? std::make_shared<StoreCoordinator>(model) : nullptr;
        PersistentStore::Options readOnly;
        readOnly.readOnly = true;
        if (coordinator && coordinator->addStore(StoreType::SQLite, store, nullptr, readOnly)) {
            ObjectContext source(coordinator);
            // The main context belongs to the main thread, whose views read it. The library becomes
            // the backup's catalogue in one save: deleting what is there and copying the backup in
            // are written together or not at all.
            m_reporter.onMainThread([&] {
                ContextLocker locker(main);
                deleteEverything(main);
                restored = m_copier.copyManagedObjectContext(&source, main);
                if (!restored) {
                    main->rollback();
                }
            });
        } else {
            Log::write(QStringLiteral("Error initializing persistent store for URL:%1").arg(store));
            restored = false;
        }
    }
    if (!restored) {
        m_reporter.endProgressSheet();
        Log::write(QStringLiteral("Restore Failed!  Disaster!"));
        m_reporter.alert(QStringLiteral("RestoreFailed"), localizedString(QStringLiteral("RestoreFailedMessage")),
                         true);
        Log::write(QStringLiteral("Terminate!"));
        if (m_requestTermination) {
            m_reporter.onMainThread(m_requestTermination, false);
        }
        return false;
    }
    m_reporter.onMainThread([this, main] {
        if (main->undoManager()) {
            main->undoManager()->removeAllActions();
        }
        if (m_libraryReloaded) {
            m_libraryReloaded();
        }
    });
    return true;
}

LibraryImportResult LibraryBackups::restoreAfterFailedImport(const QString& backupPath)
{
    Log::write(QStringLiteral("Import Failed! Restoring..."));
    m_reporter.alert(QStringLiteral("ImportFailedInvalidFile"),
                     localizedString(QStringLiteral("ImportFailedInvalidFileMessage")), true);
    m_reporter.setProgressMessageString(localizedString(QStringLiteral("ImportFailedRestoringProgressMessage")));
    return restoreFromBackupURL(backupPath) ? LibraryImportResult::Restored : LibraryImportResult::RestoreFailed;
}
