#include "maintenance/ObjectGraphCopier.h"

#include "ZRPersistenceTools.h"
#include "base/Log.h"
#include "maintenance/LegacyGraphCopier.h"
#include "maintenance/MigrationReporter.h"
#include "model/IconEntity.h"
#include "model/ProductEntity.h"
#include "model/ZRCurrencyManager.h"
#include "persistence/EntityDescription.h"
#include "persistence/ObjectContext.h"
#include "persistence/ObjectModel.h"

#include <QSet>

using namespace Persistence;

namespace {

// The log lines name the operation by the public name callers know it by.
const char* const Operation = "ZRDataMigrator::copyManagedObjectContext";

// The model version of the source: the model it was opened with, which the store's shape matched.
int sourceVersion(ObjectContext* source)
{
    return source->model().version();
}

QSet<QString> existingValues(ObjectContext* context, const QString& entity, const QString& key)
{
    QSet<QString> values;
    if (!context->model().entity(entity)) {
        return values;
    }
    if (const auto objects = ZR_fetchAllForEntityName(*context, entity)) {
        for (const ManagedObject* object : *objects) {
            values.insert(object->value(key).toString());
        }
    }
    return values;
}

// The file name a copied content or icon record gets: the fresh name its file was copied under.
// In a merge, a record whose file was not copied gets a name that names no file at all, so it shows
// as missing rather than pointing at the file of some other record of the library.
void applyMapping(ManagedObject* copy, const QHash<QString, QString>& mapping, bool merge)
{
    const QString key = QStringLiteral("uuid");
    const QString old = copy->value(key).toString();
    const auto found = mapping.constFind(old);
    if (found != mapping.constEnd()) {
        copy->setValue(key, found.value());
    } else if (merge) {
        copy->setValue(key, ZRManagedObject::newUUIDString());
        Log::write(QStringLiteral("The file %1 of a %2 was not imported; the record shows it as missing.")
                       .arg(old, copy->entityName()));
    }
}

} // namespace

QStringList ObjectGraphCopier::copiedKeyPaths(const ObjectContext& source, const QString& entity, bool withBinary)
{
    QStringList keyPaths;
    const EntityDescription* description = source.model().entity(entity);
    if (!description) {
        return keyPaths;
    }
    for (const auto& relationship : description->relationships()) {
        keyPaths.append(relationship.name);
    }
    for (const auto& attribute : description->attributes()) {
        if (withBinary && attribute.type == AttributeType::Binary) {
            keyPaths.append(attribute.name);
        }
    }
    return keyPaths;
}

ObjectGraphCopier::ObjectGraphCopier(MigrationReporter& reporter)
    : m_reporter(reporter)
{ }

bool ObjectGraphCopier::legacyCopyManagedObjectContext(ObjectContext* source, ObjectContext* destination)
{
    return LegacyGraphCopier(m_reporter, m_copyHook).copy(source, destination);
}

bool ObjectGraphCopier::copyManagedObjectContext(ObjectContext* source, ObjectContext* destination,
                                                 const ZRNameMappings& mappings)
{
    if (!source || !destination) {
        return false;
    }
    if (sourceVersion(source) <= 4) {
        return legacyCopyManagedObjectContext(source, destination);
    }
    const QStringList entities = source->model().entityNames();
    if (entities.isEmpty()) {
        Log::write(QStringLiteral("Failed to retrieve entity names dictionary for migration!"));
        return false;
    }
    m_reporter.resetProgressIndicatorWithMax(int(entities.size()));
    ZRManagedObject::ReferenceMap reference;
    for (const QString& entity : entities) {
        m_reporter.incrementProgressIndicator();
        if (!copyEntityObjects(source, destination, entity, mappings, reference)) {
            return false;
        }
    }
    return saveCopyDestination(destination);
}

bool ObjectGraphCopier::copyEntityObjects(ObjectContext* source, ObjectContext* destination, const QString& entity,
                                          const ZRNameMappings& mappings, ZRManagedObject::ReferenceMap& reference)
{
    StoreError error;
    const auto objects = ZR_fetchAllForEntityName(*source, entity, &error);
    if (!objects) {
        Log::write(QStringLiteral("%1: Error retrieving entity %2:%3")
                       .arg(QLatin1String(Operation), entity, error.toString()));
        return false;
    }
    source->prefetch(*objects, copiedKeyPaths(*source, entity)); // else each object loads on its own
    // A merge keeps what the catalogue has: products that bring a UUID the catalogue uses already
    // get a new one, and currencies it lists already are not listed twice.
    const bool isProduct = entity == u"Product";
    const bool isCurrency = entity == u"Currency";
    const QSet<QString> takenUuids
        = isProduct && mappings.active ? existingValues(destination, entity, QStringLiteral("uuid")) : QSet<QString>();
    const QSet<QString> listedCurrencies
        = isCurrency ? existingValues(destination, entity, QStringLiteral("currencySymbol")) : QSet<QString>();

    for (ManagedObject* object : *objects) {
        if (object->entityName() != entity) {
            continue; // objects of sub-entities are copied in their own turn
        }
        if (isCurrency && listedCurrencies.contains(object->value(QStringLiteral("currencySymbol")).toString())) {
            continue;
        }
        if (m_copyHook && !m_copyHook(object)) {
            Log::write(QStringLiteral("%1 %2: Exception Trapped: %3 -- %4")
                           .arg(QLatin1String(Operation))
                           .arg(__LINE__)
                           .arg(QStringLiteral("CopyFailure"), QStringLiteral("the copy of %1 failed").arg(entity)));
            return false;
        }
        auto* copy = dynamic_cast<ZRManagedObject*>(destination->insertObject(entity));
        if (!copy) {
            Log::write(QStringLiteral("%1 %2: Error! invalid entity encountered.")
                           .arg(QLatin1String(Operation))
                           .arg(__LINE__));
            return false;
        }
        if (!copy->copyFromManagedObject(object, reference)) {
            Log::write(
                QStringLiteral("%1 %2: Exception Trapped: %3 -- %4")
                    .arg(QLatin1String(Operation))
                    .arg(__LINE__)
                    .arg(QStringLiteral("CopyFailure"), QStringLiteral("a value of %1 was refused").arg(entity)));
            return false;
        }
        if (isProduct) {
            if (takenUuids.contains(copy->value(QStringLiteral("uuid")).toString())) {
                copy->setValue(QStringLiteral("uuid"), ZRManagedObject::newUUIDString());
            }
            m_reporter.incrementProgressProductCount();
        } else if (entity == u"AttachmentContent") {
            applyMapping(copy, mappings.attachments, mappings.active);
            m_reporter.incrementProgressAttachmentCount();
        } else if (entity == u"Icon") {
            applyMapping(copy, mappings.icons, mappings.active);
        } else if (isCurrency) {
            fillCurrencyCode(copy);
        }
    }
    return true;
}

void ObjectGraphCopier::fillCurrencyCode(ManagedObject* currency)
{
    // Currencies of older libraries carry no code: it is guessed once from the symbol ("$" is USD),
    // and a code the person set is kept.
    const QString code = currency->value(QStringLiteral("currencyCode")).toString();
    if (code.isEmpty() && currency->entity()->attribute(QStringLiteral("currencyCode"))) {
        const QString symbol = currency->value(QStringLiteral("currencySymbol")).toString();
        const QString guessed = ZRCurrencyManager::isoCodeForSymbol(symbol);
        if (!guessed.isEmpty()) {
            currency->setValue(QStringLiteral("currencyCode"), guessed);
        }
    }
}

bool ObjectGraphCopier::saveCopyDestination(ObjectContext* destination)
{
    StoreError error;
    if (destination->save(&error)) {
        return true;
    }
    Log::write(QStringLiteral("Error saving destination ManagedObjectContext: %1").arg(error.description));
    Log::write(QStringLiteral("Detailed Errors:%1").arg(error.failureReason));
    // Icons that are not their own product's icon can only be duplicates left by older versions.
    if (const auto icons = ZR_fetchAllForEntityName(*destination, QStringLiteral("Icon"))) {
        for (ManagedObject* icon : *icons) {
            ManagedObject* product = icon->toOne(QStringLiteral("product"));
            if (!product || product->toOne(QStringLiteral("appIcon")) != icon) {
                Log::write(
                    QStringLiteral("Deleting Duplicate Icon:%1").arg(icon->value(QStringLiteral("uuid")).toString()));
                destination->deleteObject(icon);
            }
        }
    }
    if (destination->save(&error)) {
        return true;
    }
    Log::write(QStringLiteral("Failed to fix data. Error saving fixed destination ManagedObjectContext: %1")
                   .arg(error.description));
    return false;
}
