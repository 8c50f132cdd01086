#include "SoftwareDiscoveryService.h"

#include "base/Localization.h"
#include "base/Log.h"
#include "desktop/ApplicationLocator.h"
#include "desktop/ContentType.h"
#include "library/LibrarySession.h"
#include "model/IconEntity.h"
#include "model/ProductBundleInfo.h"
#include "model/ProductEntity.h"
#include "model/ProductIconImage.h"
#include "persistence/FetchRequest.h"
#include "persistence/ObjectContext.h"
#include "software/InstalledSoftwareScanner.h"

#include <QCollator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <algorithm>

using namespace Persistence;

namespace {

// What the catalogue has: the identifiers and the titles (folded for comparing without case).
struct CatalogueNames
{
    QSet<QString> identifiers;
    QSet<QString> titles;

    bool contains(const InstalledApplication& application, const QString& bundleIdentifier) const
    {
        return identifiers.contains(application.id)
            || (!bundleIdentifier.isEmpty() && identifiers.contains(bundleIdentifier))
            || titles.contains(application.title.toCaseFolded());
    }
};

CatalogueNames catalogueNames(ObjectContext* context)
{
    CatalogueNames names;
    if (!context) {
        return names;
    }
    ContextLocker locker(context);
    StoreError error;
    const auto objects = context->execute(FetchRequest(QStringLiteral("Product")), &error);
    if (!objects) {
        Log::write(QStringLiteral("Software discovery: the products could not be read: %1").arg(error.toString()));
        return names;
    }
    for (ManagedObject* object : *objects) {
        if (const auto* product = dynamic_cast<ProductEntity*>(object)) {
            if (!product->bundleIdentifier().isEmpty()) {
                names.identifiers.insert(product->bundleIdentifier());
            }
            names.titles.insert(product->title().toCaseFolded());
        }
    }
    return names;
}

// An application bundle as discovery lists it: named by its folder, described by its Info.plist.
std::optional<InstalledApplication> bundleApplication(const QString& path, QString* bundleIdentifier)
{
    if (ContentType::bundleKindOfFolder(path) != BundleKind::Application) {
        return std::nullopt;
    }
    const std::optional<ProductBundleInfo> info = ProductBundleInfo::fromBundle(path);
    InstalledApplication application;
    application.id = ProductBundleInfo::titleFromPath(path);
    application.path = path;
    application.title = info && !info->title.isEmpty() ? info->title : application.id;
    application.source = SoftwareSource::Bundle;
    if (info) {
        application.version = info->version;
        application.publisher = info->publisher;
        application.website = info->website;
        application.email = info->email;
        *bundleIdentifier = info->identifier;
    }
    return application;
}

struct Candidate
{
    InstalledApplication application;
    QString bundleIdentifier; // CFBundleIdentifier of a bundle
};

QList<Candidate> scanCandidates(InstalledSoftwareScanner scanner, ApplicationLocator locator)
{
    QList<Candidate> candidates;
    for (const InstalledApplication& application : scanner.scan()) {
        if (!application.noDisplay) {
            candidates.append({application, {}});
        }
    }
    for (const QString& path : locator.bundlePaths()) {
        QString identifier;
        if (std::optional<InstalledApplication> application = bundleApplication(path, &identifier)) {
            candidates.append({*application, identifier});
        }
    }
    return candidates;
}

void fillProduct(ProductEntity* product, const InstalledApplication& application)
{
    if (application.source == SoftwareSource::Bundle) {
        product->setTitleFromAppPath(application.path);
        product->setBundleInfoFromAppPath(application.path);
        product->setExternalIconFromAppPath(application.path);
        return;
    }
    product->setBundleInfo(ProductBundleInfo::fromInstalledApplication(application));
    const QImage icon = ProductIconImage::imageForApplication(application);
    if (!icon.isNull()) {
        product->setExternalIconImage(icon);
    }
}

void discardProducts(ObjectContext* context, const QList<ProductEntity*>& products)
{
    ContextLocker locker(context);
    for (ProductEntity* product : products) {
        // The icon files were written when the icons were set; without their records they would
        // only be collected at the next quit.
        if (IconEntity* icon = product->appIcon()) {
            const QString path = icon->filePath();
            context->deleteObject(icon);
            if (!path.isEmpty()) {
                QFile::remove(path);
            }
        }
        context->deleteObject(product);
    }
}

} // namespace

SoftwareDiscoveryService::SoftwareDiscoveryService(LibrarySession& session, ApplicationLocatorSource locators,
                                                   ScannerSource scanners)
    : m_session(session)
    , m_locators(std::move(locators))
    , m_scanners(std::move(scanners))
{ }

QList<DiscoveredApplication> SoftwareDiscoveryService::discover(bool includeCatalogued)
{
    QList<DiscoveredApplication> result = installedApplications();
    markInCatalogue(result);
    if (!includeCatalogued) {
        result.removeIf([](const DiscoveredApplication& discovered) { return discovered.inCatalogue; });
    }
    return result;
}

QList<DiscoveredApplication> SoftwareDiscoveryService::installedApplications() const
{
    QList<DiscoveredApplication> result;
    for (const Candidate& candidate : scanCandidates(m_scanners(), m_locators())) {
        result.append({candidate.application, false, candidate.bundleIdentifier});
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(result.begin(), result.end(), [&collator](const auto& a, const auto& b) {
        const int order = collator.compare(a.application.title, b.application.title);
        return order != 0 ? order < 0 : a.application.id < b.application.id;
    });
    return result;
}

void SoftwareDiscoveryService::markInCatalogue(QList<DiscoveredApplication>& applications) const
{
    const CatalogueNames catalogue = catalogueNames(m_session.openedContext());
    for (DiscoveredApplication& discovered : applications) {
        discovered.inCatalogue = catalogue.contains(discovered.application, discovered.bundleIdentifier);
    }
}

std::optional<QList<ObjectID>> SoftwareDiscoveryService::addApplications(const QStringList& ids, QString* error)
{
    QList<InstalledApplication> applications;
    QHash<QString, InstalledApplication> listed; // the whole listing, read only when an ID needs it
    bool listedRead = false;
    InstalledSoftwareScanner scanner = m_scanners();
    for (const QString& id : ids) {
        std::optional<InstalledApplication> application;
        if (!id.contains(QLatin1Char('/'))) {
            application = scanner.application(id);
        }
        if (!application) {
            if (!listedRead) {
                listedRead = true;
                for (const Candidate& candidate : scanCandidates(m_scanners(), m_locators())) {
                    listed.insert(candidate.application.id, candidate.application);
                }
            }
            if (listed.contains(id)) {
                application = listed.value(id);
            }
        }
        if (!application) {
            if (error) {
                *error = localizedFormat(QStringLiteral("SoftwareDiscoveryUnknownIdFormat"), {id});
            }
            return std::nullopt;
        }
        applications.append(*application);
    }
    return addApplications(applications, error);
}

std::optional<QList<ObjectID>>
SoftwareDiscoveryService::addApplications(const QList<InstalledApplication>& applications, QString* error)
{
    ObjectContext* context = m_session.isReadOnly() ? nullptr : m_session.managedObjectContext();
    if (!context) {
        if (error) {
            *error = localizedString(QStringLiteral("SoftwareDiscoveryNotWritable"));
        }
        return std::nullopt;
    }
    QList<ProductEntity*> created;
    {
        ContextLocker locker(context);
        for (const InstalledApplication& application : applications) {
            auto* product = context->insert<ProductEntity>(QStringLiteral("Product"));
            if (!product) {
                break;
            }
            created.append(product);
            fillProduct(product, application);
        }
    }
    StoreError saveError;
    if (created.size() != applications.size() || !m_session.saveContext(context, &saveError)) {
        discardProducts(context, created);
        if (error) {
            *error = localizedFormat(QStringLiteral("SoftwareDiscoveryAddFailedFormat"), {saveError.toString()});
        }
        return std::nullopt;
    }
    QList<ObjectID> ids;
    for (const ProductEntity* product : std::as_const(created)) {
        ids.append(product->objectID());
    }
    if (!ids.isEmpty()) {
        emit m_session.productsChanged();
    }
    return ids;
}
