#pragma once

#include "base/PriceFormatter.h"

#include <QLocale>
#include <QString>
#include <QStringList>

// Currency symbols and price formatters. No state: every operation takes the locale whose display
// texts it uses (the current locale unless given), so the same code serves any locale and tests can
// describe one.
class ZRCurrencyManager
{
public:
    ZRCurrencyManager() = delete;

    static QString dollarCurrencySymbol(); // "$"
    static QString euroCurrencySymbol(const QLocale& locale = QLocale());
    static QString yenCurrencySymbol(const QLocale& locale = QLocale());
    static QString poundCurrencySymbol(const QLocale& locale = QLocale());
    // The locale's display text for the symbol of an ISO 4217 code; empty when it has none.
    static QString currencySymbolForCode(const QString& isoCode, const QLocale& locale = QLocale());
    // The symbol of the locale's own currency; empty for a locale without a country.
    static QString localCurrencySymbol(const QLocale& locale = QLocale());

    // The default list: dollar, euro, yen and pound (each left out when empty), then the local symbol
    // unless it is empty or already listed. No symbol appears twice.
    static QStringList currencySymbols(const QLocale& locale = QLocale());

    // The ISO 4217 code a symbol stands for: "$" is USD; a symbol that is itself a known code is
    // that code; otherwise the locale's own currency, the euro, yen and pound, then every common
    // currency whose symbol in the locale (or in English) is the symbol. Empty when none matches.
    static QString isoCodeForSymbol(const QString& symbol, const QLocale& locale = QLocale());

    // The formatter for prices in `symbol`: the locale's separators for the local currency, "," and
    // "." for the euro, "." and "," for everything else (dollar, yen, pound, free text, nothing).
    static PriceFormatter formatterForCurrency(const QString& symbol, const QLocale& locale = QLocale());
};
