#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QVariant>

#include <optional>
#include <vector>

namespace Persistence {

enum class AttributeType { String, Integer16, Integer32, Integer64, Decimal, Double, Boolean, Date, Binary };

std::optional<AttributeType> attributeTypeFromName(QStringView name);
QString attributeTypeName(AttributeType type);

// What deleting the source object does to the objects at the other end of a relationship.
enum class DeleteRule { Nullify, Cascade, Deny };

class EntityDescription;

struct AttributeDescription
{
    QString name;
    AttributeType type = AttributeType::String;
    QVariant defaultValue; // already of the attribute's value type, or null
    int index = -1; // property index within the owning entity
};

struct RelationshipDescription
{
    QString name;
    QString destinationName;
    const EntityDescription* destination = nullptr;
    bool toMany = false;
    QString inverseName; // empty when the relationship has no inverse
    DeleteRule deleteRule = DeleteRule::Nullify;
    int index = -1; // property index within the owning entity
};

// One entity of an object model. Its properties are numbered: inherited attributes first, then its
// own, then inherited and own relationships; objects keep their values in that order.
class EntityDescription
{
public:
    const QString& name() const { return m_name; }
    const QString& className() const { return m_className; }
    const EntityDescription* parent() const { return m_parent; }
    const EntityDescription* root() const;
    bool isAbstract() const { return m_abstract; }

    const QList<const EntityDescription*>& subentities() const { return m_subentities; }
    // This entity and every entity below it, parents before children.
    QList<const EntityDescription*> selfAndDescendants() const;
    bool isKindOf(const EntityDescription* other) const;

    const std::vector<AttributeDescription>& attributes() const { return m_attributes; }
    const std::vector<RelationshipDescription>& relationships() const { return m_relationships; }
    int propertyCount() const { return int(m_attributes.size() + m_relationships.size()); }

    const AttributeDescription* attribute(const QString& name) const;
    const RelationshipDescription* relationship(const QString& name) const;
    const AttributeDescription* attributeAt(int index) const;
    const RelationshipDescription* relationshipAt(int index) const;
    bool isRelationshipIndex(int index) const { return index >= int(m_attributes.size()); }
    int propertyIndex(const QString& name) const { return m_indexByName.value(name, -1); }

private:
    friend class ObjectModel;

    QString m_name;
    QString m_className;
    QString m_parentName;
    const EntityDescription* m_parent = nullptr;
    bool m_abstract = false;
    QList<const EntityDescription*> m_subentities;
    std::vector<AttributeDescription> m_attributes;
    std::vector<RelationshipDescription> m_relationships;
    QHash<QString, int> m_indexByName;
};

} // namespace Persistence
