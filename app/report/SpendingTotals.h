#pragma once

#include "SpendingAmount.h"
#include "model/CurrencyCodes.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

class ProductEntity;
namespace Persistence {
class ObjectContext;
}

// One line of the totals: the products of one group bought in one currency.
struct SpendingRow
{
    QString group; // a year ("2024"), a publisher, an ISO code or a licence type; "none" when not stated
    QString currency; // the ISO 4217 code; the symbol itself when it names no known currency
    Persistence::Decimal total; // the purchase prices, at least to the currency's minor unit
    int count = 0; // every product of the line, with a price or without
    Persistence::Decimal annualRecurring; // renewal price x 12 / period, per product rounded to minor units
};

// What the catalogue cost: purchase prices summed per group and per currency, never adding two
// currencies together, with the yearly cost of what renews.
//
// Archived products were bought, so they count in the totals and counts, but they no longer renew,
// so they add nothing to the recurring cost. A renewal counts when it has a price and a period of
// at least one month, whatever the licence type says. A product without a price counts and adds
// nothing.
class SpendingTotals
{
public:
    enum class Grouping { Year, Publisher, Currency, Type };
    // "year", "publisher", "currency", "type"; nothing for any other name.
    static std::optional<Grouping> groupingNamed(const QString& name);
    static QStringList groupingNames();
    static const QString NoGroup; // "none"

    SpendingTotals(Grouping grouping, CurrencyCodes codes);

    void add(const ProductEntity& product);
    // Years ascending, other groups by name ignoring case, "none" last; currencies by code ignoring case.
    QList<SpendingRow> rows() const;

    // The totals of every product of a library; nothing after an error (with its text).
    static std::optional<QList<SpendingRow>> ofLibrary(Persistence::ObjectContext& context, Grouping grouping,
                                                       QString* error = nullptr);

private:
    struct Line
    {
        SpendingAmount total;
        SpendingAmount annualRecurring;
        int count = 0;
    };
    QString groupOf(const ProductEntity& product, const QString& currency) const;
    static bool groupLess(Grouping grouping, const QString& a, const QString& b);

    Grouping m_grouping;
    CurrencyCodes m_codes;
    QMap<QPair<QString, QString>, Line> m_lines;
};
