#pragma once

#include "AttachmentEntity.h"

// An attached e-mail message ("EmailReceipt"). Its stored bytes are the raw message text in the
// encoding recorded in `encoding`; subject, date, sender and recipients are copied from the headers.
class AttachedEmail : public AttachmentEntity
{
public:
    // Messages larger than this are not attached.
    static constexpr qint64 MaximumMessageSize = 64 * 1024 * 1024;

    // A new e-mail attachment from a message file; null after a log line when it cannot be read,
    // parsed or stored (nothing is then left in the context).
    static AttachedEmail* insertAttachmentForFile(const QString& path, Persistence::ObjectContext* context);
    static AttachedEmail* insertAttachmentForRawSource(const QString& text, Persistence::ObjectContext* context);

    // The text of a message file: a byte-order mark, else UTF-8, else the charset its headers name,
    // else ISO 8859-1 (which takes any bytes). Nothing when the file cannot be read or is too large.
    static std::optional<QString> readMessageFile(const QString& path);
    // The first of ASCII, ISO 8859-1 and UTF-8 that holds the whole text, and the text in it.
    static quint32 smallestEncoding(const QString& text, QByteArray* bytes);

    QString from() const { return stringValue(QStringLiteral("from")); }
    bool setFrom(const QString& from) { return setValue(QStringLiteral("from"), from); }
    QString to() const { return stringValue(QStringLiteral("to")); }
    bool setTo(const QString& to) { return setValue(QStringLiteral("to"), to); }
    // The string-encoding number the raw message bytes were stored in.
    quint32 encoding() const { return quint32(value(QStringLiteral("encoding")).toLongLong()); }
    bool setEncoding(quint32 encoding) { return setValue(QStringLiteral("encoding"), qint32(encoding)); }

    // Parses the message and stores it: name, date, from and to from its headers, the text in the
    // smallest encoding that holds it. False (nothing stored) when it does not parse or cannot be written.
    bool setRawSource(const QString& text);

    bool isEmail() const override { return true; }
    QString nameLabel() const override;
    // The stored bytes decoded with the recorded encoding.
    std::optional<QString> contentString() const override;
    // `name` with ".eml" appended unless its extension holds "eml" already.
    QString exportFileName() const override;

protected:
    QIcon makeIcon() const override;
};
