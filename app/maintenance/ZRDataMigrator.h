#pragma once

#include "MigrationProgress.h"
#include "model/ExportField.h"
#include "model/ZRManagedObject.h"

#include <QAtomicInt>
#include <QHash>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class KeymoorAppDelegate;
struct Alert;

namespace Persistence {
class ObjectContext;
class ObjectModel;
class StoreCoordinator;
} // namespace Persistence

// Old file name -> new file name of the files a merge import copied under fresh names. `active`
// marks a merge: then a record whose file was not copied gets a fresh name that names no file, so
// it shows as missing instead of pointing at a file of another record.
struct ZRNameMappings
{
    bool active = false;
    QHash<QString, QString> attachments;
    QHash<QString, QString> icons;
};

// The library-maintenance controller: the delimited export, the export folder and its import, the
// backups, the restore and the upgrade of older stores. The operations run synchronously on the
// calling thread (the window starts them on threads of their own, the command line and the tests
// call them directly); every call of the person's interface and of the progress display is handed
// to the main thread.
class ZRDataMigrator : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ZRDataMigrator)

public:
    explicit ZRDataMigrator(KeymoorAppDelegate* delegate, QObject* parent = nullptr);
    ~ZRDataMigrator() override;

    KeymoorAppDelegate* delegate() const { return m_delegate; }
    // The display of progress (none: nothing is shown). It must outlive the operations.
    void setProgress(MigrationProgress* progress) { m_progress = progress; }

    // ---- Delimited text export (ZRDataMigratorTextExport.cpp) ----

    // The three delimiter options form a radio group: setting one sets the other two to the opposite.
    bool exportAsCommaSeparated() const { return m_delimiterChoice == Delimiter::Comma; }
    bool exportAsTabDelimited() const { return m_delimiterChoice == Delimiter::Tab; }
    bool exportWithCustomDelimiter() const { return m_delimiterChoice == Delimiter::Custom; }
    void setExportAsCommaSeparated(bool on);
    void setExportAsTabDelimited(bool on);
    void setExportWithCustomDelimiter(bool on);
    QString customDelimiter() const { return m_customDelimiter; }
    void setCustomDelimiter(const QString& delimiter) { m_customDelimiter = delimiter; }
    bool includeHeadersInTextExport() const { return m_includeHeaders; }
    void setIncludeHeadersInTextExport(bool on) { m_includeHeaders = on; }
    // "," / one tab / the custom text, by the options.
    QString delimiter() const;

    // The fourteen fields in their fixed order, `active` read from "ZRActiveExportValuesDefaultsKey".
    ExportFieldList exportableProductKeyPaths() const;
    // The list the options sheet shows, in the export order (made from the defaults on first use).
    ExportFieldList exportFields();
    void setExportFields(const ExportFieldList& fields)
    {
        m_fields = fields;
        m_fieldsLoaded = true;
    }
    // Writes the `active` flags of the sheet's list back into "ZRActiveExportValuesDefaultsKey".
    void saveActiveExportFields();

    // The delimited export: the products of the "SummaryReport" template sorted by title, one line
    // each, into the path made unique. Answers the path written, or empty after a log line.
    QString performBackgroundTextExportToPath(const QString& path);
    // The header line (without the line end): the labels of the active fields, quoted as they are.
    static QString headerLine(const ExportFieldList& fields, const QString& delimiter);

    // ---- Export folder and its import (ZRDataMigratorExport.cpp, ZRDataMigratorImport.cpp) ----

    // Writes "Keymoor Export" (made unique) into `folder` from a second coordinator over the
    // library's store. Answers the export folder's path, or empty after the log lines.
    QString performBackgroundExportToPath(const QString& folder);
    bool exportManagedObjectContext(Persistence::ObjectContext* source, const QString& folder,
                                    QString* exportFolder = nullptr);

    enum class ImportResult {
        Imported, // the catalogue holds the import
        Refused, // not imported, nothing changed (the person has been told why)
        Restored, // the import failed and the library is back as it was before
        RestoreFailed, // the import failed and so did the restore: the application must quit
    };
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

    // ---- Object-graph copies (ZRDataMigratorCopy.cpp, ZRDataMigratorLegacy.cpp) ----

    // Copies every object of `source` into `destination` and saves it; legacy sources (version 4
    // and below) go through the legacy copy.
    bool copyManagedObjectContext(Persistence::ObjectContext* source, Persistence::ObjectContext* destination,
                                  const ZRNameMappings& mappings = {});
    // The two-pass copy of a legacy store: records first, then each attachment's bytes one by one.
    bool legacyCopyManagedObjectContext(Persistence::ObjectContext* source, Persistence::ObjectContext* destination);
    // Replaces the catalogue with an XML library of an older version (after a backup).
    ImportResult performImportFromLegacyXML(const QString& path);

    // ---- Versions, backups, restore, upgrade (ZRDataMigratorUpgrade.cpp) ----

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

    // ---- Progress (ZRDataMigratorProgress.cpp); callable from any thread ----

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
    void setFreeSpaceProvider(std::function<quint64(const QString&)> provider) { m_freeSpace = std::move(provider); }
    // Called before each object of a copy; answering false makes the copy fail there.
    void setCopyObjectHook(std::function<bool(const Persistence::ManagedObject*)> hook)
    {
        m_copyHook = std::move(hook);
    }

signals:
    // The library was restored or replaced: views refetch everything.
    void libraryReloaded();

private:
    enum class Delimiter { Comma, Tab, Custom };
    void setDelimiterChoice(Delimiter choice, bool on);

    // Runs `work` on the main thread, waiting for it when `wait` (directly when already there).
    void onMainThread(const std::function<void()>& work, bool wait = true) const;
    int runAlert(const Alert& alert) const;
    void alert(const QString& titleKey, const QString& messageText, bool critical = false) const;
    void bumpCounter(MigrationProgress::Counter which);

    bool copyEntityObjects(Persistence::ObjectContext* source, Persistence::ObjectContext* destination,
                           const QString& entityName, const ZRNameMappings& mappings,
                           ZRManagedObject::ReferenceMap& reference);
    bool saveCopyDestination(Persistence::ObjectContext* destination);
    bool copyLegacyRecords(Persistence::ObjectContext* source, Persistence::ObjectContext* destination,
                           QList<QPair<Persistence::ObjectID, QString>>* pending);
    void copyLegacyAttachmentBytes(Persistence::ObjectContext* source,
                                   const QList<QPair<Persistence::ObjectID, QString>>& pending);
    bool copyImportFiles(const QString& folder, bool replace, ZRNameMappings* mappings);
    ImportResult restoreAfterFailedImport(const QString& backupPath);
    void requestTermination();

    KeymoorAppDelegate* m_delegate;
    MigrationProgress* m_progress = nullptr;
    Delimiter m_delimiterChoice = Delimiter::Comma;
    QString m_customDelimiter = QStringLiteral(";");
    bool m_includeHeaders = false;
    ExportFieldList m_fields;
    bool m_fieldsLoaded = false;
    QAtomicInt m_counters[4];
    int m_barMaximum = 0;
    QAtomicInt m_barValue;
    std::function<quint64(const QString&)> m_freeSpace;
    std::function<bool(const Persistence::ManagedObject*)> m_copyHook;
};
