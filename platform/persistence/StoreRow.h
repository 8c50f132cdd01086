#pragma once

#include "ObjectID.h"

#include <QHash>
#include <QVariant>
#include <QVector>

namespace Persistence {

// One stored object as a store hands it to a context: values by property index of the object's
// own entity. To-one relationships hold the target's ObjectID (or null); binary attributes and
// to-many relationships are left invalid, they are loaded on demand.
struct StoreRow
{
    ObjectID id;
    QVector<QVariant> values;
};

// One object's part of a save: the listed properties (attributes and to-one relationships) with
// their new values; to-one values are ObjectIDs, temporary for objects inserted by the same save.
// A new object lists every stored property; an empty value leaves its column empty.
struct RowChange
{
    ObjectID id;
    QVector<int> properties;
    // By position in `properties`. Shorter when the rest are empty or read in place.
    QVector<QVariant> values;
    // A new object's attribute values by property index, read in place while the store writes
    // (properties below `inPlaceCount`), so that a large save copies none of them.
    const QVariant* inPlace = nullptr;
    int inPlaceCount = 0;

    // The new value of the property at `position` in `properties`.
    const QVariant& value(qsizetype position) const
    {
        static const QVariant empty;
        const int index = properties.at(position);
        if (index < inPlaceCount) {
            return inPlace[index];
        }
        return position < values.size() ? values.at(position) : empty;
    }
};

// Everything one save writes to one store, applied all or nothing.
struct ChangeSet
{
    QVector<RowChange> inserted;
    QVector<RowChange> updated;
    QVector<ObjectID> deleted;
    bool writesMetadata = false;
    QVariantMap metadata;

    bool isEmpty() const { return inserted.isEmpty() && updated.isEmpty() && deleted.isEmpty() && !writesMetadata; }
};

} // namespace Persistence
