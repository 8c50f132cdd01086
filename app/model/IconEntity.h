#pragma once

#include "ZRExternalFile.h"

class ProductEntity;

// The icon image of one product ("Icon").
class IconEntity : public ZRExternalFile
{
public:
    ProductEntity* product() const;
    bool setProduct(ProductEntity* product);
};
