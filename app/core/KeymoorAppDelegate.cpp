#include "KeymoorAppDelegate.h"

#include "base/AppInfo.h"
#include "base/Localization.h"
#include "base/Log.h"
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

using namespace Persistence;

KeymoorAppDelegate::KeymoorAppDelegate(UserInterface* ui, OpenMode mode, UserDefaults* defaults, QObject* parent)
    : QObject(parent)
    , m_session(std::make_unique<LibrarySession>(ui, mode, defaults))
    , m_ui(ui)
    , m_prefs(&m_session->userPrefs())
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
    makeAttachmentServices();
    makeImportServices();
}

KeymoorAppDelegate::~KeymoorAppDelegate()
{
    // Running jobs finish first; their queued completions are dropped, as they would reach a
    // controller that is going away.
    m_session->jobs().shutDown();
    // The services and the migrator use the session; the session closes the library.
    m_imports.reset();
    m_attachmentExports.reset();
    m_mailImports.reset();
    m_attachments.reset();
    m_emailScan.reset();
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
}

QString KeymoorAppDelegate::prettyAppVersion() const
{
    return AppInfo::prettyAppVersion();
}

void KeymoorAppDelegate::showNotice(AlertStyle style, const QString& title, const QString& message)
{
    if (!m_ui) {
        return;
    }
    Alert alert;
    alert.style = style;
    alert.title = title;
    alert.message = message;
    alert.buttons = {localizedString(QStringLiteral("OKButton"))};
    m_ui->runAlert(alert);
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

ProductEntity* KeymoorAppDelegate::addNewProduct()
{
    ObjectContext* context = managedObjectContext();
    if (!context || m_session->isReadOnly()) {
        return nullptr;
    }
    ProductEntity* product = nullptr;
    {
        ContextLocker locker(context);
        product = context->insert<ProductEntity>(QStringLiteral("Product"));
    }
    if (!product) {
        return nullptr;
    }
    saveAction();
    emit m_session->productAdded(product);
    return product;
}

bool KeymoorAppDelegate::removeProducts(const QList<ProductEntity*>& products)
{
    ObjectContext* context = managedObjectContext();
    if (!context || products.isEmpty() || m_session->isReadOnly()) {
        return false;
    }
    for (const ProductEntity* product : products) {
        if (isOwnProduct(product)) {
            showNotice(AlertStyle::Informational, localizedString(QStringLiteral("DeleteKeymoor")),
                       localizedString(QStringLiteral("DeleteKeymoorMessage")));
            return false;
        }
    }

    const ProductEntity* first = products.first();
    QString question;
    if (first->title().isEmpty()) {
        question = localizedString(QStringLiteral("DeleteThisProductQuestion"));
    } else if (!first->productVersion().isEmpty()) {
        question = localizedFormat(QStringLiteral("DeleteProductVersionQuestionFormat"),
                                   {first->title(), first->productVersion()});
    } else {
        question = localizedFormat(QStringLiteral("DeleteProductQuestionFormat"), {first->title()});
    }
    Alert alert;
    alert.style = AlertStyle::Warning;
    alert.title = question;
    alert.buttons = {QStringLiteral("Delete"), localizedString(QStringLiteral("CancelButton"))};
    alert.escapeButton = 1;
    if (!m_ui || m_ui->runAlert(alert) != 0) {
        return false;
    }
    {
        ContextLocker locker(context);
        for (ProductEntity* product : products) {
            context->deleteObject(product);
        }
    }
    emit m_session->productsChanged();
    return true;
}

void KeymoorAppDelegate::copyProductKeyStringValueToClipboard(const ProductEntity* product, const QString& key)
{
    if (!product || !m_ui) {
        return;
    }
    m_ui->setClipboardText(product->value(key).toString(), key == QLatin1String("serialNumber"));
}

void KeymoorAppDelegate::copySerialToClipboard(const ProductEntity* product)
{
    copyProductKeyStringValueToClipboard(product, QStringLiteral("serialNumber"));
}

bool KeymoorAppDelegate::applyRegistrationInfo(ProductEntity* product, const ZRRegistrationInfo& info)
{
    if (!product) {
        return false;
    }
    const ZRRegistrationUpdate update
        = ZRRegistrationInfoScanner::planUpdate(info, product->serialNumber(), m_prefs->askBeforeReplaceInfo());
    if (update.askFirst) {
        Alert alert;
        alert.style = AlertStyle::Warning;
        alert.title = update.question;
        alert.buttons = {localizedString(QStringLiteral("ReplaceButton")), localizedString(QStringLiteral("NoButton"))};
        alert.escapeButton = 1;
        if (!m_ui || m_ui->runAlert(alert) != 0) {
            return false;
        }
    }
    product->setSerialNumber(update.info.serial);
    if (update.info.email) {
        product->setRegisteredEmail(*update.info.email);
    }
    if (update.info.date) {
        product->setPurchaseDate(*update.info.date);
    }
    if (m_prefs->autoCopySerial()) {
        copySerialToClipboard(product);
    }
    return true;
}
