#include "Decimal.h"

#include <cmath>
#include <cstdlib>

namespace Persistence {

namespace {

__extension__ typedef __int128 Wide; // 18 digits scaled by 10^18 fit

} // namespace

Decimal::Decimal(qint64 mantissa, int scale)
    : m_mantissa(mantissa)
    , m_scale(qBound(0, scale, MaximumScale))
{ }

std::optional<Decimal> Decimal::fromString(QStringView text)
{
    text = text.trimmed();
    if (text.isEmpty()) {
        return std::nullopt;
    }
    bool negative = false;
    if (text.front() == u'-' || text.front() == u'+') {
        negative = text.front() == u'-';
        text = text.mid(1);
    }
    qint64 mantissa = 0;
    int digits = 0;
    int scale = -1;
    bool sawDigit = false;
    for (const QChar c : text) {
        if (c == u'.') {
            if (scale >= 0) {
                return std::nullopt;
            }
            scale = 0;
            continue;
        }
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        // Leading zeros do not count: "0.000001" has one significant digit.
        if ((mantissa != 0 || c != u'0') && ++digits > 18) {
            return std::nullopt;
        }
        mantissa = mantissa * 10 + (c.unicode() - u'0');
        sawDigit = true;
        if (scale >= 0) {
            ++scale;
        }
    }
    if (!sawDigit || scale > MaximumScale) {
        return std::nullopt;
    }
    return Decimal(negative ? -mantissa : mantissa, qMax(scale, 0));
}

std::optional<Decimal> Decimal::fromDouble(double value)
{
    if (!std::isfinite(value) || std::fabs(value) >= 1e15) {
        return std::nullopt;
    }
    return fromString(QString::number(value, 'g', 15));
}

QString Decimal::toString() const
{
    QString digits = QString::number(m_mantissa < 0 ? -static_cast<quint64>(m_mantissa) : quint64(m_mantissa));
    if (m_scale > 0) {
        if (digits.size() <= m_scale) {
            digits.prepend(QString(m_scale - digits.size() + 1, u'0'));
        }
        digits.insert(digits.size() - m_scale, u'.');
    }
    return m_mantissa < 0 ? u'-' + digits : digits;
}

double Decimal::toDouble() const
{
    return toString().toDouble();
}

int Decimal::compare(const Decimal& other) const
{
    // Bring both to the larger scale in 128-bit arithmetic.
    Wide a = m_mantissa;
    Wide b = other.m_mantissa;
    for (int i = m_scale; i < other.m_scale; ++i) {
        a *= 10;
    }
    for (int i = other.m_scale; i < m_scale; ++i) {
        b *= 10;
    }
    return a < b ? -1 : (a > b ? 1 : 0);
}

} // namespace Persistence
