#include "ProductEntity.h"

#include "AttachmentEntity.h"
#include "IconEntity.h"

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
