#pragma once

#include <QtGlobal>

namespace Persistence {

class ObjectContext;
class StoreCoordinator;

// Holds the coordinator's mutex and a read transaction on each of its stores for a scope: a fetch
// and the faults that follow it read one state of the stores, and SQLite takes and checks its file
// lock once instead of once per statement. Scopes nest. A save inside a scope is allowed (the
// store ends the read transaction around its write). Other threads that use the coordinator wait
// while a scope is held, and writers of other processes cannot commit: keep scopes to a walk over
// the objects, never around waiting for background work.
class ReadTransaction
{
public:
    explicit ReadTransaction(const StoreCoordinator* coordinator);
    explicit ReadTransaction(const ObjectContext* context);
    ~ReadTransaction();
    Q_DISABLE_COPY_MOVE(ReadTransaction)

private:
    const StoreCoordinator* m_coordinator;
};

} // namespace Persistence
