// Fetching into a context and saving it.
#include "AttributeValue.h"
#include "Diagnostics.h"
#include "EntityDescription.h"
#include "ObjectContext.h"
#include "ObjectModel.h"
#include "PersistentStore.h"
#include "ReadTransaction.h"
#include "StoreCoordinator.h"

#include <QCollator>

#include <numeric>

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
    using Comparison = SortDescriptor::Comparison;
    // Keys are read once per object, not once per comparison; a key that is text everywhere is
    // compared as text directly, or by collation keys made once per object for localized order.
    struct Key
    {
        QVector<QVariant> values;
        QStringList strings;
        std::vector<QCollatorSortKey> collated;
        bool allStrings = true;
    };
    QCollator collator;
    QCollator caseless;
    caseless.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<Key> keys(size_t(descriptors.size()));
    for (qsizetype k = 0; k < descriptors.size(); ++k) {
        Key& key = keys[size_t(k)];
        key.values.reserve(objects.size());
        for (const ManagedObject* object : std::as_const(objects)) {
            key.values.append(object->valueForKeyPath(descriptors[k].keyPath));
            key.allStrings = key.allStrings && key.values.back().metaType().id() == QMetaType::QString;
        }
        const Comparison comparison = descriptors[k].comparison;
        if (key.allStrings
            && (comparison == Comparison::Localized || comparison == Comparison::LocalizedCaseInsensitive)) {
            const QCollator& by = comparison == Comparison::Localized ? collator : caseless;
            key.collated.reserve(size_t(objects.size()));
            for (const QVariant& value : std::as_const(key.values)) {
                key.collated.push_back(by.sortKey(value.toString()));
            }
        } else if (key.allStrings) {
            key.strings.reserve(objects.size());
            for (const QVariant& value : std::as_const(key.values)) {
                key.strings.append(comparison == Comparison::CaseInsensitive ? value.toString().toCaseFolded()
                                                                             : value.toString());
            }
        } else if (descriptors[k].comparison == Comparison::CaseInsensitive) {
            for (QVariant& value : key.values) {
                if (value.metaType().id() == QMetaType::QString) {
                    value = value.toString().toCaseFolded();
                }
            }
        }
    }
    const auto compareKey = [&](size_t k, qsizetype a, qsizetype b) {
        const Key& key = keys[k];
        if (!key.collated.empty()) {
            return key.collated[size_t(a)].compare(key.collated[size_t(b)]);
        }
        if (key.allStrings) {
            return QString::compare(key.strings[a], key.strings[b]);
        }
        return AttributeValue::compare(key.values[a], key.values[b]);
    };
    QVector<qsizetype> order(objects.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        for (size_t k = 0; k < keys.size(); ++k) {
            const int result = compareKey(k, a, b);
            if (result != 0) {
                return descriptors[qsizetype(k)].ascending ? result < 0 : result > 0;
            }
        }
        return false;
    });
    ObjectList sorted;
    sorted.reserve(objects.size());
    for (const qsizetype index : std::as_const(order)) {
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
    const auto rowChange = [&](ManagedObject* object, bool everything) {
        RowChange change;
        change.id = object->m_id;
        const int count = object->m_entity->propertyCount();
        if (everything) {
            change.properties.reserve(count);
            change.values.reserve(count);
        }
        for (int index = 0; index < count; ++index) {
            const RelationshipDescription* relationship = object->m_entity->relationshipAt(index);
            if ((relationship && relationship->toMany) || (!everything && !object->m_dirty.testBit(index))) {
                continue;
            }
            QVariant value;
            if (relationship) {
                ManagedObject* target = resolveToOne(object, index);
                value = target && target->isValid() && !target->isDeleted() ? QVariant::fromValue(target->m_id)
                                                                            : QVariant();
            } else {
                value = readAttribute(object, index);
            }
            change.properties.append(index);
            change.values.append(value);
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
            changes.inserted.append(rowChange(object, true));
            inserted.append(object);
        }
    }
    for (ManagedObject* object : updatedObjects()) {
        if (storeOf(object) == store) {
            changes.updated.append(rowChange(object, false));
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
    for (ManagedObject* object : std::as_const(inserted)) {
        m_registry.remove(object->m_id);
        object->m_id = assigned.value(object->m_id);
        m_registry.insert(object->m_id, object);
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
