#pragma once

#include "ZRExternalFile.h"

class AttachmentEntity;

// The stored bytes of one attached file ("AttachmentContent").
class ZRAttachmentContent : public ZRExternalFile
{
public:
    AttachmentEntity* attachment() const;
    bool setAttachment(AttachmentEntity* attachment);
};
