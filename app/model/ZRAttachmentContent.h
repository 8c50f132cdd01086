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

    // Copies a content record; one of an older version that kept the bytes in the record
    // ("contentData", no uuid) writes them to this record's file. The bytes themselves are never
    // copied as a value.
    bool copyFromManagedObject(Persistence::ManagedObject* source, ReferenceMap& reference) override;
};
