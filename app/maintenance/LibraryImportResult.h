#pragma once

// How an import into the running library ended.
enum class LibraryImportResult {
    Imported, // the catalogue holds the import
    Refused, // not imported, nothing changed (the person has been told why)
    Restored, // the import failed and the library is back as it was before
    RestoreFailed, // the import failed and so did the restore: the application must quit
};
