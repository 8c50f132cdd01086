#include "XmlStoreReader.h"

#include "AttributeValue.h"
#include "Decimal.h"
#include "EntityDescription.h"
#include "ObjectModel.h"
#include "plist/PropertyList.h"

#include <QDateTime>
#include <QIODevice>
#include <QLocale>
#include <QXmlStreamWriter>

namespace Persistence {

namespace {

std::optional<QVariant> parseValue(AttributeType type, const QString& text)
{
    bool ok = false;
    switch (type) {
    case AttributeType::String:
        return QVariant(text);
    case AttributeType::Integer16:
    case AttributeType::Integer32:
    case AttributeType::Integer64: {
        const qint64 value = text.trimmed().toLongLong(&ok);
        return ok ? AttributeValue::coerce(type, value) : std::nullopt;
    }
    case AttributeType::Decimal:
        return AttributeValue::coerce(type, text.trimmed());
    case AttributeType::Double: {
        const double value = QLocale::c().toDouble(text.trimmed(), &ok);
        return ok ? std::optional<QVariant>(value) : std::nullopt;
    }
    case AttributeType::Boolean:
        if (text.trimmed() == u"1" || text.trimmed() == u"0") {
            return QVariant(text.trimmed() == u"1");
        }
        return std::nullopt;
    case AttributeType::Date: {
        const QDateTime date = QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
        return date.isValid() ? AttributeValue::coerce(type, date) : std::nullopt;
    }
    case AttributeType::Binary: {
        const auto result
            = QByteArray::fromBase64Encoding(text.trimmed().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        return result ? std::optional<QVariant>(QVariant(*result)) : std::nullopt;
    }
    }
    return std::nullopt;
}

// "Product.12" -> (root name, key)
bool parseRecordID(const QString& text, QString* root, qint64* key)
{
    const qsizetype dot = text.lastIndexOf(u'.');
    bool ok = false;
    *key = dot > 0 ? text.mid(dot + 1).toLongLong(&ok) : 0;
    *root = text.left(dot);
    return ok && *key > 0;
}

} // namespace

XmlStoreReader::XmlStoreReader(QIODevice& device, const QString& path, const ObjectModel* model)
    : m_xml(&device)
    , m_path(path)
    , m_model(model)
{ }

bool XmlStoreReader::fail(StoreError* error, const QString& reason, StoreError::Code code) const
{
    QString where;
    if (m_xml.lineNumber() > 0) {
        where = QStringLiteral(" (line %1)").arg(m_xml.lineNumber());
    }
    const QString description = code == StoreError::Code::NotAStore
        ? QStringLiteral("The file \"%1\" is not a library store.").arg(m_path)
        : QStringLiteral("The store \"%1\" cannot be read.").arg(m_path);
    return setError(error, code, description, reason + where);
}

bool XmlStoreReader::readHeader(StoreError* error)
{
    while (!m_xml.atEnd()) {
        m_xml.readNext();
        if (m_xml.isDTD()) {
            // Only the store's own document type: no declarations, hence no entity expansion.
            if (!m_xml.entityDeclarations().isEmpty() || !m_xml.notationDeclarations().isEmpty()
                || m_xml.dtdName() != u"database") {
                return fail(error, QStringLiteral("unexpected document type"), StoreError::Code::NotAStore);
            }
        } else if (m_xml.isStartElement()) {
            if (m_xml.name() != u"database") {
                return fail(error, QStringLiteral("the document is not a database"), StoreError::Code::NotAStore);
            }
            return true;
        }
    }
    return fail(error, m_xml.hasError() ? m_xml.errorString() : QStringLiteral("no database element"),
                StoreError::Code::NotAStore);
}

bool XmlStoreReader::readInfoElement(StoreInfo* info, QHash<QString, qint64>* nextKeys, StoreError* error)
{
    if (!m_xml.readNextStartElement() || m_xml.name() != u"databaseInfo") {
        return fail(error, QStringLiteral("missing databaseInfo"));
    }
    bool versionOk = false;
    while (m_xml.readNextStartElement()) {
        const auto name = m_xml.name();
        if (name == u"version") {
            info->modelVersion = m_xml.readElementText().toInt(&versionOk);
        } else if (name == u"UUID") {
            info->identifier = m_xml.readElementText().trimmed();
        } else if (name == u"schemaHash") {
            info->schemaHash = m_xml.readElementText().trimmed();
        } else if (name == u"nextKey") {
            const QString entity = m_xml.attributes().value(QStringLiteral("entity")).toString();
            bool ok = false;
            const qint64 key = m_xml.readElementText().toLongLong(&ok);
            if (!ok || key < 1) {
                return fail(error, QStringLiteral("invalid key counter"));
            }
            nextKeys->insert(entity, key);
        } else if (name == u"metadata") {
            QByteArray plist;
            QXmlStreamWriter copy(&plist);
            while (m_xml.readNext() != QXmlStreamReader::EndElement || m_xml.name() != u"metadata") {
                if (m_xml.atEnd() || m_xml.hasError()) {
                    return fail(error, QStringLiteral("unterminated metadata"));
                }
                copy.writeCurrentToken(m_xml);
            }
            QString plistError;
            const auto value = plist.trimmed().isEmpty() ? std::optional<QVariant>(QVariantMap())
                                                         : PropertyList::fromData(plist, &plistError);
            if (!value || value->metaType().id() != QMetaType::QVariantMap) {
                return fail(error, QStringLiteral("invalid metadata: %1").arg(plistError));
            }
            info->metadata = value->toMap();
        } else {
            m_xml.skipCurrentElement();
        }
    }
    if (m_xml.hasError()) {
        return fail(error, m_xml.errorString());
    }
    if (!versionOk || info->identifier.isEmpty()) {
        return fail(error, QStringLiteral("incomplete databaseInfo"));
    }
    return true;
}

std::optional<StoreInfo> XmlStoreReader::readInfo(QIODevice& device, const QString& path, StoreError* error)
{
    XmlStoreReader reader(device, path, nullptr);
    StoreInfo info;
    info.type = StoreType::XML;
    QHash<QString, qint64> nextKeys;
    if (!reader.readHeader(error) || !reader.readInfoElement(&info, &nextKeys, error)) {
        return std::nullopt;
    }
    return info;
}

bool XmlStoreReader::read(QIODevice& device, const QString& path, const ObjectModel& model,
                          const std::function<bool(const StoreInfo&, StoreError*)>& checkModel, XmlStoreData* data,
                          StoreError* error)
{
    XmlStoreReader reader(device, path, &model);
    data->info.type = StoreType::XML;
    QHash<QString, qint64> nextKeys;
    if (!reader.readHeader(error) || !reader.readInfoElement(&data->info, &nextKeys, error)) {
        return false;
    }
    // A document without a schema digest (written by hand or by an old program) is checked
    // record by record instead.
    if (!data->info.schemaHash.isEmpty() && !checkModel(data->info, error)) {
        return false;
    }
    while (reader.m_xml.readNextStartElement()) {
        if (reader.m_xml.name() != u"object") {
            return reader.fail(error, QStringLiteral("unexpected element \"%1\"").arg(reader.m_xml.name()));
        }
        if (!reader.readObject(data, error)) {
            return false;
        }
    }
    if (reader.m_xml.hasError()) {
        return reader.fail(error, reader.m_xml.errorString());
    }
    for (auto it = data->families.cbegin(); it != data->families.cend(); ++it) {
        const qint64 last = it.value().isEmpty() ? 0 : it.value().lastKey();
        data->nextKeys.insert(it.key(), qMax(nextKeys.value(it.key()->name(), 1), last + 1));
    }
    for (const auto& entity : model.entities()) {
        if (!entity->parent() && !data->nextKeys.contains(entity.get())) {
            data->nextKeys.insert(entity.get(), qMax<qint64>(nextKeys.value(entity->name(), 1), 1));
        }
    }
    data->info.schemaHash = model.schemaHash();
    data->info.modelVersion = model.version();
    return reader.checkReferences(*data, error);
}

bool XmlStoreReader::readObject(XmlStoreData* data, StoreError* error)
{
    const QString type = m_xml.attributes().value(QStringLiteral("type")).toString();
    const EntityDescription* entity = m_model->entity(type);
    if (!entity || entity->isAbstract()) {
        return fail(error, QStringLiteral("unknown entity \"%1\"").arg(type), StoreError::Code::ModelMismatch);
    }
    QString root;
    qint64 key = 0;
    if (!parseRecordID(m_xml.attributes().value(QStringLiteral("id")).toString(), &root, &key)
        || root != entity->root()->name()) {
        return fail(error, QStringLiteral("invalid object id"));
    }
    XmlStoreData::Family& family = data->families[entity->root()];
    if (family.contains(key)) {
        return fail(error, QStringLiteral("the object id %1.%2 occurs twice").arg(root).arg(key));
    }
    XmlStoreData::Record record;
    record.entity = entity;
    record.values.resize(entity->propertyCount());
    while (m_xml.readNextStartElement()) {
        const QString name = m_xml.attributes().value(QStringLiteral("name")).toString();
        if (m_xml.name() == u"attribute") {
            const AttributeDescription* attribute = entity->attribute(name);
            if (!attribute) {
                return fail(error, QStringLiteral("%1 has no attribute \"%2\"").arg(type, name),
                            StoreError::Code::ModelMismatch);
            }
            if (!readAttributeValue(*attribute, &record, error)) {
                return false;
            }
        } else if (m_xml.name() == u"relationship") {
            const RelationshipDescription* relationship = entity->relationship(name);
            if (!relationship) {
                return fail(error, QStringLiteral("%1 has no relationship \"%2\"").arg(type, name),
                            StoreError::Code::ModelMismatch);
            }
            const QString idrefs = m_xml.attributes().value(QStringLiteral("idrefs")).toString().trimmed();
            m_xml.skipCurrentElement();
            if (relationship->toMany || idrefs.isEmpty()) {
                continue; // to-many relationships are rebuilt from their inverse
            }
            QString targetRoot;
            qint64 targetKey = 0;
            if (!parseRecordID(idrefs, &targetRoot, &targetKey)
                || targetRoot != relationship->destination->root()->name()) {
                return fail(error, QStringLiteral("invalid reference \"%1\"").arg(idrefs));
            }
            record.values[relationship->index] = targetKey;
        } else {
            m_xml.skipCurrentElement();
        }
    }
    if (m_xml.hasError()) {
        return fail(error, m_xml.errorString());
    }
    family.insert(key, record);
    return true;
}

bool XmlStoreReader::readAttributeValue(const AttributeDescription& attribute, XmlStoreData::Record* record,
                                        StoreError* error)
{
    const QString declared = m_xml.attributes().value(QStringLiteral("type")).toString();
    const bool base64 = m_xml.attributes().value(QStringLiteral("encoding")) == u"base64";
    if (!declared.isEmpty() && declared != attributeTypeName(attribute.type)) {
        return fail(error,
                    QStringLiteral("attribute \"%1\" is stored as %2, the model says %3")
                        .arg(attribute.name, declared, attributeTypeName(attribute.type)),
                    StoreError::Code::ModelMismatch);
    }
    QString text = m_xml.readElementText();
    if (m_xml.hasError()) {
        return fail(error, m_xml.errorString());
    }
    if (base64 && attribute.type == AttributeType::String) {
        const auto bytes
            = QByteArray::fromBase64Encoding(text.trimmed().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!bytes) {
            return fail(error, QStringLiteral("invalid base64 in \"%1\"").arg(attribute.name));
        }
        text = QString::fromUtf8(*bytes);
    }
    const auto value = parseValue(attribute.type, text);
    if (!value) {
        return fail(error, QStringLiteral("invalid value of \"%1\"").arg(attribute.name));
    }
    record->values[attribute.index] = *value;
    return true;
}

bool XmlStoreReader::checkReferences(const XmlStoreData& data, StoreError* error) const
{
    for (auto family = data.families.cbegin(); family != data.families.cend(); ++family) {
        for (auto it = family.value().cbegin(); it != family.value().cend(); ++it) {
            for (const auto& relationship : it.value().entity->relationships()) {
                const QVariant& target = it.value().values[relationship.index];
                if (relationship.toMany || !target.isValid()) {
                    continue;
                }
                const auto targetFamily = data.families.constFind(relationship.destination->root());
                const auto found = targetFamily == data.families.cend() ? XmlStoreData::Family::const_iterator()
                                                                        : targetFamily->constFind(target.toLongLong());
                if (targetFamily == data.families.cend() || found == targetFamily->cend()
                    || !found->entity->isKindOf(relationship.destination)) {
                    return setError(error, StoreError::Code::StoreCorrupt,
                                    QStringLiteral("The store \"%1\" cannot be read.").arg(m_path),
                                    QStringLiteral("%1.%2 refers to a missing object")
                                        .arg(it.value().entity->name(), relationship.name));
                }
            }
        }
    }
    return true;
}

} // namespace Persistence
