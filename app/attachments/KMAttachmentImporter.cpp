#include "KMAttachmentImporter.h"

#include "base/Log.h"
#include "email/ZREmailParser.h"
#include "model/AttachedEmail.h"
#include "model/ProductEntity.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/ObjectContext.h"

using namespace Persistence;

KMAttachmentImporter::KMAttachmentImporter(const ObjectID& productID, const QStringList& files,
                                           std::shared_ptr<StoreCoordinator> coordinator, Completion completion)
    : m_productID(productID)
    , m_files(files)
    , m_coordinator(std::move(coordinator))
    , m_completion(std::move(completion))
{ }

KMAttachmentImporter::~KMAttachmentImporter() = default;

void KMAttachmentImporter::import()
{
    std::unique_ptr<ObjectContext> context
        = ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(m_coordinator);
    ProductEntity* product = nullptr;
    if (context) {
        StoreError error;
        product = dynamic_cast<ProductEntity*>(context->existingObjectWithID(m_productID, &error));
        if (!product) {
            Log::write(QStringLiteral("Error fetching product in attachment importer:%1").arg(error.toString()));
        }
    } else {
        Log::write(QStringLiteral("KMAttachmentImporter::import: Error creating Managed Object Context!"));
    }

    QList<AttachmentEntity*> attachments;
    if (product) {
        for (const QString& path : std::as_const(m_files)) {
            AttachmentEntity* attachment = ZREmailParser::isEmailArchive(path)
                ? AttachedEmail::insertAttachmentForFile(path, context.get())
                : AttachmentEntity::insertAttachmentForFile(path, context.get());
            if (attachment) {
                attachment->setProduct(product);
                attachments.append(attachment);
            }
        }
        StoreError error;
        m_saved = context->save(&error);
        if (!m_saved) {
            Log::write(QStringLiteral("Error saving in attachment importer:%1").arg(error.toString()));
        }
    }
    for (const AttachmentEntity* attachment : std::as_const(attachments)) {
        m_importedIDs.append(attachment->objectID());
    }
    context.reset();
    if (m_completion) {
        m_completion(this);
    }
}
