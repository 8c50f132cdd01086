#pragma once

#include "persistence/ObjectContext.h"
#include "persistence/ObjectModel.h"
#include "persistence/PersistentStore.h"
#include "persistence/StoreCoordinator.h"

#include <memory>

// Opens object models, coordinators and contexts for the catalogue. Failures are logged and
// answered with null; persistence diagnostics are routed to the application log.
class ZRCoreDataFactory
{
public:
    // Loads an object model file (a resource path ":/models/..." or a file) and registers the
    // catalogue's classes with it.
    static std::shared_ptr<const Persistence::ObjectModel> newManagedObjectModelForURL(const QString& path);
    // A coordinator for `model` with one store of `type` at `path` (created when missing).
    static std::shared_ptr<Persistence::StoreCoordinator>
    newPersistentStoreCoordinatorForURL(const QString& path, Persistence::StoreType type,
                                        std::shared_ptr<const Persistence::ObjectModel> model,
                                        Persistence::StoreError* error = nullptr);
    // A new context on the coordinator; the caller owns it.
    static std::unique_ptr<Persistence::ObjectContext>
    managedObjectContextForPersistentStoreCoordinator(std::shared_ptr<Persistence::StoreCoordinator> coordinator);

    // The classes of the catalogue entities, by class name.
    static void registerCatalogueClasses(Persistence::ObjectModel& model);
    // The resource path of the current model.
    static QString currentModelPath();
};
