#pragma once

#include "ZRExternalFile.h"

class AttachmentEntity;

// The stored bytes of one attached file ("AttachmentContent"), in Attachments/<uuid>.
class ZRAttachmentContent : public ZRExternalFile
{
public:
    AttachmentEntity* attachment() const;
    bool setAttachment(AttachmentEntity* attachment);

    QString filePath() const override;
};
