#pragma once

#include <QHashFunctions>
#include <QMetaType>
#include <QString>

namespace Persistence {

class EntityDescription;

// The store-wide identity of one object. New objects carry a temporary identifier until their
// first save, then a permanent one that names the store and the row:
//     x-keymoor://<store UUID>/<Entity>/p<N>        (temporary: x-keymoor:///<Entity>/t<N>)
// A permanent identifier is valid in every context over a coordinator that has the store, and is
// what threads hand to each other instead of objects.
class ObjectID
{
public:
    ObjectID() = default;
    static ObjectID temporary(const EntityDescription* entity);
    static ObjectID permanent(const EntityDescription* entity, const QString& storeIdentifier, qint64 key);

    bool isNull() const { return m_entity == nullptr; }
    bool isTemporary() const { return m_temporary; }
    const EntityDescription* entity() const { return m_entity; }
    const QString& storeIdentifier() const { return m_store; }
    qint64 key() const { return m_key; }

    QString uriString() const;

    // Identity: temporary identifiers by their number; permanent ones by store, entity family (the
    // root entity, whose table holds the row) and key.
    friend bool operator==(const ObjectID& a, const ObjectID& b);
    friend bool operator!=(const ObjectID& a, const ObjectID& b) { return !(a == b); }
    friend size_t qHash(const ObjectID& id, size_t seed);

private:
    const EntityDescription* m_entity = nullptr;
    QString m_store;
    qint64 m_key = 0;
    bool m_temporary = false;
};

// The parts of an identifier URI; `valid` is false for text that is not one.
struct ObjectURI
{
    bool valid = false;
    bool temporary = false;
    QString storeIdentifier;
    QString entityName;
    qint64 key = 0;

    static ObjectURI parse(const QString& uri);
};

size_t qHash(const ObjectID& id, size_t seed = 0);

} // namespace Persistence

Q_DECLARE_METATYPE(Persistence::ObjectID)
