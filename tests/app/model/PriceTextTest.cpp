#include "model/PriceText.h"

#include <gtest/gtest.h>

using Persistence::Decimal;

namespace {

const QString Euro = QString(QChar(0x20AC));
const QLocale English(QLocale::English, QLocale::UnitedStates);
const QLocale German(QLocale::German, QLocale::Germany);
const QLocale French(QLocale::French, QLocale::France);
const QLocale Japanese(QLocale::Japanese, QLocale::Japan);

// The stored decimal a text reads as ("" for no price), or "refused".
QString readAs(const PriceText& prices, const QString& text)
{
    const PriceText::Reading reading = prices.read(text);
    if (!reading.accepted()) {
        return QStringLiteral("refused");
    }
    return reading.price ? reading.price->toString() : QString();
}

Decimal decimal(const char* text)
{
    return *Decimal::fromString(QString::fromLatin1(text));
}

} // namespace

TEST(PriceTextTest, ReadsTheLocaleFormWhateverTheCurrency)
{
    // A euro price typed the English way is read the English way, not thrown away.
    const PriceText englishEuro(QStringLiteral("EUR"), Euro, English);
    EXPECT_EQ(readAs(englishEuro, QStringLiteral("1,299.00")), QStringLiteral("1299"));
    EXPECT_EQ(readAs(englishEuro, QStringLiteral("1,299")), QStringLiteral("1299"));
    EXPECT_EQ(readAs(englishEuro, QStringLiteral(" 1299.5 ")), QStringLiteral("1299.5"));
    // ... and the currency's own form still reads where the locale's does not.
    EXPECT_EQ(readAs(englishEuro, QStringLiteral("1.299,50")), QStringLiteral("1299.5"));

    const PriceText germanDollar(QStringLiteral("USD"), QStringLiteral("$"), German);
    EXPECT_EQ(readAs(germanDollar, QStringLiteral("1.299,00")), QStringLiteral("1299"));
    EXPECT_EQ(readAs(germanDollar, QStringLiteral("1299,5")), QStringLiteral("1299.5"));
    // The plain form with a decimal point reads in every locale.
    EXPECT_EQ(readAs(germanDollar, QStringLiteral("1299")), QStringLiteral("1299"));
    EXPECT_EQ(readAs(germanDollar, QStringLiteral("1299.5")), QStringLiteral("1299.5"));

    // French groups with a narrow no-break space; people type an ordinary one.
    const PriceText french(QStringLiteral("EUR"), Euro, French);
    EXPECT_EQ(readAs(french, QStringLiteral("1") + French.groupSeparator() + QStringLiteral("299,00")),
              QStringLiteral("1299"));
    EXPECT_EQ(readAs(french, QStringLiteral("1 299,95")), QStringLiteral("1299.95"));
    EXPECT_EQ(readAs(french, QStringLiteral("1\u202F299,95")), QStringLiteral("1299.95"));
}

TEST(PriceTextTest, IgnoresTheCurrencyAroundTheNumberAndKeepsEveryDigit)
{
    const PriceText dollars(QStringLiteral("USD"), QStringLiteral("$"), English);
    EXPECT_EQ(readAs(dollars, QStringLiteral("$1,299.99")), QStringLiteral("1299.99"));
    EXPECT_EQ(readAs(dollars, QStringLiteral("1299.99 USD")), QStringLiteral("1299.99"));
    // Exact decimals, no trip through a double.
    EXPECT_EQ(readAs(dollars, QStringLiteral("0.1")), QStringLiteral("0.1"));
    EXPECT_EQ(readAs(dollars, QStringLiteral("12345678901234.567")), QStringLiteral("12345678901234.567"));
    const PriceText euros(QStringLiteral("EUR"), Euro, German);
    EXPECT_EQ(readAs(euros, QStringLiteral("49,99 ") + Euro), QStringLiteral("49.99"));
}

TEST(PriceTextTest, RefusesWhatIsNoPriceAndSaysWhy)
{
    const PriceText dollars(QStringLiteral("USD"), QStringLiteral("$"), English);
    EXPECT_EQ(readAs(dollars, QStringLiteral("   ")), QString()); // no price, not a refusal
    for (const char* junk : {"12abc", "1,2,3.4.5", "abc", "1..2", "12,34", ".", "1 299", "1,29"}) {
        EXPECT_EQ(dollars.read(QString::fromLatin1(junk)).refusal, PriceText::Refusal::NotANumber) << junk;
    }
    EXPECT_EQ(dollars.read(QStringLiteral("-5")).refusal, PriceText::Refusal::Negative);
    EXPECT_EQ(dollars.read(QStringLiteral("\u22121,299.00")).refusal, PriceText::Refusal::Negative);
    EXPECT_EQ(dollars.read(QStringLiteral("1234567890123456789012")).refusal, PriceText::Refusal::TooLarge);
    // A refusal carries no price, so nothing can be stored by mistake.
    EXPECT_FALSE(dollars.read(QStringLiteral("12abc")).price.has_value());
}

TEST(PriceTextTest, ShowsTheLocaleSeparatorsAndTheCurrencyDecimals)
{
    EXPECT_EQ(PriceText(QStringLiteral("EUR"), Euro, English).toText(decimal("1299")), QStringLiteral("1,299.00"));
    EXPECT_EQ(PriceText(QStringLiteral("EUR"), Euro, German).toText(decimal("1299.5")), QStringLiteral("1.299,50"));
    EXPECT_EQ(PriceText(QStringLiteral("JPY"), QStringLiteral("\u00A5"), Japanese).toText(decimal("1299")),
              QStringLiteral("1,299"));
    EXPECT_EQ(PriceText(QStringLiteral("KWD"), QStringLiteral("KWD"), English).toText(decimal("12.5")),
              QStringLiteral("12.500"));
    // An unknown currency gets two decimals; digits beyond the currency's are shown, not rounded.
    EXPECT_EQ(PriceText(QString(), QStringLiteral("Coins"), English).toText(decimal("7")), QStringLiteral("7.00"));
    EXPECT_EQ(PriceText(QStringLiteral("USD"), QStringLiteral("$"), English).toText(decimal("0.125")),
              QStringLiteral("0.125"));
    const QString french = PriceText(QStringLiteral("EUR"), Euro, French).toText(decimal("1299"));
    EXPECT_EQ(french, QStringLiteral("1") + French.groupSeparator() + QStringLiteral("299,00"));

    EXPECT_EQ(PriceText::fractionDigitsForCode(QStringLiteral("jpy")), 0);
    EXPECT_EQ(PriceText::fractionDigitsForCode(QStringLiteral("KWD")), 3);
    EXPECT_EQ(PriceText::fractionDigitsForCode(QStringLiteral("XYZW")), 2);
}

TEST(PriceTextTest, WhatIsShownReadsBackAsTheSamePrice)
{
    for (const QLocale& locale : {English, German, French, Japanese}) {
        for (const QString& code : {QStringLiteral("USD"), QStringLiteral("JPY"), QStringLiteral("KWD")}) {
            const PriceText prices(code, code, locale);
            for (const char* value : {"0", "7", "1299.5", "1234567.891", "0.05"}) {
                const PriceText::Reading reading = prices.read(prices.toText(decimal(value)));
                ASSERT_TRUE(reading.price.has_value()) << locale.name().toStdString() << " " << value;
                EXPECT_EQ(*reading.price, decimal(value)) << locale.name().toStdString() << " " << value;
            }
        }
    }
}
