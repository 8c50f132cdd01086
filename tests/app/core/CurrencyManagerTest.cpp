#include "model/ZRCurrencyManager.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

const QLocale UnitedStates(QLocale::English, QLocale::UnitedStates);
const QLocale Germany(QLocale::German, QLocale::Germany);
const QLocale Ireland(QLocale::English, QLocale::Ireland); // euro, with "." as decimal separator
const QLocale Britain(QLocale::English, QLocale::UnitedKingdom);
const QLocale Japan(QLocale::Japanese, QLocale::Japan);
const QLocale Switzerland(QLocale::German, QLocale::Switzerland);

} // namespace

TEST(ZRCurrencyManager, DefaultListHoldsNoSymbolTwice)
{
    const QStringList fourSymbols {QStringLiteral("$"), QStringLiteral("€"), QStringLiteral("¥"), QStringLiteral("£")};
    // The local currency is one of the four: it is not added again.
    EXPECT_EQ(ZRCurrencyManager::currencySymbols(UnitedStates), fourSymbols);
    EXPECT_EQ(ZRCurrencyManager::currencySymbols(Germany), fourSymbols);
    // Display texts follow the locale: British English writes the yen "JP¥", Swiss German the euro
    // "EUR"; another local currency comes last.
    EXPECT_EQ(ZRCurrencyManager::currencySymbols(Britain),
              QStringList({QStringLiteral("$"), QStringLiteral("€"), QStringLiteral("JP¥"), QStringLiteral("£")}));
    EXPECT_EQ(ZRCurrencyManager::currencySymbols(Switzerland),
              QStringList({QStringLiteral("$"), QStringLiteral("EUR"), QStringLiteral("¥"), QStringLiteral("£"),
                           QStringLiteral("CHF")}));

    for (const QLocale& locale : {Japan, QLocale::c(), QLocale(QLocale::Swedish, QLocale::Sweden)}) {
        const QStringList symbols = ZRCurrencyManager::currencySymbols(locale);
        EXPECT_EQ(symbols.first(), QStringLiteral("$")) << locale.name().toStdString();
        EXPECT_EQ(symbols.size(), QSet<QString>(symbols.cbegin(), symbols.cend()).size())
            << symbols.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(symbols.contains(QString())) << locale.name().toStdString();
    }
}

TEST(ZRCurrencyManager, PriceFormatterFollowsTheCurrency)
{
    struct Case
    {
        QString symbol;
        QLocale locale;
        const char* shown;
    };
    const Case cases[] = {
        {QStringLiteral("$"), UnitedStates, "1,234.5"},
        {QStringLiteral("€"), UnitedStates, "1.234,5"}, // the euro on a non-euro system
        {QStringLiteral("£"), UnitedStates, "1,234.5"},
        {QStringLiteral("¥"), UnitedStates, "1,234.5"},
        {QStringLiteral("SEK"), UnitedStates, "1,234.5"}, // free text formats like the dollar
        {QString(), UnitedStates, "1,234.5"},
        {QStringLiteral("$"), Germany, "1,234.5"}, // not the German separators
        {QStringLiteral("€"), Germany, "1.234,5"},
        // The local currency is the euro: the local separators win over the euro rule.
        {QStringLiteral("€"), Ireland, "1,234.5"},
        {QStringLiteral("CHF"), Switzerland, "1’234.5"},
    };
    for (const Case& c : cases) {
        const PriceFormatter formatter = ZRCurrencyManager::formatterForCurrency(c.symbol, c.locale);
        EXPECT_EQ(formatter.toString(1234.5), QString::fromUtf8(c.shown))
            << c.symbol.toStdString() << " in " << c.locale.name().toStdString();
    }
}

TEST(ZRCurrencyManager, SymbolsMapToTheirIsoCodes)
{
    // The dollar sign is the US dollar whatever the locale; codes typed as symbols stand for themselves.
    EXPECT_EQ(ZRCurrencyManager::isoCodeForSymbol(QStringLiteral("$"), Germany), QStringLiteral("USD"));
    EXPECT_EQ(ZRCurrencyManager::isoCodeForSymbol(QStringLiteral("cad"), UnitedStates), QStringLiteral("CAD"));
    EXPECT_EQ(ZRCurrencyManager::isoCodeForSymbol(QStringLiteral("€"), UnitedStates), QStringLiteral("EUR"));
    EXPECT_EQ(ZRCurrencyManager::isoCodeForSymbol(QStringLiteral("£"), Germany), QStringLiteral("GBP"));
    EXPECT_EQ(ZRCurrencyManager::isoCodeForSymbol(QStringLiteral("JP¥"), Britain), QStringLiteral("JPY"));
    EXPECT_EQ(ZRCurrencyManager::isoCodeForSymbol(QStringLiteral("CHF"), Switzerland), QStringLiteral("CHF"));
    // Every symbol of the default list has a code, in every locale the list is made for.
    for (const QLocale& locale : {UnitedStates, Germany, Britain, Japan, Switzerland}) {
        for (const QString& symbol : ZRCurrencyManager::currencySymbols(locale)) {
            EXPECT_EQ(ZRCurrencyManager::isoCodeForSymbol(symbol, locale).size(), 3)
                << symbol.toStdString() << " " << locale.name().toStdString();
        }
    }
    EXPECT_TRUE(ZRCurrencyManager::isoCodeForSymbol(QStringLiteral("bananas"), UnitedStates).isEmpty());
    EXPECT_TRUE(ZRCurrencyManager::isoCodeForSymbol(QString(), UnitedStates).isEmpty());
}
