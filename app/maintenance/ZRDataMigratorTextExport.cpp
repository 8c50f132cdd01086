#include "ZRDataMigrator.h"
#include "ZRPathTools.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "core/KeymoorAppDelegate.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserPreferences.h"

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

} // namespace

ExportFieldList ZRDataMigrator::exportableProductKeyPaths() const
{
    const QVariantMap active = m_delegate ? m_delegate->userPrefs().activeExportValues() : QVariantMap();
    ExportFieldList fields;
    for (const auto& [keyPath, labelKey] : exportableKeyPathLabelKeys()) {
        fields.append(ExportField {localizedString(labelKey), keyPath, active.value(keyPath, false).toBool()});
    }
    return fields;
}

ExportFieldList ZRDataMigrator::exportFields()
{
    if (!m_fieldsLoaded) {
        m_fields = exportableProductKeyPaths();
        m_fieldsLoaded = true;
    }
    return m_fields;
}

void ZRDataMigrator::saveActiveExportFields()
{
    if (!m_delegate) {
        return;
    }
    QVariantMap active = m_delegate->userPrefs().activeExportValues();
    for (const ExportField& field : exportFields()) {
        active.insert(field.keyPath, field.active);
    }
    m_delegate->userPrefs().setActiveExportValues(active);
}

QString ZRDataMigrator::headerLine(const ExportFieldList& fields, const QString& delimiter)
{
    QString line;
    bool first = true;
    for (const ExportField& field : fields) {
        if (!field.active) {
            continue;
        }
        if (!first) {
            line += delimiter;
        }
        first = false;
        line += u'"' + field.label + u'"';
    }
    return line;
}

QString ZRDataMigrator::performBackgroundTextExportToPath(const QString& path)
{
    showProgressPanel(localizedString(QStringLiteral("ExportingProgressMessage")));
    const QString target = reserveUniquePath(path);
    ObjectContext* mainContext = m_delegate ? m_delegate->managedObjectContext() : nullptr;
    std::unique_ptr<ObjectContext> context = mainContext
        ? ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(mainContext->coordinator())
        : nullptr;
    std::optional<ObjectList> products;
    if (context) {
        FetchRequest request = context->model()
                                   .fetchRequestTemplate(QStringLiteral("SummaryReport"))
                                   .value_or(FetchRequest(QStringLiteral("Product")));
        request.sortDescriptors
            = {SortDescriptor(QStringLiteral("title"), true, SortDescriptor::Comparison::LocalizedCaseInsensitive)};
        products = context->execute(request);
    }
    if (!products) {
        Log::write(QStringLiteral("Error fetching data for export!"));
        endProgressSheet();
        return {};
    }
    QSaveFile file(target);
    if (target.isEmpty() || !file.open(QIODevice::WriteOnly)) {
        Log::write(QStringLiteral("Error opening export file: %1").arg(target.isEmpty() ? path : target));
        endProgressSheet();
        return {};
    }
    resetProgressIndicatorWithMax(int(products->size()));
    const ExportFieldList fields = exportFields();
    const QString separator = delimiter();
    if (m_includeHeaders) {
        file.write((headerLine(fields, separator) + u'\n').toUtf8());
    }
    for (ManagedObject* object : *products) {
        if (auto* product = dynamic_cast<ZRManagedObject*>(object)) {
            file.write((product->delimitedValuesByOrderedKeyPaths(fields, separator) + u'\n').toUtf8());
        }
        incrementProgressProductCount();
        incrementProgressIndicator();
    }
    if (!file.commit()) {
        Log::write(QStringLiteral("Error writing export file: %1 %2").arg(target, file.errorString()));
        endProgressSheet();
        return {};
    }
    onMainThread([this] { saveActiveExportFields(); });
    endProgressSheet();
    return target;
}
