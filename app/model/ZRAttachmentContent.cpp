#include "ZRAttachmentContent.h"

#include "AttachmentEntity.h"
#include "core/LibraryPaths.h"

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
