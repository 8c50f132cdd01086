#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class LibraryBackups;
class MigrationReporter;
class ObjectGraphCopier;

// The start-up upgrade: a store of an older model version (or a legacy store beside the library
// folder) is backed up and copied into a store of the current model that takes its place; a store
// of a newer version, or too little free space for the copy, is refused without changing a byte.
class StoreUpgrader
{
public:
    StoreUpgrader(MigrationReporter& reporter, ObjectGraphCopier& copier, LibraryBackups& backups);
    StoreUpgrader(const StoreUpgrader&) = delete;
    StoreUpgrader& operator=(const StoreUpgrader&) = delete;

    // The start-up decision: true when the library store can then be opened.
    bool upgradePersistentStoreForURL(const QString& storePath);
    // Copies an older store into a new store of the current model and puts it in the old one's place.
    bool performUpgradeStoreURL(const QString& storePath);

    // Seam for tests: the free space of the volume that holds a path (default: the file system's answer).
    void setFreeSpaceProvider(std::function<quint64(const QString&)> provider) { m_freeSpace = std::move(provider); }

private:
    // Backs up the store (and, for a legacy store, the library it is merged into). Empty on failure.
    QString backupBeforeUpgrade(const QString& storePath, int stored);

    MigrationReporter& m_reporter;
    ObjectGraphCopier& m_copier;
    LibraryBackups& m_backups;
    std::function<quint64(const QString&)> m_freeSpace;
};
