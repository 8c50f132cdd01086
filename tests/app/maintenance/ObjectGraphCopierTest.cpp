#include "maintenance/ObjectGraphCopier.h"

#include "../../support/TemporaryUserFolders.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "maintenance/MigrationReporter.h"
#include "maintenance/StoreVersionReader.h"
#include "persistence/ObjectContext.h"
#include "persistence/StoreCoordinator.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Persistence;

namespace {

// A store of one model version in the test's folder, with its own context.
struct Store
{
    Store(int version, const QString& path)
    {
        coordinator = std::make_shared<StoreCoordinator>(StoreVersionReader::managedObjectModelForVersion(version));
        PersistentStore* store = coordinator->addStore(StoreType::SQLite, path);
        EXPECT_TRUE(store) << path.toStdString();
        coordinator->setMetadata(store, {{QStringLiteral("ZRModelVersion"), version}});
        context = std::make_unique<ObjectContext>(coordinator);
    }
    std::shared_ptr<StoreCoordinator> coordinator;
    std::unique_ptr<ObjectContext> context;
};

class ObjectGraphCopierTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Log::setEchoToStandardError(false);
        Log::setSink([this](const QString& line) { m_log.append(line); });
    }
    void TearDown() override { Log::setSink({}); }

    // Products saved in the store at `path`, read afresh from disk.
    static int savedProducts(const QString& path)
    {
        Store reader(StoreVersionReader::currentModelVersion(), path);
        const auto products = reader.context->execute(FetchRequest(QStringLiteral("Product")));
        return products ? int(products->size()) : -1;
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    bool loggedContaining(const QString& text) const
    {
        return std::any_of(m_log.begin(), m_log.end(), [&](const QString& line) { return line.contains(text); });
    }

    TemporaryUserFolders m_folders;
    QTemporaryDir m_dir;
    QStringList m_log;
    MigrationReporter m_reporter {nullptr, nullptr};
    ObjectGraphCopier m_copier {m_reporter};
};

} // namespace

TEST_F(ObjectGraphCopierTest, ARefusedObjectFailsTheCopyAndNothingOfItIsSaved)
{
    Store source(StoreVersionReader::currentModelVersion(), path(QStringLiteral("source.data")));
    for (const QString& title : {QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")}) {
        source.context->insertObject(QStringLiteral("Product"))->setValue(QStringLiteral("title"), title);
    }
    ASSERT_TRUE(source.context->save());

    int asked = 0;
    m_copier.setCopyObjectHook([&asked](const ManagedObject*) { return ++asked != 2; });
    {
        Store destination(StoreVersionReader::currentModelVersion(), path(QStringLiteral("refused.data")));
        EXPECT_FALSE(m_copier.copyManagedObjectContext(source.context.get(), destination.context.get()));
    }
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(loggedContaining(QStringLiteral("ZRDataMigrator::copyManagedObjectContext")));
    EXPECT_TRUE(loggedContaining(QStringLiteral("Exception Trapped: CopyFailure")));
    EXPECT_EQ(savedProducts(path(QStringLiteral("refused.data"))), 0);

    // Without the hook the same copy goes through and is saved.
    m_copier.setCopyObjectHook({});
    {
        Store destination(StoreVersionReader::currentModelVersion(), path(QStringLiteral("copied.data")));
        EXPECT_TRUE(m_copier.copyManagedObjectContext(source.context.get(), destination.context.get()));
    }
    EXPECT_EQ(savedProducts(path(QStringLiteral("copied.data"))), 3);
    EXPECT_EQ(m_reporter.counter(MigrationProgress::Counter::Products), 4);
}

TEST_F(ObjectGraphCopierTest, TheLegacyCopyAsksTheSameHookAndWritesNoAttachmentWhenRefused)
{
    Store source(StoreVersionReader::LastLegacyVersion, path(QStringLiteral("legacy.data")));
    ManagedObject* product = source.context->insertObject(QStringLiteral("Product"));
    product->setValue(QStringLiteral("title"), QStringLiteral("Legacy"));
    ManagedObject* file = source.context->insertObject(QStringLiteral("AttachedFile"));
    file->setValue(QStringLiteral("name"), QStringLiteral("licence.txt"));
    file->setToOne(QStringLiteral("product"), product);
    ManagedObject* content = source.context->insertObject(QStringLiteral("AttachmentContent"));
    content->setValue(QStringLiteral("contentData"), QByteArrayLiteral("licence bytes"));
    content->setToOne(QStringLiteral("attachment"), file);
    ASSERT_TRUE(source.context->save());

    m_copier.setCopyObjectHook([](const ManagedObject*) { return false; });
    {
        Store destination(StoreVersionReader::currentModelVersion(), path(QStringLiteral("refused.data")));
        EXPECT_FALSE(m_copier.copyManagedObjectContext(source.context.get(), destination.context.get()));
    }
    EXPECT_TRUE(m_log.contains(QStringLiteral("********* Migrating Legacy Library **********")));
    EXPECT_TRUE(loggedContaining(QStringLiteral("ZRDataMigrator::legacyCopyManagedObjectContext")));
    EXPECT_EQ(savedProducts(path(QStringLiteral("refused.data"))), 0);
    EXPECT_TRUE(QDir(LibraryPaths::attachmentsPath()).entryList(QDir::Files).isEmpty());
}
