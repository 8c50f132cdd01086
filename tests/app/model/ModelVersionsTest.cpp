#include "maintenance/StoreVersionReader.h"
#include "model/AttachedEmail.h"
#include "model/ProductEntity.h"
#include "model/ZRAttachmentContent.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/EntityDescription.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Persistence;

// Every shipped model loads, has the version its name says, and gives the catalogue classes.
TEST(ModelVersions, EveryShippedModelLoadsWithTheCatalogueClasses)
{
    const int current = StoreVersionReader::currentModelVersion();
    ASSERT_GT(current, StoreVersionReader::LastLegacyVersion);
    for (const int version : {4, 5, 6, 7, current}) {
        const auto model = StoreVersionReader::managedObjectModelForVersion(version);
        ASSERT_TRUE(model) << version;
        EXPECT_EQ(model->version(), version);
        auto coordinator = std::make_shared<StoreCoordinator>(model);
        QTemporaryDir folder;
        ASSERT_TRUE(coordinator->addStore(StoreType::SQLite, folder.filePath(QStringLiteral("v.data"))));
        ObjectContext context(coordinator);
        EXPECT_TRUE(dynamic_cast<ProductEntity*>(context.insertObject(QStringLiteral("Product")))) << version;
        EXPECT_TRUE(dynamic_cast<AttachedEmail*>(context.insertObject(QStringLiteral("EmailReceipt")))) << version;
        EXPECT_TRUE(context.save()) << version;
    }
}

TEST(ModelVersions, OlderModelsCarryTheAttributesUpgradesConvert)
{
    const auto v4 = StoreVersionReader::managedObjectModelForVersion(4);
    const auto v5 = StoreVersionReader::managedObjectModelForVersion(5);
    const auto current = StoreVersionReader::managedObjectModelForVersion(StoreVersionReader::currentModelVersion());
    ASSERT_TRUE(v4 && v5 && current);
    const auto type = [](const auto& model, const char* entity, const char* attribute) {
        const auto* description = model->entity(QString::fromLatin1(entity))->attribute(QString::fromLatin1(attribute));
        return description ? attributeTypeName(description->type) : QString();
    };
    EXPECT_EQ(type(v4, "AttachmentContent", "contentData"), QStringLiteral("binary"));
    EXPECT_EQ(type(v4, "AttachmentContent", "uuid"), QString());
    EXPECT_EQ(type(v4, "Product", "icon"), QStringLiteral("binary"));
    EXPECT_EQ(type(v5, "AttachedFile", "content"), QStringLiteral("binary"));
    EXPECT_EQ(type(v5, "Product", "icon"), QStringLiteral("binary"));
    EXPECT_FALSE(v5->entity(QStringLiteral("Icon")));
    EXPECT_TRUE(current->entity(QStringLiteral("AttachedFile"))->relationship(QStringLiteral("content")));
    EXPECT_EQ(type(current, "Product", "purchasePrice"), QStringLiteral("decimal"));
    EXPECT_NE(v5->schemaHash(), current->schemaHash());

    // A legacy content record answers its stored bytes, not a file, for "contentData".
    auto coordinator = std::make_shared<StoreCoordinator>(v4);
    QTemporaryDir folder;
    ASSERT_TRUE(coordinator->addStore(StoreType::XML, folder.filePath(QStringLiteral("legacy.xml"))));
    ObjectContext context(coordinator);
    auto* content = context.insert<ZRAttachmentContent>(QStringLiteral("AttachmentContent"));
    ASSERT_TRUE(content);
    content->setValue(QStringLiteral("contentData"), QByteArrayLiteral("legacy bytes"));
    EXPECT_EQ(content->value(QStringLiteral("contentData")).toByteArray(), QByteArrayLiteral("legacy bytes"));
}
