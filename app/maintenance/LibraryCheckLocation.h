#pragma once

#include <QString>

// Where the parts of one library folder are, for the library check. Computing the paths creates
// nothing, so looking at a library that does not exist leaves no trace.
struct LibraryCheckLocation
{
    QString libraryFolder;
    QString storePath;
    QString attachmentsFolder;
    QString iconsFolder;

    // The person's library in the application support folder.
    static LibraryCheckLocation standard();
    static LibraryCheckLocation forLibraryFolder(const QString& libraryFolder);

    bool hasStore() const;
};
