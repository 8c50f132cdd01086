#pragma once

#include "maintenance/LibraryCheckLocation.h"
#include "maintenance/LibraryCheckReport.h"

#include <QSet>
#include <QString>

#include <optional>

class LibraryCheckSnapshot;

namespace Persistence {
class SqliteDatabase;
}

// Looks a library over without changing it: SQLite's integrity check of the store, every stored
// attachment and icon file the records name is there, every file in the Attachments and Icons
// folders is named by a record, and the records that should name each other do. The store is read
// through a read-only connection of its own; no lock is taken and nothing is created.
class LibraryCheck
{
public:
    explicit LibraryCheck(LibraryCheckLocation location);

    LibraryCheckReport run() const;

    // The names in a folder (hidden ones included); empty when it does not exist.
    static QSet<QString> folderEntries(const QString& folder);
    // Reads the records of an open store; nothing, with `error` filled, when that fails.
    static std::optional<LibraryCheckSnapshot> readSnapshot(Persistence::SqliteDatabase& db, QString* error);

private:
    bool checkIntegrity(Persistence::SqliteDatabase& db, LibraryCheckReport& report) const;
    bool checkVersion(LibraryCheckReport& report) const;
    void addStoreFinding(LibraryCheckReport& report, const QString& message) const;

    LibraryCheckLocation m_location;
};
