#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QXmlStreamReader>

#include <optional>

// Reads an XML property list into Qt values, with the mapping of PropertyList.h.
//
// The document is one value, usually wrapped in a <plist> element: <dict> (alternating <key> and
// value elements), <array>, <string>, <integer> (decimal or 0x-hexadecimal), <real>, <date> (ISO 8601,
// UTC unless an offset is given), <data> (Base64, whitespace allowed), <true/> and <false/>.
// Anything else (unknown elements, a key without a value, text between elements, more than one
// value, nesting deeper than PropertyList::MaximumDepth, malformed XML) is refused.
class XmlPropertyListReader
{
public:
    explicit XmlPropertyListReader(const QByteArray& data);

    // The value of the document, or std::nullopt with errorString() telling why not.
    std::optional<QVariant> read();
    QString errorString() const { return m_error; }

private:
    std::optional<QVariant> fail(const QString& message);
    bool nextElement();
    bool atDocumentEnd();
    std::optional<QVariant> readValue(int depth);
    std::optional<QVariant> readArray(int depth);
    std::optional<QVariant> readDictionary(int depth);
    std::optional<QVariant> readScalar(const QString& name);
    std::optional<QString> readText();

    QXmlStreamReader m_xml;
    QString m_error;
};
