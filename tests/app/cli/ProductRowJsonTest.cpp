#include "cli/ProductRowJson.h"

#include "../../support/CliRunner.h"
#include "../../support/TemporaryUserFolders.h"
#include "base/LibraryPaths.h"
#include "base/Log.h"
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

#include <QTextStream>

#include <gtest/gtest.h>

using namespace Persistence;

namespace {

// A library whose products hold the values that are easy to get wrong when they are written from
// stored rows: notes of older versions, text that is not plain UTF-8, dates far from today,
// licence fields, icons with odd names and attached files that need ordering.
class ProductRowJsonTest : public ::testing::Test
{
protected:
    ProductRowJsonTest()
    {
        Log::setEchoToStandardError(false);
        registerCommands(m_commandLine);
        const CliResult created = runCommandLine(
            m_commandLine, {QStringLiteral("add"), QStringLiteral("--title"), QStringLiteral("First")});
        EXPECT_EQ(created.status, 0) << created.err.toStdString();
        m_coordinator = ZRCoreDataFactory::newPersistentStoreCoordinatorForURL(
            LibraryPaths::persistentStoreURL(), StoreType::SQLite,
            ZRCoreDataFactory::newManagedObjectModelForURL(ZRCoreDataFactory::currentModelPath()));
    }

    ProductEntity* addProduct(ObjectContext& context, const QString& title)
    {
        auto* product = context.insert<ProductEntity>(QStringLiteral("Product"));
        product->setTitle(title);
        return product;
    }

    static void addFile(ObjectContext& context, ProductEntity* product, const QString& entity, const QString& name,
                        const QDateTime& date, bool withContent = true)
    {
        auto* file = dynamic_cast<AttachmentEntity*>(context.insertObject(entity));
        file->setName(name);
        file->setValue(QStringLiteral("date"), date.isValid() ? QVariant(date) : QVariant());
        if (withContent) {
            file->setContent(context.insert<ZRAttachmentContent>(QStringLiteral("AttachmentContent")));
        }
        product->addAttachedFile(file);
    }

    static void addIcon(ObjectContext& context, ProductEntity* product, const QString& uuid)
    {
        auto* icon = context.insert<IconEntity>(QStringLiteral("Icon"));
        icon->setValue(QStringLiteral("uuid"), uuid);
        product->setAppIcon(icon);
    }

    // The text written from rows and the text written from objects, for all products by title.
    std::pair<QString, QString> bothTexts()
    {
        ObjectContext context(m_coordinator);
        ReadTransaction reading(&context);
        FetchRequest request(
            QStringLiteral("Product"), Predicate(),
            {SortDescriptor(QStringLiteral("title"), true, SortDescriptor::Comparison::CaseInsensitive)});
        const auto order = context.fetchObjectIDs(request);
        EXPECT_TRUE(order);
        EXPECT_TRUE(ProductRowJson::canWrite(&context));
        QString fromRows;
        QTextStream rowsOut(&fromRows);
        StoreError error;
        EXPECT_TRUE(ProductRowJson::writeList(&context, order.value_or(QVector<ObjectID>()), rowsOut, &error))
            << error.toString().toStdString();
        rowsOut.flush();

        ObjectContext objects(m_coordinator);
        request.relationshipKeyPathsForPrefetching = ProductJson::PrefetchKeyPaths;
        QList<ProductEntity*> products;
        for (ManagedObject* object : objects.execute(request).value_or(ObjectList())) {
            products.append(dynamic_cast<ProductEntity*>(object));
        }
        QString fromObjects;
        QTextStream objectsOut(&fromObjects);
        ProductJson::writeArray(products, objectsOut);
        objectsOut.flush();
        return {fromRows, fromObjects};
    }

    TemporaryUserFolders m_folders;
    CommandLine m_commandLine;
    std::shared_ptr<StoreCoordinator> m_coordinator;
};

} // namespace

TEST_F(ProductRowJsonTest, WritesTheSameTextAsTheObjectsForEveryKindOfStoredValue)
{
    {
        ObjectContext context(m_coordinator);
        // Notes: rich text and single-byte text of older versions, a byte order mark, nothing.
        addProduct(context, QStringLiteral("Rich notes"))->setComments(QByteArray("{\\rtf1\\ansi old {\\b notes}}"));
        addProduct(context, QStringLiteral("Latin notes"))->setComments(QByteArray("caf\xe9 cr\xe8me"));
        addProduct(context, QStringLiteral("Marked notes"))->setComments(QByteArray("\xef\xbb\xbfmarked"));
        addProduct(context, QStringLiteral("Empty notes"))->setComments(QByteArray(""));
        addProduct(context, QStringLiteral("Long notes"))
            ->setCommentsString(QStringLiteral("twelve bytes\t\"quoted\" \u00e9\u65e5 \U0001F600\n").repeated(20));
        // Text that does not copy as it is, in the middle of eight-byte blocks.
        ProductEntity* odd = addProduct(context, QStringLiteral("Odd text \uFFFE and \uFEFF inside"));
        odd->setSerialNumber(QString::fromUtf8("ab\x01\x1f\x7f\\\"cdefgh") + QChar(0xFDD0));
        odd->setPublisher(QStringLiteral("Gr\u00fc\u00dfe \U0001F600 \U0010FFFD"));
        // Dates outside the usual years, licence fields, numbers and decimals.
        ProductEntity* dated = addProduct(context, QStringLiteral("Dated"));
        dated->setPurchaseDate(QDateTime(QDate(512, 2, 29), QTime(1, 2, 3), Qt::UTC));
        dated->setExpiryDate(QDate(2027, 1, 15));
        dated->setValue(QStringLiteral("renewalDate"), QDateTime(QDate(903, 6, 1), QTime(23, 0), Qt::UTC));
        dated->setRenewalPrice(Decimal::fromString(QStringLiteral("19.90")));
        dated->setValue(QStringLiteral("purchasePrice"),
                        QVariant::fromValue(*Decimal::fromString(QStringLiteral("-0.125"))));
        dated->setSeats(12);
        dated->setArchived(true);
        dated->setLicenseType(QStringLiteral("subscription"));
        ProductEntity* future = addProduct(context, QStringLiteral("Future"));
        future->setPurchaseDate(QDateTime(QDate(12000, 1, 1), QTime(0, 0), Qt::UTC));
        future->setValue(QStringLiteral("expiryDate"), QDateTime(QDate(1969, 12, 31), QTime(23, 59, 59), Qt::UTC));
        // Icons: the usual, one named unsafely, one without a name.
        addIcon(context, addProduct(context, QStringLiteral("Icon")), QStringLiteral("ABCD-1234"));
        addIcon(context, addProduct(context, QStringLiteral("Icon unsafe")), QStringLiteral("../escape"));
        addIcon(context, addProduct(context, QStringLiteral("Icon unnamed")), QString());
        // Attached files: ordered by name as people sort, then by date; e-mail by record and name.
        ProductEntity* filed = addProduct(context, QStringLiteral("Filed"));
        const QDateTime early(QDate(2001, 1, 1), QTime(9, 0), Qt::UTC);
        const QDateTime late(QDate(2020, 1, 1), QTime(9, 0), Qt::UTC);
        addFile(context, filed, QStringLiteral("AttachedFile"), QStringLiteral("b.pdf"), late);
        addFile(context, filed, QStringLiteral("AttachedFile"), QStringLiteral("B.pdf"), early, false);
        addFile(context, filed, QStringLiteral("AttachedFile"), QStringLiteral("a.pdf"), QDateTime());
        addFile(context, filed, QStringLiteral("AttachedFile"), QStringLiteral("b.pdf"), early);
        addFile(context, filed, QStringLiteral("AttachedFile"), QStringLiteral("plain.eml"), late);
        addFile(context, filed, QStringLiteral("EmailReceipt"), QStringLiteral("\u00e9t\u00e9.eml"), late);
        addFile(context, filed, QStringLiteral("EmailReceipt"), QStringLiteral("letter.txt"), late);
        ASSERT_TRUE(context.save());
    }
    const auto [fromRows, fromObjects] = bothTexts();
    EXPECT_EQ(fromRows.toStdString(), fromObjects.toStdString());
    EXPECT_TRUE(fromRows.contains(QStringLiteral("\"commentsString\": \"caf\u00e9 cr\u00e8me\"")));
    EXPECT_TRUE(fromRows.contains(QStringLiteral("\"expiryDate\": \"2027-01-15\"")));
    EXPECT_TRUE(fromRows.contains(QStringLiteral("\"kind\": \"email\"")));
}

TEST_F(ProductRowJsonTest, AListSplitIntoBatchesKeepsTheOrderAndAnEmptyListIsAnEmptyArray)
{
    {
        ObjectContext context(m_coordinator);
        for (int i = 0; i < 4100; ++i) {
            ProductEntity* product = addProduct(context, QStringLiteral("Bulk %1").arg((i * 7919) % 4100));
            if (i % 1000 == 0) {
                addFile(context, product, QStringLiteral("AttachedFile"), QStringLiteral("f.pdf"), QDateTime());
            }
        }
        ASSERT_TRUE(context.save());
    }
    const auto [fromRows, fromObjects] = bothTexts();
    EXPECT_EQ(fromRows.size(), fromObjects.size());
    EXPECT_TRUE(fromRows == fromObjects);

    ObjectContext context(m_coordinator);
    QString empty;
    QTextStream out(&empty);
    EXPECT_TRUE(ProductRowJson::writeList(&context, {}, out, nullptr));
    out.flush();
    EXPECT_EQ(empty, QStringLiteral("[\n]\n"));
}

TEST_F(ProductRowJsonTest, ThePlainListPrintsTheLinesOfTheProductsInTheirOrder)
{
    {
        ObjectContext context(m_coordinator);
        ProductEntity* full = addProduct(context, QStringLiteral("Editor \u00e9"));
        full->setProductVersion(QStringLiteral("2.1"));
        full->setSerialNumber(QStringLiteral("FIRST-LINE\nsecond line"));
        addProduct(context, QStringLiteral("bare"))->setSerialNumber(QString());
        addProduct(context, QString());
        ASSERT_TRUE(context.save());
    }
    const CliResult listed = runCommandLine(m_commandLine, {QStringLiteral("list")});
    ASSERT_EQ(listed.status, 0) << listed.err.toStdString();
    ObjectContext context(m_coordinator);
    FetchRequest request(QStringLiteral("Product"));
    QStringList expected;
    for (ManagedObject* object : context.execute(request).value_or(ObjectList())) {
        const auto* product = dynamic_cast<const ProductEntity*>(object);
        QString line = product->title();
        if (!product->productVersion().isEmpty()) {
            line += u' ' + product->productVersion();
        }
        if (!product->serialNumber().isEmpty()) {
            line += QStringLiteral("  [") + product->serialNumber().section(u'\n', 0, 0) + u']';
        }
        expected.append(line + QStringLiteral("  ") + product->uuid());
    }
    QStringList printed = listed.out.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(printed.size(), expected.size());
    // The order is the catalogue's sort order; the lines are those of the products.
    std::sort(printed.begin(), printed.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(printed, expected);
    EXPECT_TRUE(listed.out.contains(QStringLiteral("Editor \u00e9 2.1  [FIRST-LINE]  ")));
    EXPECT_TRUE(listed.out.startsWith(QStringLiteral("  "))) << "the untitled product sorts first";
}

TEST(JsonTextWriterTest, CopiesPlainUtf8AndReadsAnythingElseAsQStringDoes)
{
    const QList<QByteArray> texts {
        QByteArray("plain ascii text, longer than one block"),
        QByteArray("ctl \x01\x1f\x7f \"q\" \\ /\n\r\t\b\f"),
        QByteArray("Gr\xc3\xbc\xc3\x9f"
                   "e \xe6\x97\xa5 \xf0\x9f\x98\x80 \xf4\x8f\xbf\xbd"),
        QByteArray("bad \xe9 byte"),
        QByteArray("overlong \xc0\xaf and \xe0\x80\xaf"),
        QByteArray("surrogate \xed\xa0\x80 half"),
        QByteArray("cut \xe6\x97"),
        QByteArray("\xef\xbb\xbf"
                   "marked"),
        QByteArray("non \xef\xbf\xbe char \xef\xb7\x90"),
        QByteArray("nul \0 inside", 12),
        QByteArray(),
    };
    for (const QByteArray& text : texts) {
        JsonTextWriter fromBytes;
        fromBytes.utf8String(std::string_view(text.constData(), size_t(text.size())));
        JsonTextWriter fromString;
        fromString.string(QString::fromUtf8(text));
        EXPECT_EQ(fromBytes.text(), fromString.text()) << text.toHex().toStdString();
    }
    EXPECT_TRUE(JsonTextWriter::isPlainUtf8(texts[2].toStdString()));
    for (qsizetype i = 3; i < 9; ++i) {
        EXPECT_FALSE(JsonTextWriter::isPlainUtf8(texts[i].toStdString())) << i;
    }

    // A value written for a place inside open containers is indented as it would be there.
    JsonTextWriter whole;
    whole.beginArray();
    whole.item();
    whole.beginObject();
    whole.name(u"a");
    whole.number(1);
    whole.end();
    whole.end();
    JsonTextWriter part(1);
    part.beginObject();
    part.name(u"a");
    part.number(1);
    part.end();
    JsonTextWriter joined;
    joined.beginArray();
    joined.item();
    joined.appendText(part.text());
    joined.end();
    EXPECT_EQ(joined.text(), whole.text());
}
