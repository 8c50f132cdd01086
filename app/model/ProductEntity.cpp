#include "ProductEntity.h"

#include "AttachedEmail.h"
#include "AttachmentEntity.h"
#include "IconEntity.h"
#include "core/Log.h"
#include "email/ZREmailParser.h"
#include "persistence/ObjectContext.h"

#include <QFileInfo>

std::optional<Persistence::Decimal> ProductEntity::purchasePrice() const
{
    const QVariant price = value(QStringLiteral("purchasePrice"));
    if (price.metaType() != QMetaType::fromType<Persistence::Decimal>()) {
        return std::nullopt;
    }
    return price.value<Persistence::Decimal>();
}

bool ProductEntity::setPurchasePrice(const std::optional<Persistence::Decimal>& price)
{
    return setValue(QStringLiteral("purchasePrice"), price ? QVariant::fromValue(*price) : QVariant());
}

QList<AttachmentEntity*> ProductEntity::attachedFiles() const
{
    QList<AttachmentEntity*> files;
    for (Persistence::ManagedObject* object : toMany(QStringLiteral("attachedFiles"))) {
        if (auto* file = dynamic_cast<AttachmentEntity*>(object)) {
            files.append(file);
        }
    }
    return files;
}

bool ProductEntity::addAttachedFile(AttachmentEntity* file)
{
    return addToMany(QStringLiteral("attachedFiles"), file);
}

bool ProductEntity::removeAttachedFile(AttachmentEntity* file)
{
    return removeFromMany(QStringLiteral("attachedFiles"), file);
}

IconEntity* ProductEntity::appIcon() const
{
    return dynamic_cast<IconEntity*>(toOne(QStringLiteral("appIcon")));
}

bool ProductEntity::setAppIcon(IconEntity* icon)
{
    return setToOne(QStringLiteral("appIcon"), icon);
}

void ProductEntity::awakeFromInsert()
{
    ZRManagedObject::awakeFromInsert();
    if (hasProperty(QStringLiteral("uuid"))) {
        setPrimitiveValue(QStringLiteral("uuid"), newUUIDString());
    }
    setPrimitiveValue(QStringLiteral("purchaseDate"), QDateTime::currentDateTimeUtc());
}

AttachmentEntity* ProductEntity::attachDocument(const QString& path)
{
    // "''" is the empty file-type marker that heads lists of promised files; it names no file.
    if (path.isEmpty() || QFileInfo(path).fileName() == u"''") {
        return nullptr;
    }
    Persistence::ContextLocker locker(context());
    AttachmentEntity* attachment = ZREmailParser::isEmailArchive(path)
        ? AttachedEmail::insertAttachmentForFile(path, context())
        : AttachmentEntity::insertAttachmentForFile(path, context());
    if (attachment) {
        attachment->setProduct(this);
    }
    return attachment;
}

QList<AttachmentEntity*> ProductEntity::attachDocuments(const QStringList& paths)
{
    QList<AttachmentEntity*> attached;
    if (paths.isEmpty()) {
        Log::write(QStringLiteral("Error attaching documents.  No filepaths specified."));
        return attached;
    }
    for (const QString& path : paths) {
        if (AttachmentEntity* attachment = attachDocument(path)) {
            attached.append(attachment);
        }
    }
    return attached;
}
