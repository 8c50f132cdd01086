#pragma once

#include "ZRTextEncoding.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

// One parsed e-mail message or MIME part.
//
// The message is kept as one text with "\n" line ends. "To", "From", "Subject" and "Date" are looked
// up anywhere in the text (the first line that carries the field wins, folded values are joined);
// "Content-Type", "Content-Transfer-Encoding" and "Content-Disposition" are read from the message's
// own header block, so a nested part never answers for its container. Header values are parsed on
// first request and cached until the raw source changes. Bodies handed out as text are
// transfer-decoded (quoted-printable or base64), read in the charset their Content-Type names and
// given "\n" line ends like the raw source.
// A message is used by one thread at a time.
class ZREmail
{
public:
    // Parts nested deeper than this are not split further.
    static constexpr int MaximumNesting = 32;

    // Decodes the bytes with the encoding (7-bit ASCII if that fails); nothing if neither works.
    static std::optional<ZREmail> emailFromData(const QByteArray& data, ZRTextEncoding::Id encoding);
    // Nothing for a null string; otherwise a message of the text with fixed line breaks.
    static std::optional<ZREmail> emailFromString(const QString& text);

    const QString& rawSource() const { return m_rawSource; }
    // Replacing the text with a different one clears every cached value.
    void setRawSource(const QString& source);
    void clearAttributes();

    // Decoded header values; the localized placeholder ("MissingEmailReceiver", "MissingEmailSender",
    // "MissingEmailSubject") when the header is absent.
    QString to() const;
    QString from() const;
    QString subject() const;
    std::optional<QDateTime> dateReceived() const;

    std::optional<QString> contentType() const; // first line of the value
    std::optional<QString> contentTransferEncoding() const;
    std::optional<QString> contentDisposition() const;
    // "--" followed by the boundary parameter, or nothing.
    std::optional<QString> contentBoundary() const;
    // The MIME parts, or nothing when there is no raw source or no body (logged). Empty without a boundary.
    const std::vector<ZREmail>* bodyParts() const;

    static bool isQuotedPrintable(const QString& transferEncoding);
    static bool isBase64Encoded(const QString& transferEncoding);
    bool isAttachment() const;
    bool hasHTMLContent() const;

    std::optional<QString> parsePlainTextContent() const;
    std::optional<QString> parseHTMLContent() const;
    std::optional<QString> parseMultiPartContent() const;
    // The readable text: plain text, else HTML, else the text of the parts.
    std::optional<QString> textContent() const;
    // The HTML of the message, or the raw source when there is none.
    QString htmlContent() const;

    // The body transfer-decoded and read in the message's charset, with "\n" line ends; nothing
    // when there is no body.
    std::optional<QString> decodedBody() const;
    // The encoding the Content-Type's charset names (UTF-8 when it names none).
    ZRTextEncoding::Id charsetEncoding() const;

private:
    ZREmail(QString rawSource, int depth);

    QString headerBlock() const;
    std::optional<QString> headerValue(const char* field) const;
    std::optional<QString> ownHeader(const char* field) const;
    QString headerOrPlaceholder(std::optional<QString>& cache, const char* field, const char* placeholderKey) const;
    std::optional<QString> body() const;
    std::optional<QString> textOfLastMultipartPart(const std::vector<ZREmail>& parts) const;

    QString m_rawSource;
    int m_depth = 0;

    // Caches, filled on first use.
    mutable std::optional<QString> m_to;
    mutable std::optional<QString> m_from;
    mutable std::optional<QString> m_subject;
    mutable std::optional<QDateTime> m_date;
    mutable std::optional<std::optional<QString>> m_contentType;
    mutable std::optional<std::optional<QString>> m_transferEncoding;
    mutable std::optional<std::optional<QString>> m_disposition;
    mutable std::optional<std::vector<ZREmail>> m_parts;
    mutable qsizetype m_bodyStart = -2; // -2: not computed yet
};
