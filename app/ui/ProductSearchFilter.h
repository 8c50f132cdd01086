#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

class ProductEntity;

// The search of the products list, done in memory: a product matches when its title, serial
// number, publisher, registered name, registered e-mail or notes contain the search text, ignoring case
// (both sides case folded, as the store's CONTAINS[c] compares; accents count). Each product's
// folded text is made once per list (ahead of the first search through prepare(), or by the first
// search), so a keystroke compares strings and reads nothing from the products. A text that holds
// the previous one looks only at the previous matches.
class ProductSearchFilter
{
public:
    // The attributes searched, in the order their texts are kept.
    static const QStringList& searchedKeys();
    // The form the search compares: blanks around the text removed, case folded. Empty: no search.
    static QString foldedSearchText(const QString& text);

    // The products to search, in list order; forgets the texts made for the previous list.
    void setProducts(const QList<ProductEntity*>& products);
    const QList<ProductEntity*>& products() const { return m_products; }
    // The products (in order) matching `folded`, a text made by foldedSearchText(); all of them for
    // an empty text.
    QList<ProductEntity*> filter(const QString& folded);

    // Makes the texts of up to `count` more products; answers whether every text is made.
    bool prepare(qsizetype count);
    qsizetype preparedCount() const { return qsizetype(m_texts.size()); }
    qsizetype productCount() const { return m_products.size(); }

private:
    bool matches(qsizetype index, const QString& folded) const;

    QList<ProductEntity*> m_products;
    std::vector<QString> m_texts; // of the first products, in order
    QString m_lastText;
    std::vector<qsizetype> m_lastMatches;
};
