#include "PersistenceTestSupport.h"
#include "persistence/ReadTransaction.h"
#include "persistence/SqliteStore.h"

using namespace Persistence;

namespace {

QString text(const ManagedObject* object)
{
    return object ? object->value(QStringLiteral("text")).toString() : QStringLiteral("(none)");
}

// What a folder leads to, read through the ordinary accessors: its items' texts with their links,
// and its badge.
QStringList describe(const ManagedObject* folder)
{
    QStringList parts {folder->value(QStringLiteral("name")).toString()};
    for (const ManagedObject* item : folder->toMany(QStringLiteral("items"))) {
        parts.append(text(item) + QStringLiteral("->") + text(item->toOne(QStringLiteral("link"))));
    }
    const ManagedObject* badge = folder->toOne(QStringLiteral("badge"));
    parts.append(badge ? badge->value(QStringLiteral("label")).toString() : QStringLiteral("no badge"));
    return parts;
}

} // namespace

class PrefetchTest : public PersistenceTest
{
protected:
    // Folders "f0".. with i items each (every third a SpecialItem, each linked to the folder's
    // first item) and a badge on every other folder; folder 0 stays empty.
    void makeFolders(int count)
    {
        ObjectContext writer(coordinator);
        for (int i = 0; i < count; ++i) {
            ManagedObject* folder = writer.insertObject(QStringLiteral("Folder"));
            folder->setValue(QStringLiteral("name"), QStringLiteral("f%1").arg(i));
            ManagedObject* first = nullptr;
            for (int k = 0; k < i % 4; ++k) {
                ManagedObject* item
                    = writer.insertObject(k % 3 == 2 ? QStringLiteral("SpecialItem") : QStringLiteral("Item"));
                item->setValue(QStringLiteral("text"), QStringLiteral("f%1i%2").arg(i).arg(k));
                item->setValue(QStringLiteral("bytes"), QByteArray::number(i * 10 + k));
                item->setToOne(QStringLiteral("link"), first ? first : item);
                first = first ? first : item;
                folder->addToMany(QStringLiteral("items"), item);
            }
            if (i % 2 == 1) {
                ManagedObject* badge = writer.insertObject(QStringLiteral("Badge"));
                badge->setValue(QStringLiteral("label"), QStringLiteral("b%1").arg(i));
                folder->setToOne(QStringLiteral("badge"), badge);
            }
        }
        ASSERT_TRUE(writer.save());
    }

    ObjectList folders(ObjectContext& in, const QStringList& prefetch = {})
    {
        FetchRequest request(QStringLiteral("Folder"), Predicate(), {SortDescriptor(QStringLiteral("name"))});
        request.relationshipKeyPathsForPrefetching = prefetch;
        StoreError error;
        const auto result = in.execute(request, &error);
        EXPECT_TRUE(result) << error.toString().toStdString();
        return result.value_or(ObjectList());
    }

    quint64 queries() const { return coordinator->firstStore()->queryCount(); }

    std::shared_ptr<StoreCoordinator> coordinator = openCoordinator(QStringLiteral("store.data"));
};

TEST_F(PrefetchTest, LoadsToManyToOneAndDottedPathsWithAFixedNumberOfQueries)
{
    const QStringList paths {QStringLiteral("items.link"), QStringLiteral("badge")};
    QList<quint64> counts;
    for (const int size : {8, 40}) {
        makeFolders(size);
        ObjectContext lazy(coordinator);
        QList<QStringList> expected;
        for (const ManagedObject* folder : folders(lazy)) {
            expected.append(describe(folder));
        }

        ObjectContext context(coordinator);
        const quint64 before = queries();
        const ObjectList fetched = folders(context, paths);
        counts.append(queries() - before);
        QList<QStringList> described;
        for (const ManagedObject* folder : fetched) {
            described.append(describe(folder));
        }
        EXPECT_EQ(queries() - before, counts.last()) << "walking the prefetched graph reads nothing more";
        EXPECT_EQ(described, expected);

        // Binary values stay in the store until a key path asks for them.
        const ManagedObject* item = fetched.last()->toMany(QStringLiteral("items")).first();
        item->value(QStringLiteral("bytes"));
        EXPECT_EQ(queries() - before, counts.last() + 1);
        ASSERT_TRUE(context.prefetch(fetched, {QStringLiteral("items.bytes")}));
        const quint64 afterBytes = queries();
        for (const ManagedObject* folder : fetched) {
            for (const ManagedObject* member : folder->toMany(QStringLiteral("items"))) {
                EXPECT_FALSE(member->value(QStringLiteral("bytes")).toByteArray().isEmpty());
            }
        }
        EXPECT_EQ(queries(), afterBytes);
    }
    EXPECT_EQ(counts[0], counts[1]) << "the number of queries does not grow with the objects";
}

TEST_F(PrefetchTest, KeepsUnsavedChangesInsertedAndDeletedObjects)
{
    makeFolders(4); // f1: one item, f2: two, f3: three
    ObjectContext context(coordinator);
    ObjectList all = folders(context);
    ManagedObject* f1 = all[1];
    ManagedObject* f2 = all[2];
    ManagedObject* f3 = all[3];
    // f3's list is in memory and changed; an item of f2 moves to f1, another is renamed, one of f3
    // is deleted; a new item joins f1 and a new folder is not saved yet.
    const ObjectList f3Items = f3->toMany(QStringLiteral("items"));
    context.deleteObject(f3Items[0]);
    ObjectContext peek(coordinator);
    const ObjectList f2Stored = peek.existingObjectWithID(f2->objectID())->toMany(QStringLiteral("items"));
    ManagedObject* moved = context.objectWithID(f2Stored[0]->objectID());
    ManagedObject* renamed = context.objectWithID(f2Stored[1]->objectID());
    moved->setToOne(QStringLiteral("folder"), f1);
    renamed->setValue(QStringLiteral("text"), QStringLiteral("renamed"));
    ManagedObject* added = context.insertObject(QStringLiteral("Item"));
    added->setToOne(QStringLiteral("folder"), f1);
    ManagedObject* fresh = context.insertObject(QStringLiteral("Folder"));
    all.append(fresh);

    ASSERT_TRUE(context.prefetch(all, {QStringLiteral("items"), QStringLiteral("badge")}));
    const ObjectList f1Items = f1->toMany(QStringLiteral("items"));
    EXPECT_EQ(f1Items.size(), 3);
    EXPECT_TRUE(f1Items.contains(moved) && f1Items.contains(added));
    EXPECT_EQ(f2->toMany(QStringLiteral("items")), ObjectList {renamed});
    EXPECT_EQ(renamed->value(QStringLiteral("text")).toString(), QStringLiteral("renamed"));
    EXPECT_EQ(f3->toMany(QStringLiteral("items")), (ObjectList {f3Items[1], f3Items[2]}));
    EXPECT_TRUE(f3Items[0]->isDeleted());
    EXPECT_TRUE(fresh->isInserted());
    EXPECT_TRUE(fresh->toMany(QStringLiteral("items")).isEmpty());

    ASSERT_TRUE(context.save());
    ObjectContext after(coordinator);
    const ObjectList saved = folders(after, {QStringLiteral("items")});
    EXPECT_EQ(after.objectWithID(f1->objectID())->toMany(QStringLiteral("items")).size(), 3);
    EXPECT_EQ(after.objectWithID(f3->objectID())->toMany(QStringLiteral("items")).size(), 2);
}

TEST_F(PrefetchTest, SplitsLongKeyListsIntoChunks)
{
    const int count = SqliteStore::MaxKeysPerQuery * 2 + 100;
    {
        ObjectContext writer(coordinator);
        for (int i = 0; i < count; ++i) {
            ManagedObject* folder = writer.insertObject(QStringLiteral("Folder"));
            folder->setValue(QStringLiteral("name"), QString::number(i));
            ManagedObject* item = writer.insertObject(QStringLiteral("Item"));
            item->setValue(QStringLiteral("text"), QString::number(i));
            folder->addToMany(QStringLiteral("items"), item);
        }
        ASSERT_TRUE(writer.save());
    }
    ObjectContext context(coordinator);
    const ObjectList all = *context.execute(FetchRequest(QStringLiteral("Folder")));
    const quint64 before = queries();
    ASSERT_TRUE(context.prefetch(all, {QStringLiteral("items")}));
    EXPECT_EQ(queries() - before, 3u) << "three chunks";
    for (const ManagedObject* folder : all) {
        const ObjectList items = folder->toMany(QStringLiteral("items"));
        ASSERT_EQ(items.size(), 1);
        EXPECT_EQ(text(items.first()), folder->value(QStringLiteral("name")).toString());
    }
    EXPECT_EQ(queries() - before, 3u);
}

TEST_F(PrefetchTest, ObjectsOfSeveralStoresLoadFromTheirOwn)
{
    PersistentStore* side = coordinator->addStore(StoreType::XML, path(QStringLiteral("side.xml")));
    ASSERT_TRUE(side);
    {
        ObjectContext writer(coordinator);
        for (PersistentStore* store : coordinator->stores()) {
            ManagedObject* folder = writer.insertObject(QStringLiteral("Folder"));
            ManagedObject* item = writer.insertObject(QStringLiteral("Item"));
            ManagedObject* badge = writer.insertObject(QStringLiteral("Badge"));
            folder->setValue(QStringLiteral("name"), store->path());
            item->setValue(QStringLiteral("text"), store->path());
            badge->setValue(QStringLiteral("label"), store->path());
            for (ManagedObject* object : {folder, item, badge}) {
                writer.assignObjectToStore(object, store);
            }
            folder->addToMany(QStringLiteral("items"), item);
            folder->setToOne(QStringLiteral("badge"), badge);
        }
        ASSERT_TRUE(writer.save());
    }
    ObjectContext context(coordinator);
    const ObjectList all = folders(context, {QStringLiteral("items"), QStringLiteral("badge")});
    ASSERT_EQ(all.size(), 2);
    for (const ManagedObject* folder : all) {
        const QString name = folder->value(QStringLiteral("name")).toString();
        ASSERT_EQ(folder->toMany(QStringLiteral("items")).size(), 1);
        EXPECT_EQ(text(folder->toMany(QStringLiteral("items")).first()), name);
        EXPECT_EQ(folder->toOne(QStringLiteral("badge"))->value(QStringLiteral("label")).toString(), name);
    }
}

TEST_F(PrefetchTest, SavingInsideAReadTransactionWorksAndLaterReadsSeeIt)
{
    makeFolders(2);
    ObjectContext context(coordinator);
    ReadTransaction transaction(&context);
    ManagedObject* folder = folders(context).first();
    folder->setValue(QStringLiteral("name"), QStringLiteral("changed"));
    ASSERT_TRUE(context.save());
    ObjectContext other(coordinator);
    EXPECT_EQ(other.existingObjectWithID(folder->objectID())->value(QStringLiteral("name")).toString(),
              QStringLiteral("changed"));
}
