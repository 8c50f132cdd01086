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
