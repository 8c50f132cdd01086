#pragma once

#include "ImportCounts.h"

#include <mutex>

// What the imports finished since it was last taken added, updated and failed, summed over every
// kind of import. Imports add from any thread; the command line takes the sum when they are done.
class ImportTally
{
public:
    void add(const ImportCounts& counts);
    // Answers the sum and starts again from nothing.
    ImportCounts take();

private:
    std::mutex m_mutex;
    ImportCounts m_counts;
};
