#pragma once

#include <QByteArray>
#include <QString>

// The text of a message's bytes read the way a message file is read when it is attached: a
// byte-order mark, else UTF-8, else the charset its headers name, else ISO 8859-1 (which takes any
// bytes). The same text gives the same stored attachment whether it came from a file or a store.
namespace MailLicenceMessageText {

QString decode(const QByteArray& bytes);

} // namespace MailLicenceMessageText
