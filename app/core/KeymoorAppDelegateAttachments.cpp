// The attachment commands of the application controller: attaching files and raw messages to the
// selected product through background importers, the completion that refreshes, selects and scans,
// removing and exporting attached files.
#include "KeymoorAppDelegate.h"
#include "base/FileUtilities.h"
#include "base/FileWriting.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/TextUtilities.h"
#include "base/UserInterface.h"
#include "email/ZRRegistrationInfoScanner.h"
#include "import/KMAttachmentImporter.h"
#include "import/MailClientImport.h"
#include "import/MailScriptHelper.h"
#include "library/BackgroundJobTracker.h"
#include "model/AttachedEmail.h"
#include "model/AttachmentExport.h"
#include "model/ProductEntity.h"
#include "model/ZRAttachmentContent.h"
#include "persistence/ObjectContext.h"
#include "prefs/PreferenceKeys.h"
#include "prefs/UserPreferences.h"

#include <QDir>
#include <QFileInfo>

using namespace Persistence;

const char* const KeymoorAppDelegate::ImportSelectedMailNotification = "ImportSelectedMail";
const char* const KeymoorAppDelegate::ImportSelectedMailFromOutlookNotification = "ImportSelectedMailFromOutlook";
const char* const KeymoorAppDelegate::AttachDocumentsCompletedNotification = "AttachDocumentsToProductCompleted";
const char* const KeymoorAppDelegate::NewAttachmentIDsKey = "newAttachmentIDs";

namespace {

// Jobs of more than 2 MiB show the progress sheet.
constexpr quint64 ProgressSheetThreshold = 2097153;

// The kinds of background job of attaching and exporting.
const QString AttachmentImportJob = QStringLiteral("KMAttachmentImporter");
const QString MailImportJob = QStringLiteral("MailClientImport");
const QString AttachmentExportJob = QStringLiteral("AttachmentExport");

struct AttachmentExportResult
{
    QStringList written;
    QStringList failedNames;
};

} // namespace

void KeymoorAppDelegate::setSelectedProductProvider(std::function<ProductEntity*()> provider)
{
    m_selectedProduct = std::move(provider);
}

ProductEntity* KeymoorAppDelegate::selectedProduct() const
{
    return m_selectedProduct ? m_selectedProduct() : nullptr;
}

bool KeymoorAppDelegate::scanEmailUponImport() const
{
    return m_scanOverride.value_or(m_prefs->scanEmailUponImport());
}

bool KeymoorAppDelegate::attachDocumentsToSelectedProduct(const QStringList& paths, bool onBackgroundThread)
{
    if (paths.isEmpty()) {
        return true;
    }
    for (const QString& path : paths) {
        if (AttachmentEntity::unsupportedFilesArray().contains(QFileInfo(path).suffix())) {
            Log::write(QStringLiteral("unsuppored attachment type"));
            showNotice(AlertStyle::Informational, localizedString(QStringLiteral("UnsupportedAttachmentType")),
                       localizedString(QStringLiteral("UnsupportedAttachmentTypeMessage")));
            return false;
        }
    }
    ProductEntity* product = selectedProduct();
    if (!product || !managedObjectContext() || m_session->isReadOnly()) {
        return true;
    }
    const bool showProgress = totalFileSizeForFiles(paths) >= ProgressSheetThreshold;
    if (showProgress && m_ui) {
        const QString message = localizedString(paths.size() == 1 ? QStringLiteral("AttachDocumentProgressMessage")
                                                                  : QStringLiteral("AttachDocumentsProgressMessage"));
        QMetaObject::invokeMethod(
            this, [this, message] { m_ui->startProgress(message); }, Qt::QueuedConnection);
    }
    if (!onBackgroundThread) {
        const QList<AttachmentEntity*> attached = product->attachDocuments(paths);
        saveAction();
        emit m_session->attachmentsChanged(product);
        if (!attached.isEmpty()) {
            emit selectAttachment(attached.last());
        }
        // No completion follows this way, so the sheet is stopped here (after the queued start).
        if (showProgress && m_ui) {
            QMetaObject::invokeMethod(
                this, [this] { m_ui->stopProgress(); }, Qt::QueuedConnection);
        }
        return true;
    }
    // The importer's own context can only find the product once the product is in the store.
    if (product->objectID().isTemporary() && (!saveAction() || product->objectID().isTemporary())) {
        Log::write(QStringLiteral("Error attaching documents: the product could not be saved first."));
        if (showProgress && m_ui) {
            QMetaObject::invokeMethod(
                this, [this] { m_ui->stopProgress(); }, Qt::QueuedConnection);
        }
        return false;
    }
    startAttachmentImporter(product, paths);
    return true;
}

void KeymoorAppDelegate::startAttachmentImporter(ProductEntity* product, const QStringList& paths)
{
    auto importer = std::make_shared<KMAttachmentImporter>(
        product->objectID(), paths, m_session->openedContext()->coordinator(), KMAttachmentImporter::Completion());
    m_session->jobs().start(
        AttachmentImportJob,
        [importer] {
            importer->import();
            return std::optional<QString>();
        },
        [this, importer] { attachmentImporterDidFinish(*importer); }, BackgroundJobTracker::Placement::OwnThread, this);
}

void KeymoorAppDelegate::attachmentImporterDidFinish(const KMAttachmentImporter& importer)
{
    // On the main thread, in this order.
    QList<ObjectID> ids = importer.importedIDs();
    refreshObjects(ids + QList<ObjectID> {importer.productID()});
    emit attachDocumentsToProductCompleted(ids);
    attachDocumentsCompleted(ids);
}

void KeymoorAppDelegate::attachDocumentsCompleted(const QList<ObjectID>& ids)
{
    for (const ObjectID& id : ids) {
        mergeAttachedDocument(id);
    }
    if (m_ui) {
        m_ui->stopProgress();
    }
}

void KeymoorAppDelegate::waitForAttachmentImports()
{
    m_session->jobs().waitFor({AttachmentImportJob, MailImportJob});
}

int KeymoorAppDelegate::runningAttachmentImports() const
{
    return m_session->jobs().runningCount({AttachmentImportJob, MailImportJob});
}

AttachmentEntity* KeymoorAppDelegate::refreshObjects(const QList<ObjectID>& ids)
{
    ObjectContext* context = m_session->openedContext();
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
            emit m_session->attachmentsChanged(product);
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

void KeymoorAppDelegate::mergeAttachedDocument(const ObjectID& id)
{
    if (id.isNull() || id.isTemporary() || !m_session->openedContext()) {
        return;
    }
    auto* attachment = dynamic_cast<AttachmentEntity*>(m_session->openedContext()->existingObjectWithID(id));
    if (!attachment) {
        return;
    }
    emit selectAttachment(attachment);
    auto* email = dynamic_cast<AttachedEmail*>(attachment);
    if (email && typeid(*email) == typeid(AttachedEmail) && scanEmailUponImport()) {
        scanEmailForRegistrationInfo(email);
    }
}

bool KeymoorAppDelegate::scanEmailForRegistrationInfo(AttachedEmail* email)
{
    if (!email || !email->content()) {
        return false;
    }
    const QString to = email->to();
    const QDateTime date = email->date();
    const std::optional<ZRRegistrationInfo> info = ZRRegistrationInfoScanner::scanAttachment(
        email->content()->contentData(), email->encoding(), to.isEmpty() ? std::nullopt : std::optional<QString>(to),
        date.isValid() ? std::optional<QDateTime>(date) : std::nullopt);
    if (!info) {
        return false;
    }
    // The message's own product: the selection may have moved on while a background job ran.
    return applyRegistrationInfo(email->product(), *info);
}

bool KeymoorAppDelegate::attachEmailRawSourceToSelectedProduct(const QString& text, bool onBackgroundThread)
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

void KeymoorAppDelegate::attachExistingFile()
{
    emit showAttachmentsTab();
    if (!m_ui) {
        return;
    }
    OpenPanelOptions options;
    options.startFolder = m_prefs->expandedPath(PreferenceKeys::ImportFilePath);
    options.chooseFiles = true;
    options.chooseFolders = false;
    options.allowsMultipleSelection = true;
    const std::optional<QStringList> paths = m_ui->runOpenPanel(options);
    if (!paths || paths->isEmpty()) {
        return;
    }
    attachDocumentsToSelectedProduct(*paths, true);
    m_prefs->setImportFilePath(QFileInfo(paths->first()).absolutePath());
}

bool KeymoorAppDelegate::removeAttachedFiles(const QList<AttachmentEntity*>& attachments)
{
    ObjectContext* context = managedObjectContext();
    if (attachments.isEmpty() || !context || !m_ui || m_session->isReadOnly()) {
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
    if (m_ui->runAlert(alert) != 0) {
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
        emit m_session->attachmentsChanged(product);
    }
    return true;
}

void KeymoorAppDelegate::openAttachedFileWindow(AttachmentEntity* attachment)
{
    if (!attachment) {
        return;
    }
    // Saved first, so the viewer shows the attached file under its permanent identifier.
    saveAction();
    emit attachedFileWindowRequested(attachment->objectID());
}

void KeymoorAppDelegate::exportSelectedAttachments(const QList<AttachmentEntity*>& attachments)
{
    if (attachments.isEmpty() || !m_ui) {
        return;
    }
    OpenPanelOptions options;
    options.prompt = localizedString(QStringLiteral("ChooseExportFolder"));
    options.startFolder = m_prefs->expandedPath(PreferenceKeys::ExportAttachmentPath);
    options.chooseFiles = false;
    options.chooseFolders = true;
    options.canCreateFolders = true;
    const std::optional<QStringList> folders = m_ui->runOpenPanel(options);
    if (folders && !folders->isEmpty()) {
        exportSelectedAttachmentsToFolder(attachments, folders->first());
    }
}

bool KeymoorAppDelegate::exportSelectedAttachmentsToFolder(const QList<AttachmentEntity*>& attachments,
                                                           const QString& folder)
{
    if (folder.isEmpty()) {
        Log::write(QStringLiteral("Warning: exportSelectedAttachmentsToFolder: nil"));
        return false;
    }
    m_prefs->setExportAttachmentPath(folder);
    // The records are read here; the background thread only copies files.
    QList<AttachmentExport> exports;
    for (const AttachmentEntity* attachment : attachments) {
        exports.append(AttachmentExport::forAttachment(*attachment));
    }
    if (m_ui) {
        m_ui->startProgress(localizedString(attachments.size() >= 2
                                                ? QStringLiteral("ExportSelectedAttachmentsProgressMessage")
                                                : QStringLiteral("ExportSelectedAttachmentProgressMessage")));
    }
    auto result = std::make_shared<AttachmentExportResult>();
    m_session->jobs().start(
        AttachmentExportJob,
        [exports, folder, result]() -> std::optional<QString> {
            for (const AttachmentExport& attachment : exports) {
                const QString path = attachment.exportToFolder(folder);
                if (path.isEmpty()) {
                    result->failedNames.append(attachment.name());
                } else {
                    result->written.append(path);
                }
            }
            if (result->failedNames.isEmpty()) {
                return std::nullopt;
            }
            return result->failedNames.join(QStringLiteral(", "));
        },
        [this, result] { attachmentExportDidFinish(result->written, result->failedNames); },
        BackgroundJobTracker::Placement::Queue, this);
    return true;
}

void KeymoorAppDelegate::attachmentExportDidFinish(const QStringList& written, const QStringList& failedNames)
{
    if (m_ui && m_session->jobs().runningCount(AttachmentExportJob) == 0) {
        m_ui->stopProgress();
    }
    if (!failedNames.isEmpty()) {
        showNotice(
            AlertStyle::Warning, tr("Some attachments could not be exported"),
            tr("These were not written: %1. The log file has the reason.").arg(failedNames.join(QStringLiteral(", "))));
    }
    emit attachmentsExported(written, failedNames);
}

void KeymoorAppDelegate::waitForAttachmentExports()
{
    m_session->jobs().waitFor(AttachmentExportJob);
}

void KeymoorAppDelegate::showMissingScriptAlert(const QString& helperName)
{
    const QString message = QStringLiteral("Unable to locate resource path for the script named: %1. Please contact "
                                           "customer support via Help > Send Feedback.")
                                .arg(helperName);
    Log::write(QStringLiteral("ERROR: %1").arg(message));
    showNotice(AlertStyle::Warning, QStringLiteral("Missing Script"), message);
}

bool KeymoorAppDelegate::importSelectedMailViaHelper(const QString& helperName)
{
    MailScriptHelper& helper = MailScriptHelper::sharedHelper();
    const QString helperPath = helper.pathForScript(helperName);
    if (helperPath.isEmpty()) {
        showMissingScriptAlert(helperName);
        return false;
    }
    const QString folder = LibraryPaths::applicationCacheFolder();
    if (m_ui) {
        m_ui->startProgress(localizedString(QStringLiteral("ImportingSelectedMailMessage")));
    }
    // The helper runs on a thread of its own; the attaching happens on the main thread.
    auto selection = std::make_shared<MailClientSelection>();
    m_session->jobs().start(
        MailImportJob,
        [selection, &helper, helperPath, folder] {
            *selection = MailClientImport::fetchSelection(helper, helperPath, folder);
            return std::optional<QString>();
        },
        [this, selection, folder] {
            attachMailSelection(*selection, folder);
            if (m_ui) {
                m_ui->stopProgress();
            }
        },
        BackgroundJobTracker::Placement::OwnThread, this);
    return true;
}

void KeymoorAppDelegate::attachMailSelection(const MailClientSelection& selection, const QString& folder)
{
    // Messages and files from the mail client are attached at once and not scanned; each list stops
    // at its first failure, and the attached files are taken even when a message failed.
    for (const QString& text : selection.messageTexts.value_or(QStringList())) {
        if (!attachEmailRawSourceToSelectedProduct(text, false)) {
            break;
        }
    }
    for (const QString& path :
         MailClientImport::attachmentPaths(selection.attachmentNames.value_or(QStringList()), folder)) {
        if (!attachDocumentsToSelectedProduct({path}, false)) {
            break;
        }
    }
}
