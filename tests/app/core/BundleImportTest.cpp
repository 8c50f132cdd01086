#include "../../support/TemporaryHome.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "core/KeymoorAppDelegate.h"
#include "model/ProductEntity.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/ObjectContext.h"
#include "prefs/UserDefaults.h"
#include "prefs/UserPreferences.h"
#include "support/ScriptedUserInterface.h"
#include "support/TestData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Persistence;

namespace {

const QString Fixtures = testDataPath("/bundles/");
const QString SampleApp = testDataPath("/record/Sample.app");

// A controller whose saves fail on demand (its own context and the import's).
class SaveFailingDelegate : public KeymoorAppDelegate
{
public:
    using KeymoorAppDelegate::KeymoorAppDelegate;
    std::atomic<bool> failSaves = false;

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

class BundleImportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Log::setEchoToStandardError(false);
        Log::setSink([this](const QString& line) { m_log.append(line); });
        m_delegate.initializeDefaultData();
        QObject::connect(&m_delegate, &KeymoorAppDelegate::selectAndScrollToProduct,
                         [this](const ObjectID& id) { m_selections.append(id); });
        m_productsBefore = productTitles().size();
        m_delegate.takeImportCounts();
    }
    void TearDown() override { Log::setSink({}); }

    QStringList productTitles()
    {
        QStringList titles;
        const auto products = m_delegate.managedObjectContext()->execute(FetchRequest(QStringLiteral("Product")));
        for (ManagedObject* object : *products) {
            titles.append(static_cast<ProductEntity*>(object)->title());
        }
        titles.sort();
        return titles;
    }
    int newProducts() { return int(productTitles().size()) - m_productsBefore; }
    ProductEntity* product(const ObjectID& id)
    {
        return dynamic_cast<ProductEntity*>(m_delegate.managedObjectContext()->existingObjectWithID(id));
    }
    static int iconFileCount() { return int(QDir(LibraryPaths::iconsPath()).entryList(QDir::Files).size()); }

    TemporaryUserFolders m_folders;
    UserDefaults m_defaults {m_folders.configHome() + QStringLiteral("/Keymoor/Keymoor.conf")};
    ScriptedUserInterface m_ui;
    SaveFailingDelegate m_delegate {&m_ui, KeymoorAppDelegate::OpenMode::ReadWrite, &m_defaults};
    QStringList m_log;
    QList<ObjectID> m_selections;
    int m_productsBefore = 0;
};

TEST_F(BundleImportTest, ABatchOfThreeGivesThreeProductsAndSelectsTheFirst)
{
    int changes = 0;
    QObject::connect(&m_delegate, &KeymoorAppDelegate::productsChanged, [&changes] { ++changes; });
    ASSERT_TRUE(m_delegate.importProductsFromFiles(
        {SampleApp, Fixtures + QStringLiteral("Backdrop.prefPane"), Fixtures + QStringLiteral("Clock.wdgt")}));
    EXPECT_EQ(m_delegate.runningProductImports(), 1);
    m_delegate.waitForProductImports();

    EXPECT_EQ(newProducts(), 3);
    EXPECT_TRUE(productTitles().contains(QStringLiteral("Backdrop")));
    EXPECT_TRUE(productTitles().contains(QStringLiteral("Clock")));
    ASSERT_EQ(m_selections.size(), 1);
    EXPECT_FALSE(m_selections.first().isTemporary());
    ProductEntity* first = product(m_selections.first());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->title(), QStringLiteral("Sample"));
    EXPECT_EQ(first->productVersion(), QStringLiteral("2.4.1"));
    EXPECT_EQ(first->bundleIdentifier(), QStringLiteral("net.example.Sample"));
    EXPECT_FALSE(first->externalIcon().isEmpty());
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(m_delegate.takeImportCounts().added, 3);
    // The products are in the store, not only in memory.
    auto stored = ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(
        m_delegate.managedObjectContext()->coordinator());
    const auto found = stored->execute(
        FetchRequest(QStringLiteral("Product"),
                     *Predicate::fromFormat(QStringLiteral("title == %@"), {QStringLiteral("Backdrop")})));
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->size(), 1);
}

TEST_F(BundleImportTest, KeymoorItselfTheLibraryAndOtherFilesImportNothing)
{
    ASSERT_TRUE(m_delegate.importProductsFromFiles({
        Fixtures + QStringLiteral("Keymoor.app"),
        LibraryPaths::libraryBundlePath(),
        QCoreApplication::applicationFilePath(),
        Fixtures + QStringLiteral("plain-text-notes.txt"),
        Fixtures + QStringLiteral("missing.app"),
    }));
    m_delegate.waitForProductImports();
    EXPECT_EQ(newProducts(), 0);
    ASSERT_EQ(m_selections.size(), 1);
    EXPECT_TRUE(m_selections.first().isNull());
    EXPECT_EQ(m_delegate.takeImportCounts().added, 0);
    EXPECT_TRUE(m_ui.calls().isEmpty());
}

TEST_F(BundleImportTest, TheSameApplicationTwiceGivesTwoProducts)
{
    ASSERT_TRUE(m_delegate.importProductsFromFiles({SampleApp}));
    m_delegate.waitForProductImports();
    ASSERT_TRUE(m_delegate.importProductsFromFiles({SampleApp}));
    m_delegate.waitForProductImports();
    EXPECT_EQ(newProducts(), 2);
    EXPECT_EQ(productTitles().count(QStringLiteral("Sample")), 2);
    ASSERT_EQ(m_selections.size(), 2);
    EXPECT_NE(m_selections.at(0), m_selections.at(1));
}

TEST_F(BundleImportTest, OpenedFilesReachTheBundleImportInTheirOrder)
{
    m_delegate.openFiles({Fixtures + QStringLiteral("yojimbo-export.txt"), SampleApp});
    m_delegate.waitForProductImports();
    EXPECT_EQ(newProducts(), 2);
    ASSERT_EQ(m_selections.size(), 1);
    ProductEntity* first = product(m_selections.first());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->serialNumber(), QStringLiteral("SAMPLE-1234-5678"));
    EXPECT_EQ(first->registeredCompany(), QStringLiteral("Example Software"));
}

TEST_F(BundleImportTest, AFailedSaveKeepsNothingOfTheBatchAndShowsTheError)
{
    const int iconsBefore = iconFileCount();
    m_delegate.failSaves = true;
    ASSERT_TRUE(m_delegate.importProductsFromFiles({SampleApp, Fixtures + QStringLiteral("Clock.wdgt")}));
    m_delegate.waitForProductImports();
    m_delegate.failSaves = false;

    EXPECT_EQ(newProducts(), 0);
    EXPECT_TRUE(m_selections.isEmpty());
    ASSERT_EQ(m_ui.errors().size(), 1);
    EXPECT_EQ(m_ui.errors().first().description, QStringLiteral("disk full"));
    EXPECT_TRUE(m_log.contains(QStringLiteral("Error importing application.")));
    EXPECT_EQ(iconFileCount(), iconsBefore);
    EXPECT_EQ(m_delegate.takeImportCounts().added, 0);

    // The next import works again.
    ASSERT_TRUE(m_delegate.importProductsFromFiles({SampleApp}));
    m_delegate.waitForProductImports();
    EXPECT_EQ(newProducts(), 1);
    EXPECT_EQ(iconFileCount(), iconsBefore + 1); // icons are written before the save
}

TEST_F(BundleImportTest, NothingIsQueuedWithoutPathsOrAWritableLibrary)
{
    EXPECT_FALSE(m_delegate.importProductsFromFiles({}));
    ScriptedUserInterface ui;
    KeymoorAppDelegate reader(&ui, KeymoorAppDelegate::OpenMode::ReadOnly, &m_defaults);
    EXPECT_FALSE(reader.importProductsFromFiles({SampleApp}));
    EXPECT_EQ(reader.runningProductImports(), 0);
}

TEST_F(BundleImportTest, EachCommandStartsInItsFolderAndOnlyTheApplicationCommandRemembers)
{
    const TemporaryHome home;
    QDir(home.path()).mkpath(QStringLiteral("Library/PreferencePanes"));
    QDir(home.path()).mkpath(QStringLiteral("Library/Internet Plug-Ins"));
    const QString bundles = testDataPath("/bundles");
    m_delegate.userPrefs().setImportAppPath(QStringLiteral("~"));
    const QStringList bundleTypes {QStringLiteral("app"), QStringLiteral("prefpane"), QStringLiteral("bundle"),
                                   QStringLiteral("wdgt")};
    const QStringList applicationTypes
        = bundleTypes + QStringList {QStringLiteral("desktop"), QStringLiteral("AppImage")};
    struct Case
    {
        void (KeymoorAppDelegate::*command)();
        QString startFolder;
        QStringList extensions;
        QString rememberedAfterwards;
    };
    const Case cases[] = {
        {&KeymoorAppDelegate::importNewProduct, home.path(), applicationTypes, bundles},
        // Now the application command starts where the last one chose.
        {&KeymoorAppDelegate::importNewProduct, bundles, applicationTypes, bundles},
        {&KeymoorAppDelegate::importPrefPane, home.path() + QStringLiteral("/Library/PreferencePanes"), bundleTypes,
         bundles},
        {&KeymoorAppDelegate::importPlugin, home.path() + QStringLiteral("/Library/Internet Plug-Ins"), {}, bundles},
        // A starting folder that does not exist gives way to the home folder.
        {&KeymoorAppDelegate::importWidget, home.path(), bundleTypes, bundles},
    };
    int expectedProducts = 0;
    for (const Case& test : cases) {
        const QString chosenFirst = test.command == &KeymoorAppDelegate::importNewProduct
            ? Fixtures + QStringLiteral("Clock.wdgt")
            : SampleApp;
        m_ui.queueOpenPanelResult(QStringList {chosenFirst, Fixtures + QStringLiteral("Backdrop.prefPane")});
        (m_delegate.*test.command)();
        m_delegate.waitForProductImports();
        expectedProducts += 2;
        const OpenPanelOptions options = m_ui.openPanels().last();
        EXPECT_EQ(options.startFolder, test.startFolder);
        EXPECT_EQ(options.allowedExtensions, test.extensions);
        EXPECT_TRUE(options.allowsMultipleSelection);
        EXPECT_TRUE(options.chooseFiles);
        EXPECT_TRUE(options.chooseFolders); // bundles are folders
        EXPECT_EQ(m_delegate.userPrefs().importAppPath(), test.rememberedAfterwards);
    }
    EXPECT_EQ(newProducts(), expectedProducts);

    // A cancelled panel changes nothing.
    m_ui.queueOpenPanelResult(std::nullopt);
    m_delegate.importNewProduct();
    EXPECT_EQ(m_delegate.runningProductImports(), 0);
    EXPECT_EQ(m_delegate.userPrefs().importAppPath(), bundles);

    // A remembered folder that has gone away (or one from another system) is not where it starts.
    m_delegate.userPrefs().setImportAppPath(QStringLiteral("/Applications"));
    m_ui.queueOpenPanelResult(std::nullopt);
    m_delegate.importNewProduct();
    const QString start = m_ui.openPanels().last().startFolder;
    EXPECT_NE(start, QStringLiteral("/Applications"));
    EXPECT_TRUE(QFileInfo(start).isDir()) << start.toStdString();
    EXPECT_EQ(m_ui.pendingAnswers(), 0);
}

} // namespace
