#pragma once

#include "maintenance/LibraryImportResult.h"
#include "maintenance/MigrationProgress.h"
#include "maintenance/ZRNameMappings.h"
#include "model/ExportField.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class DelimitedTextExport;
class ExportFolderImporter;
class ExportFolderWriter;
class ExportOptions;
class LibrarySession;
class LibraryBackups;
class MigrationReporter;
class ObjectGraphCopier;
class StoreUpgrader;

namespace Persistence {
class ManagedObject;
class ObjectContext;
class ObjectModel;
} // namespace Persistence

// The library-maintenance controller: the delimited export, the export folder and its import, the
// backups, the restore and the upgrade of older stores. It keeps the names the window, the command
// line and the tests know, and hands each call to the part that does the work (ExportOptions,
// DelimitedTextExport, ExportFolderWriter, ExportFolderImporter, ObjectGraphCopier, LibraryBackups,
// StoreUpgrader), all reporting through one MigrationReporter. The operations run synchronously on
// the calling thread (the window starts them on threads of their own, the command line and the
// tests call them directly); every call of the person's interface and of the progress display is
// handed to the main thread.
class ZRDataMigrator : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ZRDataMigrator)

public:
    using ImportResult = LibraryImportResult;

    explicit ZRDataMigrator(LibrarySession* session, QObject* parent = nullptr);
    ~ZRDataMigrator() override;

    LibrarySession* session() const { return m_session; }
    // The display of progress (none: nothing is shown). It must outlive the operations.
    void setProgress(MigrationProgress* progress);

    // ---- Delimited text export (ExportOptions, DelimitedTextExport) ----

    // The three delimiter options form a radio group: setting one sets the other two to the opposite.
    bool exportAsCommaSeparated() const;
    bool exportAsTabDelimited() const;
    bool exportWithCustomDelimiter() const;
    void setExportAsCommaSeparated(bool on);
    void setExportAsTabDelimited(bool on);
    void setExportWithCustomDelimiter(bool on);
    QString customDelimiter() const;
    void setCustomDelimiter(const QString& delimiter);
    bool includeHeadersInTextExport() const;
    void setIncludeHeadersInTextExport(bool on);
    // "," / one tab / the custom text, by the options.
    QString delimiter() const;

    // The fourteen fields in their fixed order, `active` read from "ZRActiveExportValuesDefaultsKey".
    ExportFieldList exportableProductKeyPaths() const;
    // The list the options sheet shows, in the export order (made from the defaults on first use).
    ExportFieldList exportFields();
    void setExportFields(const ExportFieldList& fields);
    // Writes the `active` flags of the sheet's list back into "ZRActiveExportValuesDefaultsKey".
    void saveActiveExportFields();

    // The delimited export: the products of the "SummaryReport" template sorted by title, one line
    // each, into the path made unique. Answers the path written, or empty after a log line.
    QString performBackgroundTextExportToPath(const QString& path);
    // The header line (without the line end): the labels of the active fields, quoted as they are.
    static QString headerLine(const ExportFieldList& fields, const QString& delimiter);

    // ---- Export folder and its import (ExportFolderWriter, ExportFolderImporter) ----

    // Writes "Keymoor Export" (made unique) into `folder` from a second coordinator over the
    // library's store. Answers the export folder's path, or empty after the log lines.
    QString performBackgroundExportToPath(const QString& folder);
    bool exportManagedObjectContext(Persistence::ObjectContext* source, const QString& folder,
                                    QString* exportFolder = nullptr);

    // Saves the catalogue, then imports. An export folder, its "Keymoor.xml", or an XML library of
    // an older version; `deleteExistingData` replaces the catalogue, else the import is merged.
    ImportResult importFromXML(const QString& path, bool deleteExistingData);
    ImportResult performImportFromPath(const QString& path, bool deleteExistingData);
    ImportResult performImportFromExportFolder(const QString& folder, bool deleteExistingData);
    // Copies the XML store at `xmlPath`, read with the model of `modelVersion`, into `destination`.
    bool importXML(const QString& xmlPath, Persistence::ObjectContext* destination, int modelVersion,
                   const ZRNameMappings& mappings = {});
    // Deletes every product (and, through the delete rules, what belongs to it); saved when asked.
    bool deleteAllProductsFromManagedObjectContext(Persistence::ObjectContext* context, bool save = true);
    // Replaces the catalogue with an XML library of an older version (after a backup).
    ImportResult performImportFromLegacyXML(const QString& path);

    // ---- Object-graph copies (ObjectGraphCopier) ----

    // Copies every object of `source` into `destination` and saves it; legacy sources (version 4
    // and below) go through the legacy copy.
    bool copyManagedObjectContext(Persistence::ObjectContext* source, Persistence::ObjectContext* destination,
                                  const ZRNameMappings& mappings = {});
    // The two-pass copy of a legacy store: records first, then each attachment's bytes one by one.
    bool legacyCopyManagedObjectContext(Persistence::ObjectContext* source, Persistence::ObjectContext* destination);

    // ---- Versions (StoreVersionReader), backups, restore (LibraryBackups), upgrade (StoreUpgrader) ----

    static int currentModelVersion();
    static int versionForStoreURL(const QString& path);
    static QString pathForObjectModelForVersion(int version);
    static std::shared_ptr<const Persistence::ObjectModel> managedObjectModelForVersion(int version);
    // "<support>/Backup"; `fileNameForMigrationBackup` is "MigrationBackup.xml" in it, made unique.
    static QString backupFolderPath();
    static QString fileNameForMigrationBackup();

    // Copies the file or folder into the backup folder under its own name, made unique. Answers
    // the copy's path, or empty after a log line.
    QString backupPersistentStoreForURL(const QString& path);
    // Backs up the library folder before an import replaces or merges into it. Answers the backup's
    // path, or empty after telling the person that the import cannot go ahead.
    QString backupLibraryBeforeImport();
    // Makes the running library what the library-folder backup holds: its icons, its attachments
    // and, in one save, its records in place of the current ones. False when refused or failed.
    bool restoreFromBackupURL(const QString& backupPath);
    // The start-up decision: true when the library store can then be opened.
    bool upgradePersistentStoreForURL(const QString& storePath);
    // Copies an older store into a new store of the current model and puts it in the old one's place.
    bool performUpgradeStoreURL(const QString& storePath);

    // ---- Progress (MigrationReporter); callable from any thread ----

    void showProgressPanel(const QString& message);
    void resetProgressIndicatorWithMax(int maximum);
    void incrementProgressIndicator();
    void incrementProgressIndicatorWithMessage(const QString& message);
    void setProgressMessageString(const QString& message);
    void incrementProgressProductCount();
    void incrementProgressAttachmentCount();
    void incrementProgressProductFailedCount();
    void incrementProgressAttachmentFailedCount();
    void resetProgressCounters();
    void endProgressSheet();
    int counter(MigrationProgress::Counter which) const;

    // ---- Seams for tests ----

    // Free space of the volume that holds a path (default: the file system's answer).
    void setFreeSpaceProvider(std::function<quint64(const QString&)> provider);
    // Called before each object of a copy; answering false makes the copy fail there.
    void setCopyObjectHook(std::function<bool(const Persistence::ManagedObject*)> hook);

signals:
    // The library was restored or replaced: views refetch everything.
    void libraryReloaded();

private:
    LibrarySession* m_session;
    std::unique_ptr<MigrationReporter> m_reporter;
    std::unique_ptr<ExportOptions> m_exportOptions;
    std::unique_ptr<DelimitedTextExport> m_textExport;
    std::unique_ptr<ObjectGraphCopier> m_copier;
    std::unique_ptr<LibraryBackups> m_backups;
    std::unique_ptr<StoreUpgrader> m_upgrader;
    std::unique_ptr<ExportFolderWriter> m_exportWriter;
    std::unique_ptr<ExportFolderImporter> m_importer;
};
