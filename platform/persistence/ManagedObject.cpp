#include "ManagedObject.h"

#include "Diagnostics.h"
#include "EntityDescription.h"
#include "ObjectContext.h"

namespace Persistence {

ManagedObject::ManagedObject() = default;

ManagedObject::~ManagedObject() = default;

QString ManagedObject::entityName() const
{
    return m_entity ? m_entity->name() : QString();
}

QStringList ManagedObject::changedKeys() const
{
    QStringList keys;
    for (int index = 0; index < m_dirty.size(); ++index) {
        if (m_dirty.testBit(index)) {
            const auto* attribute = m_entity->attributeAt(index);
            keys.append(attribute ? attribute->name : m_entity->relationshipAt(index)->name);
        }
    }
    return keys;
}

bool ManagedObject::hasProperty(const QString& key) const
{
    return m_entity && m_entity->propertyIndex(key) >= 0;
}

QVariant ManagedObject::value(const QString& key) const
{
    const int index = m_entity ? m_entity->propertyIndex(key) : -1;
    if (index < 0) {
        return valueForUndefinedKey(key);
    }
    return valueAt(index);
}

bool ManagedObject::setValue(const QString& key, const QVariant& value)
{
    const int index = m_entity ? m_entity->propertyIndex(key) : -1;
    if (index < 0 || !m_context) {
        return setValueForUndefinedKey(key, value);
    }
    return setValueAt(index, value);
}

QVariant ManagedObject::valueForKeyPath(const QString& keyPath) const
{
    if (!keyPath.contains(u'.')) {
        return value(keyPath);
    }
    return valueForKeyPath(keyPath.split(u'.'));
}

QVariant ManagedObject::valueForKeyPath(const QStringList& keyPath) const
{
    const ManagedObject* object = this;
    for (qsizetype i = 0; i < keyPath.size(); ++i) {
        const QVariant result = object->value(keyPath[i]);
        if (i == keyPath.size() - 1) {
            return result;
        }
        if (result.metaType() != QMetaType::fromType<ManagedObject*>()) {
            return {};
        }
        object = result.value<ManagedObject*>();
        if (!object) {
            return {};
        }
    }
    return {};
}

QVariant ManagedObject::primitiveValue(const QString& key) const
{
    const int index = m_entity ? m_entity->propertyIndex(key) : -1;
    return index < 0 ? QVariant() : valueAt(index);
}

QVariant ManagedObject::primitiveValue(int index) const
{
    return m_entity && index >= 0 && index < m_entity->propertyCount() ? valueAt(index) : QVariant();
}

QVariant ManagedObject::valueAt(int index) const
{
    if (!m_context) {
        return {};
    }
    auto* self = const_cast<ManagedObject*>(this);
    if (const RelationshipDescription* relationship = m_entity->relationshipAt(index)) {
        if (relationship->toMany) {
            return QVariant::fromValue(m_context->toManyList(self, index));
        }
        return QVariant::fromValue(m_context->resolveToOne(self, index));
    }
    return m_context->readAttribute(self, index);
}

bool ManagedObject::setPrimitiveValue(const QString& key, const QVariant& value)
{
    const int index = m_entity ? m_entity->propertyIndex(key) : -1;
    if (index < 0 || !m_context) {
        return setValueForUndefinedKey(key, value);
    }
    return setValueAt(index, value);
}

bool ManagedObject::setPrimitiveValue(int index, const QVariant& value)
{
    if (!m_entity || index < 0 || index >= m_entity->propertyCount() || !m_context) {
        diagnostic(QStringLiteral("%1 has no property %2 to set").arg(entityName()).arg(index));
        return false;
    }
    return setValueAt(index, value);
}

bool ManagedObject::setValueAt(int index, const QVariant& value)
{
    if (const RelationshipDescription* relationship = m_entity->relationshipAt(index)) {
        if (!relationship->toMany) {
            if (value.isValid() && !value.isNull() && value.metaType() != QMetaType::fromType<ManagedObject*>()) {
                diagnostic(QStringLiteral("%1.%2 takes an object").arg(m_entity->name(), relationship->name));
                return false;
            }
            return m_context->writeToOne(this, index, value.isValid() ? value.value<ManagedObject*>() : nullptr);
        }
        // A whole to-many set: members leave or join so that the relationship holds exactly these.
        const ObjectList wanted = value.value<ObjectList>();
        const ObjectList current = m_context->toManyList(this, index);
        ObjectContext::UndoGroup group(m_context);
        bool ok = true;
        for (ManagedObject* member : current) {
            if (!wanted.contains(member)) {
                ok = removeFromMany(relationship->name, member) && ok;
            }
        }
        for (ManagedObject* member : wanted) {
            ok = addToMany(relationship->name, member) && ok;
        }
        return ok;
    }
    return m_context->writeAttribute(this, index, value);
}

ManagedObject* ManagedObject::toOne(const QString& key) const
{
    return value(key).value<ManagedObject*>();
}

QList<ManagedObject*> ManagedObject::toMany(const QString& key) const
{
    return value(key).value<ObjectList>();
}

bool ManagedObject::setToOne(const QString& key, ManagedObject* target)
{
    return setValue(key, QVariant::fromValue(target));
}

bool ManagedObject::addToMany(const QString& key, ManagedObject* target)
{
    const RelationshipDescription* relationship = m_entity ? m_entity->relationship(key) : nullptr;
    if (!relationship || !relationship->toMany || !target || !m_context || target->m_context != m_context
        || !target->m_entity->isKindOf(relationship->destination)) {
        diagnostic(QStringLiteral("Cannot add that object to %1.%2").arg(entityName(), key));
        return false;
    }
    return m_context->writeToOne(target, target->m_entity->propertyIndex(relationship->inverseName), this);
}

bool ManagedObject::removeFromMany(const QString& key, ManagedObject* target)
{
    const RelationshipDescription* relationship = m_entity ? m_entity->relationship(key) : nullptr;
    if (!relationship || !relationship->toMany || !target || !m_context || target->m_context != m_context) {
        return false;
    }
    const int inverse = target->m_entity->propertyIndex(relationship->inverseName);
    if (inverse < 0 || m_context->resolveToOne(target, inverse) != this) {
        return true; // not a member
    }
    return m_context->writeToOne(target, inverse, nullptr);
}

void ManagedObject::awakeFromInsert()
{
    // The model's defaults are of their attribute's type already, and undoing the insertion takes
    // them away with the object: they go straight in.
    for (const auto& attribute : m_entity->attributes()) {
        if (attribute.defaultValue.isValid()) {
            m_values[attribute.index] = attribute.defaultValue;
            m_loaded.setBit(attribute.index);
            m_dirty.setBit(attribute.index);
        }
    }
}

QVariant ManagedObject::valueForUndefinedKey(const QString& key) const
{
    diagnostic(QStringLiteral("%1 has no key \"%2\"").arg(entityName(), key));
    return {};
}

bool ManagedObject::setValueForUndefinedKey(const QString& key, const QVariant&)
{
    diagnostic(QStringLiteral("%1 has no key \"%2\" to set").arg(entityName(), key));
    return false;
}

} // namespace Persistence
