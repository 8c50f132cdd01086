#include "TextImportService.h"

#include "DelimitedLineImport.h"
#include "DelimitedTextFile.h"
#include "DelimitedTextOptions.h"
#include "ImportTally.h"
#include "ProductRowImporter.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "desktop/ApplicationLocator.h"
#include "library/LibrarySession.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/ObjectContext.h"

using namespace Persistence;

namespace {

// Shows the progress sheet for as long as it lives.
class ProgressScope
{
public:
    ProgressScope(UserInterface* ui, const QString& messageKey)
        : m_ui(ui)
    {
        if (m_ui) {
            m_ui->startProgress(localizedString(messageKey));
        }
    }
    ~ProgressScope()
    {
        if (m_ui) {
            m_ui->stopProgress();
        }
    }
    Q_DISABLE_COPY_MOVE(ProgressScope)

private:
    UserInterface* m_ui;
};

const QString TitleKey = QStringLiteral("title");

} // namespace

TextImportService::TextImportService(LibrarySession& session, ImportTally& tally, ApplicationLocatorSource locators)
    : m_session(session)
    , m_tally(tally)
    , m_locators(std::move(locators))
{ }

void TextImportService::presentError(const QString& description, const QString& recoverySuggestion,
                                     const QString& details) const
{
    if (UserInterface* ui = m_session.userInterface()) {
        ui->presentError(PresentableError {description, recoverySuggestion, details});
    }
}

std::optional<ImportCounts> TextImportService::importProductsArray(const DelimitedRows& rows,
                                                                   const QStringList& mapping, bool updateExisting)
{
    ObjectContext* main = m_session.managedObjectContext();
    if (!main) {
        return std::nullopt;
    }
    const ProgressScope progress(m_session.userInterface(), QStringLiteral("ImportTextProgressMessage"));
    const qsizetype titleColumn = mapping.indexOf(TitleKey);
    if (titleColumn < 0) {
        Log::write(QStringLiteral("Error import from file.  Not title mapping specified."));
        presentError(localizedString(QStringLiteral("ImportNothingImported")),
                     localizedString(QStringLiteral("ImportNoTitleColumn")), {});
        return std::nullopt;
    }

    std::unique_ptr<ObjectContext> context
        = ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(main->coordinator());
    ApplicationLocator locator = m_locators();
    ProductRowImporter importer(context.get(), locator, updateExisting);
    if (updateExisting && !importer.useTitleTable()) {
        return std::nullopt;
    }
    for (const DelimitedRow& row : rows) {
        importer.importRow(row, mapping, titleColumn);
    }

    QObject::connect(context.get(), &ObjectContext::didSave, main, &ObjectContext::mergeChangesFromSaveNotice);
    StoreError error;
    if (!context->save(&error)) {
        Log::write(QStringLiteral("Error saving products array import: %1").arg(error.toString()));
        presentError(localizedString(QStringLiteral("ImportSaveFailed")),
                     localizedString(QStringLiteral("ImportNothingImported")), error.toString());
        return std::nullopt;
    }
    emit m_session.productsChanged();
    m_tally.add(importer.counts());
    return importer.counts();
}

ImportCounts TextImportService::importProductStrings(const QStringList& lines, const QString& fieldDelimiter,
                                                     const QString& quote, const QStringList& mapping,
                                                     bool updateExisting, ObjectContext* context)
{
    ImportCounts counts;
    {
        const ProgressScope progress(m_session.userInterface(), QStringLiteral("ImportTextProgressMessage"));
        ApplicationLocator locator = m_locators();
        for (const QString& line : lines) {
            importProductWithString(line, fieldDelimiter, quote, mapping, updateExisting, context, locator, &counts);
        }
        m_session.saveAction();
    }
    emit m_session.productsChanged();
    m_tally.add(counts);
    return counts;
}

std::optional<ImportCounts> TextImportService::importTextFile(const QString& path, const DelimitedTextOptions& options,
                                                              const QStringList& mapping, bool updateExisting)
{
    QString problem;
    const std::optional<QString> text = readDelimitedTextFile(path, &problem);
    if (!text) {
        Log::write(QStringLiteral("Error reaing file:%1 error:%2").arg(path, problem));
        presentError(localizedFormat(QStringLiteral("ImportFileNotReadableFormat"), {path}),
                     localizedString(QStringLiteral("ImportNothingImported")), problem);
        return std::nullopt;
    }
    DelimitedRows rows
        = scannedRowsWithRecordDelimter(*text, options.recordDelimiter, options.fieldDelimiter, options.quote);
    if (options.hasHeaderRow && !rows.isEmpty()) {
        rows.removeFirst();
    }
    return importProductsArray(rows, mapping, updateExisting);
}
