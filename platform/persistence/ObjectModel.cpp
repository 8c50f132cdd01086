#include "ObjectModel.h"

#include "AttributeValue.h"
#include "ManagedObject.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace Persistence {

namespace {

// Model resources are small; anything larger is not one.
constexpr qint64 MaximumModelSize = 4 * 1024 * 1024;

bool modelError(StoreError* error, const QString& reason)
{
    return setError(error, StoreError::Code::ModelInvalid, QStringLiteral("The object model is invalid."), reason);
}

// Names end up in SQL and XML, so they are plain identifiers.
bool isValidName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,63}$"));
    return pattern.match(name).hasMatch();
}

std::optional<DeleteRule> deleteRuleFromName(const QString& name)
{
    if (name.isEmpty() || name == u"nullify") {
        return DeleteRule::Nullify;
    }
    if (name == u"cascade") {
        return DeleteRule::Cascade;
    }
    if (name == u"deny") {
        return DeleteRule::Deny;
    }
    return std::nullopt;
}

std::optional<QVariant> defaultFromJson(AttributeType type, const QJsonValue& json)
{
    if (json.isUndefined() || json.isNull()) {
        return QVariant();
    }
    if (type == AttributeType::Date) {
        const QDateTime date = QDateTime::fromString(json.toString(), Qt::ISODateWithMs);
        return date.isValid() ? AttributeValue::coerce(type, date) : std::nullopt;
    }
    if (type == AttributeType::Binary) {
        return std::nullopt;
    }
    return AttributeValue::coerce(type, json.toVariant());
}

} // namespace

ObjectModel::~ObjectModel() = default;

std::unique_ptr<ObjectModel> ObjectModel::fromFile(const QString& path, StoreError* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, StoreError::Code::FileNotFound,
                 QStringLiteral("The object model \"%1\" cannot be read.").arg(path), file.errorString());
        return nullptr;
    }
    if (file.size() > MaximumModelSize) {
        modelError(error, QStringLiteral("\"%1\" is too large for an object model").arg(path));
        return nullptr;
    }
    return fromJson(file.readAll(), error);
}

std::unique_ptr<ObjectModel> ObjectModel::fromJson(const QByteArray& json, StoreError* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        modelError(error,
                   parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                                : QStringLiteral("not a JSON object"));
        return nullptr;
    }
    const QJsonObject root = document.object();
    std::unique_ptr<ObjectModel> model(new ObjectModel);
    model->m_version = root.value(u"version").toInt(-1);
    if (model->m_version < 0) {
        modelError(error, QStringLiteral("missing \"version\""));
        return nullptr;
    }
    for (const QJsonValue& entityValue : root.value(u"entities").toArray()) {
        const QJsonObject object = entityValue.toObject();
        auto entity = std::make_unique<EntityDescription>();
        entity->m_name = object.value(u"name").toString();
        entity->m_className = object.value(u"class").toString();
        entity->m_parentName = object.value(u"parent").toString();
        entity->m_abstract = object.value(u"abstract").toBool();
        if (!isValidName(entity->m_name) || model->m_byName.contains(entity->m_name)) {
            modelError(error, QStringLiteral("invalid or repeated entity name \"%1\"").arg(entity->m_name));
            return nullptr;
        }
        for (const QJsonValue& value : object.value(u"attributes").toArray()) {
            const QJsonObject attribute = value.toObject();
            AttributeDescription description;
            description.name = attribute.value(u"name").toString();
            const auto type = attributeTypeFromName(attribute.value(u"type").toString());
            const auto defaultValue = type ? defaultFromJson(*type, attribute.value(u"default")) : std::nullopt;
            if (!isValidName(description.name) || !type || !defaultValue) {
                modelError(error,
                           QStringLiteral("invalid attribute \"%1\" of \"%2\"").arg(description.name, entity->m_name));
                return nullptr;
            }
            description.type = *type;
            description.defaultValue = *defaultValue;
            entity->m_attributes.push_back(description);
        }
        for (const QJsonValue& value : object.value(u"relationships").toArray()) {
            const QJsonObject relationship = value.toObject();
            RelationshipDescription description;
            description.name = relationship.value(u"name").toString();
            description.toMany = relationship.value(u"toMany").toBool();
            description.inverseName = relationship.value(u"inverse").toString();
            const auto rule = deleteRuleFromName(relationship.value(u"deleteRule").toString());
            if (!isValidName(description.name) || !rule) {
                modelError(
                    error,
                    QStringLiteral("invalid relationship \"%1\" of \"%2\"").arg(description.name, entity->m_name));
                return nullptr;
            }
            description.deleteRule = *rule;
            description.destinationName = relationship.value(u"destination").toString();
            entity->m_relationships.push_back(description);
        }
        model->m_byName.insert(entity->m_name, entity.get());
        model->m_entities.push_back(std::move(entity));
    }
    if (model->m_entities.empty()) {
        modelError(error, QStringLiteral("no entities"));
        return nullptr;
    }
    if (!model->resolve(error)) {
        return nullptr;
    }
    for (const QJsonValue& value : root.value(u"fetchRequests").toArray()) {
        const QJsonObject object = value.toObject();
        const QString name = object.value(u"name").toString();
        FetchRequest request(object.value(u"entity").toString());
        QString parseError;
        if (object.contains(u"predicate")) {
            const auto predicate = Predicate::fromFormat(object.value(u"predicate").toString(), {}, &parseError);
            if (!predicate) {
                modelError(error, parseError);
                return nullptr;
            }
            request.predicate = *predicate;
        }
        if (name.isEmpty() || !model->entity(request.entityName)) {
            modelError(error, QStringLiteral("invalid fetch request \"%1\"").arg(name));
            return nullptr;
        }
        model->m_templates.insert(name, request);
    }
    model->computeSchemaHash();
    return model;
}

bool ObjectModel::resolve(StoreError* error)
{
    for (const auto& entity : m_entities) {
        if (entity->m_parentName.isEmpty()) {
            continue;
        }
        auto* parent = const_cast<EntityDescription*>(this->entity(entity->m_parentName));
        if (!parent || parent == entity.get()) {
            return modelError(
                error, QStringLiteral("unknown parent \"%1\" of \"%2\"").arg(entity->m_parentName, entity->m_name));
        }
        entity->m_parent = parent;
        parent->m_subentities.append(entity.get());
    }
    // Parents first, so inherited properties can be copied from a finished parent. A cycle leaves
    // some entity unfinished.
    QList<EntityDescription*> ordered;
    for (const auto& entity : m_entities) {
        if (!entity->m_parent) {
            ordered.append(entity.get());
        }
    }
    for (qsizetype i = 0; i < ordered.size(); ++i) {
        for (const EntityDescription* child : ordered[i]->m_subentities) {
            ordered.append(const_cast<EntityDescription*>(child));
        }
    }
    if (ordered.size() != qsizetype(m_entities.size())) {
        return modelError(error, QStringLiteral("the entity inheritance has a cycle"));
    }
    for (EntityDescription* entity : ordered) {
        if (const EntityDescription* parent = entity->m_parent) {
            entity->m_attributes.insert(entity->m_attributes.begin(), parent->m_attributes.begin(),
                                        parent->m_attributes.end());
            entity->m_relationships.insert(entity->m_relationships.begin(), parent->m_relationships.begin(),
                                           parent->m_relationships.end());
        }
        int index = 0;
        for (auto& attribute : entity->m_attributes) {
            attribute.index = index;
            entity->m_indexByName.insert(attribute.name, index++);
        }
        for (auto& relationship : entity->m_relationships) {
            relationship.index = index;
            entity->m_indexByName.insert(relationship.name, index++);
        }
        if (entity->m_indexByName.size() != entity->propertyCount()) {
            return modelError(error, QStringLiteral("\"%1\" has two properties of one name").arg(entity->m_name));
        }
    }
    // An entity family shares one table: a name must mean the same property everywhere in it.
    for (const auto& entity : m_entities) {
        for (const EntityDescription* other : entity->root()->selfAndDescendants()) {
            for (const auto& attribute : entity->m_attributes) {
                const AttributeDescription* same = other->attribute(attribute.name);
                if ((same && same->type != attribute.type) || (!same && other->relationship(attribute.name))) {
                    return modelError(error,
                                      QStringLiteral("\"%1\" means different things in \"%2\" and \"%3\"")
                                          .arg(attribute.name, entity->m_name, other->name()));
                }
            }
        }
    }
    return resolveRelationships(error);
}

bool ObjectModel::resolveRelationships(StoreError* error)
{
    for (const auto& entity : m_entities) {
        for (auto& relationship : entity->m_relationships) {
            relationship.destination = this->entity(relationship.destinationName);
            if (!relationship.destination) {
                return modelError(error,
                                  QStringLiteral("unknown destination \"%1\" of %2.%3")
                                      .arg(relationship.destinationName, entity->m_name, relationship.name));
            }
        }
    }
    for (const auto& entity : m_entities) {
        for (const auto& relationship : entity->m_relationships) {
            const QString where = entity->m_name + u'.' + relationship.name;
            if (relationship.inverseName.isEmpty()) {
                // A to-many is kept as the foreign keys of its inverse, so it needs one.
                if (relationship.toMany) {
                    return modelError(error, QStringLiteral("to-many %1 has no inverse").arg(where));
                }
                continue;
            }
            const RelationshipDescription* inverse = relationship.destination->relationship(relationship.inverseName);
            if (!inverse || inverse->inverseName != relationship.name || !entity->isKindOf(inverse->destination)
                || (relationship.toMany && inverse->toMany)) {
                return modelError(
                    error,
                    QStringLiteral("%1 and its inverse \"%2\" do not match").arg(where, relationship.inverseName));
            }
        }
    }
    return true;
}

void ObjectModel::computeSchemaHash()
{
    QStringList lines;
    for (const auto& entity : m_entities) {
        lines.append(QStringLiteral("E %1 < %2").arg(entity->m_name, entity->m_parentName));
        for (const auto& attribute : entity->m_attributes) {
            lines.append(QStringLiteral(" A %1 %2").arg(attribute.name, attributeTypeName(attribute.type)));
        }
        for (const auto& relationship : entity->m_relationships) {
            lines.append(QStringLiteral(" R %1 %2 %3 %4")
                             .arg(relationship.name, relationship.destinationName,
                                  relationship.toMany ? QStringLiteral("*") : QStringLiteral("1"),
                                  relationship.inverseName));
        }
    }
    m_schemaHash
        = QString::fromLatin1(QCryptographicHash::hash(lines.join(u'\n').toUtf8(), QCryptographicHash::Sha256).toHex());
}

const EntityDescription* ObjectModel::entity(const QString& name) const
{
    return m_byName.value(name);
}

QStringList ObjectModel::entityNames() const
{
    QStringList names;
    for (const auto& entity : m_entities) {
        names.append(entity->m_name);
    }
    return names;
}

std::optional<FetchRequest> ObjectModel::fetchRequestTemplate(const QString& name) const
{
    const auto it = m_templates.constFind(name);
    if (it == m_templates.constEnd()) {
        return std::nullopt;
    }
    return *it;
}

void ObjectModel::registerClass(const QString& className, ObjectFactory factory)
{
    for (const auto& entity : m_entities) {
        if (entity->className() == className) {
            m_factories.insert(entity.get(), factory);
        }
    }
}

std::unique_ptr<ManagedObject> ObjectModel::instantiate(const EntityDescription* entity) const
{
    const auto it = m_factories.constFind(entity);
    if (it != m_factories.constEnd() && *it) {
        if (auto object = (*it)()) {
            return object;
        }
    }
    return std::make_unique<ManagedObject>();
}

} // namespace Persistence
