#include "MailMessageDecoding.h"

#include "ZREmailParser.h"
#include "ZRTextEncoding.h"

#include <optional>

namespace {

// The encoding a leading byte-order mark announces, if any.
std::optional<ZRTextEncoding::Id> byteOrderMarkEncoding(const QByteArray& bytes)
{
    // Written with their lengths: as C strings, the marks would end at their first zero byte, and
    // every UTF-16 little-endian mark would pass for a UTF-32 one.
    if (bytes.startsWith(QByteArray("\xFF\xFE\x00\x00", 4)) || bytes.startsWith(QByteArray("\x00\x00\xFE\xFF", 4))) {
        return ZRTextEncoding::UTF32;
    }
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        return ZRTextEncoding::UTF16;
    }
    return std::nullopt;
}

} // namespace

namespace MailMessageDecoding {

QString decode(const QByteArray& bytes)
{
    if (const auto mark = byteOrderMarkEncoding(bytes)) {
        if (auto text = ZRTextEncoding::decodeStrictly(bytes, *mark)) {
            return *text;
        }
    }
    if (auto text = ZRTextEncoding::decodeStrictly(bytes, ZRTextEncoding::UTF8)) {
        return *text;
    }
    const QString latin1 = ZRTextEncoding::decode(bytes, ZRTextEncoding::ISOLatin1);
    const auto contentType
        = ZREmailParser::parseEmailText(latin1, QStringLiteral("Content-Type"), ZREmailParser::Folding::Unfold);
    if (contentType && contentType->contains(QLatin1String("charset"), Qt::CaseInsensitive)) {
        if (auto text = ZRTextEncoding::decodeStrictly(bytes, ZRTextEncoding::encodingFromAlias(*contentType))) {
            return *text;
        }
    }
    return latin1;
}

} // namespace MailMessageDecoding
