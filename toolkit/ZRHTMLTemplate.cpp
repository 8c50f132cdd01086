#include "ZRHTMLTemplate.h"

#include "ZRLog.h"

#include <QDebug>
#include <QFile>
#include <QStringDecoder>

#include <optional>

namespace {

std::optional<QString> readUtf8File(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    if (file.size() > ZRHTMLTemplate::MaximumFileSize) {
        *error = QStringLiteral("File larger than %1 bytes").arg(ZRHTMLTemplate::MaximumFileSize);
        return std::nullopt;
    }
    const QByteArray bytes = file.read(ZRHTMLTemplate::MaximumFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return std::nullopt;
    }
    QStringDecoder decoder(QStringConverter::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        *error = QStringLiteral("Not valid UTF-8 text");
        return std::nullopt;
    }
    if (text.isEmpty()) {
        *error = QStringLiteral("Empty file");
        return std::nullopt;
    }
    return text;
}

// The value's own text; null is empty and values without a text are written as Qt's debug output
// shows them.
QString textOf(const QVariant& value)
{
    if (value.isNull()) {
        return {};
    }
    if (value.canConvert<QString>()) {
        return value.toString();
    }
    QString text;
    QDebug(&text).noquote().nospace() << value;
    return text;
}

} // namespace

ZRHTMLTemplate::ZRHTMLTemplate(const QString& htmlTemplate)
    : m_htmlTemplate(htmlTemplate)
{ }

ZRHTMLTemplate ZRHTMLTemplate::initWithContentsOfFile(const QString& path)
{
    QString error;
    const std::optional<QString> text = readUtf8File(path, &error);
    if (!text) {
        ZRLog::write(QStringLiteral("Error reading template file: %1 error:%2").arg(path, error));
        return ZRHTMLTemplate();
    }
    return ZRHTMLTemplate(*text);
}

QString ZRHTMLTemplate::htmlForDictionary(const QVariantMap& dictionary) const
{
    const Qt::CaseSensitivity sensitivity
        = (m_keySearchOptions & CaseInsensitiveSearch) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    QString result = m_htmlTemplate;
    for (auto entry = dictionary.cbegin(); entry != dictionary.cend(); ++entry) {
        const QString placeholder = QLatin1Char('{') + entry.key() + QLatin1Char('}');
        if (result.contains(placeholder, sensitivity)) {
            result.replace(placeholder, textOf(entry.value()), sensitivity);
        }
    }
    return result;
}
