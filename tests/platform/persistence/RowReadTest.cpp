#include "PersistenceTestSupport.h"
#include "persistence/Decimal.h"

#include <QDateTime>

#include <algorithm>

using namespace Persistence;

namespace {

// What a row view says about one row, kept after the callback returns.
struct ReadRow
{
    ObjectID id;
    QString entity;
    QVariantList values;
    QList<QByteArray> raw;
};

} // namespace

class RowReadTest : public PersistenceTest
{
protected:
    // Two folders; "full" holds an item with every kind of value, a sub-entity item and an empty
    // item; "spare" holds one item, which links back to the full item.
    void SetUp() override
    {
        ObjectContext writer(coordinator);
        ManagedObject* full = writer.insertObject(QStringLiteral("Folder"));
        full->setValue(QStringLiteral("name"), QStringLiteral("full"));
        ManagedObject* spare = writer.insertObject(QStringLiteral("Folder"));
        spare->setValue(QStringLiteral("name"), QStringLiteral("spare \u00e9"));
        ManagedObject* item = writer.insertObject(QStringLiteral("Item"));
        item->setValue(QStringLiteral("text"), QStringLiteral("Gr\u00fc\u00dfe \U0001F600"));
        item->setValue(QStringLiteral("small"), -7);
        item->setValue(QStringLiteral("large"), qint64(1) << 40);
        item->setValue(QStringLiteral("price"), QVariant::fromValue(*Decimal::fromString(QStringLiteral("12.50"))));
        item->setValue(QStringLiteral("ratio"), 0.25);
        item->setValue(QStringLiteral("flag"), true);
        item->setValue(QStringLiteral("when"), QDateTime(QDate(2009, 3, 25), QTime(14, 30), Qt::UTC));
        item->setValue(QStringLiteral("bytes"), QByteArray("\0\1\2", 3));
        ManagedObject* special = writer.insertObject(QStringLiteral("SpecialItem"));
        special->setValue(QStringLiteral("text"), QStringLiteral("special"));
        special->setValue(QStringLiteral("note"), QStringLiteral("a note"));
        special->setValue(QStringLiteral("bytes"), QByteArray(""));
        ManagedObject* empty = writer.insertObject(QStringLiteral("Item"));
        for (ManagedObject* member : {item, special, empty}) {
            full->addToMany(QStringLiteral("items"), member);
        }
        ManagedObject* linked = writer.insertObject(QStringLiteral("Item"));
        linked->setValue(QStringLiteral("text"), QStringLiteral("linked"));
        linked->setToOne(QStringLiteral("link"), item);
        spare->addToMany(QStringLiteral("items"), linked);
        ASSERT_TRUE(writer.save());
        folderIDs = {full->objectID(), spare->objectID()};
        itemIDs = {item->objectID(), special->objectID(), empty->objectID(), linked->objectID()};
    }

    QList<ReadRow> read(const RowQuery& query, ObjectContext* in = nullptr, StoreError* error = nullptr)
    {
        ObjectContext own(coordinator);
        ObjectContext* context = in ? in : &own;
        QList<ReadRow> rows;
        const bool ok = context->readRows(
            query,
            [&rows](const RowView& row) {
                ReadRow& kept = rows.emplace_back();
                kept.id = row.id();
                kept.entity = row.entity()->name();
                for (int i = 0; i < row.columnCount(); ++i) {
                    kept.values.append(row.value(i));
                    kept.raw.append(row.isNull(i) ? QByteArray() : row.utf8(i).toByteArray());
                }
            },
            error);
        EXPECT_EQ(ok, error == nullptr || error->code == StoreError::Code::None);
        return rows;
    }

    std::shared_ptr<StoreCoordinator> coordinator = openCoordinator(QStringLiteral("rows.data"));
    QVector<ObjectID> folderIDs;
    QVector<ObjectID> itemIDs;
};

TEST_F(RowReadTest, ColumnsHoldWhatTheObjectsHoldWithoutMakingObjects)
{
    const QStringList columns {
        QStringLiteral("text"),  QStringLiteral("small"),  QStringLiteral("large"),       QStringLiteral("price"),
        QStringLiteral("ratio"), QStringLiteral("flag"),   QStringLiteral("when"),        QStringLiteral("bytes"),
        QStringLiteral("note"),  QStringLiteral("folder"), QStringLiteral("folder.name"), QStringLiteral("link.text"),
    };
    ObjectContext reader(coordinator);
    const QList<ReadRow> rows = read(RowQuery::forObjects(QStringLiteral("Item"), columns, itemIDs), &reader);
    ASSERT_EQ(rows.size(), 4);
    ObjectContext objects(coordinator);
    for (const ReadRow& row : rows) {
        EXPECT_FALSE(reader.registeredObject(row.id)) << "rows are read without objects";
        const ManagedObject* object = objects.existingObjectWithID(row.id);
        ASSERT_TRUE(object);
        EXPECT_EQ(row.entity, object->entity()->name());
        for (qsizetype i = 0; i < 9; ++i) {
            const QVariant expected = object->entity()->attribute(columns[i]) ? object->value(columns[i]) : QVariant();
            EXPECT_EQ(row.values[i], expected) << columns[i].toStdString() << " of " << row.entity.toStdString();
        }
        const ManagedObject* folder = object->toOne(QStringLiteral("folder"));
        EXPECT_EQ(row.values[9], QVariant(folder->objectID().key()));
        EXPECT_EQ(row.values[10], folder->value(QStringLiteral("name")));
        const ManagedObject* link = object->toOne(QStringLiteral("link"));
        EXPECT_EQ(row.values[11], link ? link->value(QStringLiteral("text")) : QVariant());
    }
    // The stored forms: decimals and text as UTF-8, dates in milliseconds, booleans as 1.
    const auto rowOf = [&rows](const ObjectID& id) {
        return *std::find_if(rows.begin(), rows.end(), [&id](const ReadRow& row) { return row.id == id; });
    };
    EXPECT_EQ(rowOf(itemIDs[0]).raw[0],
              QByteArray("Gr\xc3\xbc\xc3\x9f"
                         "e \xf0\x9f\x98\x80"));
    EXPECT_EQ(rowOf(itemIDs[0]).raw[3], QByteArray("12.50"));
    EXPECT_EQ(rowOf(itemIDs[1]).values[7], QVariant(QByteArray(""))) << "an empty value is no missing value";
    EXPECT_FALSE(rowOf(itemIDs[1]).values[7].toByteArray().isNull());
    EXPECT_FALSE(rowOf(itemIDs[2]).values[8].isValid()) << "a sub-entity's attribute in another entity's row";
    EXPECT_EQ(rowOf(itemIDs[1]).raw[8], QByteArray("a note"));
}

TEST_F(RowReadTest, SelectsAllRowsTheAskedObjectsOrTheRowsOfOwnersInKeyOrder)
{
    const QStringList text {QStringLiteral("text")};
    const auto keys = [](const QList<ReadRow>& rows) {
        QList<qint64> result;
        for (const ReadRow& row : rows) {
            result.append(row.id.key());
        }
        return result;
    };
    const auto sortedKeys = [](QList<ObjectID> ids) {
        QList<qint64> result;
        for (const ObjectID& id : ids) {
            result.append(id.key());
        }
        std::sort(result.begin(), result.end());
        return result;
    };
    EXPECT_EQ(keys(read(RowQuery::all(QStringLiteral("Item"), text))), sortedKeys(itemIDs));
    const QList<ReadRow> special = read(RowQuery::all(QStringLiteral("SpecialItem"), text));
    ASSERT_EQ(special.size(), 1);
    EXPECT_EQ(special[0].values[0], QVariant(QStringLiteral("special")));
    // Asked in another order, with a repeated and an unknown key: key order, each row once.
    const ObjectID missing = ObjectID::permanent(itemIDs[0].entity(), itemIDs[0].storeIdentifier(), 999);
    EXPECT_EQ(
        keys(read(RowQuery::forObjects(QStringLiteral("Item"), text, {itemIDs[3], missing, itemIDs[0], itemIDs[3]}))),
        sortedKeys({itemIDs[0], itemIDs[3]}));
    EXPECT_TRUE(read(RowQuery::forObjects(QStringLiteral("Item"), text, {})).isEmpty());
    // By owner: grouped by the owner's key, each group in key order.
    const QList<ReadRow> owned
        = read(RowQuery::forOwners(QStringLiteral("Item"), QStringLiteral("folder"),
                                   {QStringLiteral("folder"), QStringLiteral("text")}, {folderIDs[1], folderIDs[0]}));
    ASSERT_EQ(owned.size(), 4);
    const bool fullFirst = folderIDs[0].key() < folderIDs[1].key();
    const QList<ReadRow> fullItems = fullFirst ? owned.mid(0, 3) : owned.mid(1, 3);
    const ReadRow& spareItem = fullFirst ? owned[3] : owned[0];
    EXPECT_EQ(keys(fullItems), sortedKeys({itemIDs[0], itemIDs[1], itemIDs[2]}));
    for (const ReadRow& row : fullItems) {
        EXPECT_EQ(row.values[0], QVariant(folderIDs[0].key()));
    }
    EXPECT_EQ(spareItem.values, (QVariantList {folderIDs[1].key(), QStringLiteral("linked")}));
}

TEST_F(RowReadTest, SeesOnlySavedRowsAndRefusesWhatItCannotRead)
{
    ObjectContext context(coordinator);
    ManagedObject* unsaved = context.insertObject(QStringLiteral("Folder"));
    unsaved->setValue(QStringLiteral("name"), QStringLiteral("unsaved"));
    EXPECT_EQ(read(RowQuery::all(QStringLiteral("Folder"), {QStringLiteral("name")}), &context).size(), 2);

    for (const RowQuery& wrong : {
             RowQuery::all(QStringLiteral("Nothing"), {}),
             RowQuery::all(QStringLiteral("Folder"), {QStringLiteral("items")}), // to-many
             RowQuery::all(QStringLiteral("Folder"), {QStringLiteral("colour")}),
             RowQuery::all(QStringLiteral("Item"), {QStringLiteral("folder.colour")}),
             RowQuery::all(QStringLiteral("Item"), {QStringLiteral("text.name")}),
             RowQuery::forOwners(QStringLiteral("Item"), QStringLiteral("text"), {}, folderIDs),
         }) {
        StoreError error;
        EXPECT_TRUE(read(wrong, nullptr, &error).isEmpty());
        EXPECT_EQ(error.code, StoreError::Code::InvalidArgument) << wrong.columns.join(u',').toStdString();
    }

    auto xml = openCoordinator(QStringLiteral("rows.xml"), StoreType::XML);
    ObjectContext xmlContext(xml);
    EXPECT_FALSE(xmlContext.canReadRows());
    EXPECT_TRUE(context.canReadRows());
    StoreError error;
    EXPECT_FALSE(xmlContext.readRows(
        RowQuery::all(QStringLiteral("Folder"), {}), [](const RowView&) {}, &error));
    EXPECT_FALSE(error.description.isEmpty());
}
