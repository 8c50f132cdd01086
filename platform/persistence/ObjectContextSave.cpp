// Fetching into a context and saving it.
#include "AttributeValue.h"
#include "Diagnostics.h"
#include "EntityDescription.h"
#include "ObjectContext.h"
#include "ObjectModel.h"
#include "PersistentStore.h"
#include "ReadTransaction.h"
#include "SortOrder.h"
#include "StoreCoordinator.h"

namespace Persistence {

std::optional<ObjectList> ObjectContext::execute(const FetchRequest& request, StoreError* error)
{
    const EntityDescription* entity = model().entity(request.entityName);
    if (!entity) {
        setError(error, StoreError::Code::InvalidArgument,
                 QStringLiteral("There is no entity \"%1\" to fetch.").arg(request.entityName));
        return std::nullopt;
    }
    // One read transaction for the fetch, the values that sorting reads and the prefetching.
    ReadTransaction transaction(this);
    ObjectList objects;
    if (!fetchFromStores(request, entity, &objects, error)) {
        return std::nullopt;
    }
    if (!request.sortDescriptors.isEmpty()) {
        sortObjects(objects, request.sortDescriptors);
    }
    if (request.fetchLimit > 0 && objects.size() > request.fetchLimit) {
        objects.resize(request.fetchLimit);
    }
    if (!prefetch(objects, request.relationshipKeyPathsForPrefetching, error)) {
        return std::nullopt;
    }
    return objects;
}

std::optional<QVector<ObjectID>> ObjectContext::fetchObjectIDs(const FetchRequest& request, StoreError* error)
{
    const EntityDescription* entity = model().entity(request.entityName);
    if (!entity) {
        setError(error, StoreError::Code::InvalidArgument,
                 QStringLiteral("There is no entity \"%1\" to fetch.").arg(request.entityName));
        return std::nullopt;
    }
    ReadTransaction transaction(this);
    bool failed = false;
    if (auto keys = fetchSortedKeys(request, entity, error, &failed); keys || failed) {
        return keys;
    }
    FetchRequest whole = request;
    whole.relationshipKeyPathsForPrefetching.clear();
    const auto objects = execute(whole, error);
    if (!objects) {
        return std::nullopt;
    }
    QVector<ObjectID> ids;
    ids.reserve(objects->size());
    for (const ManagedObject* object : *objects) {
        ids.append(object->m_id);
    }
    return ids;
}

std::optional<QVector<ObjectID>> ObjectContext::fetchSortedKeys(const FetchRequest& request,
                                                                const EntityDescription* entity, StoreError* error,
                                                                bool* failed)
{
    // Unsaved changes count with their current values, which only the objects hold.
    if (hasChanges()) {
        return std::nullopt;
    }
    QStringList names;
    for (const SortDescriptor& descriptor : request.sortDescriptors) {
        const AttributeDescription* attribute = entity->attribute(descriptor.keyPath);
        if (!attribute || attribute->type == AttributeType::Binary) {
            return std::nullopt;
        }
        names.append(descriptor.keyPath);
    }
    QVector<StoreRow> rows;
    for (PersistentStore* store : m_coordinator->stores()) {
        bool applied = false;
        QMutexLocker locker(&m_coordinator->mutex());
        if (!store->fetchColumns(entity, request.includesSubentities, request.predicate, names, &rows, &applied,
                                 error)) {
            *failed = true;
            return std::nullopt;
        }
        if (!applied) {
            return std::nullopt; // the rest of the predicate is judged on whole objects
        }
    }
    QVector<ObjectID> ids;
    ids.reserve(rows.size());
    const QList<qsizetype> order = sortOrder(rows.size(), request.sortDescriptors,
                                             [&](qsizetype key, qsizetype item) { return rows[item].values[key]; });
    for (const qsizetype index : order) {
        ids.append(rows[index].id);
    }
    if (request.fetchLimit > 0 && ids.size() > request.fetchLimit) {
        ids.resize(request.fetchLimit);
    }
    return ids;
}

bool ObjectContext::fetchFromStores(const FetchRequest& request, const EntityDescription* entity, ObjectList* objects,
                                    StoreError* error)
{
    const auto matchesEntity = [&](const ManagedObject* object) {
        return object->m_entity == entity || (request.includesSubentities && object->m_entity->isKindOf(entity));
    };
    QSet<ManagedObject*> seen;
    for (PersistentStore* store : m_coordinator->stores()) {
        QVector<StoreRow> rows;
        bool applied = false;
        {
            QMutexLocker locker(&m_coordinator->mutex());
            if (!store->fetchRows(entity, request.includesSubentities, request.predicate, &rows, &applied, error)) {
                return false;
            }
        }
        objects->reserve(objects->size() + rows.size());
        m_registry.reserve(m_registry.size() + rows.size());
        m_owned.reserve(m_owned.size() + size_t(rows.size()));
        for (StoreRow& row : rows) {
            ManagedObject* object = materialize(std::move(row));
            if (object->m_state != ManagedObject::State::Registered) {
                continue; // deleted in this context, or gone
            }
            // Changed objects are judged by their current values, like unsaved ones below.
            if ((!applied || object->m_updated) && !request.predicate.evaluate(object)) {
                continue;
            }
            objects->append(object);
            if (object->m_updated) {
                seen.insert(object);
            }
        }
    }
    const auto addPending = [&](const QSet<ManagedObject*>& pending) {
        ObjectList matching;
        for (ManagedObject* object : pending) {
            if (matchesEntity(object) && !seen.contains(object) && request.predicate.evaluate(object)) {
                matching.append(object);
            }
        }
        std::sort(matching.begin(), matching.end(),
                  [](const ManagedObject* a, const ManagedObject* b) { return a->m_sequence < b->m_sequence; });
        objects->append(matching);
    };
    addPending(m_updated);
    addPending(m_inserted);
    return true;
}

void ObjectContext::sortObjects(ObjectList& objects, const QList<SortDescriptor>& descriptors) const
{
    const QList<qsizetype> order = sortOrder(objects.size(), descriptors, [&](qsizetype key, qsizetype item) {
        return objects[item]->valueForKeyPath(descriptors[key].keyPath);
    });
    ObjectList sorted;
    sorted.reserve(objects.size());
    for (const qsizetype index : order) {
        sorted.append(objects[index]);
    }
    objects = sorted;
}

bool ObjectContext::checkDeleteRules(StoreError* error)
{
    for (ManagedObject* object : std::as_const(m_deleted)) {
        for (const auto& relationship : object->m_entity->relationships()) {
            if (relationship.deleteRule != DeleteRule::Deny) {
                continue;
            }
            const ObjectList targets = relationship.toMany ? toManyList(object, relationship.index)
                                                           : ObjectList {resolveToOne(object, relationship.index)};
            for (const ManagedObject* target : targets) {
                if (target && !target->isDeleted()) {
                    return setError(error, StoreError::Code::ValidationFailed,
                                    QStringLiteral("%1 cannot be deleted while its %2 are not.")
                                        .arg(object->m_entity->name(), relationship.name));
                }
            }
        }
    }
    return true;
}

bool ObjectContext::save(StoreError* error)
{
    bool metadataPending = false;
    for (PersistentStore* store : m_coordinator->stores()) {
        metadataPending = metadataPending || store->hasPendingMetadata();
    }
    if (!hasChanges() && !metadataPending) {
        return true;
    }
    if (!checkDeleteRules(error)) {
        return false;
    }
    // Every object to insert must have a store to go to.
    for (ManagedObject* object : std::as_const(m_inserted)) {
        if (!m_assignedStores.value(object, m_coordinator->firstStore())) {
            return setError(error, StoreError::Code::InvalidArgument,
                            QStringLiteral("There is no store to save the new objects to."));
        }
    }
    SaveNotice notice;
    notice.coordinator = m_coordinator.get();
    for (PersistentStore* store : m_coordinator->stores()) {
        if (!saveStore(store, &notice, error)) {
            return false;
        }
    }
    if (!notice.isEmpty()) {
        emit didSave(notice);
    }
    return true;
}

bool ObjectContext::saveStore(PersistentStore* store, SaveNotice* notice, StoreError* error)
{
    const auto storeOf = [&](ManagedObject* object) {
        return object->m_id.isTemporary() ? m_assignedStores.value(object, m_coordinator->firstStore())
                                          : storeFor(object->m_id);
    };
    const auto toOneValue = [&](ManagedObject* object, int index) {
        ManagedObject* target = resolveToOne(object, index);
        return target && target->isValid() && !target->isDeleted() ? QVariant::fromValue(target->m_id) : QVariant();
    };
    // The properties a new row carries: every attribute, then every to-one relationship, listed once per entity.
    QHash<const EntityDescription*, QList<int>> storedByEntity;
    const auto storedProperties = [&](const EntityDescription* entity) -> const QList<int>& {
        auto it = storedByEntity.find(entity);
        if (it == storedByEntity.end()) {
            QList<int> indexes;
            for (int index = 0; index < entity->propertyCount(); ++index) {
                const RelationshipDescription* relationship = entity->relationshipAt(index);
                if (!relationship || !relationship->toMany) {
                    indexes.append(index);
                }
            }
            it = storedByEntity.insert(entity, indexes);
        }
        return it.value();
    };
    // A new object holds all its values: the store reads its attributes in place (nothing changes
    // them while it writes); only the targets of its to-one relationships are given as ObjectIDs.
    const auto insertedRow = [&](ManagedObject* object) {
        RowChange change;
        change.id = object->m_id;
        change.properties = storedProperties(object->m_entity);
        change.inPlace = object->m_values.constData();
        change.inPlaceCount = int(object->m_entity->attributes().size());
        for (qsizetype i = change.inPlaceCount; i < change.properties.size(); ++i) {
            if (QVariant target = toOneValue(object, change.properties.at(i)); target.isValid()) {
                change.values.resize(change.properties.size());
                change.values[i] = std::move(target);
            }
        }
        return change;
    };
    const auto updatedRow = [&](ManagedObject* object) {
        RowChange change;
        change.id = object->m_id;
        const int count = object->m_entity->propertyCount();
        for (int index = 0; index < count; ++index) {
            const RelationshipDescription* relationship = object->m_entity->relationshipAt(index);
            if ((relationship && relationship->toMany) || !object->m_dirty.testBit(index)) {
                continue;
            }
            change.properties.append(index);
            if (!relationship) {
                change.values.append(readAttribute(object, index));
                continue;
            }
            change.values.append(toOneValue(object, index));
        }
        return change;
    };
    ChangeSet changes;
    changes.inserted.reserve(m_inserted.size());
    ObjectList inserted;
    ObjectList updated;
    ObjectList deleted;
    for (ManagedObject* object : insertedObjects()) {
        if (storeOf(object) == store) {
            changes.inserted.append(insertedRow(object));
            inserted.append(object);
        }
    }
    for (ManagedObject* object : updatedObjects()) {
        if (storeOf(object) == store) {
            changes.updated.append(updatedRow(object));
            updated.append(object);
        }
    }
    for (ManagedObject* object : ObjectList(m_deleted.cbegin(), m_deleted.cend())) {
        if (object->m_wasInserted) {
            retire(object); // never reached a store
        } else if (storeOf(object) == store) {
            changes.deleted.append(object->m_id);
            deleted.append(object);
        }
    }
    AssignedIDs assigned;
    {
        QMutexLocker locker(&m_coordinator->mutex());
        if (store->hasPendingMetadata()) {
            changes.writesMetadata = true;
            changes.metadata = store->metadata();
        }
        if (!store->save(changes, &assigned, error)) {
            return false;
        }
    }
    notice->inserted.reserve(notice->inserted.size() + inserted.size());
    const bool allInserted = inserted.size() == m_inserted.size();
    m_registry.reserve(m_registry.size() + inserted.size());
    for (qsizetype i = 0; i < inserted.size(); ++i) {
        ManagedObject* object = inserted.at(i);
        unregisterID(object);
        object->m_id = assigned.at(i); // in the order of the change set's inserted rows
        registerID(object->m_id, object);
        object->m_state = ManagedObject::State::Registered;
        object->m_dirty.fill(false);
        if (!allInserted) {
            m_inserted.remove(object);
        }
        notice->inserted.append(object->m_id);
    }
    if (allInserted) {
        m_inserted.clear();
    }
    if (!m_assignedStores.isEmpty()) {
        for (ManagedObject* object : std::as_const(inserted)) {
            m_assignedStores.remove(object);
        }
    }
    for (ManagedObject* object : std::as_const(updated)) {
        object->m_dirty.fill(false);
        object->m_updated = false;
        m_updated.remove(object);
        notice->updated.append(object->m_id);
    }
    for (ManagedObject* object : std::as_const(deleted)) {
        notice->deleted.append(object->m_id);
        object->m_deletionSaved = true;
        retire(object);
    }
    return true;
}

} // namespace Persistence
