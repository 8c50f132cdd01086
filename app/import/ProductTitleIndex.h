#pragma once

#include <QHash>
#include <QList>
#include <QString>

class ProductEntity;

namespace Persistence {
class ObjectContext;
}

// Finds the product an imported title updates: the first product whose title matches the imported
// one as a case-insensitive pattern ("*" any run of characters, "?" any one character). A batch
// import keeps every title of the context in a table, so matching a row costs a lookup instead of
// a scan of the catalogue; titles with wildcards, and lookups without a table, ask the context.
class ProductTitleIndex
{
public:
    explicit ProductTitleIndex(Persistence::ObjectContext* context);

    // Reads every product of the context into the table; false (with a log line) when the fetch fails.
    bool build();

    // The first matching product, or null. `failed` is set when the context could not be asked.
    ProductEntity* firstMatch(const QString& title, bool* failed) const;

    // Keeps the table up to date after a product was inserted (empty old title) or retitled.
    void noteTitle(ProductEntity* product, const QString& oldTitle);

private:
    static QString keyFor(const QString& title) { return title.toCaseFolded(); }
    static bool hasWildcards(const QString& title);
    ProductEntity* fetchFirstMatch(const QString& title, bool* failed) const;

    Persistence::ObjectContext* m_context;
    bool m_built = false;
    QHash<QString, QList<ProductEntity*>> m_products;
};
