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
struct RowChange
{
    ObjectID id;
    QVector<int> properties;
    QVector<QVariant> values;
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

// Permanent identifiers given by a save to the temporary identifiers of its inserted objects.
using AssignedIDs = QHash<ObjectID, ObjectID>;

} // namespace Persistence
