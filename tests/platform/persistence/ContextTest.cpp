#include "PersistenceTestSupport.h"
#include "persistence/Decimal.h"
#include "persistence/EntityDescription.h"
#include "persistence/UndoManager.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QThread>

using namespace Persistence;

namespace {

std::optional<ObjectList> fetch(ObjectContext& context, const QString& entity, const QString& format = {},
                                const QVariantList& arguments = {})
{
    FetchRequest request(entity);
    if (!format.isEmpty()) {
        const auto predicate = Predicate::fromFormat(format, arguments);
        EXPECT_TRUE(predicate.has_value()) << format.toStdString();
        request.predicate = predicate.value_or(Predicate());
    }
    return context.execute(request);
}

QStringList texts(const ObjectList& objects, const QString& key = QStringLiteral("text"))
{
    QStringList result;
    for (const ManagedObject* object : objects) {
        result.append(object->value(key).toString());
    }
    return result;
}

} // namespace

class ContextTest : public PersistenceTest
{
protected:
    std::shared_ptr<StoreCoordinator> coordinator = openCoordinator(QStringLiteral("store.data"));
    ObjectContext context {coordinator};
};

TEST_F(ContextTest, IdentifiersAreTemporaryUntilSavedThenResolveInAnotherContext)
{
    ManagedObject* item = context.insertObject(QStringLiteral("Item"));
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->objectID().isTemporary());
    item->setValue(QStringLiteral("text"), QStringLiteral("licence"));
    ASSERT_TRUE(context.save());
    const ObjectID id = item->objectID();
    EXPECT_FALSE(id.isTemporary());
    const QString uri = id.uriString();
    EXPECT_TRUE(uri.startsWith(QStringLiteral("x-keymoor://") + coordinator->firstStore()->identifier()
                               + QStringLiteral("/Item/p")))
        << uri.toStdString();

    ObjectContext other(coordinator);
    ManagedObject* same = other.existingObjectWithID(other.objectIDForURI(uri));
    ASSERT_TRUE(same);
    EXPECT_NE(same, item);
    EXPECT_EQ(same->value(QStringLiteral("text")).toString(), QStringLiteral("licence"));
    EXPECT_EQ(other.objectWithID(id), same) << "one object per identifier in a context";
    EXPECT_TRUE(other.objectIDForURI(QStringLiteral("x-keymoor://OTHER-STORE/Item/p1")).isNull());
}

TEST_F(ContextTest, ModelDefaultsApplyAtInsertion)
{
    ManagedObject* item = context.insertObject(QStringLiteral("Item"));
    EXPECT_EQ(item->value(QStringLiteral("text")).toString(), QStringLiteral("untitled"));
    EXPECT_EQ(item->value(QStringLiteral("flag")), QVariant(false));
    EXPECT_FALSE(item->value(QStringLiteral("large")).isValid());
    EXPECT_EQ(context.insertObject(QStringLiteral("NoSuchEntity")), nullptr);
}

TEST_F(ContextTest, RejectsValuesOfTheWrongTypeAndKeepsTheOldOne)
{
    ManagedObject* item = context.insertObject(QStringLiteral("Item"));
    EXPECT_TRUE(item->setValue(QStringLiteral("small"), 12));
    EXPECT_FALSE(item->setValue(QStringLiteral("small"), 70000)) << "does not fit 16 bits";
    EXPECT_FALSE(item->setValue(QStringLiteral("small"), QStringLiteral("12")));
    EXPECT_FALSE(item->setValue(QStringLiteral("when"), QStringLiteral("yesterday")));
    EXPECT_FALSE(item->setValue(QStringLiteral("nonsense"), 1));
    EXPECT_EQ(item->value(QStringLiteral("small")).toLongLong(), 12);
}

TEST_F(ContextTest, InversesAreKeptOnBothSides)
{
    ManagedObject* folderA = context.insertObject(QStringLiteral("Folder"));
    ManagedObject* folderB = context.insertObject(QStringLiteral("Folder"));
    ManagedObject* item = context.insertObject(QStringLiteral("Item"));
    ASSERT_TRUE(folderA->addToMany(QStringLiteral("items"), item));
    EXPECT_EQ(item->toOne(QStringLiteral("folder")), folderA);

    ASSERT_TRUE(item->setToOne(QStringLiteral("folder"), folderB)); // moving from the other side
    EXPECT_TRUE(folderA->toMany(QStringLiteral("items")).isEmpty());
    EXPECT_EQ(folderB->toMany(QStringLiteral("items")), ObjectList {item});

    // One to one: a badge given to another folder leaves the first.
    ManagedObject* badge = context.insertObject(QStringLiteral("Badge"));
    folderA->setToOne(QStringLiteral("badge"), badge);
    folderB->setToOne(QStringLiteral("badge"), badge);
    EXPECT_EQ(folderA->toOne(QStringLiteral("badge")), nullptr);
    EXPECT_EQ(badge->toOne(QStringLiteral("folder")), folderB);
    ASSERT_TRUE(context.save());

    // And so it is after reloading in a fresh context.
    ObjectContext fresh(coordinator);
    ManagedObject* reloadedB = fresh.existingObjectWithID(folderB->objectID());
    ASSERT_TRUE(reloadedB);
    const ObjectList items = reloadedB->toMany(QStringLiteral("items"));
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.first()->objectID(), item->objectID());
    EXPECT_EQ(items.first()->toOne(QStringLiteral("folder")), reloadedB);
    EXPECT_EQ(reloadedB->toOne(QStringLiteral("badge"))->objectID(), badge->objectID());
    EXPECT_TRUE(fresh.existingObjectWithID(folderA->objectID())->toMany(QStringLiteral("items")).isEmpty());
}

TEST_F(ContextTest, DeleteRulesCascadeNullifyAndDeny)
{
    ManagedObject* folder = context.insertObject(QStringLiteral("Folder"));
    ManagedObject* badge = context.insertObject(QStringLiteral("Badge"));
    folder->setToOne(QStringLiteral("badge"), badge);
    for (int i = 0; i < 3; ++i) {
        folder->addToMany(QStringLiteral("items"),
                          context.insertObject(i == 2 ? QStringLiteral("SpecialItem") : QStringLiteral("Item")));
    }
    ManagedObject* lock = context.insertObject(QStringLiteral("Lock"));
    ManagedObject* key = context.insertObject(QStringLiteral("Key"));
    lock->addToMany(QStringLiteral("keys"), key);
    ASSERT_TRUE(context.save());

    context.deleteObject(folder);
    ASSERT_TRUE(context.save());
    EXPECT_TRUE(fetch(context, QStringLiteral("Item"))->isEmpty()) << "items cascade";
    const ObjectList badges = *fetch(context, QStringLiteral("Badge"));
    ASSERT_EQ(badges.size(), 1) << "the badge is only detached";
    EXPECT_EQ(badges.first()->toOne(QStringLiteral("folder")), nullptr);

    context.deleteObject(lock);
    StoreError error;
    EXPECT_FALSE(context.save(&error)) << "a lock with keys cannot go";
    EXPECT_EQ(error.code, StoreError::Code::ValidationFailed);
    context.deleteObject(key);
    EXPECT_TRUE(context.save(&error)) << error.toString().toStdString();
    EXPECT_TRUE(fetch(context, QStringLiteral("Lock"))->isEmpty());
}

TEST_F(ContextTest, FetchSeesUnsavedChangesAndSubentities)
{
    for (const char* text : {"alpha", "beta", "gamma"}) {
        context.insertObject(QStringLiteral("Item"))->setValue(QStringLiteral("text"), QString::fromLatin1(text));
    }
    context.insertObject(QStringLiteral("SpecialItem"))->setValue(QStringLiteral("text"), QStringLiteral("delta"));
    ASSERT_TRUE(context.save());
    ObjectList all = *fetch(context, QStringLiteral("Item"), QStringLiteral("text != %@"), {QStringLiteral("beta")});
    EXPECT_EQ(all.size(), 3);

    FetchRequest onlyItems(QStringLiteral("Item"));
    onlyItems.includesSubentities = false;
    EXPECT_EQ(context.execute(onlyItems)->size(), 3);
    EXPECT_EQ(fetch(context, QStringLiteral("SpecialItem"))->size(), 1);

    // Unsaved: a renamed object matches by its new value, a new one is included, a deleted one not.
    ManagedObject* alpha = fetch(context, QStringLiteral("Item"), QStringLiteral("text == 'alpha'"))->first();
    alpha->setValue(QStringLiteral("text"), QStringLiteral("omega"));
    context.insertObject(QStringLiteral("Item"))->setValue(QStringLiteral("text"), QStringLiteral("oscar"));
    context.deleteObject(fetch(context, QStringLiteral("Item"), QStringLiteral("text == 'gamma'"))->first());
    EXPECT_TRUE(fetch(context, QStringLiteral("Item"), QStringLiteral("text == 'alpha'"))->isEmpty());
    FetchRequest sorted(QStringLiteral("Item"), *Predicate::fromFormat(QStringLiteral("text LIKE 'o*'")),
                        {SortDescriptor(QStringLiteral("text"))});
    EXPECT_EQ(texts(*context.execute(sorted)), (QStringList {QStringLiteral("omega"), QStringLiteral("oscar")}));
    EXPECT_EQ(fetch(context, QStringLiteral("Item"))->size(), 4);
}

TEST_F(ContextTest, LikeMatchesStarsAndQuestionMarksInStoreAndMemory)
{
    for (const char* text : {"Foo", "foobar", "FOO BAR", "afoo", "fo", "f.o"}) {
        context.insertObject(QStringLiteral("Item"))->setValue(QStringLiteral("text"), QString::fromLatin1(text));
    }
    ASSERT_TRUE(context.save());
    struct Case
    {
        const char* format;
        QStringList expected;
    };
    const Case cases[] = {
        {"text LIKE[c] 'foo*'", {"FOO BAR", "Foo", "foobar"}},
        {"text LIKE 'foo*'", {"foobar"}},
        {"text LIKE[c] '*foo'", {"Foo", "afoo"}},
        {"text LIKE[c] 'f?o'", {"Foo", "f.o"}},
        {"text LIKE[c] '?'", {}},
        {"text LIKE '*'", {"FOO BAR", "Foo", "afoo", "f.o", "fo", "foobar"}},
        {"text LIKE[c] 'foo*' AND NOT text CONTAINS ' '", {"Foo", "foobar"}},
    };
    for (const Case& test : cases) {
        FetchRequest request(QStringLiteral("Item"), *Predicate::fromFormat(QString::fromLatin1(test.format)),
                             {SortDescriptor(QStringLiteral("text"))});
        EXPECT_EQ(texts(*context.execute(request)), test.expected) << test.format;
        // The same result with everything in memory (unsaved objects are matched in memory).
        ObjectContext scratch(coordinator);
        for (const QString& text : texts(*fetch(scratch, QStringLiteral("Item")))) {
            scratch.insertObject(QStringLiteral("SpecialItem"))->setValue(QStringLiteral("text"), text);
        }
        request.entityName = QStringLiteral("SpecialItem");
        EXPECT_EQ(texts(*scratch.execute(request)), test.expected) << test.format << " in memory";
    }
}

TEST_F(ContextTest, SortsByKeyPathsCaseInsensitivelyAndDescending)
{
    const QStringList names {QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("c")};
    for (int i = 0; i < names.size(); ++i) {
        ManagedObject* item = context.insertObject(QStringLiteral("Item"));
        item->setValue(QStringLiteral("text"), names[i]);
        item->setValue(QStringLiteral("medium"), i);
    }
    FetchRequest request(QStringLiteral("Item"));
    request.sortDescriptors
        = {SortDescriptor(QStringLiteral("text"), true, SortDescriptor::Comparison::CaseInsensitive)};
    EXPECT_EQ(texts(*context.execute(request)), (QStringList {"A", "b", "c"}));
    request.sortDescriptors = {SortDescriptor(QStringLiteral("text"))};
    EXPECT_EQ(texts(*context.execute(request)), (QStringList {"A", "b", "c"}));
    request.sortDescriptors = {SortDescriptor(QStringLiteral("medium"), false)};
    EXPECT_EQ(texts(*context.execute(request)), (QStringList {"c", "A", "b"}));
    request.fetchLimit = 1;
    EXPECT_EQ(texts(*context.execute(request)), QStringList {"c"});
}

TEST_F(ContextTest, UndoAndRedoAnAttributeChange)
{
    context.setUndoEnabled(true);
    ManagedObject* item = context.insertObject(QStringLiteral("Item"));
    item->setValue(QStringLiteral("text"), QStringLiteral("first"));
    ASSERT_TRUE(context.save());
    context.undoManager()->removeAllActions();

    item->setValue(QStringLiteral("text"), QStringLiteral("second"));
    item->setValue(QStringLiteral("text"), QStringLiteral("third"));
    context.undo();
    EXPECT_EQ(item->value(QStringLiteral("text")).toString(), QStringLiteral("second"));
    context.undo();
    EXPECT_EQ(item->value(QStringLiteral("text")).toString(), QStringLiteral("first"));
    EXPECT_FALSE(context.undoManager()->canUndo());
    context.redo();
    EXPECT_EQ(item->value(QStringLiteral("text")).toString(), QStringLiteral("second"));

    // Changes made with registration off are not undone.
    context.undoManager()->disableRegistration();
    item->setValue(QStringLiteral("large"), 5);
    context.undoManager()->enableRegistration();
    context.undo();
    EXPECT_EQ(item->value(QStringLiteral("text")).toString(), QStringLiteral("first"));
    EXPECT_EQ(item->value(QStringLiteral("large")).toLongLong(), 5);
}

TEST_F(ContextTest, AnInsertionUndoneAndRedoneKeepsItsTemporaryIdentifier)
{
    context.setUndoEnabled(true);
    ManagedObject* item = context.insertObject(QStringLiteral("Item"));
    const ObjectID temporary = item->objectID();
    EXPECT_EQ(context.objectWithID(temporary), item);
    context.undo();
    EXPECT_EQ(context.objectWithID(temporary), nullptr);
    EXPECT_FALSE(context.hasChanges());
    context.redo();
    EXPECT_EQ(context.objectWithID(temporary), item);
    ASSERT_TRUE(context.save());
    EXPECT_EQ(context.objectWithID(item->objectID()), item);
    EXPECT_EQ(context.objectWithID(temporary), nullptr);
}

TEST_F(ContextTest, UndoOfADeletionRestoresTheObjectAndItsLinks)
{
    context.setUndoEnabled(true);
    ManagedObject* folder = context.insertObject(QStringLiteral("Folder"));
    ManagedObject* item = context.insertObject(QStringLiteral("Item"));
    folder->addToMany(QStringLiteral("items"), item);
    ASSERT_TRUE(context.save());

    context.deleteObject(folder);
    EXPECT_TRUE(item->isDeleted());
    context.undo();
    EXPECT_FALSE(folder->isDeleted());
    EXPECT_FALSE(item->isDeleted());
    EXPECT_EQ(item->toOne(QStringLiteral("folder")), folder);
    ASSERT_TRUE(context.save());
    EXPECT_EQ(fetch(context, QStringLiteral("Item"))->size(), 1);
}

TEST_F(ContextTest, RollbackForgetsEveryUnsavedChange)
{
    ManagedObject* item = context.insertObject(QStringLiteral("Item"));
    item->setValue(QStringLiteral("text"), QStringLiteral("kept"));
    ASSERT_TRUE(context.save());
    item->setValue(QStringLiteral("text"), QStringLiteral("changed"));
    ManagedObject* extra = context.insertObject(QStringLiteral("Item"));
    context.rollback();
    EXPECT_FALSE(context.hasChanges());
    EXPECT_FALSE(extra->isValid());
    EXPECT_EQ(item->value(QStringLiteral("text")).toString(), QStringLiteral("kept"));
    EXPECT_EQ(fetch(context, QStringLiteral("Item"))->size(), 1);
}

TEST_F(ContextTest, BinaryValuesLoadOnAccessAndRefreshDropsThem)
{
    const QByteArray bytes(1 << 20, '\x5a');
    ManagedObject* item = context.insertObject(QStringLiteral("Item"));
    item->setValue(QStringLiteral("bytes"), bytes);
    ASSERT_TRUE(context.save());
    const ObjectID id = item->objectID();

    ObjectContext reader(coordinator);
    ManagedObject* loaded = fetch(reader, QStringLiteral("Item"))->first();
    EXPECT_EQ(loaded->value(QStringLiteral("bytes")).toByteArray(), bytes);
    reader.refreshObject(loaded, false);
    EXPECT_TRUE(loaded->isFault()) << "refresh turns the object back into a placeholder";
    EXPECT_EQ(loaded->value(QStringLiteral("bytes")).toByteArray().size(), bytes.size());
    EXPECT_EQ(loaded->objectID(), id);
}

TEST_F(ContextTest, RefreshWithMergeKeepsUnsavedChanges)
{
    ManagedObject* item = context.insertObject(QStringLiteral("Item"));
    item->setValue(QStringLiteral("text"), QStringLiteral("one"));
    item->setValue(QStringLiteral("large"), 1);
    ASSERT_TRUE(context.save());

    ObjectContext other(coordinator);
    ManagedObject* otherItem = other.existingObjectWithID(item->objectID());
    otherItem->setValue(QStringLiteral("large"), 2);
    ASSERT_TRUE(other.save());

    item->setValue(QStringLiteral("text"), QStringLiteral("mine"));
    context.refreshObject(item, true);
    EXPECT_EQ(item->value(QStringLiteral("large")).toLongLong(), 2);
    EXPECT_EQ(item->value(QStringLiteral("text")).toString(), QStringLiteral("mine"));
    context.refreshObject(item, false);
    EXPECT_EQ(item->value(QStringLiteral("text")).toString(), QStringLiteral("one"));
}

TEST_F(ContextTest, SaveNoticeFromAnotherThreadMergesIntoTheMainContext)
{
    context.setUndoEnabled(true);
    ManagedObject* folder = context.insertObject(QStringLiteral("Folder"));
    ManagedObject* doomed = context.insertObject(QStringLiteral("Item"));
    folder->addToMany(QStringLiteral("items"), doomed);
    ASSERT_TRUE(context.save());
    ASSERT_EQ(folder->toMany(QStringLiteral("items")).size(), 1);
    const ObjectID folderID = folder->objectID();
    const ObjectID doomedID = doomed->objectID();

    int merges = 0;
    QObject::connect(&context, &ObjectContext::didMerge, [&merges] { ++merges; });
    ObjectID addedID;
    QThread* worker = QThread::create([&] {
        ObjectContext background(coordinator);
        QObject::connect(&background, &ObjectContext::didSave, &context, &ObjectContext::mergeChangesFromSaveNotice);
        ManagedObject* backgroundFolder = background.existingObjectWithID(folderID);
        ManagedObject* added = background.insertObject(QStringLiteral("Item"));
        added->setValue(QStringLiteral("text"), QStringLiteral("from the worker"));
        backgroundFolder->addToMany(QStringLiteral("items"), added);
        backgroundFolder->setValue(QStringLiteral("name"), QStringLiteral("renamed"));
        background.deleteObject(background.existingObjectWithID(doomedID));
        ASSERT_TRUE(background.save());
        addedID = added->objectID();
    });
    worker->start();
    QElapsedTimer timer;
    timer.start();
    while (merges == 0 && timer.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    worker->wait();
    delete worker;
    ASSERT_EQ(merges, 1);
    EXPECT_EQ(folder->value(QStringLiteral("name")).toString(), QStringLiteral("renamed"));
    EXPECT_FALSE(doomed->isValid());
    const ObjectList items = folder->toMany(QStringLiteral("items"));
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.first()->objectID(), addedID);
    EXPECT_EQ(items.first()->value(QStringLiteral("text")).toString(), QStringLiteral("from the worker"));
    EXPECT_FALSE(context.hasChanges());
}

TEST_F(ContextTest, FailedSaveChangesNothingInMemory)
{
    ManagedObject* lock = context.insertObject(QStringLiteral("Lock"));
    lock->addToMany(QStringLiteral("keys"), context.insertObject(QStringLiteral("Key")));
    ASSERT_TRUE(context.save());
    ManagedObject* item = context.insertObject(QStringLiteral("Item"));
    context.deleteObject(lock);
    EXPECT_FALSE(context.save());
    EXPECT_TRUE(item->objectID().isTemporary());
    EXPECT_TRUE(context.hasChanges());
    context.rollback();
    EXPECT_EQ(fetch(context, QStringLiteral("Lock"))->size(), 1);
}
