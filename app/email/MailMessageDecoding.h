#pragma once

#include <QByteArray>
#include <QString>

// The text of a message's bytes as a message file is read when it is attached: a byte-order mark,
// else UTF-8, else the charset its headers name, else ISO 8859-1 (which takes any bytes). Message
// files and messages of mail stores share it, so the same bytes give the same stored attachment.
namespace MailMessageDecoding {

QString decode(const QByteArray& bytes);

} // namespace MailMessageDecoding
