#pragma once

#include "persistence/Decimal.h"

#include <QString>

#include <optional>

// Exact money arithmetic for the spending totals: sums that keep every digit, and the yearly cost
// of a renewal rounded to the minor units of its currency. No floating point anywhere, so totals
// never drift by a cent.
class SpendingAmount
{
public:
    SpendingAmount() = default;

    // Adds a price exactly (the sum keeps the largest scale it has seen).
    void add(const Persistence::Decimal& amount);
    // The sum with at least `minimumScale` decimals ("30" becomes "30.00" for two). A sum too large
    // for 18 digits loses decimals, rounded half away from zero, rather than wrapping around.
    Persistence::Decimal value(int minimumScale = 0) const;

    // The decimals of a currency's minor unit: 2 for USD and EUR, 0 for JPY, 3 for KWD; 2 for a
    // text that is no ISO 4217 code.
    static int fractionDigits(const QString& isoCode);
    // `price` x 12 / `periodMonths`, rounded half away from zero to `fractionDigits` decimals;
    // nothing for a period below one month.
    static std::optional<Persistence::Decimal> annualised(const Persistence::Decimal& price, int periodMonths,
                                                          int fractionDigits);

private:
    __extension__ typedef __int128 Wide;
    static Wide divideRounded(Wide numerator, Wide denominator);

    Wide m_mantissa = 0;
    int m_scale = 0;
};
