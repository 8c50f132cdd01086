#pragma once

#include "maintenance/LibraryCheckFinding.h"
#include "maintenance/LibraryCheckLocation.h"

#include <QList>

// What one run of the library check found.
class LibraryCheckReport
{
public:
    LibraryCheckReport() = default;
    explicit LibraryCheckReport(LibraryCheckLocation location);

    const LibraryCheckLocation& location() const { return m_location; }

    // False when there is no library yet (nothing was checked, and nothing is wrong).
    bool libraryExists() const { return m_libraryExists; }
    void setLibraryExists(bool exists) { m_libraryExists = exists; }

    // False when the store is damaged, unreadable or of another version: then only the store was
    // looked at, and nothing may be repaired.
    bool storeUsable() const { return m_storeUsable; }
    void setStoreUsable(bool usable) { m_storeUsable = usable; }

    const QList<LibraryCheckFinding>& findings() const { return m_findings; }
    void add(LibraryCheckFinding finding) { m_findings.append(std::move(finding)); }
    bool isClean() const { return m_findings.isEmpty(); }
    int count(LibraryCheckFinding::Kind kind) const;

private:
    LibraryCheckLocation m_location;
    bool m_libraryExists = false;
    bool m_storeUsable = false;
    QList<LibraryCheckFinding> m_findings;
};
