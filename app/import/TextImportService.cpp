#include "TextImportService.h"

#include "DelimitedLineImport.h"
#include "DelimitedTextOptions.h"
#include "FileImportService.h"
#include "ImportTally.h"
#include "TextImportJob.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "desktop/ApplicationLocator.h"
#include "library/BackgroundJobTracker.h"
#include "library/LibrarySession.h"
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

bool TextImportService::hasTitleColumn(const QStringList& mapping) const
{
    if (mapping.contains(TitleKey)) {
        return true;
    }
    Log::write(QStringLiteral("Error import from file.  Not title mapping specified."));
    presentError(localizedString(QStringLiteral("ImportNothingImported")),
                 localizedString(QStringLiteral("ImportNoTitleColumn")), {});
    return false;
}

// What the window and the tally learn of an import that ended: the counts of one that was saved,
// the error of one that failed (shown to the person), nothing of one that was cancelled.
std::optional<ImportCounts> TextImportService::takeResult(const TextImportJobResult& result)
{
    switch (result.status) {
    case TextImportJobResult::Status::Imported:
        emit m_session.productsChanged();
        m_tally.add(result.counts);
        return result.counts;
    case TextImportJobResult::Status::Failed:
        presentError(result.error.description, result.error.recoverySuggestion, result.error.details);
        return std::nullopt;
    case TextImportJobResult::Status::Cancelled:
        break;
    }
    return std::nullopt;
}

std::optional<ImportCounts> TextImportService::importProductsArray(const DelimitedRows& rows,
                                                                   const QStringList& mapping, bool updateExisting)
{
    ObjectContext* main = m_session.managedObjectContext();
    if (!main) {
        return std::nullopt;
    }
    const ProgressScope progress(m_session.userInterface(), QStringLiteral("ImportTextProgressMessage"));
    if (!hasTitleColumn(mapping)) {
        return std::nullopt;
    }
    TextImportJob job(m_session, main, m_locators(), mapping, updateExisting);
    return takeResult(job.importRows(rows));
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
    ObjectContext* main = m_session.managedObjectContext();
    if (!main || !hasTitleColumn(mapping)) {
        return std::nullopt;
    }
    const ProgressScope progress(m_session.userInterface(), QStringLiteral("ImportTextProgressMessage"));
    TextImportJob job(m_session, main, m_locators(), mapping, updateExisting);
    return takeResult(job.importFile(path, options));
}

bool TextImportService::startTextFileImport(const QString& path, const DelimitedTextOptions& options,
                                            const QStringList& mapping, bool updateExisting)
{
    ObjectContext* main = m_session.managedObjectContext();
    if (!main || !hasTitleColumn(mapping)) {
        return false;
    }
    if (UserInterface* ui = m_session.userInterface()) {
        ui->startProgress(localizedString(QStringLiteral("ImportTextProgressMessage")));
    }
    auto job = std::make_shared<TextImportJob>(m_session, main, m_locators(), mapping, updateExisting);
    auto result = std::make_shared<TextImportJobResult>();
    m_running.append(job);
    m_session.jobs().start(
        ImportJob,
        [job, result, path, options]() -> std::optional<QString> {
            *result = job->importFile(path, options);
            if (result->status == TextImportJobResult::Status::Failed) {
                return result->error.description;
            }
            return std::nullopt;
        },
        [this, job, result] { textImportDidFinish(job, *result); });
    return true;
}

void TextImportService::textImportDidFinish(const std::shared_ptr<TextImportJob>& job,
                                            const TextImportJobResult& result)
{
    m_running.removeOne(job);
    UserInterface* ui = m_session.userInterface();
    // Imports of files of other programs share the sheet: it stays until the last import is done.
    if (ui && m_session.jobs().runningCount({ImportJob, FileImportService::ImportJob}) == 0) {
        ui->stopProgress();
    }
    takeResult(result);
}

void TextImportService::cancelTextImports()
{
    for (const std::shared_ptr<TextImportJob>& job : std::as_const(m_running)) {
        job->cancel();
    }
}

int TextImportService::runningTextImports() const
{
    return m_session.jobs().runningCount(ImportJob);
}

void TextImportService::waitForTextImports()
{
    m_session.jobs().waitFor(ImportJob);
}
