#include "AttachmentService.h"

#include "EmailRegistrationScan.h"
#include "KMAttachmentImporter.h"
#include "base/FileUtilities.h"
#include "base/FileWriting.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/Notice.h"
#include "base/TextUtilities.h"
#include "base/UserInterface.h"
#include "library/BackgroundJobTracker.h"
#include "library/LibrarySession.h"
#include "model/AttachedEmail.h"
#include "model/ProductEntity.h"
#include "persistence/ObjectContext.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"

#include <QFileInfo>
#include <QSet>

using namespace Persistence;

namespace {

// Jobs of more than 2 MiB show the progress sheet.
constexpr quint64 ProgressSheetThreshold = 2097153;

} // namespace

AttachmentService::AttachmentService(LibrarySession& session, EmailRegistrationScan& scan, QObject* parent)
    : QObject(parent)
    , m_session(session)
    , m_scan(scan)
{ }

AttachmentService::~AttachmentService() = default;

void AttachmentService::setSelectedProductProvider(std::function<ProductEntity*()> provider)
{
    m_selectedProduct = std::move(provider);
}

ProductEntity* AttachmentService::selectedProduct() const
{
    return m_selectedProduct ? m_selectedProduct() : nullptr;
}

void AttachmentService::queueProgressStart(const QString& message)
{
    if (UserInterface* ui = m_session.userInterface()) {
        QMetaObject::invokeMethod(
            this, [ui, message] { ui->startProgress(message); }, Qt::QueuedConnection);
    }
}

void AttachmentService::queueProgressStop()
{
    if (UserInterface* ui = m_session.userInterface()) {
        QMetaObject::invokeMethod(
            this, [ui] { ui->stopProgress(); }, Qt::QueuedConnection);
    }
}

bool AttachmentService::rejectUnsupportedTypes(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (!AttachmentEntity::unsupportedFilesArray().contains(QFileInfo(path).suffix())) {
            continue;
        }
        Log::write(QStringLiteral("unsuppored attachment type"));
        if (UserInterface* ui = m_session.userInterface()) {
            showNotice(ui, AlertStyle::Informational, localizedString(QStringLiteral("UnsupportedAttachmentType")),
                       localizedString(QStringLiteral("UnsupportedAttachmentTypeMessage")));
        }
        return true;
    }
    return false;
}

bool AttachmentService::attachDocumentsToSelectedProduct(const QStringList& paths, bool onBackgroundThread)
{
    if (paths.isEmpty()) {
        return true;
    }
    if (rejectUnsupportedTypes(paths)) {
        return false;
    }
    ProductEntity* product = selectedProduct();
    if (!product || !m_session.managedObjectContext() || m_session.isReadOnly()) {
        return true;
    }
    const bool showProgress = totalFileSizeForFiles(paths) >= ProgressSheetThreshold;
    if (showProgress) {
        queueProgressStart(localizedString(paths.size() == 1 ? QStringLiteral("AttachDocumentProgressMessage")
                                                             : QStringLiteral("AttachDocumentsProgressMessage")));
    }
    if (!onBackgroundThread) {
        attachAtOnce(product, paths, showProgress);
        return true;
    }
    // The importer's own context can only find the product once the product is in the store.
    if (product->objectID().isTemporary() && (!m_session.saveAction() || product->objectID().isTemporary())) {
        Log::write(QStringLiteral("Error attaching documents: the product could not be saved first."));
        if (showProgress) {
            queueProgressStop();
        }
        return false;
    }
    startAttachmentImporter(product, paths);
    return true;
}

void AttachmentService::attachAtOnce(ProductEntity* product, const QStringList& paths, bool showProgress)
{
    const QList<AttachmentEntity*> attached = product->attachDocuments(paths);
    m_session.saveAction();
    emit m_session.attachmentsChanged(product);
    if (!attached.isEmpty()) {
        emit selectAttachment(attached.last());
    }
    // No completion follows this way, so the sheet is stopped here (after the queued start).
    if (showProgress) {
        queueProgressStop();
    }
}

void AttachmentService::startAttachmentImporter(ProductEntity* product, const QStringList& paths)
{
    auto importer = std::make_shared<KMAttachmentImporter>(
        product->objectID(), paths, m_session.openedContext()->coordinator(), KMAttachmentImporter::Completion());
    m_session.jobs().start(
        ImporterJob,
        [importer] {
            importer->import();
            return std::optional<QString>();
        },
        [this, importer] { attachmentImporterDidFinish(*importer); }, BackgroundJobTracker::Placement::OwnThread, this);
}

void AttachmentService::attachmentImporterDidFinish(const KMAttachmentImporter& importer)
{
    // On the main thread, in this order.
    QList<ObjectID> ids = importer.importedIDs();
    refreshObjects(ids + QList<ObjectID> {importer.productID()});
    emit attachDocumentsToProductCompleted(ids);
    attachDocumentsCompleted(ids);
}

void AttachmentService::attachDocumentsCompleted(const QList<ObjectID>& ids)
{
    for (const ObjectID& id : ids) {
        mergeAttachedDocument(id);
    }
    if (UserInterface* ui = m_session.userInterface()) {
        ui->stopProgress();
    }
}

void AttachmentService::waitForAttachmentImports()
{
    m_session.jobs().waitFor({ImporterJob, MailImportJob});
}

int AttachmentService::runningAttachmentImports() const
{
    return m_session.jobs().runningCount({ImporterJob, MailImportJob});
}

AttachmentEntity* AttachmentService::refreshObjects(const QList<ObjectID>& ids)
{
    ObjectContext* context = m_session.openedContext();
    if (!context) {
        return nullptr;
    }
    ContextLocker locker(context);
    AttachmentEntity* first = nullptr;
    for (const ObjectID& id : ids) {
        if (id.isNull() || id.isTemporary()) {
            continue;
        }
        ManagedObject* object = context->objectWithID(id);
        if (!object) {
            continue;
        }
        context->refreshObject(object, true);
        if (auto* product = dynamic_cast<ProductEntity*>(object)) {
            emit m_session.attachmentsChanged(product);
        }
        if (!first) {
            first = dynamic_cast<AttachmentEntity*>(object);
        }
    }
    if (first) {
        emit selectAttachment(first);
    }
    return first;
}

void AttachmentService::mergeAttachedDocument(const ObjectID& id)
{
    if (id.isNull() || id.isTemporary() || !m_session.openedContext()) {
        return;
    }
    auto* attachment = dynamic_cast<AttachmentEntity*>(m_session.openedContext()->existingObjectWithID(id));
    if (!attachment) {
        return;
    }
    emit selectAttachment(attachment);
    auto* email = dynamic_cast<AttachedEmail*>(attachment);
    if (email && typeid(*email) == typeid(AttachedEmail) && m_scan.scanEmailUponImport()) {
        m_scan.scanEmailForRegistrationInfo(email);
    }
}

bool AttachmentService::attachEmailRawSourceToSelectedProduct(const QString& text, bool onBackgroundThread)
{
    const QString cache = LibraryPaths::applicationCacheFolder();
    const QString path = QStringLiteral("%1/%2.eml").arg(cache, universallyUniuqueIdentifier());
    QString error;
    const bool written = m_cacheFileWriter ? m_cacheFileWriter(text.toUtf8(), path, &error)
                                           : FileWriting::writeData(text.toUtf8(), path, &error);
    if (cache.isEmpty() || !written) {
        Log::write(QStringLiteral("%1: Unable to write email to cache file: %2 error: %3")
                       .arg(QStringLiteral("KeymoorAppDelegate::attachEmailRawSourceToSelectedProduct"), path, error));
        return false;
    }
    return attachDocumentsToSelectedProduct({path}, onBackgroundThread);
}

void AttachmentService::attachExistingFile()
{
    emit showAttachmentsTab();
    UserInterface* ui = m_session.userInterface();
    if (!ui) {
        return;
    }
    UserPreferences& prefs = m_session.userPrefs();
    OpenPanelOptions options;
    options.startFolder = prefs.expandedPath(PreferenceKeys::ImportFilePath);
    options.chooseFiles = true;
    options.chooseFolders = false;
    options.allowsMultipleSelection = true;
    const std::optional<QStringList> paths = ui->runOpenPanel(options);
    if (!paths || paths->isEmpty()) {
        return;
    }
    attachDocumentsToSelectedProduct(*paths, true);
    prefs.setImportFilePath(QFileInfo(paths->first()).absolutePath());
}

bool AttachmentService::removeAttachedFiles(const QList<AttachmentEntity*>& attachments)
{
    ObjectContext* context = m_session.managedObjectContext();
    UserInterface* ui = m_session.userInterface();
    if (attachments.isEmpty() || !context || !ui || m_session.isReadOnly()) {
        return false;
    }
    QSet<QString> names;
    for (const AttachmentEntity* attachment : attachments) {
        names.insert(attachment->name());
    }
    Alert alert;
    alert.style = AlertStyle::Warning;
    alert.title = localizedString(QStringLiteral("DeleteAttachedFile"));
    alert.message = localizedString(QStringLiteral("DeleteAttachedFileMessage"));
    if (names.size() > 1) {
        alert.title = localizedString(QStringLiteral("DeleteMultipleAttachments"));
        alert.message = localizedString(QStringLiteral("DeleteMultipleAttachmentsMessage"));
    } else if (!attachments.first()->name().isEmpty()) {
        alert.title = localizedFormat(QStringLiteral("DeleteNamedAttachmentFormat"), {attachments.first()->name()});
    }
    alert.buttons = {localizedString(QStringLiteral("DeleteButton")), localizedString(QStringLiteral("CancelButton"))};
    alert.escapeButton = 1;
    if (ui->runAlert(alert) != 0) {
        return false;
    }
    QSet<ProductEntity*> products;
    {
        ContextLocker locker(context);
        for (AttachmentEntity* attachment : attachments) {
            products.insert(attachment->product());
            context->deleteObject(attachment);
        }
    }
    for (ProductEntity* product : std::as_const(products)) {
        emit m_session.attachmentsChanged(product);
    }
    return true;
}

void AttachmentService::openAttachedFileWindow(AttachmentEntity* attachment)
{
    if (!attachment) {
        return;
    }
    // Saved first, so the viewer shows the attached file under its permanent identifier.
    m_session.saveAction();
    emit attachedFileWindowRequested(attachment->objectID());
}
