#pragma once

#include "SortDescriptor.h"

#include <QList>
#include <QVariant>

#include <functional>

namespace Persistence {

// The order of `count` items under `descriptors`: the item indexes, sorted stably. `valueOf(k, i)`
// answers item i's value for descriptor k and is asked once per item and key, never per comparison.
QList<qsizetype> sortOrder(qsizetype count, const QList<SortDescriptor>& descriptors,
                           const std::function<QVariant(qsizetype key, qsizetype item)>& valueOf);

} // namespace Persistence
