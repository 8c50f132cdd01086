#include "KMSyncOperation.h"

#include "base/FileWriting.h"
#include "base/ImageUtilities.h"
#include "base/Log.h"
#include "model/AttachmentEntity.h"
#include "model/IconEntity.h"
#include "model/ProductEntity.h"
#include "model/ZRCoreDataFactory.h"
#include "model/ZRExternalFile.h"
#include "persistence/ObjectContext.h"
#include "plist/PropertyList.h"
#include "report/ProductCommentsText.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTimeZone>
#include <QUuid>

using namespace Persistence;

namespace {

const QStringList SyncFolderComponents
    = {QStringLiteral("Private"), QStringLiteral("Keymoor"), QStringLiteral("MobileSync")};
const QString IconsFolderName = QStringLiteral("Icons");
const QString SyncFileName = QStringLiteral("sync.plist");
constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

void insertText(QVariantMap& entry, const QString& key, const QString& value)
{
    if (!value.isEmpty()) {
        entry.insert(key, value);
    }
}

void insertDay(QVariantMap& entry, const QString& key, const QDate& day)
{
    if (day.isValid()) {
        entry.insert(key, QDateTime(day, QTime(12, 0), QTimeZone::utc()));
    }
}

void insertCount(QVariantMap& entry, const QString& key, std::optional<int> count)
{
    if (count) {
        entry.insert(key, qint64(*count));
    }
}

// The licence's fields, each only when set. Readers of older versions pass over keys they do not
// know, so these are added beside the old keys and change none of them.
void insertLicence(QVariantMap& entry, const ProductEntity& product)
{
    insertText(entry, QStringLiteral("licenseType"), product.licenseType());
    insertDay(entry, QStringLiteral("expiryDate"), product.expiryDate());
    insertDay(entry, QStringLiteral("renewalDate"), product.renewalDate());
    insertCount(entry, QStringLiteral("renewalPeriodMonths"), product.renewalPeriodMonths());
    if (const auto price = product.renewalPrice(); price && !product.purchaseCurrency().isEmpty()) {
        entry.insert(QStringLiteral("renewalPrice"), product.purchaseCurrency() + price->toString());
    }
    insertCount(entry, QStringLiteral("seats"), product.seats());
    insertCount(entry, QStringLiteral("remindDaysBefore"), product.remindDaysBefore());
    if (product.isArchived()) {
        entry.insert(QStringLiteral("archived"), true);
    }
}

// Creates each missing folder of the chain in turn, readable by the owner only.
bool makeFolders(const QString& base, const QStringList& components, QString* error)
{
    QString path = base;
    for (const QString& component : components) {
        path = QDir(path).filePath(component);
        const QFileInfo info(path);
        if (info.isDir()) {
            continue;
        }
        if (info.exists() || info.isSymLink()) {
            *error = QStringLiteral("%1 exists and is not a folder").arg(path);
            return false;
        }
        if (!QDir().mkdir(path, OwnerOnly)) {
            *error = QStringLiteral("%1 could not be created").arg(path);
            return false;
        }
    }
    return true;
}

} // namespace

KMSyncOperation::KMSyncOperation(const QString& syncPath, std::shared_ptr<StoreCoordinator> coordinator)
    : m_syncPath(syncPath)
    , m_coordinator(std::move(coordinator))
{ }

KMSyncOperation::~KMSyncOperation() = default;

QString KMSyncOperation::syncPath() const
{
    QMutexLocker locker(&m_mutex);
    return m_syncPath;
}

void KMSyncOperation::setSyncPath(const QString& path)
{
    QMutexLocker locker(&m_mutex);
    m_syncPath = path;
}

std::shared_ptr<StoreCoordinator> KMSyncOperation::persistentStoreCoordinator() const
{
    QMutexLocker locker(&m_mutex);
    return m_coordinator;
}

void KMSyncOperation::setPersistentStoreCoordinator(std::shared_ptr<StoreCoordinator> coordinator)
{
    QMutexLocker locker(&m_mutex);
    m_coordinator = std::move(coordinator);
}

QString KMSyncOperation::mobileSyncFolder() const
{
    const QString path = syncPath();
    return path.isEmpty() ? QString() : QDir(path).filePath(SyncFolderComponents.join(QLatin1Char('/')));
}

QString KMSyncOperation::mobileSyncIconsFolder() const
{
    const QString folder = mobileSyncFolder();
    return folder.isEmpty() ? QString() : QDir(folder).filePath(IconsFolderName);
}

bool KMSyncOperation::createSyncFolderIfNeeded()
{
    const QString path = syncPath();
    QString error;
    if (!QFileInfo(path).isDir()) {
        error = QStringLiteral("the folder does not exist");
    } else if (makeFolders(path, SyncFolderComponents + QStringList {IconsFolderName}, &error)) {
        return true;
    }
    Log::write(QStringLiteral("Error creating sync folder:%1 error:%2").arg(mobileSyncIconsFolder(), error));
    return false;
}

std::unique_ptr<ObjectContext> KMSyncOperation::newManagedObjectContext() const
{
    std::shared_ptr<StoreCoordinator> coordinator = persistentStoreCoordinator();
    if (!coordinator) {
        return nullptr;
    }
    std::unique_ptr<ObjectContext> context
        = ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(std::move(coordinator));
    if (context) {
        context->setUndoEnabled(false);
    }
    return context;
}

QVariantMap KMSyncOperation::configuredSyncDictionary() const
{
    QVariantMap dictionary;
    dictionary.insert(QStringLiteral("syncID"), QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper());
    dictionary.insert(QStringLiteral("date"), m_clock ? m_clock() : QDateTime::currentDateTimeUtc());
    dictionary.insert(QStringLiteral("version"), QStringLiteral("1"));
    return dictionary;
}

QString KMSyncOperation::purchasePriceText(const ProductEntity& product)
{
    const std::optional<Decimal> price = product.purchasePrice();
    const QString currency = product.purchaseCurrency();
    if (!price || currency.isEmpty()) {
        return {};
    }
    // The price as stored, with its decimals and without grouping: a whole-number rounding would
    // show $30 on the phone for a $29.95 purchase.
    return currency + price->toString();
}

QVariantMap KMSyncOperation::dictionaryForProduct(const ProductEntity& product) const
{
    QVariantMap entry;
    insertText(entry, QStringLiteral("title"), product.title());
    insertText(entry, QStringLiteral("uuid"), product.uuid());
    insertText(entry, QStringLiteral("version"), product.productVersion());
    insertText(entry, QStringLiteral("bundleIdentifier"), product.bundleIdentifier());
    insertText(entry, QStringLiteral("comments"), productCommentsString(product));
    insertText(entry, QStringLiteral("supportEmail"), product.productEmail());
    insertText(entry, QStringLiteral("website"), product.productWebsite());
    insertText(entry, QStringLiteral("publisher"), product.publisher());
    if (const QDateTime date = product.purchaseDate(); date.isValid()) {
        entry.insert(QStringLiteral("purchaseDate"), date.toUTC());
    }
    insertText(entry, QStringLiteral("purchaseOrderNumber"), product.purchaseOrderNumber());
    insertText(entry, QStringLiteral("registeredCompany"), product.registeredCompany());
    insertText(entry, QStringLiteral("registeredName"), product.registeredName());
    insertText(entry, QStringLiteral("registeredEmail"), product.registeredEmail());
    insertText(entry, QStringLiteral("serialNumber"), product.serialNumber());
    if (const IconEntity* icon = product.appIcon()) {
        insertText(entry, QStringLiteral("iconUUID"), icon->uuid());
    }
    insertText(entry, QStringLiteral("purchasePrice"), purchasePriceText(product));
    entry.insert(QStringLiteral("attachmentCount"), qint64(product.attachedFiles().size()));
    insertLicence(entry, product);
    return entry;
}

bool KMSyncOperation::exportProductIcon(const ProductEntity& product, const QSize& /*size*/,
                                        const QString& folder) const
{
    const IconEntity* icon = product.appIcon();
    if (!icon) {
        return false;
    }
    const QImage image = QImage::fromData(icon->contentData());
    if (image.isNull()) {
        return false;
    }
    const QString uuid = icon->uuid();
    if (folder.isEmpty() || !ZRExternalFile::isSafeFileName(uuid)) {
        Log::write(QStringLiteral("ERROR exporting scaled icon for iPhone. Missing export path."));
        return false;
    }
    const QByteArray png
        = zr_dataForPNGRepresentation(zr_imageScaledToSize(image, QSize(IconSize, IconSize), ImageInterpolation::High));
    QString error;
    if (png.isEmpty()) {
        error = QStringLiteral("the icon could not be encoded as PNG");
    } else if (FileWriting::writeData(png, QDir(folder).filePath(uuid + QStringLiteral(".png")), &error)) {
        return true;
    }
    Log::write(QStringLiteral("ERROR exporting scaled icon for iPhone:%1").arg(error));
    return false;
}

bool KMSyncOperation::exportSync()
{
    if (syncPath().isEmpty()) {
        return false;
    }
    // A missing or unusable folder is a failure the person must hear about: usually the cloud
    // storage is not installed or the preference names a folder that is gone.
    if (!createSyncFolderIfNeeded()) {
        return false;
    }
    QVariantMap dictionary = configuredSyncDictionary();
    bool fetched = false;
    {
        std::unique_ptr<ObjectContext> context = newManagedObjectContext();
        StoreError fetchError;
        // The icons and notes of every product are read: loaded for all of them at once.
        FetchRequest request(QStringLiteral("Product"));
        request.relationshipKeyPathsForPrefetching = {QStringLiteral("appIcon"), QStringLiteral("comments")};
        const std::optional<ObjectList> objects = context ? context->execute(request, &fetchError) : std::nullopt;
        if (objects) {
            fetched = true;
            const QString iconsFolder = mobileSyncIconsFolder();
            QVariantList products;
            for (ManagedObject* object : *objects) {
                if (const auto* product = dynamic_cast<const ProductEntity*>(object)) {
                    exportProductIcon(*product, QSize(IconSize, IconSize), iconsFolder);
                    products.append(dictionaryForProduct(*product));
                }
            }
            dictionary.insert(QStringLiteral("products"), products);
        } else {
            Log::write(QStringLiteral("Error fetching products for sync: %1")
                           .arg(context ? fetchError.toString() : QStringLiteral("no store")));
        }
    }
    const QString path = QDir(mobileSyncFolder()).filePath(SyncFileName);
    const QByteArray bytes = PropertyList::toData(dictionary, PropertyList::Format::Xml);
    if (bytes.isEmpty() || !FileWriting::writeData(bytes, path)) {
        Log::write(QStringLiteral("Error saving sync file:%1").arg(path));
        return false;
    }
    return fetched;
}
