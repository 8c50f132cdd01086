#include "ZRAttachmentContent.h"

#include "AttachmentEntity.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "persistence/EntityDescription.h"

AttachmentEntity* ZRAttachmentContent::attachment() const
{
    return dynamic_cast<AttachmentEntity*>(toOne(QStringLiteral("attachment")));
}

bool ZRAttachmentContent::setAttachment(AttachmentEntity* attachment)
{
    return setToOne(QStringLiteral("attachment"), attachment);
}

QString ZRAttachmentContent::filePath() const
{
    return storedFilePath(LibraryPaths::attachmentsPath(), "Missing attachments folder", "Missing attachment UUID");
}

bool ZRAttachmentContent::copyFromManagedObject(Persistence::ManagedObject* source, ReferenceMap& reference)
{
    const QString bytesKey = QStringLiteral("contentData");
    if (!copyAttributesFromManagedObject(source, {bytesKey})
        || !copyRelationshipsFromManagedObject(source, reference)) {
        return false;
    }
    if (!source->entity()->attribute(QStringLiteral("uuid"))) {
        // The bytes were kept in the record; this record's new UUID names their file now.
        const QString path = filePath();
        Log::write(QStringLiteral("Writing migrated attachment content to file:%1").arg(path));
        QString error;
        if (!writeContentData(source->primitiveValue(bytesKey).toByteArray(), &error)) {
            Log::write(
                QStringLiteral("Error writing migrated attachment content to file:%1. Error: %2").arg(path, error));
        }
    }
    reference.insert(source->objectID().uriString(), this);
    return true;
}
