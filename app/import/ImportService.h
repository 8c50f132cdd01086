#pragma once

#include "ApplicationLocatorSource.h"
#include "BundleImportService.h"
#include "FileImportService.h"
#include "ImportCounts.h"
#include "ImportTally.h"
#include "TextImportService.h"

class LibrarySession;

// Every import of products into the catalogue, with the one tally of what they added and updated:
// delimited text, other programs' files and records, and installed software handed to the
// application. The import sheet and the command line reach the imports through it.
class ImportService
{
public:
    ImportService(LibrarySession& session, ApplicationLocatorSource locators);
    ImportService(const ImportService&) = delete;
    ImportService& operator=(const ImportService&) = delete;

    TextImportService& text() { return m_text; }
    FileImportService& files() { return m_files; }
    BundleImportService& bundles() { return m_bundles; }

    // What the imports finished since the last call added and updated; resets the counts.
    ImportCounts takeImportCounts() { return m_tally.take(); }
    // Adds the products an import made or changed to the counts (any thread).
    void addImportCounts(const ImportCounts& counts) { m_tally.add(counts); }

private:
    ImportTally m_tally;
    TextImportService m_text;
    FileImportService m_files;
    BundleImportService m_bundles;
};
