// Reading rows straight from the stores, without objects.
#include "EntityDescription.h"
#include "ObjectContext.h"
#include "ObjectModel.h"
#include "PersistentStore.h"
#include "ReadTransaction.h"
#include "StoreCoordinator.h"

namespace Persistence {

bool ObjectContext::canReadRows() const
{
    for (const PersistentStore* store : m_coordinator->stores()) {
        if (!store->supportsRowReading()) {
            return false;
        }
    }
    return true;
}

bool ObjectContext::readRows(const RowQuery& query, const RowCallback& callback, StoreError* error)
{
    const EntityDescription* entity = model().entity(query.entityName);
    if (!entity) {
        return setError(error, StoreError::Code::InvalidArgument,
                        QStringLiteral("There is no entity \"%1\" to read.").arg(query.entityName));
    }
    // One read transaction for all stores: the rows come from one state of each file.
    ReadTransaction transaction(this);
    for (PersistentStore* store : m_coordinator->stores()) {
        QVector<qint64> keys;
        if (query.selection != RowQuery::Selection::All) {
            keys.reserve(query.objects.size());
            for (const ObjectID& id : query.objects) {
                if (!id.isTemporary() && id.storeIdentifier() == store->identifier()) {
                    keys.append(id.key());
                }
            }
            if (keys.isEmpty()) {
                continue;
            }
        }
        QMutexLocker locker(&m_coordinator->mutex());
        if (!store->readRows(entity, query, keys, callback, error)) {
            return false;
        }
    }
    return true;
}

} // namespace Persistence
