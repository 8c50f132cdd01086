#pragma once

#include "persistence/Decimal.h"

#include <QLocale>
#include <QString>

#include <optional>

// Shows and reads purchase prices of one currency in the interface's locale. A price is shown with
// the locale's separators (an English interface keeps its decimal point whatever the currency) and
// with the currency's number of decimals: "1,299.00" for USD or EUR, "1,299" for JPY, "1.250" for
// KWD; decimals beyond those are shown rather than rounded away.
//
// Typed text is read by the locale's rules first, then by the currency's own separators, then as a
// plain number with a decimal point ("1299.5"), so what a person types is never silently dropped:
// it becomes a price or a refusal with its reason. The currency's symbol or code around the number
// is ignored. The price stays an exact decimal throughout.
class PriceText
{
public:
    enum class Refusal { None, NotANumber, Negative, TooLarge };

    struct Reading
    {
        Refusal refusal = Refusal::None;
        // Empty for empty text: the product has no price.
        std::optional<Persistence::Decimal> price;

        bool accepted() const { return refusal == Refusal::None; }
    };

    // `isoCode` chooses the decimals (two when it is empty or unknown); `symbol` is the currency as
    // the product names it.
    PriceText(const QString& isoCode, const QString& symbol, const QLocale& locale = QLocale());

    int fractionDigits() const { return m_digits; }
    QString toText(const Persistence::Decimal& price) const;
    Reading read(const QString& text) const;

    // The decimals of a currency's minor unit by its ISO 4217 code; 2 for an unknown code.
    static int fractionDigitsForCode(const QString& isoCode);

private:
    QString withoutCurrency(QString text) const;
    QString localDigits(const QString& asciiDigits) const;

    QString m_isoCode;
    QString m_symbol;
    QLocale m_locale;
    int m_digits;
};
