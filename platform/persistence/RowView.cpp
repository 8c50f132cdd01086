#include "RowView.h"

#include "Decimal.h"
#include "EntityDescription.h"

#include <QDateTime>

namespace Persistence {

QVariant RowView::value(int column) const
{
    if (isNull(column)) {
        return {};
    }
    const AttributeDescription* attribute = m_attributes[column];
    if (!attribute) {
        return int64(column);
    }
    switch (attribute->type) {
    case AttributeType::String:
        return QString::fromUtf8(utf8(column));
    case AttributeType::Integer16:
    case AttributeType::Integer32:
    case AttributeType::Integer64:
        return int64(column);
    case AttributeType::Decimal: {
        const auto decimal = Decimal::fromString(QString::fromUtf8(utf8(column)));
        return decimal ? QVariant::fromValue(*decimal) : QVariant();
    }
    case AttributeType::Double:
        return real(column);
    case AttributeType::Boolean:
        return int64(column) != 0;
    case AttributeType::Date:
        return QDateTime::fromMSecsSinceEpoch(int64(column), Qt::UTC);
    case AttributeType::Binary:
        return bytes(column).toByteArray();
    }
    return {};
}

} // namespace Persistence
