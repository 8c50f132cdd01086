#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

class ProductEntity;

// Reads and writes the licence fields of a product (licenseType, expiryDate, renewalDate,
// renewalPeriodMonths, renewalPrice, seats, remindDaysBefore, archived) as text. The command line,
// the delimited import and the details pane all read typed text through here, so each field is
// checked the same way everywhere. Refusals name the field.
class LicenceFieldText
{
public:
    // How a refusal names the field: by its key ("expiryDate", for the command line) or by its
    // localized label ("Expiry Date", for the window).
    enum class Naming { Key, Label };

    // The keys in their fixed order.
    static const QStringList& keys();
    static bool isLicenceField(const QString& key);
    // Whether the key holds a calendar date (written "2027-01-15").
    static bool isCalendarDate(const QString& key);
    // The localized label of a field ("Expiry Date").
    static QString label(const QString& key);

    // The value to store for typed text: a calendar date at noon UTC, a whole number, a decimal
    // price read with the formatter of `currencySymbol` (a wrong separator is refused, not guessed),
    // a licence type in lower case, a boolean. Empty text gives an invalid QVariant (the field is
    // cleared). Nullopt with `error` set when the text is refused.
    static std::optional<QVariant> parse(const QString& key, const QString& text, const QString& currencySymbol,
                                         QString* error, Naming naming = Naming::Key,
                                         const QLocale& locale = QLocale());
    // A date as ISO 8601 or as people write it ("March 4, 2027", "04/03/2027" in the locale's
    // order); an invalid date when the text is no date.
    static QDate parseDate(const QString& text, const QLocale& locale = QLocale());

    // The refusal of a renewal date before the day of purchase; empty when either is not set or
    // the order is right.
    static QString renewalOrderError(const QDate& renewal, const QDateTime& purchase, Naming naming = Naming::Key);

    // The stored value as text: dates "2027-01-15", prices as the currency writes them, numbers,
    // "yes" for archived; empty when the field is not set.
    static QString text(const ProductEntity& product, const QString& key);
};
