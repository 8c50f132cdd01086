#include "TextImportJob.h"

#include "DelimitedTextFile.h"
#include "DelimitedTextOptions.h"
#include "ProductRowImporter.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "library/LibrarySession.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/ObjectContext.h"

using namespace Persistence;

TextImportJob::TextImportJob(LibrarySession& session, ObjectContext* mainContext, ApplicationLocator locator,
                             QStringList mapping, bool updateExisting)
    : m_session(session)
    , m_mainContext(mainContext)
    , m_coordinator(mainContext->coordinator())
    , m_locator(std::move(locator))
    , m_mapping(std::move(mapping))
    , m_updateExisting(updateExisting)
{ }

TextImportJob::Result TextImportJob::failure(const QString& description, const QString& recoverySuggestion,
                                             const QString& details) const
{
    Result result;
    result.error = PresentableError {description, recoverySuggestion, details};
    return result;
}

TextImportJob::Result TextImportJob::importFile(const QString& path, const DelimitedTextOptions& options)
{
    QString problem;
    const std::optional<QString> text = readDelimitedTextFile(path, &problem);
    if (!text) {
        Log::write(QStringLiteral("Error reaing file:%1 error:%2").arg(path, problem));
        return failure(localizedFormat(QStringLiteral("ImportFileNotReadableFormat"), {path}),
                       localizedString(QStringLiteral("ImportNothingImported")), problem);
    }
    DelimitedRows rows
        = scannedRowsWithRecordDelimter(*text, options.recordDelimiter, options.fieldDelimiter, options.quote);
    if (options.hasHeaderRow && !rows.isEmpty()) {
        rows.removeFirst();
    }
    return importRows(rows);
}

TextImportJob::Result TextImportJob::importRows(const DelimitedRows& rows)
{
    const qsizetype titleColumn = m_mapping.indexOf(QStringLiteral("title"));
    std::unique_ptr<ObjectContext> context
        = ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(m_coordinator);
    ProductRowImporter importer(context.get(), m_locator, m_updateExisting);
    if (m_updateExisting && !importer.useTitleTable()) {
        return failure(localizedString(QStringLiteral("ImportCatalogueNotReadable")),
                       localizedString(QStringLiteral("ImportNothingImported")), {});
    }
    for (const DelimitedRow& row : rows) {
        if (m_cancelled) {
            break;
        }
        importer.importRow(row, m_mapping, titleColumn);
    }
    if (m_cancelled) {
        Log::write(QStringLiteral("Text import cancelled; nothing of it was saved."));
        Result result;
        result.status = Status::Cancelled;
        return result;
    }
    // Run on the main context's thread, the merge happens at once; from a job, it is queued there.
    QObject::connect(context.get(), &ObjectContext::didSave, m_mainContext, &ObjectContext::mergeChangesFromSaveNotice);
    StoreError error;
    if (!m_session.saveContext(context.get(), &error)) {
        Log::write(QStringLiteral("Error saving products array import: %1").arg(error.toString()));
        return failure(localizedString(QStringLiteral("ImportSaveFailed")),
                       localizedString(QStringLiteral("ImportNothingImported")), error.toString());
    }
    Result result;
    result.status = Status::Imported;
    result.counts = importer.counts();
    return result;
}
