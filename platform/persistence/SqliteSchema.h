#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <vector>

namespace Persistence {

class EntityDescription;
enum class AttributeType;
class ObjectModel;
class SqliteStatement;
struct AttributeDescription;

// The table layout of an SQLite store: one table per entity family (a root entity with all its
// sub-entities), named "t_<Root>", with the integer key "pk", the entity name "ent", a column
// "a_<name>" per attribute and "r_<name>" per to-one relationship (the target's key). To-many
// relationships are not stored: they are the rows whose inverse column holds the owner's key.
class SqliteSchema
{
public:
    struct Family
    {
        const EntityDescription* root = nullptr;
        QString table; // quoted
        QStringList columns; // quoted, without pk and ent
        QHash<QString, QString> columnByProperty;
        QString selectList; // pk, ent and every column rows carry (no binary)
        QHash<QString, int> selectIndexByProperty; // position in selectList
        QStringList indexedColumns; // to-one columns that to-many relationships are looked up by
    };

    explicit SqliteSchema(const ObjectModel& model);

    const Family& family(const EntityDescription* entity) const;
    const std::vector<Family>& families() const { return m_families; }
    // Statements that create the tables and indexes of a new store.
    QStringList createStatements() const;

    static QString quoted(const QString& identifier);
    // Converts between attribute values and what SQLite stores.
    static QVariant toSql(const AttributeDescription& attribute, const QVariant& value);
    // Whether toSql() gives values of this type back unchanged.
    static bool storesAsIs(AttributeType type);
    static QVariant fromSql(const AttributeDescription& attribute, const SqliteStatement& statement, int column);

private:
    std::vector<Family> m_families;
    QHash<const EntityDescription*, int> m_familyIndex;
};

} // namespace Persistence
