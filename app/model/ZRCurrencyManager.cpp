#include "ZRCurrencyManager.h"

#include <unicode/locid.h>
#include <unicode/ucurr.h>
#include <unicode/uenum.h>

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

QString localCurrencyCode(const QByteArray& localeId)
{
    UChar code[4] = {};
    UErrorCode status = U_ZERO_ERROR;
    const int32_t length = ucurr_forLocale(localeId.constData(), code, 4, &status);
    if (U_FAILURE(status) || length != 3) {
        return {};
    }
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(code), 3);
}

// The common, current ISO 4217 codes, read once.
const QStringList& commonCurrencyCodes()
{
    static const QStringList codes = [] {
        QStringList list;
        UErrorCode status = U_ZERO_ERROR;
        UEnumeration* all = ucurr_openISOCurrencies(UCURR_COMMON | UCURR_NON_DEPRECATED, &status);
        if (U_FAILURE(status) || !all) {
            return list;
        }
        int32_t length = 0;
        while (const char* code = uenum_next(all, &length, &status)) {
            if (U_FAILURE(status)) {
                break;
            }
            list.append(QString::fromLatin1(code, length));
        }
        uenum_close(all);
        return list;
    }();
    return codes;
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
    const QString code = localCurrencyCode(localeId);
    return code.isEmpty() ? QString() : symbolForCode(code, localeId);
}

QString ZRCurrencyManager::isoCodeForSymbol(const QString& symbol, const QLocale& locale)
{
    const QString trimmed = symbol.trimmed();
    if (trimmed.isEmpty()) {
        return {};
    }
    if (trimmed == dollarCurrencySymbol()) {
        return QStringLiteral("USD");
    }
    const QStringList& codes = commonCurrencyCodes();
    if (codes.contains(trimmed.toUpper()) && trimmed.size() == 3) {
        return trimmed.toUpper();
    }
    const QByteArray localeId = icuLocaleId(locale);
    QStringList preferred {localCurrencyCode(localeId), QStringLiteral("EUR"), QStringLiteral("JPY"),
                           QStringLiteral("GBP")};
    for (const QString& code : std::as_const(preferred)) {
        if (!code.isEmpty() && symbolForCode(code, localeId) == trimmed) {
            return code;
        }
    }
    for (const QByteArray& id : {localeId, QByteArray("en")}) {
        for (const QString& code : codes) {
            if (symbolForCode(code, id) == trimmed) {
                return code;
            }
        }
    }
    return {};
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
