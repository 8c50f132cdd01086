#pragma once

#include "persistence/ObjectID.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class AttachmentEntity;
class EmailRegistrationScan;
class KMAttachmentImporter;
class LibrarySession;
class ProductEntity;

// Attaching files and raw messages to the selected product (through importers on the job tracker),
// the completion that refreshes, selects and scans what was attached, removing attached files and
// asking for the viewer window. Changes of a product's attachments are announced through the session.
class AttachmentService : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AttachmentService)

public:
    // The kinds of background job of attaching: the importers and the mail-program fetches.
    static inline const QString ImporterJob = QStringLiteral("KMAttachmentImporter");
    static inline const QString MailImportJob = QStringLiteral("MailClientImport");

    // Writes the cache file of a raw message; tests make it fail on demand.
    using CacheFileWriter = std::function<bool(const QByteArray& bytes, const QString& path, QString* error)>;

    AttachmentService(LibrarySession& session, EmailRegistrationScan& scan, QObject* parent = nullptr);
    ~AttachmentService() override;

    // The product the attach commands work on: the window's first selected product, or the one a
    // command-line command names. Without a provider nothing is selected.
    void setSelectedProductProvider(std::function<ProductEntity*()> provider);
    ProductEntity* selectedProduct() const;

    // Attaches files to the selected product. An empty list, or no selected product, succeeds and
    // does nothing. A list holding any unsupported type ("app") attaches nothing: alert, false.
    // Jobs of more than 2 MiB show the progress sheet. With `onBackgroundThread` an importer copies
    // the files on a thread of its own, and the completion selects the new attachments and scans
    // new e-mails (when "Scan Email Upon Import Key" is on); otherwise the files are attached at
    // once, saved, and not scanned.
    bool attachDocumentsToSelectedProduct(const QStringList& paths, bool onBackgroundThread);
    // Writes a raw message to "<cache>/<UUID>.eml" and attaches that file the same way.
    bool attachEmailRawSourceToSelectedProduct(const QString& text, bool onBackgroundThread);
    void setCacheFileWriter(CacheFileWriter writer) { m_cacheFileWriter = std::move(writer); }
    // Shows the attachments tab, asks for files and attaches them in the background, remembering
    // their folder as "Import File Path".
    void attachExistingFile();
    // Runs the event loop until every running attach job has completed (command line, tests).
    void waitForAttachmentImports();
    int runningAttachmentImports() const;

    // Re-reads the objects in the main context, keeping its unsaved changes on top; answers the
    // first attached file among them (null when there is none).
    AttachmentEntity* refreshObjects(const QList<Persistence::ObjectID>& ids);
    // Selects a newly attached file and, when it is an e-mail and scanning on import is on, scans it.
    void mergeAttachedDocument(const Persistence::ObjectID& id);

    // Asks for confirmation with the texts for the selection, then deletes the attached files.
    bool removeAttachedFiles(const QList<AttachmentEntity*>& attachments);
    // Saves, then asks the window to show the attached file in its viewer window.
    void openAttachedFileWindow(AttachmentEntity* attachment);

signals:
    // "AttachDocumentsToProductCompleted": the identifiers of the attachments an attach job made.
    void attachDocumentsToProductCompleted(const QList<Persistence::ObjectID>& newAttachmentIDs);
    // An attached file should be shown selected in the attachments list (and the list switched to).
    void selectAttachment(AttachmentEntity* attachment);
    // The attachments tab of the detail view should be shown.
    void showAttachmentsTab();
    // The attached file should be shown in its viewer window (one window per attached file).
    void attachedFileWindowRequested(const Persistence::ObjectID& attachmentID);

private:
    bool rejectUnsupportedTypes(const QStringList& paths);
    void attachAtOnce(ProductEntity* product, const QStringList& paths, bool showProgress);
    void startAttachmentImporter(ProductEntity* product, const QStringList& paths);
    void attachmentImporterDidFinish(const KMAttachmentImporter& importer);
    void attachDocumentsCompleted(const QList<Persistence::ObjectID>& ids);
    // Starts or stops the progress sheet from the event loop, after what is queued already.
    void queueProgressStart(const QString& message);
    void queueProgressStop();

    LibrarySession& m_session;
    EmailRegistrationScan& m_scan;
    std::function<ProductEntity*()> m_selectedProduct;
    CacheFileWriter m_cacheFileWriter;
};
