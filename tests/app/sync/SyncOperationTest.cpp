#include "../report/ReportTestLibrary.h"
#include "model/ZRCoreDataFactory.h"
#include "plist/PropertyList.h"
#include "prefs/UserPreferences.h"
#include "sync/KMSyncOperation.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

class SyncOperationTest : public ReportTestLibrary
{
protected:
    void SetUp() override
    {
        ReportTestLibrary::SetUp();
        m_dropbox = m_cloud.filePath(QStringLiteral("Dropbox"));
        ASSERT_TRUE(QDir().mkpath(m_dropbox));
    }

    QString syncFolder() const { return m_dropbox + QStringLiteral("/Private/Keymoor/MobileSync"); }

    bool exportTo(const QString& folder)
    {
        EXPECT_TRUE(m_delegate->saveAction());
        KMSyncOperation operation(folder, m_context->coordinator());
        operation.setClock([] { return QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC); });
        return operation.exportSync();
    }

    // "sync.plist" read back through the property-list reader.
    QVariantMap readSyncFile() const
    {
        QString error;
        const auto value = PropertyList::fromFile(syncFolder() + QStringLiteral("/sync.plist"), &error);
        EXPECT_TRUE(value) << error.toStdString();
        return value ? value->toMap() : QVariantMap();
    }

    QVariantMap entryTitled(const QVariantMap& sync, const QString& title) const
    {
        for (const QVariant& entry : sync.value(QStringLiteral("products")).toList()) {
            if (entry.toMap().value(QStringLiteral("title")) == title) {
                return entry.toMap();
            }
        }
        return {};
    }

    QTemporaryDir m_cloud;
    QString m_dropbox;
};

TEST_F(SyncOperationTest, AFullProductWritesEveryKey)
{
    ProductEntity* product = addProduct(QStringLiteral("Tessera"), QStringLiteral("TS-1\nTS-2"));
    product->setProductVersion(QStringLiteral("2.1"));
    product->setBundleIdentifier(QStringLiteral("example.kiln.tessera"));
    product->setComments(QByteArray("{\\rtf1\\ansi Keep it safe}"));
    product->setProductEmail(QStringLiteral("help@kiln.example"));
    product->setProductWebsite(QStringLiteral("https://kiln.example"));
    product->setPublisher(QStringLiteral("Kiln Works"));
    const QDateTime bought(QDate(2009, 3, 24), QTime(14, 30), Qt::UTC);
    product->setPurchaseDate(bought);
    product->setPurchaseOrderNumber(QStringLiteral("ORD-9"));
    product->setRegisteredCompany(QStringLiteral("Analytical"));
    product->setRegisteredName(QStringLiteral("Ada"));
    product->setRegisteredEmail(QStringLiteral("ada@example.com"));
    product->setPurchasePrice(price("29.95"));
    product->setPurchaseCurrency(QStringLiteral("$"));
    const IconEntity* icon = addIcon(product);
    ASSERT_NE(product->attachDocument(writeFile(QStringLiteral("a.txt"), "a")), nullptr);
    ASSERT_NE(product->attachDocument(writeFile(QStringLiteral("b.txt"), "b")), nullptr);

    ASSERT_TRUE(exportTo(m_dropbox));
    const QVariantMap sync = readSyncFile();
    EXPECT_EQ(sync.value(QStringLiteral("version")), QStringLiteral("1"));
    EXPECT_EQ(sync.value(QStringLiteral("date")).toDateTime(), QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9), Qt::UTC));
    EXPECT_EQ(sync.value(QStringLiteral("syncID")).toString().size(), 36);

    const QVariantMap expected = {
        {QStringLiteral("title"), QStringLiteral("Tessera")},
        {QStringLiteral("uuid"), product->uuid()},
        {QStringLiteral("version"), QStringLiteral("2.1")},
        {QStringLiteral("bundleIdentifier"), QStringLiteral("example.kiln.tessera")},
        {QStringLiteral("comments"), QStringLiteral("Keep it safe")},
        {QStringLiteral("supportEmail"), QStringLiteral("help@kiln.example")},
        {QStringLiteral("website"), QStringLiteral("https://kiln.example")},
        {QStringLiteral("publisher"), QStringLiteral("Kiln Works")},
        {QStringLiteral("purchaseDate"), bought},
        {QStringLiteral("purchaseOrderNumber"), QStringLiteral("ORD-9")},
        {QStringLiteral("registeredCompany"), QStringLiteral("Analytical")},
        {QStringLiteral("registeredName"), QStringLiteral("Ada")},
        {QStringLiteral("registeredEmail"), QStringLiteral("ada@example.com")},
        {QStringLiteral("serialNumber"), QStringLiteral("TS-1\nTS-2")},
        {QStringLiteral("iconUUID"), icon->uuid()},
        // With its decimals: a whole-number price would tell the phone $30.
        {QStringLiteral("purchasePrice"), QStringLiteral("$29.95")},
        {QStringLiteral("attachmentCount"), qint64(2)},
    };
    const QVariantMap entry = entryTitled(sync, QStringLiteral("Tessera"));
    EXPECT_EQ(QStringList(entry.keys()), QStringList(expected.keys()));
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        EXPECT_EQ(entry.value(it.key()), it.value()) << it.key().toStdString();
    }

    const QImage png(syncFolder() + QStringLiteral("/Icons/") + icon->uuid() + QStringLiteral(".png"), "PNG");
    EXPECT_EQ(png.size(), QSize(KMSyncOperation::IconSize, KMSyncOperation::IconSize));
    EXPECT_EQ(QFileInfo(syncFolder() + QStringLiteral("/sync.plist")).permissions() & 0x0077, 0);
}

TEST_F(SyncOperationTest, EmptyValuesAndMissingIconsAreLeftOut)
{
    // A new product has a UUID and the default currency, but no price; its date is cleared here.
    ASSERT_TRUE(addProduct(QStringLiteral("Bare"))->setValue(QStringLiteral("purchaseDate"), QVariant()));
    ProductEntity* noCurrency = addProduct(QStringLiteral("No Currency"));
    noCurrency->setPurchasePrice(price("10"));
    noCurrency->setPurchaseCurrency(QString());
    ASSERT_TRUE(exportTo(m_dropbox));
    const QVariantMap sync = readSyncFile();
    const QVariantMap entry = entryTitled(sync, QStringLiteral("Bare"));
    EXPECT_TRUE(entry.contains(QStringLiteral("uuid")));
    for (const char* key : {"serialNumber", "version", "comments", "iconUUID", "purchasePrice", "purchaseDate"}) {
        EXPECT_FALSE(entry.contains(QLatin1String(key))) << key;
    }
    EXPECT_EQ(entry.value(QStringLiteral("attachmentCount")), qint64(0));
    EXPECT_FALSE(entryTitled(sync, QStringLiteral("No Currency")).contains(QStringLiteral("purchasePrice")));
    // Only Keymoor's own record has an icon.
    EXPECT_EQ(QDir(syncFolder() + QStringLiteral("/Icons")).entryList(QDir::Files).size(), 1);
}

TEST_F(SyncOperationTest, LicenceKeysAreAddedOnlyWhenSetAndLeaveTheOthersAlone)
{
    ProductEntity* product = addProduct(QStringLiteral("Tessera"), QStringLiteral("TS-1"));
    ASSERT_TRUE(exportTo(m_dropbox));
    const QStringList plainKeys = entryTitled(readSyncFile(), QStringLiteral("Tessera")).keys();

    product->setLicenseType(QStringLiteral("subscription"));
    product->setExpiryDate(QDate(2027, 1, 15));
    product->setRenewalDate(QDate(2026, 12, 31));
    product->setRenewalPeriodMonths(12);
    product->setRenewalPrice(price("49.00"));
    product->setPurchaseCurrency(QStringLiteral("$"));
    product->setSeats(0);
    product->setArchived(true);
    ASSERT_TRUE(exportTo(m_dropbox));
    const QVariantMap entry = entryTitled(readSyncFile(), QStringLiteral("Tessera"));
    for (const QString& key : plainKeys) {
        EXPECT_TRUE(entry.contains(key)) << key.toStdString();
    }
    EXPECT_EQ(entry.value(QStringLiteral("licenseType")), QStringLiteral("subscription"));
    // Noon UTC: the same calendar day wherever the phone is.
    EXPECT_EQ(entry.value(QStringLiteral("expiryDate")).toDateTime(),
              QDateTime(QDate(2027, 1, 15), QTime(12, 0), Qt::UTC));
    EXPECT_EQ(entry.value(QStringLiteral("renewalDate")).toDateTime().toUTC().date(), QDate(2026, 12, 31));
    EXPECT_EQ(entry.value(QStringLiteral("renewalPeriodMonths")), qint64(12));
    EXPECT_EQ(entry.value(QStringLiteral("renewalPrice")), QStringLiteral("$49.00"));
    EXPECT_EQ(entry.value(QStringLiteral("seats")), qint64(0));
    EXPECT_EQ(entry.value(QStringLiteral("archived")), true);
    EXPECT_FALSE(entry.contains(QStringLiteral("remindDaysBefore")));
}

TEST_F(SyncOperationTest, PricesKeepTheirDecimals)
{
    ProductEntity* product = addProduct(QStringLiteral("Priced"));
    const QList<std::pair<const char*, QString>> cases = {
        {"29.95", QStringLiteral("€29.95")},
        {"30", QStringLiteral("€30")},
        {"1234.50", QStringLiteral("€1234.50")},
        {"0.99", QStringLiteral("€0.99")},
    };
    product->setPurchaseCurrency(QStringLiteral("€"));
    for (const auto& [stored, text] : cases) {
        product->setPurchasePrice(price(stored));
        EXPECT_EQ(KMSyncOperation::purchasePriceText(*product), text) << stored;
    }
    product->setPurchaseCurrency(QString());
    EXPECT_EQ(KMSyncOperation::purchasePriceText(*product), QString());
}

TEST_F(SyncOperationTest, EachExportHasANewSyncIdAndReplacesTheFile)
{
    ASSERT_TRUE(exportTo(m_dropbox));
    const QString first = readSyncFile().value(QStringLiteral("syncID")).toString();
    addProduct(QStringLiteral("Later"));
    ASSERT_TRUE(exportTo(m_dropbox));
    const QVariantMap second = readSyncFile();
    EXPECT_NE(second.value(QStringLiteral("syncID")).toString(), first);
    EXPECT_FALSE(entryTitled(second, QStringLiteral("Later")).isEmpty());
    EXPECT_EQ(QDir(syncFolder()).entryList(QDir::Files), QStringList {QStringLiteral("sync.plist")});
}

TEST_F(SyncOperationTest, AnEmptyCatalogueWritesAnEmptyProductList)
{
    QTemporaryDir storeFolder;
    auto coordinator = ZRCoreDataFactory::newPersistentStoreCoordinatorForURL(
        storeFolder.filePath(QStringLiteral("Empty.data")), Persistence::StoreType::SQLite,
        ZRCoreDataFactory::newManagedObjectModelForURL(ZRCoreDataFactory::currentModelPath()));
    ASSERT_TRUE(coordinator);
    KMSyncOperation operation(m_dropbox, coordinator);
    ASSERT_TRUE(operation.exportSync());
    const QVariantMap sync = readSyncFile();
    ASSERT_TRUE(sync.contains(QStringLiteral("products")));
    EXPECT_TRUE(sync.value(QStringLiteral("products")).toList().isEmpty());
}

TEST_F(SyncOperationTest, AFolderThatCannotHoldTheSyncFolderFailsAndWritesNothing)
{
    QFile blocker(m_dropbox + QStringLiteral("/Private"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString file = m_cloud.filePath(QStringLiteral("plain-file"));
    QFile plain(file);
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    struct Case
    {
        const char* what;
        QString folder;
        bool logsCreation;
    };
    const QList<Case> cases = {
        {"no folder chosen", QString(), false},
        {"a folder that is gone", m_cloud.filePath(QStringLiteral("Gone")), true},
        {"a file instead of a folder", file, true},
        {"a file in the way of the sync folder", m_dropbox, true},
    };
    for (const Case& c : cases) {
        m_log.clear();
        EXPECT_FALSE(exportTo(c.folder)) << c.what;
        bool logged = false;
        for (const QString& line : std::as_const(m_log)) {
            logged = logged || line.startsWith(QLatin1String("Error creating sync folder:"));
        }
        EXPECT_EQ(logged, c.logsCreation) << c.what;
    }
    EXPECT_FALSE(QFileInfo::exists(m_cloud.filePath(QStringLiteral("Gone"))));
    EXPECT_TRUE(QFileInfo(m_dropbox + QStringLiteral("/Private")).isFile());
}

TEST_F(SyncOperationTest, TheCommandAsksForThePreferencesWhileSyncIsOff)
{
    m_delegate->userPrefs().setSyncDropFolderLocation(m_dropbox);
    QSignalSpy panes(m_delegate.get(), &KeymoorAppDelegate::preferencesPaneRequested);
    EXPECT_FALSE(m_delegate->syncToMobile());
    ASSERT_EQ(panes.size(), 1);
    EXPECT_EQ(panes.first().first().toString(), QStringLiteral("Sync Update"));
    EXPECT_FALSE(QFileInfo::exists(m_dropbox + QStringLiteral("/Private")));
    EXPECT_TRUE(m_ui.calls().isEmpty());
}

TEST_F(SyncOperationTest, TheCommandSavesExportsAndAlertsOnlyOnFailure)
{
    UserPreferences& prefs = m_delegate->userPrefs();
    prefs.setSyncOn(true);
    prefs.setSyncDropFolderLocation(m_dropbox);
    m_product->setSerialNumber(QStringLiteral("UNSAVED-EDIT"));
    EXPECT_TRUE(m_delegate->syncToMobile());
    EXPECT_EQ(m_ui.calls(),
              QStringList({QStringLiteral("progress start: Syncing with iPhone"), QStringLiteral("progress stop")}));
    EXPECT_EQ(entryTitled(readSyncFile(), QStringLiteral("Northwind Notes")).value(QStringLiteral("serialNumber")),
              QStringLiteral("UNSAVED-EDIT"));

    prefs.setSyncDropFolderLocation(m_cloud.filePath(QStringLiteral("Gone")));
    EXPECT_FALSE(m_delegate->syncToMobile());
    EXPECT_TRUE(logged(QStringLiteral("Sync Failed")));
    ASSERT_EQ(m_ui.alerts().size(), 1);
    EXPECT_EQ(m_ui.alerts().first().title, QStringLiteral("Sync Failed"));
    EXPECT_EQ(m_ui.alerts().first().message,
              QStringLiteral("Make sure you have correctly installed and configured your Dropbox account."));
    EXPECT_FALSE(m_ui.isProgressShown());
}

} // namespace
