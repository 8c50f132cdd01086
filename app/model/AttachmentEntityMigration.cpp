#include "AttachmentEntity.h"
#include "base/Log.h"
#include "persistence/EntityDescription.h"

namespace {
const QString LegacyContentKey = QStringLiteral("content");
}

bool AttachmentEntity::copyFromManagedObject(Persistence::ManagedObject* source, ReferenceMap& reference)
{
    const auto* entity = source && source->entity() ? source->entity() : nullptr;
    if (!entity || !entity->attribute(LegacyContentKey)) {
        return ZRManagedObject::copyFromManagedObject(source, reference);
    }
    if (!copyAttributesFromManagedObject(source, {LegacyContentKey})
        || !copyRelationshipsFromManagedObject(source, reference)) {
        return false;
    }
    const QVariant bytes = source->primitiveValue(LegacyContentKey);
    if (!bytes.isNull() && !insertNewAttachmentContentWithData(bytes.toByteArray())) {
        Log::write(QStringLiteral("Error migrating attachment to new storage file!"));
    }
    reference.insert(source->objectID().uriString(), this);
    return true;
}
