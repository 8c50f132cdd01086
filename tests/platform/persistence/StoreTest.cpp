#include "PersistenceTestSupport.h"
#include "persistence/Decimal.h"
#include "persistence/XmlStoreData.h"
#include "support/TestData.h"

#include <QDateTime>
#include <QFileInfo>

#include <cmath>
#include <limits>

using namespace Persistence;

namespace {

// One value of every attribute type, including the awkward ones: extremes, empty, control
// characters and carriage returns that plain XML text would not carry.
QVariantMap awkwardValues()
{
    QByteArray bytes;
    for (int i = 0; i < 256; ++i) {
        bytes.append(char(i));
    }
    return {
        {QStringLiteral("text"), QStringLiteral("Key: AB12-\r\nCD34\t\x01 <&> \"quoted\" Grüße 🔑 ")},
        {QStringLiteral("small"), qint64(std::numeric_limits<qint16>::min())},
        {QStringLiteral("medium"), qint64(std::numeric_limits<qint32>::max())},
        {QStringLiteral("large"), qint64(std::numeric_limits<qint64>::min())},
        {QStringLiteral("price"), QVariant::fromValue(*Decimal::fromString(QStringLiteral("-1234567.50")))},
        {QStringLiteral("ratio"), 0.1 + 0.2},
        {QStringLiteral("flag"), true},
        {QStringLiteral("when"), QDateTime::fromMSecsSinceEpoch(-123456789012LL, Qt::UTC)},
        {QStringLiteral("bytes"), bytes},
    };
}

void expectSameValues(const ManagedObject* object, const QVariantMap& expected)
{
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QVariant actual = object->value(it.key());
        EXPECT_EQ(actual.metaType(), it.value().metaType()) << it.key().toStdString();
        if (it.key() == u"price") {
            EXPECT_EQ(actual.value<Decimal>().toString(), it.value().value<Decimal>().toString());
        } else if (it.key() == u"ratio") {
            EXPECT_EQ(actual.toDouble(), it.value().toDouble()) << "bit for bit";
        } else {
            EXPECT_EQ(actual, it.value()) << it.key().toStdString();
        }
    }
}

} // namespace

class StoreTest : public PersistenceTest, public ::testing::WithParamInterface<StoreType>
{
protected:
    QString storeName() const
    {
        return GetParam() == StoreType::XML ? QStringLiteral("store.xml") : QStringLiteral("store.data");
    }
};

TEST_P(StoreTest, EveryAttributeTypeRoundTripsExactly)
{
    const QVariantMap values = awkwardValues();
    ObjectID id;
    {
        auto coordinator = openCoordinator(storeName(), GetParam());
        ObjectContext context(coordinator);
        ManagedObject* item = context.insertObject(QStringLiteral("SpecialItem"));
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            ASSERT_TRUE(item->setValue(it.key(), it.value())) << it.key().toStdString();
        }
        item->setValue(QStringLiteral("note"), QString());
        ManagedObject* empty = context.insertObject(QStringLiteral("Item"));
        empty->setValue(QStringLiteral("text"), QString(""));
        empty->setValue(QStringLiteral("flag"), QVariant());
        empty->setValue(QStringLiteral("bytes"), QByteArray(""));
        ASSERT_TRUE(context.save());
        id = item->objectID();
    }
    auto coordinator = openCoordinator(storeName(), GetParam());
    ObjectContext context(coordinator);
    ManagedObject* item = context.existingObjectWithID(id);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->entityName(), QStringLiteral("SpecialItem"));
    expectSameValues(item, values);
    EXPECT_FALSE(item->value(QStringLiteral("note")).isValid());

    FetchRequest request(QStringLiteral("Item"), *Predicate::fromFormat(QStringLiteral("text == ''")));
    const ObjectList empties = *context.execute(request);
    ASSERT_EQ(empties.size(), 1);
    EXPECT_EQ(empties.first()->value(QStringLiteral("text")), QVariant(QString("")));
    EXPECT_FALSE(empties.first()->value(QStringLiteral("flag")).isValid());
    EXPECT_EQ(empties.first()->value(QStringLiteral("bytes")), QVariant(QByteArray("")));
}

// Statements are reused from row to row and save to save: a row without a value must not inherit
// the value of the row written before it, and clearing a value must store it as absent.
TEST_P(StoreTest, EachRowKeepsOnlyItsOwnValues)
{
    const QVariantMap values = awkwardValues();
    ObjectID fullID;
    ObjectID emptyIDs[2];
    {
        auto coordinator = openCoordinator(storeName(), GetParam());
        ObjectContext context(coordinator);
        for (int round = 0; round < 2; ++round) {
            ManagedObject* full = context.insertObject(QStringLiteral("SpecialItem"));
            for (auto it = values.cbegin(); it != values.cend(); ++it) {
                ASSERT_TRUE(full->setValue(it.key(), it.value()));
            }
            ManagedObject* empty = context.insertObject(QStringLiteral("SpecialItem"));
            ASSERT_TRUE(context.save());
            emptyIDs[round] = empty->objectID();
            fullID = full->objectID();
        }
        ManagedObject* full = context.existingObjectWithID(fullID);
        ASSERT_TRUE(full->setValue(QStringLiteral("text"), QVariant()));
        ASSERT_TRUE(full->setValue(QStringLiteral("bytes"), QVariant()));
        ASSERT_TRUE(context.save());
    }
    auto coordinator = openCoordinator(storeName(), GetParam());
    ObjectContext context(coordinator);
    const ManagedObject* fresh = context.insertObject(QStringLiteral("SpecialItem")); // defaults only
    for (const ObjectID& id : emptyIDs) {
        ManagedObject* empty = context.existingObjectWithID(id);
        ASSERT_TRUE(empty);
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            EXPECT_EQ(empty->value(it.key()), fresh->value(it.key())) << it.key().toStdString();
        }
    }
    ManagedObject* full = context.existingObjectWithID(fullID);
    ASSERT_TRUE(full);
    EXPECT_FALSE(full->value(QStringLiteral("text")).isValid());
    EXPECT_EQ(full->value(QStringLiteral("bytes")), fresh->value(QStringLiteral("bytes")));
    EXPECT_EQ(full->value(QStringLiteral("large")), values.value(QStringLiteral("large")));
}

// New objects that refer to each other are written in one save. Afterwards each is known by its
// permanent identifier only and still holds its values; the stored rows carry the links.
TEST_P(StoreTest, NewObjectsThatReferToEachOtherAreSavedTogether)
{
    ObjectID folderID;
    ObjectID badgeID;
    ObjectID itemIDs[3];
    {
        auto coordinator = openCoordinator(storeName(), GetParam());
        ObjectContext context(coordinator);
        ManagedObject* folder = context.insertObject(QStringLiteral("Folder"));
        ManagedObject* badge = context.insertObject(QStringLiteral("Badge"));
        ASSERT_TRUE(folder->setToOne(QStringLiteral("badge"), badge));
        ManagedObject* items[3];
        ObjectID temporary[3];
        for (int i = 0; i < 3; ++i) {
            items[i] = context.insertObject(QStringLiteral("Item"));
            ASSERT_TRUE(items[i]->setValue(QStringLiteral("text"), QStringLiteral("item %1").arg(i)));
            temporary[i] = items[i]->objectID();
            EXPECT_EQ(context.objectWithID(temporary[i]), items[i]);
        }
        ASSERT_TRUE(items[0]->setToOne(QStringLiteral("folder"), folder));
        ASSERT_TRUE(items[2]->setToOne(QStringLiteral("folder"), folder));
        ASSERT_TRUE(items[1]->setValue(QStringLiteral("text"), QVariant())); // cleared before its first save
        ASSERT_TRUE(context.save());
        for (int i = 0; i < 3; ++i) {
            itemIDs[i] = items[i]->objectID();
            EXPECT_FALSE(itemIDs[i].isTemporary());
            EXPECT_EQ(context.objectWithID(itemIDs[i]), items[i]);
            EXPECT_EQ(context.objectWithID(temporary[i]), nullptr) << "a saved object keeps no temporary name";
        }
        EXPECT_EQ(items[2]->value(QStringLiteral("text")).toString(), QStringLiteral("item 2"));
        EXPECT_EQ(items[2]->toOne(QStringLiteral("folder")), folder);
        folderID = folder->objectID();
        badgeID = badge->objectID();
    }
    auto coordinator = openCoordinator(storeName(), GetParam());
    ObjectContext context(coordinator);
    ManagedObject* folder = context.existingObjectWithID(folderID);
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->toOne(QStringLiteral("badge"))->objectID(), badgeID);
    QStringList texts;
    for (const ManagedObject* item : folder->toMany(QStringLiteral("items"))) {
        texts.append(item->value(QStringLiteral("text")).toString());
    }
    texts.sort();
    EXPECT_EQ(texts, QStringList({QStringLiteral("item 0"), QStringLiteral("item 2")}));
    ManagedObject* loose = context.existingObjectWithID(itemIDs[1]);
    ASSERT_TRUE(loose);
    EXPECT_FALSE(loose->value(QStringLiteral("text")).isValid());
    EXPECT_EQ(loose->toOne(QStringLiteral("folder")), nullptr);
}

TEST_P(StoreTest, MetadataRoundTripsAndIsReadableWithoutOpeningTheStore)
{
    const QVariantMap metadata {{QStringLiteral("ZRModelVersion"), qint64(7)},
                                {QStringLiteral("Note"), QStringLiteral("x")}};
    {
        auto coordinator = openCoordinator(storeName(), GetParam());
        coordinator->setMetadata(coordinator->firstStore(), metadata);
        ObjectContext context(coordinator);
        EXPECT_FALSE(context.hasChanges());
        ASSERT_TRUE(context.save()) << "metadata alone is written by a save";
    }
    StoreError error;
    const auto info = PersistentStore::readInfo(path(storeName()), &error);
    ASSERT_TRUE(info) << error.toString().toStdString();
    EXPECT_EQ(info->type, GetParam());
    EXPECT_EQ(info->metadata, metadata);
    EXPECT_EQ(info->modelVersion, m_model->version());
    EXPECT_EQ(*PersistentStore::detectType(path(storeName())), GetParam());

    auto coordinator = openCoordinator(storeName(), GetParam());
    EXPECT_EQ(coordinator->metadata(coordinator->firstStore()), metadata);
    EXPECT_EQ(coordinator->firstStore()->identifier(), info->identifier);
}

TEST_P(StoreTest, StoreFilesAreOwnerOnlyAndSelfContained)
{
    auto coordinator = openCoordinator(storeName(), GetParam());
    ObjectContext context(coordinator);
    context.insertObject(QStringLiteral("Item"));
    ASSERT_TRUE(context.save());
    const QFileInfo file(path(storeName()));
    EXPECT_EQ(file.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther), 0);
    const QStringList leftovers = QDir(m_folder.path()).entryList(QDir::Files);
    EXPECT_EQ(leftovers, QStringList {storeName()}) << "no journal, WAL or temporary file stays behind";
}

TEST_P(StoreTest, NewerModelIsRefusedAndTheFileIsLeftAlone)
{
    {
        auto coordinator = openCoordinator(storeName(), GetParam(), loadModel(QStringLiteral("model_v2_newer.json")));
        ObjectContext context(coordinator);
        context.insertObject(QStringLiteral("Item"))->setValue(QStringLiteral("added"), QStringLiteral("new"));
        ASSERT_TRUE(context.save());
    }
    const QByteArray before = fileBytes(path(storeName()));
    StoreCoordinator coordinator(m_model);
    StoreError error;
    EXPECT_FALSE(coordinator.addStore(GetParam(), path(storeName()), &error));
    EXPECT_EQ(error.code, StoreError::Code::NewerModel) << error.toString().toStdString();
    EXPECT_EQ(fileBytes(path(storeName())), before);
}

INSTANTIATE_TEST_SUITE_P(BothStoreTypes, StoreTest, ::testing::Values(StoreType::SQLite, StoreType::XML),
                         [](const auto& info) { return storeTypeName(info.param).toStdString(); });

class DamagedStoreTest : public PersistenceTest
{
protected:
    // A saved SQLite store with a few rows, as bytes.
    QByteArray goodStore()
    {
        {
            auto coordinator = openCoordinator(QStringLiteral("good.data"));
            ObjectContext context(coordinator);
            for (int i = 0; i < 50; ++i) {
                context.insertObject(QStringLiteral("Item"))->setValue(QStringLiteral("bytes"), QByteArray(2000, 'x'));
            }
            EXPECT_TRUE(context.save());
        }
        return fileBytes(path(QStringLiteral("good.data")));
    }

    void expectRefused(const QString& name, const QByteArray& content, StoreType type, StoreError::Code code,
                       bool storeOfOtherType = false)
    {
        const QString file = path(name);
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
        out.close();
        StoreCoordinator coordinator(m_model);
        StoreError error;
        EXPECT_FALSE(coordinator.addStore(type, file, &error)) << name.toStdString();
        EXPECT_EQ(error.code, code) << name.toStdString() << ": " << error.toString().toStdString();
        EXPECT_FALSE(error.description.isEmpty());
        EXPECT_EQ(fileBytes(file), content) << name.toStdString() << " must not be touched";
        // The metadata reader looks at the description only, so it may well read a store damaged
        // further on; it must refuse what is no store at all and never write.
        const auto info = PersistentStore::readInfo(file);
        if (code == StoreError::Code::NotAStore && !storeOfOtherType) {
            EXPECT_FALSE(info) << name.toStdString();
        }
        EXPECT_EQ(fileBytes(file), content);
    }
};

TEST_F(DamagedStoreTest, FilesThatAreNoCompleteStoreAreRefusedUntouched)
{
    const QByteArray good = goodStore();
    ASSERT_GT(good.size(), 8192);
    const QByteArray text = fileBytes(testDataPath("/persistence/not_a_store.txt"));
    expectRefused(QStringLiteral("text.data"), text, StoreType::SQLite, StoreError::Code::NotAStore);
    expectRefused(QStringLiteral("empty.data"), QByteArray(), StoreType::SQLite, StoreError::Code::StoreCorrupt);
    expectRefused(QStringLiteral("header-only.data"), good.left(60), StoreType::SQLite, StoreError::Code::StoreCorrupt);
    expectRefused(QStringLiteral("truncated.data"), good.left(good.size() / 2), StoreType::SQLite,
                  StoreError::Code::StoreCorrupt);
    QByteArray garbled = good;
    for (qsizetype i = 4096; i < garbled.size(); i += 7) {
        garbled[i] = char(garbled[i] ^ 0x5a);
    }
    expectRefused(QStringLiteral("garbled.data"), garbled, StoreType::SQLite, StoreError::Code::StoreCorrupt);
    expectRefused(QStringLiteral("text.xml"), text, StoreType::XML, StoreError::Code::NotAStore);
    expectRefused(QStringLiteral("sqlite.xml"), good, StoreType::XML, StoreError::Code::NotAStore, true);
}

TEST_F(DamagedStoreTest, OnlyAReaderMayPassOverThePageCheckAndItsReadsThenReportTheDamage)
{
    // The rows' pages at the end are damaged, the description and the schema at the start are not.
    QByteArray garbled = goodStore();
    for (qsizetype i = garbled.size() - 4 * 4096; i < garbled.size(); i += 7) {
        garbled[i] = char(garbled[i] ^ 0x5a);
    }
    const QString file = path(QStringLiteral("garbled.data"));
    QFile out(file);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(garbled);
    out.close();
    const auto refused = [&](const PersistentStore::Options& options) {
        StoreCoordinator coordinator(m_model);
        StoreError error;
        return !coordinator.addStore(StoreType::SQLite, file, &error, options)
            && error.code == StoreError::Code::StoreCorrupt;
    };
    PersistentStore::Options writer;
    writer.checkPages = false; // asked for, but a writer checks all the same
    EXPECT_TRUE(refused(writer));
    PersistentStore::Options reader;
    reader.readOnly = true;
    EXPECT_TRUE(refused(reader));

    reader.checkPages = false;
    auto coordinator = std::make_shared<StoreCoordinator>(m_model);
    ASSERT_TRUE(coordinator->addStore(StoreType::SQLite, file, nullptr, reader));
    ObjectContext context(coordinator);
    StoreError error;
    EXPECT_FALSE(context.execute(FetchRequest(QStringLiteral("Item")), &error));
    EXPECT_EQ(error.code, StoreError::Code::SqliteError) << error.toString().toStdString();
    EXPECT_EQ(fileBytes(file), garbled);
}

TEST_F(DamagedStoreTest, XmlDocumentsThatAreNotOursAreRefusedUntouched)
{
    const QByteArray header = QByteArray("<?xml version=\"1.0\"?>\n") + XmlStoreDocumentType + "\n";
    const QByteArray info = "<databaseInfo><version>1</version><UUID>A</UUID></databaseInfo>";
    expectRefused(QStringLiteral("entities.xml"),
                  "<?xml version=\"1.0\"?>\n<!DOCTYPE database [<!ENTITY a \"aaaa\">]>\n<database>" + info
                      + "</database>",
                  StoreType::XML, StoreError::Code::NotAStore);
    expectRefused(QStringLiteral("cut.xml"), header + "<database>" + info + "<object type=\"Item\" id=\"Item.1\">",
                  StoreType::XML, StoreError::Code::StoreCorrupt);
    expectRefused(QStringLiteral("unknown.xml"),
                  header + "<database>" + info + "<object type=\"Gadget\" id=\"Gadget.1\"/></database>", StoreType::XML,
                  StoreError::Code::ModelMismatch);
    expectRefused(QStringLiteral("dangling.xml"),
                  header + "<database>" + info
                      + "<object type=\"Item\" id=\"Item.1\"><relationship name=\"folder\" "
                        "idrefs=\"Folder.9\"/></object></database>",
                  StoreType::XML, StoreError::Code::StoreCorrupt);
    expectRefused(QStringLiteral("badvalue.xml"),
                  header + "<database>" + info
                      + "<object type=\"Item\" id=\"Item.1\"><attribute name=\"small\" "
                        "type=\"int16\">99999</attribute></object></database>",
                  StoreType::XML, StoreError::Code::StoreCorrupt);
}

TEST_F(DamagedStoreTest, HandWrittenXmlWithoutSchemaDigestIsRead)
{
    const QByteArray document = QByteArray("<?xml version=\"1.0\"?>\n") + XmlStoreDocumentType
        + "\n<database><databaseInfo><version>1</version><UUID>HAND-MADE</UUID></databaseInfo>"
          "<object type=\"Folder\" id=\"Folder.4\"><attribute name=\"name\" type=\"string\">Tools</attribute></object>"
          "<object type=\"Item\" id=\"Item.2\"><attribute name=\"text\">Editor</attribute>"
          "<relationship name=\"folder\" type=\"1/1\" destination=\"Folder\" "
          "idrefs=\"Folder.4\"/></object></database>\n";
    QFile out(path(QStringLiteral("hand.xml")));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(document);
    out.close();
    auto coordinator = openCoordinator(QStringLiteral("hand.xml"), StoreType::XML);
    ObjectContext context(coordinator);
    const ObjectList folders = *context.execute(FetchRequest(QStringLiteral("Folder")));
    ASSERT_EQ(folders.size(), 1);
    const ObjectList items = folders.first()->toMany(QStringLiteral("items"));
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.first()->value(QStringLiteral("text")).toString(), QStringLiteral("Editor"));
    // New objects get keys past the ones in the file.
    context.insertObject(QStringLiteral("Folder"));
    ASSERT_TRUE(context.save());
    EXPECT_EQ(context.insertedObjects().size(), 0);
    EXPECT_EQ(context.execute(FetchRequest(QStringLiteral("Folder")))->size(), 2);
}
