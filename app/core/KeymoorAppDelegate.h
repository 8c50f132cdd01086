#pragma once

#include "import/DelimitedTextOptions.h"
#include "import/ImportCounts.h"
#include "import/ZRDelimitedTextParsing.h"
#include "library/LibrarySession.h"
#include "persistence/ObjectID.h"
#include "products/DesktopLauncherProvider.h"
#include "products/LinkCommands.h"
#include "products/ProductApplicationCommands.h"
#include "products/ProductCommands.h"
#include "report/ReportService.h"
#include "sync/SyncService.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

enum class AlertStyle;
class AttachedEmail;
class AttachmentEntity;
class BackgroundJobTracker;
class KMAttachmentImporter;
class KMImportOperation;
class ApplicationLocator;
class DesktopLauncher;
struct MailClientSelection;
struct ZRRegistrationInfo;
class ProductEntity;
class QThreadPool;
class UserDefaults;
class UserInterface;
class UserPreferences;
class ZRDataMigrator;
class PrintPanel;
class ZRProductsReport;

namespace Persistence {
class ObjectContext;
class ObjectModel;
class StoreCoordinator;
struct SaveNotice;
struct StoreError;
} // namespace Persistence

// The application controller the window, the command line and the tests drive Keymoor through. The
// open library (its lock, the main context, the default data, saving, autosave and quitting) lives
// in the LibrarySession it owns; the controller forwards those under their long-standing names and
// runs the user commands on top. It talks to the person only through the UserInterface it is given.
class KeymoorAppDelegate : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KeymoorAppDelegate)

public:
    using OpenMode = LibrarySession::OpenMode;

    // `defaults` is the preferences store (the standard one unless a test gives its own).
    explicit KeymoorAppDelegate(UserInterface* ui, OpenMode mode = OpenMode::ReadWrite,
                                UserDefaults* defaults = nullptr, QObject* parent = nullptr);
    ~KeymoorAppDelegate() override;

    // The open library; everything below forwards to it under the controller's own names.
    LibrarySession& session() const { return *m_session; }
    // Every background job (attaching, imports, exports, maintenance), counted by kind.
    BackgroundJobTracker& jobs() const { return m_session->jobs(); }

    UserInterface* userInterface() const { return m_session->userInterface(); }
    UserPreferences& userPrefs() const { return m_session->userPrefs(); }
    OpenMode openMode() const { return m_session->openMode(); }
    QThreadPool* backgroundOperationQueue() const { return m_session->backgroundOperationQueue(); }

    std::shared_ptr<const Persistence::ObjectModel> managedObjectModel() { return m_session->managedObjectModel(); }
    // The main context; opens (creating if needed) the library on the first call. Null when the
    // library cannot be opened: openError() says why, and the person has been told.
    Persistence::ObjectContext* managedObjectContext() { return m_session->managedObjectContext(); }
    QString openError() const { return m_session->openError(); }

    // Brings the store on disk to the current model before it is opened (see LibrarySession); the
    // controller's data migrator does the upgrading.
    bool upgradeLibrary() { return m_session->upgradeLibrary(); }

    // The library-maintenance controller (made on first use, kept for the controller's life).
    ZRDataMigrator* dataMigrator();
    // Asks the application to quit (after a failed restore); the window and the command line act on it.
    void requestTermination() { m_session->requestTermination(); }
    bool isTerminationRequested() const { return m_session->isTerminationRequested(); }

    // Seeds the currencies (once, when the catalogue has none) and refreshes Keymoor's own record.
    void initializeDefaultData() { m_session->initializeDefaultData(); }
    void initializeDefaultCurrencies() { m_session->initializeDefaultCurrencies(); }
    void initializeDefaultProduct() { m_session->initializeDefaultProduct(); }
    // The record of Keymoor itself: the product titled with the executable name.
    ProductEntity* ownProduct() { return m_session->ownProduct(); }
    static bool isOwnProduct(const ProductEntity* product) { return LibrarySession::isOwnProduct(product); }

    // Saves the main context if it has changes; on failure logs, tells the person and keeps the
    // changes in memory. Answers whether everything is saved.
    bool saveAction() { return m_session->saveAction(); }

    // The autosave (see LibrarySession).
    void startAutoSaveTimer() { m_session->startAutoSaveTimer(); }
    void autoSaveTimeIntervalChanged() { m_session->autoSaveTimeIntervalChanged(); }
    int autoSaveTimerInterval() const { return m_session->autoSaveTimerInterval(); }
    void applicationDidFinishLaunching() { m_session->applicationDidFinishLaunching(); }

    using TerminateReply = LibrarySession::TerminateReply;
    // The quit sequence: commit edits, save (asking what to do when that fails), then remove orphaned
    // files and the cache contents, also when the quit is cancelled.
    TerminateReply applicationShouldTerminate() { return m_session->applicationShouldTerminate(); }

    // ---- Products (products/ProductCommands.h) ----

    ProductCommands& products() const { return *m_products; }
    ProductEntity* addNewProduct() { return m_products->addNewProduct(); }
    bool removeProducts(const QList<ProductEntity*>& products) { return m_products->removeProducts(products); }
    void copyProductKeyStringValueToClipboard(const ProductEntity* product, const QString& key)
    {
        m_products->copyProductKeyStringValueToClipboard(product, key);
    }
    void copySerialToClipboard(const ProductEntity* product) { m_products->copySerialToClipboard(product); }
    void copyRegisteredNameToClipboard(const ProductEntity* product)
    {
        m_products->copyRegisteredNameToClipboard(product);
    }
    void copyRegisteredEmailToClipboard(const ProductEntity* product)
    {
        m_products->copyRegisteredEmailToClipboard(product);
    }
    bool applyRegistrationInfo(ProductEntity* product, const ZRRegistrationInfo& info)
    {
        return m_products->applyRegistrationInfo(product, info);
    }

    // The window ends the text edit in progress so typed text reaches the catalogue before a save.
    void setCommitEditingHandler(std::function<void()> handler)
    {
        m_session->setCommitEditingHandler(std::move(handler));
    }
    void gracefullyCommitEditing() { m_session->gracefullyCommitEditing(); }

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
    int runningAttachmentImports() const;

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
    // Saves, then asks the window to show the attached file in its viewer window.
    void openAttachedFileWindow(AttachmentEntity* attachment);
    // Asks for a folder, then exports the attachments into it.
    void exportSelectedAttachments(const QList<AttachmentEntity*>& attachments);
    // Remembers the folder as "Export Attachment Path" and exports each attachment into it on a
    // background thread, under the progress sheet; `attachmentsExported` follows on this thread, and
    // the person is told which attachments could not be written. False when nothing was started.
    bool exportSelectedAttachmentsToFolder(const QList<AttachmentEntity*>& attachments, const QString& folder);
    // Runs the event loop until every started attachment export has finished.
    void waitForAttachmentExports();

    // ---- A product's application and icon (products/ProductApplicationCommands.h) ----

    ProductApplicationCommands& applications() const { return *m_applications; }
    // The desktop that files and addresses are handed to; null puts the system's back. Not owned.
    void setDesktopLauncher(DesktopLauncher* launcher) { m_desktop->setLauncher(launcher); }
    DesktopLauncher& desktopLauncher() { return m_desktop->launcher(); }
    ApplicationLocator applicationLocator() const { return m_applications->applicationLocator(); }
    bool launchApplication(const ProductEntity* product) { return m_applications->launchApplication(product); }
    bool locateApp(ProductEntity* product) { return m_applications->locateApp(product); }
    bool revealAppInFinder(const ProductEntity* product) { return m_applications->revealAppInFinder(product); }
    bool updateInfoForApp(ProductEntity* product) { return m_applications->updateInfoForApp(product); }
    bool updateInfoForApp(ProductEntity* product, ApplicationLocator& locator)
    {
        return m_applications->updateInfoForApp(product, locator);
    }
    int updateAllAppInfo(const QList<ProductEntity*>& products) { return m_applications->updateAllAppInfo(products); }
    bool addAppIcon(ProductEntity* product) { return m_applications->addAppIcon(product); }
    bool removeAppIcon(ProductEntity* product) { return m_applications->removeAppIcon(product); }
    bool fileDroppedFile(ProductEntity* product, const QString& path)
    {
        return m_applications->fileDroppedFile(product, path);
    }
    bool fileDroppedImage(ProductEntity* product, const QByteArray& imageBytes)
    {
        return m_applications->fileDroppedImage(product, imageBytes);
    }

    // ---- Web and mail addresses (products/LinkCommands.h) ----

    LinkCommands& links() const { return *m_links; }
    bool openStringAsURL(const QString& text, const QString& subject = QString())
    {
        return m_links->openStringAsURL(text, subject);
    }
    bool sendEmailTo(const QString& address, const QString& subject) { return m_links->sendEmailTo(address, subject); }
    bool openWebsiteInBrowser(const ProductEntity* product) { return m_links->openWebsiteInBrowser(product); }
    bool sendDeveloperEmail(const ProductEntity* product) { return m_links->sendDeveloperEmail(product); }
    bool openSupport() { return m_links->openSupport(); }
    bool openFrequentlyAskedQuestionsSite() { return m_links->openFrequentlyAskedQuestionsSite(); }
    bool openReleaseNotesSite() { return m_links->openReleaseNotesSite(); }
    bool sendFeedback() { return m_links->sendFeedback(); }
    bool checkForUpdates() { return m_links->checkForUpdates(); }

    // ---- Printing (report/ReportService.h) and the sync folder (sync/SyncService.h) ----

    ReportService& reports() const { return *m_reports; }
    void setPrintPanel(PrintPanel* panel) { m_reports->setPrintPanel(panel); }
    PrintPanel* printPanel() const { return m_reports->printPanel(); }
    ZRProductsReport* productsReport() const { return m_reports->productsReport(); }
    void setProductsReport(std::shared_ptr<ZRProductsReport> report)
    {
        m_reports->setProductsReport(std::move(report));
    }
    std::shared_ptr<ZRProductsReport> newProductsReport() { return m_reports->newProductsReport(); }
    // Print works on the selected product (selectedProduct()).
    bool print() { return m_reports->print(selectedProduct()); }
    bool printAll() { return m_reports->printAll(); }

    SyncService& sync() const { return *m_sync; }
    bool syncToMobile() { return m_sync->syncToMobile(); }
    static constexpr const char* SyncPreferencesPane = SyncService::PreferencesPane; // "Sync Update"

    // ---- Delimited text imports (KeymoorAppDelegateTextImport.cpp) ----

    // The table import: each row becomes a product, or with `updateExisting` updates the first
    // product whose title matches the row's title as a case-insensitive pattern. `mapping` names the
    // key path of each column ("Don't Import" for ignored ones) and must hold "title". Works in a
    // private context saved once at the end, under the progress sheet; on success the window
    // re-fetches its list. Nothing (after a log line and an error shown) when the mapping has no
    // title or the save fails; then the catalogue is unchanged.
    std::optional<ImportCounts> importProductsArray(const DelimitedRows& rows, const QStringList& mapping,
                                                    bool updateExisting);
    // The line import of each line in the given context (see importProductWithString), under the
    // progress sheet, then a save of the main catalogue. Answers what was added and updated.
    ImportCounts importProductStrings(const QStringList& lines, const QString& fieldDelimiter, const QString& quote,
                                      const QStringList& mapping, bool updateExisting,
                                      Persistence::ObjectContext* context);
    // Reads a UTF-8 text file (line breaks normalised), cuts it into rows, drops the first row when
    // it is a header, and runs the table import. A file that cannot be read or is no UTF-8 text is
    // reported and changes nothing.
    std::optional<ImportCounts> importTextFile(const QString& path, const DelimitedTextOptions& options,
                                               const QStringList& mapping, bool updateExisting);

    // ---- Imports of other programs' files (KeymoorAppDelegateImport.cpp) ----

    // Start one import of each path whose extension is "keymoor" (respectively "appshelf"),
    // ignoring case, each on a thread of its own; answer the other paths in their order.
    QStringList importKeymoorDataFiles(const QStringList& paths);
    QStringList importMacHeist3DataFiles(const QStringList& paths);
    // Each starts one import of the file on a thread of its own, under the progress sheet: Keymoor's
    // product data file, a MacHeist 3 data file, The Serial Keeper's XML export. When it has
    // finished, the window re-fetches its list and what the import has to say is shown.
    void actionImportKeymoorPlist(const QString& path);
    void actionImportAppShelfXML(const QString& path);
    void actionImportSerialKeeperXML(const QString& path);
    // Imports the records the helper "YojimboHelper" hands over (updating products of the same
    // title when `overwrite`); a missing helper is reported and answers false.
    bool actionImportYojimboSerialNumbers(bool overwrite);
    // Runs the event loop until every file import started here has finished (command line, tests).
    void waitForFileImports();
    int runningFileImports() const;
    // What the imports finished since the last call added and updated; resets the counts.
    ImportCounts takeImportCounts();
    // Adds the products an import made or changed to the counts (any thread).
    void addImportCounts(const ImportCounts& counts);

    // ---- Files handed to the application and application bundle import
    //      (KeymoorAppDelegateBundleImport.cpp) ----

    // Files opened with Keymoor or dropped on its products list: Keymoor's own data files, then
    // MacHeist 3 data files, each start an import of their own; the remaining paths go, in their
    // order, to one application-bundle import.
    void openFiles(const QStringList& paths);
    // Queues one background import that makes a product of each path that is importable software
    // or a Yojimbo export, saves them together, merges them into the main context and then asks for
    // the first new product to be selected (selectAndScrollToProduct). Answers whether it was queued:
    // not without paths or a writable library.
    bool importProductsFromFiles(const QStringList& paths);
    // Runs the event loop until every bundle import queued here has been merged (command line, tests).
    void waitForProductImports();
    int runningProductImports() const;

    // The import commands, each with its own starting folder and kind: applications (starting in,
    // and remembering, "Import App Path"), preference panes, plug-ins (any file) and widgets.
    void importNewProduct();
    void importPrefPane();
    void importPlugin();
    void importWidget();
    // Asks for files (and bundle folders) in the open panel, starting in `startingPath` ("~" for the
    // home folder; the home folder when it does not exist) and offering files with the extensions
    // given (every file when none are). For the kind "app" the folder of the first chosen path
    // becomes the next "Import App Path". The chosen paths go to importProductsFromFiles.
    void importProductWithStartingPath(const QString& startingPath, const QStringList& allowedExtensions,
                                       const QString& kind);

signals:
    // "AttachDocumentsToProductCompleted": the identifiers of the attachments an attach job made.
    void attachDocumentsToProductCompleted(const QList<Persistence::ObjectID>& newAttachmentIDs);
    // An attached file should be shown selected in the attachments list (and the list switched to).
    void selectAttachment(AttachmentEntity* attachment);
    // The attachments of a product changed outside the list's own edits: reload them.
    void attachmentsChanged(ProductEntity* product);
    // The attachments tab of the detail view should be shown.
    void showAttachmentsTab();
    // The attached file should be shown in its viewer window (one window per attached file).
    void attachedFileWindowRequested(const Persistence::ObjectID& attachmentID);
    // An attachment export ended: the files written, and the names of attachments that were not.
    void attachmentsExported(const QStringList& written, const QStringList& failedNames);

    // The application must quit: a restore failed and the catalogue cannot be trusted.
    void terminationRequested();

    // The products changed outside the window's own edits (added, removed, imported): refetch.
    void productsChanged();
    // A product was added and should be selected with the cursor in its title.
    void productAdded(ProductEntity* product);
    // A command changed the fields or the icon of a product.
    void productChanged(ProductEntity* product);
    // The preferences window should open on the pane with this identifier.
    void preferencesPaneRequested(const QString& identifier);
    // A background import made products: the first of them (a null identifier when the import made
    // none) should be selected in the products list and scrolled to.
    void selectAndScrollToProduct(const Persistence::ObjectID& productID);

protected:
    // Writes a context to the store (the session saves through it); tests replace it to make saving fail.
    virtual bool saveContext(Persistence::ObjectContext* context, Persistence::StoreError* error);

private:
    void forwardSessionSignals();
    bool upgradeStores(const QString& legacyPath, const QString& storePath);
    void attachMailSelection(const MailClientSelection& selection, const QString& folder);
    void startAttachmentImporter(ProductEntity* product, const QStringList& paths);
    void attachmentImporterDidFinish(const KMAttachmentImporter& importer);
    void attachDocumentsCompleted(const QList<Persistence::ObjectID>& ids);
    void startImportOperation(std::unique_ptr<KMImportOperation> operation);
    void importOperationDidFinish(const KMImportOperation& operation);
    bool scanEmailUponImport() const;
    void attachmentExportDidFinish(const QStringList& written, const QStringList& failedNames);
    // Shows an alert with one OK button when there is a user interface.
    void showNotice(AlertStyle style, const QString& title, const QString& message);
    void productImportSaved(const Persistence::SaveNotice& notice, const QList<Persistence::ObjectID>& createdIDs);
    void productImportFailed(const Persistence::StoreError& error);

    std::unique_ptr<LibrarySession> m_session;
    // Shortcuts into the session for the command code.
    UserInterface* m_ui;
    UserPreferences* m_prefs;
    std::unique_ptr<DesktopLauncherProvider> m_desktop;
    std::unique_ptr<ProductCommands> m_products;
    std::unique_ptr<ProductApplicationCommands> m_applications;
    std::unique_ptr<LinkCommands> m_links;
    std::unique_ptr<ReportService> m_reports;
    std::unique_ptr<SyncService> m_sync;
    std::function<ProductEntity*()> m_selectedProduct;
    std::optional<bool> m_scanOverride;
    CacheFileWriter m_cacheFileWriter;
    std::unique_ptr<ZRDataMigrator> m_migrator;
    mutable std::mutex m_importCountsMutex;
    ImportCounts m_importCounts;
};
