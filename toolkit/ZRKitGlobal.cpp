#include "ZRKitGlobal.h"

#include <QByteArray>
#include <QSequentialIterable>

#include <optional>

namespace {

// Text and byte buffers are the values that have a length.
std::optional<qsizetype> lengthOf(const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return value.toString().size();
    case QMetaType::QByteArray:
        return value.toByteArray().size();
    default:
        return std::nullopt;
    }
}

bool isNullOrPlaceholder(const QVariant& value)
{
    // QVariant::isNull is true for an invalid variant and for one holding a null pointer.
    return value.isNull();
}

bool hasNoLength(const QVariant& value)
{
    if (isNullOrPlaceholder(value)) {
        return true;
    }
    const std::optional<qsizetype> length = lengthOf(value);
    return length && *length == 0;
}

bool hasNoElements(const QVariant& value)
{
    if (isNullOrPlaceholder(value)) {
        return true;
    }
    // Text and bytes are sequences of characters, not collections of objects.
    if (lengthOf(value)) {
        return false;
    }
    if (!value.canConvert<QSequentialIterable>()) {
        return false;
    }
    return value.value<QSequentialIterable>().size() == 0;
}

} // namespace

extern "C" {

const double ZRBackButtonTriangleWidth = 7.0;

bool ZRIsEmptyString(const QVariant& value)
{
    return hasNoLength(value);
}

bool ZRIsEmptyData(const QVariant& value)
{
    return hasNoLength(value);
}

bool ZRIsEmptyArray(const QVariant& value)
{
    return hasNoElements(value);
}

bool ZRIsEmptySet(const QVariant& value)
{
    return hasNoElements(value);
}

QString ZRStringFromBOOL(bool value)
{
    return value ? QStringLiteral("YES") : QStringLiteral("NO");
}
}
