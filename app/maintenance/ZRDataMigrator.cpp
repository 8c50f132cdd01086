#include "maintenance/ZRDataMigrator.h"

#include "library/LibrarySession.h"
#include "maintenance/DelimitedTextExport.h"
#include "maintenance/ExportFolderImporter.h"
#include "maintenance/ExportFolderWriter.h"
#include "maintenance/ExportOptions.h"
#include "maintenance/LibraryBackups.h"
#include "maintenance/MigrationReporter.h"
#include "maintenance/ObjectGraphCopier.h"
#include "maintenance/StoreUpgrader.h"
#include "maintenance/StoreVersionReader.h"

// The session is asked for: the person's interface and the preferences (once, here), the main
// context (each time an operation needs it, since the start-up upgrade runs before the library is
// open), and the request to quit. It also receives the main-thread hand-offs.
ZRDataMigrator::ZRDataMigrator(LibrarySession* session, QObject* parent)
    : QObject(parent)
    , m_session(session)
{
    const MainContextProvider mainContext = [this] { return m_session ? m_session->managedObjectContext() : nullptr; };
    const auto reloaded = [this] { emit libraryReloaded(); };
    std::function<void()> terminate;
    if (m_session) {
        terminate = [this] { m_session->requestTermination(); };
    }
    m_reporter = std::make_unique<MigrationReporter>(m_session, m_session ? m_session->userInterface() : nullptr);
    m_exportOptions = std::make_unique<ExportOptions>(m_session ? &m_session->userPrefs() : nullptr);
    m_textExport = std::make_unique<DelimitedTextExport>(*m_exportOptions, *m_reporter, mainContext);
    m_copier = std::make_unique<ObjectGraphCopier>(*m_reporter);
    m_backups = std::make_unique<LibraryBackups>(*m_reporter, *m_copier, mainContext, reloaded, terminate);
    m_upgrader = std::make_unique<StoreUpgrader>(*m_reporter, *m_copier, *m_backups);
    m_exportWriter = std::make_unique<ExportFolderWriter>(*m_reporter, *m_copier);
    m_importer = std::make_unique<ExportFolderImporter>(*m_reporter, *m_copier, *m_backups, mainContext, reloaded);
}

ZRDataMigrator::~ZRDataMigrator() = default;

void ZRDataMigrator::setProgress(MigrationProgress* progress)
{
    m_reporter->setProgress(progress);
}

// ---- Delimited text export ----

bool ZRDataMigrator::exportAsCommaSeparated() const
{
    return m_exportOptions->exportAsCommaSeparated();
}

bool ZRDataMigrator::exportAsTabDelimited() const
{
    return m_exportOptions->exportAsTabDelimited();
}

bool ZRDataMigrator::exportWithCustomDelimiter() const
{
    return m_exportOptions->exportWithCustomDelimiter();
}

void ZRDataMigrator::setExportAsCommaSeparated(bool on)
{
    m_exportOptions->setExportAsCommaSeparated(on);
}

void ZRDataMigrator::setExportAsTabDelimited(bool on)
{
    m_exportOptions->setExportAsTabDelimited(on);
}

void ZRDataMigrator::setExportWithCustomDelimiter(bool on)
{
    m_exportOptions->setExportWithCustomDelimiter(on);
}

QString ZRDataMigrator::customDelimiter() const
{
    return m_exportOptions->customDelimiter();
}

void ZRDataMigrator::setCustomDelimiter(const QString& delimiter)
{
    m_exportOptions->setCustomDelimiter(delimiter);
}

bool ZRDataMigrator::includeHeadersInTextExport() const
{
    return m_exportOptions->includeHeadersInTextExport();
}

void ZRDataMigrator::setIncludeHeadersInTextExport(bool on)
{
    m_exportOptions->setIncludeHeadersInTextExport(on);
}

QString ZRDataMigrator::delimiter() const
{
    return m_exportOptions->delimiter();
}

ExportFieldList ZRDataMigrator::exportableProductKeyPaths() const
{
    return m_exportOptions->exportableProductKeyPaths();
}

ExportFieldList ZRDataMigrator::exportFields()
{
    return m_exportOptions->exportFields();
}

void ZRDataMigrator::setExportFields(const ExportFieldList& fields)
{
    m_exportOptions->setExportFields(fields);
}

void ZRDataMigrator::saveActiveExportFields()
{
    m_exportOptions->saveActiveExportFields();
}

QString ZRDataMigrator::performBackgroundTextExportToPath(const QString& path)
{
    return m_textExport->exportToPath(path);
}

QString ZRDataMigrator::headerLine(const ExportFieldList& fields, const QString& delimiter)
{
    return ExportOptions::headerLine(fields, delimiter);
}

// ---- Export folder and its import ----

QString ZRDataMigrator::performBackgroundExportToPath(const QString& folder)
{
    return m_exportWriter->performBackgroundExportToPath(folder);
}

bool ZRDataMigrator::exportManagedObjectContext(Persistence::ObjectContext* source, const QString& folder,
                                                QString* exportFolder)
{
    return m_exportWriter->exportManagedObjectContext(source, folder, exportFolder);
}

ZRDataMigrator::ImportResult ZRDataMigrator::importFromXML(const QString& path, bool deleteExistingData)
{
    return m_importer->importFromXML(path, deleteExistingData);
}

ZRDataMigrator::ImportResult ZRDataMigrator::performImportFromPath(const QString& path, bool deleteExistingData)
{
    return m_importer->performImportFromPath(path, deleteExistingData);
}

ZRDataMigrator::ImportResult ZRDataMigrator::performImportFromExportFolder(const QString& folder,
                                                                           bool deleteExistingData)
{
    return m_importer->performImportFromExportFolder(folder, deleteExistingData);
}

bool ZRDataMigrator::importXML(const QString& xmlPath, Persistence::ObjectContext* destination, int modelVersion,
                               const ZRNameMappings& mappings)
{
    return m_importer->importXML(xmlPath, destination, modelVersion, mappings);
}

bool ZRDataMigrator::deleteAllProductsFromManagedObjectContext(Persistence::ObjectContext* context, bool save)
{
    return m_importer->deleteAllProductsFromManagedObjectContext(context, save);
}

ZRDataMigrator::ImportResult ZRDataMigrator::performImportFromLegacyXML(const QString& path)
{
    return m_importer->performImportFromLegacyXML(path);
}

// ---- Object-graph copies ----

bool ZRDataMigrator::copyManagedObjectContext(Persistence::ObjectContext* source,
                                              Persistence::ObjectContext* destination, const ZRNameMappings& mappings)
{
    return m_copier->copyManagedObjectContext(source, destination, mappings);
}

bool ZRDataMigrator::legacyCopyManagedObjectContext(Persistence::ObjectContext* source,
                                                    Persistence::ObjectContext* destination)
{
    return m_copier->legacyCopyManagedObjectContext(source, destination);
}

// ---- Versions, backups, restore, upgrade ----

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

std::shared_ptr<const Persistence::ObjectModel> ZRDataMigrator::managedObjectModelForVersion(int version)
{
    return StoreVersionReader::managedObjectModelForVersion(version);
}

QString ZRDataMigrator::backupFolderPath()
{
    return LibraryBackups::backupFolderPath();
}

QString ZRDataMigrator::fileNameForMigrationBackup()
{
    return LibraryBackups::fileNameForMigrationBackup();
}

QString ZRDataMigrator::backupPersistentStoreForURL(const QString& path)
{
    return m_backups->backupPersistentStoreForURL(path);
}

QString ZRDataMigrator::backupLibraryBeforeImport()
{
    return m_backups->backupLibraryBeforeImport();
}

bool ZRDataMigrator::restoreFromBackupURL(const QString& backupPath)
{
    return m_backups->restoreFromBackupURL(backupPath);
}

bool ZRDataMigrator::upgradePersistentStoreForURL(const QString& storePath)
{
    return m_upgrader->upgradePersistentStoreForURL(storePath);
}

bool ZRDataMigrator::performUpgradeStoreURL(const QString& storePath)
{
    return m_upgrader->performUpgradeStoreURL(storePath);
}

// ---- Progress ----

void ZRDataMigrator::showProgressPanel(const QString& message)
{
    m_reporter->showProgressPanel(message);
}

void ZRDataMigrator::resetProgressIndicatorWithMax(int maximum)
{
    m_reporter->resetProgressIndicatorWithMax(maximum);
}

void ZRDataMigrator::incrementProgressIndicator()
{
    m_reporter->incrementProgressIndicator();
}

void ZRDataMigrator::incrementProgressIndicatorWithMessage(const QString& message)
{
    m_reporter->incrementProgressIndicatorWithMessage(message);
}

void ZRDataMigrator::setProgressMessageString(const QString& message)
{
    m_reporter->setProgressMessageString(message);
}

void ZRDataMigrator::incrementProgressProductCount()
{
    m_reporter->incrementProgressProductCount();
}

void ZRDataMigrator::incrementProgressAttachmentCount()
{
    m_reporter->incrementProgressAttachmentCount();
}

void ZRDataMigrator::incrementProgressProductFailedCount()
{
    m_reporter->incrementProgressProductFailedCount();
}

void ZRDataMigrator::incrementProgressAttachmentFailedCount()
{
    m_reporter->incrementProgressAttachmentFailedCount();
}

void ZRDataMigrator::resetProgressCounters()
{
    m_reporter->resetProgressCounters();
}

void ZRDataMigrator::endProgressSheet()
{
    m_reporter->endProgressSheet();
}

int ZRDataMigrator::counter(MigrationProgress::Counter which) const
{
    return m_reporter->counter(which);
}

// ---- Seams for tests ----

void ZRDataMigrator::setFreeSpaceProvider(std::function<quint64(const QString&)> provider)
{
    m_upgrader->setFreeSpaceProvider(std::move(provider));
}

void ZRDataMigrator::setCopyObjectHook(std::function<bool(const Persistence::ManagedObject*)> hook)
{
    m_copier->setCopyObjectHook(std::move(hook));
}
