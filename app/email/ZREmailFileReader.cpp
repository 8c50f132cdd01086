#include "ZREmailFileReader.h"

#include "ZREmailParser.h"

#include <QFile>
#include <QFileInfo>

namespace {

std::optional<ZREmail> failure(QString* error, const QString& message)
{
    if (error) {
        *error = message;
    }
    return std::nullopt;
}

} // namespace

std::optional<ZREmail> ZREmailFileReader::read(const QString& path, QString* error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        return failure(error, QStringLiteral("%1: no such file").arg(path));
    }
    if (!info.isFile()) {
        return failure(error, QStringLiteral("%1: not a file").arg(path));
    }
    if (info.size() > MaximumSize) {
        return failure(error,
                       QStringLiteral("%1: too large for an e-mail message (more than %2 MB)")
                           .arg(path)
                           .arg(MaximumSize / (1024 * 1024)));
    }
    if (!ZREmailParser::isEmailArchive(path)) {
        return failure(error, QStringLiteral("%1: not an e-mail message").arg(path));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return failure(error, QStringLiteral("%1: %2").arg(path, file.errorString()));
    }
    const QByteArray bytes = file.read(MaximumSize + 1);
    if (bytes.size() > MaximumSize) {
        return failure(error, QStringLiteral("%1: too large for an e-mail message").arg(path));
    }
    std::optional<QString> text = ZRTextEncoding::decodeStrictly(bytes, ZRTextEncoding::UTF8);
    if (!text) {
        text = ZRTextEncoding::decode(bytes, ZRTextEncoding::ISOLatin1);
    }
    std::optional<ZREmail> email = ZREmail::emailFromString(*text);
    if (!email) {
        return failure(error, QStringLiteral("%1: the message text cannot be read").arg(path));
    }
    return email;
}
