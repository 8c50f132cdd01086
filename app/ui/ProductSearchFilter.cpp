#include "ProductSearchFilter.h"

#include "model/ProductEntity.h"
#include "persistence/Predicate.h"

#include <numeric>

namespace {

// Separates the fields in a product's text; a search text holding it is looked for field by field
// (see matches()), so no match runs from one field into the next.
constexpr QChar FieldSeparator = QChar(0);

QString folded(const QString& text)
{
    return Persistence::foldForComparison(text, Persistence::Predicate::CaseInsensitive);
}

// The same as folded(), several times faster for the common text that is all ASCII (whose case
// folding is lowering A to Z).
QString foldedQuickly(QString text)
{
    for (const QChar c : std::as_const(text)) {
        if (c.unicode() >= 0x80) {
            return folded(text);
        }
    }
    for (QChar& c : text) {
        if (c.unicode() >= 'A' && c.unicode() <= 'Z') {
            c = QChar(c.unicode() + ('a' - 'A'));
        }
    }
    return text;
}

} // namespace

const QStringList& ProductSearchFilter::searchedKeys()
{
    static const QStringList keys {QStringLiteral("title"),           QStringLiteral("serialNumber"),
                                   QStringLiteral("publisher"),       QStringLiteral("registeredName"),
                                   QStringLiteral("registeredEmail"), QStringLiteral("commentsString")};
    return keys;
}

QString ProductSearchFilter::foldedSearchText(const QString& text)
{
    return folded(text.trimmed());
}

void ProductSearchFilter::setProducts(const QList<ProductEntity*>& products)
{
    m_products = products;
    m_texts.clear();
    m_lastText.clear();
    m_lastMatches.clear();
}

bool ProductSearchFilter::prepare(qsizetype count)
{
    const qsizetype end = std::min(m_products.size(), qsizetype(m_texts.size()) + count);
    m_texts.reserve(size_t(m_products.size()));
    for (qsizetype i = qsizetype(m_texts.size()); i < end; ++i) {
        const ProductEntity* product = m_products.at(i);
        QString text;
        for (const QString& key : searchedKeys()) {
            text += product->value(key).toString();
            text += FieldSeparator;
        }
        m_texts.push_back(foldedQuickly(std::move(text)));
    }
    return qsizetype(m_texts.size()) == m_products.size();
}

bool ProductSearchFilter::matches(qsizetype index, const QString& text) const
{
    if (!text.contains(FieldSeparator)) {
        return m_texts[size_t(index)].contains(text);
    }
    const ProductEntity* product = m_products.at(index);
    for (const QString& key : searchedKeys()) {
        if (folded(product->value(key).toString()).contains(text)) {
            return true;
        }
    }
    return false;
}

QList<ProductEntity*> ProductSearchFilter::filter(const QString& text)
{
    if (text.isEmpty()) {
        m_lastText.clear();
        m_lastMatches.clear();
        return m_products;
    }
    prepare(m_products.size());
    std::vector<qsizetype> candidates;
    if (!m_lastText.isEmpty() && text.contains(m_lastText)) {
        candidates.swap(m_lastMatches);
    } else {
        candidates.resize(size_t(m_products.size()));
        std::iota(candidates.begin(), candidates.end(), qsizetype(0));
    }
    m_lastMatches.clear();
    for (const qsizetype index : candidates) {
        if (matches(index, text)) {
            m_lastMatches.push_back(index);
        }
    }
    m_lastText = text;
    QList<ProductEntity*> found;
    found.reserve(qsizetype(m_lastMatches.size()));
    for (const qsizetype index : m_lastMatches) {
        found.append(m_products.at(index));
    }
    return found;
}
