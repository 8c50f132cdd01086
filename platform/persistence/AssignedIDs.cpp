#include "AssignedIDs.h"

namespace Persistence {

void AssignedIDs::reserve(qsizetype count)
{
    m_temporaryKeys.reserve(count);
    m_permanent.reserve(count);
}

void AssignedIDs::append(const ObjectID& temporary, const ObjectID& permanent)
{
    m_temporaryKeys.append(temporary.key());
    m_permanent.append(permanent);
    m_positionByKey.clear();
}

void AssignedIDs::clear()
{
    m_temporaryKeys.clear();
    m_permanent.clear();
    m_positionByKey.clear();
}

ObjectID AssignedIDs::at(qsizetype position) const
{
    return position >= 0 && position < m_permanent.size() ? m_permanent.at(position) : ObjectID();
}

ObjectID AssignedIDs::value(const ObjectID& temporary) const
{
    if (!temporary.isTemporary()) {
        return {};
    }
    // Temporary identifiers are told apart by their number alone.
    if (m_positionByKey.isEmpty()) {
        m_positionByKey.reserve(m_temporaryKeys.size());
        for (qsizetype i = 0; i < m_temporaryKeys.size(); ++i) {
            m_positionByKey.insert(m_temporaryKeys.at(i), i);
        }
    }
    const auto it = m_positionByKey.constFind(temporary.key());
    return it == m_positionByKey.cend() ? ObjectID() : m_permanent.at(it.value());
}

} // namespace Persistence
