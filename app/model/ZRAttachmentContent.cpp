#include "ZRAttachmentContent.h"

#include "AttachmentEntity.h"

AttachmentEntity* ZRAttachmentContent::attachment() const
{
    return dynamic_cast<AttachmentEntity*>(toOne(QStringLiteral("attachment")));
}

bool ZRAttachmentContent::setAttachment(AttachmentEntity* attachment)
{
    return setToOne(QStringLiteral("attachment"), attachment);
}
