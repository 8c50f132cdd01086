#include "ZREmail.h"

#include "MailTextTools.h"
#include "ZREmailDateParser.h"
#include "ZREmailParser.h"
#include "ZRTextScanner.h"
#include "base/KMRegex.h"
#include "base/Log.h"

#include <algorithm>
#include <utility>

namespace {

bool containsIgnoringCase(const QString& text, const char* word)
{
    return text.contains(QLatin1String(word), Qt::CaseInsensitive);
}

// The media type of a Content-Type value, without its parameters: words such as "html" or "plain"
// in a boundary or a file name say nothing about the content.
QString mediaTypeOf(const std::optional<QString>& contentType)
{
    if (!contentType) {
        return {};
    }
    return contentType->section(QLatin1Char(';'), 0, 0).trimmed();
}

bool mediaTypeContains(const ZREmail& email, const char* word)
{
    return containsIgnoringCase(mediaTypeOf(email.contentType()), word);
}

// The value of the "charset" parameter of an (unfolded) Content-Type value, or an empty text.
QString charsetParameter(const QString& contentType)
{
    const qsizetype at = contentType.indexOf(QLatin1String("charset="), 0, Qt::CaseInsensitive);
    if (at < 0) {
        return {};
    }
    QString value = contentType.mid(at + 8).section(QLatin1Char(';'), 0, 0).trimmed();
    value.remove(QLatin1Char('"'));
    return value.section(QLatin1Char(' '), 0, 0);
}

} // namespace

ZREmail::ZREmail(QString rawSource, int depth)
    : m_rawSource(std::move(rawSource))
    , m_depth(depth)
{ }

std::optional<ZREmail> ZREmail::emailFromData(const QByteArray& data, ZRTextEncoding::Id encoding)
{
    std::optional<QString> text = ZRTextEncoding::decodeStrictly(data, encoding);
    if (!text) {
        text = ZRTextEncoding::decodeStrictly(data, ZRTextEncoding::ASCII);
    }
    if (!text) {
        return std::nullopt;
    }
    return emailFromString(*text);
}

std::optional<ZREmail> ZREmail::emailFromString(const QString& text)
{
    if (text.isNull()) {
        return std::nullopt;
    }
    return ZREmail(stringWithFixedMicrosoftLineBreaks(text), 0);
}

void ZREmail::setRawSource(const QString& source)
{
    if (source == m_rawSource && source.isNull() == m_rawSource.isNull()) {
        return;
    }
    clearAttributes();
    m_rawSource = source;
}

void ZREmail::clearAttributes()
{
    m_to.reset();
    m_from.reset();
    m_subject.reset();
    m_date.reset();
    m_contentType.reset();
    m_transferEncoding.reset();
    m_disposition.reset();
    m_parts.reset();
    m_bodyStart = -2;
}

QString ZREmail::headerBlock() const
{
    if (m_bodyStart == -2) {
        m_bodyStart = ZREmailParser::bodyStart(m_rawSource);
    }
    return m_bodyStart < 0 ? m_rawSource : m_rawSource.left(m_bodyStart);
}

std::optional<QString> ZREmail::body() const
{
    headerBlock();
    if (m_bodyStart < 0) {
        return std::nullopt;
    }
    return m_rawSource.mid(m_bodyStart);
}

QString ZREmail::headerOrPlaceholder(std::optional<QString>& cache, const char* field, const char* placeholderKey) const
{
    if (!cache) {
        const std::optional<QString> value
            = ZREmailParser::parseEmailText(m_rawSource, QLatin1String(field), ZREmailParser::Folding::Unfold);
        cache = value ? *value : ZREmailParser::localizedString(QLatin1String(placeholderKey));
    }
    return *cache;
}

QString ZREmail::to() const
{
    return headerOrPlaceholder(m_to, "To", "MissingEmailReceiver");
}

QString ZREmail::from() const
{
    return headerOrPlaceholder(m_from, "From", "MissingEmailSender");
}

QString ZREmail::subject() const
{
    return headerOrPlaceholder(m_subject, "Subject", "MissingEmailSubject");
}

std::optional<QDateTime> ZREmail::dateReceived() const
{
    if (!m_date) {
        const std::optional<QString> value
            = ZREmailParser::parseEmailText(m_rawSource, QStringLiteral("Date"), ZREmailParser::Folding::Unfold);
        if (value) {
            m_date = ZREmailDateParser::parse(*value);
        }
    }
    return m_date;
}

std::optional<QString> ZREmail::ownHeader(const char* field) const
{
    return ZREmailParser::parseEmailText(headerBlock(), QLatin1String(field));
}

std::optional<QString> ZREmail::contentType() const
{
    if (!m_contentType) {
        m_contentType = ownHeader("Content-Type");
    }
    return *m_contentType;
}

std::optional<QString> ZREmail::contentTransferEncoding() const
{
    if (!m_transferEncoding) {
        m_transferEncoding = ownHeader("Content-Transfer-Encoding");
    }
    return *m_transferEncoding;
}

std::optional<QString> ZREmail::contentDisposition() const
{
    if (!m_disposition) {
        m_disposition = ownHeader("Content-Disposition");
    }
    return *m_disposition;
}

std::optional<QString> ZREmail::contentBoundary() const
{
    QString boundary;
    if (const std::optional<QString> type = contentType()) {
        ZRTextScanner scanner(*type);
        if (scanner.scanUpToString(u"boundary")) {
            scanner.scanString(u"boundary");
            scanner.scanCharactersFromSet(u" \t");
            scanner.scanString(u"=");
            scanner.scanCharactersFromSet(u" \t");
            scanner.scanUpToString(u";", &boundary);
        }
    }
    if (boundary.isEmpty()) {
        // The parameter often sits on a continuation line of the header, which contentType() does
        // not hold: look for it in the message's own header block.
        ZRTextScanner scanner(headerBlock());
        scanner.scanUpToString(u"boundary=");
        if (scanner.scanString(u"boundary=")) {
            scanner.scanUpToCharactersFromSet(u";\n\r\t", &boundary);
        }
    }
    boundary.remove(QLatin1Char('"'));
    boundary = boundary.trimmed();
    if (boundary.isEmpty()) {
        return std::nullopt;
    }
    return QStringLiteral("--") + boundary;
}

const std::vector<ZREmail>* ZREmail::bodyParts() const
{
    if (m_parts) {
        return &*m_parts;
    }
    if (m_rawSource.isEmpty()) {
        Log::write(QStringLiteral("ZREmail::bodyParts Raw source has not been set yet, can not parse body parts."));
        return nullptr;
    }
    const std::optional<QString> text = body();
    if (!text) {
        Log::write(QStringLiteral("ZREmail::bodyParts Failed to parse email body from raw source!"));
        return nullptr;
    }
    std::vector<ZREmail> parts;
    if (const std::optional<QString> delimiter = contentBoundary()) {
        if (m_depth >= MaximumNesting) {
            Log::write(QStringLiteral("ZREmail::bodyParts parts nested deeper than %1 levels are not split.")
                           .arg(MaximumNesting));
        } else {
            const QStringList pieces = text->split(*delimiter);
            for (qsizetype i = 1; i < pieces.size(); ++i) {
                ZREmail part(stringWithFixedMicrosoftLineBreaks(pieces.at(i)), m_depth + 1);
                if (part.contentType()) {
                    parts.push_back(std::move(part));
                }
            }
        }
    }
    m_parts = std::move(parts);
    return &*m_parts;
}

bool ZREmail::isQuotedPrintable(const QString& transferEncoding)
{
    return containsIgnoringCase(transferEncoding, "quoted-printable")
        || containsIgnoringCase(transferEncoding, "charset=MACINTOSH");
}

bool ZREmail::isBase64Encoded(const QString& transferEncoding)
{
    return containsIgnoringCase(transferEncoding, "base64");
}

bool ZREmail::isAttachment() const
{
    const std::optional<QString> disposition = contentDisposition();
    return disposition && containsIgnoringCase(*disposition, "attachment");
}

bool ZREmail::hasHTMLContent() const
{
    if (isAttachment() || !contentType()) {
        return false;
    }
    const QString mediaType = mediaTypeOf(contentType());
    if (containsHTML(mediaType)) {
        return true;
    }
    if (!containsIgnoringCase(mediaType, "multi")) {
        return false;
    }
    const std::vector<ZREmail>* parts = bodyParts();
    return parts
        && std::any_of(parts->begin(), parts->end(), [](const ZREmail& part) { return part.hasHTMLContent(); });
}

ZRTextEncoding::Id ZREmail::charsetEncoding() const
{
    const std::optional<QString> type
        = ZREmailParser::parseEmailText(headerBlock(), QStringLiteral("Content-Type"), ZREmailParser::Folding::Unfold);
    if (!type) {
        return ZRTextEncoding::UTF8;
    }
    const QString charset = charsetParameter(*type);
    return ZRTextEncoding::encodingFromAlias(charset.isEmpty() ? *type : charset);
}

std::optional<QString> ZREmail::decodedBody() const
{
    const std::optional<QString> text = body();
    if (!text) {
        return std::nullopt;
    }
    // Decoded text gets the line ends of the raw source: text bodies are encoded with CR LF pairs,
    // which the patterns of the scanner (and "." in them) do not take for line breaks.
    const std::optional<QString> transferEncoding = contentTransferEncoding();
    if (transferEncoding && isQuotedPrintable(*transferEncoding)) {
        return stringWithFixedMicrosoftLineBreaks(decodeQuotedPrintable(*text, charsetEncoding()));
    }
    if (transferEncoding && isBase64Encoded(*transferEncoding)) {
        const QByteArray bytes = QByteArray::fromBase64(text->toLatin1());
        return stringWithFixedMicrosoftLineBreaks(ZRTextEncoding::decode(bytes, charsetEncoding()));
    }
    return text;
}

std::optional<QString> ZREmail::parsePlainTextContent() const
{
    if (contentType() && !mediaTypeContains(*this, "plain")) {
        return std::nullopt;
    }
    return decodedBody();
}

std::optional<QString> ZREmail::parseHTMLContent() const
{
    if (!mediaTypeContains(*this, "html")) {
        return std::nullopt;
    }
    return decodedBody();
}

std::optional<QString> ZREmail::parseMultiPartContent() const
{
    if (!mediaTypeContains(*this, "multipart")) {
        return std::nullopt;
    }
    const std::vector<ZREmail>* parts = bodyParts();
    if (!parts || parts->empty()) {
        Log::write(QStringLiteral("ZREmail::parseMultiPartContent could not parse body parts."));
        return m_rawSource;
    }
    QString text;
    bool first = true;
    for (const ZREmail& part : *parts) {
        if (part.isAttachment() || !mediaTypeContains(part, "text")) {
            continue;
        }
        text.append((first ? part.textContent() : part.decodedBody()).value_or(QString()));
        first = false;
    }
    if (!text.isEmpty()) {
        return text;
    }
    return textOfLastMultipartPart(*parts);
}

std::optional<QString> ZREmail::textOfLastMultipartPart(const std::vector<ZREmail>& parts) const
{
    const auto last = std::find_if(parts.rbegin(), parts.rend(),
                                   [](const ZREmail& part) { return mediaTypeContains(part, "multipart"); });
    if (last == parts.rend()) {
        return std::nullopt;
    }
    return last->textContent();
}

std::optional<QString> ZREmail::textContent() const
{
    if (std::optional<QString> plain = parsePlainTextContent(); plain && !plain->isEmpty()) {
        return plain;
    }
    if (std::optional<QString> html = parseHTMLContent(); html && !html->isEmpty()) {
        return html;
    }
    return parseMultiPartContent();
}

QString ZREmail::htmlContent() const
{
    const std::optional<QString> type = contentType();
    if (!type) {
        Log::write(QStringLiteral("ZREmail::htmlContent error retrieving content type, can't create html content."));
        return m_rawSource;
    }
    if (mediaTypeContains(*this, "plain")) {
        Log::write(QStringLiteral("ZREmail::htmlContent error, this email is of ContentType: %1").arg(*type));
        return m_rawSource;
    }
    if (mediaTypeContains(*this, "html")) {
        return decodedBody().value_or(m_rawSource);
    }
    if (mediaTypeContains(*this, "multipart")) {
        const std::vector<ZREmail>* parts = bodyParts();
        if (!parts) {
            Log::write(QStringLiteral("ZREmail::htmlContent could not parse body parts."));
            return m_rawSource;
        }
        const auto found = std::find_if(parts->begin(), parts->end(), [](const ZREmail& part) {
            return mediaTypeContains(part, "html") || mediaTypeContains(part, "multipart");
        });
        if (found != parts->end()) {
            return mediaTypeContains(*found, "multipart") ? found->htmlContent()
                                                          : found->decodedBody().value_or(QString());
        }
    }
    Log::write(QStringLiteral("ZREmail::htmlContent could not locate any HTML content."));
    return m_rawSource;
}
