#include "ProductIconCache.h"

#include "model/IconEntity.h"
#include "model/ProductEntity.h"

#include <QImage>
#include <QPixmap>

ProductIconCache::ProductIconCache(int capacity)
    : m_icons(capacity)
    , m_loader([](const ProductEntity* product) { return product->externalIcon(); })
{ }

QIcon ProductIconCache::icon(const ProductEntity* product)
{
    const IconEntity* record = product ? product->appIcon() : nullptr;
    if (!record) {
        return {};
    }
    const QString key = record->uuid();
    if (const QIcon* cached = m_icons.object(key)) {
        return *cached;
    }
    QImage image;
    image.loadFromData(m_loader(product));
    auto* icon = new QIcon(image.isNull() ? QIcon()
                                          : QIcon(QPixmap::fromImage(image.scaled(
                                              IconSize, IconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation))));
    const QIcon result = *icon;
    m_icons.insert(key, icon);
    return result;
}
