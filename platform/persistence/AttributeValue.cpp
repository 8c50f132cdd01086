#include "AttributeValue.h"

#include "Decimal.h"

#include <QDateTime>

#include <cmath>
#include <limits>

namespace Persistence::AttributeValue {

namespace {

bool isIntegerType(int id)
{
    switch (id) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isNumber(const QVariant& value)
{
    const int id = value.metaType().id();
    return isIntegerType(id) || id == QMetaType::Double || id == QMetaType::Float || id == QMetaType::Bool
        || value.metaType() == QMetaType::fromType<Decimal>();
}

std::optional<qint64> toInteger(const QVariant& value, qint64 minimum, qint64 maximum)
{
    const int id = value.metaType().id();
    qint64 result = 0;
    if (id == QMetaType::ULongLong || id == QMetaType::ULong || id == QMetaType::UInt) {
        const quint64 unsignedValue = value.toULongLong();
        if (unsignedValue > quint64(std::numeric_limits<qint64>::max())) {
            return std::nullopt;
        }
        result = qint64(unsignedValue);
    } else if (isIntegerType(id) || id == QMetaType::Bool) {
        result = value.toLongLong();
    } else if (id == QMetaType::Double || id == QMetaType::Float) {
        const double d = value.toDouble();
        if (!std::isfinite(d) || d != std::trunc(d) || std::fabs(d) > 9.2e18) {
            return std::nullopt;
        }
        result = qint64(d);
    } else if (value.metaType() == QMetaType::fromType<Decimal>()) {
        const Decimal decimal = value.value<Decimal>();
        if (decimal.scale() != 0) {
            return std::nullopt;
        }
        result = decimal.mantissa();
    } else {
        return std::nullopt;
    }
    if (result < minimum || result > maximum) {
        return std::nullopt;
    }
    return result;
}

std::optional<QVariant> toDecimal(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<Decimal>()) {
        return value;
    }
    const int id = value.metaType().id();
    std::optional<Decimal> decimal;
    if (id == QMetaType::QString) {
        decimal = Decimal::fromString(value.toString());
    } else if (id == QMetaType::Double || id == QMetaType::Float) {
        decimal = Decimal::fromDouble(value.toDouble());
    } else if (isIntegerType(id)) {
        if (const auto integer
            = toInteger(value, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max())) {
            decimal = Decimal(*integer, 0);
        }
    }
    if (!decimal) {
        return std::nullopt;
    }
    return QVariant::fromValue(*decimal);
}

double toDouble(const QVariant& value)
{
    if (value.metaType() == QMetaType::fromType<Decimal>()) {
        return value.value<Decimal>().toDouble();
    }
    return value.toDouble();
}

template<typename T>
int threeWay(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int compareNumbers(const QVariant& a, const QVariant& b)
{
    const bool aDecimal = a.metaType() == QMetaType::fromType<Decimal>();
    const bool bDecimal = b.metaType() == QMetaType::fromType<Decimal>();
    if (aDecimal || bDecimal) {
        const auto da = toDecimal(aDecimal ? a : QVariant(toDouble(a)));
        const auto db = toDecimal(bDecimal ? b : QVariant(toDouble(b)));
        if (da && db) {
            return da->value<Decimal>().compare(db->value<Decimal>());
        }
        return threeWay(toDouble(a), toDouble(b));
    }
    const int ida = a.metaType().id();
    const int idb = b.metaType().id();
    const bool aExact = isIntegerType(ida) || ida == QMetaType::Bool;
    const bool bExact = isIntegerType(idb) || idb == QMetaType::Bool;
    if (aExact && bExact) {
        return threeWay(a.toLongLong(), b.toLongLong());
    }
    return threeWay(a.toDouble(), b.toDouble());
}

} // namespace

std::optional<QVariant> coerce(AttributeType type, const QVariant& value)
{
    // Text into a text attribute, the most common write, answered before the general checks.
    if (type == AttributeType::String && value.metaType().id() == QMetaType::QString) {
        return static_cast<const QString*>(value.constData())->isNull() ? QVariant() : value;
    }
    if (value.isNull() && value.metaType().id() != QMetaType::QString
        && value.metaType().id() != QMetaType::QByteArray) {
        return QVariant();
    }
    if (!value.isValid()) {
        return QVariant();
    }
    const int id = value.metaType().id();
    switch (type) {
    case AttributeType::String:
        if (id == QMetaType::QString) {
            return static_cast<const QString*>(value.constData())->isNull() ? QVariant() : value;
        }
        return std::nullopt;
    case AttributeType::Integer16:
    case AttributeType::Integer32:
    case AttributeType::Integer64: {
        const qint64 limit = type == AttributeType::Integer16 ? std::numeric_limits<qint16>::max()
            : type == AttributeType::Integer32                ? std::numeric_limits<qint32>::max()
                                                              : std::numeric_limits<qint64>::max();
        const auto integer = toInteger(value, -limit - 1, limit);
        return integer ? std::optional<QVariant>(QVariant(*integer)) : std::nullopt;
    }
    case AttributeType::Decimal:
        return toDecimal(value);
    case AttributeType::Double:
        if (isNumber(value)) {
            return QVariant(toDouble(value));
        }
        return std::nullopt;
    case AttributeType::Boolean:
        if (id == QMetaType::Bool) {
            return value;
        }
        if (const auto integer = toInteger(value, 0, 1)) {
            return QVariant(*integer != 0);
        }
        return std::nullopt;
    case AttributeType::Date:
        if (id == QMetaType::QDateTime && value.toDateTime().isValid()) {
            return QVariant(QDateTime::fromMSecsSinceEpoch(value.toDateTime().toMSecsSinceEpoch(), Qt::UTC));
        }
        return std::nullopt;
    case AttributeType::Binary:
        if (id == QMetaType::QByteArray) {
            return value.toByteArray().isNull() ? QVariant() : value;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

int compare(const QVariant& a, const QVariant& b, bool caseInsensitive, bool* comparable)
{
    if (comparable) {
        *comparable = true;
    }
    const bool aNull = !a.isValid() || a.isNull();
    const bool bNull = !b.isValid() || b.isNull();
    if (aNull || bNull) {
        return aNull == bNull ? 0 : (aNull ? -1 : 1);
    }
    if (isNumber(a) && isNumber(b)) {
        return compareNumbers(a, b);
    }
    const int ida = a.metaType().id();
    const int idb = b.metaType().id();
    if (ida == QMetaType::QString && idb == QMetaType::QString) {
        const int result
            = QString::compare(a.toString(), b.toString(), caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
        return result < 0 ? -1 : (result > 0 ? 1 : 0);
    }
    if (ida == QMetaType::QDateTime && idb == QMetaType::QDateTime) {
        return threeWay(a.toDateTime().toMSecsSinceEpoch(), b.toDateTime().toMSecsSinceEpoch());
    }
    if (ida == QMetaType::QByteArray && idb == QMetaType::QByteArray) {
        return threeWay(a.toByteArray(), b.toByteArray());
    }
    if (comparable) {
        *comparable = false;
    }
    return 0;
}

} // namespace Persistence::AttributeValue
