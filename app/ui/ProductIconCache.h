#pragma once

#include <QCache>
#include <QIcon>
#include <QString>

#include <functional>

class ProductEntity;

// The small icons of the products list, made on demand for the rows the list paints and kept in a
// cache of bounded size (least recently used go first). An icon file is read only when a row asks
// for its icon and it is not cached; rows never shown cost nothing. Icon records are never
// rewritten (a new icon is a new record), so an icon stays valid under its record's UUID.
class ProductIconCache
{
public:
    // Reads the bytes of a product's icon file; the seam for counting what is read.
    using Loader = std::function<QByteArray(const ProductEntity*)>;

    static constexpr int IconSize = 32;
    static constexpr int DefaultCapacity = 500;

    explicit ProductIconCache(int capacity = DefaultCapacity);

    // The product's icon, or a null icon when it has none or its file is no image.
    QIcon icon(const ProductEntity* product);

    void setLoader(Loader loader) { m_loader = std::move(loader); }
    int capacity() const { return m_icons.maxCost(); }
    int cachedCount() const { return m_icons.count(); }

private:
    QCache<QString, QIcon> m_icons; // by icon record UUID
    Loader m_loader;
};
