#include "MailLicenceMessageText.h"

#include "email/ZREmailParser.h"
#include "email/ZRTextEncoding.h"

namespace MailLicenceMessageText {

QString decode(const QByteArray& bytes)
{
    if (bytes.startsWith("\xFF\xFE\x00\x00") || bytes.startsWith(QByteArray("\x00\x00\xFE\xFF", 4))) {
        if (auto text = ZRTextEncoding::decodeStrictly(bytes, ZRTextEncoding::UTF32)) {
            return *text;
        }
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        if (auto text = ZRTextEncoding::decodeStrictly(bytes, ZRTextEncoding::UTF16)) {
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

} // namespace MailLicenceMessageText
