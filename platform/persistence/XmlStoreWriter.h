#pragma once

#include "XmlStoreData.h"

class QIODevice;

namespace Persistence {

class ObjectModel;

// Writes an XML store document:
//   <database>
//     <databaseInfo> <version/> <UUID/> <schemaHash/> <nextKey entity=""/>... <metadata><plist>…</plist></metadata>
//     <object type="Product" id="Product.1">
//       <attribute name="title" type="string">…</attribute>
//       <relationship name="appIcon" type="1/1" destination="Icon" idrefs="Icon.3"/>
// Strings that XML cannot carry exactly (control characters, carriage returns) are written in
// base64 with encoding="base64"; binary values always are.
class XmlStoreWriter
{
public:
    static bool write(const XmlStoreData& data, const ObjectModel& model, QIODevice& device, QString* error);

    static QString recordID(const EntityDescription* entity, qint64 key);
};

} // namespace Persistence
