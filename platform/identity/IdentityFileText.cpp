#include "IdentityFileText.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace IdentityFileText {

std::optional<QString> read(const QString& path, QString* problem)
{
    const QFileInfo info(path);
    if (!info.isFile()) {
        *problem = QStringLiteral("%1 is not a file").arg(path);
        return std::nullopt;
    }
    if (info.size() > MaximumSize) {
        *problem = QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(MaximumSize);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    // The size is checked again on what was read: the file may have grown meanwhile.
    const QByteArray bytes = file.read(MaximumSize + 1);
    if (bytes.size() > MaximumSize) {
        *problem = QStringLiteral("%1 is larger than %2 bytes").arg(path).arg(MaximumSize);
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        *problem = QStringLiteral("%1 is not UTF-8 text").arg(path);
        return std::nullopt;
    }
    return text;
}

} // namespace IdentityFileText
