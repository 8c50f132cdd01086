#include "MailLicenceProducts.h"

#include "MailLicenceFinder.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "email/MailMessageDecoding.h"
#include "library/LibrarySession.h"
#include "model/AttachedEmail.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"

using Persistence::ContextLocker;
using Persistence::ObjectContext;

MailLicenceProducts::MailLicenceProducts(LibrarySession& session)
    : m_session(session)
{ }

QSet<QString> MailLicenceProducts::catalogueSerials(LibrarySession& session)
{
    QSet<QString> serials;
    ObjectContext* context = session.managedObjectContext();
    if (!context) {
        return serials;
    }
    Persistence::StoreError error;
    const auto products = context->execute(Persistence::FetchRequest(QStringLiteral("Product")), &error);
    if (!products) {
        Log::write(QStringLiteral("The serial numbers of the catalogue could not be read: %1").arg(error.toString()));
        return serials;
    }
    for (Persistence::ManagedObject* object : *products) {
        if (const auto* product = dynamic_cast<ProductEntity*>(object)) {
            if (const QString serial = product->serialNumber().trimmed(); !serial.isEmpty()) {
                serials.insert(serial);
            }
        }
    }
    return serials;
}

std::optional<QList<Persistence::ObjectID>> MailLicenceProducts::add(const QList<LicenceProposal>& proposals,
                                                                     QString* error)
{
    ObjectContext* context = m_session.managedObjectContext();
    if (!context || m_session.isReadOnly()) {
        *error = localizedString(QStringLiteral("MailLicenceNoLibrary"));
        return std::nullopt;
    }
    QSet<QString> serials = catalogueSerials(m_session);
    const MailStoreReader reader;
    QList<ProductEntity*> added;
    for (const LicenceProposal& proposal : proposals) {
        const QString serial = proposal.serial.trimmed();
        if (serial.isEmpty() || serials.contains(serial)) {
            continue;
        }
        const MailStoreMessage message = reader.messageAt(proposal.place);
        ProductEntity* product
            = message.bytes.isEmpty() ? nullptr : insertProduct(proposal, MailMessageDecoding::decode(message.bytes));
        if (!product) {
            // The message moved or changed since the scan: the others are still added.
            *error = localizedFormat(QStringLiteral("MailLicenceMessageUnreadableFormat"), {proposal.place.path});
            Log::write(*error);
            continue;
        }
        serials.insert(serial);
        added.append(product);
    }
    if (added.isEmpty()) {
        return QList<Persistence::ObjectID>();
    }
    Persistence::StoreError storeError;
    if (!m_session.saveContext(context, &storeError)) {
        takeOut(added);
        *error = localizedFormat(QStringLiteral("MailLicenceAddFailedFormat"), {storeError.toString()});
        Log::write(*error);
        return std::nullopt;
    }
    QList<Persistence::ObjectID> ids;
    for (const ProductEntity* product : added) {
        ids.append(product->objectID());
    }
    emit m_session.productsChanged();
    return ids;
}

ProductEntity* MailLicenceProducts::insertProduct(const LicenceProposal& proposal, const QString& messageText)
{
    ObjectContext* context = m_session.managedObjectContext();
    AttachedEmail* email = AttachedEmail::insertAttachmentForRawSource(messageText, context);
    if (!email) {
        return nullptr;
    }
    ProductEntity* product = nullptr;
    {
        ContextLocker locker(context);
        product = context->insert<ProductEntity>(QStringLiteral("Product"));
    }
    if (!product) {
        ContextLocker locker(context);
        context->deleteObject(email);
        return nullptr;
    }
    product->setTitle(proposal.title);
    product->setPublisher(proposal.publisher);
    product->setSerialNumber(proposal.serial.trimmed());
    if (!proposal.email.isEmpty()) {
        product->setRegisteredEmail(proposal.email);
    }
    if (proposal.date.isValid()) {
        product->setPurchaseDate(proposal.date);
    }
    email->setProduct(product);
    return product;
}

void MailLicenceProducts::takeOut(const QList<ProductEntity*>& products)
{
    ObjectContext* context = m_session.managedObjectContext();
    ContextLocker locker(context);
    for (ProductEntity* product : products) {
        for (AttachmentEntity* attachment : product->attachedFiles()) {
            context->deleteObject(attachment);
        }
        context->deleteObject(product);
    }
}
