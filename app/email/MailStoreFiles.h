#pragma once

#include "MailStoreReader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Small pieces the mail-store readers share.
namespace MailStoreFiles {

// Whether the bytes start like a message: a header field ("Name: value") on the first line.
bool looksLikeMessage(QByteArrayView bytes);

// Whether the file starts with an mbox "From " line.
bool startsWithFromLine(const QString& path);

// Whether a folder of a mail program holds deleted or unwanted mail (Trash, Junk, Spam), by name.
bool isTrashOrJunk(const QString& folderName);

// The bytes of a message file, read-only; nothing when it cannot be opened, is larger than
// `maximumSize` or does not start like a message.
std::optional<QByteArray> readMessageFile(const QString& path, qint64 maximumSize);

// Counts the message and hands it to the visitor; false when the visitor asks to stop (which is
// then recorded in the counts).
bool deliver(const MailStoreReader::Visitor& visit, const MailStoreMessage& message, MailStoreReader::Counts& counts);

} // namespace MailStoreFiles
