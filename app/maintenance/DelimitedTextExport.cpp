#include "maintenance/DelimitedTextExport.h"

#include "ZRPathTools.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "maintenance/ExportOptions.h"
#include "maintenance/MigrationReporter.h"
#include "model/ZRCoreDataFactory.h"
#include "model/ZRManagedObject.h"
#include "persistence/ObjectContext.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using namespace Persistence;

namespace {

// Takes the first free name of the path by creating it empty, so no file of that name is ever
// replaced, not even one that appears while the export runs.
QString reserveUniquePath(const QString& path)
{
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QString unique = ZR_safeFilePath(path);
        const int fd = ::open(QFile::encodeName(unique).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            return unique;
        }
        if (errno != EEXIST) {
            return {};
        }
    }
    return {};
}

std::optional<ObjectList> fetchSortedProducts(ObjectContext* context)
{
    FetchRequest request = context->model()
                               .fetchRequestTemplate(QStringLiteral("SummaryReport"))
                               .value_or(FetchRequest(QStringLiteral("Product")));
    request.sortDescriptors
        = {SortDescriptor(QStringLiteral("title"), true, SortDescriptor::Comparison::LocalizedCaseInsensitive)};
    // What the exported fields may read beyond the product's row, loaded for all products at once.
    request.relationshipKeyPathsForPrefetching
        = {QStringLiteral("comments"), QStringLiteral("appIcon"), QStringLiteral("attachedFiles")};
    return context->execute(request);
}

} // namespace

DelimitedTextExport::DelimitedTextExport(ExportOptions& options, MigrationReporter& reporter,
                                         MainContextProvider mainContext)
    : m_options(options)
    , m_reporter(reporter)
    , m_mainContext(std::move(mainContext))
{ }

QString DelimitedTextExport::exportToPath(const QString& path)
{
    m_reporter.showProgressPanel(localizedString(QStringLiteral("ExportingProgressMessage")));
    const QString target = reserveUniquePath(path);
    ObjectContext* mainContext = m_mainContext ? m_mainContext() : nullptr;
    std::unique_ptr<ObjectContext> context = mainContext
        ? ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(mainContext->coordinator())
        : nullptr;
    const std::optional<ObjectList> products = context ? fetchSortedProducts(context.get()) : std::nullopt;
    if (!products) {
        Log::write(QStringLiteral("Error fetching data for export!"));
        m_reporter.endProgressSheet();
        return {};
    }
    QSaveFile file(target);
    if (target.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        Log::write(QStringLiteral("Error opening export file: %1").arg(target.isEmpty() ? path : target));
        m_reporter.endProgressSheet();
        return {};
    }
    m_reporter.resetProgressIndicatorWithMax(int(products->size()));
    const ExportFieldList fields = m_options.exportFields();
    const QString separator = m_options.delimiter();
    if (m_options.includeHeadersInTextExport()) {
        file.write((ExportOptions::headerLine(fields, separator) + u'\n').toUtf8());
    }
    for (ManagedObject* object : *products) {
        if (auto* product = dynamic_cast<ZRManagedObject*>(object)) {
            file.write((product->delimitedValuesByOrderedKeyPaths(fields, separator) + u'\n').toUtf8());
        }
        m_reporter.incrementProgressProductCount();
        m_reporter.incrementProgressIndicator();
    }
    if (!file.commit()) {
        Log::write(QStringLiteral("Error writing export file: %1 %2").arg(target, file.errorString()));
        m_reporter.endProgressSheet();
        return {};
    }
    m_reporter.onMainThread([this] { m_options.saveActiveExportFields(); });
    m_reporter.endProgressSheet();
    return target;
}
