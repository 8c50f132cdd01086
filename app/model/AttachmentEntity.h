#pragma once

#include "ZRManagedObject.h"

class ProductEntity;
class ZRAttachmentContent;

// One file attached to a product ("AttachedFile").
class AttachmentEntity : public ZRManagedObject
{
public:
    QString name() const { return stringValue(QStringLiteral("name")); }
    bool setName(const QString& name) { return setValue(QStringLiteral("name"), name); }
    QDateTime date() const { return dateValue(QStringLiteral("date")); }
    bool setDate(const QDateTime& date) { return setValue(QStringLiteral("date"), date); }

    ProductEntity* product() const;
    bool setProduct(ProductEntity* product);
    ZRAttachmentContent* content() const;
    bool setContent(ZRAttachmentContent* content);

protected:
    // Views bind plain attached files to keys of e-mails too: unknown keys answer null quietly.
    QVariant valueForUndefinedKey(const QString& key) const override;
};
