#include "ImportTally.h"

void ImportTally::add(const ImportCounts& counts)
{
    const std::lock_guard locker(m_mutex);
    m_counts += counts;
}

ImportCounts ImportTally::take()
{
    const std::lock_guard locker(m_mutex);
    const ImportCounts counts = m_counts;
    m_counts = {};
    return counts;
}
