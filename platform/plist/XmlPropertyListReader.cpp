#include "XmlPropertyListReader.h"

#include "PropertyList.h"

#include <QDateTime>
#include <QStringDecoder>

namespace {

std::optional<qint64> parseInteger(const QString& text)
{
    bool ok = false;
    qint64 value = 0;
    if (text.startsWith(QLatin1Char('-'))) {
        value = text.toLongLong(&ok, 10);
    } else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        // Values above the signed range are kept as their 64-bit pattern, as in the binary format.
        value = qint64(text.mid(2).toULongLong(&ok, 16));
    } else {
        value = qint64(text.toULongLong(&ok, 10));
    }
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

std::optional<QDateTime> parseDate(const QString& text)
{
    QDateTime date = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!date.isValid()) {
        return std::nullopt;
    }
    if (date.timeSpec() == Qt::LocalTime) {
        date.setTimeSpec(Qt::UTC);
    }
    return QDateTime::fromMSecsSinceEpoch(date.toMSecsSinceEpoch(), Qt::UTC);
}

std::optional<QByteArray> parseData(const QString& text)
{
    QByteArray base64 = text.toLatin1();
    base64.removeIf([](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; });
    auto decoded = QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
    return decoded ? std::optional<QByteArray>(*decoded) : std::nullopt;
}

} // namespace

// The bytes are decoded here, as UTF-8 unless a byte-order mark says otherwise, so that an encoding
// named in the XML declaration cannot contradict text that was converted before it reached us.
XmlPropertyListReader::XmlPropertyListReader(const QByteArray& data)
    : m_xml(QStringDecoder(QStringConverter::encodingForData(data).value_or(QStringConverter::Utf8)).decode(data))
{ }

std::optional<QVariant> XmlPropertyListReader::read()
{
    if (!nextElement()) {
        return std::nullopt;
    }
    const bool wrapped = m_xml.isStartElement() && m_xml.name() == QLatin1String("plist");
    if (wrapped && (!nextElement() || m_xml.isEndElement())) {
        return fail(QStringLiteral("it holds no value"));
    }
    std::optional<QVariant> value = readValue(0);
    if (!value || (wrapped && !nextElement())) {
        return std::nullopt;
    }
    if ((wrapped && !m_xml.isEndElement()) || !atDocumentEnd()) {
        return fail(QStringLiteral("it holds more than one value"));
    }
    return value;
}

std::optional<QVariant> XmlPropertyListReader::fail(const QString& message)
{
    if (m_error.isEmpty()) {
        m_error = QStringLiteral("The XML property list is damaged: %1.").arg(message);
    }
    return std::nullopt;
}

// Moves to the next start or end tag; comments, processing instructions and whitespace are skipped.
bool XmlPropertyListReader::nextElement()
{
    while (!m_xml.atEnd()) {
        switch (m_xml.readNext()) {
        case QXmlStreamReader::StartElement:
        case QXmlStreamReader::EndElement:
            return true;
        case QXmlStreamReader::Characters:
            if (!m_xml.isWhitespace()) {
                fail(QStringLiteral("it holds text outside of a value (line %1)").arg(m_xml.lineNumber()));
                return false;
            }
            break;
        default:
            break;
        }
    }
    fail(m_xml.hasError() ? m_xml.errorString() : QStringLiteral("it ends early"));
    return false;
}

bool XmlPropertyListReader::atDocumentEnd()
{
    while (!m_xml.atEnd()) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (token == QXmlStreamReader::StartElement
            || (token == QXmlStreamReader::Characters && !m_xml.isWhitespace())) {
            return false;
        }
    }
    if (m_xml.hasError()) {
        fail(m_xml.errorString());
        return false;
    }
    return true;
}

std::optional<QVariant> XmlPropertyListReader::readValue(int depth)
{
    if (depth > PropertyList::MaximumDepth) {
        return fail(QStringLiteral("it nests deeper than %1 levels").arg(PropertyList::MaximumDepth));
    }
    const QString name = m_xml.name().toString();
    if (name == QLatin1String("dict")) {
        return readDictionary(depth);
    }
    if (name == QLatin1String("array")) {
        return readArray(depth);
    }
    return readScalar(name);
}

std::optional<QVariant> XmlPropertyListReader::readArray(int depth)
{
    QVariantList list;
    while (nextElement()) {
        if (m_xml.isEndElement()) {
            return list;
        }
        std::optional<QVariant> item = readValue(depth + 1);
        if (!item) {
            return std::nullopt;
        }
        list.append(std::move(*item));
    }
    return std::nullopt;
}

std::optional<QVariant> XmlPropertyListReader::readDictionary(int depth)
{
    QVariantMap map;
    while (nextElement()) {
        if (m_xml.isEndElement()) {
            return map;
        }
        if (m_xml.name() != QLatin1String("key")) {
            return fail(QStringLiteral("a dictionary value has no key (line %1)").arg(m_xml.lineNumber()));
        }
        const std::optional<QString> key = readText();
        if (!key || !nextElement()) {
            return std::nullopt;
        }
        if (m_xml.isEndElement()) {
            return fail(QStringLiteral("the key \"%1\" has no value").arg(*key));
        }
        std::optional<QVariant> value = readValue(depth + 1);
        if (!value) {
            return std::nullopt;
        }
        map.insert(*key, std::move(*value));
    }
    return std::nullopt;
}

std::optional<QVariant> XmlPropertyListReader::readScalar(const QString& name)
{
    const qint64 line = m_xml.lineNumber();
    const std::optional<QString> text = readText();
    if (!text) {
        return std::nullopt;
    }
    std::optional<QVariant> value;
    if (name == QLatin1String("string")) {
        value = *text;
    } else if (name == QLatin1String("true") || name == QLatin1String("false")) {
        value = text->trimmed().isEmpty() ? std::optional<QVariant>(name == QLatin1String("true")) : std::nullopt;
    } else if (name == QLatin1String("integer")) {
        const auto number = parseInteger(text->trimmed());
        value = number ? std::optional<QVariant>(*number) : std::nullopt;
    } else if (name == QLatin1String("real")) {
        bool ok = false;
        const double number = text->trimmed().toDouble(&ok);
        value = ok ? std::optional<QVariant>(number) : std::nullopt;
    } else if (name == QLatin1String("date")) {
        const auto date = parseDate(text->trimmed());
        value = date ? std::optional<QVariant>(*date) : std::nullopt;
    } else if (name == QLatin1String("data")) {
        const auto bytes = parseData(*text);
        value = bytes ? std::optional<QVariant>(*bytes) : std::nullopt;
    } else {
        return fail(QStringLiteral("it holds an unknown element <%1> (line %2)").arg(name).arg(line));
    }
    if (!value) {
        return fail(QStringLiteral("the <%1> on line %2 cannot be read").arg(name).arg(line));
    }
    return value;
}

std::optional<QString> XmlPropertyListReader::readText()
{
    QString text = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
    if (m_xml.hasError()) {
        fail(m_xml.errorString());
        return std::nullopt;
    }
    return text;
}
