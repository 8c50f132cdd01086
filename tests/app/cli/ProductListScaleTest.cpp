#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/JsonTextWriter.h"
#include "cli/ProductJson.h"
#include "model/AttachmentEntity.h"
#include "model/IconEntity.h"
#include "model/ProductEntity.h"
#include "model/ZRAttachmentContent.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/ReadTransaction.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

using namespace Persistence;

namespace {

// A library of products with and without attached files (one of them an e-mail), icons and notes,
// written through the model layer after the command line created it.
class ProductListScaleTest : public ::testing::Test
{
protected:
    ProductListScaleTest()
    {
        Log::setEchoToStandardError(false);
        registerCommands(m_commandLine);
        const CliResult created = runCommandLine(
            m_commandLine, {QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("First")});
        EXPECT_EQ(created.status, 0) << created.err.toStdString();
        auto coordinator = openStore();
        ObjectContext context(coordinator);
        for (int i = 0; i < ProductCount; ++i) {
            auto* product = context.insert<ProductEntity>(QStringLiteral("Product"));
            product->setTitle(QStringLiteral("Product %1").arg(i));
            product->setCommentsString(i % 2 ? QStringLiteral("notes %1").arg(i) : QString());
            for (int f = 0; f < i % 3; ++f) {
                auto* file = context.insert<AttachmentEntity>(QStringLiteral("AttachedFile"));
                file->setName(f ? QStringLiteral("receipt %1.eml").arg(i) : QStringLiteral("b%1.pdf").arg(i));
                file->setContent(context.insert<ZRAttachmentContent>(QStringLiteral("AttachmentContent")));
                product->addAttachedFile(file);
            }
            if (i % 4 == 0) {
                product->setAppIcon(context.insert<IconEntity>(QStringLiteral("Icon")));
            }
        }
        EXPECT_TRUE(context.save());
    }

    static std::shared_ptr<StoreCoordinator> openStore()
    {
        const auto model = ZRCoreDataFactory::newManagedObjectModelForURL(ZRCoreDataFactory::currentModelPath());
        return ZRCoreDataFactory::newPersistentStoreCoordinatorForURL(LibraryPaths::persistentStoreURL(),
                                                                      StoreType::SQLite, model);
    }

    static constexpr int ProductCount = 24;
    TemporaryUserFolders m_folders;
    CommandLine m_commandLine;
};

} // namespace

TEST_F(ProductListScaleTest, ListJsonReadsOneQueryPerStepAndPrintsWhatTheWholeDocumentWould)
{
    auto coordinator = openStore();
    ObjectContext context(coordinator);
    PersistentStore* store = coordinator->firstStore();
    ReadTransaction reading(&context);
    FetchRequest request(QStringLiteral("Product"), Predicate(), {SortDescriptor(QStringLiteral("title"))});
    request.relationshipKeyPathsForPrefetching = ProductJson::PrefetchKeyPaths;
    const quint64 before = store->queryCount();
    const auto objects = context.execute(request);
    ASSERT_TRUE(objects);
    ASSERT_EQ(objects->size(), ProductCount + 2); // and "First" and Keymoor's own record
    // The products, then per step: attached files, their contents, icons, notes.
    EXPECT_EQ(store->queryCount() - before, 5u);

    QList<ProductEntity*> products;
    QJsonArray array;
    for (ManagedObject* object : *objects) {
        products.append(static_cast<ProductEntity*>(object));
        array.append(ProductJson::toJson(products.last()));
    }
    EXPECT_EQ(store->queryCount() - before, 5u) << "printing reads nothing more";
    QString text;
    QTextStream out(&text);
    ProductJson::writeArray(products, out);
    out.flush();
    EXPECT_EQ(text, QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
    const QJsonArray printed = QJsonDocument::fromJson(text.toUtf8()).array();
    EXPECT_EQ(printed.at(5)[QStringLiteral("attachments")].toArray().size(), 2); // "Product 11"
    EXPECT_EQ(printed.at(5)[QStringLiteral("commentsString")].toString(), QStringLiteral("notes 11"));
    EXPECT_EQ(printed.at(5)[QStringLiteral("purchaseDate")].toString(),
              products[5]->purchaseDate().toUTC().toString(Qt::ISODate));

    QString empty;
    QTextStream emptyOut(&empty);
    ProductJson::writeArray({}, emptyOut);
    emptyOut.flush();
    EXPECT_EQ(empty, QString::fromUtf8(QJsonDocument(QJsonArray()).toJson(QJsonDocument::Indented)));
}

TEST(JsonTextWriterTest, WritesWhatAnIndentedDocumentWould)
{
    QJsonObject nested;
    nested.insert(QStringLiteral("empty object"), QJsonObject());
    nested.insert(QStringLiteral("empty array"), QJsonArray());
    nested.insert(QStringLiteral("numbers"), QJsonArray {3, 2.5, -0.1, 1e300, qint64(1) << 40, -7});
    QJsonObject object {
        {QStringLiteral("zeta"), QStringLiteral("quote\" back\\ slash / done")},
        {QStringLiteral("controls"), QString::fromUtf8("\x01\x1f\x7f tab\t nl\n cr\r bs\b ff\f")},
        {QStringLiteral("unicode"), QStringLiteral("Gr\u00fc\u00dfe \u65e5\u672c \U0001F600")},
        {QStringLiteral("lone half"), QString(QChar(0xD800)) + QStringLiteral("x") + QChar(0xDC00)},
        {QStringLiteral("blank"), QString()},
        {QStringLiteral("flags"), QJsonArray {true, false, QJsonValue::Null}},
        {QStringLiteral("Alpha"), nested},
        {QStringLiteral("list"), QJsonArray {nested, QJsonObject()}},
    };
    JsonTextWriter writer;
    writer.appendJson(object, 0);
    EXPECT_EQ(QByteArray::fromStdString(writer.text()) + '\n', QJsonDocument(object).toJson(QJsonDocument::Indented));
}

TEST_F(ProductListScaleTest, FindingOneProductLoadsOnlyItsCandidates)
{
    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    CliStreams streams {out, err};
    CliSession session(streams, KeymoorAppDelegate::OpenMode::ReadOnly);
    ASSERT_TRUE(session.open());
    ObjectContext* context = session.delegate().managedObjectContext();
    PersistentStore* store = context->coordinator()->firstStore();

    const quint64 before = store->queryCount();
    const ProductEntity* product = session.findProduct(QStringLiteral("product 7"));
    ASSERT_TRUE(product);
    EXPECT_EQ(product->title(), QStringLiteral("Product 7"));
    EXPECT_EQ(store->queryCount() - before, 1u) << "one query, the store choosing the candidates";
    const ProductEntity* byUuid = session.findProduct(product->uuid().toLower());
    EXPECT_EQ(byUuid, product);

    // None of the other products was loaded.
    auto reader = openStore();
    ObjectContext all(reader);
    const auto everything = all.execute(FetchRequest(QStringLiteral("Product")));
    ASSERT_TRUE(everything);
    for (ManagedObject* other : *everything) {
        if (other->objectID().key() != product->objectID().key()) {
            EXPECT_FALSE(context->registeredObject(context->objectIDForURI(other->objectID().uriString())))
                << other->value(QStringLiteral("title")).toString().toStdString();
        }
    }
    EXPECT_FALSE(session.findProduct(QStringLiteral("Product")));
}
