#include "PersistenceTestSupport.h"
#include "persistence/Decimal.h"

#include <QDateTime>
#include <QRandomGenerator>

using namespace Persistence;

// The SQLite store answers parts of predicates itself. Whatever it answers must select exactly
// the objects that evaluating the predicate on the objects selects, nulls and all.
TEST_F(PersistenceTest, PredicatesSelectTheSameObjectsInTheStoreAndInMemory)
{
    auto coordinator = openCoordinator(QStringLiteral("pushdown.data"));
    QRandomGenerator random(42);
    const QStringList words {QStringLiteral("alpha"),  QStringLiteral("Alpha"), QStringLiteral("beta"),
                             QStringLiteral("Éclair"), QStringLiteral(""),      QStringLiteral("a*b"),
                             QStringLiteral("zeta")};
    const QDateTime base(QDate(2020, 1, 1), QTime(0, 0), Qt::UTC);
    {
        ObjectContext context(coordinator);
        for (int i = 0; i < 300; ++i) {
            ManagedObject* item = context.insertObject(QStringLiteral("Item"));
            const auto maybe = [&](const QVariant& value) { return random.bounded(5) == 0 ? QVariant() : value; };
            item->setValue(QStringLiteral("text"), maybe(words[random.bounded(int(words.size()))]));
            item->setValue(QStringLiteral("medium"), maybe(int(random.bounded(7)) - 3));
            item->setValue(QStringLiteral("ratio"), maybe(random.bounded(4) / 2.0));
            item->setValue(QStringLiteral("flag"), maybe(random.bounded(2) == 1));
            item->setValue(QStringLiteral("when"), maybe(base.addDays(random.bounded(5))));
            item->setValue(QStringLiteral("price"), maybe(QStringLiteral("1.50")));
        }
        ASSERT_TRUE(context.save());
    }
    const QVariantList values {QStringLiteral("alpha"),
                               QStringLiteral("ALPHA"),
                               QStringLiteral("a*"),
                               QStringLiteral("?eta"),
                               QStringLiteral("eclair"),
                               QString(""),
                               0,
                               1,
                               -2,
                               0.5,
                               true,
                               QVariant(),
                               base.addDays(2),
                               QVariant::fromValue(*Decimal::fromString(QStringLiteral("1.5")))};
    const QStringList formats {
        "text == %@",
        "text ==[c] %@",
        "text != %@",
        "text LIKE %@",
        "text LIKE[c] %@",
        "text LIKE[cd] %@",
        "text BEGINSWITH[c] %@",
        "text CONTAINS %@",
        "text < %@",
        "text >= %@",
        "medium == %@",
        "medium != %@",
        "medium < %@",
        "medium >= %@",
        "ratio > %@",
        "ratio <= %@",
        "flag == %@",
        "flag != %@",
        "when == %@",
        "when < %@",
        "price == %@",
        "%@ == medium",
        "%@ > medium",
        "NOT (medium == %@)",
        "medium == %@ OR text == 'beta'",
        "(medium != %@ AND flag == YES) OR when == nil",
        "text == %@ AND text != nil",
    };
    ObjectContext stored(coordinator);
    ObjectContext memory(coordinator);
    const ObjectList everything = *memory.execute(FetchRequest(QStringLiteral("Item")));
    int checked = 0;
    for (const QString& format : formats) {
        for (const QVariant& value : values) {
            const auto predicate = Predicate::fromFormat(format, {value});
            ASSERT_TRUE(predicate) << format.toStdString();
            QStringList expected;
            for (const ManagedObject* object : everything) {
                if (predicate->evaluate(object)) {
                    expected.append(object->objectID().uriString());
                }
            }
            QStringList actual;
            const auto fetched = stored.execute(FetchRequest(QStringLiteral("Item"), *predicate));
            ASSERT_TRUE(fetched);
            for (const ManagedObject* object : *fetched) {
                actual.append(object->objectID().uriString());
            }
            expected.sort();
            actual.sort();
            EXPECT_EQ(actual, expected) << predicate->toString().toStdString();
            ++checked;
        }
    }
    EXPECT_EQ(checked, formats.size() * values.size());
}

namespace {

QVector<ObjectID> idsOf(const ObjectList& objects)
{
    QVector<ObjectID> ids;
    for (const ManagedObject* object : objects) {
        ids.append(object->objectID());
    }
    return ids;
}

} // namespace

// Putting objects in order from their sort keys alone must give the order a whole fetch gives,
// ties, nulls, sub-entities and all; and fall back to whole objects when only they know the answer.
TEST_F(PersistenceTest, IdentifiersInOrderFollowWhatAWholeFetchAnswers)
{
    auto coordinator = openCoordinator(QStringLiteral("order.data"));
    QRandomGenerator random(7);
    const QStringList words {QStringLiteral("beta"),   QStringLiteral("Alpha"),  QStringLiteral("alpha"),
                             QStringLiteral("Éclair"), QStringLiteral("eclair"), QStringLiteral("")};
    {
        ObjectContext context(coordinator);
        for (int i = 0; i < 200; ++i) {
            ManagedObject* item
                = context.insertObject(i % 5 == 0 ? QStringLiteral("SpecialItem") : QStringLiteral("Item"));
            const auto maybe = [&](const QVariant& value) { return random.bounded(6) == 0 ? QVariant() : value; };
            item->setValue(QStringLiteral("text"), maybe(words[random.bounded(int(words.size()))]));
            item->setValue(QStringLiteral("medium"), maybe(int(random.bounded(5))));
            item->setValue(QStringLiteral("price"), maybe(QStringLiteral("%1.5").arg(random.bounded(12))));
            item->setValue(QStringLiteral("when"),
                           maybe(QDateTime(QDate(2020, 1, 1 + int(random.bounded(3))), QTime(0, 0), Qt::UTC)));
        }
        ASSERT_TRUE(context.save());
    }
    using C = SortDescriptor::Comparison;
    const QList<QList<SortDescriptor>> orders {
        {SortDescriptor(QStringLiteral("text"), true, C::LocalizedCaseInsensitive),
         SortDescriptor(QStringLiteral("medium"), false)},
        {SortDescriptor(QStringLiteral("text"), false, C::CaseInsensitive), SortDescriptor(QStringLiteral("when"))},
        {SortDescriptor(QStringLiteral("price")), SortDescriptor(QStringLiteral("text"), true, C::Localized)},
        {SortDescriptor(QStringLiteral("when"), false)},
        {},
    };
    const Predicate some = *Predicate::fromFormat(QStringLiteral("medium > 1 OR text BEGINSWITH[c] 'a'"));
    PersistentStore* store = coordinator->firstStore();
    for (const auto& order : orders) {
        for (const Predicate& predicate : {Predicate(), some}) {
            FetchRequest request(QStringLiteral("Item"), predicate, order);
            request.fetchLimit = order.isEmpty() ? 0 : 150;
            ObjectContext whole(coordinator);
            ObjectContext keysOnly(coordinator);
            const quint64 before = store->queryCount();
            const auto ids = keysOnly.fetchObjectIDs(request);
            ASSERT_TRUE(ids);
            EXPECT_EQ(store->queryCount() - before, 1u) << "one query for the keys, no objects";
            EXPECT_EQ(*ids, idsOf(*whole.execute(request)));
        }
    }

    // Unsaved changes and keys the store does not hold are answered from the objects.
    ObjectContext context(coordinator);
    FetchRequest byText(QStringLiteral("Item"), Predicate(), {SortDescriptor(QStringLiteral("text"))});
    ManagedObject* last = context.existingObjectWithID(context.fetchObjectIDs(byText)->last());
    last->setValue(QStringLiteral("text"), QVariant()); // joins the nulls at the front
    const auto changed = context.fetchObjectIDs(byText);
    ASSERT_TRUE(changed);
    EXPECT_NE(changed->last(), last->objectID());
    EXPECT_LT(changed->indexOf(last->objectID()), 100);
    EXPECT_EQ(*changed, idsOf(*context.execute(byText)));
    FetchRequest byFolderName(QStringLiteral("Item"), Predicate(), {SortDescriptor(QStringLiteral("folder.name"))});
    ObjectContext fresh(coordinator);
    EXPECT_EQ(fresh.fetchObjectIDs(byFolderName)->size(), 200);
    EXPECT_FALSE(fresh.fetchObjectIDs(FetchRequest(QStringLiteral("Nothing"))));
}
