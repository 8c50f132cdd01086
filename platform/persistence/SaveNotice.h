#pragma once

#include "ObjectID.h"

#include <QList>
#include <QMetaType>

namespace Persistence {

class StoreCoordinator;

// What one save changed, as identifiers: sent by ObjectContext::didSave and merged by other
// contexts over the same coordinator (or over another coordinator of the same store files).
struct SaveNotice
{
    QList<ObjectID> inserted;
    QList<ObjectID> updated;
    QList<ObjectID> deleted;
    const StoreCoordinator* coordinator = nullptr;

    bool isEmpty() const { return inserted.isEmpty() && updated.isEmpty() && deleted.isEmpty(); }
};

} // namespace Persistence

Q_DECLARE_METATYPE(Persistence::SaveNotice)
