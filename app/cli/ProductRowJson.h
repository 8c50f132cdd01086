#pragma once

#include "persistence/ObjectID.h"
#include "persistence/StoreError.h"

#include <QVector>

class QTextStream;

namespace Persistence {
class ObjectContext;
}

// Writes products as the array of ProductJson objects straight from the stored rows: the products
// of a batch in one read, their attached files (with their contents' names) in another, and the
// text from SQLite copied into the JSON without objects or QVariants in between. The text is the
// same as ProductJson::writeBatches() writes; the few products holding what only the model reads
// (notes of older versions, icons outside the icons folder) are written from their objects.
class ProductRowJson
{
public:
    // Whether the context's stores can be read this way and it holds no unsaved changes.
    static bool canWrite(const Persistence::ObjectContext* context);
    // Writes the products of `order` in that order; false with `error` when a read fails.
    static bool writeList(Persistence::ObjectContext* context, const QVector<Persistence::ObjectID>& order,
                          QTextStream& out, Persistence::StoreError* error);
};
