#include "ObjectContext.h"

#include "Diagnostics.h"
#include "EntityDescription.h"
#include "ObjectModel.h"
#include "PersistentStore.h"
#include "StoreCoordinator.h"
#include "UndoManager.h"

namespace Persistence {

ObjectContext::ObjectContext(std::shared_ptr<StoreCoordinator> coordinator, QObject* parent)
    : QObject(parent)
    , m_coordinator(std::move(coordinator))
{
    static const int registered = qRegisterMetaType<Persistence::SaveNotice>("Persistence::SaveNotice");
    Q_UNUSED(registered)
    Q_ASSERT(m_coordinator);
}

ObjectContext::~ObjectContext()
{
    // Undo actions refer to objects; drop them before the objects go.
    m_undo.reset();
    m_inserted.clear();
    m_updated.clear();
    m_deleted.clear();
    m_registry.clear();
    m_newRegistry.clear();
    m_owned.clear();
}

const ObjectModel& ObjectContext::model() const
{
    return *m_coordinator->model();
}

ManagedObject* ObjectContext::registerObject(std::unique_ptr<ManagedObject> object, const ObjectID& id)
{
    ManagedObject* raw = object.get();
    raw->m_context = this;
    raw->m_entity = id.entity();
    raw->m_id = id;
    raw->m_sequence = ++m_sequence;
    const int count = id.entity()->propertyCount();
    raw->m_values.resize(count);
    raw->m_loaded.resize(count);
    raw->m_dirty.resize(count);
    registerID(id, raw);
    m_owned.push_back(std::move(object));
    return raw;
}

void ObjectContext::registerID(const ObjectID& id, ManagedObject* object)
{
    if (id.isTemporary()) {
        m_newRegistry.insert(id.key(), object);
    } else {
        m_registry.insert(id, object);
    }
}

void ObjectContext::unregisterID(ManagedObject* object)
{
    const ObjectID& id = object->m_id;
    if (id.isTemporary()) {
        const auto it = m_newRegistry.find(id.key());
        if (it != m_newRegistry.end() && it.value() == object) {
            m_newRegistry.erase(it);
        }
        return;
    }
    const auto it = m_registry.find(id);
    if (it != m_registry.end() && it.value() == object) {
        m_registry.erase(it);
    }
}

void ObjectContext::retire(ManagedObject* object)
{
    m_inserted.remove(object);
    m_updated.remove(object);
    m_deleted.remove(object);
    m_assignedStores.remove(object);
    object->m_updated = false;
    object->m_state = ManagedObject::State::Invalid;
    unregisterID(object);
}

void ObjectContext::revive(ManagedObject* object, const ObjectID& id)
{
    object->m_id = id;
    registerID(id, object);
}

void ObjectContext::refault(ManagedObject* object)
{
    object->m_fault = true;
    object->m_values.fill(QVariant());
    object->m_loaded.fill(false);
    object->m_dirty.fill(false);
    object->m_toMany.clear();
    object->m_updated = false;
    m_updated.remove(object);
}

void ObjectContext::markUpdated(ManagedObject* object)
{
    if (object->m_state == ManagedObject::State::Registered && !object->m_updated) {
        object->m_updated = true;
        m_updated.insert(object);
    }
}

void ObjectContext::registerUndo(std::function<void()> action)
{
    if (m_undo && m_undo->isRegistrationEnabled()) {
        m_undo->registerAction(std::move(action));
    }
}

void ObjectContext::setUndoEnabled(bool enabled)
{
    if (enabled && !m_undo) {
        m_undo = std::make_unique<UndoManager>();
    } else if (!enabled) {
        m_undo.reset();
    }
}

void ObjectContext::undo()
{
    if (m_undo) {
        m_undo->undo();
    }
}

void ObjectContext::redo()
{
    if (m_undo) {
        m_undo->redo();
    }
}

ManagedObject* ObjectContext::insertObject(const QString& entityName)
{
    const EntityDescription* entity = model().entity(entityName);
    if (!entity || entity->isAbstract()) {
        diagnostic(QStringLiteral("Cannot insert an object of the entity \"%1\": %2")
                       .arg(entityName, entity ? QStringLiteral("it is abstract") : QStringLiteral("no such entity")));
        return nullptr;
    }
    UndoGroup group(this);
    ManagedObject* object = registerObject(model().instantiate(entity), ObjectID::temporary(entity));
    object->m_state = ManagedObject::State::Inserted;
    object->m_fault = false;
    object->m_loaded.fill(true);
    m_inserted.insert(object);
    registerUndo([this, object] { unInsert(object); });
    object->awakeFromInsert();
    return object;
}

bool ObjectContext::assignObjectToStore(ManagedObject* object, PersistentStore* store)
{
    if (!object || object->m_context != this || !object->isInserted() || !store) {
        return false;
    }
    for (PersistentStore* candidate : m_coordinator->stores()) {
        if (candidate == store) {
            m_assignedStores.insert(object, store);
            return true;
        }
    }
    return false;
}

void ObjectContext::unInsert(ManagedObject* object)
{
    if (object->m_state == ManagedObject::State::Registered) {
        deleteObject(object); // undoing an insertion that was saved meanwhile
        return;
    }
    if (object->m_state != ManagedObject::State::Inserted) {
        return;
    }
    UndoGroup group(this);
    unlinkAll(object, false);
    retire(object);
    registerUndo([this, object] { reInsert(object); });
}

void ObjectContext::reInsert(ManagedObject* object)
{
    if (object->m_state != ManagedObject::State::Invalid || object->m_deletionSaved) {
        return;
    }
    revive(object, object->m_id);
    object->m_state = ManagedObject::State::Inserted;
    m_inserted.insert(object);
    registerUndo([this, object] { unInsert(object); });
}

void ObjectContext::deleteObject(ManagedObject* object)
{
    if (!object || object->m_context != this || object->m_deleting || object->m_state == ManagedObject::State::Deleted
        || object->m_state == ManagedObject::State::Invalid) {
        return;
    }
    UndoGroup group(this);
    fulfill(object);
    if (m_undo && m_undo->isRegistrationEnabled()) {
        // Undo restores every value, so the ones still in the store are read now.
        for (const auto& attribute : object->m_entity->attributes()) {
            readAttribute(object, attribute.index);
        }
    }
    object->m_deleting = true;
    unlinkAll(object, true);
    object->m_deleting = false;
    markDeleted(object);
}

void ObjectContext::markDeleted(ManagedObject* object)
{
    object->m_wasInserted = object->m_state == ManagedObject::State::Inserted;
    m_inserted.remove(object);
    m_updated.remove(object);
    object->m_updated = false;
    object->m_state = ManagedObject::State::Deleted;
    m_deleted.insert(object);
    registerUndo([this, object] { unDelete(object); });
}

void ObjectContext::unDelete(ManagedObject* object)
{
    if (object->m_state == ManagedObject::State::Deleted) {
        m_deleted.remove(object);
        if (object->m_wasInserted) {
            object->m_state = ManagedObject::State::Inserted;
            m_inserted.insert(object);
        } else {
            object->m_state = ManagedObject::State::Registered;
            object->m_updated = true; // its relationships are re-linked by the rest of the undo step
            m_updated.insert(object);
        }
    } else if (object->m_state == ManagedObject::State::Invalid && object->m_deletionSaved) {
        // The deletion was saved: the object comes back as a new one with all its values.
        object->m_deletionSaved = false;
        revive(object, ObjectID::temporary(object->m_entity));
        object->m_state = ManagedObject::State::Inserted;
        object->m_fault = false;
        object->m_loaded.fill(true);
        object->m_dirty.fill(true);
        object->m_toMany.clear();
        m_inserted.insert(object);
    } else {
        return;
    }
    registerUndo([this, object] {
        if (object->m_state != ManagedObject::State::Deleted) {
            markDeleted(object);
        }
    });
}

bool ObjectContext::hasChanges() const
{
    return !m_inserted.isEmpty() || !m_updated.isEmpty() || !m_deleted.isEmpty();
}

namespace {

// Objects in the order they were registered.
template<typename Sequence>
ObjectList ordered(const QSet<ManagedObject*>& set, Sequence sequence)
{
    ObjectList list(set.cbegin(), set.cend());
    std::sort(list.begin(), list.end(), [&](ManagedObject* a, ManagedObject* b) { return sequence(a) < sequence(b); });
    return list;
}

} // namespace

ObjectList ObjectContext::insertedObjects() const
{
    return ordered(m_inserted, [](ManagedObject* o) { return o->m_sequence; });
}

ObjectList ObjectContext::updatedObjects() const
{
    return ordered(m_updated, [](ManagedObject* o) { return o->m_sequence; });
}

ObjectList ObjectContext::deletedObjects() const
{
    ObjectList list = ordered(m_deleted, [](ManagedObject* o) { return o->m_sequence; });
    list.removeIf([](ManagedObject* o) { return o->m_wasInserted; });
    return list;
}

void ObjectContext::rollback()
{
    const QSet<ManagedObject*> inserted = m_inserted;
    const QSet<ManagedObject*> deleted = m_deleted;
    const QSet<ManagedObject*> updated = m_updated;
    for (ManagedObject* object : inserted) {
        retire(object);
    }
    for (ManagedObject* object : deleted) {
        if (object->m_wasInserted) {
            retire(object);
        } else {
            object->m_state = ManagedObject::State::Registered;
            m_deleted.remove(object);
            refault(object);
        }
    }
    for (ManagedObject* object : updated) {
        refault(object);
    }
    if (m_undo) {
        m_undo->removeAllActions();
    }
}

void ObjectContext::reset()
{
    if (m_undo) {
        m_undo->removeAllActions();
    }
    m_inserted.clear();
    m_updated.clear();
    m_deleted.clear();
    m_assignedStores.clear();
    m_registry.clear();
    m_newRegistry.clear();
    m_owned.clear();
}

void ObjectContext::refreshObject(ManagedObject* object, bool mergeChanges)
{
    if (!object || object->m_context != this || object->m_state != ManagedObject::State::Registered
        || object->m_fault) {
        return;
    }
    const bool dirty = object->m_dirty.any();
    if (!mergeChanges) {
        if (dirty) {
            // Objects whose to-many lists followed the unsaved links rebuild them from the store.
            unloadInverseLists(object);
            refault(object);
            fulfill(object);
            unloadInverseLists(object);
        }
        refault(object);
        return;
    }
    PersistentStore* store = storeFor(object->m_id);
    std::optional<StoreRow> row;
    StoreError error;
    bool loaded = false;
    if (store) {
        QMutexLocker locker(&m_coordinator->mutex());
        loaded = store->loadRow(object->m_id, &row, &error);
    }
    if (!loaded) {
        diagnostic(QStringLiteral("Refreshing %1 failed: %2").arg(object->m_id.uriString(), error.toString()));
        return;
    }
    if (!row) {
        if (!dirty) {
            retire(object); // deleted by another context
        }
        return;
    }
    applyRow(object, *row, true);
}

void ObjectContext::mergeChangesFromSaveNotice(const SaveNotice& notice)
{
    const auto registered = [this](const ObjectID& id) {
        const ObjectID local = localID(id);
        return local.isNull() ? nullptr : registeredObject(local);
    };
    for (const ObjectID& id : notice.deleted) {
        if (ManagedObject* object = registered(id)) {
            unloadInverseLists(object);
            retire(object);
        }
    }
    for (const ObjectID& id : notice.updated) {
        if (ManagedObject* object = registered(id)) {
            if (!object->m_fault) {
                refreshObject(object, true);
            }
        }
    }
    emit didMerge(notice);
}

} // namespace Persistence
