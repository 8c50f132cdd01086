#include "SpendingTotals.h"

#include "model/ProductEntity.h"
#include "persistence/FetchRequest.h"
#include "persistence/ObjectContext.h"

#include <algorithm>

using Persistence::Decimal;

const QString SpendingTotals::NoGroup = QStringLiteral("none");

namespace {

const QStringList& names()
{
    static const QStringList list {QStringLiteral("year"), QStringLiteral("publisher"), QStringLiteral("currency"),
                                   QStringLiteral("type")};
    return list;
}

} // namespace

std::optional<SpendingTotals::Grouping> SpendingTotals::groupingNamed(const QString& name)
{
    const qsizetype index = names().indexOf(name);
    if (index < 0) {
        return std::nullopt;
    }
    return static_cast<Grouping>(index);
}

QStringList SpendingTotals::groupingNames()
{
    return names();
}

SpendingTotals::SpendingTotals(Grouping grouping, CurrencyCodes codes)
    : m_grouping(grouping)
    , m_codes(std::move(codes))
{ }

void SpendingTotals::add(const ProductEntity& product)
{
    const QString symbol = product.purchaseCurrency().trimmed();
    QString currency = m_codes.codeForSymbol(symbol);
    if (currency.isEmpty()) {
        currency = symbol; // an unknown symbol stays a currency of its own
    }
    Line& line = m_lines[qMakePair(groupOf(product, currency), currency)];
    ++line.count;
    if (const std::optional<Decimal> price = product.purchasePrice()) {
        line.total.add(*price);
    }
    if (product.isArchived()) {
        return;
    }
    const std::optional<Decimal> renewal = product.renewalPrice();
    if (renewal) {
        const int digits = SpendingAmount::fractionDigits(currency);
        if (const auto yearly
            = SpendingAmount::annualised(*renewal, product.renewalPeriodMonths().value_or(0), digits)) {
            line.annualRecurring.add(*yearly);
        }
    }
}

QString SpendingTotals::groupOf(const ProductEntity& product, const QString& currency) const
{
    QString group;
    switch (m_grouping) {
    case Grouping::Year:
        if (const QDateTime date = product.purchaseDate(); date.isValid()) {
            group = QString::number(date.toLocalTime().date().year());
        }
        break;
    case Grouping::Publisher:
        group = product.publisher().simplified();
        break;
    case Grouping::Currency:
        group = currency;
        break;
    case Grouping::Type:
        group = product.licenseType().trimmed().toLower();
        break;
    }
    return group.isEmpty() ? NoGroup : group;
}

bool SpendingTotals::groupLess(Grouping grouping, const QString& a, const QString& b)
{
    if ((a == NoGroup) != (b == NoGroup)) {
        return b == NoGroup;
    }
    if (grouping == Grouping::Year) {
        return a.toInt() < b.toInt();
    }
    const int byName = a.compare(b, Qt::CaseInsensitive);
    return byName != 0 ? byName < 0 : a < b;
}

QList<SpendingRow> SpendingTotals::rows() const
{
    QList<SpendingRow> rows;
    rows.reserve(m_lines.size());
    for (auto it = m_lines.cbegin(); it != m_lines.cend(); ++it) {
        const int digits = SpendingAmount::fractionDigits(it.key().second);
        rows.append(SpendingRow {it.key().first, it.key().second, it->total.value(digits), it->count,
                                 it->annualRecurring.value(digits)});
    }
    std::stable_sort(rows.begin(), rows.end(), [this](const SpendingRow& a, const SpendingRow& b) {
        if (a.group != b.group) {
            return groupLess(m_grouping, a.group, b.group);
        }
        const int byCode = a.currency.compare(b.currency, Qt::CaseInsensitive);
        return byCode != 0 ? byCode < 0 : a.currency < b.currency;
    });
    return rows;
}

std::optional<QList<SpendingRow>> SpendingTotals::ofLibrary(Persistence::ObjectContext& context, Grouping grouping,
                                                            QString* error)
{
    Persistence::StoreError storeError;
    const auto products = context.execute(Persistence::FetchRequest(QStringLiteral("Product")), &storeError);
    if (!products) {
        if (error) {
            *error = storeError.toString();
        }
        return std::nullopt;
    }
    SpendingTotals totals(grouping, CurrencyCodes(context));
    for (Persistence::ManagedObject* object : *products) {
        if (const auto* product = dynamic_cast<const ProductEntity*>(object)) {
            totals.add(*product);
        }
    }
    return totals.rows();
}
