#pragma once

#include "ZRExternalFile.h"

class ProductEntity;

// The icon image of one product ("Icon"), in Icons/<uuid>.
class IconEntity : public ZRExternalFile
{
public:
    ProductEntity* product() const;
    bool setProduct(ProductEntity* product);

    QString filePath() const override;
    // The path is always derived from the uuid; setting it is accepted and changes nothing.
    void setFilePath(const QString&) { }
};
