#include "maintenance/LegacyGraphCopier.h"

#include "ZRPersistenceTools.h"
#include "base/FileWriting.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "maintenance/MigrationReporter.h"
#include "maintenance/ObjectGraphCopier.h"
#include "model/AttachmentEntity.h"
#include "model/ZRAttachmentContent.h"
#include "persistence/ObjectContext.h"
#include "persistence/ObjectModel.h"

using namespace Persistence;

namespace {

// The log lines name the operation by the public name callers know it by.
const char* const Operation = "ZRDataMigrator::legacyCopyManagedObjectContext";

bool isAttachmentEntity(const QString& entity)
{
    return entity == u"AttachedFile" || entity == u"EmailReceipt";
}

} // namespace

LegacyGraphCopier::LegacyGraphCopier(MigrationReporter& reporter, const CopyObjectHook& copyHook)
    : m_reporter(reporter)
    , m_copyHook(copyHook)
{ }

bool LegacyGraphCopier::copy(ObjectContext* source, ObjectContext* destination)
{
    if (!source || !destination) {
        return false;
    }
    Log::write(QStringLiteral("********* Migrating Legacy Library **********"));
    PendingBytes pending;
    if (!copyLegacyRecords(source, destination, &pending)) {
        return false;
    }
    StoreError error;
    if (!destination->save(&error)) {
        Log::write(QStringLiteral("Error saving destination ManagedObjectContext: %1").arg(error.toString()));
        return false;
    }
    copyLegacyAttachmentBytes(source, pending);
    return true;
}

// First pass: every record but the attachment contents, each source object turned back into a
// placeholder at once and the source context reset before each entity, so memory holds one
// entity's records at most. Each attachment with content gets an empty content record whose file
// the second pass writes.
bool LegacyGraphCopier::copyLegacyRecords(ObjectContext* source, ObjectContext* destination, PendingBytes* pending)
{
    const QStringList entities = source->model().entityNames();
    if (entities.isEmpty()) {
        Log::write(QStringLiteral("Failed to retrieve entity names dictionary for migration!"));
        return false;
    }
    m_reporter.resetProgressIndicatorWithMax(int(entities.size()));
    ZRManagedObject::ReferenceMap reference;
    for (const QString& entity : entities) {
        source->reset();
        m_reporter.incrementProgressIndicator();
        if (entity == u"AttachmentContent") {
            continue;
        }
        StoreError error;
        const auto objects = ZR_fetchAllForEntityName(*source, entity, &error);
        if (!objects) {
            Log::write(QStringLiteral("%1: Error retrieving entity %2:%3")
                           .arg(QLatin1String(Operation), entity, error.toString()));
            return false;
        }
        // Binary values stay lazy: a legacy record may hold a whole attached file.
        source->prefetch(*objects, ObjectGraphCopier::copiedKeyPaths(*source, entity, false));
        for (ManagedObject* object : *objects) {
            if (object->entityName() != entity) {
                continue;
            }
            auto* copy = dynamic_cast<ZRManagedObject*>(destination->insertObject(entity));
            if (!copy) {
                Log::write(QStringLiteral("%1 %2: Error! invalid entity encountered.")
                               .arg(QLatin1String(Operation))
                               .arg(__LINE__));
                return false;
            }
            if ((m_copyHook && !m_copyHook(object)) || !copy->copyFromManagedObject(object, reference)) {
                Log::write(QStringLiteral("%1 %2: Exception Trapped: %3 -- %4")
                               .arg(QLatin1String(Operation))
                               .arg(__LINE__)
                               .arg(QStringLiteral("CopyFailure"),
                                    QStringLiteral("a record of %1 was not copied").arg(entity)));
                return false;
            }
            if (entity == u"Product") {
                m_reporter.incrementProgressProductCount();
            } else if (isAttachmentEntity(entity)) {
                Log::write(
                    QStringLiteral("Migrating AttachedFile: %1").arg(object->value(QStringLiteral("name")).toString()));
                auto* attachment = static_cast<AttachmentEntity*>(copy);
                if (object->toOne(QStringLiteral("content"))) {
                    // The record and its file name now; the bytes follow in the second pass.
                    auto* content = destination->insert<ZRAttachmentContent>(QStringLiteral("AttachmentContent"));
                    if (!content) {
                        return false;
                    }
                    attachment->setContent(content);
                    pending->append({object->objectID(), content->filePath()});
                }
            }
            source->refreshObject(object, false);
        }
    }
    return true;
}

// Second pass: the bytes of one attachment at a time. A failed attachment is counted, logged and
// shown, and never fails the migration: its record stays, its file is missing.
void LegacyGraphCopier::copyLegacyAttachmentBytes(ObjectContext* source, const PendingBytes& pending)
{
    Log::write(QStringLiteral("Exporting Legacy Formatted Attachments..."));
    m_reporter.resetProgressIndicatorWithMax(int(pending.size()));
    m_reporter.setProgressMessageString(localizedString(QStringLiteral("MigratingLegacyAttachments")));
    for (const auto& [objectID, filePath] : pending) {
        m_reporter.incrementProgressIndicator();
        ManagedObject* attachment = source->existingObjectWithID(objectID);
        if (!attachment) {
            m_reporter.incrementProgressAttachmentFailedCount();
            Log::write(QStringLiteral(
                "Unable to migrate attachment.  Migrator was unable to retrieve an unidentified attachment."));
            source->reset();
            continue;
        }
        const QString name = attachment->value(QStringLiteral("name")).toString();
        Log::write(QStringLiteral("Migrating %1").arg(name));
        ManagedObject* content = attachment->toOne(QStringLiteral("content"));
        const QByteArray bytes
            = content ? content->primitiveValue(QStringLiteral("contentData")).toByteArray() : QByteArray();
        if (bytes.isNull()) {
            m_reporter.incrementProgressAttachmentFailedCount();
            Log::write(
                QStringLiteral(
                    "Unable to migrate attachment %1.  Migrator was unable to retrieve the attachment's content.")
                    .arg(name));
            m_reporter.alert(QStringLiteral("BadAttachmentContentTitle"),
                             localizedFormat(QStringLiteral("BadAttachmentContentMessageFormat"), {name}));
        } else if (filePath.isEmpty()) {
            m_reporter.incrementProgressAttachmentFailedCount();
            Log::write(
                QStringLiteral("Unable to write attachment %1 to disk.  Missing filePath attribute value.").arg(name));
            m_reporter.alert(QStringLiteral("MissingAttachmentFilePath"),
                             localizedFormat(QStringLiteral("MissingAttachmentFilePathMessage"), {name}));
        } else {
            Log::write(QStringLiteral("Writing File:%1").arg(filePath));
            QString error;
            if (FileWriting::writeData(bytes, filePath, &error)) {
                m_reporter.incrementProgressAttachmentCount();
            } else {
                m_reporter.incrementProgressAttachmentFailedCount();
                Log::write(QStringLiteral("Failed to succussfully write %1 to disk!  Error:%2").arg(name, error));
                m_reporter.alert(
                    QStringLiteral("FailedToWriteAttachmentToDiskTitle"),
                    localizedFormat(QStringLiteral("FailedToWriteAttachmentToDiskMessageFormat"), {name, error}));
            }
        }
        if (content) {
            source->refreshObject(content, false);
        }
        source->refreshObject(attachment, false);
        source->reset();
    }
}
