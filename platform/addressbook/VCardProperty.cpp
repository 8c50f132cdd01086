#include "VCardProperty.h"

#include "text/TextDecoder.h"

#include <QStringDecoder>

namespace {

// Splits at a separator that is not inside double quotes.
QList<QByteArray> splitOutsideQuotes(const QByteArray& text, char separator)
{
    QList<QByteArray> parts;
    QByteArray current;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        }
        if (c == separator && !quoted) {
            parts.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    parts.append(current);
    return parts;
}

qsizetype valueSeparator(const QByteArray& line)
{
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == '"') {
            quoted = !quoted;
        } else if (line.at(i) == ':' && !quoted) {
            return i;
        }
    }
    return -1;
}

QByteArray parameterNameForBareValue(const QByteArray& value)
{
    static const QByteArray encodings[] = {"QUOTED-PRINTABLE", "BASE64", "B", "8BIT", "7BIT"};
    for (const QByteArray& encoding : encodings) {
        if (value == encoding) {
            return QByteArrayLiteral("ENCODING");
        }
    }
    return QByteArrayLiteral("TYPE");
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

QByteArray decodeQuotedPrintable(const QByteArray& encoded)
{
    QByteArray bytes;
    bytes.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        const char c = encoded.at(i);
        if (c == '=' && i + 2 < encoded.size() && hexValue(encoded.at(i + 1)) >= 0
            && hexValue(encoded.at(i + 2)) >= 0) {
            bytes.append(char(hexValue(encoded.at(i + 1)) * 16 + hexValue(encoded.at(i + 2))));
            i += 2;
        } else {
            bytes.append(c); // a stray "=" stands for itself
        }
    }
    return bytes;
}

// Splits at the separator where it is not escaped with a backslash.
QStringList splitUnescaped(const QString& text, QChar separator)
{
    QStringList parts;
    QString current;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('\\') && i + 1 < text.size()) {
            current.append(text.at(i));
            current.append(text.at(++i));
        } else if (text.at(i) == separator) {
            parts.append(current);
            current.clear();
        } else {
            current.append(text.at(i));
        }
    }
    parts.append(current);
    return parts;
}

QString unescape(const QString& text, VCardProperty::Version version)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            result.append(c);
            continue;
        }
        const QChar next = text.at(i + 1);
        const bool escapable = version == VCardProperty::Version::V21
            ? next == QLatin1Char(';') || next == QLatin1Char('\\')
            : QStringLiteral(";,\\nN").contains(next);
        if (!escapable) {
            result.append(c);
            continue;
        }
        result.append(next == QLatin1Char('n') || next == QLatin1Char('N') ? QChar(QLatin1Char('\n')) : next);
        ++i;
    }
    return result;
}

} // namespace

std::optional<VCardProperty> VCardProperty::parse(const QByteArray& line)
{
    const qsizetype colon = valueSeparator(line);
    if (colon <= 0) {
        return std::nullopt;
    }
    const QList<QByteArray> head = splitOutsideQuotes(line.left(colon), ';');
    QByteArray name = head.first().trimmed().toUpper();
    name = name.mid(name.lastIndexOf('.') + 1); // drop the group
    if (name.isEmpty()) {
        return std::nullopt;
    }
    VCardProperty property;
    property.m_name = name;
    property.m_value = line.mid(colon + 1);
    for (qsizetype i = 1; i < head.size(); ++i) {
        const QByteArray parameter = head.at(i).trimmed();
        const qsizetype equals = parameter.indexOf('=');
        QByteArray key = equals < 0 ? parameterNameForBareValue(parameter.toUpper()) : parameter.left(equals).toUpper();
        const QByteArray value = equals < 0 ? parameter : parameter.mid(equals + 1);
        // Version 4.0 may quote a whole list ("home,voice") or each of its values.
        for (QByteArray item : splitOutsideQuotes(value, ',')) {
            item = item.trimmed();
            if (item.size() >= 2 && item.startsWith('"') && item.endsWith('"')) {
                item = item.mid(1, item.size() - 2);
            }
            for (const QByteArray& single : item.split(',')) {
                property.m_parameters.append({key.trimmed(), QString::fromUtf8(single.trimmed()).toLower()});
            }
        }
    }
    return property;
}

bool VCardProperty::isQuotedPrintableLine(const QByteArray& line)
{
    const qsizetype colon = valueSeparator(line);
    return colon > 0 && line.left(colon).toUpper().contains("QUOTED-PRINTABLE");
}

QStringList VCardProperty::parameterValues(const QByteArray& parameter) const
{
    QStringList values;
    for (const auto& [key, value] : m_parameters) {
        if (key == parameter) {
            values.append(value);
        }
    }
    return values;
}

QString VCardProperty::text(Version version) const
{
    return unescape(decodedValue(), version).trimmed();
}

QStringList VCardProperty::components(Version version) const
{
    QStringList components = splitUnescaped(decodedValue(), QLatin1Char(';'));
    for (QString& component : components) {
        // A component may hold several values separated by commas ("Jane,Q."): joined by spaces.
        QStringList values = splitUnescaped(component, QLatin1Char(','));
        for (QString& value : values) {
            value = unescape(value, version).trimmed();
        }
        values.removeAll(QString());
        component = values.join(QLatin1Char(' '));
    }
    return components;
}

QString VCardProperty::decodedValue() const
{
    const bool quotedPrintable = parameterValues("ENCODING").contains(QStringLiteral("quoted-printable"));
    const QByteArray bytes = quotedPrintable ? decodeQuotedPrintable(m_value) : m_value;
    const QStringList charsets = parameterValues("CHARSET");
    if (!charsets.isEmpty()) {
        const TextDecoder decoder(charsets.first().toLatin1());
        if (decoder.isValid()) {
            return decoder.decode(bytes);
        }
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    // Old cards without a character set were written in the system's 8-bit set.
    return TextDecoder::forCodePage(1252).decode(bytes);
}
