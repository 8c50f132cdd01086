#pragma once

#include "PersistentStore.h"

#include <QHash>
#include <QMap>
#include <QVariant>
#include <QVector>

namespace Persistence {

class EntityDescription;

// The whole content of an XML store, held in memory: records by entity family and key. Record
// values are by property index of the record's entity; to-one relationships hold the target's key
// (qint64) or null, to-many relationships nothing.
struct XmlStoreData
{
    struct Record
    {
        const EntityDescription* entity = nullptr;
        QVector<QVariant> values;
    };
    using Family = QMap<qint64, Record>;

    StoreInfo info;
    QHash<const EntityDescription*, Family> families; // by root entity
    QHash<const EntityDescription*, qint64> nextKeys; // by root entity
};

// The document type line every XML store file starts with (after the XML declaration).
inline constexpr char XmlStoreDocumentType[]
    = "<!DOCTYPE database SYSTEM \"file:///System/Library/DTDs/CoreData.dtd\">";

} // namespace Persistence
