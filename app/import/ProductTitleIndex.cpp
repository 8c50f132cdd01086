#include "ProductTitleIndex.h"

#include "base/Log.h"
#include "model/ProductEntity.h"
#include "persistence/FetchRequest.h"
#include "persistence/ObjectContext.h"

using namespace Persistence;

ProductTitleIndex::ProductTitleIndex(ObjectContext* context)
    : m_context(context)
{ }

bool ProductTitleIndex::build()
{
    StoreError error;
    const auto products = m_context->execute(FetchRequest(QStringLiteral("Product")), &error);
    if (!products) {
        Log::write(QStringLiteral("ERROR: %1").arg(error.toString()));
        return false;
    }
    m_products.clear();
    for (ManagedObject* object : *products) {
        if (auto* product = dynamic_cast<ProductEntity*>(object)) {
            m_products[keyFor(product->title())].append(product);
        }
    }
    m_built = true;
    return true;
}

bool ProductTitleIndex::hasWildcards(const QString& title)
{
    return title.contains(u'*') || title.contains(u'?');
}

ProductEntity* ProductTitleIndex::firstMatch(const QString& title, bool* failed) const
{
    *failed = false;
    if (!m_built || hasWildcards(title)) {
        return fetchFirstMatch(title, failed);
    }
    const auto found = m_products.constFind(keyFor(title));
    return found == m_products.constEnd() || found->isEmpty() ? nullptr : found->first();
}

ProductEntity* ProductTitleIndex::fetchFirstMatch(const QString& title, bool* failed) const
{
    const std::optional<Predicate> predicate = Predicate::fromFormat(QStringLiteral("title LIKE[c] %@"), {title});
    StoreError error;
    std::optional<ObjectList> products;
    if (predicate) {
        products = m_context->execute(FetchRequest(QStringLiteral("Product"), *predicate), &error);
    }
    if (!products) {
        Log::write(QStringLiteral("ERROR: %1").arg(error.toString()));
        *failed = true;
        return nullptr;
    }
    return products->isEmpty() ? nullptr : dynamic_cast<ProductEntity*>(products->first());
}

void ProductTitleIndex::noteTitle(ProductEntity* product, const QString& oldTitle)
{
    if (!m_built) {
        return;
    }
    const QString newKey = keyFor(product->title());
    const QString oldKey = keyFor(oldTitle);
    if (newKey == oldKey && m_products.value(oldKey).contains(product)) {
        return;
    }
    auto old = m_products.find(oldKey);
    if (old != m_products.end()) {
        old->removeOne(product);
    }
    m_products[newKey].append(product);
}
