#include "ProductEntity.h"
#include "base/Log.h"
#include "persistence/EntityDescription.h"
#include "persistence/ObjectContext.h"

namespace {

const QString LegacyIconKey = QStringLiteral("icon");

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
    // Icons kept inside records by older versions become icon files like any other icon.
    return !imageBytes.isEmpty() && setExternalIcon(imageBytes);
}

QVariant ProductEntity::exportValueForKeyPath(const QString& keyPath) const
{
    if (keyPath == u"commentsString" && !hasProperty(keyPath)) {
        const QString notes = commentsString();
        return notes.isEmpty() ? QVariant() : QVariant(notes);
    }
    // The licence's dates are days: exported as the day, never shifted by the local time zone.
    if (keyPath == u"expiryDate" || keyPath == u"renewalDate") {
        const QDate day = keyPath == u"expiryDate" ? expiryDate() : renewalDate();
        return day.isValid() ? QVariant(day) : QVariant();
    }
    return ZRManagedObject::exportValueForKeyPath(keyPath);
}
