#include "ZRManagedObject.h"

#include "base/Log.h"
#include "persistence/EntityDescription.h"

#include <QUuid>

using Persistence::ManagedObject;

QString ZRManagedObject::newUUIDString()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

bool ZRManagedObject::copyAttributesFromManagedObject(ManagedObject* source, const QSet<QString>& excluded)
{
    if (!source || !source->entity()) {
        return false;
    }
    for (const auto& attribute : source->entity()->attributes()) {
        if (excluded.contains(attribute.name)) {
            continue;
        }
        if (!entity()->attribute(attribute.name)) {
            Log::write(QStringLiteral("Attribute %1 of %2 has no place in %3 and is not copied.")
                           .arg(attribute.name, source->entityName(), entityName()));
            continue;
        }
        if (!setValue(attribute.name, source->primitiveValue(attribute.name))) {
            Log::write(QStringLiteral("Copying attribute %1 of %2 failed.").arg(attribute.name, source->entityName()));
            return false;
        }
    }
    return true;
}

bool ZRManagedObject::copyRelationshipsFromManagedObject(ManagedObject* source, ReferenceMap& reference)
{
    if (!source || !source->entity()) {
        return false;
    }
    for (const auto& relationship : source->entity()->relationships()) {
        const auto* mine = entity()->relationship(relationship.name);
        if (!mine || mine->toMany != relationship.toMany) {
            continue;
        }
        if (relationship.toMany) {
            for (ManagedObject* related : source->toMany(relationship.name)) {
                if (ManagedObject* copy = reference.value(related->objectID().uriString())) {
                    addToMany(relationship.name, copy);
                }
            }
        } else if (ManagedObject* related = source->toOne(relationship.name)) {
            if (ManagedObject* copy = reference.value(related->objectID().uriString())) {
                setToOne(relationship.name, copy);
            }
        }
    }
    return true;
}

bool ZRManagedObject::copyFromManagedObject(ManagedObject* source, ReferenceMap& reference)
{
    if (!copyAttributesFromManagedObject(source) || !copyRelationshipsFromManagedObject(source, reference)) {
        return false;
    }
    reference.insert(source->objectID().uriString(), this);
    return true;
}
