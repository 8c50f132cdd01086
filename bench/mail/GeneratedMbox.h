#pragma once

#include <QString>

// Writes an mbox of invented mail for timing the mail readers: about 10 KB a message (text, some
// with a base64 attachment, some quoting ">From " lines), every twentieth a purchase mail with a
// serial number. The bytes are streamed to the file, never held whole.
struct GeneratedMbox
{
    qint64 messages = 0;
    qint64 purchases = 0;
    qint64 bytes = 0;

    static GeneratedMbox write(const QString& path, qint64 messageCount);
};
