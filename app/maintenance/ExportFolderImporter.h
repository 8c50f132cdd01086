#pragma once

#include "maintenance/LibraryImportResult.h"
#include "maintenance/MainContextProvider.h"
#include "maintenance/ZRNameMappings.h"

#include <QString>

#include <functional>

class LibraryBackups;
class MigrationReporter;
class ObjectGraphCopier;

// Imports into the running library: an export folder (or its "Keymoor.xml"), merged or replacing
// the catalogue, or an XML library of an older version, which always replaces it. The library is
// backed up first and restored when the import fails half-way.
class ExportFolderImporter
{
public:
    // `libraryReloaded` (may be empty) is called on the main thread after every import attempt.
    ExportFolderImporter(MigrationReporter& reporter, ObjectGraphCopier& copier, LibraryBackups& backups,
                         MainContextProvider mainContext, std::function<void()> libraryReloaded);
    ExportFolderImporter(const ExportFolderImporter&) = delete;
    ExportFolderImporter& operator=(const ExportFolderImporter&) = delete;

    // Saves the catalogue, then imports. `deleteExistingData` replaces the catalogue, else the
    // import is merged.
    LibraryImportResult importFromXML(const QString& path, bool deleteExistingData);
    LibraryImportResult performImportFromPath(const QString& path, bool deleteExistingData);
    LibraryImportResult performImportFromExportFolder(const QString& folder, bool deleteExistingData);
    // Replaces the catalogue with an XML library of an older version (after a backup).
    LibraryImportResult performImportFromLegacyXML(const QString& path);
    // Copies the XML store at `xmlPath`, read with the model of `modelVersion`, into `destination`.
    bool importXML(const QString& xmlPath, Persistence::ObjectContext* destination, int modelVersion,
                   const ZRNameMappings& mappings = {});
    // Deletes every product (and, through the delete rules, what belongs to it); saved when asked.
    bool deleteAllProductsFromManagedObjectContext(Persistence::ObjectContext* context, bool save = true);

private:
    MigrationReporter& m_reporter;
    ObjectGraphCopier& m_copier;
    LibraryBackups& m_backups;
    MainContextProvider m_mainContext;
    std::function<void()> m_libraryReloaded;
};
