#pragma once

#include "ManagedObject.h"

namespace Persistence {

// How a context keeps a to-one value: the target once resolved, its ObjectID while only the
// stored key is known, or null.
namespace ObjectGraphValues {

inline ManagedObject* objectIn(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<ManagedObject*>() ? value.value<ManagedObject*>() : nullptr;
}

inline bool refersTo(const QVariant& value, const ManagedObject* target)
{
    if (const ManagedObject* object = objectIn(value)) {
        return object == target;
    }
    return value.metaType() == QMetaType::fromType<ObjectID>() && value.value<ObjectID>() == target->objectID();
}

} // namespace ObjectGraphValues

} // namespace Persistence
