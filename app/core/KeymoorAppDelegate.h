#pragma once

#include "persistence/ObjectID.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AttachedEmail;
class AttachmentEntity;
class KMAttachmentImporter;
class LibraryLock;
struct MailClientSelection;
class QThread;
struct ZRRegistrationInfo;
class ProductEntity;
class QThreadPool;
class QTimer;
class UserDefaults;
class UserInterface;
class UserPreferences;
class PrintPanel;
class ZRProductsReport;

namespace Persistence {
class ObjectContext;
class ObjectModel;
class StoreCoordinator;
struct StoreError;
} // namespace Persistence

// The one object that owns the catalogue while Keymoor runs: the library folder and its lock, the
// main object context over the store, the default data, the autosave timer, saving and quitting.
// The window, the command line and the tests all drive the application through it; it talks to the
// person only through the UserInterface it is given.
class KeymoorAppDelegate : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeymoorAppDelegate)

public:
    enum class OpenMode {
        ReadWrite, // takes the library lock, creates and upgrades the library, seeds the defaults
        ReadOnly, // for commands that only look: no lock, nothing created, nothing written
    };

    // `defaults` is the preferences store (the standard one unless a test gives its own).
    explicit KeymoorAppDelegate(UserInterface* ui, OpenMode mode = OpenMode::ReadWrite,
                                UserDefaults* defaults = nullptr, QObject* parent = nullptr);
    ~KeymoorAppDelegate() override;

    UserInterface* userInterface() const { return m_ui; }
    UserPreferences& userPrefs() const { return *m_prefs; }
    OpenMode openMode() const { return m_mode; }
    QThreadPool* backgroundOperationQueue() const { return m_queue.get(); }

    std::shared_ptr<const Persistence::ObjectModel> managedObjectModel();
    // The main context; opens (creating if needed) the library on the first call. Null when the
    // library cannot be opened: openError() says why, and the person has been told.
    Persistence::ObjectContext* managedObjectContext();
    QString openError() const { return m_openError; }

    // Decides whether the store on disk can be opened as it is. Stores of older versions are kept
    // untouched and refused for now; newer ones are refused. Runs at most once per process.
    bool upgradeLibrary();

    // Seeds the currencies (once, when the catalogue has none) and refreshes Keymoor's own record.
    void initializeDefaultData();
    void initializeDefaultCurrencies();
    void initializeDefaultProduct();
    // The record of Keymoor itself: the product titled with the executable name.
    ProductEntity* ownProduct();
    static bool isOwnProduct(const ProductEntity* product);

    // Saves the main context if it has changes; on failure logs, tells the person and keeps the
    // changes in memory. Answers whether everything is saved.
    bool saveAction();

    // Starts the repeating autosave at the preferred interval (read once per launch).
    void startAutoSaveTimer();
    // Called when launching has finished: the autosave starts 3 seconds later.
    void applicationDidFinishLaunching();

    enum class TerminateReply { Now, Cancel };
    // The quit sequence: commit edits, save (asking what to do when that fails), then remove orphaned
    // files and the cache contents, also when the quit is cancelled.
    TerminateReply applicationShouldTerminate();

    // A new product, saved, for the person to fill in.
    ProductEntity* addNewProduct();
    // Asks for confirmation, then deletes the products (never Keymoor's own record). Answers whether
    // anything was removed.
    bool removeProducts(const QList<ProductEntity*>& products);

    // Puts the product's value for `key` on the clipboard as plain text (a serial number marked
    // sensitive, so clipboard managers do not keep it).
    void copyProductKeyStringValueToClipboard(const ProductEntity* product, const QString& key);
    void copySerialToClipboard(const ProductEntity* product);

    // Writes what a scanned purchase e-mail gave into the product: asks first when the person wants
    // that and the product has a serial number, then sets the serial, the registered e-mail and the
    // purchase date (each only when found), and copies the serial when "Auto Copy Serial" is on.
    // Answers whether the product was changed.
    bool applyRegistrationInfo(ProductEntity* product, const ZRRegistrationInfo& info);

    // The window ends the text edit in progress so typed text reaches the catalogue before a save.
    void setCommitEditingHandler(std::function<void()> handler) { m_commitEditing = std::move(handler); }
    void gracefullyCommitEditing();

    QString prettyAppVersion() const;

    // ---- Attachments (KeymoorAppDelegateAttachments.cpp) ----

    // Names of the notifications of attaching, as the rest of the system knows them.
    static const char* const ImportSelectedMailNotification; // "ImportSelectedMail"
    static const char* const ImportSelectedMailFromOutlookNotification; // "ImportSelectedMailFromOutlook"
    static const char* const AttachDocumentsCompletedNotification; // "AttachDocumentsToProductCompleted"
    static const char* const NewAttachmentIDsKey; // "newAttachmentIDs"

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
    // Runs the event loop until every running attach job has completed (command line, tests).
    void waitForAttachmentImports();
    int runningAttachmentImports() const { return int(m_importers.size() + m_mailImports.size()); }

    // Re-reads the objects in the main context, keeping its unsaved changes on top; answers the
    // first attached file among them (null when there is none).
    AttachmentEntity* refreshObjects(const QList<Persistence::ObjectID>& ids);
    // Selects a newly attached file and, when it is an e-mail and scanning on import is on, scans it.
    void mergeAttachedDocument(const Persistence::ObjectID& id);
    // Scans an attached e-mail and writes what it finds into the e-mail's own product (asking first
    // when the product has a serial number and the person wants that). Answers whether it changed.
    bool scanEmailForRegistrationInfo(AttachedEmail* email);
    // Overrides "Scan Email Upon Import Key" for this run (command line --no-scan); nullopt: the preference.
    void setScanEmailUponImportOverride(std::optional<bool> scan) { m_scanOverride = scan; }

    // Attaches the messages selected in the mail client, and their attached files, through the
    // helper program of that name ("MailHelper", "OutlookHelper"): the helper runs on a thread of its
    // own, the attaching happens on the main thread without a scan. A missing helper is reported
    // with an alert and answers false.
    bool importSelectedMailViaHelper(const QString& helperName);
    void attachSelectedEmail()
    {
        emit showAttachmentsTab();
        importSelectedMailViaHelper(QStringLiteral("MailHelper"));
    }
    void attachSelectedEmailFromOutlook()
    {
        emit showAttachmentsTab();
        importSelectedMailViaHelper(QStringLiteral("OutlookHelper"));
    }
    void showMissingScriptAlert(const QString& helperName);
    // Writes the cache file of a raw message; tests make it fail on demand.
    using CacheFileWriter = std::function<bool(const QByteArray& bytes, const QString& path, QString* error)>;
    void setCacheFileWriter(CacheFileWriter writer) { m_cacheFileWriter = std::move(writer); }

    // Commands of the attachments list.
    void attachExistingFile();
    // Asks for confirmation with the texts for the selection, then deletes the attached files.
    bool removeAttachedFiles(const QList<AttachmentEntity*>& attachments);
    // Asks for a folder, then exports the attachments into it.
    void exportSelectedAttachments(const QList<AttachmentEntity*>& attachments);
    // Remembers the folder as "Export Attachment Path" and exports each attachment into it, under
    // the progress sheet. Answers the paths written.
    QStringList exportSelectedAttachmentsToFolder(const QList<AttachmentEntity*>& attachments, const QString& folder);

    // ---- Report, printing and the sync folder (KeymoorAppDelegateReport.cpp) ----

    // Where print jobs go (the window's print dialog); without one, printing fails and says so.
    void setPrintPanel(PrintPanel* panel) { m_printPanel = panel; }
    PrintPanel* printPanel() const { return m_printPanel; }
    // The most recent report; it lives until the next print command replaces it.
    ZRProductsReport* productsReport() const { return m_productsReport.get(); }
    void setProductsReport(std::shared_ptr<ZRProductsReport> report) { m_productsReport = std::move(report); }
    // A new report reading through a private context on the main store coordinator; null without
    // a library.
    std::shared_ptr<ZRProductsReport> newProductsReport();
    // Print: saves, then prints the selected product after the print dialog; with nothing selected
    // the alert "No Product to Print" instead. Print All: saves, then prints every product. Both
    // follow "Print All One App Per Page" and answer whether the report was printed.
    bool print();
    bool printAll();
    // "Sync to iPhone": with sync switched off, asks for the "Sync Update" preferences instead;
    // otherwise saves and writes the sync folder into the chosen cloud-storage folder, showing the
    // "Sync Failed" alert when there is none or the export fails. Answers whether it was written.
    bool syncToMobile();
    static const char* const SyncPreferencesPane; // "Sync Update"

signals:
    // "AttachDocumentsToProductCompleted": the identifiers of the attachments an attach job made.
    void attachDocumentsToProductCompleted(const QList<Persistence::ObjectID>& newAttachmentIDs);
    // An attached file should be shown selected in the attachments list (and the list switched to).
    void selectAttachment(AttachmentEntity* attachment);
    // The attachments of a product changed outside the list's own edits: reload them.
    void attachmentsChanged(ProductEntity* product);
    // The attachments tab of the detail view should be shown.
    void showAttachmentsTab();

    // The products changed outside the window's own edits (added, removed, imported): refetch.
    void productsChanged();
    // A product was added and should be selected with the cursor in its title.
    void productAdded(ProductEntity* product);
    // The preferences window should open on the pane with this identifier.
    void preferencesPaneRequested(const QString& identifier);

protected:
    // Writes the main context to the store; tests replace it to make saving fail.
    virtual bool saveContext(Persistence::ObjectContext* context, Persistence::StoreError* error);

private:
    bool openLibrary();
    void attachMailSelection(const MailClientSelection& selection, const QString& folder);
    void startAttachmentImporter(ProductEntity* product, const QStringList& paths);
    void attachmentImporterDidFinish(KMAttachmentImporter* importer);
    void attachDocumentsCompleted(const QList<Persistence::ObjectID>& ids);
    void releaseImporter(KMAttachmentImporter* importer);
    bool scanEmailUponImport() const;
    void reportOpenFailure(const QString& title, const QString& message);
    bool printReport(const std::optional<Persistence::ObjectID>& productID);

    UserInterface* m_ui;
    OpenMode m_mode;
    std::unique_ptr<UserDefaults> m_ownDefaults;
    std::unique_ptr<UserPreferences> m_prefs;
    std::unique_ptr<QThreadPool> m_queue;
    std::unique_ptr<LibraryLock> m_lock;
    std::shared_ptr<const Persistence::ObjectModel> m_model;
    std::shared_ptr<Persistence::StoreCoordinator> m_coordinator;
    std::unique_ptr<Persistence::ObjectContext> m_context;
    QTimer* m_autosaveTimer = nullptr;
    std::function<void()> m_commitEditing;
    std::function<ProductEntity*()> m_selectedProduct;
    std::optional<bool> m_scanOverride;
    struct RunningImport
    {
        std::unique_ptr<KMAttachmentImporter> importer;
        QThread* thread = nullptr;
    };
    std::vector<RunningImport> m_importers;
    std::vector<QThread*> m_mailImports;
    CacheFileWriter m_cacheFileWriter;
    PrintPanel* m_printPanel = nullptr;
    std::shared_ptr<ZRProductsReport> m_productsReport;
    QString m_openError;
    bool m_openAttempted = false;
    bool m_upgradeAttempted = false;
};
