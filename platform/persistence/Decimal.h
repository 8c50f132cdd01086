#pragma once

#include <QMetaType>
#include <QString>

#include <optional>

namespace Persistence {

// An exact decimal number (a price): a signed 64-bit mantissa and a count of decimal places, so
// "12.50" keeps both digits and survives every store round trip unchanged.
class Decimal
{
public:
    Decimal() = default;
    Decimal(qint64 mantissa, int scale);

    // Parses "-12.50", "3", "+0.125"; answers nothing for anything else or more than 18 digits.
    static std::optional<Decimal> fromString(QStringView text);
    // Nearest decimal with at most 15 significant digits; nothing for infinities and NaN.
    static std::optional<Decimal> fromDouble(double value);

    qint64 mantissa() const { return m_mantissa; }
    int scale() const { return m_scale; }
    QString toString() const;
    double toDouble() const;

    // Numeric comparison: 1.5 equals 1.50.
    int compare(const Decimal& other) const;
    friend bool operator==(const Decimal& a, const Decimal& b) { return a.compare(b) == 0; }
    friend bool operator!=(const Decimal& a, const Decimal& b) { return a.compare(b) != 0; }
    friend bool operator<(const Decimal& a, const Decimal& b) { return a.compare(b) < 0; }

    static constexpr int MaximumScale = 18;

private:
    qint64 m_mantissa = 0;
    int m_scale = 0;
};

} // namespace Persistence

Q_DECLARE_METATYPE(Persistence::Decimal)
