#include "LicenceFieldText.h"

#include "ExportField.h"
#include "ProductEntity.h"
#include "ZRCurrencyManager.h"
#include "base/Localization.h"
#include "persistence/Decimal.h"
#include "text/DateParser.h"

#include <QTimeZone>

#include <limits>

using Persistence::Decimal;

namespace {

const QString LicenseTypeKey = QStringLiteral("licenseType");
const QString ExpiryDateKey = QStringLiteral("expiryDate");
const QString RenewalDateKey = QStringLiteral("renewalDate");
const QString RenewalPriceKey = QStringLiteral("renewalPrice");
const QString ArchivedKey = QStringLiteral("archived");

QString fieldName(const QString& key, LicenceFieldText::Naming naming)
{
    return naming == LicenceFieldText::Naming::Key ? key : LicenceFieldText::label(key);
}

std::optional<QVariant> refuse(QString* error, const QString& key, LicenceFieldText::Naming naming,
                               const QString& messageKey, const QString& text)
{
    if (error) {
        *error = localizedFormat(messageKey, {fieldName(key, naming), text});
    }
    return std::nullopt;
}

std::optional<bool> parseBoolean(const QString& text)
{
    const QString lower = text.toLower();
    if (lower == u"true" || lower == u"yes" || lower == u"1") {
        return true;
    }
    if (lower == u"false" || lower == u"no" || lower == u"0") {
        return false;
    }
    return std::nullopt;
}

// A price in the currency's own form. The plain form "49.00" keeps its digits where the currency
// writes "." as its decimal separator; elsewhere "49,00" is the only form, and "49.00" is refused
// rather than read as 4900.
std::optional<Decimal> parsePrice(const QString& text, const QString& currencySymbol, const QLocale& locale)
{
    const PriceFormatter formatter = ZRCurrencyManager::formatterForCurrency(currencySymbol, locale);
    const std::optional<QString> decimal = formatter.decimalFromString(text);
    if (!decimal || decimal->startsWith(u'-')) {
        return std::nullopt;
    }
    if (formatter.decimalSeparator() == QLatin1String(".")) {
        if (const auto plain = Decimal::fromString(text.trimmed())) {
            return plain;
        }
    }
    return Decimal::fromString(*decimal);
}

} // namespace

const QStringList& LicenceFieldText::keys()
{
    static const QStringList keys {LicenseTypeKey,
                                   ExpiryDateKey,
                                   RenewalDateKey,
                                   QStringLiteral("renewalPeriodMonths"),
                                   RenewalPriceKey,
                                   QStringLiteral("seats"),
                                   QStringLiteral("remindDaysBefore"),
                                   ArchivedKey};
    return keys;
}

bool LicenceFieldText::isLicenceField(const QString& key)
{
    return keys().contains(key);
}

bool LicenceFieldText::isCalendarDate(const QString& key)
{
    return key == ExpiryDateKey || key == RenewalDateKey;
}

QString LicenceFieldText::label(const QString& key)
{
    // The labels the delimited export shows, so a field has one name in every window.
    for (const auto& [keyPath, labelKey] : exportableKeyPathLabelKeys()) {
        if (keyPath == key) {
            return localizedString(labelKey);
        }
    }
    return key;
}

QDate LicenceFieldText::parseDate(const QString& text, const QLocale& locale)
{
    const QString trimmed = text.trimmed();
    const QDate iso = QDate::fromString(trimmed, Qt::ISODate);
    if (iso.isValid()) {
        return iso;
    }
    const std::optional<QDateTime> written = DateParser(locale).parse(trimmed);
    return written ? written->toLocalTime().date() : QDate();
}

std::optional<QVariant> LicenceFieldText::parse(const QString& key, const QString& text, const QString& currencySymbol,
                                                QString* error, Naming naming, const QLocale& locale)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        return QVariant();
    }
    if (key == LicenseTypeKey) {
        const QString lower = trimmed.toLower();
        if (ProductEntity::LicenseTypes.contains(lower)) {
            return QVariant(lower);
        }
        return refuse(error, key, naming, QStringLiteral("LicenceFieldNotATypeFormat"), trimmed);
    }
    if (isCalendarDate(key)) {
        const QDate date = parseDate(trimmed, locale);
        if (date.isValid()) {
            return QVariant(QDateTime(date, QTime(12, 0), QTimeZone::utc()));
        }
        return refuse(error, key, naming, QStringLiteral("LicenceFieldNotADateFormat"), trimmed);
    }
    if (key == RenewalPriceKey) {
        if (const auto price = parsePrice(trimmed, currencySymbol, locale)) {
            return QVariant::fromValue(*price);
        }
        const PriceFormatter formatter = ZRCurrencyManager::formatterForCurrency(currencySymbol, locale);
        if (error) {
            *error = localizedFormat(
                QStringLiteral("LicenceFieldNotAPriceFormat"),
                {fieldName(key, naming), trimmed, formatter.toStringFromDecimal(QStringLiteral("1234.5"))});
        }
        return std::nullopt;
    }
    if (key == ArchivedKey) {
        if (const auto archived = parseBoolean(trimmed)) {
            return QVariant(*archived);
        }
        return refuse(error, key, naming, QStringLiteral("LicenceFieldNotABooleanFormat"), trimmed);
    }
    if (isLicenceField(key)) {
        bool ok = false;
        const qlonglong number = trimmed.toLongLong(&ok);
        if (ok && number >= 0 && number <= std::numeric_limits<int>::max()) {
            return QVariant(number);
        }
        return refuse(error, key, naming, QStringLiteral("LicenceFieldNotACountFormat"), trimmed);
    }
    return refuse(error, key, naming, QStringLiteral("LicenceFieldUnknownFormat"), trimmed);
}

QString LicenceFieldText::renewalOrderError(const QDate& renewal, const QDateTime& purchase, Naming naming)
{
    if (!renewal.isValid() || !purchase.isValid() || renewal >= purchase.toLocalTime().date()) {
        return {};
    }
    return localizedFormat(QStringLiteral("LicenceFieldRenewalBeforePurchaseFormat"),
                           {fieldName(RenewalDateKey, naming), renewal.toString(Qt::ISODate),
                            purchase.toLocalTime().date().toString(Qt::ISODate)});
}

QString LicenceFieldText::text(const ProductEntity& product, const QString& key)
{
    if (key == LicenseTypeKey) {
        return product.licenseType();
    }
    if (key == ExpiryDateKey) {
        return product.expiryDate().toString(Qt::ISODate);
    }
    if (key == RenewalDateKey) {
        return product.renewalDate().toString(Qt::ISODate);
    }
    if (key == RenewalPriceKey) {
        const auto price = product.renewalPrice();
        return price
            ? ZRCurrencyManager::formatterForCurrency(product.purchaseCurrency()).toStringFromDecimal(price->toString())
            : QString();
    }
    if (key == ArchivedKey) {
        return product.isArchived() ? localizedString(QStringLiteral("LicenceFieldYes")) : QString();
    }
    const QVariant number = product.value(key);
    return number.isValid() && !number.isNull() ? QString::number(number.toLongLong()) : QString();
}
