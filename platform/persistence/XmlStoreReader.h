#pragma once

#include "StoreError.h"
#include "XmlStoreData.h"

#include <QXmlStreamReader>

#include <functional>
#include <memory>

class QIODevice;

namespace Persistence {

class ObjectModel;
struct AttributeDescription;

// Reads an XML store document (see XmlStoreWriter). Refuses documents without the store's
// document type, with entity declarations, of a model of another shape, or naming entities and
// attributes the model lacks; every record and reference is checked before anything is used.
class XmlStoreReader
{
public:
    // Reads only the document's description (stops after <databaseInfo>).
    static std::optional<StoreInfo> readInfo(QIODevice& device, const QString& path, StoreError* error);
    // Reads everything; `checkModel` decides whether the described model may be read with ours.
    static bool read(QIODevice& device, const QString& path, const ObjectModel& model,
                     const std::function<bool(const StoreInfo&, StoreError*)>& checkModel, XmlStoreData* data,
                     StoreError* error);

private:
    XmlStoreReader(QIODevice& device, const QString& path, const ObjectModel* model);

    bool readHeader(StoreError* error);
    bool readInfoElement(StoreInfo* info, QHash<QString, qint64>* nextKeys, StoreError* error);
    bool readObject(XmlStoreData* data, StoreError* error);
    bool readAttributeValue(const AttributeDescription& attribute, XmlStoreData::Record* record, StoreError* error);
    bool checkReferences(const XmlStoreData& data, StoreError* error) const;
    bool fail(StoreError* error, const QString& reason, StoreError::Code code = StoreError::Code::StoreCorrupt) const;

    QXmlStreamReader m_xml;
    QString m_path;
    const ObjectModel* m_model;
};

} // namespace Persistence
