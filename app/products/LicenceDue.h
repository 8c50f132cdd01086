#pragma once

#include "persistence/Decimal.h"

#include <QDate>
#include <QList>
#include <QSet>
#include <QString>

#include <optional>

class ProductEntity;

// When a licence runs out or renews: the dates of one product, read once so that the rules below
// work on plain values (and tests need no library).
struct LicenceTerms
{
    QString uuid;
    QString title;
    QDate expiryDate;
    QDate renewalDate; // the first renewal; later ones follow every renewalPeriodMonths
    int renewalPeriodMonths = 0; // 0: the renewal does not repeat
    std::optional<Persistence::Decimal> renewalPrice;
    QString currencySymbol;
    int remindDaysBefore = 30;
    bool archived = false;

    static LicenceTerms fromProduct(const ProductEntity& product);
};

// One date on which a licence needs attention.
struct LicenceDueEntry
{
    enum class Kind { Expiry, Renewal };

    QString uuid;
    QString title;
    Kind kind = Kind::Expiry;
    QDate date;
    int daysLeft = 0; // negative once the date has passed
    std::optional<Persistence::Decimal> renewalPrice;
    QString currencySymbol;
    int remindDaysBefore = 30;

    // "expiry" or "renewal", as the command line and the calendar name the kinds.
    QString kindName() const;
    bool isPast() const { return daysLeft < 0; }
};

// Which licences are due: an expiry or the next renewal within a window of days from today, or a
// date already past. A repeating renewal whose first date has passed rolls forward by its period to
// the first occurrence on or after today (counted from the first date, so a renewal on the 31st
// comes back on the 31st of longer months); a renewal that does not repeat stays in the past.
// Archived products are never due.
namespace LicenceDue {

// The next renewal on or after `today`, or the renewal date itself when it does not repeat (which
// may be in the past). Null without a renewal date.
QDate nextRenewal(const LicenceTerms& terms, const QDate& today);

// The expiry and the next renewal of a product, whatever their distance (none when archived).
QList<LicenceDueEntry> occurrences(const LicenceTerms& terms, const QDate& today);

// The occurrences that are due: past, or at most `withinDays` ahead; without `withinDays` each
// product's own remindDaysBefore is the window.
QList<LicenceDueEntry> dueEntries(const LicenceTerms& terms, const QDate& today, std::optional<int> withinDays);

// The due entries of every product, sorted by date, then title.
QList<LicenceDueEntry> dueEntries(const QList<LicenceTerms>& terms, const QDate& today, std::optional<int> withinDays);
QList<LicenceDueEntry> dueEntries(const QList<ProductEntity*>& products, const QDate& today,
                                  std::optional<int> withinDays);

// Sorts by date, then title (ignoring case), then kind.
void sortEntries(QList<LicenceDueEntry>& entries);

// The uuids of the products with at least one due entry.
QSet<QString> dueProducts(const QList<LicenceDueEntry>& entries);

} // namespace LicenceDue
