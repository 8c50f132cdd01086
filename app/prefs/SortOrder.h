#pragma once

#include <QList>
#include <QString>

// How a list is ordered: entries of (attribute key, direction, comparison). The preferences keep
// only the first entry of a list.
enum class SortComparison {
    Natural, // the values' own order (numbers, dates)
    CaseInsensitiveText, // text compared ignoring case
};

struct SortOrderEntry
{
    QString key;
    bool ascending = true;
    SortComparison comparison = SortComparison::Natural;

    friend bool operator==(const SortOrderEntry&, const SortOrderEntry&) = default;
};

using SortOrder = QList<SortOrderEntry>;
