#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
#include "cli/CliSession.h"
#include "cli/Commands.h"
#include "cli/JsonTextWriter.h"
#include "cli/ProductJson.h"
#include "model/AttachedEmail.h"
#include "model/AttachmentEntity.h"
#include "model/IconEntity.h"
#include "model/ProductEntity.h"
#include "model/ZRAttachmentContent.h"
#include "model/ZRCoreDataFactory.h"
#include "persistence/Decimal.h"
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

namespace {

// The product form built as a document, value by value through QJsonValue: what the streamed
// text must read like, byte for byte, once the document writes it.
QJsonValue documentValue(const QVariant& value, AttributeType type)
{
    if (!value.isValid() || value.isNull()) {
        return QJsonValue::Null;
    }
    switch (type) {
    case AttributeType::Date:
        return value.toDateTime().toUTC().toString(Qt::ISODate);
    case AttributeType::Decimal:
        return value.value<Decimal>().toString();
    case AttributeType::Binary:
        return QString::fromLatin1(value.toByteArray().toBase64());
    default:
        return QJsonValue::fromVariant(value);
    }
}

QJsonObject documentObject(const ProductEntity* product)
{
    QJsonObject object;
    for (const AttributeDescription& attribute : product->entity()->attributes()) {
        if (attribute.name == u"comments") {
            const QString notes = product->commentsString();
            object.insert(QStringLiteral("commentsString"), notes.isNull() ? QJsonValue::Null : QJsonValue(notes));
        } else {
            object.insert(attribute.name, documentValue(product->primitiveValue(attribute.name), attribute.type));
        }
    }
    const QString icon = product->appIcon() ? product->appIcon()->filePath() : QString();
    object.insert(QStringLiteral("iconFile"), icon.isEmpty() ? QJsonValue::Null : QJsonValue(icon));
    QJsonArray attachments;
    for (const AttachmentEntity* file : ProductJson::attachmentsInOrder(product)) {
        attachments.append(QJsonObject {
            {QStringLiteral("name"), file->name()},
            {QStringLiteral("date"), documentValue(file->date(), AttributeType::Date)},
            {QStringLiteral("uuid"), file->content() ? QJsonValue(file->content()->uuid()) : QJsonValue::Null},
            // Only e-mail records count as e-mail, not files whose name merely ends in ".eml".
            {QStringLiteral("kind"),
             dynamic_cast<const AttachedEmail*>(file) ? QStringLiteral("email") : QStringLiteral("file")},
        });
    }
    object.insert(QStringLiteral("attachments"), attachments);
    return object;
}

} // namespace

TEST_F(ProductListScaleTest, ListJsonOverManyBatchesPrintsWhatADocumentOfEveryKindOfValueWould)
{
    {
        auto coordinator = openStore();
        ObjectContext context(coordinator);
        // More products than one batch holds, so that batches meet in the middle of the list.
        for (int i = 0; i < 2100; ++i) {
            auto* product = context.insert<ProductEntity>(QStringLiteral("Product"));
            product->setTitle(QStringLiteral("Bulk %1").arg(i % 700)); // equal titles across batches
            if (i % 500 == 0) {
                product->setAppIcon(context.insert<IconEntity>(QStringLiteral("Icon")));
            }
        }
        auto* odd = context.insert<ProductEntity>(QStringLiteral("Product"));
        odd->setTitle(QStringLiteral("Gr\u00fc\u00dfe \u65e5\u672c \U0001F600 \"quoted\" back\\slash"));
        odd->setSerialNumber(QString::fromUtf8("tab\t nl\n cr\r \x01\x1f\x7f end"));
        odd->setValue(QStringLiteral("purchasePrice"),
                      QVariant::fromValue(*Decimal::fromString(QStringLiteral("1234.50"))));
        odd->setPurchaseDate(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58, 765), Qt::UTC));
        odd->setCommentsString(QStringLiteral("line one\nline two \u00e9"));
        odd->setAppIcon(context.insert<IconEntity>(QStringLiteral("Icon")));
        auto* email = context.insert<AttachedEmail>(QStringLiteral("EmailReceipt"));
        email->setName(QStringLiteral("Receipt \u00e9.eml"));
        email->setDate(QDateTime(QDate(2009, 3, 25), QTime(14, 30), Qt::UTC));
        odd->addAttachedFile(email);
        auto* undated = context.insert<AttachmentEntity>(QStringLiteral("AttachedFile"));
        undated->setName(QStringLiteral("Zeta.pdf"));
        undated->setValue(QStringLiteral("date"), QVariant()); // no date, no content
        odd->addAttachedFile(undated);
        ASSERT_TRUE(context.save());
    }
    const CliResult listed = runCommandLine(m_commandLine, {QStringLiteral("list"), QStringLiteral("--json")});
    ASSERT_EQ(listed.status, 0) << listed.err.toStdString();

    QString outText;
    QString errText;
    QTextStream out(&outText);
    QTextStream err(&errText);
    CliStreams streams {out, err};
    CliSession session(streams, KeymoorAppDelegate::OpenMode::ReadOnly);
    ASSERT_TRUE(session.open());
    ReadTransaction reading(session.delegate().managedObjectContext());
    QJsonArray document;
    for (const ProductEntity* product : session.products()) {
        document.append(documentObject(product));
    }
    ASSERT_EQ(document.size(), ProductCount + 2 + 2101);
    const QString expected = QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented));
    ASSERT_EQ(listed.out.size(), expected.size());
    EXPECT_TRUE(listed.out == expected); // (the texts are too long to print)

    const QJsonArray printed = QJsonDocument::fromJson(listed.out.toUtf8()).array();
    const auto oddOne = std::find_if(printed.begin(), printed.end(), [](const QJsonValue& value) {
        return value[QStringLiteral("title")].toString().startsWith(QStringLiteral("Gr\u00fc"));
    });
    ASSERT_NE(oddOne, printed.end());
    EXPECT_EQ((*oddOne)[QStringLiteral("purchasePrice")].toString(), QStringLiteral("1234.50"));
    EXPECT_EQ((*oddOne)[QStringLiteral("purchaseDate")].toString(), QStringLiteral("1999-12-31T23:59:58Z"));
    const QJsonArray files = (*oddOne)[QStringLiteral("attachments")].toArray();
    ASSERT_EQ(files.size(), 2);
    EXPECT_EQ(files[0][QStringLiteral("kind")].toString(), QStringLiteral("email"));
    EXPECT_TRUE(files[1][QStringLiteral("uuid")].isNull());

    // show --json prints the same object as the list does.
    const CliResult shown = runCommandLine(
        m_commandLine,
        {QStringLiteral("show"), (*oddOne)[QStringLiteral("uuid")].toString(), QStringLiteral("--json")});
    EXPECT_EQ(shown.out, QString::fromUtf8(QJsonDocument(oddOne->toObject()).toJson(QJsonDocument::Indented)));
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
    writer.json(object);
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

TEST(JsonTextWriterTest, EscapesWhateverPositionTheSpecialCharactersTakeInALongText)
{
    // Plain text is copied four units at a time: every kind of special character at every
    // position of such a block, and at the end of a text, must still be escaped.
    const QStringList specials {QStringLiteral("\""),     QStringLiteral("\\"),  QStringLiteral("\n"),
                                QString(QChar(0x1f)),     QString(QChar(0x7f)),  QStringLiteral("\u00e9"),
                                QStringLiteral("\u65e5"), QString(QChar(0xD800))};
    QJsonArray array;
    for (const QString& special : specials) {
        for (int at = 0; at < 10; ++at) {
            QString text = QStringLiteral("abcdefghij");
            array.append(text.insert(at, special));
        }
        array.append(QStringLiteral("0123456789 ") + special);
    }
    array.append(QStringLiteral(" !#$%&'()*+,-./09:;<=>?@AZ[]^_`az{|}~"));
    JsonTextWriter writer;
    writer.json(array);
    EXPECT_EQ(QByteArray::fromStdString(writer.text()) + '\n', QJsonDocument(array).toJson(QJsonDocument::Indented));
    JsonTextWriter named;
    named.beginObject();
    named.encodedName(JsonTextWriter::quotedName(u"k\"ey"));
    named.null();
    named.end();
    EXPECT_EQ(QByteArray::fromStdString(named.text()) + '\n',
              QJsonDocument(QJsonObject {{QStringLiteral("k\"ey"), QJsonValue::Null}}).toJson(QJsonDocument::Indented));
}
