#include "ProductRowImporter.h"

#include "base/Log.h"
#include "desktop/ApplicationLocator.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"

ProductRowImporter::ProductRowImporter(Persistence::ObjectContext* context, ApplicationLocator& locator,
                                       bool updateExisting)
    : m_context(context)
    , m_locator(locator)
    , m_updateExisting(updateExisting)
    , m_index(context)
{ }

ProductRowImporter::Outcome ProductRowImporter::importRow(const DelimitedRow& fields, const QStringList& keyPaths,
                                                          qsizetype titleColumn, const QString& quote)
{
    // A short row (the single empty field of a blank line, say) has no title, like an empty one.
    const DelimitedField titleField = titleColumn >= 0 ? fields.value(titleColumn) : std::nullopt;
    if (!titleField) {
        return Outcome::Skipped;
    }
    QString title = *titleField;
    if (!quote.isEmpty()) {
        title.remove(quote);
    }
    if (title.isEmpty() || title.compare(QLatin1String("missing value"), Qt::CaseInsensitive) == 0) {
        return Outcome::Skipped;
    }

    ProductEntity* product = nullptr;
    if (m_updateExisting) {
        bool failed = false;
        product = m_index.firstMatch(title, &failed);
        if (failed) {
            return Outcome::Failed;
        }
    }
    const bool isNew = !product;
    if (isNew) {
        product = insertProduct(title);
        if (!product) {
            return Outcome::Failed;
        }
    }
    const QString oldTitle = isNew ? QString() : product->title();
    const qsizetype count = std::min(fields.size(), keyPaths.size());
    for (qsizetype i = 0; i < count; ++i) {
        product->importValue(fields.at(i), keyPaths.at(i), quote);
    }
    m_index.noteTitle(product, oldTitle);
    if (isNew) {
        ++m_counts.added;
        return Outcome::Added;
    }
    ++m_counts.updated;
    return Outcome::Updated;
}

ProductEntity* ProductRowImporter::insertProduct(const QString& title)
{
    auto* product = m_context->insert<ProductEntity>(QStringLiteral("Product"));
    if (!product) {
        Log::write(QStringLiteral("error creating new product!"));
        return nullptr;
    }
    const QString appPath = m_locator.pathForApplication(title);
    if (!appPath.isEmpty()) {
        product->setExternalIconFromAppPath(appPath);
        product->setBundleInfoFromAppPath(appPath);
    }
    return product;
}
