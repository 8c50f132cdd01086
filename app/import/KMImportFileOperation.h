#pragma once

#include "KMImportOperation.h"
#include "desktop/ApplicationLocator.h"

// An import that reads one file. New products whose title names an installed application take
// that application's icon and bundle information, found through the locator.
class KMImportFileOperation : public KMImportOperation
{
public:
    KMImportFileOperation(const QString& filePath, const QString& libraryPath,
                          std::shared_ptr<Persistence::StoreCoordinator> coordinator, ApplicationLocator locator);

    QString fileURL() const { return m_filePath; }

protected:
    ApplicationLocator& locator() { return m_locator; }

private:
    QString m_filePath;
    ApplicationLocator m_locator;
};
