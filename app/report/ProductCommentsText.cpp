#include "ProductCommentsText.h"

#include "model/ProductEntity.h"

QString productCommentsString(const ProductEntity& product)
{
    return product.commentsString();
}
