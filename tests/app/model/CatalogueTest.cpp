#include "ZRPersistenceTools.h"
#include "base/Log.h"
#include "model/AttachedEmail.h"
#include "model/AttachmentEntity.h"
#include "model/IconEntity.h"
#include "model/ProductEntity.h"
#include "model/ZRAttachmentContent.h"
#include "model/ZRCoreDataFactory.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QUuid>

#include <gtest/gtest.h>

using namespace Persistence;

namespace {

const QRegularExpression
    CanonicalUUID(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));

// Copies every object of `source` into `destination`, entity by entity in the given order, the
// way the library upgrade and the export folder do.
bool copyLibrary(ObjectContext& source, ObjectContext& destination, const QStringList& entityOrder)
{
    ZRManagedObject::ReferenceMap reference;
    for (const QString& entity : entityOrder) {
        const auto objects = ZR_fetchAllForEntityName(source, entity);
        if (!objects) {
            return false;
        }
        for (ManagedObject* object : *objects) {
            if (object->entityName() != entity) {
                continue; // sub-entities get their own turn
            }
            auto* copy = dynamic_cast<ZRManagedObject*>(destination.insertObject(entity));
            if (!copy || !copy->copyFromManagedObject(object, reference)) {
                return false;
            }
        }
    }
    return destination.save();
}

} // namespace

class CatalogueTest : public ::testing::Test
{
protected:
    std::shared_ptr<StoreCoordinator> open(const QString& name, StoreType type = StoreType::SQLite)
    {
        StoreError error;
        auto coordinator
            = ZRCoreDataFactory::newPersistentStoreCoordinatorForURL(m_folder.filePath(name), type, m_model, &error);
        EXPECT_TRUE(coordinator) << error.toString().toStdString();
        return coordinator;
    }

    // A product with an icon, a plain file and an e-mail, each with its content record.
    ProductEntity* addProduct(ObjectContext& context, const QString& title)
    {
        auto* product = context.insert<ProductEntity>(QStringLiteral("Product"));
        product->setTitle(title);
        product->setSerialNumber(title + QStringLiteral("-SERIAL\r\nLINE 2"));
        product->setPurchasePrice(Decimal::fromString(QStringLiteral("19.90")));
        product->setComments(QByteArrayLiteral("notes \x00 with a zero"));
        product->setAppIcon(context.insert<IconEntity>(QStringLiteral("Icon")));
        auto* file = context.insert<AttachmentEntity>(QStringLiteral("AttachedFile"));
        file->setName(title + QStringLiteral(".pdf"));
        file->setContent(context.insert<ZRAttachmentContent>(QStringLiteral("AttachmentContent")));
        product->addAttachedFile(file);
        auto* email = context.insert<AttachedEmail>(QStringLiteral("EmailReceipt"));
        email->setName(QStringLiteral("Your licence for ") + title);
        email->setFrom(QStringLiteral("shop@example.com"));
        email->setEncoding(4);
        email->setContent(context.insert<ZRAttachmentContent>(QStringLiteral("AttachmentContent")));
        email->setProduct(product);
        return product;
    }

    QTemporaryDir m_folder;
    std::shared_ptr<const ObjectModel> m_model
        = ZRCoreDataFactory::newManagedObjectModelForURL(ZRCoreDataFactory::currentModelPath());
};

TEST_F(CatalogueTest, NewRecordsGetTheirDefaults)
{
    ObjectContext context(open(QStringLiteral("Keymoor.data")));
    const QDateTime before = QDateTime::currentDateTimeUtc();
    auto* product = context.insert<ProductEntity>(QStringLiteral("Product"));
    ASSERT_TRUE(product);
    EXPECT_EQ(product->title(), QStringLiteral("New Item"));
    EXPECT_EQ(product->purchaseCurrency(), QStringLiteral("$"));
    EXPECT_GE(product->purchaseDate(), before.addMSecs(-1));
    EXPECT_LE(product->purchaseDate(), QDateTime::currentDateTimeUtc());
    EXPECT_TRUE(CanonicalUUID.match(product->uuid()).hasMatch()) << product->uuid().toStdString();
    EXPECT_NE(product->uuid(), context.insert<ProductEntity>(QStringLiteral("Product"))->uuid());
    const QUuid parsed(product->uuid());
    EXPECT_EQ(parsed.version(), QUuid::Random);
    EXPECT_EQ(parsed.variant(), QUuid::DCE);
    EXPECT_EQ(parsed.toString(QUuid::WithoutBraces).toUpper(), product->uuid());
    QSet<QString> seen;
    for (int i = 0; i < 5000; ++i) {
        seen.insert(ZRManagedObject::newUUIDString());
    }
    EXPECT_EQ(seen.size(), 5000);

    auto* file = context.insert<AttachmentEntity>(QStringLiteral("AttachedFile"));
    EXPECT_FALSE(file->hasProperty(QStringLiteral("uuid")));
    EXPECT_TRUE(CanonicalUUID.match(context.insert<IconEntity>(QStringLiteral("Icon"))->uuid()).hasMatch());
    EXPECT_TRUE(CanonicalUUID.match(context.insert<ZRAttachmentContent>(QStringLiteral("AttachmentContent"))->uuid())
                    .hasMatch());
    EXPECT_TRUE(dynamic_cast<ZRManagedObject*>(context.insertObject(QStringLiteral("Currency"))))
        << "currencies take part in library copies";
}

TEST_F(CatalogueTest, PlainAttachedFileAnswersNullForEmailKeysQuietly)
{
    ObjectContext context(open(QStringLiteral("Keymoor.data")));
    auto* file = context.insert<AttachmentEntity>(QStringLiteral("AttachedFile"));
    QStringList lines;
    Log::setSink([&lines](const QString& line) { lines.append(line); });
    EXPECT_FALSE(file->value(QStringLiteral("from")).isValid());
    EXPECT_FALSE(file->value(QStringLiteral("anything")).isValid());
    Log::setSink(nullptr);
    EXPECT_TRUE(lines.isEmpty());
}

TEST_F(CatalogueTest, DeletingAProductLeavesNoDependentRecord)
{
    auto coordinator = open(QStringLiteral("Keymoor.data"));
    ObjectContext context(coordinator);
    ProductEntity* doomed = addProduct(context, QStringLiteral("Doomed"));
    addProduct(context, QStringLiteral("Kept"));
    ASSERT_TRUE(context.save());

    context.deleteObject(doomed);
    ASSERT_TRUE(context.save());
    ObjectContext fresh(coordinator);
    EXPECT_EQ(ZR_fetchAllForEntityName(fresh, QStringLiteral("Product"))->size(), 1);
    for (const char* entity : {"AttachedFile", "AttachmentContent", "Icon"}) {
        const ObjectList left = *ZR_fetchAllForEntityName(fresh, QString::fromLatin1(entity));
        EXPECT_EQ(left.size(),
                  entity == QByteArrayLiteral("AttachedFile") ? 2 : (entity == QByteArrayLiteral("Icon") ? 1 : 2))
            << entity;
        for (ManagedObject* object : left) {
            const QVariant owner = object->valueForKeyPath(entity == QByteArrayLiteral("AttachmentContent")
                                                               ? QStringLiteral("attachment.product.title")
                                                               : QStringLiteral("product.title"));
            EXPECT_EQ(owner.toString(), QStringLiteral("Kept")) << entity;
        }
    }
}

TEST_F(CatalogueTest, LibraryCopiesBetweenStoresInAnyEntityOrder)
{
    auto original = open(QStringLiteral("Keymoor.data"));
    ObjectContext source(original);
    for (const char* title : {"Editor", "Compiler", "Player"}) {
        addProduct(source, QString::fromLatin1(title));
    }
    auto* currency = source.insertObject(QStringLiteral("Currency"));
    currency->setValue(QStringLiteral("currencySymbol"), QStringLiteral("€"));
    currency->setValue(QStringLiteral("sortIndex"), 1);
    ASSERT_TRUE(source.save());

    // Attached files and their contents before the products they belong to, and back again the other way.
    const QStringList filesFirst {"AttachmentContent", "EmailReceipt", "AttachedFile", "Icon", "Currency", "Product"};
    QStringList productsFirst = filesFirst;
    std::reverse(productsFirst.begin(), productsFirst.end());
    auto exported = open(QStringLiteral("Keymoor.xml"), StoreType::XML);
    ObjectContext xml(exported);
    ASSERT_TRUE(copyLibrary(source, xml, filesFirst));
    ObjectContext rereadXml(ZRCoreDataFactory::newPersistentStoreCoordinatorForURL(
        m_folder.filePath(QStringLiteral("Keymoor.xml")), StoreType::XML, m_model));
    ObjectContext restored(open(QStringLiteral("Restored.data")));
    ASSERT_TRUE(copyLibrary(rereadXml, restored, productsFirst));

    ObjectContext check(open(QStringLiteral("Restored.data")));
    const auto products = ZR_fetchObjectsForEntityName(check, QStringLiteral("Product"), QStringLiteral("title != %@"),
                                                       {QStringLiteral("nothing")});
    ASSERT_TRUE(products);
    ASSERT_EQ(products->size(), 3);
    for (ManagedObject* object : *products) {
        auto* copy = dynamic_cast<ProductEntity*>(object);
        ASSERT_TRUE(copy);
        const auto originals = ZR_fetchObjectsForEntityName(source, QStringLiteral("Product"),
                                                            QStringLiteral("uuid == %@"), {copy->uuid()});
        ASSERT_EQ(originals->size(), 1) << "the UUID is copied, not made anew";
        auto* product = dynamic_cast<ProductEntity*>(originals->first());
        EXPECT_EQ(copy->title(), product->title());
        EXPECT_EQ(copy->serialNumber(), product->serialNumber());
        EXPECT_EQ(copy->purchasePrice()->toString(), QStringLiteral("19.90"));
        EXPECT_EQ(copy->purchaseDate(), product->purchaseDate());
        EXPECT_EQ(copy->comments(), product->comments());
        ASSERT_TRUE(copy->appIcon());
        EXPECT_EQ(copy->appIcon()->uuid(), product->appIcon()->uuid());
        EXPECT_EQ(copy->appIcon()->product(), copy);
        const QList<AttachmentEntity*> files = copy->attachedFiles();
        ASSERT_EQ(files.size(), 2);
        for (AttachmentEntity* file : files) {
            ASSERT_TRUE(file->content()) << file->name().toStdString();
            EXPECT_EQ(file->content()->attachment(), file);
            const auto sameName = ZR_fetchObjectsForEntityName(source, QStringLiteral("AttachedFile"),
                                                               QStringLiteral("name == %@"), {file->name()});
            ASSERT_EQ(sameName->size(), 1);
            auto* originalFile = dynamic_cast<AttachmentEntity*>(sameName->first());
            EXPECT_EQ(file->content()->uuid(), originalFile->content()->uuid());
            EXPECT_EQ(file->entityName(), originalFile->entityName());
            EXPECT_EQ(file->value(QStringLiteral("from")), originalFile->value(QStringLiteral("from")));
        }
    }
    const auto currencies = ZR_fetchAllForEntityName(check, QStringLiteral("Currency"));
    ASSERT_EQ(currencies->size(), 1);
    EXPECT_EQ(currencies->first()->value(QStringLiteral("currencySymbol")).toString(), QStringLiteral("€"));
}

TEST_F(CatalogueTest, FetchTemplatesAndToolkitQueries)
{
    ObjectContext context(open(QStringLiteral("Keymoor.data")));
    addProduct(context, QStringLiteral("Foo Writer"));
    addProduct(context, QStringLiteral("foobar"));
    addProduct(context, QStringLiteral("Bar"));
    context.insertObject(QStringLiteral("Currency"));
    ASSERT_TRUE(context.save());

    const auto currencies = m_model->fetchRequestTemplate(QStringLiteral("AllCurrencies"));
    ASSERT_TRUE(currencies);
    EXPECT_EQ(context.execute(*currencies)->size(), 1);
    const auto summary = m_model->fetchRequestTemplate(QStringLiteral("SummaryReport"));
    ASSERT_TRUE(summary);
    EXPECT_EQ(context.execute(*summary)->size(), 3);

    EXPECT_EQ(ZR_fetchObjectsForEntityName(context, QStringLiteral("Product"), QStringLiteral("title LIKE[c] %@"),
                                           {QStringLiteral("foo*")})
                  ->size(),
              2);
    EXPECT_EQ(
        ZR_fetchObjectsForEntityName(context, QStringLiteral("Product"),
                                     QVariant::fromValue(*Predicate::fromFormat(QStringLiteral("title == 'Bar'"))))
            ->size(),
        1);
    EXPECT_EQ(ZR_fetchObjectsForEntityName(context, QStringLiteral("AttachedFile"))->size(), 6);
    EXPECT_FALSE(ZR_fetchAllForEntityName(context, QStringLiteral("Gadget")));
    StoreError error;
    EXPECT_FALSE(
        ZR_fetchObjectsForEntityName(context, QStringLiteral("Product"), QStringLiteral("title LIKE"), {}, &error));
    EXPECT_FALSE(error.description.isEmpty());
#ifdef QT_NO_DEBUG
    EXPECT_FALSE(ZR_fetchObjectsForEntityName(context, QStringLiteral("Product"), QVariant(42), {}, &error));
    EXPECT_TRUE(error.description.contains(QStringLiteral("unexpected class int")));
#endif
}

TEST_F(CatalogueTest, FlagsAreStoredAsBooleans)
{
    ObjectContext context(open(QStringLiteral("Keymoor.data")));
    ManagedObject* currency = context.insertObject(QStringLiteral("Currency"));
    EXPECT_FALSE(ZR_boolValueForKey(currency, QStringLiteral("sortIndex"))) << "no value reads as false";
    EXPECT_TRUE(ZR_setBoolValue(currency, true, QStringLiteral("sortIndex")));
    EXPECT_TRUE(ZR_boolValueForKey(currency, QStringLiteral("sortIndex")));
    EXPECT_EQ(currency->value(QStringLiteral("sortIndex")).toLongLong(), 1);
    EXPECT_FALSE(ZR_setBoolValue(nullptr, true, QStringLiteral("sortIndex")));
}
