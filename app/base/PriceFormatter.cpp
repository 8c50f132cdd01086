#include "PriceFormatter.h"

#include <QList>

#include <cmath>

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isSpaceSeparator(QChar c)
{
    return c == QLatin1Char(' ') || c == QChar(0x00A0) || c == QChar(0x202F);
}

bool allZero(const QString& digits)
{
    for (const QChar c : digits) {
        if (c != QLatin1Char('0')) {
            return false;
        }
    }
    return true;
}

// Adds one to a string of decimal digits ("0999" -> "1000", "99" -> "100").
QString incremented(QString digits)
{
    for (qsizetype i = digits.size() - 1; i >= 0; --i) {
        if (digits[i] != QLatin1Char('9')) {
            digits[i] = QChar(digits[i].unicode() + 1);
            return digits;
        }
        digits[i] = QLatin1Char('0');
    }
    return QLatin1Char('1') + digits;
}

struct DecimalParts
{
    bool negative = false;
    QString integer;
    QString fraction;
};

// "-1234.5678" -> {true, "1234", "5678"}.
std::optional<DecimalParts> splitDecimal(const QString& text)
{
    DecimalParts parts;
    qsizetype i = 0;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        parts.negative = text[i] == QLatin1Char('-');
        ++i;
    }
    bool inFraction = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('.') && !inFraction) {
            inFraction = true;
        } else if (isAsciiDigit(c)) {
            (inFraction ? parts.fraction : parts.integer) += c;
        } else {
            return std::nullopt;
        }
    }
    if (parts.integer.isEmpty() && parts.fraction.isEmpty()) {
        return std::nullopt;
    }
    return parts;
}

} // namespace

PriceFormatter::PriceFormatter(const QString& decimalSeparator, const QString& groupingSeparator)
    : m_decimal(decimalSeparator)
    , m_grouping(groupingSeparator)
{ }

QString PriceFormatter::toString(double value) const
{
    if (!std::isfinite(value)) {
        return {};
    }
    const QString text = QString::number(std::fabs(value), 'f', MaximumFractionDigits);
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    return format(value < 0, text.left(point), text.mid(point + 1));
}

QString PriceFormatter::toStringFromDecimal(const QString& decimalText) const
{
    auto parts = splitDecimal(decimalText.trimmed());
    if (!parts) {
        return {};
    }
    QString integer = parts->integer.isEmpty() ? QStringLiteral("0") : parts->integer;
    QString fraction = parts->fraction;
    if (fraction.size() > MaximumFractionDigits) {
        // Round half away from zero, as prices are rounded on paper.
        const bool roundUp = fraction[MaximumFractionDigits] >= QLatin1Char('5');
        fraction.truncate(MaximumFractionDigits);
        if (roundUp) {
            const QString digits = incremented(integer + fraction);
            integer = digits.left(digits.size() - MaximumFractionDigits);
            fraction = digits.right(MaximumFractionDigits);
        }
    }
    return format(parts->negative, integer, fraction);
}

QString PriceFormatter::format(bool negative, QString integerDigits, QString fractionDigits) const
{
    while (fractionDigits.endsWith(QLatin1Char('0'))) {
        fractionDigits.chop(1);
    }
    while (integerDigits.size() > 1 && integerDigits.startsWith(QLatin1Char('0'))) {
        integerDigits.remove(0, 1);
    }
    if (integerDigits.isEmpty()) {
        integerDigits = QStringLiteral("0");
    }
    QString result;
    if (negative && !(allZero(integerDigits) && fractionDigits.isEmpty())) {
        result += QLatin1Char('-');
    }
    const qsizetype length = integerDigits.size();
    for (qsizetype i = 0; i < length; ++i) {
        if (i > 0 && (length - i) % 3 == 0) {
            result += m_grouping;
        }
        result += integerDigits[i];
    }
    if (!fractionDigits.isEmpty()) {
        result += m_decimal + fractionDigits;
    }
    return result;
}

bool PriceFormatter::isGroupingCharacter(QChar c) const
{
    if (m_grouping.size() != 1) {
        return false;
    }
    // People type an ordinary space where the locale groups with a no-break space.
    if (isSpaceSeparator(m_grouping[0])) {
        return isSpaceSeparator(c);
    }
    return c == m_grouping[0];
}

std::optional<QString> PriceFormatter::decimalFromString(const QString& text) const
{
    const QString input = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < input.size()
        && (input[i] == QLatin1Char('-') || input[i] == QChar(0x2212) || input[i] == QLatin1Char('+'))) {
        negative = input[i] != QLatin1Char('+');
        ++i;
    }
    QString integer;
    QString fraction;
    QList<qsizetype> groupSizes {0};
    bool grouped = false;
    for (; i < input.size(); ++i) {
        const QChar c = input[i];
        if (isAsciiDigit(c)) {
            integer += c;
            ++groupSizes.last();
        } else if (isGroupingCharacter(c)) {
            grouped = true;
            groupSizes.append(0);
        } else {
            break;
        }
    }
    if (grouped) {
        // The first group holds one to three digits, every later one exactly three.
        if (groupSizes.first() < 1 || groupSizes.first() > 3) {
            return std::nullopt;
        }
        for (qsizetype g = 1; g < groupSizes.size(); ++g) {
            if (groupSizes[g] != 3) {
                return std::nullopt;
            }
        }
    }
    if (i < input.size() && !m_decimal.isEmpty() && QStringView(input).mid(i).startsWith(m_decimal)) {
        i += m_decimal.size();
        for (; i < input.size() && isAsciiDigit(input[i]); ++i) {
            fraction += input[i];
        }
    }
    if (i != input.size() || (integer.isEmpty() && fraction.isEmpty())) {
        return std::nullopt;
    }
    while (integer.size() > 1 && integer.startsWith(QLatin1Char('0'))) {
        integer.remove(0, 1);
    }
    while (fraction.endsWith(QLatin1Char('0'))) {
        fraction.chop(1);
    }
    if (integer.isEmpty()) {
        integer = QStringLiteral("0");
    }
    QString decimal;
    if (negative && !(allZero(integer) && fraction.isEmpty())) {
        decimal += QLatin1Char('-');
    }
    decimal += integer;
    if (!fraction.isEmpty()) {
        decimal += QLatin1Char('.') + fraction;
    }
    return decimal;
}

std::optional<double> PriceFormatter::fromString(const QString& text) const
{
    const auto decimal = decimalFromString(text);
    if (!decimal) {
        return std::nullopt;
    }
    bool ok = false;
    const double value = decimal->toDouble(&ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}
