#include "ImportFeedback.h"

#include "base/Localization.h"
#include "core/KeymoorAppDelegate.h"
#include "import/ImportService.h"
#include "library/BackgroundJobTracker.h"

namespace {

bool isImportJob(const QString& name)
{
    return name == TextImportService::ImportJob || name == FileImportService::ImportJob;
}

} // namespace

ImportFeedback::ImportFeedback(KeymoorAppDelegate* delegate, QObject* parent)
    : QObject(parent)
    , m_delegate(delegate)
{
    BackgroundJobTracker& jobs = delegate->jobs();
    connect(&jobs, &BackgroundJobTracker::jobStarted, this, &ImportFeedback::jobStarted);
    connect(&jobs, &BackgroundJobTracker::jobFinished, this, &ImportFeedback::jobFinished);
    connect(&jobs, &BackgroundJobTracker::jobFailed, this, [this](const QString& name) {
        if (isImportJob(name)) {
            m_failed = true;
        }
    });
}

int ImportFeedback::runningImports() const
{
    return m_delegate ? m_delegate->jobs().runningCount({TextImportService::ImportJob, FileImportService::ImportJob})
                      : 0;
}

// The tally has no way to be read without being emptied: it is taken and given back.
ImportCounts ImportFeedback::tallySoFar() const
{
    ImportService& imports = m_delegate->imports();
    const ImportCounts counts = imports.takeImportCounts();
    imports.addImportCounts(counts);
    return counts;
}

void ImportFeedback::jobStarted(const QString& name)
{
    if (!m_delegate || !isImportJob(name) || runningImports() > 1) {
        return; // a batch already running takes this import in
    }
    m_before = tallySoFar();
    m_failed = false;
}

void ImportFeedback::jobFinished(const QString& name)
{
    if (!m_delegate || !isImportJob(name) || runningImports() > 0) {
        return;
    }
    const ImportCounts now = tallySoFar();
    ImportCounts batch;
    batch.added = now.added - m_before.added;
    batch.updated = now.updated - m_before.updated;
    batch.failed = now.failed - m_before.failed;
    emit statusMessage(message(batch, m_failed));
    m_failed = false;
}

QString ImportFeedback::message(const ImportCounts& counts, bool failed)
{
    if (counts.added == 0 && counts.updated == 0) {
        return localizedString(failed || counts.failed > 0 ? QStringLiteral("StatusImportFailed")
                                                           : QStringLiteral("StatusImportFoundNothing"));
    }
    if (counts.updated > 0) {
        return localizedFormat(QStringLiteral("StatusImportedAndUpdatedFormat"),
                               {QString::number(counts.added), QString::number(counts.updated)});
    }
    return counts.added == 1
        ? localizedString(QStringLiteral("StatusImportedOneProduct"))
        : localizedFormat(QStringLiteral("StatusImportedProductsFormat"), {QString::number(counts.added)});
}
