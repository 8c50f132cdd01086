#pragma once

#include "persistence/ObjectID.h"

#include <QList>
#include <QSet>
#include <QString>

#include <optional>

class AttachedEmail;
class LibrarySession;
class ProductEntity;
struct LicenceProposal;

// Turns licence proposals into products of the catalogue: one product per serial number not in the
// catalogue yet, with its message attached as an e-mail, all saved in one change. When the save
// fails, everything this added is taken out again.
class MailLicenceProducts
{
public:
    explicit MailLicenceProducts(LibrarySession& session);

    // The serial numbers (trimmed) the catalogue's products have.
    static QSet<QString> catalogueSerials(LibrarySession& session);

    std::optional<QList<Persistence::ObjectID>> add(const QList<LicenceProposal>& proposals, QString* error);

private:
    ProductEntity* insertProduct(const LicenceProposal& proposal, const QString& messageText);
    void takeOut(const QList<ProductEntity*>& products);

    LibrarySession& m_session;
};
