#pragma once

#include "ObjectID.h"

#include <QHash>
#include <QVector>

namespace Persistence {

// The permanent identifiers a save gives the objects it inserts, in the order of the change set's
// inserted rows. The context and the stores walk them in that order; looking one up by its
// temporary identifier, which only to-one values naming another new object need, indexes them on
// first use.
class AssignedIDs
{
public:
    void reserve(qsizetype count);
    // Records the identifier of the next inserted row.
    void append(const ObjectID& temporary, const ObjectID& permanent);
    void clear();

    qsizetype size() const { return m_permanent.size(); }
    // The identifier of the inserted row at `position`, or a null one past the end.
    ObjectID at(qsizetype position) const;
    // The identifier given to the object that had `temporary`, or a null one.
    ObjectID value(const ObjectID& temporary) const;

private:
    QVector<qint64> m_temporaryKeys;
    QVector<ObjectID> m_permanent;
    mutable QHash<qint64, qsizetype> m_positionByKey;
};

} // namespace Persistence
