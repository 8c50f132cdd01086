#include "KMImportHelperRecordsOperation.h"

#include "DelimitedLineImport.h"
#include "MailScriptHelper.h"
#include "base/Log.h"

KMImportHelperRecordsOperation::KMImportHelperRecordsOperation(
    const QString& helperPath, bool overwrite, const QString& libraryPath,
    std::shared_ptr<Persistence::StoreCoordinator> coordinator, ApplicationLocator locator)
    : KMImportOperation(libraryPath, std::move(coordinator))
    , m_helperPath(helperPath)
    , m_overwrite(overwrite)
    , m_locator(std::move(locator))
{ }

const QStringList& KMImportHelperRecordsOperation::orderedKeys()
{
    static const QStringList keys {
        QStringLiteral("title"),
        QStringLiteral("serialNumber"),
        QStringLiteral("registeredName"),
        QStringLiteral("registeredEmail"),
        QStringLiteral("registeredCompany"),
        QStringLiteral("commentsString"),
        QStringLiteral("purchaseDateString"),
    };
    return keys;
}

void KMImportHelperRecordsOperation::main()
{
    const std::optional<QStringList> records
        = MailScriptHelper::sharedHelper().callInResource(m_helperPath, QStringLiteral("getSerialNumberItems"));
    if (!records) {
        return;
    }
    ImportCounts counts;
    for (const QString& record : *records) {
        if (!importProductWithString(record, QStringLiteral("\t"), QString(), orderedKeys(), m_overwrite,
                                     managedObjectContext(), m_locator, &counts)) {
            Log::write(QStringLiteral("WARNING: import detected invalid record, skipping."));
        }
    }
    addCounts(counts);
}
