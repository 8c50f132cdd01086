#pragma once

#include <QString>

class MigrationReporter;
class ObjectGraphCopier;

namespace Persistence {
class ObjectContext;
} // namespace Persistence

// Writes the export folder: "Keymoor Export" (made unique) holding copies of the library's
// attachments and icons and the catalogue as "Keymoor.xml" in the current model.
class ExportFolderWriter
{
public:
    ExportFolderWriter(MigrationReporter& reporter, ObjectGraphCopier& copier);
    ExportFolderWriter(const ExportFolderWriter&) = delete;
    ExportFolderWriter& operator=(const ExportFolderWriter&) = delete;

    // Exports from a second coordinator over the library's store, so the export reads what is
    // saved. Answers the export folder's path, or empty after the log lines.
    QString performBackgroundExportToPath(const QString& folder);
    bool exportManagedObjectContext(Persistence::ObjectContext* source, const QString& folder,
                                    QString* exportFolder = nullptr);

private:
    MigrationReporter& m_reporter;
    ObjectGraphCopier& m_copier;
};
