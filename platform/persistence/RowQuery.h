#pragma once

#include "ObjectID.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace Persistence {

// Which rows ObjectContext::readRows() reads, and which of their columns.
//
// Columns are named like properties: an attribute ("title", binary ones too), a to-one
// relationship (the target's key, null when none) or a to-one relationship and an attribute of its
// target ("appIcon.uuid", null when there is no target), which the store reads in the same query.
// Attributes of sub-entities may be named; rows of other entities answer null for them.
struct RowQuery
{
    enum class Selection {
        All, // every row of the entity (and its sub-entities), in key order
        Objects, // the rows of `objects`, in key order; objects the store lacks are passed over
        Owners, // the rows whose to-one `ownerRelationship` points at one of `objects`, by owner
                // key and then by key
    };

    QString entityName;
    QStringList columns;
    Selection selection = Selection::All;
    QVector<ObjectID> objects;
    QString ownerRelationship;

    static RowQuery all(const QString& entityName, const QStringList& columns)
    {
        return {entityName, columns, Selection::All, {}, {}};
    }
    static RowQuery forObjects(const QString& entityName, const QStringList& columns, const QVector<ObjectID>& objects)
    {
        return {entityName, columns, Selection::Objects, objects, {}};
    }
    static RowQuery forOwners(const QString& entityName, const QString& ownerRelationship, const QStringList& columns,
                              const QVector<ObjectID>& owners)
    {
        return {entityName, columns, Selection::Owners, owners, ownerRelationship};
    }
};

} // namespace Persistence
