#include "ZRCurrencyManager.h"

#include <unicode/locid.h>
#include <unicode/ucurr.h>

namespace {

QByteArray icuLocaleId(const QLocale& locale)
{
    return locale.name().toLatin1();
}

QString symbolForCode(const QString& isoCode, const QByteArray& localeId)
{
    if (isoCode.size() != 3) {
        return {};
    }
    UChar code[4] = {};
    for (int i = 0; i < 3; ++i) {
        code[i] = isoCode.at(i).toUpper().unicode();
    }
    UErrorCode status = U_ZERO_ERROR;
    UBool isChoiceFormat = false;
    int32_t length = 0;
    const UChar* name = ucurr_getName(code, localeId.constData(), UCURR_SYMBOL_NAME, &isChoiceFormat, &length, &status);
    if (U_FAILURE(status) || !name || length <= 0) {
        return {};
    }
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(name), length);
}

} // namespace

QString ZRCurrencyManager::dollarCurrencySymbol()
{
    return QStringLiteral("$");
}

QString ZRCurrencyManager::currencySymbolForCode(const QString& isoCode, const QLocale& locale)
{
    return symbolForCode(isoCode, icuLocaleId(locale));
}

QString ZRCurrencyManager::euroCurrencySymbol(const QLocale& locale)
{
    return currencySymbolForCode(QStringLiteral("EUR"), locale);
}

QString ZRCurrencyManager::yenCurrencySymbol(const QLocale& locale)
{
    return currencySymbolForCode(QStringLiteral("JPY"), locale);
}

QString ZRCurrencyManager::poundCurrencySymbol(const QLocale& locale)
{
    return currencySymbolForCode(QStringLiteral("GBP"), locale);
}

QString ZRCurrencyManager::localCurrencySymbol(const QLocale& locale)
{
    const QByteArray localeId = icuLocaleId(locale);
    UChar code[4] = {};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucurr_forLocale(localeId.constData(), code, 4, &status);
    if (U_FAILURE(status) || length != 3) {
        return {};
    }
    return symbolForCode(QString::fromUtf16(reinterpret_cast<const char16_t*>(code), 3), localeId);
}

QStringList ZRCurrencyManager::currencySymbols(const QLocale& locale)
{
    QStringList symbols;
    const QString candidates[] = {dollarCurrencySymbol(), euroCurrencySymbol(locale), yenCurrencySymbol(locale),
                                  poundCurrencySymbol(locale), localCurrencySymbol(locale)};
    for (const QString& symbol : candidates) {
        // The four fixed entries can coincide too (a locale may show yen and yuan alike), so the
        // no-duplicates rule holds for every entry, not only the local one.
        if (!symbol.isEmpty() && !symbols.contains(symbol)) {
            symbols.append(symbol);
        }
    }
    return symbols;
}

PriceFormatter ZRCurrencyManager::formatterForCurrency(const QString& symbol, const QLocale& locale)
{
    const QString local = localCurrencySymbol(locale);
    if (!local.isEmpty() && symbol == local) {
        return PriceFormatter(locale.decimalPoint(), locale.groupSeparator());
    }
    const QString euro = euroCurrencySymbol(locale);
    if (!euro.isEmpty() && symbol == euro) {
        return PriceFormatter(QStringLiteral(","), QStringLiteral("."));
    }
    return PriceFormatter(QStringLiteral("."), QStringLiteral(","));
}
