#pragma once

// How many products an import added to the catalogue and how many existing ones it updated; and,
// summed over several imports, how many of them failed (reported an error or an alert).
struct ImportCounts
{
    int added = 0;
    int updated = 0;
    int failed = 0;

    ImportCounts& operator+=(const ImportCounts& other)
    {
        added += other.added;
        updated += other.updated;
        failed += other.failed;
        return *this;
    }
};
