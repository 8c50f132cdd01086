#include "XmlStoreWriter.h"

#include "Decimal.h"
#include "EntityDescription.h"
#include "ObjectModel.h"
#include "plist/PropertyList.h"

#include <QDateTime>
#include <QIODevice>
#include <QXmlStreamWriter>

namespace Persistence {

namespace {

bool isExactInXml(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x20 && c != u'\t' && c != u'\n') {
            return false; // other control characters are not allowed; '\r' would be read back as '\n'
        }
        if (c == 0xFFFE || c == 0xFFFF) {
            return false;
        }
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate()) {
                return false;
            }
            ++i;
        } else if (QChar::isLowSurrogate(c)) {
            return false;
        }
    }
    return true;
}

QString formatValue(AttributeType type, const QVariant& value)
{
    switch (type) {
    case AttributeType::Integer16:
    case AttributeType::Integer32:
    case AttributeType::Integer64:
        return QString::number(value.toLongLong());
    case AttributeType::Decimal:
        return value.value<Decimal>().toString();
    case AttributeType::Double:
        return QString::number(value.toDouble(), 'g', 17);
    case AttributeType::Boolean:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case AttributeType::Date:
        return value.toDateTime().toUTC().toString(Qt::ISODateWithMs);
    default:
        return value.toString();
    }
}

void writeAttribute(QXmlStreamWriter& xml, const AttributeDescription& attribute, const QVariant& value)
{
    xml.writeStartElement(QStringLiteral("attribute"));
    xml.writeAttribute(QStringLiteral("name"), attribute.name);
    xml.writeAttribute(QStringLiteral("type"), attributeTypeName(attribute.type));
    if (attribute.type == AttributeType::Binary) {
        xml.writeCharacters(QString::fromLatin1(value.toByteArray().toBase64()));
    } else if (attribute.type == AttributeType::String && !isExactInXml(value.toString())) {
        xml.writeAttribute(QStringLiteral("encoding"), QStringLiteral("base64"));
        xml.writeCharacters(QString::fromLatin1(value.toString().toUtf8().toBase64()));
    } else {
        xml.writeCharacters(formatValue(attribute.type, value));
    }
    xml.writeEndElement();
}

void writeInfo(QXmlStreamWriter& xml, const XmlStoreData& data, const ObjectModel& model, const QByteArray& plist)
{
    xml.writeStartElement(QStringLiteral("databaseInfo"));
    xml.writeTextElement(QStringLiteral("version"), QString::number(data.info.modelVersion));
    xml.writeTextElement(QStringLiteral("UUID"), data.info.identifier);
    xml.writeTextElement(QStringLiteral("schemaHash"), data.info.schemaHash);
    for (const auto& entity : model.entities()) {
        if (!entity->parent()) {
            xml.writeStartElement(QStringLiteral("nextKey"));
            xml.writeAttribute(QStringLiteral("entity"), entity->name());
            xml.writeCharacters(QString::number(data.nextKeys.value(entity.get(), 1)));
            xml.writeEndElement();
        }
    }
    xml.writeStartElement(QStringLiteral("metadata"));
    // The property list goes in as elements; its own declaration and document type stay out.
    QXmlStreamReader reader(plist);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartDocument() || reader.isDTD() || reader.isEndDocument() || reader.isComment()) {
            continue;
        }
        if (reader.isWhitespace()) {
            continue;
        }
        xml.writeCurrentToken(reader);
    }
    xml.writeEndElement();
    xml.writeEndElement();
}

} // namespace

QString XmlStoreWriter::recordID(const EntityDescription* entity, qint64 key)
{
    return entity->root()->name() + u'.' + QString::number(key);
}

bool XmlStoreWriter::write(const XmlStoreData& data, const ObjectModel& model, QIODevice& device, QString* error)
{
    const QByteArray plist = PropertyList::toData(data.info.metadata, PropertyList::Format::Xml);
    if (plist.isEmpty()) {
        if (error) {
            *error = QStringLiteral("the store metadata holds values that cannot be stored");
        }
        return false;
    }
    QXmlStreamWriter xml(&device);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeDTD(QString::fromLatin1(XmlStoreDocumentType));
    xml.writeStartElement(QStringLiteral("database"));
    writeInfo(xml, data, model, plist);
    for (const auto& entity : model.entities()) {
        if (entity->parent()) {
            continue;
        }
        const XmlStoreData::Family family = data.families.value(entity.get());
        for (auto it = family.cbegin(); it != family.cend(); ++it) {
            const XmlStoreData::Record& record = it.value();
            xml.writeStartElement(QStringLiteral("object"));
            xml.writeAttribute(QStringLiteral("type"), record.entity->name());
            xml.writeAttribute(QStringLiteral("id"), recordID(record.entity, it.key()));
            for (const auto& attribute : record.entity->attributes()) {
                const QVariant& value = record.values[attribute.index];
                if (value.isValid() && !value.isNull()) {
                    writeAttribute(xml, attribute, value);
                }
            }
            for (const auto& relationship : record.entity->relationships()) {
                const QVariant& value = record.values[relationship.index];
                if (relationship.toMany || !value.isValid() || value.isNull()) {
                    continue;
                }
                xml.writeStartElement(QStringLiteral("relationship"));
                xml.writeAttribute(QStringLiteral("name"), relationship.name);
                xml.writeAttribute(QStringLiteral("type"), QStringLiteral("1/1"));
                xml.writeAttribute(QStringLiteral("destination"), relationship.destinationName);
                xml.writeAttribute(QStringLiteral("idrefs"), recordID(relationship.destination, value.toLongLong()));
                xml.writeEndElement();
            }
            xml.writeEndElement();
        }
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    if (xml.hasError() && error) {
        *error = device.errorString();
    }
    return !xml.hasError();
}

} // namespace Persistence
