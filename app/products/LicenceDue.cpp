#include "LicenceDue.h"

#include "model/ProductEntity.h"

#include <QSet>

#include <algorithm>

LicenceTerms LicenceTerms::fromProduct(const ProductEntity& product)
{
    LicenceTerms terms;
    terms.uuid = product.uuid();
    terms.title = product.title();
    terms.expiryDate = product.expiryDate();
    terms.renewalDate = product.renewalDate();
    terms.renewalPeriodMonths = std::max(0, product.renewalPeriodMonths().value_or(0));
    terms.renewalPrice = product.renewalPrice();
    terms.currencySymbol = product.purchaseCurrency();
    terms.remindDaysBefore = product.effectiveRemindDaysBefore();
    terms.archived = product.isArchived();
    return terms;
}

QString LicenceDueEntry::kindName() const
{
    return kind == Kind::Expiry ? QStringLiteral("expiry") : QStringLiteral("renewal");
}

namespace LicenceDue {

QDate nextRenewal(const LicenceTerms& terms, const QDate& today)
{
    const QDate first = terms.renewalDate;
    if (!first.isValid() || terms.renewalPeriodMonths <= 0 || first >= today) {
        return first;
    }
    const int period = terms.renewalPeriodMonths;
    // Whole periods between the two months; the clamping of addMonths at month ends can leave the
    // estimate one period short, never long.
    const int months = (today.year() - first.year()) * 12 + (today.month() - first.month());
    int periods = months / period;
    QDate next = first.addMonths(periods * period);
    while (next < today) {
        ++periods;
        next = first.addMonths(periods * period);
    }
    return next;
}

namespace {

LicenceDueEntry entry(const LicenceTerms& terms, LicenceDueEntry::Kind kind, const QDate& date, const QDate& today)
{
    LicenceDueEntry due;
    due.uuid = terms.uuid;
    due.title = terms.title;
    due.kind = kind;
    due.date = date;
    due.daysLeft = int(today.daysTo(date));
    due.renewalPrice = terms.renewalPrice;
    due.currencySymbol = terms.currencySymbol;
    due.remindDaysBefore = terms.remindDaysBefore;
    return due;
}

} // namespace

QList<LicenceDueEntry> occurrences(const LicenceTerms& terms, const QDate& today)
{
    QList<LicenceDueEntry> entries;
    if (terms.archived) {
        return entries;
    }
    if (terms.expiryDate.isValid()) {
        entries.append(entry(terms, LicenceDueEntry::Kind::Expiry, terms.expiryDate, today));
    }
    const QDate renewal = nextRenewal(terms, today);
    if (renewal.isValid()) {
        entries.append(entry(terms, LicenceDueEntry::Kind::Renewal, renewal, today));
    }
    return entries;
}

QList<LicenceDueEntry> dueEntries(const LicenceTerms& terms, const QDate& today, std::optional<int> withinDays)
{
    QList<LicenceDueEntry> due;
    const int window = withinDays.value_or(terms.remindDaysBefore);
    for (const LicenceDueEntry& entry : occurrences(terms, today)) {
        if (entry.daysLeft <= window) {
            due.append(entry);
        }
    }
    return due;
}

QList<LicenceDueEntry> dueEntries(const QList<LicenceTerms>& terms, const QDate& today, std::optional<int> withinDays)
{
    QList<LicenceDueEntry> due;
    for (const LicenceTerms& product : terms) {
        due.append(dueEntries(product, today, withinDays));
    }
    sortEntries(due);
    return due;
}

QList<LicenceDueEntry> dueEntries(const QList<ProductEntity*>& products, const QDate& today,
                                  std::optional<int> withinDays)
{
    QList<LicenceTerms> terms;
    terms.reserve(products.size());
    for (const ProductEntity* product : products) {
        terms.append(LicenceTerms::fromProduct(*product));
    }
    return dueEntries(terms, today, withinDays);
}

void sortEntries(QList<LicenceDueEntry>& entries)
{
    std::stable_sort(entries.begin(), entries.end(), [](const LicenceDueEntry& a, const LicenceDueEntry& b) {
        if (a.date != b.date) {
            return a.date < b.date;
        }
        const int byTitle = a.title.compare(b.title, Qt::CaseInsensitive);
        if (byTitle != 0) {
            return byTitle < 0;
        }
        return a.kind < b.kind;
    });
}

QSet<QString> dueProducts(const QList<LicenceDueEntry>& entries)
{
    QSet<QString> uuids;
    for (const LicenceDueEntry& entry : entries) {
        uuids.insert(entry.uuid);
    }
    return uuids;
}

} // namespace LicenceDue
