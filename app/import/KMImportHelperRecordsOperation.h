#pragma once

#include "KMImportOperation.h"
#include "desktop/ApplicationLocator.h"

// Imports the product records another catalogue program hands over through a helper program: the
// helper's "getSerialNumberItems" handler answers one record per item, as tab-separated fields in
// the order of orderedKeys(). Each record is imported and saved at once; with `overwrite` a record
// updates the first product whose title matches. Records of the wrong shape are skipped with a
// warning in the log.
class KMImportHelperRecordsOperation : public KMImportOperation
{
public:
    KMImportHelperRecordsOperation(const QString& helperPath, bool overwrite, const QString& libraryPath,
                                   std::shared_ptr<Persistence::StoreCoordinator> coordinator,
                                   ApplicationLocator locator);

    static const QStringList& orderedKeys();

protected:
    void main() override;

private:
    QString m_helperPath;
    bool m_overwrite;
    ApplicationLocator m_locator;
};
