#include "IconEntity.h"

#include "ProductEntity.h"
#include "base/LibraryPaths.h"

ProductEntity* IconEntity::product() const
{
    return dynamic_cast<ProductEntity*>(toOne(QStringLiteral("product")));
}

bool IconEntity::setProduct(ProductEntity* product)
{
    return setToOne(QStringLiteral("product"), product);
}

QString IconEntity::filePath() const
{
    return storedFilePath(LibraryPaths::iconsPath(), "Missing icons path", "Missing icon UUID");
}
