#include "KeymoorAppDelegate.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "desktop/ApplicationLocator.h"
#include "import/DelimitedLineImport.h"
#include "import/DelimitedTextFile.h"
#include "import/ProductRowImporter.h"
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

std::optional<ImportCounts> KeymoorAppDelegate::importProductsArray(const DelimitedRows& rows,
                                                                    const QStringList& mapping, bool updateExisting)
{
    ObjectContext* main = managedObjectContext();
    if (!main) {
        return std::nullopt;
    }
    const ProgressScope progress(m_ui, QStringLiteral("ImportTextProgressMessage"));
    const qsizetype titleColumn = mapping.indexOf(TitleKey);
    if (titleColumn < 0) {
        Log::write(QStringLiteral("Error import from file.  Not title mapping specified."));
        if (m_ui) {
            m_ui->presentError(PresentableError {
                QStringLiteral("Nothing was imported."), QStringLiteral("No column is imported as the title."), {}});
        }
        return std::nullopt;
    }

    std::unique_ptr<ObjectContext> context
        = ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(main->coordinator());
    ApplicationLocator locator = applicationLocator();
    ProductRowImporter importer(context.get(), locator, updateExisting);
    if (updateExisting && !importer.useTitleTable()) {
        return std::nullopt;
    }
    for (const DelimitedRow& row : rows) {
        importer.importRow(row, mapping, titleColumn);
    }

    connect(context.get(), &ObjectContext::didSave, main, &ObjectContext::mergeChangesFromSaveNotice);
    StoreError error;
    if (!context->save(&error)) {
        Log::write(QStringLiteral("Error saving products array import: %1").arg(error.toString()));
        if (m_ui) {
            m_ui->presentError(PresentableError {QStringLiteral("The imported products could not be saved."),
                                                 QStringLiteral("Nothing was imported."), error.toString()});
        }
        return std::nullopt;
    }
    emit m_session->productsChanged();
    addImportCounts(importer.counts());
    return importer.counts();
}

ImportCounts KeymoorAppDelegate::importProductStrings(const QStringList& lines, const QString& fieldDelimiter,
                                                      const QString& quote, const QStringList& mapping,
                                                      bool updateExisting, ObjectContext* context)
{
    ImportCounts counts;
    {
        const ProgressScope progress(m_ui, QStringLiteral("ImportTextProgressMessage"));
        ApplicationLocator locator = applicationLocator();
        for (const QString& line : lines) {
            importProductWithString(line, fieldDelimiter, quote, mapping, updateExisting, context, locator, &counts);
        }
        saveAction();
    }
    emit m_session->productsChanged();
    addImportCounts(counts);
    return counts;
}

std::optional<ImportCounts> KeymoorAppDelegate::importTextFile(const QString& path, const DelimitedTextOptions& options,
                                                               const QStringList& mapping, bool updateExisting)
{
    QString problem;
    const std::optional<QString> text = readDelimitedTextFile(path, &problem);
    if (!text) {
        Log::write(QStringLiteral("Error reaing file:%1 error:%2").arg(path, problem));
        if (m_ui) {
            m_ui->presentError(PresentableError {QStringLiteral("The file \"%1\" could not be read.").arg(path),
                                                 QStringLiteral("Nothing was imported."), problem});
        }
        return std::nullopt;
    }
    DelimitedRows rows
        = scannedRowsWithRecordDelimter(*text, options.recordDelimiter, options.fieldDelimiter, options.quote);
    if (options.hasHeaderRow && !rows.isEmpty()) {
        rows.removeFirst();
    }
    return importProductsArray(rows, mapping, updateExisting);
}
