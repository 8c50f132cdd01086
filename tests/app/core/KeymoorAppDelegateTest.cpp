#include "core/KeymoorAppDelegate.h"

#include "../../support/ManualAutosaveTimer.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/AppInfo.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "email/ZRRegistrationInfoScanner.h"
#include "model/ProductEntity.h"
#include "model/ZRCurrencyManager.h"
#include "persistence/ObjectContext.h"
#include "persistence/StoreCoordinator.h"
#include "prefs/UserDefaults.h"
#include "prefs/UserPreferences.h"
#include "support/ScriptedUserInterface.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <gtest/gtest.h>

using namespace Persistence;

namespace {

// A controller whose saves fail on demand.
class FailingSaveDelegate : public KeymoorAppDelegate
{
public:
    using KeymoorAppDelegate::KeymoorAppDelegate;
    bool failSaves = false;

protected:
    bool saveContext(ObjectContext* context, StoreError* error) override
    {
        if (failSaves) {
            *error = StoreError {StoreError::Code::IoError, QStringLiteral("disk full"), QStringLiteral("injected")};
            return false;
        }
        return KeymoorAppDelegate::saveContext(context, error);
    }
};

class AppDelegateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Log::setEchoToStandardError(false);
        Log::setSink([this](const QString& line) { m_log.append(line); });
    }
    void TearDown() override { Log::setSink({}); }

    std::unique_ptr<FailingSaveDelegate> start()
    {
        auto delegate
            = std::make_unique<FailingSaveDelegate>(&m_ui, KeymoorAppDelegate::OpenMode::ReadWrite, &m_defaults);
        delegate->initializeDefaultData();
        return delegate;
    }

    int count(KeymoorAppDelegate& delegate, const QString& entity)
    {
        const auto objects = delegate.managedObjectContext()->execute(FetchRequest(entity));
        return objects ? int(objects->size()) : -1;
    }

    static QByteArray fileHash(const QString& path)
    {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
    }

    // Rewrites the store's model version, as a store of another version would carry it.
    static void setStoreVersion(int version)
    {
        auto delegate = std::make_unique<KeymoorAppDelegate>(nullptr, KeymoorAppDelegate::OpenMode::ReadWrite, nullptr);
        ObjectContext* context = delegate->managedObjectContext();
        PersistentStore* store = context->coordinator()->firstStore();
        QVariantMap metadata = context->coordinator()->metadata(store);
        metadata.insert(QStringLiteral("ZRModelVersion"), version);
        context->coordinator()->setMetadata(store, metadata);
        context->insertObject(QStringLiteral("Currency"));
        ASSERT_TRUE(context->save());
    }

    TemporaryUserFolders m_folders;
    UserDefaults m_defaults {m_folders.configHome() + QStringLiteral("/Keymoor/Keymoor.conf")};
    ScriptedUserInterface m_ui;
    QStringList m_log;
};

} // namespace

TEST_F(AppDelegateTest, FirstStartCreatesTheLibrarySeedsItAndRecordsTheModelVersion)
{
    auto delegate = start();
    ASSERT_NE(delegate->managedObjectContext(), nullptr);
    EXPECT_TRUE(m_log.contains(QStringLiteral("Creating new library...")));
    for (const QString& folder :
         {LibraryPaths::libraryBundlePath(), LibraryPaths::attachmentsPath(), LibraryPaths::iconsPath()}) {
        EXPECT_TRUE(QFileInfo(folder).isDir()) << folder.toStdString();
    }
    EXPECT_EQ(QFileInfo(LibraryPaths::libraryBundlePath()).permissions() & (QFile::ReadOther | QFile::ReadGroup),
              QFile::Permissions());
    EXPECT_EQ(count(*delegate, QStringLiteral("Currency")), ZRCurrencyManager::currencySymbols().size());
    ProductEntity* own = delegate->ownProduct();
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->productVersion(), AppInfo::shortVersion());
    EXPECT_FALSE(own->externalIcon().isNull());
    EXPECT_FALSE(delegate->managedObjectContext()->undoManager()->canUndo());
    ASSERT_TRUE(delegate->saveAction());
    delegate.reset();

    const auto metadata = StoreCoordinator::metadataForStore(LibraryPaths::persistentStoreURL());
    ASSERT_TRUE(metadata.has_value());
    EXPECT_EQ(metadata->value(QStringLiteral("ZRModelVersion")).toInt(), AppInfo::modelVersion());
    EXPECT_EQ(m_ui.errors().size(), 0);
}

TEST_F(AppDelegateTest, LaterStartsAddNothingAndLeaveACurrentStoreUnchanged)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    auto delegate = start();
    const int currencies = count(*delegate, QStringLiteral("Currency"));
    ASSERT_TRUE(delegate->saveAction());
    delegate.reset();
    const QByteArray before = fileHash(LibraryPaths::persistentStoreURL());

    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    delegate = start();
    EXPECT_EQ(count(*delegate, QStringLiteral("Currency")), currencies);
    EXPECT_EQ(count(*delegate, QStringLiteral("Product")), 1);
    EXPECT_FALSE(delegate->managedObjectContext()->hasChanges());
    EXPECT_EQ(delegate->applicationShouldTerminate(), KeymoorAppDelegate::TerminateReply::Now);
    delegate.reset();
    QLocale::setDefault(QLocale::system());
    EXPECT_EQ(fileHash(LibraryPaths::persistentStoreURL()), before);
    // The own record's icon was stored once, not again at the second start.
    const QStringList icons = QDir(LibraryPaths::iconsPath()).entryList(QDir::Files);
    ASSERT_EQ(icons.size(), 1);

    // A lost icon file is written again, but never by a reader of the library.
    ASSERT_TRUE(QFile::remove(QDir(LibraryPaths::iconsPath()).filePath(icons.first())));
    {
        KeymoorAppDelegate reader(&m_ui, KeymoorAppDelegate::OpenMode::ReadOnly, &m_defaults);
        reader.initializeDefaultData();
        EXPECT_TRUE(QDir(LibraryPaths::iconsPath()).entryList(QDir::Files).isEmpty());
    }
    delegate = start();
    EXPECT_FALSE(delegate->ownProduct()->externalIcon().isNull());
}

TEST_F(AppDelegateTest, StoresOfNewerVersionsAreRefusedAndLeftUntouched)
{
    for (const int version : {AppInfo::modelVersion() + 1, AppInfo::modelVersion() + 5}) {
        TemporaryUserFolders folders;
        setStoreVersion(version);
        const QByteArray before = fileHash(LibraryPaths::persistentStoreURL());
        ScriptedUserInterface ui;
        KeymoorAppDelegate delegate(&ui, KeymoorAppDelegate::OpenMode::ReadWrite, &m_defaults);
        EXPECT_EQ(delegate.managedObjectContext(), nullptr) << version;
        ASSERT_EQ(ui.alerts().size(), 1);
        EXPECT_EQ(ui.alerts().first().style, AlertStyle::Critical);
        EXPECT_FALSE(delegate.openError().isEmpty());
        EXPECT_EQ(delegate.applicationShouldTerminate(), KeymoorAppDelegate::TerminateReply::Now);
        EXPECT_EQ(fileHash(LibraryPaths::persistentStoreURL()), before) << version;
    }
}

TEST_F(AppDelegateTest, ASecondWriterIsRefusedWhileTheFirstHoldsTheLibrary)
{
    auto first = start();
    ASSERT_TRUE(first->saveAction());
    ScriptedUserInterface ui;
    KeymoorAppDelegate second(&ui, KeymoorAppDelegate::OpenMode::ReadWrite, &m_defaults);
    EXPECT_EQ(second.managedObjectContext(), nullptr);
    EXPECT_EQ(ui.errors().size(), 1);
    KeymoorAppDelegate reader(&ui, KeymoorAppDelegate::OpenMode::ReadOnly, &m_defaults);
    EXPECT_NE(reader.managedObjectContext(), nullptr);
}

TEST_F(AppDelegateTest, QuittingRemovesOrphanedFilesAndTheCacheEvenWhenCancelled)
{
    auto delegate = start();
    ObjectContext* context = delegate->managedObjectContext();
    // A kept icon, an icon whose record is deleted, a file copied in by hand, a cache copy.
    auto* kept = context->insertObject(QStringLiteral("Icon"));
    auto* dropped = context->insertObject(QStringLiteral("Icon"));
    ASSERT_TRUE(kept && dropped);
    const QString keptPath = LibraryPaths::iconsPath() + u'/' + kept->value(QStringLiteral("uuid")).toString();
    const QString droppedPath = LibraryPaths::iconsPath() + u'/' + dropped->value(QStringLiteral("uuid")).toString();
    const QString strayPath = LibraryPaths::attachmentsPath() + QStringLiteral("/copied by hand.pdf");
    const QString cachePath = LibraryPaths::applicationCacheFolder() + QStringLiteral("/drag copy.eml");
    for (const QString& path : {keptPath, droppedPath, strayPath, cachePath}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
        file.write("x");
    }
    ASSERT_TRUE(delegate->saveAction());
    context->deleteObject(dropped);

    delegate->failSaves = true;
    m_ui.queuePresentErrorResult(false);
    m_ui.queueAlertAnswer(1); // Cancel
    EXPECT_EQ(delegate->applicationShouldTerminate(), KeymoorAppDelegate::TerminateReply::Cancel);
    EXPECT_TRUE(m_log.contains(QStringLiteral("Error: disk full")));
    EXPECT_TRUE(QFile::exists(keptPath));
    EXPECT_FALSE(QFile::exists(droppedPath));
    EXPECT_FALSE(QFile::exists(strayPath));
    EXPECT_FALSE(QFile::exists(cachePath));
    EXPECT_TRUE(context->hasChanges()) << "the unsaved deletion stays in memory";

    // The person can still choose to quit without saving.
    m_ui.queuePresentErrorResult(false);
    m_ui.queueAlertAnswer(0);
    EXPECT_EQ(delegate->applicationShouldTerminate(), KeymoorAppDelegate::TerminateReply::Now);
    EXPECT_EQ(m_ui.pendingAnswers(), 0);
}

TEST_F(AppDelegateTest, FailedSavesKeepChangesAndTellThePerson)
{
    auto delegate = start();
    ProductEntity* product = delegate->addNewProduct();
    ASSERT_NE(product, nullptr);
    delegate->failSaves = true;
    product->setTitle(QStringLiteral("Unsaved"));
    EXPECT_FALSE(delegate->saveAction());
    EXPECT_EQ(m_ui.errors().size(), 1);
    EXPECT_EQ(product->title(), QStringLiteral("Unsaved"));
    delegate->failSaves = false;
    EXPECT_TRUE(delegate->saveAction());
    delegate.reset();
    delegate = start();
    const auto found = delegate->managedObjectContext()->execute(FetchRequest(
        QStringLiteral("Product"), Predicate::keyPathEquals(QStringLiteral("title"), QStringLiteral("Unsaved"))));
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->size(), 1);
}

TEST_F(AppDelegateTest, RemovingAsksFirstAndNeverRemovesKeymoorsOwnRecord)
{
    auto delegate = start();
    ProductEntity* product = delegate->addNewProduct();
    product->setTitle(QStringLiteral("Editor"));
    product->setProductVersion(QStringLiteral("2.1"));

    m_ui.queueAlertAnswer(1); // Cancel
    EXPECT_FALSE(delegate->removeProducts({product}));
    EXPECT_FALSE(product->isDeleted());
    ASSERT_EQ(m_ui.alerts().size(), 1);
    EXPECT_TRUE(m_ui.alerts().first().title.contains(QStringLiteral("Editor")));
    EXPECT_TRUE(m_ui.alerts().first().title.contains(QStringLiteral("2.1")));

    EXPECT_FALSE(delegate->removeProducts({delegate->ownProduct()}));
    EXPECT_EQ(m_ui.alerts().size(), 2);
    EXPECT_FALSE(delegate->ownProduct()->isDeleted());

    m_ui.queueAlertAnswer(0); // Delete
    EXPECT_TRUE(delegate->removeProducts({product}));
    EXPECT_TRUE(delegate->saveAction());
    EXPECT_EQ(count(*delegate, QStringLiteral("Product")), 1);
}

TEST_F(AppDelegateTest, DeletedLibraryFoldersComeBackOnTheNextAccess)
{
    auto delegate = start();
    ASSERT_TRUE(QDir(LibraryPaths::attachmentsPath()).removeRecursively());
    EXPECT_TRUE(QFileInfo(LibraryPaths::attachmentsPath()).isDir());
}

TEST_F(AppDelegateTest, ScannedRegistrationInfoAsksBeforeReplacingAndCopiesTheSerial)
{
    auto delegate = start();
    ProductEntity* product = delegate->addNewProduct();
    const QDateTime purchased(QDate(2009, 3, 3), QTime(10, 0), Qt::UTC);
    const ZRRegistrationInfo info {QStringLiteral("NEW-KEY"), QStringLiteral("jane@example.com"), purchased};

    // Nothing to replace yet: no question.
    ASSERT_TRUE(delegate->applyRegistrationInfo(product, info));
    EXPECT_TRUE(m_ui.alerts().isEmpty());
    EXPECT_EQ(product->serialNumber(), QStringLiteral("NEW-KEY"));
    EXPECT_EQ(product->registeredEmail(), QStringLiteral("jane@example.com"));
    EXPECT_EQ(product->purchaseDate(), purchased);
    EXPECT_TRUE(m_ui.clipboardText().isEmpty()) << "Auto Copy Serial is off by default";

    // A serial is there now: the person is asked, and "No" changes nothing.
    const ZRRegistrationInfo other {QStringLiteral("OTHER-KEY"), std::nullopt, std::nullopt};
    m_ui.queueAlertAnswer(1);
    EXPECT_FALSE(delegate->applyRegistrationInfo(product, other));
    ASSERT_EQ(m_ui.alerts().size(), 1);
    EXPECT_TRUE(m_ui.alerts().first().title.contains(QStringLiteral("OTHER-KEY")));
    EXPECT_EQ(product->serialNumber(), QStringLiteral("NEW-KEY"));

    // "Replace" writes the serial and keeps the e-mail and date the scan did not find.
    delegate->userPrefs().setAutoCopySerial(true);
    m_ui.queueAlertAnswer(0);
    EXPECT_TRUE(delegate->applyRegistrationInfo(product, other));
    EXPECT_EQ(product->serialNumber(), QStringLiteral("OTHER-KEY"));
    EXPECT_EQ(product->registeredEmail(), QStringLiteral("jane@example.com"));
    EXPECT_EQ(m_ui.clipboardText(), QStringLiteral("OTHER-KEY"));
    EXPECT_TRUE(m_ui.clipboardIsSensitive());

    // With the question turned off the values are replaced at once.
    delegate->userPrefs().setAskBeforeReplaceInfo(false);
    EXPECT_TRUE(delegate->applyRegistrationInfo(product, info));
    EXPECT_EQ(m_ui.alerts().size(), 2);
    EXPECT_EQ(product->serialNumber(), QStringLiteral("NEW-KEY"));
}

TEST_F(AppDelegateTest, AutosaveWritesChangesAtThePreferredInterval)
{
    auto delegate = start();
    auto timer = std::make_unique<ManualAutosaveTimer>();
    ManualAutosaveTimer* clock = timer.get();
    delegate->session().setAutosaveTimer(std::move(timer));
    delegate->userPrefs().setAutoSaveTimeInterval(0.05);
    delegate->startAutoSaveTimer();
    // A later change of the preference does not reach the running timer.
    delegate->userPrefs().setAutoSaveTimeInterval(3600);
    ProductEntity* product = delegate->ownProduct();
    ObjectContext* context = delegate->managedObjectContext();
    ASSERT_TRUE(context->hasChanges()) << "the seeded defaults are not saved yet";
    product->setSerialNumber(QStringLiteral("AUTO"));
    clock->advance(49);
    EXPECT_TRUE(context->hasChanges());
    clock->advance(1);
    EXPECT_FALSE(context->hasChanges());
}
