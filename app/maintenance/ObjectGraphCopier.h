#pragma once

#include "maintenance/ZRNameMappings.h"
#include "model/ZRManagedObject.h"

#include <functional>

class MigrationReporter;

namespace Persistence {
class ManagedObject;
class ObjectContext;
} // namespace Persistence

// Called before each object of a copy; answering false makes the copy fail there.
using CopyObjectHook = std::function<bool(const Persistence::ManagedObject*)>;

// Copies every object of one context into another, entity by entity, keeping the relationships:
// upgrades, exports, imports and restores are all such copies. Legacy sources (version 4 and
// below) go through the two-pass legacy copy.
class ObjectGraphCopier
{
public:
    explicit ObjectGraphCopier(MigrationReporter& reporter);
    ObjectGraphCopier(const ObjectGraphCopier&) = delete;
    ObjectGraphCopier& operator=(const ObjectGraphCopier&) = delete;

    // Copies every object of `source` into `destination` and saves it. In a merge (`mappings`
    // active) products whose UUID the destination uses get a new one, and the file names of
    // attachment contents and icons follow the mappings.
    bool copyManagedObjectContext(Persistence::ObjectContext* source, Persistence::ObjectContext* destination,
                                  const ZRNameMappings& mappings = {});
    // The two-pass copy of a legacy store: records first, then each attachment's bytes one by one.
    bool legacyCopyManagedObjectContext(Persistence::ObjectContext* source, Persistence::ObjectContext* destination);

    // Seam for tests: the hook is asked before each object is copied.
    void setCopyObjectHook(CopyObjectHook hook) { m_copyHook = std::move(hook); }

    // What copying the objects of an entity reads beyond their rows (every relationship, and every
    // binary attribute if asked), for loading it for all of them at once.
    static QStringList copiedKeyPaths(const Persistence::ObjectContext& source, const QString& entity,
                                      bool withBinary = true);

private:
    // Gives a copied currency without an ISO code the code its symbol stands for.
    static void fillCurrencyCode(Persistence::ManagedObject* currency);
    bool copyEntityObjects(Persistence::ObjectContext* source, Persistence::ObjectContext* destination,
                           const QString& entityName, const ZRNameMappings& mappings,
                           ZRManagedObject::ReferenceMap& reference);
    bool saveCopyDestination(Persistence::ObjectContext* destination);

    MigrationReporter& m_reporter;
    CopyObjectHook m_copyHook;
};
