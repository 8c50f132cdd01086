#pragma once

#include "EntityDescription.h"
#include "FetchRequest.h"
#include "StoreError.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Persistence {

class ManagedObject;

using ObjectFactory = std::function<std::unique_ptr<ManagedObject>()>;

// An object model: entities with attributes and relationships, and named fetch templates. Loaded
// from a JSON resource; classes are registered by name before the model is shared, and objects of
// entities whose class has no factory are plain ManagedObject instances.
//
// JSON form:
//   { "version": 7,
//     "entities": [ { "name": "Product", "class": "ProductEntity", "parent": "...", "abstract": false,
//                     "attributes": [ { "name": "title", "type": "string", "default": "New Item" } ],
//                     "relationships": [ { "name": "attachedFiles", "destination": "AttachedFile",
//                                          "toMany": true, "inverse": "product", "deleteRule": "cascade" } ] } ],
//     "fetchRequests": [ { "name": "AllCurrencies", "entity": "Currency", "predicate": "..." } ] }
class ObjectModel
{
public:
    static std::unique_ptr<ObjectModel> fromJson(const QByteArray& json, StoreError* error = nullptr);
    static std::unique_ptr<ObjectModel> fromFile(const QString& path, StoreError* error = nullptr);

    ObjectModel(const ObjectModel&) = delete;
    ObjectModel& operator=(const ObjectModel&) = delete;
    ~ObjectModel();

    // The model's own version number ("version" in the resource).
    int version() const { return m_version; }
    // A digest of everything that shapes stored data (entities, attribute types, relationships).
    // Stores remember it and refuse to open with a model of another shape.
    const QString& schemaHash() const { return m_schemaHash; }

    const EntityDescription* entity(const QString& name) const;
    // Entities in the order of the resource.
    const std::vector<std::unique_ptr<EntityDescription>>& entities() const { return m_entities; }
    QStringList entityNames() const;

    // A copy of the named fetch template; nothing for unknown names.
    std::optional<FetchRequest> fetchRequestTemplate(const QString& name) const;

    void registerClass(const QString& className, ObjectFactory factory);
    std::unique_ptr<ManagedObject> instantiate(const EntityDescription* entity) const;

private:
    ObjectModel() = default;
    bool resolve(StoreError* error);
    bool resolveRelationships(StoreError* error);
    void computeSchemaHash();

    int m_version = 0;
    QString m_schemaHash;
    std::vector<std::unique_ptr<EntityDescription>> m_entities;
    QHash<QString, const EntityDescription*> m_byName;
    QHash<QString, FetchRequest> m_templates;
    QHash<const EntityDescription*, ObjectFactory> m_factories; // by entity, from the class names
};

} // namespace Persistence
