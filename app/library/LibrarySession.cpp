// Opening the library: the writer lock, the start-up upgrade, the store and the main context.
#include "LibrarySession.h"

#include "AutosaveTimer.h"
#include "BackgroundJobTracker.h"
#include "LibraryLock.h"
#include "base/AppInfo.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "model/RegistrationAutofill.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/ObjectContext.h"
#include "persistence/StoreCoordinator.h"
#include "prefs/UserDefaults.h"
#include "prefs/UserPreferences.h"

#include <QFile>
#include <QFileInfo>

using namespace Persistence;

QString LibrarySession::operationName(const char* function)
{
    // Log lines keep the operation names people and tests have always searched the log for.
    return QStringLiteral("KeymoorAppDelegate::") + QString::fromLatin1(function);
}

LibrarySession::LibrarySession(UserInterface* ui, OpenMode mode, UserDefaults* defaults, QObject* parent)
    : QObject(parent)
    , m_ui(ui)
    , m_mode(mode)
    , m_jobs(std::make_unique<BackgroundJobTracker>())
{
    Log::write(QStringLiteral("Starting Keymoor version: %1").arg(AppInfo::prettyAppVersion()));
    m_prefs = std::make_unique<UserPreferences>(defaults ? *defaults : UserDefaults::standard());
    // New products, wherever they are made, take their registration defaults from these preferences.
    RegistrationAutofill::setUserDefaults(&m_prefs->defaults());
}

LibrarySession::~LibrarySession()
{
    RegistrationAutofill::forgetUserDefaults(&m_prefs->defaults());
    // Running jobs finish first; their completions are dropped.
    m_jobs->shutDown();
    if (m_autosave) {
        m_autosave->stop();
    }
    // The context goes before the coordinator and the lock that guard its store.
    m_context.reset();
    m_coordinator.reset();
    m_lock.reset();
}

QThreadPool* LibrarySession::backgroundOperationQueue() const
{
    return m_jobs->queue();
}

std::shared_ptr<const ObjectModel> LibrarySession::managedObjectModel()
{
    if (!m_model) {
        m_model = ZRCoreDataFactory::newManagedObjectModelForURL(ZRCoreDataFactory::currentModelPath());
    }
    return m_model;
}

ObjectContext* LibrarySession::managedObjectContext()
{
    if (!m_context && !m_openAttempted) {
        m_openAttempted = true;
        openLibrary();
    }
    return m_context.get();
}

void LibrarySession::reportOpenFailure(const QString& title, const QString& message)
{
    m_openError = message.isEmpty() ? title : title + QStringLiteral(": ") + message;
    Log::write(QStringLiteral("ERROR: %1 - %2").arg(operationName("managedObjectContext"), m_openError));
    if (m_ui) {
        m_ui->presentError(PresentableError {title, message, QString()});
    }
}

bool LibrarySession::openLibrary()
{
    if (isReadOnly() && !QFileInfo::exists(LibraryPaths::persistentStoreLocation())
        && !QFileInfo::exists(LibraryPaths::legacyPersistentStoreLocation())) {
        // Nothing to look at yet, and looking creates nothing, not even the library's folders.
        m_openError = localizedString(QStringLiteral("NoLibraryYet"));
        return false;
    }
    const QString storePath = LibraryPaths::persistentStoreURL();
    if (storePath.isEmpty()) {
        reportOpenFailure(localizedString(QStringLiteral("MissingApplicationSupportFolder")),
                          localizedString(QStringLiteral("MissingApplicationSupportFolderMessage")));
        return false;
    }
    if (!isReadOnly()) {
        m_lock = std::make_unique<LibraryLock>(LibraryPaths::libraryBundlePath());
        QString lockError;
        if (!m_lock->tryLock(&lockError)) {
            m_lock.reset();
            reportOpenFailure(localizedString(QStringLiteral("LibraryInUse")), lockError);
            return false;
        }
    }
    if (!upgradeLibrary()) {
        return false;
    }
    if (isReadOnly() && !QFileInfo::exists(storePath)) {
        // Nothing to look at yet, and looking creates nothing.
        m_openError = localizedString(QStringLiteral("NoLibraryYet"));
        return false;
    }
    return addStore(storePath);
}

bool LibrarySession::addStore(const QString& storePath)
{
    const auto model = managedObjectModel();
    if (!model) {
        reportOpenFailure(localizedString(QStringLiteral("LibraryCannotBeOpened")),
                          QStringLiteral("The object model could not be loaded."));
        return false;
    }
    const bool readOnly = isReadOnly();
    auto coordinator = std::make_shared<StoreCoordinator>(model);
    StoreError error;
    PersistentStore::Options options;
    options.readOnly = readOnly;
    options.checkPages = !readOnly; // a session that only looks reports damage where it reads it
    PersistentStore* store = coordinator->addStore(StoreType::SQLite, storePath, &error, options);
    if (!store) {
        reportOpenFailure(localizedString(QStringLiteral("LibraryCannotBeOpened")), error.toString());
        return false;
    }
    if (!readOnly) {
        QFile::setPermissions(storePath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    m_coordinator = std::move(coordinator);
    m_context = ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(m_coordinator);

    QVariantMap metadata = m_coordinator->metadata(store);
    const QString versionKey = QStringLiteral("ZRModelVersion");
    if (!metadata.contains(versionKey) && AppInfo::modelVersion() > 0 && !readOnly) {
        metadata.insert(versionKey, AppInfo::modelVersion());
        m_coordinator->setMetadata(store, metadata);
    }
    m_context->setUndoEnabled(!readOnly);
    return true;
}

bool LibrarySession::upgradeLibrary()
{
    if (m_upgradeAttempted) {
        return true;
    }
    m_upgradeAttempted = true;

    const QString legacyPath = LibraryPaths::legacyPersistentStoreURL();
    const QString storePath = LibraryPaths::persistentStoreURL();
    const bool hasLegacy = QFileInfo::exists(legacyPath);
    const bool hasStore = QFileInfo::exists(storePath);
    if (!hasLegacy && !hasStore) {
        if (m_mode == OpenMode::ReadWrite) {
            Log::write(QStringLiteral("Creating new library..."));
        }
        return true;
    }
    if (!hasLegacy && isStoreCurrent(storePath)) {
        return true;
    }
    std::unique_ptr<LibraryLock> upgradeLock;
    if (!takeUpgradeLock(&upgradeLock)) {
        return false;
    }
    const bool upgraded
        = m_upgrader && m_upgrader(hasLegacy ? legacyPath : QString(), hasStore ? storePath : QString());
    if (!upgraded) {
        m_openError = localizedString(QStringLiteral("LibraryCannotBeOpened"));
    }
    return upgraded;
}

bool LibrarySession::isStoreCurrent(const QString& storePath) const
{
    if (m_versionCheck) {
        return m_versionCheck(storePath);
    }
    const auto metadata = StoreCoordinator::metadataForStore(storePath);
    return metadata && metadata->value(QStringLiteral("ZRModelVersion")).toInt() == AppInfo::modelVersion();
}

bool LibrarySession::takeUpgradeLock(std::unique_ptr<LibraryLock>* upgradeLock)
{
    // Upgrading writes: a command that only looks takes the library lock for the upgrade.
    if (m_lock) {
        return true;
    }
    *upgradeLock = std::make_unique<LibraryLock>(LibraryPaths::libraryBundlePath());
    QString lockError;
    if (!(*upgradeLock)->tryLock(&lockError)) {
        reportOpenFailure(localizedString(QStringLiteral("LibraryInUse")), lockError);
        return false;
    }
    return true;
}

void LibrarySession::requestTermination()
{
    m_terminationRequested = true;
    emit terminationRequested();
}
