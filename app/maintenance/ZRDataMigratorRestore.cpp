#include "FolderCopy.h"
#include "ZRDataMigrator.h"
#include "ZRPersistenceTools.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "core/KeymoorAppDelegate.h"
#include "persistence/ObjectContext.h"
#include "persistence/ObjectModel.h"
#include "persistence/StoreCoordinator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Persistence;

namespace {

const QString DocumentTypeLine
    = QStringLiteral("<!DOCTYPE database SYSTEM \"file:///System/Library/DTDs/CoreData.dtd\">");

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

bool ZRDataMigrator::restoreFromBackupURL(const QString& backupPath)
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
        runAlert(refusal);
        return false;
    }
    const QDir backup(backupPath);
    ObjectContext* main = m_delegate ? m_delegate->managedObjectContext() : nullptr;
    bool restored = main
        && restoreFolder(backup.filePath(QStringLiteral("Icons")), LibraryPaths::iconsPath(),
                         "Error restoring icons at path:%1 error:%2")
        && restoreFolder(backup.filePath(QStringLiteral("Attachments")), LibraryPaths::attachmentsPath(),
                         "Error restoring attachments at path:%1 error:%2");
    if (restored) {
        const QString store = backup.filePath(QStringLiteral("Keymoor.data"));
        auto model = managedObjectModelForVersion(versionForStoreURL(store));
        auto coordinator = model ? std::make_shared<StoreCoordinator>(model) : nullptr;
        PersistentStore::Options readOnly;
        readOnly.readOnly = true;
        if (coordinator && coordinator->addStore(StoreType::SQLite, store, nullptr, readOnly)) {
            ObjectContext source(coordinator);
            // The main context belongs to the main thread, whose views read it. The library becomes
            // the backup's catalogue in one save: deleting what is there and copying the backup in
            // are written together or not at all.
            onMainThread([&] {
                ContextLocker locker(main);
                deleteEverything(main);
                restored = copyManagedObjectContext(&source, main);
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
        endProgressSheet();
        Log::write(QStringLiteral("Restore Failed!  Disaster!"));
        alert(QStringLiteral("RestoreFailed"), localizedString(QStringLiteral("RestoreFailedMessage")), true);
        requestTermination();
        return false;
    }
    onMainThread([this, main] {
        if (main->undoManager()) {
            main->undoManager()->removeAllActions();
        }
        emit libraryReloaded();
    });
    return true;
}

ZRDataMigrator::ImportResult ZRDataMigrator::performImportFromLegacyXML(const QString& path)
{
    Log::write(QStringLiteral("ZRDataMigrator::performImportFromLegacyXML"));
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    Alert refusal;
    refusal.style = AlertStyle::Warning;
    refusal.buttons = {localizedString(QStringLiteral("OKButton"))};
    if (bytes.isEmpty()) {
        Log::write(QStringLiteral("Error: Import file is empty."));
        refusal.title = QStringLiteral("Import file is empty.");
        runAlert(refusal);
        return ImportResult::Refused;
    }
    if (!QString::fromUtf8(bytes).contains(DocumentTypeLine, Qt::CaseInsensitive)) {
        Log::write(QStringLiteral("ERROR: Import file is not a valid Keymoor Export."));
        refusal.title = QStringLiteral("Import file is not a valid Keymoor Export.");
        refusal.message = QStringLiteral("Try using XML Import instead.");
        runAlert(refusal);
        return ImportResult::Refused;
    }
    ObjectContext* main = m_delegate ? m_delegate->managedObjectContext() : nullptr;
    if (!main) {
        return ImportResult::Refused;
    }
    const QString backup = backupLibraryBeforeImport();
    if (backup.isEmpty()) {
        return ImportResult::Refused;
    }
    bool imported = false;
    onMainThread([&] {
        ContextLocker locker(main);
        // The legacy import always replaces the catalogue; deleting and importing are one save.
        setProgressMessageString(localizedString(QStringLiteral("DeletingOldDataProgressMessage")));
        imported = deleteAllProductsFromManagedObjectContext(main, false);
        setProgressMessageString(localizedString(QStringLiteral("ImportingNewDataProgressMessage")));
        imported = imported && importXML(path, main, versionForStoreURL(path));
        if (!imported) {
            main->rollback();
        }
    });
    if (!imported) {
        return restoreAfterFailedImport(backup);
    }
    onMainThread([main] {
        if (main->undoManager()) {
            main->undoManager()->removeAllActions();
        }
    });
    return ImportResult::Imported;
}
