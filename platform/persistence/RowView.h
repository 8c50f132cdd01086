#pragma once

#include "ObjectID.h"

#include <QByteArrayView>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

namespace Persistence {

struct AttributeDescription;

// One stored row as a store reads it for ObjectContext::readRows(): the object's key and entity
// and the asked-for columns as the store holds them, without making objects or QVariants. Text
// and bytes point into the store's buffers and are valid only while the callback runs.
//
// Columns hold what is stored: strings and decimals as UTF-8 text ("12.50"), integers, booleans
// (0 or 1) and dates (milliseconds since 1970 UTC) as integers, doubles as reals, binary values as
// bytes, a to-one relationship as the target's key. value() turns a column into the canonical
// attribute value an object would hold.
class RowView
{
public:
    struct Column
    {
        enum class Kind : quint8 { Null, Integer, Real, Text, Bytes };
        Kind kind = Kind::Null;
        qint64 integer = 0;
        double real = 0;
        const char* data = nullptr;
        qsizetype size = 0;
    };

    RowView(const EntityDescription* entity, qint64 key, const QString* storeIdentifier, const Column* columns,
            const AttributeDescription* const* attributes, int count)
        : m_entity(entity)
        , m_key(key)
        , m_storeIdentifier(storeIdentifier)
        , m_columns(columns)
        , m_attributes(attributes)
        , m_count(count)
    { }

    const EntityDescription* entity() const { return m_entity; }
    qint64 key() const { return m_key; }
    ObjectID id() const { return ObjectID::permanent(m_entity, *m_storeIdentifier, m_key); }
    int columnCount() const { return m_count; }

    bool isNull(int column) const { return m_columns[column].kind == Column::Kind::Null; }
    qint64 int64(int column) const { return m_columns[column].integer; }
    double real(int column) const { return m_columns[column].real; }
    // Text and bytes as stored (empty for null).
    QByteArrayView utf8(int column) const { return {m_columns[column].data, m_columns[column].size}; }
    QByteArrayView bytes(int column) const { return utf8(column); }
    // A date column's milliseconds; nothing when it is null.
    std::optional<qint64> msecs(int column) const
    {
        return isNull(column) ? std::nullopt : std::optional<qint64>(int64(column));
    }
    // The column as the attribute value an object holds (QString, qint64, Decimal, double, bool,
    // QDateTime in UTC, QByteArray), a to-one column as the target's key; null for null.
    QVariant value(int column) const;

private:
    const EntityDescription* m_entity;
    qint64 m_key;
    const QString* m_storeIdentifier;
    const Column* m_columns;
    const AttributeDescription* const* m_attributes; // null for to-one key columns
    int m_count;
};

// Called once per row; the view is valid for the call only.
using RowCallback = std::function<void(const RowView&)>;

} // namespace Persistence
