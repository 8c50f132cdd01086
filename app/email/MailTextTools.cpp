#include "MailTextTools.h"

QString stringWithFixedMicrosoftLineBreaks(const QString& text)
{
    QString fixed = text;
    if (text.contains(QLatin1String("\r\n"))) {
        fixed.remove(QLatin1Char('\r'));
    } else {
        fixed.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return fixed;
}

QString stringByTrimmingLineBreaks(const QString& text)
{
    QString trimmed = text;
    trimmed.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return trimmed;
}

int hexDigitValue(QChar character)
{
    const char16_t c = character.unicode();
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

QString decodeQuotedPrintable(const QString& text)
{
    QString decoded;
    decoded.reserve(text.size());
    const qsizetype length = text.size();
    qsizetype i = 0;
    while (i < length) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('=')) {
            decoded.append(c);
            ++i;
        } else if (i + 1 < length && (text.at(i + 1) == QLatin1Char('\n') || text.at(i + 1) == QLatin1Char('\r'))) {
            i += 2;
        } else if (i >= length - 2) {
            decoded.append(c);
            ++i;
        } else if (const int high = hexDigitValue(text.at(i + 1)), low = hexDigitValue(text.at(i + 2));
                   high >= 0 && low >= 0) {
            decoded.append(QChar(char16_t(high * 16 + low)));
            i += 3;
        } else {
            ++i;
        }
    }
    return decoded;
}

namespace {

// Where the soft line break that starts with the "=" at `equals` ends, or -1 if it is not one.
qsizetype softBreakEnd(const QString& text, qsizetype equals)
{
    qsizetype k = equals + 1;
    while (k < text.size() && (text.at(k) == QLatin1Char(' ') || text.at(k) == QLatin1Char('\t'))) {
        ++k;
    }
    if (k == text.size()) {
        return k;
    }
    if (text.at(k) == QLatin1Char('\r')) {
        return k + 1 < text.size() && text.at(k + 1) == QLatin1Char('\n') ? k + 2 : k + 1;
    }
    return text.at(k) == QLatin1Char('\n') ? k + 1 : -1;
}

} // namespace

QString decodeQuotedPrintable(const QString& text, ZRTextEncoding::Id encoding)
{
    QString decoded;
    decoded.reserve(text.size());
    QByteArray bytes;
    bytes.reserve(text.size());
    const auto flush = [&] {
        if (!bytes.isEmpty()) {
            decoded.append(ZRTextEncoding::decode(bytes, encoding));
            bytes.clear();
        }
    };
    const qsizetype length = text.size();
    qsizetype i = 0;
    while (i < length) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('=')) {
            const int high = i + 2 < length ? hexDigitValue(text.at(i + 1)) : -1;
            const int low = i + 2 < length ? hexDigitValue(text.at(i + 2)) : -1;
            if (high >= 0 && low >= 0) {
                bytes.append(char(high * 16 + low));
                i += 3;
            } else if (const qsizetype end = softBreakEnd(text, i); end >= 0) {
                i = end;
            } else {
                bytes.append('=');
                ++i;
            }
        } else if (c.unicode() < 0x80) {
            bytes.append(char(c.unicode()));
            ++i;
        } else {
            flush();
            decoded.append(c);
            ++i;
        }
    }
    flush();
    return decoded;
}

QString decodeUTF8QuotedPrintable(const QString& text)
{
    return decodeQuotedPrintable(text, ZRTextEncoding::UTF8);
}
