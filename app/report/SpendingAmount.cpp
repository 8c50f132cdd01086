#include "SpendingAmount.h"

#include <limits>
#include <unicode/ucurr.h>

using Persistence::Decimal;

namespace {

__extension__ typedef __int128 Wide;

Wide powerOfTen(int exponent)
{
    Wide power = 1;
    for (int i = 0; i < exponent; ++i) {
        power *= 10;
    }
    return power;
}

bool fitsMantissa(Wide value)
{
    return value <= std::numeric_limits<qint64>::max() && value >= -std::numeric_limits<qint64>::max();
}

} // namespace

void SpendingAmount::add(const Decimal& amount)
{
    // Scales stay at or below Decimal::MaximumScale and mantissas below 10^19, so 128 bits hold
    // the sum of billions of prices.
    if (amount.scale() > m_scale) {
        m_mantissa *= powerOfTen(amount.scale() - m_scale);
        m_scale = amount.scale();
    }
    m_mantissa += Wide(amount.mantissa()) * powerOfTen(m_scale - amount.scale());
}

Decimal SpendingAmount::value(int minimumScale) const
{
    Wide mantissa = m_mantissa;
    int scale = m_scale;
    if (minimumScale > scale) {
        const int target = std::min(minimumScale, Decimal::MaximumScale);
        const Wide widened = mantissa * powerOfTen(target - scale);
        if (fitsMantissa(widened)) {
            mantissa = widened;
            scale = target;
        }
    }
    while (!fitsMantissa(mantissa) && scale > 0) {
        mantissa = divideRounded(mantissa, 10);
        --scale;
    }
    if (!fitsMantissa(mantissa)) {
        mantissa = mantissa < 0 ? -std::numeric_limits<qint64>::max() : std::numeric_limits<qint64>::max();
    }
    return Decimal(static_cast<qint64>(mantissa), scale);
}

int SpendingAmount::fractionDigits(const QString& isoCode)
{
    constexpr int Usual = 2;
    if (isoCode.size() != 3) {
        return Usual;
    }
    UErrorCode status = U_ZERO_ERROR;
    const QString upper = isoCode.toUpper();
    const int32_t digits = ucurr_getDefaultFractionDigits(reinterpret_cast<const UChar*>(upper.utf16()), &status);
    return U_SUCCESS(status) && digits >= 0 ? digits : Usual;
}

std::optional<Decimal> SpendingAmount::annualised(const Decimal& price, int periodMonths, int fractionDigits)
{
    if (periodMonths < 1) {
        return std::nullopt;
    }
    // price * 12 / period at `fractionDigits` decimals: mantissa * 12 * 10^(digits - scale) / period.
    Wide numerator = Wide(price.mantissa()) * 12;
    Wide denominator = periodMonths;
    if (fractionDigits >= price.scale()) {
        numerator *= powerOfTen(fractionDigits - price.scale());
    } else {
        denominator *= powerOfTen(price.scale() - fractionDigits);
    }
    SpendingAmount amount;
    amount.m_mantissa = divideRounded(numerator, denominator);
    amount.m_scale = fractionDigits;
    return amount.value();
}

SpendingAmount::Wide SpendingAmount::divideRounded(Wide numerator, Wide denominator)
{
    const Wide quotient = numerator / denominator;
    const Wide remainder = numerator % denominator;
    const Wide twice = (remainder < 0 ? -remainder : remainder) * 2;
    if (twice >= (denominator < 0 ? -denominator : denominator)) {
        return quotient + ((numerator < 0) != (denominator < 0) ? -1 : 1);
    }
    return quotient;
}
