#pragma once

#include "ObjectID.h"
#include "PropertyBits.h"
#include "ToManyLists.h"

#include <QHash>
#include <QList>
#include <QVariant>
#include <QVector>

namespace Persistence {

class EntityDescription;
class ObjectContext;

// One object of an entity, owned by the context that registered it. Values are read and written
// by key: attributes as canonical values (see AttributeValue.h), to-one relationships as
// ManagedObject*, to-many relationships as ObjectList. Setting one side of a relationship sets
// its inverse. Entity classes derive from it, add typed accessors and may override value() and
// setValue() for derived keys and awakeFromInsert() for defaults.
//
// An object is valid while its context has it registered: after reset() of the context, or after
// the save that deleted it, it must no longer be used.
class ManagedObject
{
public:
    ManagedObject();
    virtual ~ManagedObject();
    ManagedObject(const ManagedObject&) = delete;
    ManagedObject& operator=(const ManagedObject&) = delete;

    const EntityDescription* entity() const { return m_entity; }
    QString entityName() const;
    ObjectContext* context() const { return m_context; }
    const ObjectID& objectID() const { return m_id; }

    bool isInserted() const { return m_state == State::Inserted; }
    bool isUpdated() const { return m_updated; }
    bool isDeleted() const { return m_state == State::Deleted; }
    bool isFault() const { return m_fault; }
    // False once the object has left its context (deleted and saved, rolled back, reset).
    bool isValid() const { return m_state != State::Invalid; }
    bool hasChanges() const { return isInserted() || isDeleted() || m_updated; }
    // Keys of attributes and to-one relationships changed since the last save.
    QStringList changedKeys() const;

    virtual QVariant value(const QString& key) const;
    virtual bool setValue(const QString& key, const QVariant& value);
    // Follows to-one relationships: "product.title". Null as soon as one step is null.
    QVariant valueForKeyPath(const QString& keyPath) const;
    QVariant valueForKeyPath(const QStringList& keyPath) const;

    // The stored property itself, past any override of value()/setValue(); changes are tracked
    // and undoable like any other.
    QVariant primitiveValue(const QString& key) const;
    // The same by the property's index in the entity (AttributeDescription::index), for callers
    // that read the same properties of many objects.
    QVariant primitiveValue(int index) const;
    bool setPrimitiveValue(const QString& key, const QVariant& value);
    bool setPrimitiveValue(int index, const QVariant& value);

    ManagedObject* toOne(const QString& key) const;
    QList<ManagedObject*> toMany(const QString& key) const;
    bool setToOne(const QString& key, ManagedObject* target);
    bool addToMany(const QString& key, ManagedObject* target);
    bool removeFromMany(const QString& key, ManagedObject* target);

    // Whether the entity has a stored property of that name.
    bool hasProperty(const QString& key) const;

protected:
    // Called once, right after the object is inserted into a context (not when fetched). The base
    // sets the model's default values.
    virtual void awakeFromInsert();
    // Answer for keys the entity does not have; the base logs the key and answers null.
    virtual QVariant valueForUndefinedKey(const QString& key) const;
    // The base logs the key and answers false.
    virtual bool setValueForUndefinedKey(const QString& key, const QVariant& value);

private:
    friend class ObjectContext;
    QVariant valueAt(int index) const;
    bool setValueAt(int index, const QVariant& value);

    enum class State : quint8 { Registered, Inserted, Deleted, Invalid };

    ObjectContext* m_context = nullptr;
    const EntityDescription* m_entity = nullptr;
    ObjectID m_id;
    State m_state = State::Registered;
    bool m_fault = true;
    bool m_updated = false;
    bool m_wasInserted = false; // deleted before it was ever saved
    bool m_deleting = false; // delete rules are being applied
    bool m_deletionSaved = false; // left the context because a save deleted it
    quint64 m_sequence = 0; // registration order, for a stable order of pending objects
    // Attributes and to-one relationships by property index. To-one values are ManagedObject*
    // once resolved, an ObjectID while only the stored key is known, or null.
    QVector<QVariant> m_values;
    PropertyBits m_loaded; // binary attributes and to-many lists that are in memory
    PropertyBits m_dirty; // properties changed since the last save
    ToManyLists m_toMany;
};

using ObjectList = QList<ManagedObject*>;

} // namespace Persistence

Q_DECLARE_METATYPE(Persistence::ManagedObject*)
