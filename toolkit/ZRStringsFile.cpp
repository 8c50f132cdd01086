#include "ZRStringsFile.h"

#include "ZRStringsFileParser.h"
#include "plist/PropertyList.h"

#include <QFile>
#include <QStringDecoder>

namespace {

bool looksLikeUtf16(const QByteArray& data, QStringConverter::Encoding* encoding)
{
    if (data.size() < 2 || data.size() % 2 != 0) {
        return false;
    }
    // Text of these tables is mostly ASCII, so UTF-16 without a byte-order mark shows a zero byte
    // in every other position; UTF-8 text never holds a zero byte.
    if (data.at(0) == 0 && data.at(1) != 0) {
        *encoding = QStringConverter::Utf16BE;
        return true;
    }
    if (data.at(0) != 0 && data.at(1) == 0) {
        *encoding = QStringConverter::Utf16LE;
        return true;
    }
    return false;
}

std::optional<QString> decodeText(const QByteArray& data, QString* error)
{
    QStringConverter::Encoding encoding = QStringConverter::Utf8;
    if (const std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(data)) {
        encoding = *marked;
    } else if (!looksLikeUtf16(data, &encoding)) {
        encoding = QStringConverter::Utf8;
    }
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(data);
    if (decoder.hasError()) {
        if (error) {
            *error = QStringLiteral("the text is neither UTF-8 nor UTF-16");
        }
        return std::nullopt;
    }
    return text;
}

bool isPropertyListText(const QString& text)
{
    return text.trimmed().startsWith(QLatin1Char('<'));
}

std::optional<QVariantMap> fromPropertyList(const QByteArray& data, QString* error)
{
    const std::optional<QVariant> value = PropertyList::fromData(data, error);
    if (!value) {
        return std::nullopt;
    }
    if (value->metaType().id() != QMetaType::QVariantMap) {
        if (error) {
            *error = QStringLiteral("the property list is not a dictionary");
        }
        return std::nullopt;
    }
    return value->toMap();
}

} // namespace

namespace ZRStringsFile {

std::optional<QVariantMap> fromData(const QByteArray& data, QString* error)
{
    if (data.size() > MaximumSize) {
        if (error) {
            *error = QStringLiteral("the table is larger than %1 bytes").arg(MaximumSize);
        }
        return std::nullopt;
    }
    if (data.startsWith("bplist")) {
        return fromPropertyList(data, error);
    }
    const std::optional<QString> text = decodeText(data, error);
    if (!text) {
        return std::nullopt;
    }
    if (isPropertyListText(*text)) {
        // The XML parser reads UTF-8 only, whatever the file was written in.
        return fromPropertyList(text->toUtf8(), error);
    }
    ZRStringsFileParser parser(*text);
    return parser.parse(error);
}

std::optional<QVariantMap> fromFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) {
            *error = file.errorString();
        }
        return std::nullopt;
    }
    if (file.size() > MaximumSize) {
        if (error) {
            *error = QStringLiteral("the table is larger than %1 bytes").arg(MaximumSize);
        }
        return std::nullopt;
    }
    return fromData(file.read(MaximumSize + 1), error);
}

} // namespace ZRStringsFile
