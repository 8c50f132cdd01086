#include "ReadTransaction.h"

#include "ObjectContext.h"
#include "StoreCoordinator.h"

namespace Persistence {

ReadTransaction::ReadTransaction(const StoreCoordinator* coordinator)
    : m_coordinator(coordinator)
{
    if (m_coordinator) {
        m_coordinator->mutex().lock();
        for (PersistentStore* store : m_coordinator->stores()) {
            store->beginRead();
        }
    }
}

ReadTransaction::ReadTransaction(const ObjectContext* context)
    : ReadTransaction(context ? context->coordinator().get() : nullptr)
{ }

ReadTransaction::~ReadTransaction()
{
    if (m_coordinator) {
        for (PersistentStore* store : m_coordinator->stores()) {
            store->endRead();
        }
        m_coordinator->mutex().unlock();
    }
}

} // namespace Persistence
