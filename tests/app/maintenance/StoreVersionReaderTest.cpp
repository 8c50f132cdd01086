#include "maintenance/StoreVersionReader.h"

#include "base/Log.h"
#include "model/ZRCoreDataFactory.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Persistence;

class StoreVersionReaderTest : public ::testing::Test
{
protected:
    QString makeStore(const QString& name, StoreType type, const QVariantMap& metadata)
    {
        const QString path = m_folder.filePath(name);
        auto model = ZRCoreDataFactory::newManagedObjectModelForURL(ZRCoreDataFactory::currentModelPath());
        auto coordinator = ZRCoreDataFactory::newPersistentStoreCoordinatorForURL(path, type, model);
        EXPECT_TRUE(coordinator);
        coordinator->setMetadata(coordinator->firstStore(), metadata);
        auto context = ZRCoreDataFactory::managedObjectContextForPersistentStoreCoordinator(coordinator);
        context->insertObject(QStringLiteral("Product"));
        EXPECT_TRUE(context->save());
        return path;
    }

    QTemporaryDir m_folder;
};

TEST_F(StoreVersionReaderTest, ReadsTheVersionFromTheMetadataOfBothStoreTypes)
{
    const QVariantMap five {{QStringLiteral("ZRModelVersion"), 5}};
    EXPECT_EQ(StoreVersionReader::versionForStoreURL(makeStore(QStringLiteral("a.data"), StoreType::SQLite, five)), 5);
    // The type is judged by content, so an XML store without the .xml extension is read too.
    EXPECT_EQ(StoreVersionReader::versionForStoreURL(makeStore(QStringLiteral("export.data"), StoreType::XML, five)),
              5);
    EXPECT_EQ(StoreVersionReader::versionForStoreURL(makeStore(QStringLiteral("none.data"), StoreType::SQLite, {})), 0);
}

TEST_F(StoreVersionReaderTest, UnreadableStoresCountAsVersionZeroWithALogLine)
{
    QStringList lines;
    Log::setSink([&lines](const QString& line) { lines.append(line); });
    const QString text = m_folder.filePath(QStringLiteral("text.data"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a store");
    file.close();
    EXPECT_EQ(StoreVersionReader::versionForStoreURL(text), 0);
    EXPECT_EQ(StoreVersionReader::versionForStoreURL(m_folder.filePath(QStringLiteral("missing.data"))), 0);
    Log::setSink(nullptr);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines.first().contains(QStringLiteral("Error reading current meta data -- ")))
        << lines.first().toStdString();
}

TEST_F(StoreVersionReaderTest, NamesTheModelOfEachVersion)
{
    const int current = StoreVersionReader::currentModelVersion();
    EXPECT_EQ(StoreVersionReader::pathForObjectModelForVersion(current), QStringLiteral("Keymoor_DataModel"));
    EXPECT_EQ(StoreVersionReader::pathForObjectModelForVersion(3), QStringLiteral("Keymoor_DataModel3"));
    EXPECT_EQ(StoreVersionReader::managedObjectModelForVersion(current)->version(), current);
    // Legacy versions without a model of their own, and 0 for unreadable stores, read as the newest legacy one.
    EXPECT_EQ(StoreVersionReader::managedObjectModelForVersion(0)->version(), StoreVersionReader::LastLegacyVersion);
    EXPECT_FALSE(StoreVersionReader::managedObjectModelForVersion(current + 1));
}

TEST_F(StoreVersionReaderTest, StoreTypeComesFromTheContentThenTheExtension)
{
    EXPECT_EQ(StoreVersionReader::storeTypeForURL(makeStore(QStringLiteral("sqlite.xml"), StoreType::SQLite, {})),
              StoreType::SQLite);
    EXPECT_EQ(StoreVersionReader::storeTypeForURL(makeStore(QStringLiteral("xml.data"), StoreType::XML, {})),
              StoreType::XML);
    EXPECT_EQ(StoreVersionReader::storeTypeForURL(m_folder.filePath(QStringLiteral("new.XML"))), StoreType::XML);
    EXPECT_EQ(StoreVersionReader::storeTypeForURL(m_folder.filePath(QStringLiteral("new.data"))), StoreType::SQLite);
}
