#pragma once

#include "maintenance/LibraryCheckLocation.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class LibraryCheckReport;
class LibraryCheckSnapshot;
class LibraryCheckTables;
class UserInterface;

namespace Persistence {
class SqliteDatabase;
}

// What a repair did.
struct LibraryRepairResult
{
    bool succeeded = true;
    QString error; // why it stopped; the store is then as it was
    int mendedReferences = 0;
    int removedRecords = 0;
    int keptRecords = 0; // records that should go, kept because the person said no
    int movedFiles = 0;
    QString orphanFolder; // where the moved files are; empty when nothing was moved
    QStringList unmovedFiles; // orphans that could not be moved (left where they were)
};

// Repairs what a LibraryCheck found, under the library's writer lock: mends the references between
// records and, after asking, removes the records whose stored file is missing or that belong to
// nothing (one transaction: all of it or nothing), then moves the files no record names into a dated
// folder beside the library folder. No file is ever deleted. A damaged or unreadable store is left
// alone.
class LibraryRepair
{
public:
    // `now` names the folder the orphaned files go to.
    LibraryRepair(LibraryCheckLocation location, UserInterface* ui, QDateTime now);

    LibraryRepairResult run(const LibraryCheckReport& report) const;

private:
    bool repairStore(Persistence::SqliteDatabase& db, LibraryRepairResult& result) const;
    bool askToRemove(int count) const;
    void moveOrphans(const LibraryCheckSnapshot& snapshot, LibraryRepairResult& result) const;
    bool moveInto(const QString& file, const QString& subfolder, LibraryRepairResult& result) const;
    QString orphanFolderPath() const;

    LibraryCheckLocation m_location;
    UserInterface* m_ui;
    QDateTime m_now;
};
