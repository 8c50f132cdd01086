#include "PriceText.h"

#include "ZRCurrencyManager.h"
#include "base/PriceFormatter.h"

#include <unicode/ucurr.h>

using Persistence::Decimal;

namespace {

constexpr int UsualFractionDigits = 2;

bool isMinusSign(QChar c)
{
    return c == QLatin1Char('-') || c == QChar(0x2212);
}

} // namespace

PriceText::PriceText(const QString& isoCode, const QString& symbol, const QLocale& locale)
    : m_isoCode(isoCode.trimmed().toUpper())
    , m_symbol(symbol.trimmed())
    , m_locale(locale)
    , m_digits(fractionDigitsForCode(m_isoCode))
{ }

int PriceText::fractionDigitsForCode(const QString& isoCode)
{
    if (isoCode.size() != 3) {
        return UsualFractionDigits;
    }
    const QString upper = isoCode.toUpper();
    UErrorCode status = U_ZERO_ERROR;
    const int32_t digits = ucurr_getDefaultFractionDigits(reinterpret_cast<const UChar*>(upper.utf16()), &status);
    return U_SUCCESS(status) && digits >= 0 ? digits : UsualFractionDigits;
}

QString PriceText::toText(const Decimal& price) const
{
    // Decimal::toString() writes "-1234.5678": split it rather than going through a double.
    QString digits = price.toString();
    const bool negative = digits.startsWith(QLatin1Char('-'));
    if (negative) {
        digits.remove(0, 1);
    }
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    const QString integer = point < 0 ? digits : digits.left(point);
    QString fraction = point < 0 ? QString() : digits.mid(point + 1);
    while (fraction.size() > m_digits && fraction.endsWith(QLatin1Char('0'))) {
        fraction.chop(1);
    }
    fraction = fraction.leftJustified(m_digits, QLatin1Char('0'));

    QString text = m_locale.toString(integer.toLongLong());
    if (negative && price.mantissa() != 0) {
        text.prepend(m_locale.negativeSign());
    }
    if (!fraction.isEmpty()) {
        text += m_locale.decimalPoint() + localDigits(fraction);
    }
    return text;
}

QString PriceText::localDigits(const QString& asciiDigits) const
{
    const QString zero = m_locale.zeroDigit();
    if (zero == QLatin1String("0") || zero.size() != 1) {
        return asciiDigits;
    }
    QString local;
    for (const QChar c : asciiDigits) {
        local += QChar(zero.at(0).unicode() + (c.unicode() - u'0'));
    }
    return local;
}

QString PriceText::withoutCurrency(QString text) const
{
    text = text.trimmed();
    for (const QString& mark : {m_symbol, m_isoCode}) {
        if (mark.isEmpty()) {
            continue;
        }
        if (text.startsWith(mark, Qt::CaseInsensitive)) {
            text = text.mid(mark.size()).trimmed();
        } else if (text.endsWith(mark, Qt::CaseInsensitive)) {
            text = text.left(text.size() - mark.size()).trimmed();
        }
    }
    return text;
}

PriceText::Reading PriceText::read(const QString& text) const
{
    Reading reading;
    const QString typed = withoutCurrency(text);
    if (typed.isEmpty()) {
        return reading;
    }
    const PriceFormatter readers[] = {
        PriceFormatter(m_locale.decimalPoint(), m_locale.groupSeparator()),
        ZRCurrencyManager::formatterForCurrency(m_symbol, m_locale),
        PriceFormatter(QStringLiteral("."), QString()),
    };
    std::optional<QString> decimal;
    for (const PriceFormatter& reader : readers) {
        decimal = reader.decimalFromString(typed);
        if (decimal) {
            break;
        }
    }
    if (!decimal) {
        reading.refusal = Refusal::NotANumber;
    } else if (isMinusSign(decimal->at(0)) || isMinusSign(typed.at(0))) {
        reading.refusal = Refusal::Negative;
    } else if (const auto price = Decimal::fromString(*decimal)) {
        reading.price = price;
    } else {
        reading.refusal = Refusal::TooLarge; // more digits than a stored price keeps
    }
    return reading;
}
