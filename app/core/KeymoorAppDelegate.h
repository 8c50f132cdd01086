#pragma once

#include "attachments/AttachmentExportService.h"
#include "attachments/AttachmentNotifications.h"
#include "attachments/AttachmentService.h"
#include "attachments/EmailRegistrationScan.h"
#include "attachments/MailImportService.h"
#include "import/DelimitedTextOptions.h"
#include "import/ImportCounts.h"
#include "import/ZRDelimitedTextParsing.h"
#include "library/LibrarySession.h"
#include "persistence/ObjectID.h"

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
class KMImportOperation;
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
    // Commands on a product's application, icon and addresses. Each takes the product it acts on
    // (the window passes its selection); failures are logged, and the answer tells whether the
    // command did what it was asked.

    // The desktop that files and addresses are handed to; null puts the system's back. Not owned.
    void setDesktopLauncher(DesktopLauncher* launcher);
    DesktopLauncher& desktopLauncher();
    // A new lookup over the application folders: "Import App Path", /Applications, ~/Applications
    // and the folders of KEYMOOR_APP_PATH.
    ApplicationLocator applicationLocator() const;

    void copyRegisteredNameToClipboard(const ProductEntity* product);
    void copyRegisteredEmailToClipboard(const ProductEntity* product);

    // Opens the product's application, found by title and else by bundle identifier. Keymoor's own
    // record is never launched.
    bool launchApplication(const ProductEntity* product);
    // Asks for the application's bundle and takes its information (not its icon) into the product.
    bool locateApp(ProductEntity* product);
    // Shows the application's bundle, found by identifier and else by title, in the file manager.
    bool revealAppInFinder(const ProductEntity* product);
    // Refreshes title, version, identifier and icon from the installed application (found by
    // identifier, else by title); publisher, e-mail and website are left alone. One undo step.
    bool updateInfoForApp(ProductEntity* product);
    bool updateInfoForApp(ProductEntity* product, ApplicationLocator& locator);
    // updateInfoForApp for each product in order, with one scan of the folders; answers how many
    // were refreshed.
    int updateAllAppInfo(const QList<ProductEntity*>& products);

    // Asks for image or application files and makes each in turn the product's icon (so the last
    // one stays), remembering the folder as "Import Icon Path".
    bool addAppIcon(ProductEntity* product);
    // Gives the product the generic application icon.
    bool removeAppIcon(ProductEntity* product);
    // The icon well's drops: a file (its image, else its icon) or image bytes.
    bool fileDroppedFile(ProductEntity* product, const QString& path);
    bool fileDroppedImage(ProductEntity* product, const QByteArray& imageBytes);

    // An e-mail address gets a new message with the subject; anything else is opened as a web
    // address ("http://" is put in front when it has no scheme), but only "http" and "https" ones.
    bool openStringAsURL(const QString& text, const QString& subject = QString());
    // A new message in the person's mail program.
    bool sendEmailTo(const QString& address, const QString& subject);
    bool openWebsiteInBrowser(const ProductEntity* product);
    bool sendDeveloperEmail(const ProductEntity* product);
    // Keymoor's own pages and support address, from its property list.
    bool openSupport();
    bool openFrequentlyAskedQuestionsSite();
    bool openReleaseNotesSite();
    bool sendFeedback();
    // There is no update framework here: the release notes say what is new.
    bool checkForUpdates();

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
    void makeAttachmentServices();
    bool upgradeStores(const QString& legacyPath, const QString& storePath);
    void startImportOperation(std::unique_ptr<KMImportOperation> operation);
    void importOperationDidFinish(const KMImportOperation& operation);
    // Shows an alert with one OK button when there is a user interface.
    void showNotice(AlertStyle style, const QString& title, const QString& message);
    bool printReport(const std::optional<Persistence::ObjectID>& productID);
    void productImportSaved(const Persistence::SaveNotice& notice, const QList<Persistence::ObjectID>& createdIDs);
    void productImportFailed(const Persistence::StoreError& error);

    std::unique_ptr<LibrarySession> m_session;
    // Shortcuts into the session for the command code.
    UserInterface* m_ui;
    UserPreferences* m_prefs;
    std::unique_ptr<DesktopLauncher> m_systemLauncher;
    DesktopLauncher* m_launcher = nullptr;
    PrintPanel* m_printPanel = nullptr;
    std::shared_ptr<ZRProductsReport> m_productsReport;
    std::unique_ptr<ZRDataMigrator> m_migrator;
    std::unique_ptr<EmailRegistrationScan> m_emailScan;
    std::unique_ptr<AttachmentService> m_attachments;
    std::unique_ptr<MailImportService> m_mailImports;
    std::unique_ptr<AttachmentExportService> m_attachmentExports;
    mutable std::mutex m_importCountsMutex;
    ImportCounts m_importCounts;
};
