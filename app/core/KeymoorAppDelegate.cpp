#include "KeymoorAppDelegate.h"

#include "LibraryHousekeeping.h"
#include "LibraryLock.h"
#include "base/AppInfo.h"
#include "base/LibraryPaths.h"
#include "base/Localization.h"
#include "base/Log.h"
#include "base/UserInterface.h"
#include "desktop/DesktopLauncher.h"
#include "email/ZRRegistrationInfoScanner.h"
#include "import/KMAttachmentImporter.h"
#include "import/KMImportOperation.h"
#include "maintenance/StoreVersionReader.h"
#include "maintenance/ZRDataMigrator.h"
#include "model/ProductEntity.h"
#include "model/RegistrationAutofill.h"
#include "model/ZRCoreDataFactory.h"
#include "model/ZRCurrencyManager.h"
#include "persistence/ObjectContext.h"
#include "persistence/StoreCoordinator.h"
#include "prefs/UserDefaults.h"
#include "prefs/UserPreferences.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QThread>
#include <QThreadPool>
#include <QTimer>

#include <algorithm>

using namespace Persistence;

namespace {

constexpr int AutosaveStartDelayMs = 3000;
constexpr double MaximumAutosaveSeconds = 24 * 60 * 60;

QString operationName(const char* function)
{
    return QStringLiteral("KeymoorAppDelegate::") + QString::fromLatin1(function);
}

// Turns undo registration off for a scope: seeding and refreshing are not the person's edits.
class UndoRegistrationPause
{
public:
    explicit UndoRegistrationPause(ObjectContext* context)
        : m_undo(context ? context->undoManager() : nullptr)
    {
        if (m_undo) {
            m_undo->disableRegistration();
        }
    }
    ~UndoRegistrationPause()
    {
        if (m_undo) {
            m_undo->enableRegistration();
        }
    }
    Q_DISABLE_COPY_MOVE(UndoRegistrationPause)

private:
    UndoManager* m_undo;
};

} // namespace

KeymoorAppDelegate::KeymoorAppDelegate(UserInterface* ui, OpenMode mode, UserDefaults* defaults, QObject* parent)
    : QObject(parent)
    , m_ui(ui)
    , m_mode(mode)
    , m_queue(std::make_unique<QThreadPool>())
{
    Log::write(QStringLiteral("Starting Keymoor version: %1").arg(prettyAppVersion()));
    m_prefs = std::make_unique<UserPreferences>(defaults ? *defaults : UserDefaults::standard());
    // New products, wherever they are made, take their registration defaults from these preferences.
    RegistrationAutofill::setUserDefaults(&m_prefs->defaults());
}

KeymoorAppDelegate::~KeymoorAppDelegate()
{
    RegistrationAutofill::forgetUserDefaults(&m_prefs->defaults());
    m_queue->clear();
    m_queue->waitForDone();
    if (m_autosaveTimer) {
        m_autosaveTimer->stop();
    }
    // Running attach jobs finish first; their queued completions are dropped with this object.
    for (RunningImport& running : m_importers) {
        running.thread->wait();
        delete running.thread;
    }
    m_importers.clear();
    for (QThread* thread : m_mailImports) {
        thread->wait();
        delete thread;
    }
    m_mailImports.clear();
    for (RunningFileImport& running : m_fileImports) {
        running.thread->wait();
        delete running.thread;
    }
    m_fileImports.clear();
    // The context goes before the coordinator and the lock that guard its store.
    m_migrator.reset();
    m_context.reset();
    m_coordinator.reset();
    m_lock.reset();
}

QString KeymoorAppDelegate::prettyAppVersion() const
{
    return AppInfo::prettyAppVersion();
}

std::shared_ptr<const ObjectModel> KeymoorAppDelegate::managedObjectModel()
{
    if (!m_model) {
        m_model = ZRCoreDataFactory::newManagedObjectModelForURL(ZRCoreDataFactory::currentModelPath());
    }
    return m_model;
}

ObjectContext* KeymoorAppDelegate::managedObjectContext()
{
    if (!m_context && !m_openAttempted) {
        m_openAttempted = true;
        openLibrary();
    }
    return m_context.get();
}

void KeymoorAppDelegate::reportOpenFailure(const QString& title, const QString& message)
{
    m_openError = message.isEmpty() ? title : title + QStringLiteral(": ") + message;
    Log::write(QStringLiteral("ERROR: %1 - %2").arg(operationName("managedObjectContext"), m_openError));
    if (m_ui) {
        m_ui->presentError(PresentableError {title, message, QString()});
    }
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

bool KeymoorAppDelegate::openLibrary()
{
    const QString storePath = LibraryPaths::persistentStoreURL();
    if (storePath.isEmpty()) {
        reportOpenFailure(localizedString(QStringLiteral("MissingApplicationSupportFolder")),
                          localizedString(QStringLiteral("MissingApplicationSupportFolderMessage")));
        return false;
    }

    const bool readOnly = m_mode == OpenMode::ReadOnly;
    if (!readOnly) {
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
    if (readOnly && !QFileInfo::exists(storePath)) {
        // Nothing to look at yet, and looking creates nothing.
        m_openError = localizedString(QStringLiteral("NoLibraryYet"));
        return false;
    }

    const auto model = managedObjectModel();
    if (!model) {
        reportOpenFailure(localizedString(QStringLiteral("LibraryCannotBeOpened")),
                          QStringLiteral("The object model could not be loaded."));
        return false;
    }
    auto coordinator = std::make_shared<StoreCoordinator>(model);
    StoreError error;
    PersistentStore::Options options;
    options.readOnly = readOnly;
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

bool KeymoorAppDelegate::upgradeLibrary()
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
    const int current = StoreVersionReader::currentModelVersion();
    if (!hasLegacy && StoreVersionReader::versionForStoreURL(storePath) == current) {
        return true;
    }
    // Upgrading writes: a command that only looks takes the library lock for the upgrade.
    std::unique_ptr<LibraryLock> upgradeLock;
    if (!m_lock) {
        upgradeLock = std::make_unique<LibraryLock>(LibraryPaths::libraryBundlePath());
        QString lockError;
        if (!upgradeLock->tryLock(&lockError)) {
            reportOpenFailure(localizedString(QStringLiteral("LibraryInUse")), lockError);
            return false;
        }
    }
    const bool upgraded = upgradeStores(hasLegacy ? legacyPath : QString(), hasStore ? storePath : QString());
    if (!upgraded) {
        m_openError = localizedString(QStringLiteral("LibraryCannotBeOpened"));
    }
    return upgraded;
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
        m_migrator = std::make_unique<ZRDataMigrator>(this);
    }
    return m_migrator.get();
}

void KeymoorAppDelegate::requestTermination()
{
    m_terminationRequested = true;
    emit terminationRequested();
}

void KeymoorAppDelegate::initializeDefaultData()
{
    if (!managedObjectContext() || m_mode == OpenMode::ReadOnly) {
        return;
    }
    initializeDefaultCurrencies();
    initializeDefaultProduct();
}

void KeymoorAppDelegate::initializeDefaultCurrencies()
{
    ObjectContext* context = managedObjectContext();
    if (!context) {
        return;
    }
    const QString operation = operationName("initializeDefaultCurrencies");
    const auto request = context->model().fetchRequestTemplate(QStringLiteral("AllCurrencies"));
    StoreError error;
    const auto currencies = request ? context->execute(*request, &error) : std::nullopt;
    if (!currencies) {
        Log::write(QStringLiteral("%1: fetch request returned nil.").arg(operation));
        if (error.isError()) {
            Log::write(QStringLiteral("ERROR: %1 - %2").arg(operation, error.toString()));
        }
        return;
    }
    if (!currencies->isEmpty()) {
        return;
    }
    UndoRegistrationPause pause(context);
    const QStringList symbols = ZRCurrencyManager::currencySymbols();
    for (int index = 0; index < symbols.size(); ++index) {
        ManagedObject* currency = context->insertObject(QStringLiteral("Currency"));
        if (!currency) {
            return;
        }
        currency->setValue(QStringLiteral("currencySymbol"), symbols.at(index));
        currency->setValue(QStringLiteral("sortIndex"), index);
    }
}

bool KeymoorAppDelegate::isOwnProduct(const ProductEntity* product)
{
    return product && product->title() == AppInfo::executableName();
}

ProductEntity* KeymoorAppDelegate::ownProduct()
{
    ObjectContext* context = managedObjectContext();
    if (!context) {
        return nullptr;
    }
    const QString name = AppInfo::executableName();
    const auto products = context->execute(
        FetchRequest(QStringLiteral("Product"), Predicate::keyPathEquals(QStringLiteral("title"), name)));
    if (products && !products->isEmpty()) {
        return dynamic_cast<ProductEntity*>(products->first());
    }
    if (m_mode == OpenMode::ReadOnly) {
        return nullptr;
    }
    // The catalogue always holds Keymoor's own record; a library that lost it gets it back.
    UndoRegistrationPause pause(context);
    auto* product = context->insert<ProductEntity>(QStringLiteral("Product"));
    if (product) {
        product->setTitle(name);
    }
    return product;
}

void KeymoorAppDelegate::initializeDefaultProduct()
{
    const QString operation = operationName("initializeDefaultProduct");
    ProductEntity* product = ownProduct();
    if (!product) {
        Log::write(QStringLiteral("ERROR: %1 - Unable to get Keymoor entity.").arg(operation));
        return;
    }
    const QString version = AppInfo::shortVersion();
    if (version.isEmpty()) {
        Log::write(QStringLiteral("ERROR: %1 - Unable to retrieve CFBundleShortVersionString.").arg(operation));
        return;
    }
    UndoRegistrationPause pause(managedObjectContext());
    // Only values that differ are written, so an unchanged record does not make the library dirty.
    const auto refresh = [product](const QString& key, const QString& value) {
        if (product->value(key).toString() != value) {
            product->setValue(key, value);
        }
    };
    refresh(QStringLiteral("title"), AppInfo::executableName());
    refresh(QStringLiteral("productVersion"), version);
    refresh(QStringLiteral("publisher"), QStringLiteral("Zerrow"));
    refresh(QStringLiteral("productWebsite"), AppInfo::stringValue(QStringLiteral("ZRProductURL")));
    refresh(QStringLiteral("productEmail"), AppInfo::stringValue(QStringLiteral("ZRSupportEmail")));
    // The icon is stored once: writing it again at every launch would leave a new file (and a
    // changed library to save) each time for the same picture. A missing file is written again.
    if (m_mode != OpenMode::ReadOnly && product->externalIcon().isNull()) {
        const QString iconName = AppInfo::stringValue(QStringLiteral("CFBundleIconFile"));
        const QImage icon(QStringLiteral(":/") + iconName);
        if (iconName.isEmpty() || icon.isNull() || !product->setExternalIconImage(icon)) {
            Log::write(QStringLiteral("ERROR: %1 - Unable to store the application icon.").arg(operation));
        }
    }
}

void KeymoorAppDelegate::gracefullyCommitEditing()
{
    if (m_commitEditing) {
        m_commitEditing();
    }
}

bool KeymoorAppDelegate::saveAction()
{
    gracefullyCommitEditing();
    ObjectContext* context = managedObjectContext();
    if (!context || m_mode == OpenMode::ReadOnly) {
        return context != nullptr;
    }
    ContextLocker locker(context);
    if (!context->hasChanges()) {
        return true;
    }
    StoreError error;
    if (saveContext(context, &error)) {
        return true;
    }
    Log::write(QStringLiteral("Error: %1").arg(error.description));
    Log::write(QStringLiteral("UnderlyingError: %1").arg(error.failureReason));
    if (m_ui) {
        m_ui->presentError(PresentableError {localizedString(QStringLiteral("SaveCurrentDataFailed")),
                                             localizedString(QStringLiteral("SaveCurrentDataFailedMessage")),
                                             error.toString()});
    }
    return false;
}

bool KeymoorAppDelegate::saveContext(ObjectContext* context, StoreError* error)
{
    return context->save(error);
}

void KeymoorAppDelegate::startAutoSaveTimer()
{
    if (m_mode == OpenMode::ReadOnly) {
        return;
    }
    if (!m_autosaveTimer) {
        m_autosaveTimer = new QTimer(this);
        connect(m_autosaveTimer, &QTimer::timeout, this, [this] { saveAction(); });
    }
    // A period from a hand-edited settings file may not fit a timer's milliseconds: cap it at a day.
    const double seconds = std::min(m_prefs->autoSaveTimeInterval(), MaximumAutosaveSeconds);
    m_autosaveTimer->start(std::max(1, int(seconds * 1000)));
}

void KeymoorAppDelegate::autoSaveTimeIntervalChanged()
{
    if (m_autosaveTimer && m_autosaveTimer->isActive()) {
        startAutoSaveTimer();
    }
}

int KeymoorAppDelegate::autoSaveTimerInterval() const
{
    return m_autosaveTimer && m_autosaveTimer->isActive() ? m_autosaveTimer->interval() : 0;
}

void KeymoorAppDelegate::applicationDidFinishLaunching()
{
    QTimer::singleShot(AutosaveStartDelayMs, this, &KeymoorAppDelegate::startAutoSaveTimer);
}

KeymoorAppDelegate::TerminateReply KeymoorAppDelegate::applicationShouldTerminate()
{
    ObjectContext* context = m_context.get();
    if (!context || m_mode == OpenMode::ReadOnly) {
        return TerminateReply::Now;
    }
    ContextLocker locker(context);
    gracefullyCommitEditing();

    TerminateReply reply = TerminateReply::Now;
    StoreError error;
    if (context->hasChanges() && !saveContext(context, &error)) {
        Log::write(QStringLiteral("Error: %1").arg(error.description));
        Log::write(QStringLiteral("UnderlyingError: %1").arg(error.failureReason));
        const bool dealtWith = m_ui
            && m_ui->presentError(PresentableError {localizedString(QStringLiteral("SaveCurrentDataFailed")),
                                                    error.description, error.failureReason});
        if (dealtWith) {
            reply = TerminateReply::Cancel;
        } else if (m_ui) {
            Alert alert;
            alert.style = AlertStyle::Warning;
            alert.message = localizedString(QStringLiteral("CouldNotSaveWhileQuittingMessage"));
            alert.buttons
                = {localizedString(QStringLiteral("QuitButton")), localizedString(QStringLiteral("CancelButton"))};
            alert.escapeButton = 1;
            reply = m_ui->runAlert(alert) == 0 ? TerminateReply::Now : TerminateReply::Cancel;
        }
    }

    // Runs whatever the answer: the files removed are ones no saved or unsaved record refers to.
    LibraryHousekeeping(context, LibraryPaths::attachmentsPath(), LibraryPaths::iconsPath(),
                        LibraryPaths::applicationCacheFolder())
        .runAll();
    return reply;
}

ProductEntity* KeymoorAppDelegate::addNewProduct()
{
    ObjectContext* context = managedObjectContext();
    if (!context || m_mode == OpenMode::ReadOnly) {
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
    emit productAdded(product);
    return product;
}

bool KeymoorAppDelegate::removeProducts(const QList<ProductEntity*>& products)
{
    ObjectContext* context = managedObjectContext();
    if (!context || products.isEmpty() || m_mode == OpenMode::ReadOnly) {
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
    emit productsChanged();
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
