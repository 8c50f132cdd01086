#include "KMImportFileOperation.h"

KMImportFileOperation::KMImportFileOperation(const QString& filePath, const QString& libraryPath,
                                             std::shared_ptr<Persistence::StoreCoordinator> coordinator,
                                             ApplicationLocator locator)
    : KMImportOperation(libraryPath, std::move(coordinator))
    , m_filePath(filePath)
    , m_locator(std::move(locator))
{ }
