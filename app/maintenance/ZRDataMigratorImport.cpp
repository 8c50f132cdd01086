#include "FolderCopy.h"
#include "StoreVersionReader.h"
#include "ZRDataMigrator.h"
#include "ZRPersistenceTools.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "core/KeymoorAppDelegate.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/ObjectContext.h"
#include "persistence/StoreCoordinator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Persistence;

namespace {

const QString XmlName = QStringLiteral("Keymoor.xml");

// A read-only coordinator and context over a store file of another library.
struct SourceStore
{
    std::shared_ptr<StoreCoordinator> coordinator;
    std::unique_ptr<ObjectContext> context;
};

std::optional<SourceStore> openSourceStore(const QString& path, int version)
{
    const QString operation = QStringLiteral("ZRDataMigrator::importXML");
    const auto model = StoreVersionReader::managedObjectModelForVersion(version);
    if (!model) {
        Log::write(QStringLiteral("%1: Error locating source Managed Object Model!").arg(operation));
        return std::nullopt;
    }
    SourceStore source;
    source.coordinator = std::make_shared<StoreCoordinator>(model);
    PersistentStore::Options readOnly;
    readOnly.readOnly = true;
    StoreError error;
    if (!source.coordinator->addStore(StoreVersionReader::storeTypeForURL(path), path, &error, readOnly)) {
        Log::write(
            QStringLiteral("%1: Error creating Persistent Store Coordinator! %2").arg(operation, error.toString()));
        return std::nullopt;
    }
    source.context = ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(source.coordinator);
    if (!source.context) {
        Log::write(QStringLiteral("%1: Error creating Managed Object Context!").arg(operation));
        return std::nullopt;
    }
    return source;
}

bool isExportFolder(const QString& folder)
{
    const QDir dir(folder);
    return QFileInfo::exists(dir.filePath(QStringLiteral("Icons"))) && QFileInfo::exists(dir.filePath(XmlName));
}

bool isReadable(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly);
}

} // namespace

bool ZRDataMigrator::importXML(const QString& xmlPath, ObjectContext* destination, int modelVersion,
                               const ZRNameMappings& mappings)
{
    auto source = openSourceStore(xmlPath, modelVersion);
    return source && copyManagedObjectContext(source->context.get(), destination, mappings);
}

bool ZRDataMigrator::deleteAllProductsFromManagedObjectContext(ObjectContext* context, bool save)
{
    StoreError error;
    const auto products = ZR_fetchAllForEntityName(*context, QStringLiteral("Product"), &error);
    if (!products) {
        Log::write(QStringLiteral("%1 %2: Exception Trapped: %3 -- %4")
                       .arg(QStringLiteral("ZRDataMigrator::deleteAllProductsFromManagedObjectContext"))
                       .arg(__LINE__)
                       .arg(QStringLiteral("NSInternalInconsistencyException"), error.toString()));
        return false;
    }
    for (ManagedObject* product : *products) {
        context->deleteObject(product);
    }
    if (save && !context->save(&error)) {
        if (UserInterface* ui = m_delegate ? m_delegate->userInterface() : nullptr) {
            onMainThread([&] {
                ui->presentError(PresentableError {error.description, QString(), error.failureReason});
            });
        }
        return false;
    }
    return true;
}

ZRDataMigrator::ImportResult ZRDataMigrator::importFromXML(const QString& path, bool deleteExistingData)
{
    Q_ASSERT_X(!path.isEmpty(), "ZRDataMigrator::importFromXML", "Path is required for XML import");
    if (path.isEmpty() || !m_delegate || !m_delegate->managedObjectContext()) {
        return ImportResult::Refused;
    }
    ObjectContext* main = m_delegate->managedObjectContext();
    StoreError error;
    bool saved = true;
    {
        ContextLocker locker(main);
        saved = !main->hasChanges() || main->save(&error);
    }
    if (!saved) {
        endProgressSheet();
        Log::write(QStringLiteral("Error saving on import: %1").arg(error.toString()));
        alert(QStringLiteral("SaveCurrentDataFailed"), localizedString(QStringLiteral("SaveCurrentDataFailedMessage")));
        return ImportResult::Refused;
    }
    return performImportFromPath(path, deleteExistingData);
}

ZRDataMigrator::ImportResult ZRDataMigrator::performImportFromPath(const QString& path, bool deleteExistingData)
{
    showProgressPanel(localizedString(QStringLiteral("ImportingProgressMessage")));
    ImportResult result = ImportResult::Refused;
    const QFileInfo info(path);
    if (info.suffix().contains(QStringLiteral("xml"), Qt::CaseInsensitive)) {
        if (versionForStoreURL(path) > StoreVersionReader::LastLegacyVersion) {
            result = performImportFromExportFolder(info.absolutePath(), deleteExistingData);
        } else {
            result = performImportFromLegacyXML(path);
        }
    } else {
        result = performImportFromExportFolder(path, deleteExistingData);
    }
    onMainThread([this] { emit libraryReloaded(); });
    endProgressSheet();
    return result;
}

ZRDataMigrator::ImportResult ZRDataMigrator::performImportFromExportFolder(const QString& folder, bool replace)
{
    if (!isExportFolder(folder)) {
        Log::write(QStringLiteral("Error: Not a valid Keymoor library export folder!"));
        alert(QStringLiteral("InvalidExportFolderTitle"),
              localizedString(QStringLiteral("InvalidExportFolderMessage")));
        return ImportResult::Refused;
    }
    const QString xmlPath = QDir(folder).filePath(XmlName);
    if (!isReadable(xmlPath)) {
        Log::write(QStringLiteral("Error: User does not have persmissions to read XML file for import."));
        alert(QStringLiteral("XMLImportPermissionsTitle"),
              localizedString(QStringLiteral("XMLImportPermissionsMessage")));
        return ImportResult::Refused;
    }
    // The export is read before anything changes: an export that cannot be read changes nothing.
    auto source = openSourceStore(xmlPath, versionForStoreURL(xmlPath));
    if (!source) {
        Log::write(QStringLiteral("Import Failed! The export cannot be read: %1").arg(xmlPath));
        alert(QStringLiteral("ImportFailedInvalidFile"),
              localizedString(QStringLiteral("ImportFailedInvalidFileMessage")), true);
        return ImportResult::Refused;
    }
    ObjectContext* main = m_delegate ? m_delegate->managedObjectContext() : nullptr;
    if (!main) {
        return ImportResult::Refused;
    }
    auto destination = ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(main->coordinator());
    QObject::connect(destination.get(), &ObjectContext::didSave, main, &ObjectContext::mergeChangesFromSaveNotice);

    const QString backup = backupLibraryBeforeImport();
    if (backup.isEmpty()) {
        return ImportResult::Refused;
    }

    bool imported = true;
    if (replace) {
        // The deletion and the import are saved together: the store holds the old catalogue or
        // the new one, never neither.
        setProgressMessageString(localizedString(QStringLiteral("DeletingOldDataProgressMessage")));
        imported = deleteAllProductsFromManagedObjectContext(destination.get(), false);
    }
    setProgressMessageString(localizedString(QStringLiteral("ImportingNewDataProgressMessage")));
    ZRNameMappings mappings;
    mappings.active = !replace;
    imported = imported && copyImportFiles(folder, replace, &mappings)
        && copyManagedObjectContext(source->context.get(), destination.get(), mappings);
    if (imported) {
        return ImportResult::Imported;
    }
    // Nothing of the failed import may reach the library: its unsaved records are dropped here
    // and never saved; the restore brings back the files and the records of the backup.
    destination->rollback();
    return restoreAfterFailedImport(backup);
}

bool ZRDataMigrator::copyImportFiles(const QString& folder, bool replace, ZRNameMappings* mappings)
{
    const QDir exportDir(folder);
    const QString icons = exportDir.filePath(QStringLiteral("Icons"));
    const QString attachments = exportDir.filePath(QStringLiteral("Attachments"));
    QString error;
    if (replace) {
        // Replaced only by complete copies; a copy that fails leaves the folder as it was and
        // fails the import, which the restore then undoes.
        if (!FolderCopy::replaceFolderWithCopy(icons, LibraryPaths::iconsPath(), &error)) {
            Log::write(QStringLiteral("Error copying icons folder %1 to %2. Error: %3")
                           .arg(icons, LibraryPaths::iconsPath(), error));
            return false;
        }
        if (QFileInfo(attachments).isDir()
            && !FolderCopy::replaceFolderWithCopy(attachments, LibraryPaths::attachmentsPath(), &error)) {
            Log::write(QStringLiteral("Error copying attachments folder: %1 to path: %2 error: %3")
                           .arg(attachments, LibraryPaths::attachmentsPath(), error));
            return false;
        }
        return true;
    }
    const auto copyEach
        = [](const QString& from, const QString& to, QHash<QString, QString>* mapping, const char* failureLine) {
              const QStringList names = QDir(from).entryList(QDir::Files | QDir::Hidden | QDir::System);
              for (const QString& name : names) {
                  const QString fresh = ZRManagedObject::newUUIDString();
                  const QString target = QDir(to).filePath(fresh);
                  QString copyError;
                  if (FolderCopy::copyFile(QDir(from).filePath(name), target, &copyError)) {
                      mapping->insert(name, fresh);
                  } else {
                      Log::write(QString::fromLatin1(failureLine).arg(QDir(from).filePath(name), target, copyError));
                  }
              }
              FolderCopy::syncFileSystem(to);
          };
    copyEach(icons, LibraryPaths::iconsPath(), &mappings->icons, "Error copying %1 to %2. Error: %3");
    if (QFileInfo(attachments).isDir()) {
        const QString library = LibraryPaths::attachmentsPath();
        if (!QFileInfo(library).isDir()) {
            Log::write(QStringLiteral("Error: Failed to create attachments folder for merged import: %1 error: %2")
                           .arg(library, QStringLiteral("cannot create the folder")));
            return false;
        }
        copyEach(attachments, library, &mappings->attachments,
                 "Error copying attachments for merged import from: %1 to %2. Error: %3");
    }
    return true;
}

ZRDataMigrator::ImportResult ZRDataMigrator::restoreAfterFailedImport(const QString& backupPath)
{
    Log::write(QStringLiteral("Import Failed! Restoring..."));
    alert(QStringLiteral("ImportFailedInvalidFile"), localizedString(QStringLiteral("ImportFailedInvalidFileMessage")),
          true);
    setProgressMessageString(localizedString(QStringLiteral("ImportFailedRestoringProgressMessage")));
    return restoreFromBackupURL(backupPath) ? ImportResult::Restored : ImportResult::RestoreFailed;
}
