#pragma once

#include <QList>

#include <utility>
#include <vector>

namespace Persistence {

class ManagedObject;

// An object's loaded to-many lists by property index. Objects have few to-many relationships, so
// a short vector serves where a hash would cost more memory than the lists themselves.
class ToManyLists
{
public:
    using List = QList<ManagedObject*>;

    List& operator[](int index)
    {
        for (auto& [key, list] : m_lists) {
            if (key == index) {
                return list;
            }
        }
        return m_lists.emplace_back(index, List()).second;
    }
    List value(int index) const
    {
        for (const auto& [key, list] : m_lists) {
            if (key == index) {
                return list;
            }
        }
        return {};
    }
    void remove(int index)
    {
        std::erase_if(m_lists, [index](const auto& entry) { return entry.first == index; });
    }
    void clear() { m_lists.clear(); }

private:
    std::vector<std::pair<int, List>> m_lists;
};

} // namespace Persistence
