#include "maintenance/ExportFolderImporter.h"

#include "ZRPersistenceTools.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "maintenance/ImportFileCopy.h"
#include "maintenance/LibraryBackups.h"
#include "maintenance/MigrationReporter.h"
#include "maintenance/ObjectGraphCopier.h"
#include "maintenance/StoreVersionReader.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/ObjectContext.h"
#include "persistence/StoreCoordinator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Persistence;

namespace {

const QString XmlName = QStringLiteral("Keymoor.xml");
const QString DocumentTypeLine
    = QStringLiteral("<!DOCTYPE database SYSTEM \"file:///System/Library/DTDs/CoreData.dtd\">");

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

ExportFolderImporter::ExportFolderImporter(MigrationReporter& reporter, ObjectGraphCopier& copier,
                                           LibraryBackups& backups, MainContextProvider mainContext,
                                           std::function<void()> libraryReloaded)
    : m_reporter(reporter)
    , m_copier(copier)
    , m_backups(backups)
    , m_mainContext(std::move(mainContext))
    , m_libraryReloaded(std::move(libraryReloaded))
{ }

bool ExportFolderImporter::importXML(const QString& xmlPath, ObjectContext* destination, int modelVersion,
                                     const ZRNameMappings& mappings)
{
    auto source = openSourceStore(xmlPath, modelVersion);
    return source && m_copier.copyManagedObjectContext(source->context.get(), destination, mappings);
}

bool ExportFolderImporter::deleteAllProductsFromManagedObjectContext(ObjectContext* context, bool save)
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
        m_reporter.presentError(PresentableError {error.description, QString(), error.failureReason});
        return false;
    }
    return true;
}

LibraryImportResult ExportFolderImporter::importFromXML(const QString& path, bool deleteExistingData)
{
    Q_ASSERT_X(!path.isEmpty(), "ZRDataMigrator::importFromXML", "Path is required for XML import");
    ObjectContext* main = !path.isEmpty() && m_mainContext ? m_mainContext() : nullptr;
    if (!main) {
        return LibraryImportResult::Refused;
    }
    StoreError error;
    bool saved = true;
    {
        ContextLocker locker(main);
        saved = !main->hasChanges() || main->save(&error);
    }
    if (!saved) {
        m_reporter.endProgressSheet();
        Log::write(QStringLiteral("Error saving on import: %1").arg(error.toString()));
        m_reporter.alert(QStringLiteral("SaveCurrentDataFailed"),
                         localizedString(QStringLiteral("SaveCurrentDataFailedMessage")));
        return LibraryImportResult::Refused;
    }
    return performImportFromPath(path, deleteExistingData);
}

LibraryImportResult ExportFolderImporter::performImportFromPath(const QString& path, bool deleteExistingData)
{
    m_reporter.showProgressPanel(localizedString(QStringLiteral("ImportingProgressMessage")));
    LibraryImportResult result = LibraryImportResult::Refused;
    const QFileInfo info(path);
    if (info.suffix().contains(QStringLiteral("xml"), Qt::CaseInsensitive)) {
        if (StoreVersionReader::versionForStoreURL(path) > StoreVersionReader::LastLegacyVersion) {
            result = performImportFromExportFolder(info.absolutePath(), deleteExistingData);
        } else {
            result = performImportFromLegacyXML(path);
        }
    } else {
        result = performImportFromExportFolder(path, deleteExistingData);
    }
    if (m_libraryReloaded) {
        m_reporter.onMainThread(m_libraryReloaded);
    }
    m_reporter.endProgressSheet();
    return result;
}

LibraryImportResult ExportFolderImporter::performImportFromExportFolder(const QString& folder, bool replace)
{
    if (!isExportFolder(folder)) {
        Log::write(QStringLiteral("Error: Not a valid Keymoor library export folder!"));
        m_reporter.alert(QStringLiteral("InvalidExportFolderTitle"),
                         localizedString(QStringLiteral("InvalidExportFolderMessage")));
        return LibraryImportResult::Refused;
    }
    const QString xmlPath = QDir(folder).filePath(XmlName);
    if (!isReadable(xmlPath)) {
        Log::write(QStringLiteral("Error: User does not have persmissions to read XML file for import."));
        m_reporter.alert(QStringLiteral("XMLImportPermissionsTitle"),
                         localizedString(QStringLiteral("XMLImportPermissionsMessage")));
        return LibraryImportResult::Refused;
    }
    // The export is read before anything changes: an export that cannot be read changes nothing.
    auto source = openSourceStore(xmlPath, StoreVersionReader::versionForStoreURL(xmlPath));
    if (!source) {
        Log::write(QStringLiteral("Import Failed! The export cannot be read: %1").arg(xmlPath));
        m_reporter.alert(QStringLiteral("ImportFailedInvalidFile"),
                         localizedString(QStringLiteral("ImportFailedInvalidFileMessage")), true);
        return LibraryImportResult::Refused;
    }
    ObjectContext* main = m_mainContext ? m_mainContext() : nullptr;
    if (!main) {
        return LibraryImportResult::Refused;
    }
    auto destination = ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(main->coordinator());
    QObject::connect(destination.get(), &ObjectContext::didSave, main, &ObjectContext::mergeChangesFromSaveNotice);

    const QString backup = m_backups.backupLibraryBeforeImport();
    if (backup.isEmpty()) {
        return LibraryImportResult::Refused;
    }

    bool imported = true;
    if (replace) {
        // The deletion and the import are saved together: the store holds the old catalogue or
        // the new one, never neither.
        m_reporter.setProgressMessageString(localizedString(QStringLiteral("DeletingOldDataProgressMessage")));
        imported = deleteAllProductsFromManagedObjectContext(destination.get(), false);
    }
    m_reporter.setProgressMessageString(localizedString(QStringLiteral("ImportingNewDataProgressMessage")));
    ZRNameMappings mappings;
    mappings.active = !replace;
    imported = imported && ImportFileCopy::copyImportFiles(folder, replace, &mappings)
        && m_copier.copyManagedObjectContext(source->context.get(), destination.get(), mappings);
    if (imported) {
        return LibraryImportResult::Imported;
    }
    // Nothing of the failed import may reach the library: its unsaved records are dropped here
    // and never saved; the restore brings back the files and the records of the backup.
    destination->rollback();
    return m_backups.restoreAfterFailedImport(backup);
}

LibraryImportResult ExportFolderImporter::performImportFromLegacyXML(const QString& path)
{
    Log::write(QStringLiteral("ZRDataMigrator::performImportFromLegacyXML"));
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    Alert refusal;
    refusal.style = AlertStyle::Warning;
    refusal.buttons = {localizedString(QStringLiteral("OKButton"))};
    if (bytes.isEmpty()) {
        Log::write(QStringLiteral("Error: Import file is empty."));
        refusal.title = localizedString(QStringLiteral("ImportFileEmptyTitle"));
        m_reporter.runAlert(refusal);
        return LibraryImportResult::Refused;
    }
    if (!QString::fromUtf8(bytes).contains(DocumentTypeLine, Qt::CaseInsensitive)) {
        Log::write(QStringLiteral("ERROR: Import file is not a valid Keymoor Export."));
        refusal.title = localizedString(QStringLiteral("ImportFileNotExportTitle"));
        refusal.message = localizedString(QStringLiteral("ImportTryXMLImportMessage"));
        m_reporter.runAlert(refusal);
        return LibraryImportResult::Refused;
    }
    ObjectContext* main = m_mainContext ? m_mainContext() : nullptr;
    if (!main) {
        return LibraryImportResult::Refused;
    }
    const QString backup = m_backups.backupLibraryBeforeImport();
    if (backup.isEmpty()) {
        return LibraryImportResult::Refused;
    }
    bool imported = false;
    m_reporter.onMainThread([&] {
        ContextLocker locker(main);
        // The legacy import always replaces the catalogue; deleting and importing are one save.
        m_reporter.setProgressMessageString(localizedString(QStringLiteral("DeletingOldDataProgressMessage")));
        imported = deleteAllProductsFromManagedObjectContext(main, false);
        m_reporter.setProgressMessageString(localizedString(QStringLiteral("ImportingNewDataProgressMessage")));
        imported = imported && importXML(path, main, StoreVersionReader::versionForStoreURL(path));
        if (!imported) {
            main->rollback();
        }
    });
    if (!imported) {
        return m_backups.restoreAfterFailedImport(backup);
    }
    m_reporter.onMainThread([main] {
        if (main->undoManager()) {
            main->undoManager()->removeAllActions();
        }
    });
    return LibraryImportResult::Imported;
}
