#pragma once

#include "Predicate.h"
#include "SortDescriptor.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace Persistence {

// What to fetch: objects of one entity (and, unless turned off, of its sub-entities) that match
// the predicate, in the order of the sort descriptors. Without sort descriptors the order is the
// store's; a limit of 0 means no limit.
// relationshipKeyPathsForPrefetching names relationships of the fetched entity ("attachments",
// "icon", or dotted paths such as "attachments.file") whose targets are loaded together with the
// result, one query per relationship instead of one per object.
struct FetchRequest
{
    QString entityName;
    Predicate predicate;
    QList<SortDescriptor> sortDescriptors;
    bool includesSubentities = true;
    int fetchLimit = 0;
    QStringList relationshipKeyPathsForPrefetching;

    FetchRequest() = default;
    explicit FetchRequest(QString entity, Predicate filter = Predicate(), QList<SortDescriptor> sort = {})
        : entityName(std::move(entity))
        , predicate(std::move(filter))
        , sortDescriptors(std::move(sort))
    { }
};

} // namespace Persistence
