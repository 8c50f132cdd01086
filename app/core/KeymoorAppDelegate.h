#pragma once

#include "attachments/AttachmentExportService.h"
#include "attachments/AttachmentNotifications.h"
#include "attachments/AttachmentService.h"
#include "attachments/EmailRegistrationScan.h"
#include "attachments/MailImportService.h"
#include "import/DelimitedTextOptions.h"
#include "import/ImportCounts.h"
#include "import/ImportService.h"
#include "import/SoftwareDiscoveryService.h"
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
#include <optional>
#include <vector>

enum class AlertStyle;
class AttachedEmail;
class AttachmentEntity;
class BackgroundJobTracker;
class ApplicationLocator;
class DesktopLauncher;
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

    // ---- Attachments (attachments/AttachmentService.h, MailImportService.h, AttachmentExportService.h,
    //      EmailRegistrationScan.h) ----

    AttachmentService& attachments() const { return *m_attachments; }
    MailImportService& mailImports() const { return *m_mailImports; }
    AttachmentExportService& attachmentExports() const { return *m_attachmentExports; }
    EmailRegistrationScan& emailScan() const { return *m_emailScan; }

    static constexpr const char* ImportSelectedMailNotification = AttachmentNotifications::ImportSelectedMail;
    static constexpr const char* ImportSelectedMailFromOutlookNotification
        = AttachmentNotifications::ImportSelectedMailFromOutlook;
    static constexpr const char* AttachDocumentsCompletedNotification
        = AttachmentNotifications::AttachDocumentsCompleted;
    static constexpr const char* NewAttachmentIDsKey = AttachmentNotifications::NewAttachmentIDsKey;

    void setSelectedProductProvider(std::function<ProductEntity*()> provider)
    {
        m_attachments->setSelectedProductProvider(std::move(provider));
    }
    ProductEntity* selectedProduct() const { return m_attachments->selectedProduct(); }
    bool attachDocumentsToSelectedProduct(const QStringList& paths, bool onBackgroundThread)
    {
        return m_attachments->attachDocumentsToSelectedProduct(paths, onBackgroundThread);
    }
    bool attachEmailRawSourceToSelectedProduct(const QString& text, bool onBackgroundThread)
    {
        return m_attachments->attachEmailRawSourceToSelectedProduct(text, onBackgroundThread);
    }
    void waitForAttachmentImports() { m_attachments->waitForAttachmentImports(); }
    int runningAttachmentImports() const { return m_attachments->runningAttachmentImports(); }
    AttachmentEntity* refreshObjects(const QList<Persistence::ObjectID>& ids)
    {
        return m_attachments->refreshObjects(ids);
    }
    void mergeAttachedDocument(const Persistence::ObjectID& id) { m_attachments->mergeAttachedDocument(id); }
    bool scanEmailForRegistrationInfo(AttachedEmail* email) { return m_emailScan->scanEmailForRegistrationInfo(email); }
    void setScanEmailUponImportOverride(std::optional<bool> scan) { m_emailScan->setScanEmailUponImportOverride(scan); }

    bool importSelectedMailViaHelper(const QString& helperName)
    {
        return m_mailImports->importSelectedMailViaHelper(helperName);
    }
    void attachSelectedEmail() { m_mailImports->attachSelectedEmail(); }
    void attachSelectedEmailFromOutlook() { m_mailImports->attachSelectedEmailFromOutlook(); }
    void showMissingScriptAlert(const QString& helperName) { m_mailImports->showMissingScriptAlert(helperName); }
    using CacheFileWriter = AttachmentService::CacheFileWriter;
    void setCacheFileWriter(CacheFileWriter writer) { m_attachments->setCacheFileWriter(std::move(writer)); }

    void attachExistingFile() { m_attachments->attachExistingFile(); }
    bool removeAttachedFiles(const QList<AttachmentEntity*>& attachments)
    {
        return m_attachments->removeAttachedFiles(attachments);
    }
    void openAttachedFileWindow(AttachmentEntity* attachment) { m_attachments->openAttachedFileWindow(attachment); }
    void exportSelectedAttachments(const QList<AttachmentEntity*>& attachments)
    {
        m_attachmentExports->exportSelectedAttachments(attachments);
    }
    bool exportSelectedAttachmentsToFolder(const QList<AttachmentEntity*>& attachments, const QString& folder)
    {
        return m_attachmentExports->exportSelectedAttachmentsToFolder(attachments, folder);
    }
    void waitForAttachmentExports() { m_attachmentExports->waitForAttachmentExports(); }

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

    // ---- Imports (import/ImportService.h: TextImportService.h, FileImportService.h,
    //      BundleImportService.h) ----

    ImportService& imports() const { return *m_imports; }
    // The installed applications not yet in the catalogue, and adding them.
    SoftwareDiscoveryService& softwareDiscovery() const { return *m_discovery; }

    std::optional<ImportCounts> importProductsArray(const DelimitedRows& rows, const QStringList& mapping,
                                                    bool updateExisting)
    {
        return m_imports->text().importProductsArray(rows, mapping, updateExisting);
    }
    ImportCounts importProductStrings(const QStringList& lines, const QString& fieldDelimiter, const QString& quote,
                                      const QStringList& mapping, bool updateExisting,
                                      Persistence::ObjectContext* context)
    {
        return m_imports->text().importProductStrings(lines, fieldDelimiter, quote, mapping, updateExisting, context);
    }
    std::optional<ImportCounts> importTextFile(const QString& path, const DelimitedTextOptions& options,
                                               const QStringList& mapping, bool updateExisting)
    {
        return m_imports->text().importTextFile(path, options, mapping, updateExisting);
    }

    QStringList importKeymoorDataFiles(const QStringList& paths)
    {
        return m_imports->files().importKeymoorDataFiles(paths);
    }
    QStringList importMacHeist3DataFiles(const QStringList& paths)
    {
        return m_imports->files().importMacHeist3DataFiles(paths);
    }
    void actionImportKeymoorPlist(const QString& path) { m_imports->files().actionImportKeymoorPlist(path); }
    void actionImportAppShelfXML(const QString& path) { m_imports->files().actionImportAppShelfXML(path); }
    void actionImportSerialKeeperXML(const QString& path) { m_imports->files().actionImportSerialKeeperXML(path); }
    bool actionImportYojimboSerialNumbers(bool overwrite)
    {
        return m_imports->files().actionImportYojimboSerialNumbers(overwrite);
    }
    void waitForFileImports() { m_imports->files().waitForFileImports(); }
    int runningFileImports() const { return m_imports->files().runningFileImports(); }
    ImportCounts takeImportCounts() { return m_imports->takeImportCounts(); }
    void addImportCounts(const ImportCounts& counts) { m_imports->addImportCounts(counts); }

    void openFiles(const QStringList& paths) { m_imports->bundles().openFiles(paths); }
    bool importProductsFromFiles(const QStringList& paths)
    {
        return m_imports->bundles().importProductsFromFiles(paths);
    }
    void waitForProductImports() { m_imports->bundles().waitForProductImports(); }
    int runningProductImports() const { return m_imports->bundles().runningProductImports(); }
    void importNewProduct() { m_imports->bundles().importNewProduct(); }
    void importPrefPane() { m_imports->bundles().importPrefPane(); }
    void importPlugin() { m_imports->bundles().importPlugin(); }
    void importWidget() { m_imports->bundles().importWidget(); }
    void importProductWithStartingPath(const QString& startingPath, const QStringList& allowedExtensions,
                                       const QString& kind)
    {
        m_imports->bundles().importProductWithStartingPath(startingPath, allowedExtensions, kind);
    }

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
    void makeAttachmentServices();
    void makeImportServices();
    bool upgradeStores(const QString& legacyPath, const QString& storePath);
    // Shows an alert with one OK button when there is a user interface.
    void showNotice(AlertStyle style, const QString& title, const QString& message);

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
    std::unique_ptr<ZRDataMigrator> m_migrator;
    std::unique_ptr<EmailRegistrationScan> m_emailScan;
    std::unique_ptr<AttachmentService> m_attachments;
    std::unique_ptr<MailImportService> m_mailImports;
    std::unique_ptr<AttachmentExportService> m_attachmentExports;
    std::unique_ptr<ImportService> m_imports;
    std::unique_ptr<SoftwareDiscoveryService> m_discovery;
};
