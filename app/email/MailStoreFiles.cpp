#include "MailStoreFiles.h"

#include <QFile>
#include <QFileInfo>

namespace MailStoreFiles {

bool looksLikeMessage(QByteArrayView bytes)
{
    qsizetype nameLength = 0;
    for (const char c : bytes) {
        if (c == ':') {
            return nameLength > 0;
        }
        // A field name is printable ASCII without spaces (RFC 5322).
        if (c < 33 || c > 126) {
            return false;
        }
        ++nameLength;
    }
    return false;
}

bool startsWithFromLine(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(5) == "From ";
}

bool isTrashOrJunk(const QString& folderName)
{
    static const char* const names[] = {"Trash", "Junk", "Spam", "Deleted Items", "Deleted Messages"};
    for (const char* name : names) {
        if (folderName.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

std::optional<QByteArray> readMessageFile(const QString& path, qint64 maximumSize)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    if (file.size() > maximumSize) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    if (bytes.size() > maximumSize || !looksLikeMessage(bytes)) {
        return std::nullopt;
    }
    return bytes;
}

bool deliver(const MailStoreReader::Visitor& visit, const MailStoreMessage& message, MailStoreReader::Counts& counts)
{
    ++counts.messages;
    if (!visit(message)) {
        counts.stopped = true;
        return false;
    }
    return true;
}

} // namespace MailStoreFiles
