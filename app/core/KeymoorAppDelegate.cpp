#include "KeymoorAppDelegate.h"

#include "base/AppInfo.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/Notice.h"
#include "base/UserInterface.h"
#include "desktop/ApplicationLocator.h"
#include "desktop/DesktopLauncher.h"
#include "email/ZRRegistrationInfoScanner.h"
#include "library/BackgroundJobTracker.h"
#include "maintenance/StoreVersionReader.h"
#include "maintenance/ZRDataMigrator.h"
#include "model/AttachmentEntity.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserPreferences.h"
#include "software/InstalledSoftwareScanner.h"

using namespace Persistence;

KeymoorAppDelegate::KeymoorAppDelegate(UserInterface* ui, OpenMode mode, UserDefaults* defaults, QObject* parent)
    : QObject(parent)
    , m_session(std::make_unique<LibrarySession>(ui, mode, defaults))
    , m_ui(ui)
    , m_prefs(&m_session->userPrefs())
    , m_desktop(std::make_unique<DesktopLauncherProvider>())
    , m_products(std::make_unique<ProductCommands>(*m_session))
    , m_applications(std::make_unique<ProductApplicationCommands>(*m_session, *m_desktop))
    , m_links(std::make_unique<LinkCommands>(*m_desktop))
    , m_reports(std::make_unique<ReportService>(*m_session))
    , m_sync(std::make_unique<SyncService>(*m_session))
{
    // Saves go through saveContext, so a subclass can make them fail.
    m_session->setContextSaver(
        [this](ObjectContext* context, StoreError* error) { return saveContext(context, error); });
    m_session->setStoreVersionCheck([](const QString& storePath) {
        return StoreVersionReader::versionForStoreURL(storePath) == StoreVersionReader::currentModelVersion();
    });
    m_session->setStoreUpgrader(
        [this](const QString& legacyPath, const QString& storePath) { return upgradeStores(legacyPath, storePath); });
    forwardSessionSignals();
    connect(m_sync.get(), &SyncService::preferencesPaneRequested, this, &KeymoorAppDelegate::preferencesPaneRequested);
    makeAttachmentServices();
    makeImportServices();
}

KeymoorAppDelegate::~KeymoorAppDelegate()
{
    // Running jobs finish first; their queued completions are dropped, as they would reach a
    // controller that is going away.
    m_session->jobs().shutDown();
    // The services and the migrator use the session; the session closes the library.
    m_discovery.reset();
    m_imports.reset();
    m_attachmentExports.reset();
    m_mailImports.reset();
    m_attachments.reset();
    m_emailScan.reset();
    m_sync.reset();
    m_reports.reset();
    m_links.reset();
    m_applications.reset();
    m_products.reset();
    m_migrator.reset();
    m_session.reset();
}

void KeymoorAppDelegate::forwardSessionSignals()
{
    LibrarySession* session = m_session.get();
    connect(session, &LibrarySession::terminationRequested, this, &KeymoorAppDelegate::terminationRequested);
    connect(session, &LibrarySession::productsChanged, this, &KeymoorAppDelegate::productsChanged);
    connect(session, &LibrarySession::productAdded, this, &KeymoorAppDelegate::productAdded);
    connect(session, &LibrarySession::productChanged, this, &KeymoorAppDelegate::productChanged);
    connect(session, &LibrarySession::attachmentsChanged, this, &KeymoorAppDelegate::attachmentsChanged);
}

void KeymoorAppDelegate::makeAttachmentServices()
{
    m_emailScan = std::make_unique<EmailRegistrationScan>(
        *m_session, [this](ProductEntity* product, const ZRRegistrationInfo& info) {
            return applyRegistrationInfo(product, info);
        });
    m_attachments = std::make_unique<AttachmentService>(*m_session, *m_emailScan);
    m_mailImports = std::make_unique<MailImportService>(*m_session, *m_attachments);
    m_attachmentExports = std::make_unique<AttachmentExportService>(*m_session);
    AttachmentService* attachments = m_attachments.get();
    connect(attachments, &AttachmentService::attachDocumentsToProductCompleted, this,
            &KeymoorAppDelegate::attachDocumentsToProductCompleted);
    connect(attachments, &AttachmentService::selectAttachment, this, &KeymoorAppDelegate::selectAttachment);
    connect(attachments, &AttachmentService::showAttachmentsTab, this, &KeymoorAppDelegate::showAttachmentsTab);
    connect(attachments, &AttachmentService::attachedFileWindowRequested, this,
            &KeymoorAppDelegate::attachedFileWindowRequested);
    connect(m_attachmentExports.get(), &AttachmentExportService::attachmentsExported, this,
            &KeymoorAppDelegate::attachmentsExported);
}

void KeymoorAppDelegate::makeImportServices()
{
    m_imports = std::make_unique<ImportService>(*m_session, [this] { return applicationLocator(); });
    connect(&m_imports->bundles(), &BundleImportService::selectAndScrollToProduct, this,
            &KeymoorAppDelegate::selectAndScrollToProduct);
    m_discovery = std::make_unique<SoftwareDiscoveryService>(
        *m_session, [this] { return applicationLocator(); }, [] { return InstalledSoftwareScanner(); });
}

QString KeymoorAppDelegate::prettyAppVersion() const
{
    return AppInfo::prettyAppVersion();
}

void KeymoorAppDelegate::showNotice(AlertStyle style, const QString& title, const QString& message)
{
    ::showNotice(m_ui, style, title, message);
}

bool KeymoorAppDelegate::upgradeStores(const QString& legacyPath, const QString& storePath)
{
    // The library's own store first, so a legacy store beside it merges into a current one.
    if (!storePath.isEmpty() && !dataMigrator()->upgradePersistentStoreForURL(storePath)) {
        return false;
    }
    if (!legacyPath.isEmpty()) {
        Log::write(QStringLiteral("Upgrading legacy library format..."));
        return dataMigrator()->upgradePersistentStoreForURL(legacyPath);
    }
    return true;
}

ZRDataMigrator* KeymoorAppDelegate::dataMigrator()
{
    if (!m_migrator) {
        m_migrator = std::make_unique<ZRDataMigrator>(m_session.get());
    }
    return m_migrator.get();
}

bool KeymoorAppDelegate::saveContext(ObjectContext* context, StoreError* error)
{
    return context->save(error);
}
