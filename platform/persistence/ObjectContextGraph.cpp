// The object graph of a context: loading objects and their values, and changing values and
// relationships with their inverses.
#include "AttributeValue.h"
#include "Diagnostics.h"
#include "EntityDescription.h"
#include "ObjectContext.h"
#include "ObjectGraphValues.h"
#include "ObjectModel.h"
#include "PersistentStore.h"
#include "StoreCoordinator.h"
#include "UndoManager.h"

#include <utility>

namespace Persistence {

using ObjectGraphValues::objectIn;
using ObjectGraphValues::refersTo;

PersistentStore* ObjectContext::storeFor(const ObjectID& id) const
{
    if (id.isNull() || id.isTemporary()) {
        return nullptr;
    }
    return m_coordinator->storeForIdentifier(id.storeIdentifier());
}

ManagedObject* ObjectContext::registeredObject(const ObjectID& id) const
{
    if (id.isTemporary()) {
        return id.entity() ? m_newRegistry.value(id.key()) : nullptr;
    }
    return m_registry.value(id);
}

ObjectID ObjectContext::objectIDForURI(const QString& uri) const
{
    return m_coordinator->objectIDForURI(uri);
}

ObjectID ObjectContext::localID(const ObjectID& id) const
{
    if (id.isNull() || id.isTemporary() || !storeFor(id)) {
        return {};
    }
    // Identifiers made with another copy of the model name entities by name.
    const EntityDescription* entity = model().entity(id.entity()->name());
    if (!entity) {
        return {};
    }
    return entity == id.entity() ? id : ObjectID::permanent(entity, id.storeIdentifier(), id.key());
}

ManagedObject* ObjectContext::objectWithID(const ObjectID& id)
{
    if (ManagedObject* object = registeredObject(id)) {
        return object;
    }
    const ObjectID local = localID(id);
    return local.isNull() ? nullptr : objectForStoredID(local);
}

ManagedObject* ObjectContext::existingObjectWithID(const ObjectID& id, StoreError* error)
{
    ManagedObject* object = objectWithID(id);
    if (!object) {
        setError(error, StoreError::Code::ObjectNotFound,
                 QStringLiteral("There is no object %1 in this context.").arg(id.uriString()));
        return nullptr;
    }
    fulfill(object);
    if (!object->isValid()) {
        setError(error, StoreError::Code::ObjectNotFound,
                 QStringLiteral("The object %1 no longer exists.").arg(id.uriString()));
        return nullptr;
    }
    return object;
}

ManagedObject* ObjectContext::objectForStoredID(const ObjectID& id)
{
    if (ManagedObject* object = registeredObject(id)) {
        return object;
    }
    if (id.entity()->subentities().isEmpty()) {
        return registerObject(model().instantiate(id.entity()), id); // a placeholder, loaded on first use
    }
    // The stored key names the family only; the row tells which entity the object has.
    PersistentStore* store = storeFor(id);
    std::optional<StoreRow> row;
    StoreError error;
    bool ok = false;
    if (store) {
        QMutexLocker locker(&m_coordinator->mutex());
        ok = store->loadRow(id, &row, &error);
    }
    if (!ok || !row) {
        diagnostic(QStringLiteral("The object %1 cannot be loaded: %2")
                       .arg(id.uriString(), ok ? QStringLiteral("it no longer exists") : error.toString()));
        return nullptr;
    }
    return materialize(std::move(*row));
}

ManagedObject* ObjectContext::materialize(StoreRow&& row)
{
    ManagedObject* object = registeredObject(row.id);
    if (!object) {
        // A new object takes the row's values as they are (binary values and to-many lists are
        // not in rows: they load on first use).
        object = registerObject(model().instantiate(row.id.entity()), row.id);
        if (row.values.size() == object->m_values.size()) {
            object->m_values = std::move(row.values);
            object->m_fault = false;
            return object;
        }
    }
    if (object->m_fault && object->m_state == ManagedObject::State::Registered) {
        applyRow(object, row, false);
    }
    return object;
}

void ObjectContext::applyRow(ManagedObject* object, const StoreRow& row, bool dropToMany)
{
    object->m_fault = false;
    const EntityDescription* entity = object->m_entity;
    for (const auto& attribute : entity->attributes()) {
        if (object->m_dirty.testBit(attribute.index)) {
            continue;
        }
        if (attribute.type == AttributeType::Binary) {
            object->m_values[attribute.index] = QVariant();
            object->m_loaded.clearBit(attribute.index);
        } else {
            object->m_values[attribute.index] = row.values.value(attribute.index);
        }
    }
    for (const auto& relationship : entity->relationships()) {
        if (relationship.toMany) {
            if (dropToMany) {
                object->m_loaded.clearBit(relationship.index);
                object->m_toMany.remove(relationship.index);
            }
        } else if (!object->m_dirty.testBit(relationship.index)) {
            object->m_values[relationship.index] = row.values.value(relationship.index);
        }
    }
}

void ObjectContext::applyRow(ManagedObject* object, StoreRow&& row, bool dropToMany)
{
    if (object->m_dirty.any() || row.values.size() != object->m_values.size()) {
        applyRow(object, std::as_const(row), dropToMany);
        return;
    }
    // Rows leave binary values and to-many slots empty, as applyRow() sets them.
    object->m_values = std::move(row.values);
    object->m_fault = false;
    for (const auto& attribute : object->m_entity->attributes()) {
        if (attribute.type == AttributeType::Binary) {
            object->m_loaded.clearBit(attribute.index);
        }
    }
    for (const auto& relationship : object->m_entity->relationships()) {
        if (relationship.toMany && dropToMany) {
            object->m_loaded.clearBit(relationship.index);
            object->m_toMany.remove(relationship.index);
        }
    }
}

void ObjectContext::fulfill(ManagedObject* object)
{
    if (!object->m_fault || object->m_state != ManagedObject::State::Registered) {
        return;
    }
    PersistentStore* store = storeFor(object->m_id);
    std::optional<StoreRow> row;
    StoreError error;
    bool ok = false;
    if (store) {
        QMutexLocker locker(&m_coordinator->mutex());
        ok = store->loadRow(object->m_id, &row, &error);
    }
    if (ok && row) {
        applyRow(object, std::move(*row), true);
        return;
    }
    diagnostic(QStringLiteral("The object %1 cannot be loaded: %2")
                   .arg(object->m_id.uriString(), ok ? QStringLiteral("it no longer exists") : error.toString()));
    object->m_fault = false; // answers empty values from now on
    if (ok) {
        retire(object);
    }
}

QVariant ObjectContext::readAttribute(ManagedObject* object, int index)
{
    fulfill(object);
    const AttributeDescription* attribute = object->m_entity->attributeAt(index);
    if (attribute->type == AttributeType::Binary && !object->m_loaded.testBit(index)
        && object->m_state != ManagedObject::State::Inserted) {
        QVariant value;
        StoreError error;
        bool ok = false;
        if (PersistentStore* store = storeFor(object->m_id)) {
            QMutexLocker locker(&m_coordinator->mutex());
            ok = store->loadValue(object->m_id, index, &value, &error);
        }
        if (!ok) {
            diagnostic(QStringLiteral("The value %1 of %2 cannot be loaded: %3")
                           .arg(attribute->name, object->m_id.uriString(), error.toString()));
        }
        object->m_values[index] = value;
        object->m_loaded.setBit(index);
    }
    return object->m_values[index];
}

ManagedObject* ObjectContext::resolveToOne(ManagedObject* object, int index)
{
    fulfill(object);
    QVariant& value = object->m_values[index];
    if (ManagedObject* target = objectIn(value)) {
        return target;
    }
    if (value.metaType() != QMetaType::fromType<ObjectID>()) {
        return nullptr;
    }
    ManagedObject* target = objectForStoredID(value.value<ObjectID>());
    value = target ? QVariant::fromValue(target) : QVariant();
    return target;
}

const ObjectList& ObjectContext::toManyList(ManagedObject* object, int index)
{
    fulfill(object);
    if (object->m_loaded.testBit(index)) {
        return object->m_toMany[index];
    }
    const RelationshipDescription* relationship = object->m_entity->relationshipAt(index);
    ObjectList list;
    QVector<StoreRow> rows;
    if (PersistentStore* store = storeFor(object->m_id)) {
        StoreError error;
        QMutexLocker locker(&m_coordinator->mutex());
        if (!store->fetchRelated(relationship->destination, relationship->inverseName, {object->m_id.key()}, &rows,
                                 &error)) {
            diagnostic(QStringLiteral("The objects %1 of %2 cannot be loaded: %3")
                           .arg(relationship->name, object->m_id.uriString(), error.toString()));
        }
    }
    for (StoreRow& row : rows) {
        ManagedObject* member = materialize(std::move(row));
        const int inverse = member->m_entity->propertyIndex(relationship->inverseName);
        if (member->isValid() && !member->isDeleted() && refersTo(member->m_values[inverse], object)) {
            list.append(member);
        }
    }
    // Unsaved links of this context count as much as stored ones.
    const auto addPending = [&](const QSet<ManagedObject*>& pending) {
        for (ManagedObject* member : pending) {
            if (!member->m_entity->isKindOf(relationship->destination)) {
                continue;
            }
            const int inverse = member->m_entity->propertyIndex(relationship->inverseName);
            if (member->m_dirty.testBit(inverse) && refersTo(member->m_values[inverse], object)
                && !list.contains(member)) {
                list.append(member);
            }
        }
    };
    addPending(m_inserted);
    addPending(m_updated);
    object->m_loaded.setBit(index);
    return object->m_toMany[index] = list;
}

void ObjectContext::unloadInverseLists(ManagedObject* object)
{
    for (const auto& relationship : object->m_entity->relationships()) {
        if (relationship.toMany || relationship.inverseName.isEmpty()) {
            continue;
        }
        const QVariant& value = object->m_values[relationship.index];
        ManagedObject* target = objectIn(value);
        if (!target && value.metaType() == QMetaType::fromType<ObjectID>()) {
            target = registeredObject(value.value<ObjectID>());
        }
        if (target) {
            const int inverse = target->m_entity->propertyIndex(relationship.inverseName);
            if (target->m_entity->relationshipAt(inverse)->toMany) {
                target->m_loaded.clearBit(inverse);
                target->m_toMany.remove(inverse);
            }
        }
    }
}

bool ObjectContext::writeAttribute(ManagedObject* object, int index, const QVariant& value)
{
    const AttributeDescription* attribute = object->m_entity->attributeAt(index);
    if (object->m_state == ManagedObject::State::Invalid) {
        diagnostic(QStringLiteral("Cannot change %1 of %2: the object is no longer in its context")
                       .arg(attribute->name, object->m_id.uriString()));
        return false;
    }
    auto coerced = AttributeValue::coerce(attribute->type, value);
    if (!coerced) {
        diagnostic(QStringLiteral("Cannot set %1.%2 (%3) to a value of type %4")
                       .arg(object->m_entity->name(), attribute->name, attributeTypeName(attribute->type),
                            QString::fromLatin1(value.typeName())));
        return false;
    }
    const bool recording = m_undo && m_undo->isRegistrationEnabled();
    // A binary value not read yet is loaded only when undo needs the old value.
    if (recording && attribute->type == AttributeType::Binary) {
        readAttribute(object, index);
    } else {
        fulfill(object);
    }
    QVariant& slot = object->m_values[index];
    if (object->m_loaded.testBit(index) || attribute->type != AttributeType::Binary) {
        if (slot == *coerced && slot.metaType() == coerced->metaType()) {
            return true;
        }
    }
    UndoGroup group(this);
    QVariant old = std::exchange(slot, std::move(*coerced));
    object->m_loaded.setBit(index);
    object->m_dirty.setBit(index);
    markUpdated(object);
    if (recording) {
        registerUndo([this, object, index, old = std::move(old)] { writeAttribute(object, index, old); });
    }
    return true;
}

void ObjectContext::setRawToOne(ManagedObject* object, int index, ManagedObject* target)
{
    object->m_values[index] = target ? QVariant::fromValue(target) : QVariant();
    object->m_dirty.setBit(index);
    markUpdated(object);
}

bool ObjectContext::writeToOne(ManagedObject* object, int index, ManagedObject* target)
{
    const RelationshipDescription* relationship = object->m_entity->relationshipAt(index);
    if (object->m_state == ManagedObject::State::Invalid
        || (target
            && (target->m_context != this || !target->isValid()
                || !target->m_entity->isKindOf(relationship->destination)))) {
        diagnostic(QStringLiteral("Cannot set %1.%2 of %3 to that object")
                       .arg(object->m_entity->name(), relationship->name, object->m_id.uriString()));
        return false;
    }
    ManagedObject* old = resolveToOne(object, index);
    if (old == target) {
        return true;
    }
    UndoGroup group(this);
    const QString& inverseName = relationship->inverseName;
    if (target && !inverseName.isEmpty()) {
        const int inverse = target->m_entity->propertyIndex(inverseName);
        if (!target->m_entity->relationshipAt(inverse)->toMany) {
            // One to one: the target leaves whatever object it belonged to.
            ManagedObject* previousOwner = resolveToOne(target, inverse);
            if (previousOwner && previousOwner != object) {
                writeToOne(previousOwner, previousOwner->m_entity->propertyIndex(relationship->name), nullptr);
            }
        }
    }
    setRawToOne(object, index, target);
    registerUndo([this, object, index, old] { writeToOne(object, index, old); });
    if (inverseName.isEmpty()) {
        return true;
    }
    if (old) {
        const int inverse = old->m_entity->propertyIndex(inverseName);
        if (old->m_entity->relationshipAt(inverse)->toMany) {
            if (old->m_loaded.testBit(inverse)) {
                old->m_toMany[inverse].removeAll(object);
            }
            markUpdated(old);
        } else {
            setRawToOne(old, inverse, nullptr);
        }
    }
    if (target) {
        const int inverse = target->m_entity->propertyIndex(inverseName);
        if (target->m_entity->relationshipAt(inverse)->toMany) {
            if (target->m_loaded.testBit(inverse) && !target->m_toMany[inverse].contains(object)) {
                target->m_toMany[inverse].append(object);
            }
            markUpdated(target);
        } else {
            setRawToOne(target, inverse, object);
        }
    }
    return true;
}

void ObjectContext::unlinkAll(ManagedObject* object, bool applyRules)
{
    for (const auto& relationship : object->m_entity->relationships()) {
        if (applyRules && relationship.deleteRule == DeleteRule::Deny) {
            continue; // checked when saving
        }
        const ObjectList targets = relationship.toMany ? toManyList(object, relationship.index)
                                                       : ObjectList {resolveToOne(object, relationship.index)};
        for (ManagedObject* target : targets) {
            if (!target) {
                continue;
            }
            if (applyRules && relationship.deleteRule == DeleteRule::Cascade) {
                deleteObject(target);
            }
            if (relationship.toMany) {
                const int inverse = target->m_entity->propertyIndex(relationship.inverseName);
                if (resolveToOne(target, inverse) == object) {
                    writeToOne(target, inverse, nullptr);
                }
            } else {
                writeToOne(object, relationship.index, nullptr);
            }
        }
    }
}

} // namespace Persistence
