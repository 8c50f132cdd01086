#pragma once

// How many products an import added to the catalogue and how many existing ones it updated.
struct ImportCounts
{
    int added = 0;
    int updated = 0;

    ImportCounts& operator+=(const ImportCounts& other)
    {
        added += other.added;
        updated += other.updated;
        return *this;
    }
};
