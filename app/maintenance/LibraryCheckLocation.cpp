#include "maintenance/LibraryCheckLocation.h"

#include "base/LibraryPaths.h"

#include <QDir>
#include <QFileInfo>

LibraryCheckLocation LibraryCheckLocation::standard()
{
    const QString support = LibraryPaths::applicationSupportFolder();
    return forLibraryFolder(support.isEmpty() ? QString() : QDir(support).filePath(QStringLiteral("Keymoor.kmlib")));
}

LibraryCheckLocation LibraryCheckLocation::forLibraryFolder(const QString& libraryFolder)
{
    if (libraryFolder.isEmpty()) {
        return {};
    }
    const QDir folder(libraryFolder);
    return {libraryFolder, folder.filePath(QStringLiteral("Keymoor.data")),
            folder.filePath(QStringLiteral("Attachments")), folder.filePath(QStringLiteral("Icons"))};
}

bool LibraryCheckLocation::hasStore() const
{
    return !storePath.isEmpty() && QFileInfo::exists(storePath);
}
