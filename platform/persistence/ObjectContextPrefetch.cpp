// Prefetching: what many objects lead to is loaded with one store query per step of a key path
// (in chunks for very many objects) instead of one query per object.
#include "Diagnostics.h"
#include "EntityDescription.h"
#include "ObjectContext.h"
#include "ObjectGraphValues.h"
#include "PersistentStore.h"
#include "ReadTransaction.h"
#include "StoreCoordinator.h"

#include <map>
#include <tuple>

namespace Persistence {

using ObjectGraphValues::objectIn;
using ObjectGraphValues::refersTo;

namespace {

// Objects of one store and entity family to load together, by key.
struct Batch
{
    QVector<qint64> keys;
    QHash<qint64, ManagedObject*> objects;

    void add(qint64 key, ManagedObject* object)
    {
        if (!objects.contains(key)) {
            keys.append(key);
            objects.insert(key, object);
        }
    }
};

using BatchKey = std::pair<PersistentStore*, const EntityDescription*>;

// Appends the objects not seen before, in their order.
void appendNew(ObjectList* list, QSet<ManagedObject*>* seen, const ObjectList& objects)
{
    for (ManagedObject* object : objects) {
        if (object && !seen->contains(object)) {
            seen->insert(object);
            list->append(object);
        }
    }
}

} // namespace

bool ObjectContext::prefetch(const ObjectList& objects, const QStringList& keyPaths, StoreError* error)
{
    if (objects.isEmpty() || keyPaths.isEmpty()) {
        return true;
    }
    ReadTransaction transaction(this);
    for (const QString& keyPath : keyPaths) {
        ObjectList level = objects;
        for (const QString& name : keyPath.split(u'.')) {
            ObjectList next;
            if (!fulfillAll(level, error) || !prefetchStep(level, name, &next, error)) {
                return false;
            }
            level = std::move(next);
            if (level.isEmpty()) {
                break;
            }
        }
    }
    return true;
}

bool ObjectContext::fulfillAll(const ObjectList& objects, StoreError* error)
{
    std::map<BatchKey, Batch> batches;
    for (ManagedObject* object : objects) {
        if (object && object->m_context == this && object->m_fault
            && object->m_state == ManagedObject::State::Registered) {
            if (PersistentStore* store = storeFor(object->m_id)) {
                batches[{store, object->m_entity->root()}].add(object->m_id.key(), object);
            }
        }
    }
    for (auto& [where, batch] : batches) {
        QVector<StoreRow> rows;
        {
            QMutexLocker locker(&m_coordinator->mutex());
            if (!where.first->loadRows(where.second, batch.keys, &rows, error)) {
                return false;
            }
        }
        for (StoreRow& row : rows) {
            ManagedObject* object = batch.objects.take(row.id.key());
            if (object && object->m_fault) {
                applyRow(object, std::move(row), true);
            }
        }
        // Objects the store no longer has: fulfill() says so and lets them go.
        for (ManagedObject* object : std::as_const(batch.objects)) {
            fulfill(object);
        }
    }
    return true;
}

bool ObjectContext::prefetchStep(const ObjectList& objects, const QString& name, ObjectList* next, StoreError* error)
{
    ObjectList toOne;
    ObjectList toMany;
    ObjectList binary;
    bool known = false;
    for (ManagedObject* object : objects) {
        if (!object || object->m_context != this || !object->isValid()) {
            continue;
        }
        const EntityDescription* entity = object->m_entity;
        if (const RelationshipDescription* relationship = entity->relationship(name)) {
            (relationship->toMany ? toMany : toOne).append(object);
            known = true;
        } else if (const AttributeDescription* attribute = entity->attribute(name)) {
            if (attribute->type == AttributeType::Binary) {
                binary.append(object);
            }
            known = true;
        }
    }
    if (!known && !objects.isEmpty()) {
        diagnostic(QStringLiteral("Cannot prefetch \"%1\": the objects have no such property").arg(name));
    }
    ObjectList targets;
    if (!prefetchToOne(toOne, name, &targets, error) || !prefetchToMany(toMany, name, &targets, error)
        || !prefetchBinary(binary, name, error)) {
        return false;
    }
    QSet<ManagedObject*> seen;
    appendNew(next, &seen, targets);
    return true;
}

bool ObjectContext::prefetchToOne(const ObjectList& objects, const QString& name, ObjectList* next, StoreError* error)
{
    // Targets that are neither registered nor loaded yet come from one query per family.
    std::map<BatchKey, Batch> batches;
    for (ManagedObject* object : objects) {
        const QVariant& value = object->m_values[object->m_entity->propertyIndex(name)];
        if (objectIn(value) || value.metaType() != QMetaType::fromType<ObjectID>()) {
            continue;
        }
        const ObjectID id = localID(value.value<ObjectID>());
        const ManagedObject* registered = id.isNull() ? nullptr : registeredObject(id);
        if (!id.isNull() && (!registered || registered->m_fault)) {
            batches[{storeFor(id), id.entity()->root()}].add(id.key(), nullptr);
        }
    }
    for (auto& [where, batch] : batches) {
        QVector<StoreRow> rows;
        {
            QMutexLocker locker(&m_coordinator->mutex());
            if (!where.first->loadRows(where.second, batch.keys, &rows, error)) {
                return false;
            }
        }
        for (StoreRow& row : rows) {
            materialize(std::move(row));
        }
    }
    // Every target is registered now (or gone from the store, which resolving reports as usual).
    for (ManagedObject* object : objects) {
        if (ManagedObject* target = resolveToOne(object, object->m_entity->propertyIndex(name))) {
            next->append(target);
        }
    }
    return true;
}

QHash<ManagedObject*, ObjectList> ObjectContext::pendingMembers(const RelationshipDescription* relationship) const
{
    // Unsaved links of this context count as much as stored ones (as in toManyList()).
    QHash<ManagedObject*, ObjectList> owners;
    const auto collect = [&](const QSet<ManagedObject*>& pending) {
        for (ManagedObject* member : pending) {
            if (!member->m_entity->isKindOf(relationship->destination)) {
                continue;
            }
            const int inverse = member->m_entity->propertyIndex(relationship->inverseName);
            if (!member->m_dirty.testBit(inverse)) {
                continue;
            }
            const QVariant& value = member->m_values[inverse];
            ManagedObject* owner = objectIn(value);
            if (!owner && value.metaType() == QMetaType::fromType<ObjectID>()) {
                owner = registeredObject(value.value<ObjectID>());
            }
            if (owner) {
                owners[owner].append(member);
            }
        }
    };
    collect(m_inserted);
    collect(m_updated);
    return owners;
}

bool ObjectContext::prefetchToMany(const ObjectList& objects, const QString& name, ObjectList* next, StoreError* error)
{
    // Owners whose lists are not loaded, by store and the relationship's destination and inverse
    // (sub-entities share their parent's relationships).
    using GroupKey = std::tuple<PersistentStore*, const EntityDescription*, QString>;
    struct Group
    {
        const RelationshipDescription* relationship = nullptr;
        Batch owners;
    };
    std::map<GroupKey, Group> groups;
    for (ManagedObject* object : objects) {
        const RelationshipDescription* relationship = object->m_entity->relationship(name);
        PersistentStore* store = storeFor(object->m_id);
        if (object->m_state != ManagedObject::State::Registered || object->m_fault
            || object->m_loaded.testBit(relationship->index) || !store || relationship->inverseName.isEmpty()) {
            if (object->m_loaded.testBit(relationship->index)) {
                next->append(object->m_toMany.value(relationship->index));
            }
            continue;
        }
        Group& group = groups[{store, relationship->destination, relationship->inverseName}];
        group.relationship = relationship;
        group.owners.add(object->m_id.key(), object);
    }
    for (auto& [where, group] : groups) {
        const auto& [store, destination, inverseName] = where;
        QVector<StoreRow> rows;
        {
            QMutexLocker locker(&m_coordinator->mutex());
            if (!store->fetchRelated(destination, inverseName, group.owners.keys, &rows, error)) {
                return false;
            }
        }
        QHash<qint64, ObjectList> stored;
        for (StoreRow& row : rows) {
            const qint64 ownerKey
                = row.values.value(row.id.entity()->propertyIndex(inverseName)).value<ObjectID>().key();
            stored[ownerKey].append(materialize(std::move(row)));
        }
        const QHash<ManagedObject*, ObjectList> pending = pendingMembers(group.relationship);
        for (ManagedObject* owner : std::as_const(group.owners.objects)) {
            ObjectList list;
            for (ManagedObject* member : stored.value(owner->m_id.key())) {
                const int inverse = member->m_entity->propertyIndex(inverseName);
                if (member->isValid() && !member->isDeleted() && refersTo(member->m_values[inverse], owner)) {
                    list.append(member);
                }
            }
            for (ManagedObject* member : pending.value(owner)) {
                if (!list.contains(member)) {
                    list.append(member);
                }
            }
            const int index = owner->m_entity->propertyIndex(name);
            owner->m_loaded.setBit(index);
            owner->m_toMany[index] = list;
            next->append(list);
        }
    }
    return true;
}

bool ObjectContext::prefetchBinary(const ObjectList& objects, const QString& name, StoreError* error)
{
    std::map<BatchKey, Batch> batches;
    for (ManagedObject* object : objects) {
        if (object->m_state == ManagedObject::State::Registered && !object->m_fault
            && !object->m_loaded.testBit(object->m_entity->propertyIndex(name))) {
            if (PersistentStore* store = storeFor(object->m_id)) {
                batches[{store, object->m_entity->root()}].add(object->m_id.key(), object);
            }
        }
    }
    for (auto& [where, batch] : batches) {
        QHash<qint64, QVariant> values;
        {
            QMutexLocker locker(&m_coordinator->mutex());
            if (!where.first->loadValues(where.second, name, batch.keys, &values, error)) {
                return false;
            }
        }
        for (auto it = batch.objects.cbegin(); it != batch.objects.cend(); ++it) {
            ManagedObject* object = it.value();
            const int index = object->m_entity->propertyIndex(name);
            object->m_values[index] = values.value(it.key());
            object->m_loaded.setBit(index);
        }
    }
    return true;
}

} // namespace Persistence
