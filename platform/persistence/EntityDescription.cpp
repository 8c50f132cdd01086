#include "EntityDescription.h"

namespace Persistence {

namespace {

struct TypeName
{
    AttributeType type;
    const char16_t* name;
};

constexpr TypeName TypeNames[] = {
    {AttributeType::String, u"string"},   {AttributeType::Integer16, u"int16"}, {AttributeType::Integer32, u"int32"},
    {AttributeType::Integer64, u"int64"}, {AttributeType::Decimal, u"decimal"}, {AttributeType::Double, u"double"},
    {AttributeType::Boolean, u"boolean"}, {AttributeType::Date, u"date"},       {AttributeType::Binary, u"binary"},
};

} // namespace

std::optional<AttributeType> attributeTypeFromName(QStringView name)
{
    for (const auto& entry : TypeNames) {
        if (name == QStringView(entry.name)) {
            return entry.type;
        }
    }
    return std::nullopt;
}

QString attributeTypeName(AttributeType type)
{
    for (const auto& entry : TypeNames) {
        if (entry.type == type) {
            return QString::fromUtf16(entry.name);
        }
    }
    return {};
}

const EntityDescription* EntityDescription::root() const
{
    const EntityDescription* entity = this;
    while (entity->m_parent) {
        entity = entity->m_parent;
    }
    return entity;
}

QList<const EntityDescription*> EntityDescription::selfAndDescendants() const
{
    QList<const EntityDescription*> result {this};
    for (qsizetype i = 0; i < result.size(); ++i) {
        result.append(result.at(i)->m_subentities);
    }
    return result;
}

bool EntityDescription::isKindOf(const EntityDescription* other) const
{
    for (const EntityDescription* entity = this; entity; entity = entity->m_parent) {
        if (entity == other) {
            return true;
        }
    }
    return false;
}

const AttributeDescription* EntityDescription::attribute(const QString& name) const
{
    return attributeAt(propertyIndex(name));
}

const RelationshipDescription* EntityDescription::relationship(const QString& name) const
{
    return relationshipAt(propertyIndex(name));
}

const AttributeDescription* EntityDescription::attributeAt(int index) const
{
    if (index < 0 || index >= int(m_attributes.size())) {
        return nullptr;
    }
    return &m_attributes[size_t(index)];
}

const RelationshipDescription* EntityDescription::relationshipAt(int index) const
{
    const int offset = index - int(m_attributes.size());
    if (offset < 0 || offset >= int(m_relationships.size())) {
        return nullptr;
    }
    return &m_relationships[size_t(offset)];
}

} // namespace Persistence
