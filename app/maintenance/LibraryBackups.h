#pragma once

#include "maintenance/LibraryImportResult.h"
#include "maintenance/MainContextProvider.h"

#include <QString>

#include <functional>

class MigrationReporter;
class ObjectGraphCopier;

// The backups of the library (copies of files and folders in "<support>/Backup", never replacing
// one another) and the restore of the running library from a library-folder backup.
class LibraryBackups
{
public:
    // `libraryReloaded` and `requestTermination` (either may be empty) are called on the main
    // thread: after a restore views refetch everything; after a failed restore the application
    // must quit.
    LibraryBackups(MigrationReporter& reporter, ObjectGraphCopier& copier, MainContextProvider mainContext,
                   std::function<void()> libraryReloaded, std::function<void()> requestTermination);
    LibraryBackups(const LibraryBackups&) = delete;
    LibraryBackups& operator=(const LibraryBackups&) = delete;

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
    // Tells the person an import failed and restores the backup taken before it.
    LibraryImportResult restoreAfterFailedImport(const QString& backupPath);

private:
    MigrationReporter& m_reporter;
    ObjectGraphCopier& m_copier;
    MainContextProvider m_mainContext;
    std::function<void()> m_libraryReloaded;
    std::function<void()> m_requestTermination;
};
