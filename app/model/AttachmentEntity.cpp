#include "AttachmentEntity.h"

#include "ProductEntity.h"
#include "ZRAttachmentContent.h"

ProductEntity* AttachmentEntity::product() const
{
    return dynamic_cast<ProductEntity*>(toOne(QStringLiteral("product")));
}

bool AttachmentEntity::setProduct(ProductEntity* product)
{
    return setToOne(QStringLiteral("product"), product);
}

ZRAttachmentContent* AttachmentEntity::content() const
{
    return dynamic_cast<ZRAttachmentContent*>(toOne(QStringLiteral("content")));
}

bool AttachmentEntity::setContent(ZRAttachmentContent* content)
{
    return setToOne(QStringLiteral("content"), content);
}

QVariant AttachmentEntity::valueForUndefinedKey(const QString&) const
{
    return {};
}
