#include "SqliteSchema.h"

#include "AttributeValue.h"
#include "Decimal.h"
#include "EntityDescription.h"
#include "ObjectModel.h"
#include "SqliteStatement.h"

#include <QDateTime>

namespace Persistence {

namespace {

QString sqlType(AttributeType type)
{
    switch (type) {
    case AttributeType::String:
    case AttributeType::Decimal:
        return QStringLiteral("TEXT");
    case AttributeType::Double:
        return QStringLiteral("REAL");
    case AttributeType::Binary:
        return QStringLiteral("BLOB");
    default:
        return QStringLiteral("INTEGER");
    }
}

} // namespace

SqliteSchema::SqliteSchema(const ObjectModel& model)
{
    for (const auto& entity : model.entities()) {
        if (entity->parent()) {
            continue;
        }
        Family family;
        family.root = entity.get();
        family.table = quoted(QStringLiteral("t_") + entity->name());
        family.selectList = QStringLiteral("pk, ent");
        int selectIndex = 2;
        for (const EntityDescription* member : entity->selfAndDescendants()) {
            m_familyIndex.insert(member, int(m_families.size()));
            for (const auto& attribute : member->attributes()) {
                if (family.columnByProperty.contains(attribute.name)) {
                    continue;
                }
                const QString column = quoted(QStringLiteral("a_") + attribute.name);
                family.columns.append(column + u' ' + sqlType(attribute.type));
                family.columnByProperty.insert(attribute.name, column);
                if (attribute.type != AttributeType::Binary) {
                    family.selectList += QStringLiteral(", ") + column;
                    family.selectIndexByProperty.insert(attribute.name, selectIndex++);
                }
            }
            for (const auto& relationship : member->relationships()) {
                if (relationship.toMany || family.columnByProperty.contains(relationship.name)) {
                    continue;
                }
                const QString column = quoted(QStringLiteral("r_") + relationship.name);
                family.columns.append(column + QStringLiteral(" INTEGER"));
                family.columnByProperty.insert(relationship.name, column);
                family.selectList += QStringLiteral(", ") + column;
                family.selectIndexByProperty.insert(relationship.name, selectIndex++);
                const RelationshipDescription* inverse = relationship.inverseName.isEmpty()
                    ? nullptr
                    : relationship.destination->relationship(relationship.inverseName);
                if (inverse && inverse->toMany) {
                    family.indexedColumns.append(relationship.name);
                }
            }
        }
        m_families.push_back(family);
    }
}

const SqliteSchema::Family& SqliteSchema::family(const EntityDescription* entity) const
{
    return m_families[size_t(m_familyIndex.value(entity->root()))];
}

QStringList SqliteSchema::createStatements() const
{
    QStringList statements;
    for (const Family& family : m_families) {
        QStringList columns {QStringLiteral("pk INTEGER PRIMARY KEY"), QStringLiteral("ent TEXT NOT NULL")};
        columns.append(family.columns);
        statements.append(QStringLiteral("CREATE TABLE %1 (%2)").arg(family.table, columns.join(QStringLiteral(", "))));
        for (const QString& property : family.indexedColumns) {
            const QString index = quoted(QStringLiteral("i_") + family.root->name() + u'_' + property);
            statements.append(QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                                  .arg(index, family.table, family.columnByProperty.value(property)));
        }
    }
    return statements;
}

QString SqliteSchema::quoted(const QString& identifier)
{
    // Model names are plain identifiers (checked when the model loads); quoting keeps keywords safe.
    return u'"' + identifier + u'"';
}

QVariant SqliteSchema::toSql(const AttributeDescription& attribute, const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        return {};
    }
    switch (attribute.type) {
    case AttributeType::Decimal:
        return value.value<Decimal>().toString();
    case AttributeType::Date:
        return value.toDateTime().toMSecsSinceEpoch();
    case AttributeType::Boolean:
        return qint64(value.toBool() ? 1 : 0);
    default:
        return value;
    }
}

bool SqliteSchema::storesAsIs(AttributeType type)
{
    return type != AttributeType::Decimal && type != AttributeType::Date && type != AttributeType::Boolean;
}

QVariant SqliteSchema::fromSql(const AttributeDescription& attribute, const SqliteStatement& statement, int column)
{
    if (statement.isNull(column)) {
        return {};
    }
    switch (attribute.type) {
    case AttributeType::String:
        return statement.text(column);
    case AttributeType::Integer16:
    case AttributeType::Integer32:
    case AttributeType::Integer64:
        return statement.int64(column);
    case AttributeType::Decimal: {
        const auto decimal = Decimal::fromString(statement.text(column));
        return decimal ? QVariant::fromValue(*decimal) : QVariant();
    }
    case AttributeType::Double:
        return statement.real(column);
    case AttributeType::Boolean:
        return statement.int64(column) != 0;
    case AttributeType::Date:
        return QDateTime::fromMSecsSinceEpoch(statement.int64(column), Qt::UTC);
    case AttributeType::Binary:
        return statement.blob(column);
    }
    return {};
}

} // namespace Persistence
