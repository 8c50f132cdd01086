#include "DelimitedTextFile.h"

#include "email/MailTextTools.h"

#include <QFile>
#include <QStringDecoder>

std::optional<QString> readDelimitedTextFile(const QString& path, QString* problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *problem = file.errorString();
        return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(file.readAll());
    if (decoder.hasError()) {
        *problem = QStringLiteral("The file is no UTF-8 text.");
        return std::nullopt;
    }
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    return stringWithFixedMicrosoftLineBreaks(text);
}
