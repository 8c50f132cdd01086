#pragma once

#include <QString>

namespace Persistence {

// One sort key: a key path, a direction and how strings compare. Null values sort first when
// ascending. Every comparison kind gives a total order, so sorting is stable and repeatable.
struct SortDescriptor
{
    enum class Comparison { Default, CaseInsensitive, Localized, LocalizedCaseInsensitive };

    QString keyPath;
    bool ascending = true;
    Comparison comparison = Comparison::Default;

    SortDescriptor() = default;
    SortDescriptor(QString key, bool ascendingOrder = true, Comparison how = Comparison::Default)
        : keyPath(std::move(key))
        , ascending(ascendingOrder)
        , comparison(how)
    { }
};

} // namespace Persistence
