#include "ByteCountFormatter.h"

#include <array>
#include <cmath>

namespace {

constexpr std::array<const char*, 5> Units {"B", "KB", "MB", "GB", "TB"};

} // namespace

ByteCountFormatter::ByteCountFormatter(const QLocale& locale)
    : m_locale(locale)
{
    // Like printf's "%.2f": the decimal separator of the locale, but no digit grouping.
    m_locale.setNumberOptions(QLocale::OmitGroupSeparator);
}

QString ByteCountFormatter::stringForObjectValue(const QVariant& value) const
{
    if (value.typeId() == QMetaType::QString) {
        return value.toString();
    }
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok) {
        return {};
    }
    return stringFromByteCount(number);
}

QString ByteCountFormatter::stringFromByteCount(double bytes) const
{
    float value = static_cast<float>(bytes);
    if (!std::isfinite(value)) {
        return {};
    }
    size_t unit = 0;
    while (value >= 1024.0f && unit + 1 < Units.size()) {
        value /= 1024.0f;
        ++unit;
    }
    const float magnitude = std::fabs(value);
    const int decimals = magnitude - std::floor(magnitude) > 0.01f ? 2 : 0;
    return QStringLiteral("%1 %2").arg(m_locale.toString(static_cast<double>(value), 'f', decimals),
                                       QLatin1String(Units[unit]));
}
