#include "ProductCommentsText.h"

#include "model/ProductEntity.h"
#include "text/RtfReader.h"

#include <QStringDecoder>

QString commentsStringFromData(const QByteArray& comments)
{
    if (comments.isEmpty()) {
        return {};
    }
    // Only bytes that are an RTF document count as rich text: UTF-8 notes that merely mention
    // "{\rtf1" somewhere are kept as they are.
    if (RtfReader::isRichText(comments)) {
        RtfReader reader;
        if (const std::optional<QString> plain = reader.readData(comments)) {
            return *plain;
        }
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder.decode(comments);
    return decoder.hasError() ? QString::fromLatin1(comments) : decoded;
}

QString productCommentsString(const ProductEntity& product)
{
    return commentsStringFromData(product.comments());
}
