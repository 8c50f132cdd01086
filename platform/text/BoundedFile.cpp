#include "BoundedFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace BoundedFile {

std::optional<QByteArray> read(const QString& path, qint64 maximumSize, QString* problem)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        *problem = QStringLiteral("%1 is not a file.").arg(path);
        return std::nullopt;
    }
    const QString tooLarge = QStringLiteral("%1 is larger than %2 bytes.").arg(path).arg(maximumSize);
    if (info.size() > maximumSize) {
        *problem = tooLarge;
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    // The size is checked again on what was read: the file may have grown meanwhile.
    QByteArray bytes = file.read(maximumSize + 1);
    if (bytes.size() > maximumSize) {
        *problem = tooLarge;
        return std::nullopt;
    }
    return bytes;
}

std::optional<QString> readUtf8(const QString& path, qint64 maximumSize, QString* problem)
{
    const std::optional<QByteArray> bytes = read(path, maximumSize, problem);
    if (!bytes) {
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(*bytes);
    if (decoder.hasError()) {
        *problem = QStringLiteral("%1 is not UTF-8 text.").arg(path);
        return std::nullopt;
    }
    return text;
}

} // namespace BoundedFile
