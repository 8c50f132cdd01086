#include "persistence/AttributeValue.h"
#include "persistence/Decimal.h"
#include "persistence/EntityDescription.h"
#include "persistence/ObjectModel.h"

#include <QDateTime>
#include <QJsonDocument>

#include <gtest/gtest.h>
#include <limits>

using namespace Persistence;

namespace {

// A valid two-entity model, as JSON text with one place to break.
QByteArray modelWith(const QString& folderRelationships, const QString& extraEntities = {})
{
    return QStringLiteral(R"({"version": 1, "entities": [
        {"name": "Folder", "attributes": [{"name": "name", "type": "string"}], "relationships": [%1]},
        {"name": "Item", "attributes": [{"name": "text", "type": "string"}],
         "relationships": [{"name": "folder", "destination": "Folder", "inverse": "items"}]}%2]})")
        .arg(folderRelationships, extraEntities)
        .toUtf8();
}

const QString GoodItems = QStringLiteral(
    R"({"name": "items", "destination": "Item", "toMany": true, "inverse": "folder", "deleteRule": "cascade"})");

} // namespace

TEST(ObjectModelLoading, BuildsInheritedPropertiesAndFetchTemplates)
{
    StoreError error;
    const auto model = ObjectModel::fromJson(modelWith(GoodItems, QStringLiteral(R"(,
        {"name": "Note", "parent": "Item", "attributes": [{"name": "body", "type": "binary"}]},
        {"name": "Base", "abstract": true, "attributes": [{"name": "when", "type": "date", "default": "2009-03-03T10:20:30.000Z"}]}],
        "fetchRequests": [{"name": "Named", "entity": "Item", "predicate": "text != nil"})")),
                                             &error);
    ASSERT_TRUE(model) << error.toString().toStdString();
    const EntityDescription* note = model->entity(QStringLiteral("Note"));
    ASSERT_TRUE(note);
    EXPECT_EQ(note->root(), model->entity(QStringLiteral("Item")));
    EXPECT_TRUE(note->attribute(QStringLiteral("text")));
    EXPECT_TRUE(note->relationship(QStringLiteral("folder")));
    EXPECT_EQ(note->propertyIndex(QStringLiteral("text")), 0) << "inherited properties come first";
    EXPECT_EQ(model->entity(QStringLiteral("Item"))->selfAndDescendants().size(), 2);
    EXPECT_EQ(model->entity(QStringLiteral("Base"))->attribute(QStringLiteral("when"))->defaultValue.toDateTime(),
              QDateTime(QDate(2009, 3, 3), QTime(10, 20, 30), Qt::UTC));
    const auto named = model->fetchRequestTemplate(QStringLiteral("Named"));
    ASSERT_TRUE(named);
    EXPECT_EQ(named->predicate.toString(), QStringLiteral("text != nil"));
    EXPECT_FALSE(model->fetchRequestTemplate(QStringLiteral("Missing")));
}

TEST(ObjectModelLoading, RefusesModelsThatCannotBeStored)
{
    const struct
    {
        const char* what;
        QByteArray json;
    } cases[] = {
        {"not JSON", "{"},
        {"no version", R"({"entities": [{"name": "A"}]})"},
        {"no entities", R"({"version": 1, "entities": []})"},
        {"SQL in a name", R"({"version": 1, "entities": [{"name": "A; DROP TABLE x"}]})"},
        {"two entities of one name", R"({"version": 1, "entities": [{"name": "A"}, {"name": "A"}]})"},
        {"unknown type",
         R"({"version": 1, "entities": [{"name": "A", "attributes": [{"name": "a", "type": "float"}]}]})"},
        {"default of the wrong type",
         R"({"version": 1, "entities": [{"name": "A", "attributes": [{"name": "a", "type": "int16", "default": 100000}]}]})"},
        {"repeated attribute",
         R"({"version": 1, "entities": [{"name": "A", "attributes": [{"name": "a", "type": "string"}, {"name": "a", "type": "string"}]}]})"},
        {"unknown parent", R"({"version": 1, "entities": [{"name": "A", "parent": "B"}]})"},
        {"inheritance cycle",
         R"({"version": 1, "entities": [{"name": "A", "parent": "B"}, {"name": "B", "parent": "A"}]})"},
        {"one name, two types in a family",
         R"({"version": 1, "entities": [{"name": "A", "attributes": [{"name": "x", "type": "string"}]},
             {"name": "B", "parent": "A"}, {"name": "C", "parent": "A", "attributes": [{"name": "y", "type": "int32"}]},
             {"name": "D", "parent": "B", "attributes": [{"name": "y", "type": "string"}]}]})"},
        {"unknown destination",
         modelWith(R"({"name": "items", "destination": "Gadget", "toMany": true, "inverse": "folder"})")},
        {"to-many without inverse", modelWith(R"({"name": "items", "destination": "Item", "toMany": true})")},
        {"inverse pointing elsewhere",
         modelWith(R"({"name": "items", "destination": "Item", "toMany": true, "inverse": "text"})")},
        {"unknown delete rule",
         modelWith(
             R"({"name": "items", "destination": "Item", "toMany": true, "inverse": "folder", "deleteRule": "explode"})")},
        {"many to many",
         R"({"version": 1, "entities": [{"name": "A", "relationships": [{"name": "bs", "destination": "B", "toMany": true, "inverse": "as"}]},
             {"name": "B", "relationships": [{"name": "as", "destination": "A", "toMany": true, "inverse": "bs"}]}]})"},
        {"bad fetch template",
         R"({"version": 1, "entities": [{"name": "A"}], "fetchRequests": [{"name": "T", "entity": "A", "predicate": "a =="}]})"},
        {"fetch template of an unknown entity",
         R"({"version": 1, "entities": [{"name": "A"}], "fetchRequests": [{"name": "T", "entity": "B"}]})"},
    };
    for (const auto& test : cases) {
        StoreError error;
        EXPECT_FALSE(ObjectModel::fromJson(test.json, &error)) << test.what;
        EXPECT_EQ(error.code, StoreError::Code::ModelInvalid) << test.what;
        EXPECT_FALSE(error.failureReason.isEmpty()) << test.what;
    }
    EXPECT_TRUE(ObjectModel::fromJson(modelWith(GoodItems))) << "the base of the cases above is valid";
}

TEST(ObjectModelLoading, SchemaDigestFollowsTheStoredShapeOnly)
{
    const auto a = ObjectModel::fromJson(modelWith(GoodItems));
    const auto sameShape
        = ObjectModel::fromJson(QString::fromUtf8(modelWith(GoodItems))
                                    .replace(QStringLiteral("\"cascade\""), QStringLiteral("\"nullify\""))
                                    .toUtf8());
    const auto otherShape = ObjectModel::fromJson(modelWith(GoodItems, QStringLiteral(R"(, {"name": "Extra"})")));
    ASSERT_TRUE(a && sameShape && otherShape);
    EXPECT_EQ(a->schemaHash(), sameShape->schemaHash()) << "delete rules do not change what is stored";
    EXPECT_NE(a->schemaHash(), otherShape->schemaHash());
}

TEST(DecimalValues, ParseFormatAndCompareExactly)
{
    const struct
    {
        const char* text;
        const char* canonical; // nullptr: refused
    } cases[] = {
        {"12.50", "12.50"},
        {"-0.125", "-0.125"},
        {"+3", "3"},
        {"0.05", "0.05"},
        {" 7 ", "7"},
        {".5", "0.5"},
        {"5.", "5"},
        {"", nullptr},
        {"1.2.3", nullptr},
        {"1e5", nullptr},
        {"-", nullptr},
        {"12,50", nullptr},
        {"1234567890123456789", nullptr},
        {"123456789012345678", "123456789012345678"},
        {"000000000000000000000012.5", "12.5"},
    };
    for (const auto& test : cases) {
        const auto decimal = Decimal::fromString(QString::fromLatin1(test.text));
        if (!test.canonical) {
            EXPECT_FALSE(decimal) << test.text;
            continue;
        }
        ASSERT_TRUE(decimal) << test.text;
        EXPECT_EQ(decimal->toString(), QString::fromLatin1(test.canonical)) << test.text;
    }
    EXPECT_EQ(*Decimal::fromString(QStringLiteral("1.5")), *Decimal::fromString(QStringLiteral("1.500")));
    EXPECT_LT(*Decimal::fromString(QStringLiteral("-2")), *Decimal::fromString(QStringLiteral("-1.99")));
    EXPECT_LT(*Decimal::fromString(QStringLiteral("0.000000000000000001")),
              *Decimal::fromString(QStringLiteral("999999999999999999")));
    EXPECT_EQ(Decimal::fromDouble(19.9)->toString(), QStringLiteral("19.9"));
    EXPECT_FALSE(Decimal::fromDouble(std::numeric_limits<double>::infinity()));
}

TEST(AttributeValues, CoerceOnlyWhatFitsTheType)
{
    const struct
    {
        AttributeType type;
        QVariant value;
        bool accepted;
    } cases[] = {
        {AttributeType::String, QStringLiteral("x"), true},
        {AttributeType::String, 5, false},
        {AttributeType::String, QByteArray("x"), false},
        {AttributeType::Integer16, 32767, true},
        {AttributeType::Integer16, -32769, false},
        {AttributeType::Integer32, qint64(1) << 31, false},
        {AttributeType::Integer64, std::numeric_limits<quint64>::max(), false},
        {AttributeType::Integer64, 2.0, true},
        {AttributeType::Integer64, 2.5, false},
        {AttributeType::Decimal, QStringLiteral("4.20"), true},
        {AttributeType::Decimal, QStringLiteral("four"), false},
        {AttributeType::Decimal, 3, true},
        {AttributeType::Double, 3, true},
        {AttributeType::Double, QStringLiteral("3"), false},
        {AttributeType::Boolean, 1, true},
        {AttributeType::Boolean, 2, false},
        {AttributeType::Date, QDateTime(), false},
        {AttributeType::Date, QDateTime::currentDateTime(), true},
        {AttributeType::Binary, QByteArray("\0", 1), true},
        {AttributeType::Binary, QStringLiteral("text"), false},
        {AttributeType::Integer32, QVariant(), true},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(AttributeValue::coerce(test.type, test.value).has_value(), test.accepted)
            << attributeTypeName(test.type).toStdString() << " <- " << test.value.typeName();
    }
    const QDateTime local = QDateTime(QDate(2020, 1, 1), QTime(12, 0), Qt::OffsetFromUTC, 3600);
    const QVariant stored = *AttributeValue::coerce(AttributeType::Date, local);
    EXPECT_EQ(stored.toDateTime().timeSpec(), Qt::UTC);
    EXPECT_EQ(stored.toDateTime(), local) << "the same instant";
}
