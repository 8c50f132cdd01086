#pragma once

#include "PersistentStore.h"

#include <QRecursiveMutex>
#include <QString>

#include <memory>
#include <vector>

namespace Persistence {

class ObjectModel;

// Connects one object model with one or more stores and serialises all store access: every
// context over the coordinator, on whatever thread, reaches the stores under its mutex. Stores are
// added before contexts start using the coordinator.
class StoreCoordinator
{
public:
    explicit StoreCoordinator(std::shared_ptr<const ObjectModel> model);
    ~StoreCoordinator();
    StoreCoordinator(const StoreCoordinator&) = delete;
    StoreCoordinator& operator=(const StoreCoordinator&) = delete;

    const std::shared_ptr<const ObjectModel>& model() const { return m_model; }

    // Opens (or creates) the store file and adds it; nothing on failure.
    PersistentStore* addStore(StoreType type, const QString& path, StoreError* error = nullptr,
                              const PersistentStore::Options& options = {});
    bool removeStore(PersistentStore* store);

    std::vector<PersistentStore*> stores() const;
    PersistentStore* firstStore() const;
    PersistentStore* storeForIdentifier(const QString& identifier) const;
    PersistentStore* storeForPath(const QString& path) const;

    // The store's metadata; set metadata is written with the store's next save.
    QVariantMap metadata(const PersistentStore* store) const;
    void setMetadata(PersistentStore* store, const QVariantMap& metadata);
    // Metadata of a store file without adding it (see PersistentStore::readInfo).
    static std::optional<QVariantMap> metadataForStore(const QString& path, StoreError* error = nullptr);

    // The identifier that a URI names, if it belongs to a store of this coordinator.
    ObjectID objectIDForURI(const QString& uri) const;

    // Held by contexts around each use of a store, and by a ReadTransaction for its whole scope
    // (hence recursive).
    QRecursiveMutex& mutex() const { return m_mutex; }

private:
    std::shared_ptr<const ObjectModel> m_model;
    std::vector<std::unique_ptr<PersistentStore>> m_stores;
    mutable QRecursiveMutex m_mutex;
};

} // namespace Persistence
