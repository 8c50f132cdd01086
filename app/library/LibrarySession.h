#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class AutosaveTimer;
class BackgroundJobTracker;
class LibraryLock;
class ProductEntity;
class QThreadPool;
class UserDefaults;
class UserInterface;
class UserPreferences;

namespace Persistence {
class ObjectContext;
class ObjectModel;
class StoreCoordinator;
struct StoreError;
} // namespace Persistence

// The open library while Keymoor runs: the library folder and its writer lock, the object model,
// the store coordinator and the main context, the start-up upgrade, the default data, saving, the
// autosave and the quit sequence. It holds the preferences and the UserInterface the person is
// told things through, and announces changes of the catalogue. It runs no user command; the
// commands above it reach the catalogue through it.
class LibrarySession : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LibrarySession)

public:
    enum class OpenMode {
        ReadWrite, // takes the library lock, creates and upgrades the library, seeds the defaults
        ReadOnly, // for commands that only look: no lock, nothing created, nothing written
    };
    enum class TerminateReply { Now, Cancel };

    // Brings the stores on disk to the current model (either path may be empty); false when the
    // application must quit. The session knows no migrations: the layer above installs them.
    using StoreUpgrader = std::function<bool(const QString& legacyPath, const QString& storePath)>;
    // Whether the store file is of the model version this build writes.
    using StoreVersionCheck = std::function<bool(const QString& storePath)>;
    // Writes a context to the store; tests replace it to make saving fail.
    using ContextSaver = std::function<bool(Persistence::ObjectContext* context, Persistence::StoreError* error)>;

    // `defaults` is the preferences store (the standard one unless a test gives its own).
    explicit LibrarySession(UserInterface* ui, OpenMode mode = OpenMode::ReadWrite, UserDefaults* defaults = nullptr,
                            QObject* parent = nullptr);
    ~LibrarySession() override;

    UserInterface* userInterface() const { return m_ui; }
    UserPreferences& userPrefs() const { return *m_prefs; }
    OpenMode openMode() const { return m_mode; }
    bool isReadOnly() const { return m_mode == OpenMode::ReadOnly; }
    // Every background job of the running application, and the queue some of them run on.
    BackgroundJobTracker& jobs() const { return *m_jobs; }
    QThreadPool* backgroundOperationQueue() const;

    std::shared_ptr<const Persistence::ObjectModel> managedObjectModel();
    // The main context; opens (creating if needed) the library on the first call. Null when the
    // library cannot be opened: openError() says why, and the person has been told.
    Persistence::ObjectContext* managedObjectContext();
    // The main context if the library has been opened, without trying to open it.
    Persistence::ObjectContext* openedContext() const { return m_context.get(); }
    QString openError() const { return m_openError; }

    void setStoreUpgrader(StoreUpgrader upgrader) { m_upgrader = std::move(upgrader); }
    // Without a check of its own the session compares the store's "ZRModelVersion" metadata.
    void setStoreVersionCheck(StoreVersionCheck check) { m_versionCheck = std::move(check); }
    // Brings the store on disk to the current model before it is opened: a legacy store beside the
    // library folder and stores of older versions are backed up and upgraded (through the store
    // upgrader), newer ones refused. Runs at most once per process; false when the application must quit.
    bool upgradeLibrary();

    // Asks the application to quit (after a failed restore); the window and the command line act on it.
    void requestTermination();
    bool isTerminationRequested() const { return m_terminationRequested; }

    // Seeds the currencies (once, when the catalogue has none) and refreshes Keymoor's own record.
    void initializeDefaultData();
    void initializeDefaultCurrencies();
    void initializeDefaultProduct();
    // The record of Keymoor itself: the product titled with the executable name.
    ProductEntity* ownProduct();
    static bool isOwnProduct(const ProductEntity* product);

    void setContextSaver(ContextSaver saver) { m_saver = std::move(saver); }
    // Writes the context through the context saver (by default the context's own save).
    bool saveContext(Persistence::ObjectContext* context, Persistence::StoreError* error);
    // Saves the main context if it has changes; on failure logs, tells the person and keeps the
    // changes in memory. Answers whether everything is saved.
    bool saveAction();

    // The clock the autosave runs on (Qt's timers unless a test gives its own); set it before the
    // autosave starts.
    void setAutosaveTimer(std::unique_ptr<AutosaveTimer> timer);
    // Starts the repeating autosave at the preferred interval (read once per launch).
    void startAutoSaveTimer();
    // The preferred interval changed: a running autosave starts over at the new period (one not yet
    // started reads it when it starts).
    void autoSaveTimeIntervalChanged();
    // The period of the running autosave in milliseconds; 0 while it is not running.
    int autoSaveTimerInterval() const;
    // Called when launching has finished: the autosave starts 3 seconds later.
    void applicationDidFinishLaunching();

    // The quit sequence: commit edits, save (asking what to do when that fails), then remove orphaned
    // files and the cache contents, also when the quit is cancelled.
    TerminateReply applicationShouldTerminate();

    // The window ends the text edit in progress so typed text reaches the catalogue before a save.
    void setCommitEditingHandler(std::function<void()> handler) { m_commitEditing = std::move(handler); }
    void gracefullyCommitEditing();

signals:
    // The application must quit: a restore failed and the catalogue cannot be trusted.
    void terminationRequested();
    // The products changed outside the window's own edits (added, removed, imported): refetch.
    void productsChanged();
    // A product was added and should be selected with the cursor in its title.
    void productAdded(ProductEntity* product);
    // A command changed the fields or the icon of a product.
    void productChanged(ProductEntity* product);
    // The attachments of a product changed outside the list's own edits: reload them.
    void attachmentsChanged(ProductEntity* product);

private:
    static QString operationName(const char* function);
    bool openLibrary();
    bool addStore(const QString& storePath);
    bool isStoreCurrent(const QString& storePath) const;
    bool takeUpgradeLock(std::unique_ptr<LibraryLock>* upgradeLock);
    void reportOpenFailure(const QString& title, const QString& message);
    void logSaveError(const Persistence::StoreError& error) const;
    TerminateReply askAfterFailedQuitSave(const Persistence::StoreError& error);
    void runHousekeeping(Persistence::ObjectContext* context) const;
    AutosaveTimer& autosaveTimer();

    UserInterface* m_ui;
    OpenMode m_mode;
    std::unique_ptr<UserPreferences> m_prefs;
    std::unique_ptr<BackgroundJobTracker> m_jobs;
    std::unique_ptr<LibraryLock> m_lock;
    std::shared_ptr<const Persistence::ObjectModel> m_model;
    std::shared_ptr<Persistence::StoreCoordinator> m_coordinator;
    std::unique_ptr<Persistence::ObjectContext> m_context;
    std::unique_ptr<AutosaveTimer> m_autosave;
    StoreUpgrader m_upgrader;
    StoreVersionCheck m_versionCheck;
    ContextSaver m_saver;
    std::function<void()> m_commitEditing;
    QString m_openError;
    bool m_openAttempted = false;
    bool m_upgradeAttempted = false;
    bool m_terminationRequested = false;
};
