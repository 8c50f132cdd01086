#include "PersistenceTestSupport.h"
#include "persistence/UndoManager.h"

#include <QThread>

using namespace Persistence;

class CoordinatorTest : public PersistenceTest
{
};

TEST_F(CoordinatorTest, ObjectsGoToTheirAssignedStoreAndFetchesSpanAllStores)
{
    auto coordinator = openCoordinator(QStringLiteral("main.data"));
    PersistentStore* main = coordinator->firstStore();
    PersistentStore* side = coordinator->addStore(StoreType::XML, path(QStringLiteral("side.xml")));
    ASSERT_TRUE(side);
    ObjectContext context(coordinator);
    ManagedObject* here = context.insertObject(QStringLiteral("Item"));
    ManagedObject* there = context.insertObject(QStringLiteral("Item"));
    here->setValue(QStringLiteral("text"), QStringLiteral("here"));
    there->setValue(QStringLiteral("text"), QStringLiteral("there"));
    ASSERT_TRUE(context.assignObjectToStore(there, side));
    ASSERT_TRUE(context.save());
    EXPECT_EQ(here->objectID().storeIdentifier(), main->identifier());
    EXPECT_EQ(there->objectID().storeIdentifier(), side->identifier());
    ObjectContext fresh(coordinator);
    FetchRequest request(QStringLiteral("Item"), Predicate(), {SortDescriptor(QStringLiteral("text"))});
    const ObjectList both = *fresh.execute(request);
    ASSERT_EQ(both.size(), 2);
    EXPECT_EQ(both[0]->value(QStringLiteral("text")).toString(), QStringLiteral("here"));
    EXPECT_EQ(both[1]->value(QStringLiteral("text")).toString(), QStringLiteral("there"));

    // A relationship may not cross stores: the save fails and nothing is written.
    ManagedObject* folder = context.insertObject(QStringLiteral("Folder"));
    folder->addToMany(QStringLiteral("items"), there);
    const QByteArray sideBefore = fileBytes(path(QStringLiteral("side.xml")));
    StoreError error;
    EXPECT_FALSE(context.save(&error));
    EXPECT_EQ(error.code, StoreError::Code::ValidationFailed) << error.toString().toStdString();
    EXPECT_EQ(fileBytes(path(QStringLiteral("side.xml"))), sideBefore);
}

TEST_F(CoordinatorTest, TheSameStoreCannotBeAddedTwice)
{
    auto coordinator = openCoordinator(QStringLiteral("main.data"));
    StoreError error;
    EXPECT_FALSE(coordinator->addStore(StoreType::SQLite, path(QStringLiteral("main.data")), &error));
    ASSERT_TRUE(QFile::copy(path(QStringLiteral("main.data")), path(QStringLiteral("copy.data"))));
    EXPECT_FALSE(coordinator->addStore(StoreType::SQLite, path(QStringLiteral("copy.data")), &error))
        << "a copy has the same identifier, so its object identifiers would be ambiguous";
    EXPECT_EQ(coordinator->stores().size(), 1u);
}

TEST_F(CoordinatorTest, ReadOnlyStoresRefuseToSaveAndStayUnchanged)
{
    {
        auto coordinator = openCoordinator(QStringLiteral("main.data"));
        ObjectContext context(coordinator);
        context.insertObject(QStringLiteral("Item"));
        ASSERT_TRUE(context.save());
    }
    const QByteArray before = fileBytes(path(QStringLiteral("main.data")));
    auto coordinator = std::make_shared<StoreCoordinator>(m_model);
    PersistentStore::Options options;
    options.readOnly = true;
    ASSERT_TRUE(coordinator->addStore(StoreType::SQLite, path(QStringLiteral("main.data")), nullptr, options));
    EXPECT_FALSE(coordinator->addStore(StoreType::SQLite, path(QStringLiteral("absent.data")), nullptr, options));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("absent.data"))));
    ObjectContext context(coordinator);
    ObjectList items = *context.execute(FetchRequest(QStringLiteral("Item")));
    ASSERT_EQ(items.size(), 1);
    items.first()->setValue(QStringLiteral("text"), QStringLiteral("changed"));
    StoreError error;
    EXPECT_FALSE(context.save(&error));
    EXPECT_FALSE(error.description.isEmpty());
    EXPECT_EQ(fileBytes(path(QStringLiteral("main.data"))), before);
}

TEST_F(CoordinatorTest, IdentifiersOfDeletedObjectsAreNeverReused)
{
    for (const auto& [file, type] : {std::pair {QStringLiteral("keys.data"), StoreType::SQLite},
                                     std::pair {QStringLiteral("keys.xml"), StoreType::XML}}) {
        QString lastURI;
        {
            auto coordinator = openCoordinator(file, type);
            ObjectContext context(coordinator);
            ManagedObject* item = context.insertObject(QStringLiteral("Item"));
            ASSERT_TRUE(context.save());
            lastURI = item->objectID().uriString();
            context.deleteObject(item);
            ASSERT_TRUE(context.save());
        }
        auto coordinator = openCoordinator(file, type);
        ObjectContext context(coordinator);
        EXPECT_FALSE(context.existingObjectWithID(context.objectIDForURI(lastURI)));
        ManagedObject* next = context.insertObject(QStringLiteral("Item"));
        ASSERT_TRUE(context.save());
        EXPECT_NE(next->objectID().uriString(), lastURI) << storeTypeName(type).toStdString();
    }
}

TEST_F(CoordinatorTest, ContextLockIsRecursiveAndExcludesOtherThreads)
{
    auto coordinator = openCoordinator(QStringLiteral("main.data"));
    ObjectContext context(coordinator);
    context.lock();
    {
        ContextLocker again(&context); // the same thread may lock again
        bool otherThreadGotIt = true;
        QThread* other = QThread::create([&] {
            otherThreadGotIt = context.tryLock();
            if (otherThreadGotIt) {
                context.unlock();
            }
        });
        other->start();
        other->wait();
        delete other;
        EXPECT_FALSE(otherThreadGotIt);
    }
    context.unlock();
    bool gotItLater = false;
    QThread* later = QThread::create([&] {
        gotItLater = context.tryLock();
        if (gotItLater) {
            context.unlock();
        }
    });
    later->start();
    later->wait();
    delete later;
    EXPECT_TRUE(gotItLater);
}

TEST_F(CoordinatorTest, UndoCoversInsertionsRelationshipsAndSavedDeletions)
{
    auto coordinator = openCoordinator(QStringLiteral("main.data"));
    ObjectContext context(coordinator);
    context.setUndoEnabled(true);
    UndoManager* undo = context.undoManager();

    ManagedObject* folder = context.insertObject(QStringLiteral("Folder"));
    ManagedObject* item = context.insertObject(QStringLiteral("Item"));
    undo->beginGroup();
    folder->addToMany(QStringLiteral("items"), item);
    item->setValue(QStringLiteral("text"), QStringLiteral("grouped"));
    undo->endGroup();
    context.undo(); // both changes of the group at once
    EXPECT_EQ(item->toOne(QStringLiteral("folder")), nullptr);
    EXPECT_TRUE(folder->toMany(QStringLiteral("items")).isEmpty());
    EXPECT_EQ(item->value(QStringLiteral("text")).toString(), QStringLiteral("untitled"));
    context.redo();
    EXPECT_EQ(folder->toMany(QStringLiteral("items")), ObjectList {item});
    EXPECT_EQ(item->value(QStringLiteral("text")).toString(), QStringLiteral("grouped"));

    context.undo();
    context.undo(); // the insertion of the item
    EXPECT_FALSE(item->isValid());
    EXPECT_EQ(context.insertedObjects(), ObjectList {folder});
    context.redo();
    EXPECT_TRUE(item->isInserted());
    context.redo(); // and the group again
    EXPECT_EQ(item->toOne(QStringLiteral("folder")), folder);
    ASSERT_TRUE(context.save());

    // A deletion undone after it was saved brings the object back as a new one, with its values.
    item->setValue(QStringLiteral("bytes"), QByteArray("kept"));
    ASSERT_TRUE(context.save());
    context.deleteObject(item);
    ASSERT_TRUE(context.save());
    context.undo();
    ASSERT_TRUE(item->isValid());
    EXPECT_TRUE(item->isInserted());
    ASSERT_TRUE(context.save());
    ObjectContext fresh(coordinator);
    const ObjectList items = *fresh.execute(FetchRequest(QStringLiteral("Item")));
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.first()->value(QStringLiteral("bytes")).toByteArray(), QByteArray("kept"));
    EXPECT_EQ(items.first()->value(QStringLiteral("text")).toString(), QStringLiteral("grouped"));
    ASSERT_TRUE(items.first()->toOne(QStringLiteral("folder")));
    EXPECT_EQ(items.first()->toOne(QStringLiteral("folder"))->objectID(), folder->objectID());
}

TEST_F(CoordinatorTest, RefreshWithoutMergeRestoresBothSidesOfAnUnsavedMove)
{
    auto coordinator = openCoordinator(QStringLiteral("main.data"));
    ObjectContext context(coordinator);
    ManagedObject* first = context.insertObject(QStringLiteral("Folder"));
    ManagedObject* second = context.insertObject(QStringLiteral("Folder"));
    ManagedObject* item = context.insertObject(QStringLiteral("Item"));
    first->addToMany(QStringLiteral("items"), item);
    ASSERT_TRUE(context.save());
    ASSERT_EQ(first->toMany(QStringLiteral("items")).size(), 1);
    ASSERT_EQ(second->toMany(QStringLiteral("items")).size(), 0);

    item->setToOne(QStringLiteral("folder"), second);
    context.refreshObject(item, false);
    EXPECT_EQ(item->toOne(QStringLiteral("folder")), first);
    EXPECT_EQ(first->toMany(QStringLiteral("items")), ObjectList {item});
    EXPECT_TRUE(second->toMany(QStringLiteral("items")).isEmpty());
}
