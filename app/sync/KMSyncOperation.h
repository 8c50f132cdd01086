#pragma once

#include <QDateTime>
#include <QMutex>
#include <QSize>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>

class ProductEntity;

namespace Persistence {
class ObjectContext;
class StoreCoordinator;
} // namespace Persistence

// Writes the folder the phone companion reads, inside the person's cloud-storage folder:
//
//   <sync path>/Private/Keymoor/MobileSync/sync.plist      every product, as an XML property list
//   <sync path>/Private/Keymoor/MobileSync/Icons/<UUID>.png each product icon at 256 by 256
//
// Each export replaces "sync.plist" whole (atomically) with a new "syncID". Icons of products that
// no longer exist are left in place. The folders Keymoor creates are readable by the owner only,
// and so is every file it writes: they hold licence keys.
class KMSyncOperation
{
public:
    static constexpr int IconSize = 256;

    KMSyncOperation(const QString& syncPath, std::shared_ptr<Persistence::StoreCoordinator> coordinator);
    ~KMSyncOperation();
    KMSyncOperation(const KMSyncOperation&) = delete;
    KMSyncOperation& operator=(const KMSyncOperation&) = delete;

    QString syncPath() const;
    void setSyncPath(const QString& path);
    std::shared_ptr<Persistence::StoreCoordinator> persistentStoreCoordinator() const;
    void setPersistentStoreCoordinator(std::shared_ptr<Persistence::StoreCoordinator> coordinator);

    // Writes the sync folder. False when there is no sync path, the path is not an existing folder,
    // the sync folder cannot be created in it, the products cannot be read or "sync.plist" cannot
    // be written; the reason is logged. A failed icon is logged and does not stop the export.
    bool exportSync();

    // The top-level dictionary without "products": "syncID", "date", "version".
    QVariantMap configuredSyncDictionary() const;
    // One product's entry; keys whose value is empty are left out.
    QVariantMap dictionaryForProduct(const ProductEntity& product) const;
    // The currency symbol directly followed by the price with its decimals ("$29.95"); empty
    // unless the product has both.
    static QString purchasePriceText(const ProductEntity& product);
    // Writes "<icon UUID>.png" into `folder`: the icon stretched to 256 by 256 (the size argument is
    // not used). False when the product has no icon image or the file cannot be written.
    bool exportProductIcon(const ProductEntity& product, const QSize& size, const QString& folder) const;

    QString mobileSyncFolder() const;
    QString mobileSyncIconsFolder() const;
    // Makes sure the icons folder, and so the sync folder, exists below the sync path.
    bool createSyncFolderIfNeeded();
    // A new private context on the store coordinator with undo registration off; the caller owns it.
    std::unique_ptr<Persistence::ObjectContext> newManagedObjectContext() const;

    // The time written as "date"; tests give a fixed one. Default: now.
    void setClock(std::function<QDateTime()> clock) { m_clock = std::move(clock); }

private:
    mutable QMutex m_mutex;
    QString m_syncPath;
    std::shared_ptr<Persistence::StoreCoordinator> m_coordinator;
    std::function<QDateTime()> m_clock;
};
