#include "IconEntity.h"

#include "ProductEntity.h"

ProductEntity* IconEntity::product() const
{
    return dynamic_cast<ProductEntity*>(toOne(QStringLiteral("product")));
}

bool IconEntity::setProduct(ProductEntity* product)
{
    return setToOne(QStringLiteral("product"), product);
}
