#pragma once

#include <QString>

#include <optional>

// Shows and reads prices: digit grouping, up to three fractional digits and none for whole numbers,
// with the separators of one currency. It shows no currency symbol; the interface shows that beside
// the price.
//
// Reading is strict about grouping, so a price cannot silently change its size: with "." as the
// grouping separator "1.234,5" reads as 1234.5, while "12.50" (groups must have three digits) is
// refused instead of being read as 1250.
class PriceFormatter
{
public:
    static constexpr int MaximumFractionDigits = 3;

    PriceFormatter(const QString& decimalSeparator, const QString& groupingSeparator);

    QString decimalSeparator() const { return m_decimal; }
    QString groupingSeparator() const { return m_grouping; }

    // "1,234.5", "1,234", "-0.125"; rounded to three fractional digits. Empty for NaN or infinity.
    QString toString(double value) const;
    // The same for an exact decimal written as "-1234.5678" (no grouping, "." as separator); empty
    // when the text is not such a number.
    QString toStringFromDecimal(const QString& decimalText) const;

    // A typed price, or nullopt when the text is not a price in this formatter's form. Surrounding
    // white space is ignored; more than three fractional digits are kept.
    std::optional<double> fromString(const QString& text) const;
    // The same as an exact decimal text ("-1234.5"), for decimal attributes.
    std::optional<QString> decimalFromString(const QString& text) const;

private:
    QString format(bool negative, QString integerDigits, QString fractionDigits) const;
    bool isGroupingCharacter(QChar c) const;

    QString m_decimal;
    QString m_grouping;
};
