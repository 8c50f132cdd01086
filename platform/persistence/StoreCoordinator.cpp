#include "StoreCoordinator.h"

#include "ObjectModel.h"

#include <QFileInfo>

namespace Persistence {

StoreCoordinator::StoreCoordinator(std::shared_ptr<const ObjectModel> model)
    : m_model(std::move(model))
{ }

StoreCoordinator::~StoreCoordinator() = default;

PersistentStore* StoreCoordinator::addStore(StoreType type, const QString& path, StoreError* error,
                                            const PersistentStore::Options& options)
{
    if (!m_model) {
        setError(error, StoreError::Code::InvalidArgument, QStringLiteral("The coordinator has no object model."));
        return nullptr;
    }
    QMutexLocker locker(&m_mutex);
    if (!path.isEmpty() && storeForPath(path)) {
        setError(error, StoreError::Code::InvalidArgument,
                 QStringLiteral("The store \"%1\" has been added already.").arg(path));
        return nullptr;
    }
    auto store = PersistentStore::open(type, path, m_model, options, error);
    if (!store) {
        return nullptr;
    }
    for (const auto& existing : m_stores) {
        if (existing->identifier() == store->identifier()) {
            setError(error, StoreError::Code::InvalidArgument,
                     QStringLiteral("The store \"%1\" is a copy of a store already added.").arg(path));
            return nullptr;
        }
    }
    m_stores.push_back(std::move(store));
    return m_stores.back().get();
}

bool StoreCoordinator::removeStore(PersistentStore* store)
{
    QMutexLocker locker(&m_mutex);
    for (auto it = m_stores.begin(); it != m_stores.end(); ++it) {
        if (it->get() == store) {
            m_stores.erase(it);
            return true;
        }
    }
    return false;
}

std::vector<PersistentStore*> StoreCoordinator::stores() const
{
    std::vector<PersistentStore*> result;
    for (const auto& store : m_stores) {
        result.push_back(store.get());
    }
    return result;
}

PersistentStore* StoreCoordinator::firstStore() const
{
    return m_stores.empty() ? nullptr : m_stores.front().get();
}

PersistentStore* StoreCoordinator::storeForIdentifier(const QString& identifier) const
{
    for (const auto& store : m_stores) {
        if (store->identifier() == identifier) {
            return store.get();
        }
    }
    return nullptr;
}

PersistentStore* StoreCoordinator::storeForPath(const QString& path) const
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (const auto& store : m_stores) {
        if (store->path() == absolute) {
            return store.get();
        }
    }
    return nullptr;
}

QVariantMap StoreCoordinator::metadata(const PersistentStore* store) const
{
    QMutexLocker locker(&m_mutex);
    return store ? store->metadata() : QVariantMap();
}

void StoreCoordinator::setMetadata(PersistentStore* store, const QVariantMap& metadata)
{
    QMutexLocker locker(&m_mutex);
    if (store) {
        store->setMetadata(metadata);
    }
}

std::optional<QVariantMap> StoreCoordinator::metadataForStore(const QString& path, StoreError* error)
{
    const auto info = PersistentStore::readInfo(path, error);
    if (!info) {
        return std::nullopt;
    }
    return info->metadata;
}

ObjectID StoreCoordinator::objectIDForURI(const QString& uri) const
{
    const ObjectURI parts = ObjectURI::parse(uri);
    if (!parts.valid || parts.temporary || !storeForIdentifier(parts.storeIdentifier)) {
        return {};
    }
    const EntityDescription* entity = m_model->entity(parts.entityName);
    if (!entity) {
        return {};
    }
    return ObjectID::permanent(entity, parts.storeIdentifier, parts.key);
}

} // namespace Persistence
