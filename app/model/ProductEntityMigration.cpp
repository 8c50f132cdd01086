#include "IconEntity.h"
#include "ProductEntity.h"
#include "core/ImageUtilities.h"
#include "core/Log.h"
#include "persistence/EntityDescription.h"
#include "persistence/ObjectContext.h"

#include <QBuffer>
#include <QImage>

namespace {

const QString LegacyIconKey = QStringLiteral("icon");
constexpr int IconSide = 512;

// The image as the icon files of the library hold it: 512 x 512 TIFF.
QByteArray iconFileBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    const QImage scaled = zr_imageScaledToSize(image, QSize(IconSide, IconSide));
    if (!scaled.save(&buffer, "TIFF")) {
        bytes.clear();
    }
    return bytes;
}

} // namespace

bool ProductEntity::copyFromManagedObject(Persistence::ManagedObject* source, ReferenceMap& reference)
{
    const bool legacyIcon = source && source->entity() && source->entity()->attribute(LegacyIconKey);
    if (!legacyIcon) {
        return ZRManagedObject::copyFromManagedObject(source, reference);
    }
    if (!copyAttributesFromManagedObject(source, {LegacyIconKey})
        || !copyRelationshipsFromManagedObject(source, reference)) {
        return false;
    }
    const QByteArray bytes = source->primitiveValue(LegacyIconKey).toByteArray();
    if (!bytes.isEmpty() && !storeMigratedIcon(bytes)) {
        Log::write(QStringLiteral("The icon of \"%1\" is no image and was not migrated.").arg(title()));
    }
    reference.insert(source->objectID().uriString(), this);
    return true;
}

bool ProductEntity::storeMigratedIcon(const QByteArray& imageBytes)
{
    const QImage image = QImage::fromData(imageBytes);
    if (image.isNull()) {
        return false;
    }
    QByteArray bytes = iconFileBytes(image);
    if (bytes.isEmpty()) {
        bytes = imageBytes;
    }
    IconEntity* icon = nullptr;
    {
        Persistence::ContextLocker locker(context());
        icon = context()->insert<IconEntity>(QStringLiteral("Icon"));
    }
    if (!icon) {
        return false;
    }
    QString error;
    if (!icon->writeContentData(bytes, &error)) {
        Log::write(QStringLiteral("Error writing migrated icon to path:%1. Error: %2").arg(icon->filePath(), error));
        context()->deleteObject(icon);
        return false;
    }
    return setAppIcon(icon);
}

QVariant ProductEntity::exportValueForKeyPath(const QString& keyPath) const
{
    if (keyPath == u"commentsString" && !hasProperty(keyPath)) {
        const QByteArray notes = comments();
        if (notes.isEmpty()) {
            return {};
        }
        return QString::fromUtf8(notes);
    }
    return ZRManagedObject::exportValueForKeyPath(keyPath);
}
