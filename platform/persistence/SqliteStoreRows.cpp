#include "EntityDescription.h"
#include "ObjectModel.h"
#include "SqliteStore.h"

namespace Persistence {

namespace {

using Kind = RowView::Column::Kind;

Kind kindOf(const AttributeDescription* attribute)
{
    if (!attribute) {
        return Kind::Integer; // a to-one relationship: the target's key
    }
    switch (attribute->type) {
    case AttributeType::String:
    case AttributeType::Decimal:
        return Kind::Text;
    case AttributeType::Double:
        return Kind::Real;
    case AttributeType::Binary:
        return Kind::Bytes;
    default:
        return Kind::Integer;
    }
}

// The property `name` of `entity` or one of its sub-entities.
template<typename Property, typename Find>
const Property* findProperty(const EntityDescription* entity, const QString& name, Find find)
{
    for (const EntityDescription* member : entity->selfAndDescendants()) {
        if (const Property* property = find(member, name)) {
            return property;
        }
    }
    return nullptr;
}

const AttributeDescription* findAttribute(const EntityDescription* entity, const QString& name)
{
    return findProperty<AttributeDescription>(
        entity, name, [](const EntityDescription* e, const QString& n) { return e->attribute(n); });
}

const RelationshipDescription* findToOne(const EntityDescription* entity, const QString& name)
{
    const auto* relationship = findProperty<RelationshipDescription>(
        entity, name, [](const EntityDescription* e, const QString& n) { return e->relationship(n); });
    return relationship && !relationship->toMany ? relationship : nullptr;
}

} // namespace

bool SqliteStore::readRows(const EntityDescription* entity, const RowQuery& query, const QVector<qint64>& keys,
                           const RowCallback& callback, StoreError* error)
{
    const SqliteSchema::Family& family = m_schema.family(entity);
    const auto unknown = [&](const QString& name) {
        return setError(
            error, StoreError::Code::InvalidArgument,
            QStringLiteral("\"%1\" is no attribute or to-one relationship of %2.").arg(name, entity->name()));
    };
    QString select = QStringLiteral("SELECT t.pk, t.ent");
    QString joins;
    QHash<QString, QString> joinAliases; // by relationship
    QVector<int> kinds;
    QVector<const AttributeDescription*> attributes;
    for (const QString& name : query.columns) {
        const qsizetype dot = name.indexOf(u'.');
        if (dot < 0) {
            const AttributeDescription* attribute = findAttribute(entity, name);
            if (!attribute && !findToOne(entity, name)) {
                return unknown(name);
            }
            select += QStringLiteral(", t.") + family.columnByProperty.value(name);
            kinds.append(int(kindOf(attribute)));
            attributes.append(attribute);
            continue;
        }
        const QString relationshipName = name.left(dot);
        const QString attributeName = name.mid(dot + 1);
        const RelationshipDescription* relationship = findToOne(entity, relationshipName);
        const AttributeDescription* attribute
            = relationship ? findAttribute(relationship->destination, attributeName) : nullptr;
        if (!attribute) {
            return unknown(name);
        }
        const SqliteSchema::Family& target = m_schema.family(relationship->destination);
        QString& alias = joinAliases[relationshipName];
        if (alias.isEmpty()) {
            alias = QStringLiteral("j%1").arg(joinAliases.size());
            joins += QStringLiteral(" LEFT JOIN %1 %2 ON %2.pk = t.%3")
                         .arg(target.table, alias, family.columnByProperty.value(relationshipName));
        }
        select += QStringLiteral(", ") + alias + u'.' + target.columnByProperty.value(attributeName);
        kinds.append(int(kindOf(attribute)));
        attributes.append(attribute);
    }
    const QString from = select + QStringLiteral(" FROM ") + family.table + QStringLiteral(" t") + joins;
    const auto read = [&](SqliteStatement& statement) {
        return readRowViews(statement, entity, kinds, attributes, callback, error);
    };
    switch (query.selection) {
    case RowQuery::Selection::All: {
        countQuery();
        SqliteStatement statement = m_db.prepare(from + QStringLiteral(" ORDER BY t.pk"));
        return statement.isValid() ? read(statement)
                                   : sqlFailure(error, QStringLiteral("Reading the store \"%1\" failed.").arg(m_path));
    }
    case RowQuery::Selection::Objects:
        return forEachChunk(from + QStringLiteral(" WHERE t.pk IN "), QStringLiteral(" ORDER BY t.pk"), keys, read,
                            error);
    case RowQuery::Selection::Owners: {
        if (!findToOne(entity, query.ownerRelationship)) {
            return unknown(query.ownerRelationship);
        }
        const QString owner = QStringLiteral("t.") + family.columnByProperty.value(query.ownerRelationship);
        return forEachChunk(from + QStringLiteral(" WHERE ") + owner + QStringLiteral(" IN "),
                            QStringLiteral(" ORDER BY ") + owner + QStringLiteral(", t.pk"), keys, read, error);
    }
    }
    return false;
}

bool SqliteStore::readRowViews(SqliteStatement& statement, const EntityDescription* entity, const QVector<int>& kinds,
                               const QVector<const AttributeDescription*>& attributes, const RowCallback& callback,
                               StoreError* error) const
{
    const int count = int(kinds.size());
    QVector<RowView::Column> columns(count);
    EntityRun run;
    while (statement.next()) {
        if (!followEntityRun(statement, entity, &run, error)) {
            return false;
        }
        if (!run.entity->isKindOf(entity)) {
            continue; // a row of a related entity of the same family
        }
        for (int i = 0; i < count; ++i) {
            RowView::Column& column = columns[i];
            const int at = i + 2;
            if (statement.isNull(at)) {
                column.kind = Kind::Null;
                column.size = 0;
                continue;
            }
            column.kind = Kind(kinds[i]);
            switch (column.kind) {
            case Kind::Integer:
                column.integer = statement.int64(at);
                break;
            case Kind::Real:
                column.real = statement.real(at);
                break;
            case Kind::Text: {
                const QByteArrayView text = statement.utf8(at);
                column.data = text.data();
                column.size = text.size();
                break;
            }
            case Kind::Bytes: {
                const QByteArrayView bytes = statement.bytes(at);
                column.data = bytes.data();
                column.size = bytes.size();
                break;
            }
            case Kind::Null:
                break;
            }
        }
        callback(
            RowView(run.entity, statement.int64(0), &m_identifier, columns.constData(), attributes.constData(), count));
    }
    return statement.succeeded() || sqlFailure(error, QStringLiteral("Reading the store \"%1\" failed.").arg(m_path));
}

} // namespace Persistence
