#include "ObjectID.h"

#include "EntityDescription.h"

#include <atomic>

namespace Persistence {

namespace {

const QString Scheme = QStringLiteral("x-keymoor://");

std::atomic<qint64> nextTemporaryKey {1};

} // namespace

ObjectID ObjectID::temporary(const EntityDescription* entity)
{
    ObjectID id;
    id.m_entity = entity;
    id.m_key = nextTemporaryKey.fetch_add(1);
    id.m_temporary = true;
    return id;
}

ObjectID ObjectID::permanent(const EntityDescription* entity, const QString& storeIdentifier, qint64 key)
{
    ObjectID id;
    id.m_entity = entity;
    id.m_store = storeIdentifier;
    id.m_key = key;
    return id;
}

QString ObjectID::uriString() const
{
    if (!m_entity) {
        return {};
    }
    return Scheme + m_store + u'/' + m_entity->name() + u'/' + (m_temporary ? u't' : u'p') + QString::number(m_key);
}

bool operator==(const ObjectID& a, const ObjectID& b)
{
    if (a.m_temporary != b.m_temporary || a.m_key != b.m_key) {
        return false;
    }
    if (!a.m_entity || !b.m_entity) {
        return a.m_entity == b.m_entity;
    }
    if (a.m_temporary) {
        return true;
    }
    return a.m_entity->root() == b.m_entity->root() && a.m_store == b.m_store;
}

size_t qHash(const ObjectID& id, size_t seed)
{
    return qHashMulti(seed, id.m_key, id.m_temporary, quintptr(id.m_entity ? id.m_entity->root() : nullptr));
}

ObjectURI ObjectURI::parse(const QString& uri)
{
    ObjectURI result;
    if (!uri.startsWith(Scheme)) {
        return result;
    }
    const QStringList parts = uri.mid(Scheme.size()).split(u'/');
    if (parts.size() != 3 || parts[1].isEmpty() || parts[2].size() < 2) {
        return result;
    }
    const QChar kind = parts[2].front();
    if (kind != u'p' && kind != u't') {
        return result;
    }
    bool ok = false;
    result.key = parts[2].mid(1).toLongLong(&ok);
    if (!ok || result.key <= 0) {
        return result;
    }
    result.temporary = kind == u't';
    if (result.temporary != parts[0].isEmpty()) {
        return result;
    }
    result.storeIdentifier = parts[0];
    result.entityName = parts[1];
    result.valid = true;
    return result;
}

} // namespace Persistence
